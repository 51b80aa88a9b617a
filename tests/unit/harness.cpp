#include "harness.h"

#include "../../src/commands/host_text.h"
#include "../../src/commands/load_dll.h"

#include <cstring>
#include <vector>

namespace {
LRESULT AnswerReplyRequest(FakePlayer& p, const COPYDATASTRUCT* copy, HWND from);
LRESULT AnswerTagBlock(FakePlayer& p, WPARAM address);
} // namespace

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

const std::u16string* TagOf(const FakePlayer& player, const std::u16string& name)
{
    for (const auto& tag : player.tags)
        if (tag.first == name)
            return &tag.second;
    return nullptr;
}

LRESULT ReplyTo(const FakePlayer& player, HWND from, ULONG_PTR request, const void* data, DWORD bytes)
{
    COPYDATASTRUCT reply = {request, bytes, const_cast<void*>(data)};
    return StandinDeliver(from, WM_COPYDATA, reinterpret_cast<WPARAM>(player.window), reinterpret_cast<LPARAM>(&reply));
}

namespace {

// As the player of 5.9 answers the two requests: the reply is sent while it handles the request, and
// the request answers what the caller's window answered to it.
LRESULT AnswerReplyRequest(FakePlayer& p, const COPYDATASTRUCT* copy, HWND from)
{
    p.replyWindows.push_back(from);
    if (p.onReplyRequest)
        return p.onReplyRequest(p, copy, from);
    if (!p.replies)
        return 0;
    if (copy->dwData == REPLY_CURRENT_FILE)
        return ReplyTo(p, from, REPLY_CURRENT_FILE, p.file.c_str(), static_cast<DWORD>((p.file.size() + 1) * 2));
    const char16_t* data = static_cast<const char16_t*>(copy->lpData);
    std::u16string file(data), name(data + file.size() + 1);
    std::u16string answer(FILE_TAG_UNITS, u'\0');
    const std::u16string* tag = file == p.file ? TagOf(p, name) : nullptr;
    if (tag != nullptr)
        answer.replace(0, tag->size(), *tag);
    return ReplyTo(p, from, REPLY_FILE_TAG, answer.data(), FILE_TAG_UNITS * 2);
}

std::u16string TextAt(StandinProcess process, uint64_t address)
{
    std::u16string text;
    for (;; address += 2) {
        std::string unit = StandinReadMemory(process, address, 2);
        if (unit.size() != 2 || (unit[0] == 0 && unit[1] == 0))
            return text;
        text += static_cast<char16_t>(static_cast<unsigned char>(unit[0]) | static_cast<unsigned char>(unit[1]) << 8);
    }
}

uint64_t FieldAt(const std::string& fields, size_t index, size_t width)
{
    uint64_t value = 0;
    std::memcpy(&value, fields.data() + index * width, width);
    return value;
}

// An older player's request block: the four fields in its width, then the answer written at the end,
// after the file's tags were read (which takes `tagDelay`).
LRESULT AnswerTagBlock(FakePlayer& p, WPARAM address)
{
    if (!p.tagBlock)
        return 0;
    size_t width = p.memoryOf == StandinProcess::Native64 ? 8 : 4;
    std::string fields = StandinReadMemory(p.memoryOf, address, 4 * width);
    if (fields.size() != 4 * width)
        return 0;
    p.blockWidth = width;
    std::u16string file = TextAt(p.memoryOf, FieldAt(fields, 0, width));
    std::u16string name = TextAt(p.memoryOf, FieldAt(fields, 1, width));
    p.blockFields = {file, name};
    const std::u16string* tag = file == p.file ? TagOf(p, name) : nullptr;
    StandinAdvanceClock(p.tagDelay);
    if (FieldAt(fields, 3, width) != FILE_TAG_UNITS)
        return 0;
    StandinSetMemoryText(p.memoryOf, FieldAt(fields, 2, width), tag != nullptr ? *tag : u"");
    return tag != nullptr ? 1 : 0;
}

} // namespace

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
        if (msg == WM_USER && (l == QUERY_LIST_TITLE || l == QUERY_LIST_FILE))
            return entryAnswer ? entryAnswer(l, w) : 0;
        if (msg == WM_COPYDATA && (reinterpret_cast<const COPYDATASTRUCT*>(l)->dwData == REPLY_CURRENT_FILE ||
                                   reinterpret_cast<const COPYDATASTRUCT*>(l)->dwData == REPLY_FILE_TAG))
            return AnswerReplyRequest(*this, reinterpret_cast<const COPYDATASTRUCT*>(l), reinterpret_cast<HWND>(w));
        if (msg == WM_USER && l == QUERY_FILE_TAG)
            return AnswerTagBlock(*this, w);
        if (msg == WM_COPYDATA) {
            const COPYDATASTRUCT* copy = reinterpret_cast<const COPYDATASTRUCT*>(l);
            copied.push_back({copy->dwData, std::u16string(static_cast<const char16_t*>(copy->lpData),
                                                           copy->cbData / sizeof(char16_t))});
            if (copy->dwData != ADD_TO_PLAYLIST)
                return 0;
            listLength += added;
            return added > 0;
        }
        if (msg == WM_USER && l == QUERY_TRACK_LENGTH)
            return w == ELAPSED_IN_MILLISECONDS ? elapsed : length;
        if (msg == WM_USER) {
            int value = static_cast<int>(w);
            switch (l) {
            case JUMP_TO_TIME: elapsed = value; return 0;
            case SET_VOLUME:
                if (value == VOLUME_ASKED)
                    return volume;
                volume = value & 0xFF;
                return 0;
            case QUERY_LIST_LENGTH: return listLength;
            case QUERY_LIST_POS: return listPos;
            case QUERY_TRACK_INFO:
                return w == TRACK_INFO_BITRATE ? bitrate : w == TRACK_INFO_SAMPLE_RATE ? sampleRate : channels;
            case QUERY_SHUFFLE: return shuffle;
            case QUERY_REPEAT: return repeat;
            case SET_SHUFFLE: shuffle = value; return 1;
            case SET_REPEAT: repeat = value; return 1;
            case SET_RATING: rating = value; return 1;
            case QUERY_RATING: return rating;
            }
        }
        if (msg == WM_USER && l == WRITE_PLAYLIST) {
            if (onWritePlaylist)
                onWritePlaylist();
            return position;
        }
        bool wide = StandinWideMessage();
        if (msg == WM_GETTEXT && w > 0) {
            (wide ? wideTitleReads : narrowTitleReads)++;
            std::u16string units = wideTitle;
            if (units.empty()) {
                units.resize(title.size() + 1);
                units.resize(static_cast<size_t>(
                    MultiByteToWideChar(CP_ACP, 0, title.c_str(), -1, &units[0], static_cast<int>(units.size())) - 1));
            }
            if (wide) {
                size_t n = units.size() < w - 1 ? units.size() : w - 1;
                std::memcpy(reinterpret_cast<WCHAR*>(l), units.data(), n * sizeof(WCHAR));
                reinterpret_cast<WCHAR*>(l)[n] = 0;
                return static_cast<LRESULT>(n);
            }
            std::string text = title;
            if (!wideTitle.empty()) {
                text.resize(wideTitle.size() * 2 + 1);
                text.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, wideTitle.c_str(), -1, &text[0],
                                                                    static_cast<int>(text.size()), nullptr, nullptr) - 1));
            }
            size_t n = text.size() < w - 1 ? text.size() : w - 1;
            std::memcpy(reinterpret_cast<char*>(l), text.data(), n);
            reinterpret_cast<char*>(l)[n] = '\0';
            return static_cast<LRESULT>(n);
        }
        if (wide)
            ++otherWideMessages;
        return 0;
    });
    return window;
}

void SetHostMode(HostMode mode)
{
    if (mode == HostMode::Unicode) {
        LOADINFO info = {7 | (77 << 16), nullptr, TRUE, FALSE, 0, 2048};
        LoadDll(&info);
    } else {
        HostWideMax.store(0); // as a freshly loaded module
    }
}

CallResult CallAsHost(HostMode mode, CommandFn fn, const std::string& text)
{
    return mode == HostMode::Unicode ? CallCommandWide(fn, text, 2048) : CallCommand(fn, text);
}

std::string ModeName(const ::testing::TestParamInfo<HostMode>& info)
{
    return info.param == HostMode::Unicode ? "UnicodeHost" : "EightBitHost";
}

Messages TakeMessages()
{
    Messages seen;
    for (const SentMessage& m : StandinTakeMessages())
        seen.push_back({m.msg, m.wParam, m.lParam, m.msg == WM_GETTEXT});
    return seen;
}
