// The playlist from outside: any entry's title and file, read from the player's memory, and files
// added. For each, the exact messages after the gate and the answer, for both hosts.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "../../src/player/player_memory.h"
#include "harness.h"

namespace {

class Playlist : public EachHost {};

Messages Then(Messages a, const Messages& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(Hosts, Playlist, ::testing::Values(HostMode::Narrow, HostMode::Unicode), ModeName);

// Where the 32-bit player keeps its one string buffer: above 2 GB, as a large-address-aware program
// under 64-bit Windows may, so that its answer reaches a 64-bit module sign-extended.
constexpr uint64_t BUFFER_32 = 0x81ff0000;
constexpr uint64_t BUFFER_64 = 0x7ff612340000;

// Entry i's title and file, as the stand-in's player keeps them.
std::u16string TitleOf(WPARAM entry)
{
    return u"Artist " + std::u16string(1, static_cast<char16_t>(u'A' + entry)) + u" - Song";
}
std::u16string FileOf(WPARAM entry)
{
    return u"C:\\Music\\song " + std::u16string(1, static_cast<char16_t>(u'A' + entry)) + u".mp3";
}

// A 32-bit player (under WoW64) that answers each entry's request with its own address in memory,
// as a 32-bit window's answer arrives here: sign-extended.
void PlayerOf32Bits(FakePlayer& p)
{
    p.listLength = 5;
    p.listPos = 2;
    p.entryAnswer = [](LPARAM query, WPARAM entry) {
        uint64_t at = BUFFER_32 + entry * 0x2000 + (query == QUERY_LIST_FILE ? 0x1000 : 0);
        return static_cast<LRESULT>(static_cast<int32_t>(static_cast<uint32_t>(at)));
    };
}

void LayOut32(StandinProcess process = StandinProcess::Wow64)
{
    for (WPARAM i = 0; i < 5; ++i) {
        StandinSetMemoryText(process, BUFFER_32 + i * 0x2000, TitleOf(i));
        StandinSetMemoryText(process, BUFFER_32 + i * 0x2000 + 0x1000, FileOf(i));
    }
}

struct EntryCase {
    const char* what;
    const char* text;
    std::function<void(FakePlayer&)> tune;        // after PlayerOf32Bits
    std::function<void(HWND)> memory;             // lays out the player's memory; null: LayOut32
    Messages action;                              // after the gate
    std::u16string answer;                        // as a Unicode host gets it
    const char* narrow;                           // as an 8-bit host gets it; null: `answer` in ASCII
};

std::string Ascii(const std::u16string& text)
{
    return std::string(text.begin(), text.end());
}

void RunEntryCases(HostMode host, const char* name, CommandFn fn, const std::vector<EntryCase>& cases)
{
    for (const EntryCase& k : cases) {
        StandinReset();
        FakePlayer player;
        PlayerOf32Bits(player);
        if (k.tune)
            k.tune(player);
        HWND window = player.Open();
        StandinSetWindowProcess(window, StandinProcess::Wow64);
        if (k.memory)
            k.memory(window);
        else
            LayOut32();
        CallResult call = CallAsHost(host, fn, k.text);
        std::string where = std::string(name) + ": " + k.what;
        EXPECT_EQ("", CompareMessages(Then({VERSION, PLAY_STATE}, k.action), TakeMessages())) << where;
        if (host == HostMode::Unicode)
            EXPECT_TRUE(k.answer == call.wide) << where << ": " << call.answer;
        else
            EXPECT_EQ(k.narrow != nullptr ? k.narrow : Ascii(k.answer), call.answer) << where;
        EXPECT_EQ(3, call.result) << where;
        EXPECT_TRUE(call.guardIntact) << where;
        EXPECT_EQ(0, StandinOpenFiles()) << where << ": the process is closed";
    }
}

// The cases both commands share, with `query` the one they send and `text` what it answers.
std::vector<EntryCase> SharedCases(LPARAM query, std::u16string (*text)(WPARAM))
{
    auto ask = [query](WPARAM entry) { return Query(query, entry); };
    auto nothingAt = [](HWND) {};
    return {
        {"no number: the current entry", "", nullptr, nullptr, {LIST_LENGTH, LIST_POS, ask(2)}, text(2), nullptr},
        {"a word is no number", "next", nullptr, nullptr, {LIST_LENGTH, LIST_POS, ask(2)}, text(2), nullptr},
        {"«_» is no number", "_", nullptr, nullptr, {LIST_LENGTH, LIST_POS, ask(2)}, text(2), nullptr},
        {"the first entry", "1", nullptr, nullptr, {LIST_LENGTH, ask(0)}, text(0), nullptr},
        {"the fraction dropped", "5.9", nullptr, nullptr, {LIST_LENGTH, ask(4)}, text(4), nullptr},
        {"a sign read as TRACKPLAY reads it", "+2", nullptr, nullptr, {LIST_LENGTH, ask(1)}, text(1), nullptr},
        {"past the end", "6", nullptr, nullptr, {LIST_LENGTH}, u"", nullptr},
        {"0 is before the first", "0", nullptr, nullptr, {LIST_LENGTH}, u"", nullptr},
        {"a negative number", "-1", nullptr, nullptr, {LIST_LENGTH}, u"", nullptr},
        {"a huge number", "1e300", nullptr, nullptr, {LIST_LENGTH}, u"", nullptr},
        {"an empty playlist", "", [](FakePlayer& p) { p.listLength = 0; }, nullptr, {LIST_LENGTH}, u"", nullptr},
        {"an empty playlist, a number", "1", [](FakePlayer& p) { p.listLength = 0; }, nullptr, {LIST_LENGTH}, u"",
         nullptr},
        {"a position past the end is the last", "", [](FakePlayer& p) { p.listPos = 77; }, nullptr,
         {LIST_LENGTH, LIST_POS, ask(4)}, text(4), nullptr},
        {"an imitation's 0", "", [](FakePlayer& p) { p.entryAnswer = nullptr; }, nullptr,
         {LIST_LENGTH, LIST_POS, ask(2)}, u"", nullptr},
        {"an unhandled message's 1 is no pointer", "",
         [](FakePlayer& p) { p.entryAnswer = [](LPARAM, WPARAM) -> LRESULT { return 1; }; }, nullptr,
         {LIST_LENGTH, LIST_POS, ask(2)}, u"", nullptr},
        {"nothing at the pointer", "", nullptr, nothingAt, {LIST_LENGTH, LIST_POS, ask(2)}, u"", nullptr},
        {"the process cannot be opened for reading", "", nullptr,
         [](HWND) { LayOut32(); StandinSetReadRefused(StandinProcess::Wow64, true); }, {LIST_LENGTH, LIST_POS}, u"",
         nullptr},
        {"the window stops answering after the length", "", [](FakePlayer& p) { p.hangAfter = 3; }, nullptr,
         {LIST_LENGTH, LIST_POS}, u"", nullptr},
        {"the window stops answering after the position", "", [](FakePlayer& p) { p.hangAfter = 4; }, nullptr,
         {LIST_LENGTH, LIST_POS, ask(2)}, u"", nullptr},
        {"a 64-bit player's pointer above 4 GB", "",
         [](FakePlayer& p) {
             p.entryAnswer = [](LPARAM, WPARAM) { return static_cast<LRESULT>(BUFFER_64); };
         },
         [text](HWND window) {
             StandinSetWindowProcess(window, StandinProcess::Native64);
             StandinSetMemoryText(StandinProcess::Native64, BUFFER_64, text(2));
         },
         {LIST_LENGTH, LIST_POS, ask(2)}, text(2), nullptr},
        // Its zero is the last unit of the last page committed: a read of the player's whole limit fails.
        {"the text at the end of its region", "",
         [text](FakePlayer& p) {
             uint32_t at = static_cast<uint32_t>(0x81ff1000 - (text(2).size() + 1) * 2);
             p.entryAnswer = [at](LPARAM, WPARAM) { return static_cast<LRESULT>(static_cast<int32_t>(at)); };
         },
         [text](HWND) { StandinSetMemoryText(StandinProcess::Wow64, 0x81ff1000 - (text(2).size() + 1) * 2, text(2)); },
         {LIST_LENGTH, LIST_POS, ask(2)}, text(2), nullptr},
    };
}

TEST_P(Playlist, ListTitleReadsTheEntrysTitleFromThePlayersMemory)
{
    std::vector<EntryCase> cases = SharedCases(QUERY_LIST_TITLE, TitleOf);
    const std::u16string longTitle(450, u'x');
    const std::u16string scripts = u"Земфира - Łódź 東京";
    cases.push_back({"a title with no zero within the player's limit is cut there", "1", nullptr,
                     [&](HWND) { StandinSetMemoryText(StandinProcess::Wow64, BUFFER_32, longTitle); },
                     {LIST_LENGTH, ListTitle(0)}, std::u16string(399, u'x'), nullptr});
    // As the system converts a title for an 8-bit reader: look-alikes, and «?» for the rest.
    cases.push_back({"any script", "1", nullptr,
                     [&](HWND) { StandinSetMemoryText(StandinProcess::Wow64, BUFFER_32, scripts); },
                     {LIST_LENGTH, ListTitle(0)}, scripts, "??????? - L\xF3""dz ??"});
    // A text that runs on into the next page, which is a region of its own: read page by page.
    cases.push_back({"a text across a page's end", "1",
                     [](FakePlayer& p) {
                         p.entryAnswer = [](LPARAM, WPARAM) {
                             return static_cast<LRESULT>(static_cast<int32_t>(static_cast<uint32_t>(BUFFER_32 + 4096 - 6)));
                         };
                     },
                     [](HWND) {
                         StandinSetMemory(StandinProcess::Wow64, BUFFER_32 + 4096 - 6, std::string("a\0b\0c\0", 6));
                         StandinSetMemoryText(StandinProcess::Wow64, BUFFER_32 + 4096, u"de");
                     },
                     {LIST_LENGTH, ListTitle(0)}, u"abcde", nullptr});
    RunEntryCases(GetParam(), "LISTTITLE", LISTTITLE, cases);
}

TEST_P(Playlist, ListFileAnswersAPathThatOpensWhatItNames)
{
    std::vector<EntryCase> cases = SharedCases(QUERY_LIST_FILE, FileOf);
    cases.push_back({"a URL", "1", nullptr,
                     [](HWND) { StandinSetMemoryText(StandinProcess::Wow64, BUFFER_32 + 0x1000, u"http://radio.example:8000/live"); },
                     {LIST_LENGTH, ListFile(0)}, u"http://radio.example:8000/live", nullptr});
    cases.push_back({"a path in the code page", "1", nullptr,
                     [](HWND) { StandinSetMemoryText(StandinProcess::Wow64, BUFFER_32 + 0x1000, u"C:\\Música\\Ça.mp3"); },
                     {LIST_LENGTH, ListFile(0)}, u"C:\\Música\\Ça.mp3", "C:\\M\xFAsica\\\xC7""a.mp3"});
    // No look-alike path, which would name another file or none.
    cases.push_back({"a path outside the code page, with no short form", "1", nullptr,
                     [](HWND) { StandinSetMemoryText(StandinProcess::Wow64, BUFFER_32 + 0x1000, u"C:\\Łódź\\Земфира.mp3"); },
                     {LIST_LENGTH, ListFile(0)}, u"C:\\Łódź\\Земфира.mp3", ""});
    cases.push_back({"a path across a page's end", "1", nullptr,
                     [](HWND) {
                         StandinSetMemoryText(StandinProcess::Wow64, 0x81ff2000 - 8, u"C:\\a");
                     },
                     {LIST_LENGTH, ListFile(0)}, u"C:\\a", nullptr});
    cases.back().tune = [](FakePlayer& p) {
        p.entryAnswer = [](LPARAM, WPARAM) { return static_cast<LRESULT>(static_cast<int32_t>(0x81ff2000u - 8)); };
    };
    RunEntryCases(GetParam(), "LISTFILE", LISTFILE, cases);
}

// A file outside the code page that exists and has a short form: an 8-bit host gets that.
TEST_P(Playlist, ListFileGivesAnEightBitHostTheShortPath)
{
    char folder[] = "/tmp/tolbry-listfile-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    std::string name = std::string(folder) + "/\xC5\x81\xC3\xB3""d\xC5\xBA.mp3"; // Łódź.mp3
    std::ofstream(name) << "x";
    StandinSetShortPath(name, std::string(folder) + "/LODZ~1.MP3");
    std::u16string wide(name.size() + 1, u'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, &wide[0],
                                                        static_cast<int>(wide.size())) - 1));
    FakePlayer player;
    PlayerOf32Bits(player);
    StandinSetWindowProcess(player.Open(), StandinProcess::Wow64);
    StandinSetMemoryText(StandinProcess::Wow64, BUFFER_32 + 0x1000, wide);
    CallResult call = CallAsHost(GetParam(), LISTFILE, "1");
    if (GetParam() == HostMode::Unicode)
        EXPECT_TRUE(wide == call.wide) << call.answer;
    else
        EXPECT_EQ(std::string(folder) + "/LODZ~1.MP3", call.answer);
    EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE, LIST_LENGTH, ListFile(0)}, TakeMessages()));
    std::remove(name.c_str());
    rmdir(folder);
}

// The text is read page by page, no further than its zero, and the process is opened for reading
// alone: nothing is ever written into the player.
TEST_P(Playlist, TheReadStopsAtTheZeroAndAsksOnlyToRead)
{
    FakePlayer player;
    PlayerOf32Bits(player);
    StandinSetWindowProcess(player.Open(), StandinProcess::Wow64);
    StandinSetMemory(StandinProcess::Wow64, BUFFER_32 + 0x4000, std::string(8192, 'a') + std::string(2, '\0'));
    StandinTakeMemoryReads();
    CallAsHost(GetParam(), LISTTITLE, "3");
    std::vector<MemoryRead> reads = StandinTakeMemoryReads();
    ASSERT_EQ(1u, reads.size());
    EXPECT_EQ(BUFFER_32 + 0x4000, reads[0].address);
    EXPECT_EQ(PLAYER_TITLE_UNITS * 2, reads[0].size);
    EXPECT_EQ(static_cast<DWORD>(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION), StandinLastOpenRights());

    // From the middle of a page: to the page's end first.
    player.entryAnswer = [](LPARAM, WPARAM) { return static_cast<LRESULT>(static_cast<int32_t>(0x81ff4f00u)); };
    CallAsHost(GetParam(), LISTFILE, "1");
    reads = StandinTakeMemoryReads();
    ASSERT_EQ(2u, reads.size());
    EXPECT_EQ(0x81ff4f00u, reads[0].address);
    EXPECT_EQ(0x100u, reads[0].size);
    EXPECT_EQ(0x81ff5000u, reads[1].address);
    EXPECT_EQ(PLAYER_FILE_UNITS * 2 - 0x100, reads[1].size);
}

// What a pointer answer names, for every width of module and player. A 32-bit module cannot hold a
// 64-bit player's pointers, and asks it nothing.
TEST(PlayerPointers, TheWidthOfThePlayerSaysWhatTheAnswerNames)
{
    EXPECT_TRUE(PointersFit(true, true));
    EXPECT_TRUE(PointersFit(true, false));
    EXPECT_TRUE(PointersFit(false, false));
    EXPECT_FALSE(PointersFit(false, true));
    const LRESULT signExtended = static_cast<LRESULT>(static_cast<int32_t>(0x81ff0000u));
    EXPECT_EQ(0x81ff0000u, PlayerAddress(signExtended, false));
    EXPECT_EQ(0x81ff0000u, PlayerAddress(static_cast<LRESULT>(0x81ff0000u), false));
    EXPECT_EQ(static_cast<uint64_t>(signExtended), PlayerAddress(signExtended, true));
    EXPECT_EQ(0x7ff612340000u, PlayerAddress(static_cast<LRESULT>(0x7ff612340000), true));
    EXPECT_EQ(0u, PlayerAddress(65535, false));
    EXPECT_EQ(65536u, PlayerAddress(65536, false));
    EXPECT_EQ(0u, PlayerAddress(1, true));
    EXPECT_EQ(0u, PlayerAddress(-1 & ~static_cast<LRESULT>(0xFFFFFFFF) , false));
}

struct AddCase {
    const char* what;
    const char* text; // in the ANSI code page
    std::function<void(FakePlayer&)> tune;
    Messages action;
    std::u16string sent; // the name the request carried, without its zero
    const char* answer;
};

TEST_P(Playlist, ListAddAppendsAndAnswersTheEntriesAdded)
{
    const Messages add = {LIST_LENGTH, CopyData(ADD_TO_PLAYLIST), LIST_LENGTH};
    const std::vector<AddCase> cases = {
        {"a file", "C:\\Music\\new.mp3", nullptr, add, u"C:\\Music\\new.mp3", "121 121"},
        {"blanks and quotes", " \t\"C:\\Music\\My Song.mp3\"  ", nullptr, add, u"C:\\Music\\My Song.mp3", "121 121"},
        {"only one pair of quotes", "\"\"C:\\a.mp3\"\"", nullptr, add, u"C:\\Host\\\"C:\\a.mp3\"", "121 121"},
        {"a relative name, against the host's folder", "new.mp3", nullptr, add, u"C:\\Host\\new.mp3", "121 121"},
        {"a relative folder", ".\\Albums", [](FakePlayer& p) { p.added = 28; }, add, u"C:\\Host\\Albums", "121 148"},
        {"a URL stays as it is", "http://radio.example:8000/live", nullptr, add, u"http://radio.example:8000/live",
         "121 121"},
        {"a drive letter is no URL's scheme", "C://Music/a.mp3", nullptr, add, u"C://Music/a.mp3", "121 121"},
        {"a name in the code page", "C:\\M\xFAsica\\\xC7""a.mp3", nullptr, add, u"C:\\Música\\Ça.mp3", "121 121"},
        {"an empty playlist", "C:\\a.mp3", [](FakePlayer& p) { p.listLength = 0; }, add, u"C:\\a.mp3", "1 1"},
        {"the player adds nothing", "C:\\a.txt", [](FakePlayer& p) { p.added = 0; }, add, u"C:\\a.txt", "0 0"},
        {"the window stops answering after the length", "C:\\a.mp3", [](FakePlayer& p) { p.hangAfter = 3; },
         {LIST_LENGTH, CopyData(ADD_TO_PLAYLIST)}, u"", "0 0"},
        {"the length unanswered", "C:\\a.mp3", [](FakePlayer& p) { p.hangAfter = 2; }, {LIST_LENGTH}, u"", "0 0"},
        {"an empty name", "", nullptr, {}, u"", "0 0"},
        {"blanks", "  \t ", nullptr, {}, u"", "0 0"},
        {"empty quotes", " \"\" ", nullptr, {}, u"", "0 0"},
    };
    for (const AddCase& k : cases) {
        StandinReset();
        FakePlayer player;
        if (k.tune)
            k.tune(player);
        player.Open();
        CallResult call = CallAsHost(GetParam(), LISTADD, k.text);
        std::string where = std::string("LISTADD: ") + k.what;
        EXPECT_EQ("", CompareMessages(Then({VERSION, PLAY_STATE}, k.action), TakeMessages())) << where;
        EXPECT_EQ(k.answer, call.answer) << where;
        EXPECT_TRUE(call.guardIntact) << where;
        bool sent = !k.sent.empty();
        ASSERT_EQ(sent ? 1u : 0u, player.copied.size()) << where;
        if (sent) {
            EXPECT_EQ(ADD_TO_PLAYLIST, player.copied[0].first) << where;
            EXPECT_TRUE(k.sent + u'\0' == player.copied[0].second) << where << ": with its zero";
        }
    }
}

// A Unicode host's name keeps every character.
TEST(PlaylistUnicodeHost, ListAddSendsTheWholeName)
{
    StandinReset();
    SetHostMode(HostMode::Unicode);
    FakePlayer player;
    player.Open();
    std::vector<char> buffer(2048 + 64, 0);
    const std::u16string name = u"C:\\Łódź\\東京.mp3";
    std::memcpy(buffer.data(), name.c_str(), (name.size() + 1) * 2);
    LISTADD(0, 0, buffer.data(), 0, 0, 0);
    ASSERT_EQ(1u, player.copied.size());
    EXPECT_TRUE(name + u'\0' == player.copied[0].second);
    SetHostMode(HostMode::Narrow);
    StandinReset();
}

} // namespace
