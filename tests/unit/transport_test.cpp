#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "../../src/player/playlist_number.h"
#include "harness.h"

namespace {

class Transport : public ::testing::Test {
protected:
    void SetUp() override { StandinReset(); }
    void TearDown() override { StandinReset(); }
};

// TRACKPLAY reads its number from an 8-bit host's text and from a Unicode host's under the same rules.
class TrackPlay : public EachHost {};

INSTANTIATE_TEST_SUITE_P(Hosts, TrackPlay, ::testing::Values(HostMode::Narrow, HostMode::Unicode), ModeName);

struct PlayCase {
    const char* text;
    int position; // -1: nothing selected
};

// The host counts entries from 1, the player from 0.
const PlayCase PLAY_CASES[] = {
    {"3", 2},         {"1", 0},           {"", -1},          {"0", -1},          {"0.9", -1},
    {"-4", -1},       {"abc", -1},        {"0x10", -1},      {"2.9", 1},         {" 7", 6},
    {"7 songs", 6},   {"1e1", 9},         {"1d1", 9},        {"1E1", 9},         {"1D+1", 9},
    {"+5", 4},        {".5", -1},         {"1.", 0},         {"5e", 4},          {"5e+", 4},
    {"20e-1", 1},     {"\t\n 4", 3},      {"inf", -1},       {"nan", -1},        {"infinity", -1},
    {"1e30", INT_MAX}, {"99999999999", INT_MAX}, {"2147483648", 2147483647},     {"2147483649", INT_MAX},
    {"1e400", INT_MAX}, {"-1e400", -1},   {"0.99999999999999999999", 0},        {"12abc", 11},
};

TEST_P(TrackPlay, SelectsTheNumberedEntryThenPlays)
{
    for (const PlayCase& k : PLAY_CASES) {
        for (int state : {1, 3, 0}) {
            StandinReset();
            FakePlayer player;
            player.playState = state;
            player.Open();
            CallResult call = CallAsHost(GetParam(), TRACKPLAY, k.text);
            Messages expected = {VERSION, PLAY_STATE};
            if (k.position >= 0) {
                expected.push_back(SetPosition(static_cast<WPARAM>(k.position)));
                // A paused player would resume its old track instead of starting the selected one.
                if (state != 1)
                    expected.push_back(Command(CMD_STOP));
            }
            expected.push_back(Command(CMD_PLAY));
            std::string where = std::string("«") + k.text + "» state " + std::to_string(state);
            EXPECT_EQ("", CompareMessages(expected, TakeMessages())) << where;
            EXPECT_EQ(3, call.result) << where;
            EXPECT_EQ(k.text, call.answer) << where;
            EXPECT_TRUE(call.guardIntact) << where;
        }
    }
}

TEST_F(Transport, CommandsLeaveTheHostTextByteForByte)
{
    FakePlayer player;
    player.Open();
    const std::string texts[] = {"", "abc", "3", std::string(1023, 'z'), "%s%n%i"};
    for (const CommandInfo& c : AllCommands()) {
        if (c.strict)
            continue;
        for (const std::string& text : texts) {
            std::vector<char> buffer(HOST_BUFFER + 64, static_cast<char>(POISON));
            std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
            std::vector<char> before = buffer;
            EXPECT_EQ(3, c.fn(0, 0, buffer.data(), 0, 0, 0));
            EXPECT_EQ(before, buffer) << c.name << " «" << text.substr(0, 20) << "»";
        }
    }
}

TEST(PlaylistNumber, ReadsTheDecimalFormsOnly)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"3", 3},       {"2.9", 2.9},   {"-4", -4},    {"1d1", 10},  {"1D-1", 0.1},
                          {"2.5e2x", 250}, {"0x10", 0},   {"", 0},        {"-", 0},     {"+.", 0},
                          {"  -.25", -0.25}, {"e5", 0},   {"nan", 0},     {"1e", 1},    {"1e-", 1},
                          {"007", 7}};
    for (const Case& k : cases) {
        EXPECT_DOUBLE_EQ(k.value, ReadPlaylistNumber(k.text)) << "«" << k.text << "»";
        std::u16string wide(k.text, k.text + std::strlen(k.text));
        EXPECT_DOUBLE_EQ(k.value, ReadPlaylistNumber(wide.c_str())) << "UTF-16 «" << k.text << "»";
    }
    // In UTF-16, only ASCII digits and white space count: no full-width or Arabic-Indic digit, no
    // no-break space; nor does a unit whose low byte is a digit.
    const std::u16string others[] = {u"\uFF13", u"\u0663", u"\u00A07", u"\u3000 7", u"\u0133"};
    for (const std::u16string& text : others)
        EXPECT_DOUBLE_EQ(0.0, ReadPlaylistNumber(text.c_str()));
}

TEST(PlaylistNumber, ReadsAWholeLongNumber)
{
    std::string text = "0." + std::string(5000, '0') + "1e5003";
    EXPECT_DOUBLE_EQ(100.0, ReadPlaylistNumber(text.c_str())); // 1e-5001 * 1e5003
    EXPECT_EQ(INT_MAX, PlaylistPositionOf(ReadPlaylistNumber(std::string(400, '9').c_str())));
}

TEST(PlaylistNumber, PositionsNeverGoNegativeOrWrap)
{
    EXPECT_EQ(-1, PlaylistPositionOf(0.9999));
    EXPECT_EQ(0, PlaylistPositionOf(1.0));
    EXPECT_EQ(2147483646, PlaylistPositionOf(2147483647.0));
    EXPECT_EQ(2147483647, PlaylistPositionOf(2147483648.9));
    EXPECT_EQ(INT_MAX, PlaylistPositionOf(1e300));
    EXPECT_EQ(INT_MAX, PlaylistPositionOf(HUGE_VAL));
    EXPECT_EQ(-1, PlaylistPositionOf(-HUGE_VAL));
    EXPECT_EQ(-1, PlaylistPositionOf(std::nan("")));
}

} // namespace
