#include "harness.h"

#include <cstring>
#include <vector>

const std::vector<CommandInfo>& AllCommands()
{
    static const std::vector<CommandInfo> commands = {
        {"DISPNAME", DISPNAME, true, {GetText(899)}},
        {"FILEINFO", FILEINFO, true, {TRACK_LENGTH, GetText(889)}},
        {"FILENAME", FILENAME, true, {}},
        {"TRACKLAST", TRACKLAST, false, {Command(CMD_PREVIOUS)}},
        {"TRACKNEXT", TRACKNEXT, false, {Command(CMD_NEXT)}},
        {"TRACKPAUSE", TRACKPAUSE, false, {Command(CMD_PAUSE)}},
        {"TRACKPLAY", TRACKPLAY, false, {Command(CMD_PLAY)}},
        {"TRACKSTOP", TRACKSTOP, false, {Command(CMD_STOP)}},
    };
    return commands;
}

HWND FakePlayer::Open()
{
    window = StandinCreateWindow(PLAYER_WINDOW_CLASS, [this](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        if (msg == WM_USER && l == QUERY_VERSION)
            return version;
        if (msg == WM_USER && l == QUERY_PLAY_STATE)
            return playState;
        if (msg == WM_USER && l == QUERY_TRACK_LENGTH)
            return length;
        if (msg == WM_USER && l == WRITE_PLAYLIST) {
            if (onWritePlaylist)
                onWritePlaylist();
            return position;
        }
        if (msg == WM_GETTEXT && w > 0) {
            size_t n = title.size() < w - 1 ? title.size() : w - 1;
            std::memcpy(reinterpret_cast<char*>(l), title.data(), n);
            reinterpret_cast<char*>(l)[n] = '\0';
            return static_cast<LRESULT>(n);
        }
        return 0;
    });
    return window;
}

Messages TakeMessages()
{
    Messages seen;
    for (const SentMessage& m : StandinTakeMessages())
        seen.push_back({m.msg, m.wParam, m.lParam, m.msg == WM_GETTEXT});
    return seen;
}

CallResult Invoke(CommandFn fn, const std::string& text)
{
    std::vector<char> buffer(HOST_BUFFER + 64, static_cast<char>(POISON));
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    int result = fn(7, 7, buffer.data(), 7, 7, 7);
    CallResult call{result, std::string(buffer.data(), strnlen(buffer.data(), HOST_BUFFER)), true};
    for (size_t i = HOST_BUFFER; i < buffer.size(); ++i)
        call.guardIntact = call.guardIntact && static_cast<unsigned char>(buffer[i]) == POISON;
    return call;
}
