// The track's tags and the play state. FILETAG asks the way the player answers other programs: a
// reply by message to a window the module makes for the call, or, for an older player, a request
// block in its memory. For each route, the exact messages after the gate and the answer, both hosts.
#include <gtest/gtest.h>

#include <cstring>

#include "harness.h"

namespace {

class FileTag : public EachHost {};

INSTANTIATE_TEST_SUITE_P(Hosts, FileTag, ::testing::Values(HostMode::Narrow, HostMode::Unicode), ModeName);

Messages Then(Messages a, const Messages& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Message ASK_FILE = CopyDataReplied(REPLY_CURRENT_FILE);
const Message ASK_TAG = CopyDataReplied(REPLY_FILE_TAG);
// The stand-in's first block in another process.
constexpr uint64_t FIRST_BLOCK = 0x10000000;
constexpr uint64_t FILE_TEXT = 0x81ff0000;

// An older player: no reply, the request block, and its current file readable at FILE_TEXT.
void OlderPlayer(FakePlayer& p)
{
    p.replies = false;
    p.tagBlock = true;
    p.listLength = 5;
    p.listPos = 2;
    // A 32-bit player's answer arrives sign-extended.
    p.entryAnswer = [&p](LPARAM query, WPARAM) -> LRESULT {
        if (query != QUERY_LIST_FILE)
            return 0;
        return p.memoryOf == StandinProcess::Native64 ? static_cast<LRESULT>(FILE_TEXT)
                                                       : static_cast<int32_t>(static_cast<uint32_t>(FILE_TEXT));
    };
}

const Messages THROUGH_MEMORY = {ASK_FILE, LIST_LENGTH, LIST_POS, ListFile(2),
                                 Setting(QUERY_FILE_TAG, static_cast<int>(FIRST_BLOCK))};

// The reply to the request for the current file, as the player sends it.
LRESULT ReplyWithFile(FakePlayer& f, HWND from)
{
    return ReplyTo(f, from, REPLY_CURRENT_FILE, f.file.c_str(), static_cast<DWORD>((f.file.size() + 1) * 2));
}

struct TagCase {
    const char* what;
    const char* text; // in the ANSI code page
    std::function<void(FakePlayer&)> tune;
    Messages action;
    std::u16string answer; // as a Unicode host gets it; an 8-bit one gets it in ASCII
    size_t blocksLeft;     // request blocks still allocated in the player after the call
};

void RunTagCases(HostMode host, const std::vector<TagCase>& cases)
{
    for (const TagCase& k : cases) {
        StandinReset();
        FakePlayer player;
        if (k.tune)
            k.tune(player);
        HWND window = player.Open();
        StandinSetWindowProcess(window, player.memoryOf);
        StandinSetMemoryText(player.memoryOf, FILE_TEXT, player.file);
        CallResult call = CallAsHost(host, FILETAG, k.text);
        std::string where = std::string("FILETAG: ") + k.what;
        EXPECT_EQ("", CompareMessages(Then({VERSION, PLAY_STATE}, k.action), TakeMessages())) << where;
        if (host == HostMode::Unicode)
            EXPECT_TRUE(k.answer == call.wide) << where << ": " << call.answer;
        else
            EXPECT_EQ(std::string(k.answer.begin(), k.answer.end()), call.answer) << where;
        EXPECT_TRUE(call.guardIntact) << where;
        EXPECT_EQ(k.blocksLeft, StandinAllocatedBlocks().size()) << where;
        // The reply window is the one the requests named, and it is gone before the call returns.
        EXPECT_EQ(0, StandinLiveWindows("STATIC")) << where;
        for (HWND from : player.replyWindows)
            EXPECT_NE(window, from) << where;
        EXPECT_EQ(0, StandinOpenFiles()) << where << ": the process is closed";
    }
}

TEST_P(FileTag, ThePlayerRepliesByMessage)
{
    RunTagCases(GetParam(), {
        {"artist", "artist", nullptr, {ASK_FILE, ASK_TAG}, u"Copper Lantern", 0},
        {"blanks around the name", " \talbum  ", nullptr, {ASK_FILE, ASK_TAG}, u"Harbour Lights", 0},
        {"year", "year", nullptr, {ASK_FILE, ASK_TAG}, u"2019", 0},
        {"a name the file has no tag for", "comment", nullptr, {ASK_FILE, ASK_TAG}, u"", 0},
        {"63 characters", "replaygain_track_gain_0123456789012345678901234567890123456789a", nullptr,
         {ASK_FILE, ASK_TAG}, u"", 0},
        {"the reply to the file, but none to the tag", "artist",
         [](FakePlayer& p) {
             p.onReplyRequest = [](FakePlayer& f, const COPYDATASTRUCT* copy, HWND from) -> LRESULT {
                 ULONG_PTR request = copy->dwData;
                 return request == REPLY_CURRENT_FILE ? ReplyWithFile(f, from) : 0;
             };
         },
         {ASK_FILE, ASK_TAG}, u"", 0},
        {"a tag longer than the reply asked is cut to what the window holds", "title",
         [](FakePlayer& p) {
             p.onReplyRequest = [](FakePlayer& f, const COPYDATASTRUCT* copy, HWND from) -> LRESULT {
                 ULONG_PTR request = copy->dwData;
                 if (request == REPLY_CURRENT_FILE)
                     return ReplyWithFile(f, from);
                 std::u16string longer(3000, u'x');
                 return ReplyTo(f, from, request, longer.data(), 6000);
             };
         },
         {ASK_FILE, ASK_TAG}, std::u16string(1023, u'x'), 0},
        {"an odd-sized reply keeps whole units", "title",
         [](FakePlayer& p) {
             p.onReplyRequest = [](FakePlayer& f, const COPYDATASTRUCT* copy, HWND from) -> LRESULT {
                 ULONG_PTR request = copy->dwData;
                 if (request == REPLY_CURRENT_FILE)
                     return ReplyWithFile(f, from);
                 return ReplyTo(f, from, request, u"Night Tram", 11);
             };
         },
         {ASK_FILE, ASK_TAG}, u"Night", 0},
        // Replies the window must not take: the call then learns nothing, and the player answered 1.
        {"a reply with another dwData", "artist",
         [](FakePlayer& p) {
             p.onReplyRequest = [](FakePlayer& f, const COPYDATASTRUCT*, HWND from) -> LRESULT {
                 ReplyTo(f, from, REPLY_FILE_TAG, f.file.c_str(), static_cast<DWORD>((f.file.size() + 1) * 2));
                 return 1;
             };
         },
         {ASK_FILE}, u"", 0},
        {"a reply from another window", "artist",
         [](FakePlayer& p) {
             p.onReplyRequest = [](FakePlayer& f, const COPYDATASTRUCT* copy, HWND from) -> LRESULT {
                 ULONG_PTR request = copy->dwData;
                 COPYDATASTRUCT reply = {request, static_cast<DWORD>((f.file.size() + 1) * 2),
                                         const_cast<char16_t*>(f.file.c_str())};
                 StandinDeliver(from, WM_COPYDATA, 0x4242, reinterpret_cast<LPARAM>(&reply));
                 return 1;
             };
         },
         {ASK_FILE}, u"", 0},
        {"no answer in time to the file", "artist", [](FakePlayer& p) { p.hangAfter = 2; }, {ASK_FILE}, u"", 0},
        {"no answer in time to the tag", "artist", [](FakePlayer& p) { p.hangAfter = 3; }, {ASK_FILE, ASK_TAG},
         u"", 0},
    });
}

TEST_P(FileTag, AnyOtherNameSendsNothing)
{
    const char* const refused[] = {"", "   ", "art ist", "art-ist", "art\xEEst", "artist;", "\"artist\"",
                                   "replaygain_track_gain_0123456789012345678901234567890123456789abc"};
    std::vector<TagCase> cases;
    for (const char* text : refused)
        cases.push_back({text, text, nullptr, {}, u"", 0});
    RunTagCases(GetParam(), cases);
}

TEST_P(FileTag, AnOlderPlayerAnswersThroughItsMemory)
{
    RunTagCases(GetParam(), {
        {"a 32-bit player", "artist", OlderPlayer, THROUGH_MEMORY, u"Copper Lantern", 0},
        {"a 64-bit player", "album",
         [](FakePlayer& p) {
             OlderPlayer(p);
             p.memoryOf = StandinProcess::Native64;
         },
         THROUGH_MEMORY, u"Harbour Lights", 0},
        {"a name its decoder does not know", "bpm", OlderPlayer, THROUGH_MEMORY, u"", 0},
        // It writes the answer after the call gave up: the block stays for it to write into.
        {"an answer after the budget", "artist",
         [](FakePlayer& p) {
             OlderPlayer(p);
             p.tagDelay = 2500;
         },
         THROUGH_MEMORY, u"", 1},
        {"its process cannot be opened to write", "artist",
         [](FakePlayer& p) {
             OlderPlayer(p);
             StandinSetReadRefused(StandinProcess::Wow64, true);
         },
         {ASK_FILE}, u"", 0},
        {"its current file cannot be read", "artist",
         [](FakePlayer& p) {
             OlderPlayer(p);
             p.entryAnswer = nullptr;
         },
         {ASK_FILE, LIST_LENGTH, LIST_POS, ListFile(2)}, u"", 0},
        {"the 3031 request answered 1", "artist",
         [](FakePlayer& p) {
             OlderPlayer(p);
             p.onReplyRequest = [](FakePlayer&, const COPYDATASTRUCT*, HWND) -> LRESULT { return 1; };
         },
         {ASK_FILE}, u"", 0},
        // Programs that imitate the player answer 0 to all of it, and have no request block.
        {"an imitation's version", "artist",
         [](FakePlayer& p) {
             OlderPlayer(p);
             p.version = 0x2080;
         },
         {ASK_FILE}, u"", 0},
    });
}

// The block holds the four fields in the player's width, then the file and the name.
TEST(FileTagBlock, HoldsTheFieldsInThePlayersWidth)
{
    for (StandinProcess process : {StandinProcess::Wow64, StandinProcess::Native64}) {
        StandinReset();
        FakePlayer player;
        OlderPlayer(player);
        player.memoryOf = process;
        StandinSetWindowProcess(player.Open(), process);
        StandinSetMemoryText(process, FILE_TEXT, player.file);
        CallResult call = CallCommand(FILETAG, "title");
        EXPECT_EQ("Night Tram", call.answer);
        EXPECT_EQ(process == StandinProcess::Native64 ? 8u : 4u, player.blockWidth);
        ASSERT_EQ(2u, player.blockFields.size());
        EXPECT_TRUE(player.file == player.blockFields[0]);
        EXPECT_TRUE(u"title" == player.blockFields[1]);
        EXPECT_TRUE(StandinAllocatedBlocks().empty());
        EXPECT_EQ(static_cast<DWORD>(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_WRITE |
                                     PROCESS_VM_OPERATION),
                  StandinLastOpenRights());
    }
    StandinReset();
}

// The tag request carries the file the player replied and the name, each with its zero, and both
// requests name the one window the call made.
TEST(FileTagReply, CarriesTheFileAndTheName)
{
    StandinReset();
    FakePlayer player;
    std::u16string carried;
    player.onReplyRequest = [&carried](FakePlayer& f, const COPYDATASTRUCT* copy, HWND from) -> LRESULT {
        if (copy->dwData == REPLY_CURRENT_FILE)
            return ReplyWithFile(f, from);
        carried.assign(static_cast<const char16_t*>(copy->lpData), copy->cbData / 2);
        return 0;
    };
    player.Open();
    CallCommand(FILETAG, "artist");
    EXPECT_TRUE(player.file + u'\0' + u"artist" + u'\0' == carried);
    EXPECT_EQ(1, StandinWindowsMade("STATIC"));
    ASSERT_EQ(2u, player.replyWindows.size());
    EXPECT_EQ(player.replyWindows[0], player.replyWindows[1]);
    StandinReset();
}

TEST_P(FileTag, PlayStateNamesWhatTheSearchSaw)
{
    const std::pair<int, const char*> states[] = {{1, "playing"}, {3, "paused"}, {0, "stopped"}, {2, "paused"}};
    for (const auto& s : states) {
        StandinReset();
        FakePlayer player;
        player.playState = s.first;
        player.Open();
        CallResult call = CallAsHost(GetParam(), PLAYSTATE, "abc");
        EXPECT_EQ(s.second, call.answer) << s.first;
        EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE}, TakeMessages())) << s.first;
    }
}

} // namespace
