#include <gtest/gtest.h>

#include "../../src/player/check_player.h"
#include "harness.h"

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
    EXPECT_EQ(2, StandinFindCalls());
    StandinDestroyWindow(second.window);
    StandinDestroyWindow(first.window);
    EXPECT_EQ("ERR 1", CallCommand(TRACKNEXT).answer);
    EXPECT_EQ(nullptr, PlayerWindow.load());
}

} // namespace
