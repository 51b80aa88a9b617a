#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../../src/trackinfo/scrolling_title.h"
#include "../../src/trackinfo/title.h"
#include "harness.h"

namespace {

// Every title answer, for an 8-bit host and for a Unicode one: the same cuts over either width.
class TitleAnswers : public EachHost {
protected:
    CallResult Ask(CommandFn fn, const std::string& title, int length = 245, const std::u16string& wideTitle = u"")
    {
        StandinReset();
        player = FakePlayer();
        player.title = title;
        player.wideTitle = wideTitle;
        player.length = length;
        player.Open();
        CallResult call = CallAsHost(GetParam(), fn, "host text");
        // The title goes in the host's width; every other message as for an 8-bit host.
        bool unicode = GetParam() == HostMode::Unicode;
        EXPECT_EQ(1, unicode ? player.wideTitleReads : player.narrowTitleReads);
        EXPECT_EQ(0, unicode ? player.narrowTitleReads : player.wideTitleReads);
        EXPECT_EQ(0, player.otherWideMessages);
        return call;
    }

    FakePlayer player;
};

INSTANTIATE_TEST_SUITE_P(Hosts, TitleAnswers, ::testing::Values(HostMode::Narrow, HostMode::Unicode), ModeName);

TEST(TitleCuts, PlaylistNumberIsTheFirstDotToken)
{
    struct Case {
        const char* title;
        const char* number;
    };
    const Case cases[] = {{"12. Artist - Song - Winamp", "12"}, {".5.x", "5"}, {"Song", "Song"}, {"", ""},
                          {"...", ""},                            {"..7", "7"}, {"7.", "7"}};
    for (const Case& k : cases) {
        std::string title = k.title;
        EXPECT_STREQ(k.number, PlaylistNumberOf(&title[0])) << "«" << k.title << "»";
    }
}

TEST(TitleCuts, DisplayNameLiesBetweenTheFirstDotAndTheLastDash)
{
    struct Case {
        const char* title;
        const char* name;
    };
    const Case cases[] = {{"12. Artist - Song - Winamp", " Artist - Song "},
                          {"Song", "Song"},
                          {"7. A-B", " A"},
                          {"Artist - Song.mp3", "mp3"},
                          {"a-b. c", " c"}, // a dash before the first dot plays no part
                          {"", ""},
                          {".", ""},
                          {"-", ""}};
    for (const Case& k : cases) {
        std::string title = k.title;
        EXPECT_STREQ(k.name, DisplayNameOf(&title[0])) << "«" << k.title << "»";
    }
}

TEST_P(TitleAnswers, FileInfoAsksTheLengthBeforeTheTitle)
{
    CallResult call = Ask(FILEINFO, "12. Artist - Song - Winamp");
    EXPECT_EQ("245 12", call.answer);
    EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE, TRACK_LENGTH, GetText(889)}, TakeMessages()));
    EXPECT_EQ(3, call.result);
}

TEST_P(TitleAnswers, DisplayNameReadsTheTitleOnly)
{
    CallResult call = Ask(DISPNAME, "12. Artist - Song - Winamp");
    EXPECT_EQ(" Artist - Song ", call.answer);
    EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE, GetText(899)}, TakeMessages()));
}

TEST_P(TitleAnswers, AnswersForTitleShapes)
{
    struct Case {
        const char* title;
        int length;
        const char* fileInfo;
        const char* displayName;
    };
    const Case cases[] = {
        {"Song", 245, "245 Song", "Song"},
        {"7. A-B", 3, "3 7", " A"},
        {"Artist - Song.mp3", 245, "245 Artist - Song", "mp3"},
        {".5.x", -1, "-1 5", "5.x"},
        {"", 245, "245 ", ""},            // no token: the length and one space
        {"....", 0, "0 ", "..."},
        {"3. 100% %s%n - Winamp", -2147483647 - 1, "-2147483648 3", " 100% %s%n "},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(k.fileInfo, Ask(FILEINFO, k.title, k.length).answer) << "«" << k.title << "»";
        EXPECT_EQ(k.displayName, Ask(DISPNAME, k.title, k.length).answer) << "«" << k.title << "»";
    }
}

// Every way the player scrolls a caption C through its title: C[p:] + « *** » + C, then the
// separator's tail + C + « *** ».
std::vector<std::string> Rotations(const std::string& caption)
{
    std::vector<std::string> titles;
    for (size_t p = 0; p < caption.size(); ++p)
        titles.push_back(caption.substr(p) + " *** " + caption);
    for (size_t k = 0; k <= 2; ++k)
        titles.push_back(std::string(" *** ").substr(k) + caption + " *** ");
    return titles;
}

TEST_P(TitleAnswers, AScrollingTitleAnswersAsTheCaption)
{
    const std::string captions[] = {
        "12. Artist - Song - Winamp",
        "3. A *** B - Winamp",                              // a caption holding the separator itself
        "4. *** - Winamp",
        "5. Song",                                          // no "-"
        "9. " + std::string(375, 'x') + " - Winamp",        // 387 characters, the player's longest
        "Winamp 5.9.2 Build 10042",
        "7. B - C - Winamp [Paused]",
    };
    for (const std::string& caption : captions) {
        std::string plainInfo = Ask(FILEINFO, caption).answer;
        std::string plainName = Ask(DISPNAME, caption).answer;
        for (const std::string& title : Rotations(caption)) {
            EXPECT_EQ(plainInfo, Ask(FILEINFO, title).answer) << "«" << title << "»";
            EXPECT_EQ(plainName, Ask(DISPNAME, title).answer) << "«" << title << "»";
        }
    }
}

TEST(TitleCuts, TitlesThatAreNoRotationStandAsTheyAre)
{
    const char* const titles[] = {"1. A *** B - Winamp", "A *** B", " *** ", " *** x", "x *** y", "ab *** b",
                                  "** a ***", "", "Song", "...", " ***  *** "};
    for (const char* t : titles) {
        std::string title = t;
        EXPECT_STREQ(t, UnscrollTitle(&title[0])) << "«" << t << "»";
    }
    std::string rotated = "b - Winamp *** 1. Ab - Winamp";
    EXPECT_STREQ("1. Ab - Winamp", UnscrollTitle(&rotated[0]));
}

TEST(TitleCuts, WhenTwoSeparatorsFitTheFirstWins)
{
    // C[p:] + « *** » + C both for C «x *** x *** x» and for C «x *** x»: the first separator that fits
    // is taken, so that a caption holding the separator comes back whole.
    std::string title = "x *** x *** x *** x";
    EXPECT_STREQ("x *** x *** x", UnscrollTitle(&title[0]));
    title = "3. A *** 3. A *** 3. A *** 3. A";
    EXPECT_STREQ("3. A *** 3. A *** 3. A", UnscrollTitle(&title[0]));
}

TEST_P(TitleAnswers, TitlesAreSeenUpToEachReadLimit)
{
    // FILEINFO sees at most 888 characters of title, DISPNAME at most 898.
    for (size_t length = 880; length <= 905; ++length) {
        std::string title = std::string(length, 'n');
        EXPECT_EQ("245 " + title.substr(0, 888), Ask(FILEINFO, title).answer) << length;
        EXPECT_EQ(title.substr(0, 898), Ask(DISPNAME, title).answer) << length;
        std::string dashed = "1." + std::string(length - 4, 'n') + "-x";
        std::string seen = dashed.substr(0, 898);
        std::string name = seen.substr(2, seen.rfind('-') == std::string::npos ? std::string::npos : seen.rfind('-') - 2);
        EXPECT_EQ(name, Ask(DISPNAME, dashed).answer) << length;
    }
}

TEST_P(TitleAnswers, AWindowThatLeavesNoTerminatorIsReadWithinTheBuffer)
{
    player = FakePlayer();
    HWND window = StandinCreateWindow(PLAYER_WINDOW_CLASS, [](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        if (msg == WM_USER && l == QUERY_VERSION)
            return 0x5092;
        if (msg == WM_USER && l == QUERY_PLAY_STATE)
            return 1;
        if (msg == WM_GETTEXT) { // the whole buffer, no terminator
            for (WPARAM i = 0; i < w; ++i) {
                if (StandinWideMessage())
                    reinterpret_cast<WCHAR*>(l)[i] = u'7';
                else
                    reinterpret_cast<char*>(l)[i] = '7';
            }
            return static_cast<LRESULT>(w);
        }
        return 0;
    });
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(std::string(898, '7'), CallAsHost(GetParam(), DISPNAME).answer);
    EXPECT_EQ("0 " + std::string(888, '7'), CallAsHost(GetParam(), FILEINFO).answer);
}

// Names that tell the hosts apart: Latin with accents, Cyrillic, CJK, and a character outside the
// Basic Multilingual Plane. A Unicode host gets every character; an 8-bit host "?" for each UTF-16
// unit its code page lacks, as Windows gives it.
TEST_P(TitleAnswers, TitlesInAnyScript)
{
    struct Case {
        std::u16string name;
        std::string narrow;
    };
    const Case cases[] = {
        {u"Caf\u00E9 M\u00FCller", "Caf\xE9 M\xFCller"},
        {u"\u0417\u0435\u043C\u0444\u0438\u0440\u0430 - \u0425\u043E\u0447\u0435\u0448\u044C?", "??????? - ???????"},
        {u"\u6771\u4EAC", "??"},
        {u"Drum \U0001F3B5", "Drum ??"},
    };
    bool unicode = GetParam() == HostMode::Unicode;
    for (const Case& k : cases) {
        CallResult name = Ask(DISPNAME, "", 245, u"3. " + k.name + u" - Winamp");
        CallResult info = Ask(FILEINFO, "", 198, k.name);
        if (unicode) {
            EXPECT_EQ(u" " + k.name + u" ", name.wide);
            EXPECT_EQ(u"198 " + k.name, info.wide);
        } else {
            EXPECT_EQ(" " + k.narrow + " ", name.answer);
            EXPECT_EQ("198 " + k.narrow, info.answer);
        }
    }
    // The read limits count UTF-16 units; the high half of a pair that the limit cuts is not answered.
    std::u16string pairs = u"x";
    for (int i = 0; i < 500; ++i)
        pairs += u"\U0001F3B5";
    CallResult cut = Ask(DISPNAME, "", 245, pairs);
    if (unicode)
        EXPECT_EQ(pairs.substr(0, 897), cut.wide);
    else
        EXPECT_EQ("x" + std::string(897, '?'), cut.answer);
}

} // namespace
