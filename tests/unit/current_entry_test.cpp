#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "../../src/trackinfo/current_entry.h"
#include "../../src/trackinfo/playlist_reader.h"
#include "../../src/trackinfo/code_page_path.h"
#include "harness.h"

namespace {

const char* const FIVE_LINES = "#EXTM3U\n#EXTINF:245,Artist - Song\nC:\\Music\\song.mp3\n#EXTINF:...\n"
                               "C:\\Music\\other.mp3\n";

int OpenDescriptors()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d) != nullptr)
            ++n;
        closedir(d);
    }
    return n;
}

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/tolbry-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The entry read from a file, which must equal the entry found by feeding the same bytes in blocks
// of every awkward size, with and without the 16-byte scan, so that any line end, CR LF pair or long
// line falls across a block edge somewhere.
std::string EntryOf(const std::string& bytes, int position)
{
    TempDir dir;
    std::string path = dir.path() + "/list.m3u";
    WriteFile(path, bytes);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char line[LINE_BUFFER];
    ReadPlaylistEntry(file, position, line);
    CloseHandle(file);
    std::string entry = line;
    for (bool sse2 : {true, false}) {
        StandinSetSse2(sse2);
        for (size_t block : {size_t(1), size_t(2), size_t(3), size_t(15), size_t(16), size_t(17), size_t(4095),
                             size_t(4096), size_t(4097), bytes.size() + 1}) {
            EntryScan scan;
            StartEntryScan(scan, position);
            for (size_t at = 0; at < bytes.size() && !scan.done; at += block)
                ScanPlaylistBlock(scan, bytes.data() + at, std::min(block, bytes.size() - at));
            FinishEntryScan(scan, line);
            EXPECT_EQ(entry, std::string(line)) << "blocks of " << block << (sse2 ? "" : " without SSE2");
        }
    }
    StandinSetSse2(true);
    return entry;
}

TEST(PlaylistEntry, CountsLinesThatDoNotBeginWithHash)
{
    const std::string piece(4095, 'p');
    const std::string longLine = std::string(5000, 'L') + "\n";
    const std::string hashLong = "#" + std::string(4200, 'h') + "\n"; // its later pieces begin without "#"
    struct Case {
        std::string file;
        int position;
        std::string entry;
    };
    const Case cases[] = {
        {FIVE_LINES, 0, "C:\\Music\\song.mp3\n"},
        {FIVE_LINES, 1, "C:\\Music\\other.mp3\n"},
        {FIVE_LINES, 2, "C:\\Music\\other.mp3\n"},        // beyond the end: the last line read
        {"a\n#b\n", 5, "#b\n"},                            // even when it begins with "#"
        {FIVE_LINES, -1, ""},
        {"", 0, ""},
        {"#only\n#comments\n", 0, "#comments\n"},
        {" #x\ny\n", 0, " #x\n"},                          // only the very first character counts
        {"a\n\nc\n", 1, "\n"},                             // a blank line is an entry
        {"a\nlast", 1, "last"},                            // no line feed on the last line
        {longLine + "next\n", 1, "next\n"},                // a long line is one entry, not one per piece
        {hashLong + "x\n", 0, "x\n"},
        {longLine, 0, longLine.substr(0, 4095)},           // an entry's answer is its first piece
        {piece + "\nz\n", 1, "z\n"},                       // exactly one piece, then its line feed alone
        {piece.substr(1) + "\nz\n", 1, "z\n"},             // exactly one piece with its line feed
        {std::string("a\0b\n", 4) + "c\n", 1, "c\n"},      // NUL bytes inside a line
        {std::string("a\0b\n", 4) + "c\n", 0, "a"},         // answered up to the first NUL
        {std::string("\0x\n", 3) + "c\n", 0, ""},          // a line that begins with NUL is an entry
        {std::string(3, '\n'), 2, "\n"},
        // Text mode, as the C library reads the file on Windows.
        {"a\r\nb\r\n", 1, "b\n"},                          // CR LF arrives as LF
        {"a\rb\r\n", 0, "a\rb\n"},                         // a lone CR stays
        {"a\r\r\nb\n", 0, "a\r\n"},
        {"a\r", 0, "a\r"},
        {"a\n\x1A" "b\n", 1, "a\n"},                        // Ctrl-Z ends the file
        {"a\x1A" "b\nc\n", 1, "a"},
        {"#x\n\x1A", 0, "#x\n"},
        {"\x1A" "a\n", 0, ""},
        {std::string(40, 'a') + "\x1A" "b\nc\n", 1, std::string(40, 'a')},  // within the 16-byte scan too
        {"x\n" + std::string(30, 'y') + "\x1A" + std::string(30, 'z') + "\n", 1, std::string(30, 'y')},
        {piece.substr(1) + "\r\nz\n", 0, piece.substr(1) + "\n"},    // CR LF as the piece's last character
        {piece + "\r\nz\n", 0, piece},                                // its LF is the next piece
        {piece + "\r\nz\n", 1, "z\n"},
        {piece + "x\r\nz\n", 0, piece},
        {"#" + piece + "\r\n", 3, "#" + piece.substr(1)},             // past the end on a long last line
    };
    for (const Case& k : cases)
        EXPECT_EQ(k.entry, EntryOf(k.file, k.position)) << "position " << k.position << " of «"
                                                           << k.file.substr(0, 40) << "»";
}

TEST(PlaylistEntry, StopsAtTheEntry)
{
    std::string head = "#EXTM3U\n#EXTINF:1,a\nC:\\first.mp3\n";
    std::string rest;
    for (int i = 0; i < 20000; ++i)
        rest += "#EXTINF:1,x\nC:\\later\\" + std::to_string(i) + ".mp3\n";
    EXPECT_EQ("C:\\first.mp3\n", EntryOf(head + rest, 0));
    EntryScan scan;
    StartEntryScan(scan, 0);
    ScanPlaylistBlock(scan, head.data(), head.size());
    EXPECT_TRUE(scan.done) << "the entry's line feed ends the scan";
    EXPECT_EQ(0, StandinOpenFiles());
}

class FileName : public ::testing::Test {
protected:
    void SetUp() override
    {
        StandinReset();
        folder = dir.path() + "/player\\";
        playlist = folder + "WINAMP.m3u";
        StandinSetDefaultValue("Winamp.File\\shell\\Play\\command", "\"" + folder + "winamp.exe\" \"%1\"" +
                                                                        std::string(1, '\0'));
    }
    void TearDown() override
    {
        EXPECT_EQ(0, StandinOpenKeys());
        StandinReset();
    }

    TempDir dir;
    std::string folder;
    std::string playlist;
};

TEST_F(FileName, AnswersTheLineTheWrittenPlaylistNamesAsCurrent)
{
    FakePlayer player;
    player.position = 1;
    player.onWritePlaylist = [this] { WriteFile(playlist, FIVE_LINES); };
    player.Open();
    int descriptors = OpenDescriptors();
    CallResult call = CallCommand(FILENAME, "host text");
    EXPECT_EQ("C:\\Music\\other.mp3\n", call.answer);
    EXPECT_EQ(3, call.result);
    EXPECT_TRUE(call.guardIntact);
    EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE, WRITE}, TakeMessages()));
    EXPECT_EQ(descriptors, OpenDescriptors()) << "the playlist file was left open";
}

TEST_F(FileName, KeepsAndReadsThePlaylistWhenThePlayerSkipsTheWrite)
{
    // The player writes only after its playlist changed: an unchanged one is answered from the file
    // as it stands, so the file must survive each request.
    FakePlayer player;
    int writes = 0;
    player.onWritePlaylist = [&] {
        if (writes++ == 0)
            WriteFile(playlist, FIVE_LINES);
    };
    player.Open();
    for (int position : {0, 1, 0, 1}) {
        player.position = position;
        EXPECT_EQ(position == 0 ? "C:\\Music\\song.mp3\n" : "C:\\Music\\other.mp3\n", CallCommand(FILENAME).answer);
        EXPECT_EQ(FIVE_LINES, ReadFile(playlist));
    }
    EXPECT_EQ(4, writes);
}

TEST_F(FileName, AnswersTheEmptyTextWhenThereIsNoLine)
{
    FakePlayer player;
    player.Open();
    struct Case {
        const char* what;
        int position;
        bool writeFile;
        const char* content;
    };
    const Case cases[] = {{"no file", 0, false, ""},
                          {"negative position", -1, true, FIVE_LINES},
                          {"empty file", 0, true, ""}};
    for (const Case& k : cases) {
        std::remove(playlist.c_str());
        if (k.writeFile)
            WriteFile(playlist, k.content);
        player.position = k.position;
        int descriptors = OpenDescriptors();
        EXPECT_EQ("", CallCommand(FILENAME, "host text").answer) << k.what;
        EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE, WRITE}, TakeMessages())) << k.what;
        EXPECT_EQ(descriptors, OpenDescriptors()) << k.what;
    }
}

TEST_F(FileName, WithoutAPlaylistPathNothingIsRequested)
{
    StandinDeleteKey("Winamp.File\\shell\\Play\\command");
    FakePlayer player;
    player.Open();
    EXPECT_EQ("", CallCommand(FILENAME, "host text").answer);
    EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE}, TakeMessages()));
}

TEST_F(FileName, APlaylistPathThatIsAFolderAnswersEmpty)
{
    mkdir(playlist.c_str(), 0700);
    FakePlayer player;
    player.Open();
    EXPECT_EQ("", CallCommand(FILENAME, "host text").answer);
    EXPECT_TRUE(Exists(playlist));
}

TEST_F(FileName, RefusedWhileNotPlayingAndTouchesNothing)
{
    WriteFile(playlist, FIVE_LINES);
    for (int state : {0, 3}) {
        FakePlayer player;
        player.playState = state;
        bool asked = false;
        player.onWritePlaylist = [&] { asked = true; };
        player.Open();
        EXPECT_EQ("ERR 3", CallCommand(FILENAME, "host text").answer);
        EXPECT_FALSE(asked);
        EXPECT_EQ(FIVE_LINES, ReadFile(playlist));
        EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE}, TakeMessages()));
        StandinDestroyWindow(player.window);
    }
}

// A name outside the ANSI code page: the .m3u line has "?" for what does not fit, the .m3u8 the name
// itself, and the answer is the file's short path when everything agrees.
// The .m3u line of a name outside the code page names no file: an 8-bit host gets the short path of
// the file the .m3u8 names, a Unicode host the .m3u8's line itself, whole.
class FileNameInMode : public FileName, public ::testing::WithParamInterface<HostMode> {
protected:
    void SetUp() override
    {
        FileName::SetUp();
        SetHostMode(GetParam());
    }
    void TearDown() override
    {
        SetHostMode(HostMode::Narrow);
        FileName::TearDown();
    }
};

INSTANTIATE_TEST_SUITE_P(Hosts, FileNameInMode, ::testing::Values(HostMode::Narrow, HostMode::Unicode), ModeName);

std::u16string Units(const std::string& text, UINT codePage)
{
    std::u16string units(text.size() + 1, u'\0');
    units.resize(static_cast<size_t>(
        MultiByteToWideChar(codePage, 0, text.c_str(), -1, &units[0], static_cast<int>(units.size())) - 1));
    return units;
}

TEST_P(FileNameInMode, ANameOutsideTheCodePageAnswersItsShortPathOrItsWholeName)
{
    std::string music = dir.path() + "/music";
    mkdir(music.c_str(), 0700);
    std::string name = music + "/\xE6\x97\xA5\xE6\x9C\xAC \xC5\x81\xC3\xB3""d\xC5\xBA.mp3"; // 日本 Łódź.mp3
    // As the player converts it to the ANSI code page (ISO 8859-1 here): look-alikes where it has them.
    std::string ansi = music + "/?? L\xF3""dz.mp3";
    std::string other = music + "/other.mp3";
    WriteFile(name, "x");
    WriteFile(other, "x");
    StandinSetShortPath(other, music + "/OTHER~1.MP3");
    const std::string bom = "\xEF\xBB\xBF";
    const std::string head = "#EXTM3U\r\n#EXTINF:1,x\r\n";
    const std::string shortName = music + "/____~1.MP3";
    struct Case {
        const char* what;
        std::string m3u;
        std::string m3u8; // empty: none
        std::string answer;
        bool whole;       // a Unicode host gets the .m3u8's line; otherwise the .m3u line as the 8-bit host
        std::string shortPath = std::string(); // the long name's short path, when not shortName
    };
    const std::string unicode = bom + head + name + "\r\n";
    const Case cases[] = {
        {"both agree", head + ansi + "\r\n", unicode, shortName + "\n", true},
        {"a mark and no header", ansi + "\r\n", bom + name + "\r\n", shortName + "\n", true},
        {"no .m3u8", head + ansi + "\r\n", "", ansi + "\n", false},
        {"a stale .m3u8", head + ansi + "\r\n", bom + head + other + "\r\n", ansi + "\n", false},
        {"another entry", head + "a\r\n" + ansi + "\r\n", bom + head + name + "\r\nb\r\n", ansi + "\n", false},
        {"not UTF-8", head + ansi + "\r\n", bom + head + "\xFF\xFE\r\n", ansi + "\n", false},
        {"a line that names a file", head + other + "\r\n", unicode, other + "\n", false},
        // Answered as written, though the .m3u8 agrees and the file has a short name.
        {"a line that names a file, the .m3u8 agreeing", head + other + "\r\n", bom + head + other + "\r\n",
         other + "\n", false},
        // A short name outside the code page names no file; nor does one that fits only through a
        // best-fit look-alike («LÓDZ~1.MP3» for «ŁÓDŹ~1.MP3»). A Unicode host needs no short name.
        {"a short name outside the code page", head + ansi + "\r\n", unicode, ansi + "\n", true,
         music + "/\xE6\x97\xA5~1.MP3"},
        {"a short name with look-alikes", head + ansi + "\r\n", unicode, ansi + "\n", true,
         music + "/\xC5\x81\xC3\x93""D\xC5\xB9~1.MP3"},
        // The line has no line feed: neither has the answer.
        {"a last line without a line feed", head + ansi, unicode, shortName + "\n", true},
    };
    for (const Case& k : cases) {
        StandinSetShortPath(name, k.shortPath.empty() ? shortName : k.shortPath);
        FakePlayer player;
        player.position = std::string(k.what) == "another entry" ? 1 : 0;
        player.onWritePlaylist = [&] {
            WriteFile(playlist, k.m3u);
            std::remove((playlist + "8").c_str());
            if (!k.m3u8.empty())
                WriteFile(playlist + "8", k.m3u8);
        };
        player.Open();
        CallResult call = CallAsHost(GetParam(), FILENAME);
        if (GetParam() == HostMode::Unicode) {
            std::string lineEnd = k.m3u.back() == '\n' ? "\n" : "";
            EXPECT_EQ(k.whole ? Units(name + lineEnd, CP_UTF8) : Units(k.answer, CP_ACP), call.wide) << k.what;
        } else {
            EXPECT_EQ(k.answer, call.answer) << k.what;
        }
        EXPECT_EQ(0, StandinOpenFiles()) << k.what;
        StandinDestroyWindow(player.window);
    }
    // A Unicode host gets the whole name whether or not the file is there; an 8-bit one, the .m3u line.
    std::remove(name.c_str());
    FakePlayer player;
    player.onWritePlaylist = [&] {
        WriteFile(playlist, head + ansi + "\r\n");
        WriteFile(playlist + "8", unicode);
    };
    player.Open();
    CallResult call = CallAsHost(GetParam(), FILENAME);
    if (GetParam() == HostMode::Unicode)
        EXPECT_EQ(Units(name + "\n", CP_UTF8), call.wide) << "the file is gone";
    else
        EXPECT_EQ(ansi + "\n", call.answer) << "the file is gone";
}

// A track on a network share is answered as the playlist gives it: asking whether a file there
// exists would wait for the network's own time-out when the share has gone away.
TEST_P(FileNameInMode, ALineOnANetworkShareIsAnsweredWithoutAskingAboutIt)
{
    StandinSetRemoteDrive('Z');
    struct Case {
        std::string line;
        bool probed;
    };
    const Case cases[] = {
        {"\\\\server\\music\\?? L\xF3" "dz.mp3", false},
        {"//server/music/?.mp3", false},
        {"Z:\\Music\\?.mp3", false},
        {"z:\\Music\\?.mp3", false},
        {dir.path() + "/missing ?.mp3", true},
    };
    for (const Case& k : cases) {
        FakePlayer player;
        player.onWritePlaylist = [&] {
            WriteFile(playlist, "#EXTM3U\r\n" + k.line + "\r\n");
            WriteFile(playlist + "8", "\xEF\xBB\xBF#EXTM3U\r\n" + k.line + "\r\n");
        };
        player.Open();
        int before = StandinFileProbes();
        CallResult call = CallAsHost(GetParam(), FILENAME);
        EXPECT_EQ(k.line + "\n", call.answer) << k.line;
        EXPECT_EQ(k.probed, StandinFileProbes() > before) << k.line;
        StandinDestroyWindow(player.window);
    }
}

// Paths reach an 8-bit host exactly in its code page or not at all, whatever the code page; where it
// is UTF-8 every character fits, with none of the flags that the system refuses for UTF-8.
TEST(CodePagePath, ExactOrNothingInEveryCodePage)
{
    struct Case {
        unsigned codePage;
        std::u16string path;
        const char* exact; // null: does not fit
    };
    const Case cases[] = {
        {1252, u"C:\\M\u00FCnchen", "C:\\M\xFCnchen"},
        {1252, u"C:\\\u0141\u00F3d\u017A", nullptr}, // not the look-alike «Lódz»
        {65001, u"C:\\\u0141\u00F3d\u017A", "C:\\\xC5\x81\xC3\xB3" "d\xC5\xBA"},
        {65001, u"C:\\\u674E\u660E", "C:\\\xE6\x9D\x8E\xE6\x98\x8E"},
        {65001, std::u16string(u"C:\\") + static_cast<char16_t>(0xD800), nullptr}, // a lone surrogate
        {932, u"D:\\\u8868", "D:\\\x95\x5C"},
        {932, u"D:\\\u0141", nullptr},
    };
    for (const Case& k : cases) {
        StandinReset();
        StandinSetCodePage(k.codePage);
        char out[64];
        int n = ExactlyInCodePage(k.path.c_str(), out, sizeof out);
        if (k.exact == nullptr) {
            EXPECT_EQ(-1, n) << k.codePage;
        } else {
            EXPECT_EQ(static_cast<int>(std::strlen(k.exact)), n) << k.codePage;
            EXPECT_STREQ(k.exact, n >= 0 ? out : "") << k.codePage;
        }
    }
    StandinReset();
}

// A pipe that accepts and never writes, in each place a file is opened: read, it would hold the call
// for good. Each is closed unread, at once: a playlist as a missing one, and paths.ini as one that
// cannot be read, which names no folder to use. Should a read start, a watchdog ends the pipe after
// two seconds so that the case fails rather than hangs.
TEST_F(FileName, NothingButADiskFileIsRead)
{
    std::string settings = dir.path() + "/settings";
    mkdir(settings.c_str(), 0700);
    const std::string ini = folder + "paths.ini";
    const std::string inSettings = settings + "\\WINAMP.m3u";
    const std::string ansi = "C:\\Music\\?.mp3"; // names no file: the .m3u8 is looked at
    struct Case {
        const char* what;
        std::string pipe;      // the path made a pipe
        std::string iniText;   // paths.ini beside the program, unless empty
        std::string answer;
    };
    const Case cases[] = {
        {"the playlist, through the association", playlist, "", ""},
        {"the playlist, through paths.ini", inSettings, "[Winamp]\ninidir=" + settings + "\n", ""},
        {"the .m3u8", playlist + "8", "", ansi + "\n"},
        {"paths.ini", ini, "", ""},
    };
    for (const Case& k : cases) {
        std::remove(ini.c_str());
        if (!k.iniText.empty())
            WriteFile(ini, k.iniText);
        for (const std::string& list : {playlist, inSettings})
            if (list != k.pipe)
                WriteFile(list, "#EXTM3U\r\n" + ansi + "\r\n");
        std::remove(k.pipe.c_str());
        ASSERT_EQ(0, mkfifo(k.pipe.c_str(), 0600)) << k.what;
        int writer = open(k.pipe.c_str(), O_RDWR | O_NONBLOCK);
        std::atomic<bool> returned{false}, fired{false};
        std::thread watchdog([&] {
            for (int i = 0; i < 200 && !returned; ++i)
                usleep(10000);
            if (!returned) {
                fired = true;
                close(writer);
            }
        });
        FakePlayer player;
        player.Open();
        CallResult call = CallCommand(FILENAME, "host text");
        returned = true;
        watchdog.join();
        EXPECT_FALSE(fired) << k.what << " was read";
        if (!fired)
            close(writer);
        EXPECT_EQ(k.answer, call.answer) << k.what;
        EXPECT_EQ(0, StandinOpenFiles()) << k.what;
        StandinDestroyWindow(player.window);
        std::remove(k.pipe.c_str());
    }
}

TEST_F(FileName, LongEntriesAreCutToTheAnswerLimit)
{
    FakePlayer player;
    player.position = 0;
    std::string line = "C:\\" + std::string(3000, 'd') + ".mp3\n";
    player.onWritePlaylist = [&] { WriteFile(playlist, "#EXTM3U\n" + line); };
    player.Open();
    CallResult call = CallCommand(FILENAME);
    EXPECT_EQ(line.substr(0, 1023), call.answer);
    EXPECT_TRUE(call.guardIntact);
}

} // namespace
