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
        StandinAdvanceClock(delay);
        if (hangAfter > 0 && --hangAfter == 0)
            StandinSetHung(window, true); // this message is still answered
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
