// End-to-end tests of the real tolbry.dll against the stand-in player, under Wine.
// tolbry-e2e --dll PATH [--unicode] [--code-page-932] [--budget-only | --no-budget]
//            (--in-process --player PLAYER.exe | --cross-process PLAYER.exe [--player64 PLAYER64.exe])
// In process, the player window lives on the calling thread; across processes, a copy of the stand-in
// player program runs beside the test. Both answer the same controls, so every case runs in both.
// Other programs' windows of the player's class are copies of PLAYER.exe in either. With
// --unicode the test is a host that makes the load-time call (7.77, a 2048-byte buffer) and speaks
// UTF-16; every case runs in that mode too, with the answers of an 8-bit host where they fit the code
// page, and the whole name or title where they do not.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../../src/commands/load_dll.h"
#include "../../tools/player/player_window.h"
#include "../common/host_call.h"
#include "check.h"
#include "player_process.h"

namespace {

struct CommandInfo {
    const char* name;
    int ordinal;
    bool strict;
    Messages action; // what it sends once admitted to the stand-in's default state, for fixed actions
    // The module's own commands answer with numbers: what a lenient one answers with no number in
    // the text at the stand-in's playlist position 1, and what each answers when every message after
    // the gate reads 0. Null for the commands that leave the host's text.
    const char* answer;
    const char* zero;
    CommandFn fn;
};

std::vector<CommandInfo> Commands = {
    {"DISPNAME", 1, true, {GetText(899)}, nullptr, nullptr, nullptr},
    {"FILEINFO", 2, true, {TRACK_LENGTH, GetText(889)}, nullptr, nullptr, nullptr},
    {"FILENAME", 3, true, {WRITE}, nullptr, nullptr, nullptr},
    {"TRACKLAST", 4, false, {Command(CMD_PREVIOUS)}, nullptr, nullptr, nullptr},
    {"TRACKNEXT", 5, false, {Command(CMD_NEXT)}, nullptr, nullptr, nullptr},
    {"TRACKPAUSE", 6, false, {Command(CMD_PAUSE)}, nullptr, nullptr, nullptr},
    {"TRACKPLAY", 7, false, {Command(CMD_PLAY)}, nullptr, nullptr, nullptr},
    {"TRACKSTOP", 8, false, {Command(CMD_STOP)}, nullptr, nullptr, nullptr},
    {"FILEPOS", 10, true, {ELAPSED, TRACK_LENGTH}, nullptr, "0 0", nullptr},
    {"FILERATE", 11, true, {BITRATE, SAMPLE_RATE, CHANNELS}, nullptr, "0 0 0", nullptr},
    {"LISTINFO", 12, false, {LIST_LENGTH, LIST_POS}, "2 5", "0 0", nullptr},
    {"TRACKSEEK", 13, false, {}, nullptr, nullptr, nullptr},
    {"VOLUME", 14, false, {ASK_VOLUME}, "73", "0", nullptr},
    {"SHUFFLE", 15, false, {SHUFFLE_STATE}, "0", "0", nullptr},
    {"REPEAT", 16, false, {REPEAT_STATE}, "0", "0", nullptr},
    {"RATING", 17, false, {RATING_STATE}, "0", "0", nullptr},
    {"LISTTITLE", 18, false, {LIST_LENGTH, LIST_POS, ListTitle(1)}, "Brindle - Salt Roads", "", nullptr},
    {"LISTFILE", 19, false, {LIST_LENGTH, LIST_POS, ListFile(1)}, "C:\\Music\\Brindle - Salt Roads.mp3", "", nullptr},
    // «abc» names no file in the host's folder: the player adds nothing.
    {"LISTADD", 20, false, {LIST_LENGTH, CopyData(ADD_TO_PLAYLIST), LIST_LENGTH}, "0 0", "0 0", nullptr},
    // «abc» is a name no decoder knows: the player replies the empty text.
    {"FILETAG", 21, true, {CopyDataReplied(REPLY_CURRENT_FILE), CopyDataReplied(REPLY_FILE_TAG)}, nullptr, "", nullptr},
    // What it answers depends on the play state; with the play state unanswered, it reads 0.
    {"PLAYSTATE", 22, false, {}, nullptr, "stopped", nullptr},
};

CommandFn Find(const char* name)
{
    for (const CommandInfo& c : Commands)
        if (std::strcmp(c.name, name) == 0)
            return c.fn;
    return nullptr;
}

// The test as a Unicode host, with a buffer of this many bytes.
bool UnicodeHost = false;
// Only the case for a Japanese locale, which the suite's run with --code-page-932 is.
bool CodePage932 = false;
// The cases of a player that hangs or is slow spend most of their time waiting out the call's budget:
// they run as a suite of their own, in a prefix of its own, beside the others.
enum class BudgetCases { All, None, Only };
BudgetCases Budget = BudgetCases::All;
constexpr DWORD UNICODE_HOST_BYTES = 2048;

CallResult Call(const char* name, const std::string& text = std::string())
{
    return UnicodeHost ? CallCommandWide(Find(name), text, UNICODE_HOST_BYTES) : CallCommand(Find(name), text);
}

// --- the player under test ----------------------------------------------------------------------

bool CrossProcess = false;
std::string PlayerProgram;
std::string Player64Program; // a 64-bit stand-in player, for the cases that tell the bitnesses apart
std::string OtherProgram;  // the 32-bit stand-in player, for the other programs a case starts
std::string ProgramFolder; // the player's program folder, where it writes WINAMP.m3u
std::string Temp;          // the temporary folder, with its trailing backslash
HWND Player = nullptr;
PROCESS_INFORMATION PlayerProcess = {};

LRESULT CtlOf(HWND window, LPARAM control, WPARAM value = 0)
{
    return SendMessageA(window, WM_USER, value, control);
}

LRESULT Ctl(LPARAM control, WPARAM value = 0)
{
    return CtlOf(Player, control, value);
}

// A real player may keep its playlist files in a settings folder, and load a playlist file.
void StartPlayer(bool real = false, const std::string& settings = std::string(), const std::string& playlist = std::string())
{
    if (CrossProcess) {
        std::string arguments = std::string("--hidden") + (real ? " --real" : "");
        if (!settings.empty())
            arguments += " --settings \"" + settings + "\"";
        if (!playlist.empty())
            arguments += " \"" + playlist + "\"";
        Player = StartPlayerProcess(PlayerProgram, arguments, &PlayerProcess);
    } else {
        PlayerOptions options;
        options.folder = ProgramFolder;
        options.realPlayer = real;
        options.settings = settings;
        options.playlist = playlist;
        Player = CreatePlayerWindow(options);
    }
    CheckTrue(Player != nullptr, "the stand-in player window exists");
}

void StopPlayer()
{
    if (Player == nullptr)
        return;
    if (CrossProcess) {
        StopPlayerProcess(Player, &PlayerProcess);
    } else {
        DestroyWindow(Player);
        MSG msg; // the WM_QUIT that the window's destruction posts
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    Player = nullptr;
}

// The messages `window` received since the last look.
Messages SeenOf(HWND window)
{
    Messages seen;
    LRESULT n = CtlOf(window, CTL_LOG_COUNT);
    for (LRESULT i = 0; i < n; ++i) {
        UINT msg = static_cast<UINT>(CtlOf(window, CTL_LOG_MSG, i));
        Message m{msg, static_cast<WPARAM>(CtlOf(window, CTL_LOG_WPARAM, i)), CtlOf(window, CTL_LOG_LPARAM, i),
                  msg == WM_GETTEXT};
        // The module's reply window, and its request block, are new in every call.
        m.anyWParam = m.wParam != 0 && (msg == WM_COPYDATA || (msg == WM_USER && m.lParam == QUERY_FILE_TAG));
        seen.push_back(m);
    }
    CtlOf(window, CTL_LOG_CLEAR);
    return seen;
}

Messages Seen()
{
    return SeenOf(Player);
}

std::wstring Wide(const std::string& ansi);

// Another program with a window of the player's class: a copy of the stand-in player, named `name`
// in `folder`. Started after the player, its window is found before the player's.
struct OtherWindow {
    HWND window = nullptr;
    PROCESS_INFORMATION process = {};
};

OtherWindow StartOther(const std::wstring& folder, const std::wstring& name, const std::string& arguments)
{
    OtherWindow other;
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring program = folder + L"\\" + name;
    if (CopyFileW(Wide(OtherProgram).c_str(), program.c_str(), FALSE))
        other.window = StartPlayerProcessW(program, Wide(arguments), &other.process);
    CheckTrue(other.window != nullptr, "another window of the class, from " + arguments);
    return other;
}

void StopOther(OtherWindow& other)
{
    if (other.window != nullptr)
        StopPlayerProcess(other.window, &other.process);
    other.window = nullptr;
}

void SetTitle(const std::string& title)
{
    SendMessageA(Player, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

std::string PlaylistFile()
{
    return ProgramFolder + "\\WINAMP.m3u";
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            bytes.append(chunk, n);
        std::fclose(f);
    }
    return bytes;
}

Messages Gate()
{
    return {VERSION, PLAY_STATE};
}

Messages Then(Messages a, const Messages& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// --- cases ---------------------------------------------------------------------------------------

void NoPlayerAnswersErr1()
{
    StopPlayer();
    for (const CommandInfo& c : Commands) {
        CallResult call = Call(c.name, "abc");
        CheckEq("ERR 1", call.answer, c.name);
        CheckEq(3, call.result, std::string(c.name) + " returns 3");
        CheckTrue(call.guardIntact, std::string(c.name) + " stays within 1024 bytes");
    }
    StartPlayer();
}

void OldPlayersAreRefusedAfterTheVersionQuery()
{
    for (int version : {8196, -5, 0}) {
        Ctl(CTL_SET_VERSION, static_cast<WPARAM>(version));
        for (const CommandInfo& c : Commands) {
            std::string what = std::string(c.name) + " version " + std::to_string(version);
            Seen();
            CallResult call = Call(c.name, "abc");
            CheckEq("ERR 2", call.answer, what);
            CheckEq(3, call.result, what);
            CheckMessages({VERSION}, Seen(), what);
        }
    }
    Ctl(CTL_SET_VERSION, 8197);
    Seen();
    CheckEq("abc", Call("TRACKSTOP", "abc").answer, "version 8197 is admitted");
    CheckMessages(Then(Gate(), {Command(CMD_STOP)}), Seen(), "version 8197");
    Ctl(CTL_SET_VERSION, 0x5092);
}

void TransportActsWhateverThePlayState()
{
    for (int state : {0, 3, 1}) {
        for (const CommandInfo& c : Commands) {
            Ctl(CTL_SET_PLAY_STATE, static_cast<WPARAM>(state));
            Ctl(CTL_FORCE_POSITION, 1);
            std::string what = std::string(c.name) + " state " + std::to_string(state);
            Seen();
            CallResult call = Call(c.name, "abc");
            CheckEq(3, call.result, what);
            CheckTrue(call.guardIntact, what + " stays within 1024 bytes");
            if (c.strict && state != 1) {
                CheckEq("ERR 3", call.answer, what);
                CheckMessages(Gate(), Seen(), what);
            } else if (std::strcmp(c.name, "PLAYSTATE") == 0) {
                CheckEq(state == 1 ? "playing" : state == 3 ? "paused" : "stopped", call.answer, what);
                CheckMessages(Gate(), Seen(), what);
            } else if (!c.strict) {
                CheckEq(c.answer != nullptr ? c.answer : "abc", call.answer, what);
                CheckMessages(Then(Gate(), c.action), Seen(), what);
            }
        }
    }
    Ctl(CTL_SET_PLAY_STATE, 1);
}

void TrackPlayNumbers()
{
    struct Case {
        const char* text;
        int position;
    };
    const Case cases[] = {{"3", 2},    {"1", 0},     {"", -1},      {"0", -1},        {"0.9", -1},
                          {"-4", -1},  {"abc", -1},  {"0x10", -1},  {"2.9", 1},       {" 7", 6},
                          {"7 songs", 6}, {"1e1", 9}, {"1d1", 9},   {"1e30", 2147483647},
                          {"99999999999", 2147483647}, {"1e999", 2147483647}};
    for (int state : {1, 3}) {
        for (const Case& k : cases) {
            Ctl(CTL_SET_PLAY_STATE, static_cast<WPARAM>(state));
            Seen();
            std::string what = std::string("TRACKPLAY ") + Quote(k.text) + " state " + std::to_string(state);
            CallResult call = Call("TRACKPLAY", k.text);
            Messages expected = Gate();
            if (k.position >= 0) {
                expected.push_back(SetPosition(static_cast<WPARAM>(k.position)));
                if (state != 1)
                    expected.push_back(Command(CMD_STOP));
            }
            expected.push_back(Command(CMD_PLAY));
            CheckMessages(expected, Seen(), what);
            CheckEq(k.text, call.answer, what + " leaves the host text");
        }
    }
}

void PausedRealPlayerStartsTheSelectedTrack()
{
    StopPlayer();
    StartPlayer(true);
    Call("TRACKPAUSE");
    CheckEq(3, Ctl(CTL_GET_PLAY_STATE), "paused");
    Call("TRACKPLAY", "4");
    CheckEq(1, Ctl(CTL_GET_PLAY_STATE), "playing again");
    CheckEq(3, Ctl(CTL_GET_LOADED), "the selected track plays, not the paused one");
    CheckEq(" Dunmore Strings - Low Tide ", Call("DISPNAME").answer, "the title follows");
    Call("TRACKPAUSE");
    Call("TRACKPLAY");
    CheckEq(3, Ctl(CTL_GET_LOADED), "without a number the paused track resumes");
    StopPlayer();
    StartPlayer();
}

void TitleAnswers()
{
    Seen();
    CheckEq(" Alder Quay - Morning Ferry ", Call("DISPNAME").answer, "DISPNAME");
    CheckMessages(Then(Gate(), {GetText(899)}), Seen(), "DISPNAME");
    CheckEq("245 1", Call("FILEINFO").answer, "FILEINFO");
    CheckMessages(Then(Gate(), {TRACK_LENGTH, GetText(889)}), Seen(), "FILEINFO");
    Call("TRACKNEXT");
    CheckEq("198 2", Call("FILEINFO").answer, "FILEINFO follows TRACKNEXT");

    struct Case {
        std::string title;
        std::string fileInfo;
        std::string displayName;
    };
    const Case cases[] = {
        {"12. Artist - Song - Winamp", "198 12", " Artist - Song "},
        {"Song", "198 Song", "Song"},
        {"7. A-B", "198 7", " A"},
        {"Artist - Song.mp3", "198 Artist - Song", "mp3"},
        {".5.x", "198 5", "5.x"},
        {"...", "198 ", ".."},
        {"9. 100% %s %n - Winamp", "198 9", " 100% %s %n "},
        {std::string(950, 't'), "198 " + std::string(888, 't'), std::string(898, 't')},
    };
    for (const Case& k : cases) {
        SetTitle(k.title);
        CheckEq(k.fileInfo, Call("FILEINFO").answer, "FILEINFO " + Quote(k.title.substr(0, 30)));
        CheckEq(k.displayName, Call("DISPNAME").answer, "DISPNAME " + Quote(k.title.substr(0, 30)));
    }
    SetTitle("");
    Call("TRACKLAST");
}

const char* const FIVE_LINES = "#EXTM3U\r\n#EXTINF:245,Artist - Song\r\nC:\\Music\\song.mp3\r\n#EXTINF:...\r\n"
                               "C:\\Music\\other.mp3\r\n";

void FileNameAnswersTheCurrentEntry()
{
    Seen();
    CheckEq("C:\\Music\\Alder Quay - Morning Ferry.mp3\n", Call("FILENAME").answer, "FILENAME, first entry");
    CheckMessages(Then(Gate(), {WRITE}), Seen(), "FILENAME");
    Call("TRACKNEXT");
    Call("TRACKNEXT");
    CheckEq("C:\\Music\\Copper Lantern - Night Tram.mp3\n", Call("FILENAME").answer, "FILENAME follows TRACKNEXT");
    Call("TRACKPLAY", "5");
    CheckEq("C:\\Music\\Ember Choir - Last Light.mp3\n", Call("FILENAME").answer, "FILENAME follows TRACKPLAY");

    // Files the player leaves as they are: the test writes them, the player only answers a position.
    Ctl(CTL_SET_WRITE_MODE, WRITE_NEVER);
    struct Case {
        std::string file;
        int position;
        std::string entry;
    };
    const std::string longLine = std::string(5000, 'L') + "\r\n";
    const Case cases[] = {
        {FIVE_LINES, 0, "C:\\Music\\song.mp3\n"},
        {FIVE_LINES, 1, "C:\\Music\\other.mp3\n"},          // text mode: CRLF arrives as LF
        {FIVE_LINES, 7, "C:\\Music\\other.mp3\n"},          // past the end: the last line read
        {FIVE_LINES, -1, ""},
        {" #x\r\ny\r\n", 0, " #x\n"},
        {"a\nlast", 1, "last"},
        {longLine + "next\n", 1, "next\n"},
        {"#EXTM3U\n" + std::string(3000, 'd') + "\n", 0, std::string(1023, 'd')},
        {"", 0, ""},
    };
    for (const Case& k : cases) {
        WriteFileBytes(PlaylistFile(), k.file);
        Ctl(CTL_FORCE_POSITION, static_cast<WPARAM>(k.position));
        CallResult call = Call("FILENAME", "host text");
        CheckEq(k.entry, call.answer, "FILENAME at " + std::to_string(k.position) + " of " + Quote(k.file.substr(0, 30)));
        CheckTrue(call.guardIntact, "FILENAME stays within 1024 bytes");
    }

    DeleteFileA(PlaylistFile().c_str());
    Ctl(CTL_FORCE_POSITION, 0);
    CheckEq("", Call("FILENAME", "host text").answer, "no playlist file");
    CreateDirectoryA(PlaylistFile().c_str(), nullptr);
    CheckEq("", Call("FILENAME", "host text").answer, "a playlist path that is a folder");
    RemoveDirectoryA(PlaylistFile().c_str());
    Ctl(CTL_SET_WRITE_MODE, WRITE_ALWAYS);
}

void FileNameKeepsTheFileOfAPlayerThatWritesOnlyAfterAChange()
{
    StopPlayer();
    DeleteFileA(PlaylistFile().c_str());
    StartPlayer(true);
    const char* expected[] = {"C:\\Music\\Alder Quay - Morning Ferry.mp3\n", "C:\\Music\\Brindle - Salt Roads.mp3\n",
                              "C:\\Music\\Copper Lantern - Night Tram.mp3\n"};
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 3; ++i) {
            CheckEq(expected[i], Call("FILENAME").answer, "FILENAME round " + std::to_string(round));
            CheckTrue(GetFileAttributesA(PlaylistFile().c_str()) != INVALID_FILE_ATTRIBUTES, "the playlist file stays");
            Call("TRACKNEXT");
        }
        Call("TRACKPLAY", "1");
    }
    CheckEq(1, Ctl(CTL_WRITES), "an unchanged playlist is written once");
    Ctl(CTL_EDIT_PLAYLIST);
    Call("TRACKPLAY", "6");
    CheckEq("C:\\Music\\Added 6.mp3\n", Call("FILENAME").answer, "an edited playlist is written again");
    CheckEq(2, Ctl(CTL_WRITES), "written after the edit");

    Call("TRACKPAUSE");
    std::string before = ReadFileBytes(PlaylistFile());
    Seen();
    CheckEq("ERR 3", Call("FILENAME").answer, "FILENAME while paused");
    CheckMessages(Gate(), Seen(), "FILENAME while paused");
    CheckEq(before, ReadFileBytes(PlaylistFile()), "the playlist file is untouched while paused");
    CheckEq(2, Ctl(CTL_WRITES), "no write while paused");
    StopPlayer();
    StartPlayer();
}

void WindowGoneAfterTheSearch()
{
    Ctl(CTL_VANISH);
    Seen();
    CheckEq("ERR 2", Call("DISPNAME", "abc").answer, "a window gone after the search reads as too old");
    CheckEq("ERR 1", Call("DISPNAME", "abc").answer, "and then as no player");
    StopPlayer();
    StartPlayer();
}

void NonsenseAnswers()
{
    for (int length : {-1, -2147483647 - 1, 2147483647}) {
        Ctl(CTL_SET_LENGTH, static_cast<WPARAM>(length));
        CheckEq(std::to_string(length) + " 1", Call("FILEINFO").answer, "length " + std::to_string(length));
    }
    Ctl(CTL_SET_VERSION, 0x7FFFFFFF);
    CheckEq(" Alder Quay - Morning Ferry ", Call("DISPNAME").answer, "version 0x7FFFFFFF");
    Ctl(CTL_SET_WRITE_MODE, WRITE_NEVER);
    WriteFileBytes(PlaylistFile(), "#EXTM3U\na\nb\n");
    for (int position : {-5, -2147483647 - 1, 2147483647}) {
        Ctl(CTL_FORCE_POSITION, static_cast<WPARAM>(position));
        CheckEq(position < 0 ? "" : "b\n", Call("FILENAME").answer, "position " + std::to_string(position));
    }
    StopPlayer();
    StartPlayer();
}

void TitlesAroundTheReadLimits()
{
    for (size_t length = 886; length <= 901; ++length) {
        std::string title = "3." + std::string(length - 4, 'n') + "-x";
        SetTitle(title);
        std::string dispNameSees = title.substr(0, 898);
        size_t dash = dispNameSees.rfind('-');
        CheckEq("245 3", Call("FILEINFO").answer, "FILEINFO, title of " + std::to_string(length));
        CheckEq(dispNameSees.substr(2, dash == std::string::npos ? std::string::npos : dash - 2),
                Call("DISPNAME").answer, "DISPNAME, title of " + std::to_string(length));
        SetTitle(std::string(length, '7'));
        CheckEq("245 " + std::string(length < 888 ? length : 888, '7'), Call("FILEINFO").answer,
                "FILEINFO, dotless title of " + std::to_string(length));
    }
    SetTitle("");
}

void HostileLines()
{
    Ctl(CTL_SET_WRITE_MODE, WRITE_NEVER);
    Ctl(CTL_FORCE_POSITION, 0);
    for (size_t length : {1022u, 1023u, 1024u, 5000u}) {
        WriteFileBytes(PlaylistFile(), "#EXTM3U\r\n" + std::string(length, 'a') + "\r\n");
        CallResult call = Call("FILENAME");
        CheckEq((std::string(length, 'a') + "\n").substr(0, 1023), call.answer, "a line of " + std::to_string(length));
        CheckTrue(call.guardIntact, "a line of " + std::to_string(length) + " stays within 1024 bytes");
    }
    WriteFileBytes(PlaylistFile(), "#EXTM3U\nC:\\100% %s %n %i.mp3\n");
    CheckEq("C:\\100% %s %n %i.mp3\n", Call("FILENAME").answer, "format characters in a line");
    std::string junk;
    for (int i = 0; i < 50000; ++i)
        junk += static_cast<char>((i * 7919) % 256);
    WriteFileBytes(PlaylistFile(), junk);
    for (int position : {0, 5, 100000}) {
        Ctl(CTL_FORCE_POSITION, static_cast<WPARAM>(position));
        CallResult call = Call("FILENAME");
        CheckTrue(call.guardIntact && call.answer.size() <= 1023, "binary junk at " + std::to_string(position));
    }
    Ctl(CTL_SET_WRITE_MODE, WRITE_ALWAYS);
    Ctl(CTL_FORCE_POSITION, 0);
}

// The line msvcrt's text mode gives for the entry, read line by line with fgets as the module once
// did: the block reader must answer exactly this, cut to an answer's length.
std::string TextModeEntry(const std::string& path, int position)
{
    std::FILE* f = std::fopen(path.c_str(), "rt");
    char pieces[2][4096];
    int last = -1, next = 0, entries = 0;
    bool beginsLine = true;
    for (;;) {
        char* piece = pieces[next];
        piece[4095] = 'x';
        if (std::fgets(piece, 4096, f) == nullptr)
            break;
        bool filled = piece[4095] == '\0';
        bool began = beginsLine;
        beginsLine = !filled || piece[4094] == '\n';
        if (!began)
            continue;
        last = next;
        next = 1 - next;
        if (piece[0] != '#' && ++entries > position)
            break;
    }
    std::fclose(f);
    return last < 0 ? std::string() : std::string(pieces[last]).substr(0, 1023);
}

// Files whose line ends, CR LF pairs, Ctrl-Z and long lines fall on and around the reader's block
// edges, against the C library's own text mode.
void TextModeAtBlockEdges()
{
    Ctl(CTL_SET_WRITE_MODE, WRITE_NEVER);
    std::vector<std::string> files;
    for (size_t edge : {4096u, 65536u + 4096u}) {
        for (size_t before = edge - 3; before <= edge + 1; ++before) {
            files.push_back(std::string(before, 'a') + "\r\nnext\r\n#x\r\nlast");
            files.push_back("#" + std::string(before - 1, 'h') + "\r\n\rlone\r\nz\x1A" "after\r\n");
            files.push_back(std::string(before, '\n') + "\r\n\x1A");
        }
    }
    std::string mixed;
    for (int i = 0; i < 30000; ++i)
        mixed += (i % 7 == 0 ? "#" : "") + std::to_string(i) + (i % 5 == 0 ? "\r" : "") + (i % 3 ? "\r\n" : "\n");
    files.push_back(mixed);
    for (size_t i = 0; i < files.size(); ++i) {
        WriteFileBytes(PlaylistFile(), files[i]);
        for (int position : {0, 1, 2, 3, 4000, 4100, 25000, 99999}) {
            Ctl(CTL_FORCE_POSITION, static_cast<WPARAM>(position));
            CheckEq(TextModeEntry(PlaylistFile(), position), Call("FILENAME").answer,
                    "file " + std::to_string(i) + " at " + std::to_string(position));
        }
    }
    Ctl(CTL_SET_WRITE_MODE, WRITE_ALWAYS);
    Ctl(CTL_FORCE_POSITION, 0);
}

// --- the player as people run it ------------------------------------------------------------------

std::string SettingsFile()
{
    return ProgramFolder + "\\paths.ini";
}

const char* const FIRST_ENTRY = "C:\\Music\\Alder Quay - Morning Ferry.mp3\n";

std::wstring Wide(const std::string& ansi)
{
    WCHAR out[4096];
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, out, 4096);
    return n > 0 ? out : L"";
}

// A text editor's "Unicode": UTF-16, little-endian, after a byte-order mark.
std::string Utf16File(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (WCHAR c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// A per-user installation: paths.ini beside the program names the settings folder, where the player
// keeps its playlist files; the program folder holds a stale playlist that must not be answered.
std::string Explained();

void FileNameFollowsPathsIni()
{
    char appData[MAX_PATH];
    CheckTrue(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData) == S_OK, "the application-data folder");
    // A name of its own for each module and player: the folder that a wrong view leads to must not
    // hold a playlist that another run's player left.
    std::string name = std::string("tolbry-e2e-") + (sizeof(void*) == 8 ? "64" : "32") +
                       (CrossProcess ? "-cross-settings" : "-in-settings");
    std::string parent = ProgramFolder.substr(0, ProgramFolder.rfind('\\'));
    struct Setup {
        std::string folder; // where the player keeps its files
        std::vector<std::string> settings; // paths.ini variants that name it
        bool apartByBitness = false; // a 32-bit and a 64-bit process see the folder in different places
    };
    const Setup setups[] = {
        {std::string(appData) + "\\" + name,
         {"[Winamp]\r\ninidir={26}\\" + name + "\r\n", "[Winamp]\r\ninidir=%APPDATA%\\" + name + "\r\n",
          "[Winamp]\r\ninidir=  {26}\\" + name + "\\  \r\n",
          "[Winamp]\r\ninidir=C:\\nowhere\r\nm3udir=%APPDATA%\\" + name + "\r\n"}},
        {parent + "\\" + name,
         {"[Winamp]\r\ninidir=%WINAMP_PROGRAM_DIR%\\..\\" + name + "\r\n", "[Winamp]\r\ninidir=..\\" + name + "\r\n"}},
        // Folders a 32-bit and a 64-bit process see apart: the player expands them in its own process,
        // and the module must find them there, whatever its own bitness.
        {"{38}\\" + name, {"[Winamp]\r\ninidir={38}\\" + name + "\r\n", "[Winamp]\r\ninidir=%ProgramFiles%\\" + name + "\r\n"},
         true},
        {"{43}\\" + name,
         {"[Winamp]\r\ninidir={43}\\" + name + "\r\n", "[Winamp]\r\nm3udir=%CommonProgramFiles%\\" + name + "\r\n"},
         true},
        {parent + "\\Wiedergabelisten f\xFCr " + name, // in the code page, 1252
         {"[Winamp]\r\ninidir=" + parent + "\\Wiedergabelisten f\xFCr " + name + "\r\n"}},
    };
    // Without either key the program folder counts; a folder that cannot be worked out is no reason
    // to answer the program folder's playlist, which on a modern install is a stale one.
    const std::string withoutKey[] = {"", "[Winamp]\r\ninidir=\r\n", "[Other]\r\ninidir=C:\\other\r\n"};
    const std::string unusable[] = {"[Winamp]\r\ninidir={9999}\\Winamp\r\n",
                                    "[Winamp]\r\ninidir=%TOLBRY_NO_SUCH_VARIABLE%\r\n",
                                    "[Winamp]\r\nm3udir={9999}\r\ninidir=%APPDATA%\r\n"};
    for (const Setup& setup : setups) {
        StopPlayer();
        StartPlayer(true, setup.folder);
        // Each also saved as "Unicode" (UTF-16 with a byte-order mark), which gives the same folder.
        for (const std::string& settings : setup.settings) {
            WriteFileBytes(PlaylistFile(), "#EXTM3U\r\nC:\\stale.mp3\r\n");
            WriteFileBytes(SettingsFile(), settings);
            CheckEq(FIRST_ENTRY, Call("FILENAME").answer, "FILENAME with " + Quote(settings));
            WriteFileBytes(SettingsFile(), Utf16File(Wide(settings)));
            CheckEq(FIRST_ENTRY, Call("FILENAME").answer, "FILENAME with the UTF-16 " + Quote(settings));
        }
        for (const std::string& settings : withoutKey) {
            WriteFileBytes(SettingsFile(), settings);
            CheckEq("C:\\stale.mp3\n", Call("FILENAME").answer, "FILENAME in the program folder with " + Quote(settings));
        }
        for (const std::string& settings : unusable) {
            WriteFileBytes(SettingsFile(), settings);
            CheckEq("", Call("FILENAME").answer, "FILENAME with " + Quote(settings));
        }
        DeleteFileA(SettingsFile().c_str());
        CheckEq("C:\\stale.mp3\n", Call("FILENAME").answer, "FILENAME without paths.ini");
        CreateDirectoryA(SettingsFile().c_str(), nullptr);
        CheckEq("", Call("FILENAME").answer, "FILENAME with a paths.ini that is a folder");
        RemoveDirectoryA(SettingsFile().c_str());
        // Held open by another program without sharing: it cannot be read, and names nothing.
        WriteFileBytes(SettingsFile(), setup.settings[0]);
        HANDLE holder = CreateFileA(SettingsFile().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
        CheckTrue(holder != INVALID_HANDLE_VALUE, "paths.ini held open");
        CheckEq("", Call("FILENAME").answer, "FILENAME with a paths.ini another program holds, a stale playlist beside");
        if (&setup == &setups[0]) {
            std::string explained = Explained();
            CheckTrue(explained.find("paths.ini cannot be read (error 32)") != std::string::npos &&
                          explained.find("FILENAME answers the empty text") != std::string::npos,
                      "tolbry-host --explain names the unreadable paths.ini: " + Quote(explained));
        }
        CloseHandle(holder);
        CheckEq(FIRST_ENTRY, Call("FILENAME").answer, "FILENAME once paths.ini is let go");
        DeleteFileA(SettingsFile().c_str());
    }
    // A 64-bit player, as programs that take the player's window class may be: a 32-bit module finds
    // its folders where a 64-bit process sees them.
    if (!Player64Program.empty()) {
        std::string player32 = PlayerProgram;
        PlayerProgram = Player64Program;
        for (const Setup& setup : setups) {
            if (!setup.apartByBitness)
                continue;
            StopPlayer();
            StartPlayer(true, setup.folder + "-player64");
            for (std::string settings : setup.settings) {
                settings.insert(settings.rfind("\r\n"), "-player64");
                WriteFileBytes(PlaylistFile(), "#EXTM3U\r\nC:\\stale.mp3\r\n");
                WriteFileBytes(SettingsFile(), settings);
                CheckEq(FIRST_ENTRY, Call("FILENAME").answer, "FILENAME of a 64-bit player with " + Quote(settings));
            }
        }
        PlayerProgram = player32;
        DeleteFileA(SettingsFile().c_str());
    }
    StopPlayer();
    StartPlayer();
}

DWORD Elapsed(DWORD since);
bool RegisterAssociation();

// A named pipe that takes every client and never writes: a read of it would wait for good. Should
// the module read, the pipe is closed after three seconds, so that the case fails rather than hangs.
struct SilentPipe {
    HANDLE server;
    OVERLAPPED connect = {};
    HANDLE called;  // set once the call under test has returned
    HANDLE watchdog;

    explicit SilentPipe(const std::string& name)
    {
        server = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1, 4096,
                                  4096, 0, nullptr);
        connect.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ConnectNamedPipe(server, &connect);
        called = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        watchdog = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
    }
    static DWORD WINAPI Watch(LPVOID self)
    {
        SilentPipe* pipe = static_cast<SilentPipe*>(self);
        if (WaitForSingleObject(pipe->called, 3000) == WAIT_TIMEOUT)
            DisconnectNamedPipe(pipe->server);
        return 0;
    }
    ~SilentPipe()
    {
        SetEvent(called);
        WaitForSingleObject(watchdog, INFINITE);
        for (HANDLE h : {watchdog, called, connect.hEvent, server})
            CloseHandle(h);
    }
};

// Should the module read the FIFO, its writer is closed after three seconds: the read ends.
struct FifoWatch {
    HANDLE called, writer;
};

DWORD WINAPI WatchFifo(LPVOID argument)
{
    FifoWatch* watch = static_cast<FifoWatch*>(argument);
    if (WaitForSingleObject(watch->called, 3000) == WAIT_TIMEOUT)
        CloseHandle(watch->writer);
    return 0;
}

// Runs a Unix program, which Wine starts as it starts a Windows one, and waits (at most five seconds)
// until `path` exists, or is gone: Wine does not tell when a Unix program ends. Windows calls
// cannot make a FIFO or a link to a device, nor delete one.
// Wine gives a FIFO or a device no attributes, but lists it in its folder.
bool Listed(const std::string& path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(("Z:" + path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

bool RunUnix(const std::string& program, const std::string& arguments, const std::string& path, bool exists)
{
    // Nothing to do is not done: a program started for nothing (a «rm -f» of what is not there) would
    // still run later, and could undo what the next one makes.
    if (Listed(path) == exists)
        return true;
    std::string line = program + " " + arguments;
    std::vector<char> command(line.begin(), line.end());
    command.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(("Z:" + program).c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    for (int i = 0; i < 200; ++i) {
        if (Listed(path) == exists)
            return true;
        Sleep(50);
    }
    return false;
}

// The playlist, the .m3u8 and paths.ini, each in turn a pipe that accepts and never writes, or a
// device: each call returns at once, with the answer of a missing file.
void FilesThatAreNoDiskFilesAreNotRead()
{
    const std::string tag = std::string(sizeof(void*) == 8 ? "64-" : "32-") + (CrossProcess ? "cross" : "in");
    const std::string pipes = "\\\\.\\pipe\\tolbry-e2e-" + tag;
    const std::string unixFolder = "/tmp/tolbry-e2e-" + tag; // a Unix folder, where a FIFO or a device can be
    const std::string folder = "Z:" + unixFolder;
    const std::string missing = "C:\\Music\\?.mp3"; // names no file: the .m3u8 is looked at
    CreateDirectoryA(folder.c_str(), nullptr);
    Ctl(CTL_SET_WRITE_MODE, WRITE_NEVER);
    // The playlist a pipe through paths.ini. A program cannot run from a pipe, so paths.ini beside it
    // is a disk file or a device (below).
    {
        WriteFileBytes(SettingsFile(), "[Winamp]\r\nm3udir=" + pipes + "\r\n");
        SilentPipe pipe(pipes + "\\WINAMP.m3u");
        DWORD start = GetTickCount();
        CallResult call = Call("FILENAME", "host text");
        DWORD took = Elapsed(start);
        CheckEq("", call.answer, "FILENAME with the playlist a pipe");
        CheckTrue(took < 1000, "the playlist a pipe: FILENAME took " + std::to_string(took) + " ms");
    }
    DeleteFileA(SettingsFile().c_str());

    // The .m3u8 beside a disk .m3u: a FIFO with a writer that never writes, then a device.
    WriteFileBytes(SettingsFile(), "[Winamp]\r\nm3udir=" + folder + "\r\n");
    WriteFileBytes(folder + "\\WINAMP.m3u", "#EXTM3U\r\n" + missing + "\r\n");
    std::string m3u8 = folder + "\\WINAMP.m3u8";
    RunUnix("/bin/rm", "-f " + unixFolder + "/WINAMP.m3u8", unixFolder + "/WINAMP.m3u8", false);
    CheckTrue(RunUnix("/usr/bin/mkfifo", unixFolder + "/WINAMP.m3u8", unixFolder + "/WINAMP.m3u8", true),
              "a FIFO is made");
    HANDLE writer = CreateFileA(m3u8.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    CheckTrue(writer != INVALID_HANDLE_VALUE && GetFileType(writer) == FILE_TYPE_PIPE, "the FIFO is a pipe");
    HANDLE called = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    FifoWatch watch = {called, writer};
    HANDLE watchdog = CreateThread(nullptr, 0, WatchFifo, &watch, 0, nullptr);
    Ctl(CTL_FORCE_POSITION, 0);
    DWORD start = GetTickCount();
    CallResult call = Call("FILENAME", "host text");
    DWORD took = Elapsed(start);
    bool inTime = SetEvent(called) && WaitForSingleObject(watchdog, INFINITE) == WAIT_OBJECT_0 && took < 1000;
    if (inTime)
        CloseHandle(writer);
    CloseHandle(watchdog);
    CloseHandle(called);
    CheckEq(missing + "\n", call.answer, "FILENAME with the .m3u8 a FIFO");
    CheckTrue(inTime, "the .m3u8 a FIFO: FILENAME took " + std::to_string(took) + " ms");

    // A device reads without end: as the playlist at position 1, read, it would hold the call for good.
    // paths.ini beside a program: a copy of the player run from the Unix folder, which gets the call.
    OtherWindow inUnixFolder;
    for (const char* name : {"WINAMP.m3u8", "WINAMP.m3u", "paths.ini"}) {
        std::string device = unixFolder + "/" + name;
        if (std::strcmp(name, "paths.ini") == 0) {
            DeleteFileA(SettingsFile().c_str());
            inUnixFolder = StartOther(Wide(folder), L"winamp.exe", "--hidden");
            CtlOf(inUnixFolder.window, CTL_SET_WRITE_MODE, WRITE_NEVER);
            CtlOf(inUnixFolder.window, CTL_FORCE_POSITION, 0);
            WriteFileBytes(folder + "\\WINAMP.m3u", "#EXTM3U\r\n" + missing + "\r\n");
        }
        RunUnix("/bin/rm", "-f " + device, device, false);
        CheckTrue(RunUnix("/bin/ln", "-s /dev/zero " + device, device, true), std::string("a link to a device as ") + name);
        Ctl(CTL_FORCE_POSITION, std::strcmp(name, "WINAMP.m3u") == 0 ? 1 : 0);
        start = GetTickCount();
        std::string answer = Call("FILENAME", "host text").answer;
        took = Elapsed(start);
        // A device as paths.ini cannot be read: it names no folder, and no playlist is answered.
        CheckEq(std::strcmp(name, "WINAMP.m3u8") == 0 ? missing + "\n" : "", answer,
                std::string("FILENAME with a device as ") + name);
        CheckTrue(took < 1000, std::string("a device as ") + name + ": FILENAME took " + std::to_string(took) + " ms");
        RunUnix("/bin/rm", "-f " + device, device, false);
    }
    StopOther(inUnixFolder);
    DeleteFileA((folder + "\\winamp.exe").c_str());
    DeleteFileA((folder + "\\WINAMP.m3u").c_str());
    RemoveDirectoryA(folder.c_str());
    DeleteFileA(SettingsFile().c_str());
    Ctl(CTL_SET_WRITE_MODE, WRITE_ALWAYS);
    Ctl(CTL_FORCE_POSITION, 0);
}

// With title scrolling on, every rotation of a caption answers as the caption itself.
void AScrollingTitleAnswersAsThePlainOne()
{
    const std::string captions[] = {"3. A *** B - Winamp", "9. " + std::string(375, 'x') + " - Winamp", "5. Song",
                                    "12. Artist - Song - Winamp [Paused]"};
    for (const std::string& caption : captions) {
        SetTitle(caption);
        Ctl(CTL_SCROLL_TO, static_cast<WPARAM>(-1));
        std::string fileInfo = Call("FILEINFO").answer;
        std::string displayName = Call("DISPNAME").answer;
        int wrong = 0;
        for (size_t step = 0; step < caption.size() + 3; ++step) {
            Ctl(CTL_SCROLL_TO, step);
            if (Call("FILEINFO").answer != fileInfo || Call("DISPNAME").answer != displayName) {
                if (wrong++ == 0)
                    CheckTrue(false, "step " + std::to_string(step) + " of " + Quote(ScrolledTitle(caption, step)));
            }
        }
        CheckEq(0, wrong, "scrolled titles answered otherwise than " + Quote(caption.substr(0, 40)));
    }
    Ctl(CTL_SCROLL_TO, static_cast<WPARAM>(-1));
    SetTitle("");
}

std::string Utf8(const std::wstring& wide)
{
    char out[4096];
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? out : "";
}

std::string Ansi(const std::wstring& wide)
{
    char out[4096];
    int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? out : "";
}

// A file whose name holds Japanese and Polish letters: the .m3u line names no file, and FILENAME
// answers the short path of the one the .m3u8 names, unless the .m3u8 cannot be trusted.
void ANameOutsideTheCodePageAnswersItsShortPath()
{
    std::string settings = ProgramFolder + "\\unicode-settings";
    std::wstring music = std::wstring(ProgramFolder.begin(), ProgramFolder.end()) + L"\\music";
    CreateDirectoryW(music.c_str(), nullptr);
    std::wstring file = music + L"\\\u65E5\u672C\u8A9E \u0141\u00F3d\u017A.mp3"; // 日本語 Łódź.mp3
    std::wstring lookAlike = music + L"\\\u4E2D\u6587\u5B57 \u0141\u00F3d\u017A.mp3"; // the same in ANSI
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    // A long name in the code page, which has a short name too: its line is answered as written.
    std::wstring plain = music + L"\\A long name that exists.mp3";
    CloseHandle(CreateFileW(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::string list = ProgramFolder + "\\unicode.m3u8";
    WriteFileBytes(list, "\xEF\xBB\xBF#EXTM3U\r\nC:\\Music\\a.mp3\r\n" + Utf8(file) + "\r\nC:\\Music\\c.mp3\r\n" +
                             Utf8(plain) + "\r\n");
    StopPlayer();
    StartPlayer(true, settings, list);
    Call("TRACKPLAY", "4");
    CheckEq(Ansi(plain) + "\n", Call("FILENAME").answer, "FILENAME of a file that exists, with a short name too");
    Call("TRACKPLAY", "2");
    std::string line = Ansi(file) + "\n";
    CallResult call = Call("FILENAME");
    if (UnicodeHost) {
        CheckEq(Utf8(file + L"\n"), Utf8(call.wide), "a Unicode host gets the whole name, never a short path");
    } else {
        CheckTrue(call.answer != line && call.answer.size() > 1 && call.answer.back() == '\n',
                  "FILENAME answers another path than the .m3u line: " + Quote(call.answer));
        std::string shortPath = call.answer.substr(0, call.answer.size() - 1);
        HANDLE opened = CreateFileA(shortPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        CheckTrue(opened != INVALID_HANDLE_VALUE, "the short path " + Quote(shortPath) + " opens the file");
        CloseHandle(opened);
    }

    Ctl(CTL_SET_WRITE_MODE, WRITE_NEVER);
    std::string m3u8 = settings + "\\WINAMP.m3u8";
    std::string written = ReadFileBytes(m3u8);
    const std::string cases[][2] = {
        {"a stale .m3u8", "\xEF\xBB\xBF#EXTM3U\r\nC:\\Music\\a.mp3\r\nC:\\Music\\c.mp3\r\n"},
        {"a .m3u8 with another name", "\xEF\xBB\xBF#EXTM3U\r\nC:\\Music\\a.mp3\r\n" + Utf8(lookAlike) + "\r\n"},
    };
    for (const auto& k : cases) {
        WriteFileBytes(m3u8, k[1]);
        CheckEq(line, Call("FILENAME").answer, "FILENAME with " + k[0]);
    }
    DeleteFileA(m3u8.c_str());
    CheckEq(line, Call("FILENAME").answer, "FILENAME without the .m3u8");
    WriteFileBytes(m3u8, written);
    CheckEq(call.answer, Call("FILENAME").answer, "FILENAME with the .m3u8 back");
    StopPlayer();
    DeleteFileW(file.c_str());
    DeleteFileW(plain.c_str());
    DeleteFileA(SettingsFile().c_str());
    StartPlayer();
}

// Titles and file names in Latin with accents, Cyrillic, CJK and with a character outside the Basic
// Multilingual Plane: a Unicode host gets every character, an 8-bit one what its code page holds.
void TitlesAndNamesInAnyScript()
{
    const std::wstring names[] = {L"Caf\u00E9 M\u00FCller", L"\u0417\u0435\u043C\u0444\u0438\u0440\u0430 - \u0425\u043E\u0447\u0435\u0448\u044C?",
                                  L"\u6771\u4EAC", L"Drum \xD83C\xDFB5 loop"};
    auto answered = [](const CallResult& call) { return UnicodeHost ? Utf8(call.wide) : call.answer; };
    auto expected = [](const std::wstring& wide) { return UnicodeHost ? Utf8(wide) : Ansi(wide); };
    for (const std::wstring& name : names) {
        SendMessageW(Player, WM_SETTEXT, 0, reinterpret_cast<LPARAM>((L"7. " + name + L" - Winamp").c_str()));
        CheckEq(expected(L" " + name + L" "), answered(Call("DISPNAME")), "DISPNAME of " + Utf8(name));
        SendMessageW(Player, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        std::string fileInfo = answered(Call("FILEINFO"));
        CheckEq(expected(name), fileInfo.substr(fileInfo.find(' ') + 1), "FILEINFO of " + Utf8(name));
    }
    SetTitle("");

    std::string list = ProgramFolder + "\\scripts.m3u8";
    std::string entries = "\xEF\xBB\xBF#EXTM3U\r\n";
    for (const std::wstring& name : names)
        entries += Utf8(L"C:\\Music\\" + name + L".mp3") + "\r\n";
    WriteFileBytes(list, entries);
    StopPlayer();
    StartPlayer(true, ProgramFolder + "\\scripts-settings", list);
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
        Call("TRACKPLAY", std::to_string(i + 1));
        CheckEq(expected(L"C:\\Music\\" + names[i] + L".mp3\n"), answered(Call("FILENAME")),
                "FILENAME of " + Utf8(names[i]));
    }
    StopPlayer();
    DeleteFileA(SettingsFile().c_str());
    StartPlayer();
}

DWORD Elapsed(DWORD since)
{
    return GetTickCount() - since;
}

void ReleasePlayer()
{
    HANDLE release = OpenEventA(EVENT_MODIFY_STATE, FALSE, PLAYER_RELEASE_EVENT);
    SetEvent(release);
    CloseHandle(release);
}

std::string TextFor(const CommandInfo& c)
{
    return std::strcmp(c.name, "TRACKPLAY") == 0 ? "3" : "abc";
}

// Each command against the quick player, from the same state each time.
CallResult QuickCall(const CommandInfo& c, Messages& seen)
{
    Ctl(CTL_FORCE_POSITION, 2);
    Ctl(CTL_SET_PLAY_STATE, 1);
    Seen();
    CallResult call = Call(c.name, TextFor(c));
    seen = Seen();
    Ctl(CTL_FORCE_POSITION, 2);
    Ctl(CTL_SET_PLAY_STATE, 1);
    return call;
}

// What a command answers when the message after `handled` ones goes unanswered: that message reads
// as 0 and nothing is sent after it.
std::string UnansweredAfter(const CommandInfo& c, int handled, const std::string& quick)
{
    if (handled == 0)
        return "ERR 2";
    if (handled == 1 && c.strict)
        return "ERR 3";
    if (c.zero != nullptr && handled <= 2)
        return c.zero;
    // Any of their messages unanswered, the playlist's commands have nothing to answer.
    if ((std::strncmp(c.name, "LIST", 4) == 0 && std::strcmp(c.name, "LISTINFO") != 0) ||
        std::strcmp(c.name, "FILETAG") == 0)
        return c.zero;
    // The first message after the gate answered: FILEPOS and FILERATE keep their first figure, and
    // LISTINFO's position reads 0, the first entry.
    if (std::strcmp(c.name, "FILEPOS") == 0)
        return quick.substr(0, quick.find(' ')) + " 0";
    if (std::strcmp(c.name, "FILERATE") == 0)
        return quick.substr(0, quick.find(' ')) + " 0 0";
    if (std::strcmp(c.name, "LISTINFO") == 0)
        return "1" + quick.substr(quick.find(' '));
    if (!c.strict)
        return TextFor(c);
    if (std::strcmp(c.name, "FILEINFO") == 0)
        return handled == 2 ? "0 " : quick.substr(0, quick.find(' ') + 1);
    return "";
}

// A player that stops handling messages after the search, after the version query, after the play
// state query (so in the length query, WM_GETTEXT, the write request, SET_PLAYLIST_POS or a command)
// and in FILEINFO's WM_GETTEXT: every command returns within the budget, with the answer of an
// unanswered message, and sends nothing after it.
//
// Each hung call waits out its two seconds. A player hung in the gate's two queries meets every command
// in the one gate they share: those cases take one strict and one lenient command of each kind of
// answer; every command is hung after each message of its own.
bool HungInTheGate(const CommandInfo& c)
{
    for (const char* name : {"DISPNAME", "TRACKNEXT", "FILEPOS", "LISTADD", "FILETAG", "PLAYSTATE"})
        if (std::strcmp(c.name, name) == 0)
            return true;
    return false;
}

void AHungPlayerHoldsNoCallPastItsBudget()
{
    DWORD slowest = 0, quickest = 0xFFFFFFFF;
    for (int handled = 0; handled <= 3; ++handled) {
        for (const CommandInfo& c : Commands) {
            if (handled < 2 && !HungInTheGate(c))
                continue;
            Messages quickSeen;
            std::string quick = QuickCall(c, quickSeen).answer;
            bool hangs = quickSeen.size() > static_cast<size_t>(handled);
            std::string what = std::string(c.name) + " with a player hung after " + std::to_string(handled);
            Ctl(CTL_HANG_AFTER, static_cast<WPARAM>(handled));
            DWORD start = GetTickCount();
            CallResult call = Call(c.name, TextFor(c));
            DWORD took = Elapsed(start);
            if (hangs) {
                ReleasePlayer();
                slowest = took > slowest ? took : slowest;
                quickest = took < quickest ? took : quickest;
            }
            Ctl(CTL_HANG_AFTER, static_cast<WPARAM>(-1));
            Messages expected = quickSeen;
            if (hangs)
                expected.resize(static_cast<size_t>(handled) + 1);
            CheckMessages(expected, Seen(), what);
            CheckEq(hangs ? UnansweredAfter(c, handled, quick) : quick, call.answer, what);
            CheckTrue(took < 2500, what + " returns within 2.5 s (took " + std::to_string(took) + " ms)");
        }
    }
    std::printf("hung player: calls returned after %lu to %lu ms\n", static_cast<unsigned long>(quickest),
                static_cast<unsigned long>(slowest));
}

// A slow player gets exactly the quick player's messages and answers, as long as the call's two
// seconds last; past them the message that would end too late goes unanswered. A command sends at
// most five messages: at 150 ms each they end with well over a second to spare, which a loaded
// machine does not eat. At 1,200 ms the first ends with 800 ms to spare, and the second cannot.
void ASlowPlayerIsAnsweredAsAQuickOne()
{
    for (const CommandInfo& c : Commands) {
        Messages quickSeen;
        std::string quick = QuickCall(c, quickSeen).answer;
        Ctl(CTL_SET_SLOW, 150);
        CallResult call = Call(c.name, TextFor(c));
        Ctl(CTL_SET_SLOW, 0);
        CheckMessages(quickSeen, Seen(), std::string(c.name) + " at 150 ms a message");
        CheckEq(quick, call.answer, std::string(c.name) + " at 150 ms a message");
    }
    Ctl(CTL_SET_SLOW, 1200);
    DWORD start = GetTickCount();
    CheckEq("3", Call("TRACKPLAY", "3").answer, "TRACKPLAY at 1,200 ms a message");
    DWORD took = Elapsed(start);
    Ctl(CTL_SET_SLOW, 0);
    CheckMessages(Gate(), Seen(), "the second message would end past 2 s: nothing after it");
    CheckTrue(took < 2500, "TRACKPLAY at 1,200 ms a message took " + std::to_string(took) + " ms");
}

// Once the system reports the player hung (5 s without handling a message), a call does not wait.
void APlayerReportedHungCostsNoWait()
{
    Ctl(CTL_HANG_AFTER, 0);
    DWORD hungSince = GetTickCount();
    CheckEq("ERR 2", Call("DISPNAME").answer, "DISPNAME as the player hangs");
    Sleep(5500 - Elapsed(hungSince));
    DWORD slowest = 0;
    for (const CommandInfo& c : Commands) {
        DWORD start = GetTickCount();
        CallResult call = Call(c.name, TextFor(c));
        DWORD took = Elapsed(start);
        slowest = took > slowest ? took : slowest;
        CheckEq("ERR 2", call.answer, std::string(c.name) + " against a hung player");
        CheckTrue(took < 100, std::string(c.name) + " against a hung player took " + std::to_string(took) + " ms");
    }
    ReleasePlayer();
    Seen();
    std::printf("player reported hung: calls returned after at most %lu ms\n", static_cast<unsigned long>(slowest));
}

struct ThreadWork {
    int index;
    int wrong;
};

DWORD WINAPI HostThread(LPVOID argument)
{
    ThreadWork* work = static_cast<ThreadWork*>(argument);
    for (int n = 0; n < 100; ++n) {
        switch ((n + work->index) % 4) {
        case 0: work->wrong += Call("DISPNAME").answer != " Copper Lantern - Night Tram "; break;
        case 1: work->wrong += Call("FILEINFO").answer != "312 3"; break;
        case 2: work->wrong += Call("FILENAME").answer != "C:\\Music\\Copper Lantern - Night Tram.mp3\n"; break;
        default: work->wrong += Call("TRACKPLAY", "3").answer != "3"; break;
        }
    }
    return 0;
}

// Four host threads call at once while the player's thread pumps its messages.
void HostThreadsAtOnce()
{
    StopPlayer();
    StartPlayer(true);
    Call("TRACKPLAY", "3");
    ThreadWork work[4] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    HANDLE threads[4];
    for (int i = 0; i < 4; ++i)
        threads[i] = CreateThread(nullptr, 0, HostThread, &work[i], 0, nullptr);
    // In process the player's window belongs to this thread, which must keep pumping.
    std::vector<HANDLE> running(threads, threads + 4);
    while (!running.empty()) {
        DWORD n = static_cast<DWORD>(running.size());
        DWORD woken = MsgWaitForMultipleObjects(n, running.data(), FALSE, 30000, QS_ALLINPUT);
        if (woken < WAIT_OBJECT_0 + n) {
            running.erase(running.begin() + (woken - WAIT_OBJECT_0));
        } else if (woken == WAIT_OBJECT_0 + n) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        } else {
            break; // timed out: the checks below say which thread hangs
        }
    }
    for (int i = 0; i < 4; ++i) {
        CheckTrue(WaitForSingleObject(threads[i], 30000) == WAIT_OBJECT_0, "host thread " + std::to_string(i) + " ends");
        CloseHandle(threads[i]);
        CheckEq(0, work[i].wrong, "wrong answers on host thread " + std::to_string(i));
    }
    CheckEq(1, Ctl(CTL_WRITES), "the unchanged playlist was written once");
    StopPlayer();
    StartPlayer();
}

// --- the module's own commands ---------------------------------------------------------------------

std::string SuiteTag();

// What now-playing tools show and do, against the stand-in as the player answers: each command's
// whole record and answer, and what the player kept.
void TheModulesOwnCommands()
{
    Ctl(CTL_SET_PLAY_STATE, 1);
    Ctl(CTL_FORCE_POSITION, 2); // «Copper Lantern - Night Tram»: 312 s, 256 kbps, 44 kHz, stereo, rated 5
    Ctl(CTL_SET_ELAPSED, 151900);
    struct Step {
        const char* command;
        const char* text;
        Messages action;
        const char* answer; // null: the host's text
    };
    const Step steps[] = {
        {"FILEPOS", "", {ELAPSED, TRACK_LENGTH}, "151 312"},
        {"FILERATE", "", {BITRATE, SAMPLE_RATE, CHANNELS}, "256 44 2"},
        {"LISTINFO", "", {LIST_LENGTH, LIST_POS}, "3 5"},
        {"TRACKSEEK", "90.5", {JumpTo(90500)}, nullptr},
        {"FILEPOS", "", {ELAPSED, TRACK_LENGTH}, "90 312"},
        {"TRACKSEEK", "+10", {ELAPSED, JumpTo(100500)}, nullptr},
        {"TRACKSEEK", "-200", {ELAPSED, JumpTo(0)}, nullptr},
        {"TRACKSEEK", "soon", {}, nullptr},
        {"FILEPOS", "", {ELAPSED, TRACK_LENGTH}, "0 312"},
        {"VOLUME", "", {ASK_VOLUME}, "73"},
        {"VOLUME", "50", {SetVolume(128), ASK_VOLUME}, "50"},
        {"VOLUME", "+10", {ASK_VOLUME, SetVolume(153), ASK_VOLUME}, "60"},
        {"VOLUME", "150", {SetVolume(255), ASK_VOLUME}, "100"},
        {"VOLUME", "-200", {ASK_VOLUME, SetVolume(0), ASK_VOLUME}, "0"},
        {"SHUFFLE", "1", {Setting(SET_SHUFFLE, 1), SHUFFLE_STATE}, "1"},
        {"SHUFFLE", "", {SHUFFLE_STATE}, "1"},
        {"SHUFFLE", "0", {Setting(SET_SHUFFLE, 0), SHUFFLE_STATE}, "0"},
        {"REPEAT", "7", {Setting(SET_REPEAT, 1), REPEAT_STATE}, "1"},
        {"REPEAT", "0", {Setting(SET_REPEAT, 0), REPEAT_STATE}, "0"},
        {"RATING", "", {RATING_STATE}, "5"},
        {"RATING", "2", {Setting(SET_RATING, 2), RATING_STATE}, "2"},
        {"RATING", "9", {Setting(SET_RATING, 5), RATING_STATE}, "5"},
    };
    for (const Step& k : steps) {
        std::string what = std::string(k.command) + " " + Quote(k.text);
        Seen();
        CallResult call = Call(k.command, k.text);
        CheckMessages(Then(Gate(), k.action), Seen(), what);
        CheckEq(k.answer != nullptr ? k.answer : k.text, call.answer, what);
        CheckTrue(call.guardIntact, what + " stays within the host's buffer");
    }
    CheckEq(0, Ctl(CTL_GET_VOLUME), "the volume as the player keeps it");

    // A window that answers past the bounds: the answers stay within them.
    Ctl(CTL_SET_VOLUME, 300);
    CheckEq("100", Call("VOLUME").answer, "a volume of 300 answers 100 percent");
    Ctl(CTL_SET_VOLUME, 186);

    // Stopped: the elapsed time reads -1, a step starts from 0, and FILEPOS is refused.
    Ctl(CTL_SET_PLAY_STATE, 0);
    Seen();
    CheckEq("ERR 3", Call("FILEPOS").answer, "FILEPOS stopped");
    CheckEq("+5", Call("TRACKSEEK", "+5").answer, "TRACKSEEK stopped");
    CheckEq("3 5", Call("LISTINFO").answer, "LISTINFO stopped");
    CheckMessages(Then(Gate(), Then(Gate(), Then({ELAPSED, JumpTo(5000)}, Then(Gate(), {LIST_LENGTH, LIST_POS})))),
                  Seen(), "stopped");

    // An imitation found first, stopped before the playing player, gets the search's two queries and
    // nothing of what follows.
    Ctl(CTL_SET_PLAY_STATE, 1);
    OtherWindow other = StartOther(Wide(Temp + "tolbry-e2e-own-" + SuiteTag()), L"imitation.exe",
                                   "--hidden --version 0x2080 --state stopped --own-folder \"" + Temp +
                                       "tolbry-e2e-own-imitation-" + SuiteTag() + "\"");
    const Step afterImitation[] = {
        {"FILEPOS", "", {ELAPSED, TRACK_LENGTH}, "0 312"},
        {"FILERATE", "", {BITRATE, SAMPLE_RATE, CHANNELS}, "256 44 2"},
        {"LISTINFO", "", {LIST_LENGTH, LIST_POS}, "3 5"},
        {"TRACKSEEK", "+1", {ELAPSED, JumpTo(1000)}, nullptr},
        {"VOLUME", "+73", {ASK_VOLUME, SetVolume(255), ASK_VOLUME}, "100"},
        {"SHUFFLE", "", {SHUFFLE_STATE}, "0"},
        {"REPEAT", "", {REPEAT_STATE}, "0"},
        {"RATING", "4", {Setting(SET_RATING, 4), RATING_STATE}, "4"},
    };
    for (const Step& k : afterImitation) {
        std::string what = std::string(k.command) + " with an imitation found first";
        Seen();
        SeenOf(other.window);
        CallResult call = Call(k.command, k.text);
        CheckMessages(Gate(), SeenOf(other.window), what + ": the imitation");
        CheckMessages(Then(Gate(), k.action), Seen(), what + ": the player");
        CheckEq(k.answer != nullptr ? k.answer : k.text, call.answer, what);
    }
    StopOther(other);
    Ctl(CTL_SET_VOLUME, 186);
    Ctl(CTL_SET_SWITCHES, 0);
    Ctl(CTL_FORCE_POSITION, 0);
}

// --- the playlist from outside ----------------------------------------------------------------------

struct Step {
    const char* command;
    std::string text;
    Messages action;
    std::string answer;
};

void RunSteps(const std::vector<Step>& steps, const std::string& where)
{
    for (const Step& k : steps) {
        std::string what = where + std::string(k.command) + " " + Quote(k.text);
        Seen();
        CallResult call = Call(k.command, k.text);
        CheckMessages(Then(Gate(), k.action), Seen(), what);
        CheckEq(k.answer, call.answer, what);
        CheckTrue(call.guardIntact, what + " stays within the host's buffer");
    }
}

// `steps` with an imitation (hidden, stopped, 0x2080, answering 0 to the string requests) found first,
// which gets the search's two queries for each step and nothing more.
void StepsBehindAnImitation(const std::vector<Step>& steps)
{
    OtherWindow other = StartOther(Wide(Temp + "tolbry-e2e-own-" + SuiteTag()), L"imitation.exe",
                                   "--hidden --imitation --version 0x2080 --state stopped --own-folder \"" + Temp +
                                       "tolbry-e2e-own-imitation-" + SuiteTag() + "\"");
    SeenOf(other.window);
    RunSteps(steps, "an imitation found first: ");
    Messages gates;
    for (size_t i = 0; i < steps.size(); ++i)
        gates = Then(gates, Gate());
    CheckMessages(gates, SeenOf(other.window), "the imitation found first");
    StopOther(other);
}

std::string ShortAnsi(const std::wstring& path)
{
    WCHAR shortPath[MAX_PATH];
    DWORD n = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    return n > 0 && n < MAX_PATH ? Ansi(shortPath) : std::string();
}

void WriteEmptyFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CheckTrue(file != INVALID_HANDLE_VALUE, "made " + Utf8(path));
    CloseHandle(file);
}

// Any entry's title and file, read from the player's memory, files added and then played: each
// call's whole record and answer. Across processes the 32-bit player keeps its strings above 2 GB, so
// that the 64-bit module must take the low 32 bits of its answers, which reach it sign-extended.
void ThePlaylistFromOutside()
{
    Ctl(CTL_SET_PLAY_STATE, 1);
    Ctl(CTL_FORCE_POSITION, 1);
    if (CrossProcess)
        CheckTrue(static_cast<DWORD>(Ctl(CTL_GET_STRINGS)) >= 0x80000000u,
                  "the 32-bit player's strings lie above 2 GB");
    const Messages add = {LIST_LENGTH, CopyData(ADD_TO_PLAYLIST), LIST_LENGTH};
    RunSteps({
                 {"LISTTITLE", "", {LIST_LENGTH, LIST_POS, ListTitle(1)}, "Brindle - Salt Roads"},
                 {"LISTTITLE", "3", {LIST_LENGTH, ListTitle(2)}, "Copper Lantern - Night Tram"},
                 {"LISTTITLE", "4.7", {LIST_LENGTH, ListTitle(3)}, "Dunmore Strings - Low Tide"},
                 {"LISTTITLE", "5", {LIST_LENGTH, ListTitle(4)}, "Ember Choir - Last Light"},
                 {"LISTTITLE", "6", {LIST_LENGTH}, ""},
                 {"LISTTITLE", "0", {LIST_LENGTH}, ""},
                 {"LISTFILE", "next", {LIST_LENGTH, LIST_POS, ListFile(1)}, "C:\\Music\\Brindle - Salt Roads.mp3"},
                 {"LISTFILE", "1", {LIST_LENGTH, ListFile(0)}, "C:\\Music\\Alder Quay - Morning Ferry.mp3"},
                 {"LISTFILE", "-1", {LIST_LENGTH}, ""},
                 {"LISTADD", "", {}, "0 0"},
                 {"LISTADD", " \"\" ", {}, "0 0"},
                 {"LISTADD", "no such file.mp3", add, "0 0"},
             },
             "");

    // One file, then a folder of two, one of them named outside the code page; the first added plays.
    const std::wstring folder = Wide(Temp + "tolbry-e2e-add-" + SuiteTag());
    const std::wstring album = folder + L"\\album";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW(album.c_str(), nullptr);
    WriteEmptyFile(folder + L"\\one.mp3");
    WriteEmptyFile(album + L"\\a.mp3");
    const std::wstring zemfira = album + L"\\\u0417\u0435\u043c\u0444\u0438\u0440\u0430.mp3"; // Земфира
    WriteEmptyFile(zemfira);
    std::string one = Ansi(folder) + "\\one.mp3";
    RunSteps({
                 {"LISTADD", "  \"" + one + "\" ", add, "6 6"},
                 {"LISTTITLE", "6", {LIST_LENGTH, ListTitle(5)}, "one"},
                 {"LISTFILE", "6", {LIST_LENGTH, ListFile(5)}, one},
                 {"LISTADD", Ansi(album), add, "7 8"},
                 {"LISTTITLE", "7", {LIST_LENGTH, ListTitle(6)}, "a"},
                 {"TRACKPLAY", "6", {SetPosition(5), Command(CMD_PLAY)}, "6"},
             },
             "");
    CheckEq(5, Ctl(CTL_GET_LOADED), "TRACKPLAY of the first entry added plays it");
    CheckEq(8, Ctl(CTL_GET_LENGTH), "the playlist holds what was added");
    // A title is for reading: «?» where the code page has no letter. A file must open: its short path.
    Seen();
    CallResult title = Call("LISTTITLE", "8");
    CallResult file = Call("LISTFILE", "8");
    CheckMessages(Then(Gate(), Then({LIST_LENGTH, ListTitle(7)}, Then(Gate(), {LIST_LENGTH, ListFile(7)}))), Seen(),
                  "a name outside the code page");
    if (UnicodeHost) {
        CheckTrue(title.wide == std::basic_string<WCHAR>(reinterpret_cast<const WCHAR*>(L"\u0417\u0435\u043c\u0444\u0438\u0440\u0430")),
                  "a Unicode host gets the whole title: " + Quote(title.answer));
        CheckTrue(file.wide == std::basic_string<WCHAR>(reinterpret_cast<const WCHAR*>(zemfira.c_str())),
                  "a Unicode host gets the whole file: " + Quote(file.answer));
    } else {
        CheckEq("???????", title.answer, "an 8-bit host's title");
        CheckEq(ShortAnsi(zemfira), file.answer, "an 8-bit host's file: its short path");
        CheckTrue(file.answer.find('?') == std::string::npos && !file.answer.empty(), "a path that opens");
    }
    // A relative name is the host's, made absolute against the host's folder, not the player's.
    WCHAR here[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, here);
    SetCurrentDirectoryW(folder.c_str());
    RunSteps({{"LISTADD", "one.mp3", add, "9 9"}, {"LISTFILE", "9", {LIST_LENGTH, ListFile(8)}, one}}, "relative: ");
    SetCurrentDirectoryW(here);

    // Answering as an imitation does: 0 to the string requests and to WM_COPYDATA.
    Ctl(CTL_SET_IMITATION, 1);
    RunSteps({{"LISTTITLE", "", {LIST_LENGTH, LIST_POS, ListTitle(5)}, ""},
              {"LISTFILE", "2", {LIST_LENGTH, ListFile(1)}, ""},
              {"LISTADD", one, add, "0 0"}},
             "an imitation's answers: ");
    Ctl(CTL_SET_IMITATION, 0);

    // An imitation found first, stopped, gets the search's two queries and nothing more.
    StepsBehindAnImitation({{"LISTTITLE", "2", {LIST_LENGTH, ListTitle(1)}, "Brindle - Salt Roads"},
                            {"LISTADD", one, add, "10 10"}});

    // The 32-bit module cannot hold a 64-bit player's pointers: it asks it for none.
    if (CrossProcess && sizeof(void*) == 4 && !Player64Program.empty()) {
        PROCESS_INFORMATION process64;
        HWND player64 = StartPlayerProcess(Player64Program, "--hidden", &process64);
        CheckTrue(player64 != nullptr, "the 64-bit player runs");
        SeenOf(player64);
        Seen();
        CheckEq("", Call("LISTTITLE", "1").answer, "LISTTITLE of a 64-bit player from a 32-bit module");
        CheckMessages(Then(Gate(), {LIST_LENGTH}), SeenOf(player64), "the 64-bit player");
        CheckMessages({}, Seen(), "the 32-bit player, found after the one that plays");
        StopPlayerProcess(player64, &process64);
    }
    DeleteFileW(zemfira.c_str());
    // The stand-in starts again with its five entries, for the cases after this one.
    StopPlayer();
    StartPlayer();
}

// --- the track's tags and the play state -------------------------------------------------------------

// The request block's address differs on every call.
Message TagBlock()
{
    Message m = Query(QUERY_FILE_TAG);
    m.anyWParam = true;
    return m;
}

// FILETAG against the stand-in in each of its modes: the player of 5.9 replies by message, an older
// player answers through a request block in its memory (also one slower than the call's budget, which
// writes its answer after the call gave up), and an imitation answers 0 to all of it. PLAYSTATE in
// each play state.
void TheTracksTags()
{
    Ctl(CTL_SET_PLAY_STATE, 1);
    Ctl(CTL_FORCE_POSITION, 2); // «Copper Lantern - Night Tram», Harbour Lights, 2019
    const Messages reply = {CopyDataReplied(REPLY_CURRENT_FILE), CopyDataReplied(REPLY_FILE_TAG)};
    RunSteps({
                 {"FILETAG", "artist", reply, "Copper Lantern"},
                 {"FILETAG", " title ", reply, "Night Tram"},
                 {"FILETAG", "album", reply, "Harbour Lights"},
                 {"FILETAG", "year", reply, "2019"},
                 {"FILETAG", "genre", reply, "Indie"},
                 {"FILETAG", "track", reply, "3"},
                 {"FILETAG", "comment", reply, ""},
                 {"FILETAG", "art ist", {}, ""},
                 {"FILETAG", "", {}, ""},
                 {"FILETAG", "artist\xE9", {}, ""},
                 {"PLAYSTATE", "", {}, "playing"},
                 {"TRACKPAUSE", "", {Command(CMD_PAUSE)}, ""},
                 {"PLAYSTATE", "", {}, "paused"},
                 {"TRACKSTOP", "", {Command(CMD_STOP)}, ""},
                 {"PLAYSTATE", "x", {}, "stopped"},
             },
             "the player: ");
    CheckEq("ERR 3", Call("FILETAG", "artist").answer, "FILETAG of a stopped player");
    Ctl(CTL_SET_PLAY_STATE, 1);
    Ctl(CTL_FORCE_POSITION, 2);
    // What the host program explains of the same player, by the module's own routes.
    std::string explained = Explained();
    const std::string width = CrossProcess || sizeof(void*) == 4 ? "32" : "64";
    for (const std::string& part : {"LISTTITLE of the current entry:\n  entry 3; the player's process (" + width +
                                        "-bit) opened for reading",
                                    std::string(": read, Copper Lantern - Night Tram\n"),
                                    std::string("FILETAG (asking the title):\n  by reply: the player replied with the "
                                                "file and the tag, Night Tram\n")})
        CheckTrue(explained.find(part) != std::string::npos, "tolbry-host --explain says " + Quote(part));
    Seen();

    Ctl(CTL_SET_OLDER, 1);
    const Messages memory = {CopyDataReplied(REPLY_CURRENT_FILE), LIST_LENGTH, LIST_POS, ListFile(2), TagBlock()};
    RunSteps({
                 {"FILETAG", "artist", memory, "Copper Lantern"},
                 {"FILETAG", "year", memory, "2019"},
                 {"FILETAG", "bpm", memory, ""},
                 {"FILETAG", "nonsense", memory, ""},
             },
             "an older player: ");
    if (CrossProcess) {
        // It writes the answer into the block after the call gave up: the block must still be there.
        Ctl(CTL_SET_SLOW_TAGS, 2500);
        Seen();
        DWORD start = GetTickCount();
        CallResult slow = Call("FILETAG", "artist");
        DWORD took = Elapsed(start);
        CheckEq("", slow.answer, "an older player slower than the budget");
        CheckTrue(took < 2500, "within the budget: " + std::to_string(took) + " ms");
        Sleep(1500);
        CheckEq(5, Ctl(CTL_GET_LENGTH), "the slow player wrote its answer and still runs");
        CheckMessages(Then(Gate(), memory), Seen(), "an older player slower than the budget");
        Ctl(CTL_SET_SLOW_TAGS, 0);
        CheckEq("Copper Lantern", Call("FILETAG", "artist").answer, "the older player afterwards");
    }
    Ctl(CTL_SET_OLDER, 0);

    // An imitation: its version says it has no request block, and nothing follows its 0.
    Ctl(CTL_SET_IMITATION, 1);
    Ctl(CTL_SET_VERSION, 0x2080);
    RunSteps({{"FILETAG", "artist", {CopyDataReplied(REPLY_CURRENT_FILE)}, ""}}, "an imitation: ");
    Ctl(CTL_SET_VERSION, 0x5092);
    Ctl(CTL_SET_IMITATION, 0);

    StepsBehindAnImitation({{"FILETAG", "album", reply, "Harbour Lights"}, {"PLAYSTATE", "", {}, "playing"}});

    // A 64-bit player replies to the 32-bit module by message as well; its request block the module
    // cannot address.
    if (CrossProcess && sizeof(void*) == 4 && !Player64Program.empty()) {
        PROCESS_INFORMATION process64;
        HWND player64 = StartPlayerProcess(Player64Program, "--hidden", &process64);
        CheckTrue(player64 != nullptr, "the 64-bit player runs");
        SeenOf(player64);
        CheckEq("Alder Quay", Call("FILETAG", "artist").answer, "a 64-bit player's reply");
        CheckMessages(Then(Gate(), reply), SeenOf(player64), "a 64-bit player's reply");
        CtlOf(player64, CTL_SET_OLDER, 1);
        CheckEq("", Call("FILETAG", "artist").answer, "an older 64-bit player");
        CheckMessages(Then(Gate(), {CopyDataReplied(REPLY_CURRENT_FILE)}), SeenOf(player64), "an older 64-bit player");
        StopPlayerProcess(player64, &process64);
    }
    Seen();
    Ctl(CTL_FORCE_POSITION, 0);
}

// --- several windows of the player's class -----------------------------------------------------------

// The tag of this suite's own folders and files.
std::string SuiteTag()
{
    return std::string(sizeof(void*) == 8 ? "64-" : "32-") + (CrossProcess ? "cross" : "in") + (UnicodeHost ? "-u" : "");
}

std::string DllFolder();

// The output of the host program beside the DLL, run with --explain.
std::string Explained()
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read, write;
    if (!CreatePipe(&read, &write, &inherit, 0))
        return std::string();
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = write;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string line = "\"" + DllFolder() + "\\tolbry-host.exe\" --explain";
    std::vector<char> command(line.begin(), line.end());
    command.push_back('\0');
    PROCESS_INFORMATION process;
    std::string out;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &process)) {
        CloseHandle(write);
        // The player in this process answers only while this thread handles its messages.
        char chunk[4096];
        DWORD got;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            DWORD waiting = 0;
            if (PeekNamedPipe(read, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
                if (ReadFile(read, chunk, sizeof chunk, &got, nullptr))
                    out.append(chunk, got);
                continue;
            }
            if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0) {
                while (ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got > 0)
                    out.append(chunk, got);
                break;
            }
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        CloseHandle(write);
    }
    CloseHandle(read);
    return out;
}

// Programs that imitate the player's window (hidden, version 0x2080, playlist files in a folder of
// their own), second copies of the player and old windows, started after the player and so found
// before it. The window that plays gets the call; each window's whole record is compared.
void TheWindowThatPlaysGetsTheCall()
{
    const std::wstring base = Wide(Temp + "tolbry-e2e-windows-" + SuiteTag());
    const std::string imitation = "--hidden --version 0x2080 --own-folder \"" + Temp + "tolbry-e2e-imitation-" +
                                  SuiteTag() + "\"";
    struct Case {
        const char* what;
        std::string other;    // the other program's arguments
        int otherState;       // 1 playing, 3 paused, 0 stopped
        bool otherOld;        // below 0x2005: asked its version alone
        int playerState;
        bool otherUsed;
        const char* fileName; // FILENAME's answer when the window used plays
    };
    const Case cases[] = {
        {"an imitation, stopped, before a playing player", imitation + " --state stopped", 0, false, 1, false, FIRST_ENTRY},
        {"an imitation, stopped, before a paused player", imitation + " --state stopped", 0, false, 3, false, ""},
        // Neither plays: the player's version, 0x5092, wins over the imitation's, whatever the order.
        {"an imitation, stopped, before a stopped player", imitation + " --state stopped", 0, false, 0, false, ""},
        {"a playing imitation before a playing player", imitation, 1, false, 1, true, ""},
        {"an old window before a stopped player", "--hidden --version 0x1602", 1, true, 0, false, ""},
        {"two stopped copies of the player", "--hidden --state stopped", 0, false, 0, true, ""},
    };
    for (const Case& k : cases) {
        Ctl(CTL_SET_PLAY_STATE, static_cast<WPARAM>(k.playerState));
        Ctl(CTL_FORCE_POSITION, 0);
        OtherWindow other = StartOther(base, L"other.exe", k.other);
        int usedState = k.otherUsed ? k.otherState : k.playerState;
        for (const CommandInfo& c : Commands) {
            if (std::strcmp(c.name, "DISPNAME") != 0 && std::strcmp(c.name, "FILENAME") != 0 &&
                std::strcmp(c.name, "TRACKNEXT") != 0)
                continue;
            std::string what = std::string(c.name) + ", " + k.what;
            Seen();
            SeenOf(other.window);
            CallResult call = Call(c.name, "abc");
            bool admitted = !c.strict || usedState == 1;
            std::string answer = !admitted ? "ERR 3"
                                 : !c.strict ? "abc"
                                 : std::strcmp(c.name, "FILENAME") == 0 ? k.fileName
                                                                        : " Alder Quay - Morning Ferry ";
            CheckEq(answer, call.answer, what);
            Messages otherExpected = k.otherOld ? Messages{VERSION} : Gate();
            Messages playerExpected = k.otherUsed && k.otherState == 1 ? Messages{} : Gate();
            if (admitted)
                (k.otherUsed ? otherExpected : playerExpected) = Then(k.otherUsed ? otherExpected : playerExpected, c.action);
            CheckMessages(otherExpected, SeenOf(other.window), what + ": the other window");
            CheckMessages(playerExpected, Seen(), what + ": the player");
            CtlOf(other.window, CTL_FORCE_POSITION, 0);
            Ctl(CTL_FORCE_POSITION, 0);
        }
        if (&k == &cases[0]) {
            // What the host program explains of the same two windows, by the module's own decisions.
            std::string explained = Explained();
            CheckTrue(explained.find("1. window") != std::string::npos && explained.find("hidden") != std::string::npos &&
                          explained.find("version 0x2080, play state 0 (stopped)") != std::string::npos &&
                          explained.find("A call uses window 2: the first that plays.") != std::string::npos &&
                          explained.find("from the program that owns the window") != std::string::npos,
                      "tolbry-host --explain: " + Quote(explained));
            Seen();
        }
        StopOther(other);
    }
    Ctl(CTL_SET_PLAY_STATE, 1);
}

// A window that stops answering, found first: until the system reports it hung, it holds a call for
// the call's budget and no longer; once the system does, it is passed over at once.
// Another program's window that is busy, not hung: it holds each message 2.5 s. Found first, it
// may take half of the budget, and the playing player after it answers in the other half.
// DISPNAME with a window found first that does not answer in time: it may take half of the two
// seconds, split between itself and the player after it, which answers in the other half.
void DispNameBehindAWindowThatTakesItsShare(const std::string& what)
{
    Seen();
    DWORD start = GetTickCount();
    CallResult call = Call("DISPNAME");
    DWORD took = Elapsed(start);
    CheckEq(" Alder Quay - Morning Ferry ", call.answer, "DISPNAME behind " + what);
    CheckTrue(took >= 900 && took < 2000, what + " took its share only: " + std::to_string(took) + " ms");
    CheckMessages(Then(Gate(), {GetText(899)}), Seen(), "the player, behind " + what);
}

void ABusyWindowFoundFirstTakesItsShare()
{
    OtherWindow busy = StartOther(Wide(Temp + "tolbry-e2e-busy-" + SuiteTag()), L"busy.exe", "--hidden --slow 2500");
    DispNameBehindAWindowThatTakesItsShare("a busy window");
    Sleep(2000); // the busy window ends its message and handles the look at its record
    CheckMessages({VERSION}, SeenOf(busy.window), "the busy window: the version query alone");
    StopOther(busy);
}

// A user whose name is outside the code page («Łukasz» on 1252): the folder paths.ini names through
// the environment is that user's, never its look-alike «Lukasz» nor the program folder's stale file.
void AProfileOutsideTheCodePage()
{
    const std::wstring profile = Wide(Temp) + L"\u0141ukasz-" + Wide(SuiteTag());
    const std::wstring lookAlike = Wide(Temp) + L"Lukasz-" + Wide(SuiteTag());
    CreateDirectoryW(profile.c_str(), nullptr);
    CreateDirectoryW(lookAlike.c_str(), nullptr);
    CreateDirectoryW((lookAlike + L"\\Winamp").c_str(), nullptr);
    SetEnvironmentVariableW(L"TOLBRY_E2E_PROFILE", profile.c_str());
    StopPlayer();
    StartPlayer(true, "%TOLBRY_E2E_PROFILE%\\Winamp");
    WriteFileBytes(PlaylistFile(), "#EXTM3U\r\nC:\\stale.mp3\r\n");
    HANDLE stale = CreateFileW((lookAlike + L"\\Winamp\\WINAMP.m3u").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               0, nullptr);
    DWORD wrote = 0;
    WriteFile(stale, "#EXTM3U\r\nC:\\look-alike.mp3\r\n", 31, &wrote, nullptr);
    CloseHandle(stale);
    CheckEq(FIRST_ENTRY, Call("FILENAME").answer, "FILENAME with the profile «\u0141ukasz» named through the environment");
    CheckTrue(GetFileAttributesW((profile + L"\\Winamp\\WINAMP.m3u").c_str()) != INVALID_FILE_ATTRIBUTES,
              "the player wrote its playlist in the profile itself");
    StopPlayer();
    DeleteFileW((profile + L"\\Winamp\\WINAMP.m3u").c_str());
    DeleteFileW((profile + L"\\Winamp\\WINAMP.m3u8").c_str());
    RemoveDirectoryW((profile + L"\\Winamp").c_str());
    RemoveDirectoryW(profile.c_str());
    DeleteFileW((lookAlike + L"\\Winamp\\WINAMP.m3u").c_str());
    RemoveDirectoryW((lookAlike + L"\\Winamp").c_str());
    RemoveDirectoryW(lookAlike.c_str());
    DeleteFileA(SettingsFile().c_str());
    DeleteFileA(PlaylistFile().c_str());
    SetEnvironmentVariableW(L"TOLBRY_E2E_PROFILE", nullptr);
    StartPlayer();
}

// Run under a Japanese locale, where Wine's ANSI code page is 932 (a separate run of the suite): a
// folder whose last character, 表, ends in the byte of a backslash, and an 8-bit answer cut before a
// two-byte character that does not fit.
void ACodePage932Folder()
{
    CheckEq(932, static_cast<long long>(GetACP()), "the ANSI code page (LANG=ja_JP.UTF-8, its locale generated)");
    const std::wstring folder = Wide(Temp) + L"tolbry-e2e-\u8868-" + Wide(SuiteTag()) + L"\\\u8868";
    CreateDirectoryW((Wide(Temp) + L"tolbry-e2e-\u8868-" + Wide(SuiteTag())).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    StopPlayer();
    StartPlayer(true);
    WriteFileBytes(PlaylistFile(), "#EXTM3U\r\nC:\\stale.mp3\r\n");
    WriteFileBytes(SettingsFile(), Utf16File(L"[Winamp]\r\ninidir=" + folder + L"\\\r\n"));
    StopPlayer();
    StartPlayer(true); // it reads its paths.ini when it starts
    CheckEq(FIRST_ENTRY, Call("FILENAME").answer, "FILENAME with a folder that ends in \u8868");
    StopPlayer();
    DeleteFileA(SettingsFile().c_str());
    StartPlayer();
    // «aaa…表»: the two bytes of 表 (0x95 0x5C) would end at byte 1024.
    Ctl(CTL_SET_WRITE_MODE, WRITE_NEVER);
    Ctl(CTL_FORCE_POSITION, 0);
    std::string line = std::string(1022, 'a') + "\x95\x5C.mp3";
    WriteFileBytes(PlaylistFile(), "#EXTM3U\r\n" + line + "\r\n");
    if (!UnicodeHost)
        CheckEq(std::string(1022, 'a'), Call("FILENAME").answer, "an 8-bit answer ends before a two-byte character");
    Ctl(CTL_SET_WRITE_MODE, WRITE_ALWAYS);
    DeleteFileA(PlaylistFile().c_str());
}

void AHungWindowFoundFirstIsPassedOver()
{
    OtherWindow hung = StartOther(Wide(Temp + "tolbry-e2e-hung-" + SuiteTag()), L"hung.exe", "--hidden --hang-after 0");
    DWORD_PTR ignored;
    SendMessageTimeoutA(hung.window, WM_USER, 0, QUERY_VERSION, SMTO_NORMAL, 100, &ignored); // it hangs in this one
    DWORD hungSince = GetTickCount();
    DispNameBehindAWindowThatTakesItsShare("a window not yet reported hung");
    DWORD waited = Elapsed(hungSince);
    if (waited < 6000)
        Sleep(6000 - waited);
    DWORD start = GetTickCount();
    CallResult call = Call("DISPNAME");
    DWORD took = Elapsed(start);
    CheckEq(" Alder Quay - Morning Ferry ", call.answer, "a window reported hung is passed over");
    CheckTrue(took < 500, "passed over at once: " + std::to_string(took) + " ms");
    CheckMessages(Then(Gate(), {GetText(899)}), Seen(), "the player, behind a window reported hung");
    HANDLE release = OpenEventA(EVENT_MODIFY_STATE, FALSE, PLAYER_RELEASE_EVENT);
    SetEvent(release);
    CloseHandle(release);
    StopOther(hung);
}

// FILENAME reads the playlist of the program that owns the window used, wherever it runs from: the
// association is read only when that program cannot be asked.
void FileNameReadsTheRunningProgramsPlaylist()
{
    const std::string base = Temp + "tolbry-e2e-programs-" + SuiteTag();
    const std::string oldInstall = base + "-old";
    CreateDirectoryA(oldInstall.c_str(), nullptr);
    WriteFileBytes(oldInstall + "\\WINAMP.m3u", "#EXTM3U\r\nC:\\stale.mp3\r\n");
    const std::string imitationFiles = base + "-imitation-files";
    struct Case {
        const char* what;
        std::wstring folder;
        std::string arguments;
        bool association; // the association names the old installation; otherwise there is none
        const char* answer;
    };
    const Case cases[] = {
        {"a portable copy, without an association", Wide(base + "-portable"), "--hidden", false, FIRST_ENTRY},
        {"a second installation, the association naming the old one", Wide(base + "-new"), "--hidden", true, FIRST_ENTRY},
        {"a program that imitates the player, alone", Wide(base + "-imitation"),
         "--hidden --version 0x2080 --own-folder \"" + imitationFiles + "\"", true, ""},
        {"a program folder in Cyrillic", Wide(base) + L"-\u041F\u043B\u0435\u0435\u0440", "--hidden", true, FIRST_ENTRY},
    };
    StopPlayer();
    for (const Case& k : cases) {
        if (k.association)
            RegisterPlayerAssociation(oldInstall + "\\winamp.exe");
        else
            RegDeleteKeyA(HKEY_CLASSES_ROOT, "Winamp.File\\shell\\Play\\command");
        OtherWindow program = StartOther(k.folder, L"winamp.exe", k.arguments);
        CheckEq(k.answer, Call("FILENAME", "host text").answer, std::string("FILENAME of ") + k.what);
        CheckMessages(Then(Gate(), {WRITE}), SeenOf(program.window), std::string("FILENAME of ") + k.what);
        StopOther(program);
        DeleteFileW((k.folder + L"\\winamp.exe").c_str());
    }
    RegisterAssociation();
    StartPlayer();
}

HMODULE Module = nullptr;
std::string DllPath;

// The DLL's folder as a Windows path: CTest names it as a Unix one.
std::string DllFolder()
{
    std::string path = DllPath;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}
typedef void(WINAPI* LoadDllFn)(LOADINFO*);

LoadDllFn LoadDllOf(HMODULE module)
{
    return reinterpret_cast<LoadDllFn>(reinterpret_cast<void*>(GetProcAddress(module, "LoadDll")));
}

// Loads the DLL and, as a Unicode host, makes the load-time call.
bool LoadModule()
{
    Module = LoadLibraryA(DllPath.c_str());
    for (CommandInfo& c : Commands)
        c.fn = Module ? reinterpret_cast<CommandFn>(reinterpret_cast<void*>(GetProcAddress(Module, c.name))) : nullptr;
    if (Module != nullptr && UnicodeHost) {
        LOADINFO info = {7 | (77 << 16), nullptr, TRUE, FALSE, 0, UNICODE_HOST_BYTES};
        LoadDllOf(Module)(&info);
        CheckTrue(info.mUnicode == TRUE && info.mKeep == TRUE, "the load-time call asks for UTF-16, keeps mKeep");
    }
    return Module != nullptr;
}

// Hosts before 7 (6.2, or a garbled 0 as the major) and a null pointer leave the module 8-bit and the
// structure as it was; a 7.51 host, whose structure ends before mBytes, gets answers of 1024 bytes.
void LoadTimeCallsOfOlderHosts()
{
    if (UnicodeHost)
        return;
    LoadDllFn loadDll = LoadDllOf(Module);
    loadDll(nullptr);
    for (DWORD version : {DWORD(6 | (2 << 16)), DWORD(0 | (5 << 16)), DWORD(0)}) {
        LOADINFO info = {version, nullptr, FALSE, FALSE, 0, 8192};
        loadDll(&info);
        CheckTrue(info.mUnicode == FALSE && info.mKeep == FALSE, "a host of " + std::to_string(version) + " stays 8-bit");
    }
    SetTitle("12. " + std::string(600, 'n') + " - Winamp");
    CheckEq(" " + std::string(600, 'n') + " ", Call("DISPNAME").answer, "answers stay 8-bit");

    // A 7.51 host has no mBytes: what stands there is not read.
    CheckTrue(FreeLibrary(Module) != FALSE && LoadModule(), "loaded afresh");
    LOADINFO old = {7 | (51 << 16), nullptr, TRUE, FALSE, 1, 8192};
    LoadDllOf(Module)(&old);
    CheckTrue(old.mUnicode == TRUE, "a 7.51 host gets UTF-16");
    CallResult call = CallCommandWide(Find("DISPNAME"), "", 8192);
    CheckEq(511, static_cast<long long>(call.wide.size()), "a 7.51 host's answer: 511 units");
    CheckTrue(CallCommandWide(Find("DISPNAME"), "", HOST_BUFFER).guardIntact, "within 1024 bytes");
    SetTitle("");
    CheckTrue(FreeLibrary(Module) != FALSE && LoadModule(), "loaded afresh");
}

void LoadingAndUnloadingSendNothing()
{
    Seen();
    CheckTrue(FreeLibrary(Module) != FALSE, "unloaded");
    CheckTrue(GetModuleHandleA("tolbry.dll") == nullptr, "no longer in the process");
    CheckTrue(LoadModule(), "loaded again");
    CheckMessages({}, Seen(), "load and unload");
    for (const CommandInfo& c : Commands) {
        FARPROC byOrdinal = GetProcAddress(Module, MAKEINTRESOURCEA(c.ordinal));
        CheckTrue(c.fn != nullptr && reinterpret_cast<void*>(byOrdinal) == reinterpret_cast<void*>(c.fn),
                  std::string(c.name) + " is ordinal " + std::to_string(c.ordinal));
    }
    CheckTrue(GetProcAddress(Module, MAKEINTRESOURCEA(9)) != nullptr &&
                  GetProcAddress(Module, MAKEINTRESOURCEA(9)) == GetProcAddress(Module, "LoadDll"),
              "LoadDll is ordinal 9");
    CheckTrue(GetProcAddress(Module, MAKEINTRESOURCEA(23)) == nullptr, "nothing at ordinal 23");
    CheckTrue(GetProcAddress(Module, "DllMain") == nullptr && GetProcAddress(Module, "PlayerWindow") == nullptr &&
                  GetProcAddress(Module, "DISPNAME@24") == nullptr,
              "nothing else is exported");
    Ctl(CTL_SET_PLAY_STATE, 0);
    CheckEq("ERR 3", Call("DISPNAME").answer, "the reloaded DLL answers");
    CheckMessages(Gate(), Seen(), "the reloaded DLL");
    Ctl(CTL_SET_PLAY_STATE, 1);
}

bool RegisterAssociation()
{
    return RegisterPlayerAssociation(ProgramFolder + "\\" + PLAYER_PROGRAM);
}

} // namespace

int main(int argc, char** argv)
{
    std::string& dll = DllPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--dll" && i + 1 < argc)
            dll = argv[++i];
        else if (arg == "--cross-process" && i + 1 < argc) {
            CrossProcess = true;
            PlayerProgram = argv[++i];
        } else if (arg == "--unicode") {
            UnicodeHost = true;
        } else if (arg == "--code-page-932") {
            CodePage932 = true;
        } else if (arg == "--budget-only") {
            Budget = BudgetCases::Only;
        } else if (arg == "--no-budget") {
            Budget = BudgetCases::None;
        } else if (arg == "--player64" && i + 1 < argc) {
            Player64Program = argv[++i];
        } else if (arg == "--player" && i + 1 < argc) {
            OtherProgram = argv[++i];
        } else if (arg != "--in-process") {
            std::fprintf(stderr, "usage: tolbry-e2e --dll PATH [--unicode] [--code-page-932] [--budget-only | --no-budget]\n"
                                 "                  (--in-process --player PLAYER.exe | --cross-process PLAYER.exe\n"
                                 "                   [--player64 PLAYER64.exe])\n");
            return 2;
        }
    }
    if (!LoadModule()) {
        std::printf("cannot load %s\n", dll.c_str());
        return 1;
    }

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    Temp = temp;
    if (CrossProcess) {
        // The player keeps its files beside its program: a copy of it runs from the suite's folder.
        OtherProgram = PlayerProgram;
        ProgramFolder = Temp + "tolbry-e2e-cross";
        CreateDirectoryA(ProgramFolder.c_str(), nullptr);
        std::string copy = ProgramFolder + "\\" + PLAYER_PROGRAM;
        CheckTrue(CopyFileA(PlayerProgram.c_str(), copy.c_str(), FALSE) != FALSE, "the player copied to " + copy);
        PlayerProgram = copy;
        if (!Player64Program.empty()) {
            copy = ProgramFolder + "\\standin-player64.exe";
            CheckTrue(CopyFileA(Player64Program.c_str(), copy.c_str(), FALSE) != FALSE, "the 64-bit player copied");
            Player64Program = copy;
        }
    } else {
        // In process, the player's program is this test's own.
        char self[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
        ProgramFolder = std::string(self, n).substr(0, std::string(self, n).rfind('\\'));
    }
    DeleteFileA(SettingsFile().c_str()); // a run that stopped half-way may have left one
    CheckTrue(RegisterAssociation(), "the association is registered");

    struct Case {
        const char* name;
        void (*run)();
        bool acrossProcesses = false; // a player that hangs or sleeps must have a thread of its own
    };
    const Case cases[] = {
        {"load and unload", LoadingAndUnloadingSendNothing},
        {"load-time calls of older hosts", LoadTimeCallsOfOlderHosts},
        {"no player", NoPlayerAnswersErr1},
        {"old player", OldPlayersAreRefusedAfterTheVersionQuery},
        {"play states", TransportActsWhateverThePlayState},
        {"TRACKPLAY numbers", TrackPlayNumbers},
        {"paused real player", PausedRealPlayerStartsTheSelectedTrack},
        {"title answers", TitleAnswers},
        {"FILENAME", FileNameAnswersTheCurrentEntry},
        {"FILENAME, real player", FileNameKeepsTheFileOfAPlayerThatWritesOnlyAfterAChange},
        {"window gone", WindowGoneAfterTheSearch},
        {"nonsense answers", NonsenseAnswers},
        {"titles around the read limits", TitlesAroundTheReadLimits},
        {"hostile lines", HostileLines},
        {"text mode at block edges", TextModeAtBlockEdges},
        {"host threads", HostThreadsAtOnce},
        {"the module's own commands", TheModulesOwnCommands},
        {"the playlist from outside", ThePlaylistFromOutside},
        {"the track's tags and the play state", TheTracksTags},
        {"settings folder", FileNameFollowsPathsIni},
        {"files that are no disk files", FilesThatAreNoDiskFilesAreNotRead},
        {"scrolling title", AScrollingTitleAnswersAsThePlainOne},
        {"several windows of the class", TheWindowThatPlaysGetsTheCall},
        {"a hung window found first", AHungWindowFoundFirstIsPassedOver},
        {"a busy window found first", ABusyWindowFoundFirstTakesItsShare},
        {"a profile outside the code page", AProfileOutsideTheCodePage},
        {"FILENAME of the program that runs", FileNameReadsTheRunningProgramsPlaylist},
        {"names outside the code page", ANameOutsideTheCodePageAnswersItsShortPath},
        {"titles and names in any script", TitlesAndNamesInAnyScript},
        {"hung player", AHungPlayerHoldsNoCallPastItsBudget, true},
        {"slow player", ASlowPlayerIsAnsweredAsAQuickOne, true},
        {"player reported hung", APlayerReportedHungCostsNoWait, true},
    };
    StartPlayer();
    if (CodePage932) {
        CurrentCase = "a folder in code page 932";
        ACodePage932Folder();
    }
    for (const Case& c : cases) {
        if (CodePage932 || (c.acrossProcesses && !CrossProcess) || (c.acrossProcesses && Budget == BudgetCases::None) ||
            (!c.acrossProcesses && Budget == BudgetCases::Only))
            continue;
        CurrentCase = c.name;
        DWORD caseStart = GetTickCount();
        c.run();
        std::printf("case %-40s %6lu ms\n", c.name, static_cast<unsigned long>(GetTickCount() - caseStart));
    }
    StopPlayer();
    FreeLibrary(Module);
    // The suite runs once for each build of the module; the summary says which one this was.
    std::string suite = std::string(sizeof(void*) == 8 ? "64-bit" : "32-bit") + " module" +
                        (UnicodeHost ? ", Unicode host" : "") +
                        (CrossProcess ? ", 32-bit player across processes" : ", player in process") +
                        (Player64Program.empty() ? "" : ", and a 64-bit one") + (CodePage932 ? ", code page 932" : "") +
                        (Budget == BudgetCases::Only ? ", a hung and a slow player" : "");
    return Summary(suite.c_str());
}
