// A player that answers nonsense, and playlists made to hurt: the answer stays bounded, literal and
// within the host's 1024 bytes, and a huge playlist is read only as far as the current entry.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <fstream>

#include "../common/bytes_read.h"
#include "harness.h"

namespace {

class HostilePlayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        StandinReset();
        char pattern[] = "/tmp/tolbry-hostile-XXXXXX";
        dir = mkdtemp(pattern);
        folder = dir + "/player\\";
        playlist = folder + "WINAMP.m3u";
        StandinSetDefaultValue("Winamp.File\\shell\\Play\\command", "\"" + folder + "winamp.exe\"");
        player.Open();
    }
    void TearDown() override
    {
        std::system(("rm -rf '" + dir + "'").c_str());
        StandinReset();
    }
    void WritePlaylist(const std::string& bytes) { std::ofstream(playlist, std::ios::binary) << bytes; }

    std::string dir;
    std::string folder;
    std::string playlist;
    FakePlayer player;
};


TEST_F(HostilePlayer, NonsenseNumbersArePrintedOrIgnored)
{
    for (int length : {-1, INT_MIN, INT_MAX, 0}) {
        player.length = length;
        EXPECT_EQ(std::to_string(length) + " 12", CallCommand(FILEINFO).answer);
    }
    player.version = INT_MAX;
    EXPECT_EQ(" Artist - Song ", CallCommand(DISPNAME).answer);
    WritePlaylist("#EXTM3U\na\nb\n");
    for (int position : {-5, INT_MIN, INT_MAX, 2}) {
        player.position = position;
        EXPECT_EQ(position < 0 ? "" : "b\n", CallCommand(FILENAME).answer) << position;
    }
}

// A call waits on the player two seconds in all: a message that would end past that goes unanswered,
// reads as 0, and nothing is sent after it. A window reported hung is not waited on, and once one
// message has failed on it nothing more is sent.
TEST_F(HostilePlayer, ACallWaitsOnThePlayerTwoSecondsInAll)
{
    WritePlaylist("#EXTM3U\na\n");
    struct Case {
        DWORD delay;
        int hangAfter; // answered messages before the window is reported hung; 0 hung from the start
        size_t sent;   // messages sent before the call gives up, of those a quick player gets
        const char* answers[8];
    };
    const Case cases[] = {
        {300, -1, 99, {" Artist - Song ", "245 12", "a\n", "x", "x", "x", "3", "x"}},
        {700, -1, 3, {"", "0 ", "", "x", "x", "x", "3", "x"}},   // the third message would end at 2.1 s
        {1000, -1, 2, {"", "0 ", "", "x", "x", "x", "3", "x"}},     // spent by the end of the second
        {1001, -1, 2, {"ERR 3", "ERR 3", "ERR 3", "x", "x", "x", "3", "x"}},
        {2001, -1, 1, {"ERR 2", "ERR 2", "ERR 2", "ERR 2", "ERR 2", "ERR 2", "ERR 2", "ERR 2"}},
        {0, 0, 1, {"ERR 2", "ERR 2", "ERR 2", "ERR 2", "ERR 2", "ERR 2", "ERR 2", "ERR 2"}},
        {0, 2, 3, {"", "0 ", "", "x", "x", "x", "3", "x"}},
    };
    for (const Case& k : cases) {
        player.delay = k.delay;
        for (size_t i = 0; i < AllCommands().size(); ++i) {
            player.hangAfter = k.hangAfter;
            StandinSetHung(player.window, k.hangAfter == 0);
            const CommandInfo& c = AllCommands()[i];
            std::string text = std::strcmp(c.name, "TRACKPLAY") == 0 ? "3" : "x";
            Messages quick = {VERSION, PLAY_STATE};
            if (std::strcmp(c.name, "TRACKPLAY") == 0)
                quick.push_back(SetPosition(2));
            quick.insert(quick.end(), c.action.begin(), c.action.end());
            if (std::strcmp(c.name, "FILENAME") == 0)
                quick.push_back(WRITE);
            quick.resize(std::min(quick.size(), k.sent));
            TakeMessages();
            DWORD before = GetTickCount();
            CallResult call = CallCommand(c.fn, text);
            DWORD spent = GetTickCount() - before;
            std::string what = std::string(c.name) + " delay " + std::to_string(k.delay) + " hung after " +
                               std::to_string(k.hangAfter);
            EXPECT_EQ(k.answers[i], call.answer) << what;
            EXPECT_EQ("", CompareMessages(quick, TakeMessages())) << what;
            EXPECT_LE(spent, k.hangAfter >= 0 ? 0u : 2000u) << what;
        }
    }
}

TEST_F(HostilePlayer, LongLinesAreCutAtTheAnswerLimit)
{
    for (size_t length : {1022u, 1023u, 1024u, 5000u}) {
        WritePlaylist("#EXTM3U\n" + std::string(length, 'a') + "\n");
        player.position = 0;
        CallResult call = CallCommand(FILENAME);
        std::string line = std::string(length, 'a') + "\n";
        EXPECT_EQ(line.substr(0, 1023), call.answer) << length;
        EXPECT_TRUE(call.guardIntact) << length;
    }
}

TEST_F(HostilePlayer, FormatCharactersInLinesAreAnsweredLiterally)
{
    WritePlaylist("#EXTM3U\nC:\\100% %s %n %i %%.mp3\n");
    EXPECT_EQ("C:\\100% %s %n %i %%.mp3\n", CallCommand(FILENAME).answer);
}

TEST_F(HostilePlayer, BinaryJunkIsReadSafely)
{
    std::string junk;
    for (int i = 0; i < 100000; ++i)
        junk += static_cast<char>((i * 7919) % 256);
    WritePlaylist(junk);
    for (int position : {0, 3, 50, 100000}) {
        player.position = position;
        CallResult call = CallCommand(FILENAME);
        EXPECT_TRUE(call.guardIntact);
        EXPECT_LE(call.answer.size(), 1023u);
        EXPECT_NE(std::string::npos, junk.find(call.answer)) << "the answer is a piece of the file";
    }
}

TEST_F(HostilePlayer, AHugePlaylistIsReadOnlyUpToTheCurrentEntry)
{
    // 200 MB, the current entry first: the answer comes after one small read, not the whole file.
    {
        std::ofstream out(playlist, std::ios::binary);
        out << "#EXTM3U\n#EXTINF:245,First - Track\nC:\\Music\\first.mp3\n";
        std::string block;
        for (int i = 0; i < 2000; ++i)
            block += "#EXTINF:200,Artist - Later Track\nC:\\Music\\Some Folder\\later track " + std::to_string(i) + ".mp3\n";
        while (out.tellp() < 200LL * 1024 * 1024)
            out << block;
    }
    player.position = 0;
    long long before = BytesRead();
    CallResult call = CallCommand(FILENAME);
    long long read = BytesRead() - before;
    EXPECT_EQ("C:\\Music\\first.mp3\n", call.answer);
    EXPECT_GE(read, 0);
    // One block of the file, and the little the test itself reads to count.
    EXPECT_LT(read, 64 * 1024 + 4096) << "read " << read << " bytes of a 200 MB playlist";
}

} // namespace
