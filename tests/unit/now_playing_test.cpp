// The module's own eight commands: for each, the exact messages after the gate and the answer, for
// both hosts, against a player that answers in range and one that does not.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "../../src/player/player_settings.h"
#include "../../src/player/seek.h"
#include "harness.h"

namespace {

class NowPlaying : public EachHost {};

INSTANTIATE_TEST_SUITE_P(Hosts, NowPlaying, ::testing::Values(HostMode::Narrow, HostMode::Unicode), ModeName);

struct Case {
    const char* text;
    void (*tune)(FakePlayer&); // the player's state before the call; null: FakePlayer's defaults
    Messages action;           // after the gate
    const char* answer;        // null: the host's text, unchanged
};

// Runs each case against a fresh player, and hands the player after the call to `after`.
void RunCases(HostMode host, const char* name, CommandFn fn, const std::vector<Case>& cases,
              const std::function<void(size_t, const FakePlayer&)>& after = nullptr)
{
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& k = cases[i];
        StandinReset();
        FakePlayer player;
        if (k.tune != nullptr)
            k.tune(player);
        player.Open();
        CallResult call = CallAsHost(host, fn, k.text);
        std::string where = std::string(name) + " «" + k.text + "» case " + std::to_string(i);
        Messages expected = {VERSION, PLAY_STATE};
        expected.insert(expected.end(), k.action.begin(), k.action.end());
        EXPECT_EQ("", CompareMessages(expected, TakeMessages())) << where;
        EXPECT_EQ(k.answer != nullptr ? k.answer : k.text, call.answer) << where;
        EXPECT_EQ(3, call.result) << where;
        EXPECT_TRUE(call.guardIntact) << where;
        if (after)
            after(i, player);
    }
}

struct Added {
    const char* name;
    CommandFn fn;
    bool strict;
};

const Added ADDED[] = {{"FILEPOS", FILEPOS, true},    {"FILERATE", FILERATE, true}, {"LISTINFO", LISTINFO, false},
                       {"TRACKSEEK", TRACKSEEK, false}, {"VOLUME", VOLUME, false},  {"SHUFFLE", SHUFFLE, false},
                       {"REPEAT", REPEAT, false},      {"RATING", RATING, false},  {"LISTTITLE", LISTTITLE, false},
                       {"LISTFILE", LISTFILE, false},  {"LISTADD", LISTADD, false}};

TEST_P(NowPlaying, GatesRefuseAsForEveryCommand)
{
    for (const Added& c : ADDED) {
        StandinReset();
        EXPECT_EQ("ERR 1", CallAsHost(GetParam(), c.fn, "5").answer) << c.name;
        EXPECT_EQ("", CompareMessages({}, TakeMessages())) << c.name;

        FakePlayer old;
        old.version = 0x2004;
        old.Open();
        EXPECT_EQ("ERR 2", CallAsHost(GetParam(), c.fn, "5").answer) << c.name;
        EXPECT_EQ("", CompareMessages({VERSION}, TakeMessages())) << c.name;

        for (int state : {0, 3}) {
            StandinReset();
            FakePlayer stopped;
            stopped.playState = state;
            stopped.Open();
            CallResult call = CallAsHost(GetParam(), c.fn, "abc");
            Messages seen = TakeMessages();
            std::string where = std::string(c.name) + " state " + std::to_string(state);
            if (c.strict) {
                EXPECT_EQ("ERR 3", call.answer) << where;
                EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE}, seen)) << where;
            } else {
                EXPECT_NE("ERR 3", call.answer) << where;
            }
        }
    }
}

TEST_P(NowPlaying, FilePosAnswersElapsedAndLengthInSeconds)
{
    RunCases(GetParam(), "FILEPOS", FILEPOS,
             {
                 {"", nullptr, {ELAPSED, TRACK_LENGTH}, "151 245"},
                 {"99", [](FakePlayer& p) { p.elapsed = 37999; p.length = -1; }, {ELAPSED, TRACK_LENGTH}, "37 -1"},
                 {"", [](FakePlayer& p) { p.elapsed = 999; }, {ELAPSED, TRACK_LENGTH}, "0 245"},
                 {"", [](FakePlayer& p) { p.elapsed = INT_MAX; p.length = INT_MIN; }, {ELAPSED, TRACK_LENGTH},
                  "2147483 -2147483648"},
                 // The window stops answering after the elapsed time: the length reads 0.
                 {"", [](FakePlayer& p) { p.hangAfter = 3; }, {ELAPSED, TRACK_LENGTH}, "151 0"},
             });
}

TEST_P(NowPlaying, FileRateAnswersKbpsKhzAndChannels)
{
    RunCases(GetParam(), "FILERATE", FILERATE,
             {
                 {"", nullptr, {BITRATE, SAMPLE_RATE, CHANNELS}, "320 44 2"},
                 {"", [](FakePlayer& p) { p.sampleRate = 44100; }, {BITRATE, SAMPLE_RATE, CHANNELS}, "320 44 2"},
                 {"", [](FakePlayer& p) { p.sampleRate = 999; p.bitrate = 0; p.channels = 6; },
                  {BITRATE, SAMPLE_RATE, CHANNELS}, "0 999 6"},
                 {"", [](FakePlayer& p) { p.sampleRate = 1000; }, {BITRATE, SAMPLE_RATE, CHANNELS}, "320 1 2"},
                 {"", [](FakePlayer& p) { p.hangAfter = 3; }, {BITRATE, SAMPLE_RATE}, "320 0 0"},
             });
}

TEST_P(NowPlaying, ListInfoCountsFromOneAndAsksNoPositionOfAnEmptyList)
{
    RunCases(GetParam(), "LISTINFO", LISTINFO,
             {
                 {"", nullptr, {LIST_LENGTH, LIST_POS}, "3 120"},
                 {"7", [](FakePlayer& p) { p.listLength = 0; p.listPos = 5; }, {LIST_LENGTH}, "0 0"},
                 {"", [](FakePlayer& p) { p.listLength = -1; }, {LIST_LENGTH}, "0 0"},
                 {"", [](FakePlayer& p) { p.listPos = 500; }, {LIST_LENGTH, LIST_POS}, "120 120"},
                 {"", [](FakePlayer& p) { p.listPos = -9; }, {LIST_LENGTH, LIST_POS}, "1 120"},
                 {"", [](FakePlayer& p) { p.listLength = INT_MAX; p.listPos = INT_MAX; }, {LIST_LENGTH, LIST_POS},
                  "2147483647 2147483647"},
                 {"", [](FakePlayer& p) { p.playState = 0; p.listPos = 0; }, {LIST_LENGTH, LIST_POS}, "1 120"},
                 {"", [](FakePlayer& p) { p.hangAfter = 3; }, {LIST_LENGTH, LIST_POS}, "1 120"},
             });
}

TEST_P(NowPlaying, TrackSeekJumpsToSecondsOrStepsFromTheElapsedTime)
{
    RunCases(GetParam(), "TRACKSEEK", TRACKSEEK,
             {
                 {"90", nullptr, {JumpTo(90000)}, nullptr},
                 {"90.5", nullptr, {JumpTo(90500)}, nullptr},
                 {"1.005", nullptr, {JumpTo(1005)}, nullptr},
                 {"0.0004", nullptr, {JumpTo(0)}, nullptr},
                 {" 12 s", nullptr, {JumpTo(12000)}, nullptr},
                 {"0", nullptr, {JumpTo(0)}, nullptr},
                 {"0x10", nullptr, {JumpTo(0)}, nullptr},
                 {"1e9", nullptr, {JumpTo(INT_MAX)}, nullptr},
                 {"+10", nullptr, {ELAPSED, JumpTo(161900)}, nullptr},
                 {"-30.25", nullptr, {ELAPSED, JumpTo(121650)}, nullptr},
                 {"-200", nullptr, {ELAPSED, JumpTo(0)}, nullptr},
                 {"+1e30", nullptr, {ELAPSED, JumpTo(INT_MAX)}, nullptr},
                 {"+5", [](FakePlayer& p) { p.playState = 0; p.elapsed = -1; }, {ELAPSED, JumpTo(5000)}, nullptr},
                 {"+5", [](FakePlayer& p) { p.elapsed = INT_MAX; }, {ELAPSED, JumpTo(INT_MAX)}, nullptr},
                 {"+5", [](FakePlayer& p) { p.hangAfter = 3; }, {ELAPSED, JumpTo(156900)}, nullptr},
                 {"+5", [](FakePlayer& p) { p.hangAfter = 2; }, {ELAPSED}, nullptr},
                 {"", nullptr, {}, nullptr},
                 {"_", nullptr, {}, nullptr},
                 {"soon", nullptr, {}, nullptr},
                 {"+", nullptr, {}, nullptr},
                 {"-.", nullptr, {}, nullptr},
             });
}

TEST_P(NowPlaying, VolumeAsksSetsAndStepsInPercent)
{
    const std::vector<Case> cases = {
        {"", nullptr, {ASK_VOLUME}, "73"},
        {"abc", nullptr, {ASK_VOLUME}, "73"},
        {"50", nullptr, {SetVolume(128), ASK_VOLUME}, "50"},
        {"0", nullptr, {SetVolume(0), ASK_VOLUME}, "0"},
        {"100", nullptr, {SetVolume(255), ASK_VOLUME}, "100"},
        {"150", nullptr, {SetVolume(255), ASK_VOLUME}, "100"},
        {"1e300", nullptr, {SetVolume(255), ASK_VOLUME}, "100"},
        {"33.9", nullptr, {SetVolume(84), ASK_VOLUME}, "33"},
        {"+10", nullptr, {ASK_VOLUME, SetVolume(212), ASK_VOLUME}, "83"},
        {"-200", nullptr, {ASK_VOLUME, SetVolume(0), ASK_VOLUME}, "0"},
        {"+50", nullptr, {ASK_VOLUME, SetVolume(255), ASK_VOLUME}, "100"},
        // A window that answers past 255: the percent stays within 0-100, and a step starts from there.
        {"", [](FakePlayer& p) { p.volume = 300; }, {ASK_VOLUME}, "100"},
        {"", [](FakePlayer& p) { p.volume = -7; }, {ASK_VOLUME}, "0"},
        {"-1", [](FakePlayer& p) { p.volume = 300; }, {ASK_VOLUME, SetVolume(252), ASK_VOLUME}, "99"},
        // It stops answering after the first ask: the set and what follows read 0.
        {"+10", [](FakePlayer& p) { p.hangAfter = 3; }, {ASK_VOLUME, SetVolume(212)}, "0"},
    };
    const int kept[] = {186, 186, 128, 0, 255, 255, 255, 84, 212, 0, 255, 300, -7, 252, 186};
    RunCases(GetParam(), "VOLUME", VOLUME, cases,
             [&](size_t i, const FakePlayer& p) { EXPECT_EQ(kept[i], p.volume) << "VOLUME case " << i; });
}

TEST(VolumeScale, EveryPercentComesBackAsItself)
{
    for (int percent = 0; percent <= 100; ++percent) {
        int volume = VolumeOfPercent(percent);
        EXPECT_TRUE(volume >= 0 && volume <= 255) << percent;
        EXPECT_EQ(percent, PercentOfVolume(volume)) << percent;
    }
    EXPECT_EQ(0, VolumeOfPercent(-1));
    EXPECT_EQ(255, VolumeOfPercent(256));
    EXPECT_EQ(100, PercentOfVolume(INT_MAX));
    EXPECT_EQ(0, PercentOfVolume(INT_MIN));
    EXPECT_EQ(INT_MAX, PlayerTimeOf(1e300));
    EXPECT_EQ(0, PlayerTimeOf(-HUGE_VAL));
    EXPECT_EQ(2147483646, PlayerTimeOf(2147483646.5));
}

TEST_P(NowPlaying, ShuffleAndRepeatAreOnOrOff)
{
    struct Switch {
        const char* name;
        CommandFn fn;
        LPARAM query, setter;
        int FakePlayer::*state;
    };
    const Switch switches[] = {{"SHUFFLE", SHUFFLE, QUERY_SHUFFLE, SET_SHUFFLE, &FakePlayer::shuffle},
                               {"REPEAT", REPEAT, QUERY_REPEAT, SET_REPEAT, &FakePlayer::repeat}};
    for (const Switch& s : switches) {
        Message ask = Query(s.query);
        auto set = [&](int value) { return Setting(s.setter, value); };
        // The player answers 7 here: any answer but 0 is on.
        static int FakePlayer::*answering;
        answering = s.state;
        const std::vector<Case> cases = {
            {"", nullptr, {ask}, "0"},
            {"1", nullptr, {set(1), ask}, "1"},
            {"0", nullptr, {set(0), ask}, "0"},
            {"-3.5", nullptr, {set(1), ask}, "1"},
            {"0.0", nullptr, {set(0), ask}, "0"},
            {"off", nullptr, {ask}, "0"},
            {"", [](FakePlayer& p) { p.*answering = 7; }, {ask}, "1"},
            {"", [](FakePlayer& p) { p.*answering = -1; }, {ask}, "1"},
            {"1", [](FakePlayer& p) { p.hangAfter = 3; }, {set(1), ask}, "0"},
        };
        const int kept[] = {0, 1, 0, 1, 0, 0, 7, -1, 1};
        RunCases(GetParam(), s.name, s.fn, cases, [&](size_t i, const FakePlayer& p) {
            EXPECT_EQ(kept[i], p.*(s.state)) << s.name << " case " << i;
        });
    }
}

TEST_P(NowPlaying, RatingIsZeroToFive)
{
    Message set4 = Setting(SET_RATING, 4);
    const std::vector<Case> cases = {
        {"", nullptr, {RATING_STATE}, "3"},
        {"4", nullptr, {set4, RATING_STATE}, "4"},
        {"4.9", nullptr, {set4, RATING_STATE}, "4"},
        {"9", nullptr, {Setting(SET_RATING, 5), RATING_STATE}, "5"},
        {"-2", nullptr, {Setting(SET_RATING, 0), RATING_STATE}, "0"},
        {"1e99", nullptr, {Setting(SET_RATING, 5), RATING_STATE}, "5"},
        {"", [](FakePlayer& p) { p.rating = 77; }, {RATING_STATE}, "5"},
        {"", [](FakePlayer& p) { p.rating = -4; }, {RATING_STATE}, "0"},
        {"2", [](FakePlayer& p) { p.playState = 0; }, {Setting(SET_RATING, 2), RATING_STATE}, "2"},
        {"4", [](FakePlayer& p) { p.hangAfter = 3; }, {set4, RATING_STATE}, "0"},
    };
    RunCases(GetParam(), "RATING", RATING, cases);
}

// Nothing reaches a window the call passes over: an imitation found first gets only the two queries
// that the search has always sent.
TEST_P(NowPlaying, AWindowPassedOverGetsOnlyTheSearch)
{
    for (const Added& c : ADDED) {
        StandinReset();
        FakePlayer real;
        real.Open();
        FakePlayer imitation;
        imitation.version = 0x2080;
        imitation.playState = 0;
        imitation.Open();
        CallAsHost(GetParam(), c.fn, "+5");
        std::vector<SentMessage> sent = StandinTakeMessages();
        Messages toImitation, toReal;
        for (const SentMessage& m : sent)
            (m.window == imitation.window ? toImitation : toReal).push_back({m.msg, m.wParam, m.lParam, false});
        EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE}, toImitation)) << c.name;
        ASSERT_GT(toReal.size(), 2u) << c.name;
    }
}

} // namespace
