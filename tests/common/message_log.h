// Whole message sequences, expected against seen, compared in one go and printed side by side on a
// mismatch. Shared by the native tests and the tests of the real DLL under Wine.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../../src/player/messages.h"
#include "../../tools/player/message_names.h"

struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool anyLParam; // WM_GETTEXT carries a buffer address that differs on every call
    bool anyWParam = false; // a window the module makes for the call: any but none

    bool operator==(const Message& o) const
    {
        bool sameWParam = anyWParam ? o.wParam != 0 : o.anyWParam ? wParam != 0 : wParam == o.wParam;
        return msg == o.msg && sameWParam && (anyLParam || o.anyLParam || lParam == o.lParam);
    }
};

using Messages = std::vector<Message>;

inline Message Query(LPARAM query, WPARAM wParam = 0)
{
    return {WM_USER, wParam, query, false};
}
inline Message Command(WPARAM command)
{
    return {WM_COMMAND, command, 0, false};
}
inline Message GetText(WPARAM limit)
{
    return {WM_GETTEXT, limit, 0, true};
}

inline const Message VERSION = Query(QUERY_VERSION);
inline const Message PLAY_STATE = Query(QUERY_PLAY_STATE);
inline const Message TRACK_LENGTH = Query(QUERY_TRACK_LENGTH, TRACK_LENGTH_IN_SECONDS);
inline const Message WRITE = Query(WRITE_PLAYLIST);
inline Message SetPosition(WPARAM position)
{
    return Query(SET_PLAYLIST_POS, position);
}

// The module's own commands' messages. A negative wParam goes sign-extended, as the module sends it.
inline Message Setting(LPARAM setting, int value)
{
    return Query(setting, static_cast<WPARAM>(static_cast<INT_PTR>(value)));
}
inline const Message ELAPSED = Query(QUERY_ELAPSED_TIME, ELAPSED_IN_MILLISECONDS);
inline const Message LIST_LENGTH = Query(QUERY_LIST_LENGTH);
inline const Message LIST_POS = Query(QUERY_LIST_POS);
inline const Message BITRATE = Query(QUERY_TRACK_INFO, TRACK_INFO_BITRATE);
inline const Message SAMPLE_RATE = Query(QUERY_TRACK_INFO, TRACK_INFO_SAMPLE_RATE);
inline const Message CHANNELS = Query(QUERY_TRACK_INFO, TRACK_INFO_CHANNELS);
inline const Message ASK_VOLUME = Setting(SET_VOLUME, VOLUME_ASKED);
inline const Message SHUFFLE_STATE = Query(QUERY_SHUFFLE);
inline const Message REPEAT_STATE = Query(QUERY_REPEAT);
inline const Message RATING_STATE = Query(QUERY_RATING);
inline Message JumpTo(int milliseconds)
{
    return Setting(JUMP_TO_TIME, milliseconds);
}
inline Message SetVolume(int volume)
{
    return Setting(SET_VOLUME, volume);
}

// Any playlist entry's strings, the entry counted from 0.
inline Message ListTitle(WPARAM entry)
{
    return Query(QUERY_LIST_TITLE, entry);
}
inline Message ListFile(WPARAM entry)
{
    return Query(QUERY_LIST_FILE, entry);
}
// A WM_COPYDATA request is recorded with its dwData in place of lParam, which points to the data only
// while the message is handled.
inline Message CopyData(ULONG_PTR request, WPARAM from = 0)
{
    return {WM_COPYDATA, from, static_cast<LPARAM>(request), false};
}

// A request whose reply comes to a window the module made for the call, which goes in wParam.
inline Message CopyDataReplied(ULONG_PTR request)
{
    Message m{WM_COPYDATA, 0, static_cast<LPARAM>(request), false};
    m.anyWParam = true;
    return m;
}

inline std::string Describe(const Message& m)
{
    char text[96];
    std::snprintf(text, sizeof text, "%-18s %04x w=%s l=%s", MessageName(m.msg, m.wParam, m.lParam), m.msg,
                  m.anyWParam ? "window" : std::to_string(static_cast<unsigned long long>(m.wParam)).c_str(),
                  m.anyLParam ? "*" : std::to_string(static_cast<long long>(m.lParam)).c_str());
    return text;
}

// Empty when the two sequences are equal; otherwise both, line by line, with the first difference marked.
inline std::string CompareMessages(const Messages& expected, const Messages& seen)
{
    if (expected == seen)
        return std::string();
    std::string out = "    expected                                     | seen\n";
    size_t rows = expected.size() > seen.size() ? expected.size() : seen.size();
    bool marked = false;
    for (size_t i = 0; i < rows; ++i) {
        std::string left = i < expected.size() ? Describe(expected[i]) : "(none)";
        std::string right = i < seen.size() ? Describe(seen[i]) : "(none)";
        bool same = i < expected.size() && i < seen.size() && expected[i] == seen[i];
        out += (!same && !marked) ? " >> " : "    ";
        marked = marked || !same;
        left.resize(44, ' ');
        out += left + " | " + right + "\n";
    }
    return out;
}
