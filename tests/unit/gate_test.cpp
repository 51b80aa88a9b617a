#include <gtest/gtest.h>

#include "../../src/player/check_player.h"
#include "harness.h"

#include <map>

namespace {

class Gate : public ::testing::Test {
protected:
    void SetUp() override { StandinReset(); }
    void TearDown() override { StandinReset(); }
};

Messages Concat(Messages a, const Messages& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(Gate, NoPlayerWindowAnswersErr1AndSendsNothing)
{
    for (const CommandInfo& c : AllCommands()) {
        CallResult call = CallCommand(c.fn, "abc");
        EXPECT_EQ(3, call.result) << c.name;
        EXPECT_EQ("ERR 1", call.answer) << c.name;
        EXPECT_TRUE(call.guardIntact) << c.name;
        EXPECT_EQ("", CompareMessages({}, TakeMessages())) << c.name;
        EXPECT_EQ(nullptr, PlayerWindow.load()) << c.name;
    }
}

TEST_F(Gate, OnlyTheVersionQueryDecidesAnOldPlayer)
{
    struct Case {
        int version;
        const char* answer; // nullptr: admitted
    };
    const Case cases[] = {{8196, "ERR 2"}, {0, "ERR 2"}, {-1, "ERR 2"}, {INT32_MIN, "ERR 2"}, {8197, nullptr},
                          {0x5092, nullptr}, {0x7FFFFFFF, nullptr}};
    for (const Case& k : cases) {
        for (const CommandInfo& c : AllCommands()) {
            StandinReset();
            FakePlayer player;
            player.version = k.version;
            player.position = -1; // FILENAME then has nothing to read
            player.Open();
            CallResult call = CallCommand(c.fn, "abc");
            std::string where = std::string(c.name) + " version " + std::to_string(k.version);
            EXPECT_EQ(3, call.result) << where;
            if (k.answer != nullptr) {
                EXPECT_EQ(k.answer, call.answer) << where;
                EXPECT_EQ("", CompareMessages({VERSION}, TakeMessages())) << where;
            } else {
                EXPECT_NE("ERR 2", call.answer) << where;
                Messages seen = TakeMessages();
                ASSERT_GE(seen.size(), 2u) << where;
                EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE}, Messages(seen.begin(), seen.begin() + 2)))
                    << where;
            }
            EXPECT_EQ(player.window, PlayerWindow.load()) << where;
        }
    }
}

TEST_F(Gate, StrictCommandsRefuseAPlayerThatIsNotPlayingWhileTransportActs)
{
    for (int state : {0, 3, 2, -1, 0x101}) {
        for (const CommandInfo& c : AllCommands()) {
            StandinReset();
            FakePlayer player;
            player.playState = state;
            player.Open();
            CallResult call = CallCommand(c.fn, "abc");
            std::string where = std::string(c.name) + " state " + std::to_string(state);
            EXPECT_EQ(3, call.result) << where;
            EXPECT_TRUE(call.guardIntact) << where;
            if (c.strict) {
                EXPECT_EQ("ERR 3", call.answer) << where;
                EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE}, TakeMessages())) << where;
            } else {
                EXPECT_EQ("abc", call.answer) << where;
                EXPECT_EQ("", CompareMessages(Concat({VERSION, PLAY_STATE}, c.action), TakeMessages())) << where;
            }
        }
    }
}

TEST_F(Gate, APlayingPlayerAdmitsEveryCommand)
{
    for (const CommandInfo& c : AllCommands()) {
        if (c.name == std::string("FILENAME"))
            continue; // needs a playlist file; its sequences are tested with the playlist reader
        StandinReset();
        FakePlayer player;
        player.Open();
        CallResult call = CallCommand(c.fn, "abc");
        EXPECT_EQ(3, call.result) << c.name;
        EXPECT_EQ("", CompareMessages(Concat({VERSION, PLAY_STATE}, c.action), TakeMessages())) << c.name;
    }
}

TEST_F(Gate, NullBufferDoesNothing)
{
    FakePlayer player;
    player.Open();
    for (const CommandInfo& c : AllCommands()) {
        EXPECT_EQ(3, c.fn(0, 0, nullptr, 0, 0, 0)) << c.name;
        EXPECT_EQ("", CompareMessages({}, TakeMessages())) << c.name;
    }
    EXPECT_EQ(0, StandinFindCalls());
}

TEST_F(Gate, WindowGoneAfterTheSearchReadsAsTooOld)
{
    FakePlayer player;
    HWND window = player.Open();
    StandinDestroyWindow(window);
    StandinSetFindHook([window](LPCSTR) { return window; });
    for (const CommandInfo& c : AllCommands()) {
        CallResult call = CallCommand(c.fn, "abc");
        EXPECT_EQ("ERR 2", call.answer) << c.name;
        EXPECT_EQ("", CompareMessages({VERSION}, TakeMessages())) << c.name;
    }
}

// The messages each window received since the last take.
std::map<HWND, Messages> TakeMessagesByWindow()
{
    std::map<HWND, Messages> seen;
    for (const SentMessage& m : StandinTakeMessages())
        seen[m.window].push_back({m.msg, m.wParam, m.lParam, m.msg == WM_GETTEXT});
    return seen;
}

// Programs that imitate the player's window, and second copies of it, make several windows of the
// class; the newest is found first. Each window's whole record is compared.
TEST_F(Gate, TheWindowThatPlaysGetsTheCall)
{
    // Imitations answer 0x2080, the player (PLAYER_*) 0x5092. A busy window takes 2.5 s over each
    // message; an elevated one's messages are refused by the system.
    enum Kind { PLAYING, PAUSED, STOPPED, OLD, HUNG, BUSY, ELEVATED, PLAYER_PAUSED, PLAYER_STOPPED };
    struct Case {
        const char* what;
        std::vector<Kind> found;   // in the order the search finds them
        int used;                  // index into `found`, -1 for none
        const char* dispName;      // DISPNAME's answer
    };
    const Case cases[] = {
        {"one playing window", {PLAYING}, 0, " Artist - Song "},
        {"an imitation, stopped, found before the playing player", {STOPPED, PLAYING}, 1, " Artist - Song "},
        {"an imitation found before a paused player", {STOPPED, PAUSED}, 1, "ERR 3"},
        {"two stopped windows", {STOPPED, STOPPED}, 0, "ERR 3"},
        {"a playing window found first: the later one is not asked", {PLAYING, PLAYING}, 0, " Artist - Song "},
        {"an old window found first", {OLD, STOPPED}, 1, "ERR 3"},
        {"only old windows", {OLD, OLD}, 0, "ERR 2"},
        {"a hung window found first", {HUNG, PLAYING}, 1, " Artist - Song "},
        {"a paused window between stopped and playing ones", {STOPPED, PAUSED, PLAYING}, 2, " Artist - Song "},
        {"a busy window found first takes only its share", {BUSY, PLAYING}, 1, " Artist - Song "},
        {"two busy windows before the player", {BUSY, BUSY, PLAYING}, 2, " Artist - Song "},
        {"a stopped imitation before a stopped player", {STOPPED, PLAYER_STOPPED}, 1, "ERR 3"},
        {"a paused imitation before a paused player", {PAUSED, PLAYER_PAUSED, STOPPED}, 1, "ERR 3"},
        {"a stopped player before a stopped imitation", {PLAYER_STOPPED, STOPPED}, 0, "ERR 3"},
        {"a paused imitation before a stopped player", {PAUSED, PLAYER_STOPPED}, 0, "ERR 3"},
        {"an elevated player", {ELEVATED}, 0, "ERR 2"},
        {"an elevated player after a stopped imitation", {STOPPED, ELEVATED}, 0, "ERR 3"},
    };
    for (const Case& k : cases) {
        for (const char* command : {"DISPNAME", "TRACKNEXT"}) {
            StandinReset();
            std::vector<FakePlayer> players(k.found.size());
            // Created from the last found to the first, as the search finds the newest first.
            for (size_t i = players.size(); i-- > 0;) {
                FakePlayer& p = players[i];
                Kind kind = k.found[i];
                p.version = kind == OLD ? 0x2004 : kind == PLAYER_PAUSED || kind == PLAYER_STOPPED ? 0x5092 : 0x2080;
                p.playState = kind == PAUSED || kind == PLAYER_PAUSED ? 3 : kind == STOPPED || kind == PLAYER_STOPPED ? 0 : 1;
                p.delay = kind == BUSY ? 2500 : 0;
                p.Open();
                StandinSetHung(p.window, kind == HUNG);
                StandinSetRefused(p.window, kind == ELEVATED);
            }
            bool lenient = std::string(command) == "TRACKNEXT";
            DWORD before = GetTickCount();
            CallResult call = CallCommand(lenient ? TRACKNEXT : DISPNAME, "abc");
            EXPECT_LE(GetTickCount() - before, ANSWER_BUDGET_MS) << command << ", " << k.what;
            std::string where = std::string(command) + ", " + k.what;
            bool refused = std::string(k.dispName).rfind("ERR", 0) == 0;
            bool old = std::string(k.dispName) == "ERR 2";
            EXPECT_EQ(lenient ? (old ? "ERR 2" : "abc") : k.dispName, call.answer) << where;
            EXPECT_EQ(players[k.used].window, PlayerWindow.load()) << where;
            std::map<HWND, Messages> seen = TakeMessagesByWindow();
            bool playingSeen = false;
            for (size_t i = 0; i < players.size(); ++i) {
                Messages expected;
                Kind kind = k.found[i];
                if (!playingSeen)
                    expected = kind == OLD || kind == HUNG || kind == BUSY || kind == ELEVATED ? Messages{VERSION}
                                                                                                : Messages{VERSION, PLAY_STATE};
                if (static_cast<int>(i) == k.used && !(refused && !lenient) && !old)
                    expected.push_back(lenient ? Command(CMD_NEXT) : GetText(899));
                playingSeen = playingSeen || kind == PLAYING;
                EXPECT_EQ("", CompareMessages(expected, seen[players[i].window])) << where << ", window " << i;
            }
        }
    }
}

TEST_F(Gate, AtMostSixteenWindowsAreAsked)
{
    std::vector<FakePlayer> players(17);
    for (FakePlayer& p : players) {
        p.playState = 0;
        p.Open();
    }
    EXPECT_EQ("abc", CallCommand(TRACKNEXT, "abc").answer);
    std::map<HWND, Messages> seen = TakeMessagesByWindow();
    EXPECT_EQ("", CompareMessages({}, seen[players.front().window])) << "the oldest, 17th found";
    EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE, Command(CMD_NEXT)}, seen[players.back().window]));
    EXPECT_EQ(16, StandinFindCalls()) << "16 found, and no 17th search";
}

// What tolbry-host --explain shows: the search's record of each window, and with every window asked,
// the same choice.
TEST_F(Gate, TheSearchKeepsWhatEachWindowAnswered)
{
    std::vector<FakePlayer> players(4);
    const int versions[] = {0x2080, 0x5092, 0x1602, 0x5092}; // in the order found
    const int states[] = {0, 1, 1, 1};
    for (size_t i = players.size(); i-- > 0;) {
        players[i].version = versions[i];
        players[i].playState = states[i];
        players[i].Open();
    }
    // The first found is an elevated program: the system refuses its messages.
    FakePlayer elevated;
    elevated.Open();
    StandinSetRefused(elevated.window, true);
    for (bool askAll : {false, true}) {
        PlayerLink link{nullptr, GetTickCount(), false};
        PlayerSearch search;
        EXPECT_EQ(PLAYER_READY, CheckPlayer(link, &search, askAll));
        EXPECT_EQ(players[1].window, link.window);
        EXPECT_EQ(5, search.count) << "every window is found, whatever is asked";
        EXPECT_EQ(2, search.used);
        EXPECT_EQ(WindowChoice::Playing, search.choice);
        const SeenWindow& refused = search.seen[0];
        EXPECT_EQ(elevated.window, refused.window);
        EXPECT_TRUE(refused.asked && !refused.versionAnswered);
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), refused.error);
        for (int i = 1; i < search.count; ++i) {
            const SeenWindow& seen = search.seen[i];
            EXPECT_EQ(players[i - 1].window, seen.window) << i;
            EXPECT_EQ(askAll || i <= 2, seen.asked) << i;
            if (!seen.asked)
                continue;
            EXPECT_TRUE(seen.versionAnswered) << i;
            EXPECT_EQ(0u, seen.error) << i;
            EXPECT_EQ(versions[i - 1], seen.version) << i;
            EXPECT_EQ(versions[i - 1] >= 0x2005, seen.stateAnswered) << i;
            if (seen.stateAnswered) {
                EXPECT_EQ(states[i - 1], seen.playState) << i;
            }
        }
        TakeMessages();
    }
}

TEST_F(Gate, SearchesByClassAloneOnEveryCall)
{
    FakePlayer first;
    first.Open();
    CallCommand(TRACKNEXT);
    EXPECT_EQ(first.window, PlayerWindow.load());
    FakePlayer second;
    second.Open(); // the newer window is found first
    CallCommand(TRACKNEXT);
    EXPECT_EQ(second.window, PlayerWindow.load());
    // Every window of the class is found before any is asked: one and the search's end, then two.
    EXPECT_EQ(5, StandinFindCalls());
    StandinDestroyWindow(second.window);
    StandinDestroyWindow(first.window);
    EXPECT_EQ("ERR 1", CallCommand(TRACKNEXT).answer);
    EXPECT_EQ(nullptr, PlayerWindow.load());
}

} // namespace
