// Native test helpers: a player window on the Win32 stand-in with answers a test sets, and calls of
// the exported routines through a poisoned host buffer.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../../src/commands/commands.h"
#include "../common/host_call.h"
#include "../common/message_log.h"
#include "standin.h"

struct CommandInfo {
    const char* name;
    CommandFn fn;
    bool strict;          // refuses a player that is not playing
    Messages action;      // what it sends once admitted, for the commands with a fixed action
};

// The eight routines, in export order. The action lists of the information commands fit FakePlayer's
// defaults.
const std::vector<CommandInfo>& AllCommands();

struct FakePlayer {
    int version = 0x5092;
    int playState = 1;
    int length = 245;
    std::string title = "12. Artist - Song - Winamp";
    // When set, the title as the player keeps it; an 8-bit read gets it in the ANSI code page, "?"
    // for what does not fit, as from the player's Unicode window.
    std::u16string wideTitle;
    // Counted from any host thread; a copy of the player starts counting afresh.
    struct Count : std::atomic<int> {
        Count() : std::atomic<int>(0) {}
        Count(const Count&) : std::atomic<int>(0) {}
        Count& operator=(const Count&) { store(0); return *this; }
    };
    Count wideTitleReads;    // WM_GETTEXT sent in UTF-16
    Count narrowTitleReads;  // WM_GETTEXT sent in 8-bit text
    Count otherWideMessages; // any other message sent in UTF-16
    int position = 0; // answered to WRITE_PLAYLIST
    // The module's own commands' answers, each as the player gives it; a setter keeps what it is sent,
    // the volume in 8 bits, as the player does.
    int elapsed = 151900; // milliseconds
    int bitrate = 320;
    int sampleRate = 44;
    int channels = 2;
    int listLength = 120;
    int listPos = 2;
    int volume = 186; // 73 percent
    int shuffle = 0;
    int repeat = 0;
    int rating = 3;
    // Playlist entries' strings as the player hands them out: QUERY_LIST_TITLE and QUERY_LIST_FILE
    // answer what this gives for the entry, a pointer into the memory a test lays out; 0 without it,
    // as a program that imitates the player answers.
    std::function<LRESULT(LPARAM query, WPARAM entry)> entryAnswer;
    // WM_COPYDATA requests as they came: dwData and the UTF-16 text carried. ADD_TO_PLAYLIST grows
    // the playlist by `added` entries and answers whether it grew.
    std::vector<std::pair<ULONG_PTR, std::u16string>> copied;
    int added = 1;
    // The track's tags, asked as the player of 5.9 answers: a reply by message to REPLY_CURRENT_FILE
    // and REPLY_FILE_TAG. `replies` off, it answers them 0, as older players and imitations do.
    // `tagBlock` on, it answers QUERY_FILE_TAG through the request block in `memoryOf`'s memory, after
    // `tagDelay` ms; a name it has no tag for answers 0.
    std::u16string file = u"C:\\Music\\Copper Lantern - Night Tram.mp3";
    std::vector<std::pair<std::u16string, std::u16string>> tags = {
        {u"artist", u"Copper Lantern"}, {u"title", u"Night Tram"}, {u"album", u"Harbour Lights"}, {u"year", u"2019"}};
    bool replies = true;
    bool tagBlock = false;
    DWORD tagDelay = 0;
    StandinProcess memoryOf = StandinProcess::Wow64;
    // In place of the replies above: what the player does with a REPLY_ request, `from` the window in
    // its wParam; answers the request.
    std::function<LRESULT(FakePlayer&, const COPYDATASTRUCT* request, HWND from)> onReplyRequest;
    std::vector<HWND> replyWindows; // the windows the requests named
    std::vector<std::u16string> blockFields; // what each request block held: file, then name
    size_t blockWidth = 0;                    // the width of its fields, as the player read them
    DWORD delay = 0;  // milliseconds each message takes to answer
    int hangAfter = -1; // after answering this many messages, the system reports the window hung
    std::function<void()> onWritePlaylist;
    HWND window = nullptr;

    // Creates the window; the FakePlayer must outlive it.
    HWND Open();
};

// The tag `name` of FakePlayer::tags, empty when it has none.
const std::u16string* TagOf(const FakePlayer& player, const std::u16string& name);
// Sends `from` the reply the player sends: a WM_COPYDATA of `request` with `bytes` of `data`, the
// player's window in wParam.
LRESULT ReplyTo(const FakePlayer& player, HWND from, ULONG_PTR request, const void* data, DWORD bytes);

// The messages sent since the last call, in the shape the expectations use.
Messages TakeMessages();

// The host the calls come from: one that never makes the load-time call (8-bit), or a 7.77 host
// that makes it and holds 2048 bytes (Unicode). The module stays in the mode until it is set again.
enum class HostMode { Narrow, Unicode };
void SetHostMode(HostMode mode);
// Calls `fn` as the host of `mode` does; a Unicode answer comes converted to the ANSI code page too.
CallResult CallAsHost(HostMode mode, CommandFn fn, const std::string& text = std::string());
std::string ModeName(const ::testing::TestParamInfo<HostMode>& info);

// A fixture whose tests run once for each host; the module goes back to 8-bit after each.
class EachHost : public ::testing::TestWithParam<HostMode> {
protected:
    void SetUp() override
    {
        StandinReset();
        SetHostMode(GetParam());
    }
    void TearDown() override
    {
        SetHostMode(HostMode::Narrow);
        StandinReset();
    }
};
