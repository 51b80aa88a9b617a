// Per-call cost of the real DLL under Wine against the stand-in player, each command against a bare
// loop making the same Win32 calls directly, in the same run. Prints one line a figure:
//   CALLS <in-process|cross-process> <command> <module calls/s> <bare calls/s> <median cost ratio>
//   READ <entries> <module µs> <bare µs> <fgets µs>   FILENAME with the current entry last, against a
//        bare ReadFile + word-at-a-time line-feed scan and a bare msvcrt fgets loop to the same entry
//   SMALL <fresh-install|program-folder> 100 <module µs> <floor µs> <median cost ratio> [shell32 loaded before]
//        FILENAME at 100 entries against the same platform work done directly
//   LOADS <LoadLibrary+FreeLibrary per second of the DLL> <the same of EMPTY.dll>
//   AGAINST <in-process|other-thread|cross-process> <command> <this DLL's calls/s> <the earlier one's> <cost ratio>
//        with --against, each command against an earlier build of the DLL (FILENAME-100: at 100 entries);
//        other-thread: the player's window on another thread of the host's process
// wine_bench --dll PATH --empty EMPTY.dll --player PLAYER.exe [--quick] [--small]
//            [--against EARLIER.dll [--against-only]]
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../../src/commands/load_dll.h"
#include "../../src/player/messages.h"
#include "../common/bench_playlist.h"
#include "../common/host_call.h"
#include "../../tools/player/player_window.h"
#include "player_process.h"

namespace {

HMODULE Module = nullptr;
int Calls = 20000;
// Paired rounds of each figure; --quick, which only keeps the benchmark working, takes fewer.
int Rounds = 15;

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

char Data[1024];

void ModuleCalls(CommandFn fn, int n, const char* text)
{
    for (int i = 0; i < n; ++i) {
        std::strcpy(Data, text);
        fn(0, 0, Data, 0, 0, 0);
    }
}

// What the module sends each message with: a time limit, and no wait on a hung window.
LRESULT Send(HWND w, UINT msg, WPARAM wParam, LPARAM lParam, DWORD start)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(w, msg, wParam, lParam, SMTO_ABORTIFHUNG, 2000 - (GetTickCount() - start), &answer);
    return static_cast<LRESULT>(answer);
}

// The search as the module makes it: every window of the class is found before any is asked, so a
// lone window costs one more search, the one that finds no other.
HWND FindPlayerWindow()
{
    HWND first = FindWindowExA(nullptr, nullptr, PLAYER_WINDOW_CLASS, nullptr);
    HWND window = first;
    for (int found = 1; window != nullptr && found < 16; ++found)
        window = FindWindowExA(nullptr, window, PLAYER_WINDOW_CLASS, nullptr);
    return first;
}

bool Is(const char* command, const char* name)
{
    return std::strcmp(command, name) == 0;
}

int Ask(HWND w, LPARAM query, WPARAM wParam, DWORD start)
{
    return static_cast<int>(Send(w, WM_USER, wParam, query, start));
}

// LISTADD names a file that is not there: the player adds nothing, and the playlist stays as it is.
const WCHAR* const ADDED_NAME = L"C:\\tolbry-bench\\no such file.mp3";

// The current entry's title or file as the module reads it: the length and the position, the
// window's process opened for reading and asked its width, the request, the text read to its page's
// end (where the stand-in's zero is), and the 8-bit answer.
void BareListEntry(HWND w, LPARAM query, DWORD start)
{
    int length = Ask(w, QUERY_LIST_LENGTH, 0, start);
    int position = Ask(w, QUERY_LIST_POS, 0, start);
    if (position < 0 || position >= length)
        return;
    DWORD id = 0;
    GetWindowThreadProcessId(w, &id);
    HANDLE process = OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    BOOL wow64 = FALSE;
    IsWow64Process(process, &wow64);
    LRESULT answer = Send(w, WM_USER, static_cast<WPARAM>(position), query, start);
    uintptr_t at = wow64 ? static_cast<uint32_t>(answer) : static_cast<uintptr_t>(answer);
    static WCHAR text[1040];
    SIZE_T want = 4096 - at % 4096, got = 0;
    if (want > sizeof text)
        want = sizeof text;
    if (!ReadProcessMemory(process, reinterpret_cast<LPCVOID>(at), text, want, &got))
        text[0] = 0;
    CloseHandle(process);
    char ansi[1040 * 3];
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    wsprintfA(Data, "%s", ansi);
}

const WCHAR STATIC_CLASS[] = L"STATIC";

// The reply window as the module makes it: of the system's class, subclassed for one call.
struct BareReply {
    WNDPROC system;
    ULONG_PTR expected;
    WCHAR text[1040];
};

LRESULT CALLBACK BareReplyProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    BareReply* wait = reinterpret_cast<BareReply*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (msg == WM_COPYDATA && wait != nullptr) {
        const COPYDATASTRUCT* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copy->dwData == wait->expected) {
            DWORD units = copy->cbData / 2 < 1039 ? copy->cbData / 2 : 1039;
            std::memcpy(wait->text, copy->lpData, units * 2);
            wait->text[units] = 0;
            return TRUE;
        }
    }
    return CallWindowProcW(wait->system, window, msg, wParam, lParam);
}

// FILETAG's platform work: the reply window, the two requests (or, for an older player, the first
// request, then the current file from its memory and the request block), and the 8-bit answer.
void BareFileTag(HWND w, DWORD start)
{
    static BareReply wait;
    HWND window = CreateWindowExW(0, STATIC_CLASS, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&wait));
    wait.system = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BareReplyProc)));
    wait.expected = REPLY_CURRENT_FILE;
    wait.text[0] = 0;
    COPYDATASTRUCT ask = {REPLY_CURRENT_FILE, 0, nullptr};
    LRESULT answered = Send(w, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&ask), start);
    static WCHAR request[1040 + 64];
    const WCHAR name[] = L"artist";
    size_t fileUnits = static_cast<size_t>(lstrlenW(wait.text)) + 1;
    WCHAR tag[1024] = L"";
    if (wait.text[0] != 0) {
        std::memcpy(request, wait.text, fileUnits * 2);
        std::memcpy(request + fileUnits, name, sizeof name);
        wait.expected = REPLY_FILE_TAG;
        COPYDATASTRUCT tagAsk = {REPLY_FILE_TAG, static_cast<DWORD>(fileUnits * 2 + sizeof name), request};
        Send(w, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&tagAsk), start);
        std::memcpy(tag, wait.text, sizeof tag);
        DestroyWindow(window);
    } else if (answered == 0) {
        DestroyWindow(window);
        int length = Ask(w, QUERY_LIST_LENGTH, 0, start);
        int position = Ask(w, QUERY_LIST_POS, 0, start);
        DWORD id = 0;
        GetWindowThreadProcessId(w, &id);
        HANDLE process = OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_WRITE |
                                         PROCESS_VM_OPERATION, FALSE, id);
        BOOL wow64 = FALSE;
        IsWow64Process(process, &wow64);
        LRESULT pointer = position < length ? Send(w, WM_USER, static_cast<WPARAM>(position), QUERY_LIST_FILE, start) : 0;
        uintptr_t at = wow64 ? static_cast<uint32_t>(pointer) : static_cast<uintptr_t>(pointer);
        WCHAR file[1040];
        SIZE_T got = 0, want = 4096 - at % 4096 < sizeof file ? 4096 - at % 4096 : sizeof file;
        ReadProcessMemory(process, reinterpret_cast<LPCVOID>(at), file, want, &got);
        size_t width = wow64 ? 4 : 8;
        size_t fileBytes = (static_cast<size_t>(lstrlenW(file)) + 1) * 2;
        size_t written = 4 * width + fileBytes + sizeof name;
        BYTE* remote = static_cast<BYTE*>(
            VirtualAllocEx(process, nullptr, written + sizeof tag, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        static BYTE block[32 + 2080 + 128];
        uint64_t fields[4] = {reinterpret_cast<uintptr_t>(remote) + 4 * width,
                              reinterpret_cast<uintptr_t>(remote) + 4 * width + fileBytes,
                              reinterpret_cast<uintptr_t>(remote) + written, 1024};
        for (int i = 0; i < 4; ++i)
            std::memcpy(block + i * width, &fields[i], width);
        std::memcpy(block + 4 * width, file, fileBytes);
        std::memcpy(block + 4 * width + fileBytes, name, sizeof name);
        WriteProcessMemory(process, remote, block, written, &got);
        Send(w, WM_USER, reinterpret_cast<WPARAM>(remote), QUERY_FILE_TAG, start);
        ReadProcessMemory(process, remote + written, tag, 4096 - (reinterpret_cast<uintptr_t>(remote) + written) % 4096 < sizeof tag
                                                               ? 4096 - (reinterpret_cast<uintptr_t>(remote) + written) % 4096
                                                               : sizeof tag,
                          &got);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        CloseHandle(process);
    } else {
        DestroyWindow(window);
    }
    char ansi[1024 * 3];
    WideCharToMultiByte(CP_ACP, 0, tag, -1, ansi, sizeof ansi, nullptr, nullptr);
    wsprintfA(Data, "%s", ansi);
}

// The module's own commands, as the bench calls them: queries alone, and TRACKSEEK a step of 0.
void BareOwnCommand(const char* command, HWND w, DWORD start)
{
    if (Is(command, "FILEPOS")) {
        int elapsed = Ask(w, QUERY_ELAPSED_TIME, ELAPSED_IN_MILLISECONDS, start);
        wsprintfA(Data, "%i %i", elapsed / 1000, Ask(w, QUERY_TRACK_LENGTH, TRACK_LENGTH_IN_SECONDS, start));
    } else if (Is(command, "FILERATE")) {
        int bitrate = Ask(w, QUERY_TRACK_INFO, TRACK_INFO_BITRATE, start);
        int rate = Ask(w, QUERY_TRACK_INFO, TRACK_INFO_SAMPLE_RATE, start);
        wsprintfA(Data, "%i %i %i", bitrate, rate, Ask(w, QUERY_TRACK_INFO, TRACK_INFO_CHANNELS, start));
    } else if (Is(command, "LISTINFO")) {
        int length = Ask(w, QUERY_LIST_LENGTH, 0, start);
        wsprintfA(Data, "%i %i", Ask(w, QUERY_LIST_POS, 0, start) + 1, length);
    } else if (Is(command, "TRACKSEEK")) {
        Send(w, WM_USER, static_cast<WPARAM>(Ask(w, QUERY_ELAPSED_TIME, 0, start)), JUMP_TO_TIME, start);
    } else if (Is(command, "VOLUME")) {
        int volume = Ask(w, SET_VOLUME, static_cast<WPARAM>(static_cast<INT_PTR>(VOLUME_ASKED)), start);
        wsprintfA(Data, "%i", (volume * 100 + 127) / 255);
    } else if (Is(command, "LISTTITLE") || Is(command, "LISTFILE")) {
        BareListEntry(w, Is(command, "LISTTITLE") ? QUERY_LIST_TITLE : QUERY_LIST_FILE, start);
    } else if (Is(command, "FILETAG")) {
        BareFileTag(w, start);
    } else if (Is(command, "PLAYSTATE")) {
        wsprintfA(Data, "%s", "playing");
    } else if (Is(command, "LISTADD")) {
        WCHAR name[MAX_PATH];
        GetFullPathNameW(ADDED_NAME, MAX_PATH, name, nullptr);
        Ask(w, QUERY_LIST_LENGTH, 0, start);
        COPYDATASTRUCT copy = {ADD_TO_PLAYLIST, static_cast<DWORD>((lstrlenW(name) + 1) * sizeof(WCHAR)), name};
        Send(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), start);
        Ask(w, QUERY_LIST_LENGTH, 0, start);
        wsprintfA(Data, "%i %i", 0, 0);
    } else {
        LPARAM query = Is(command, "SHUFFLE") ? QUERY_SHUFFLE : Is(command, "REPEAT") ? QUERY_REPEAT : QUERY_RATING;
        wsprintfA(Data, "%i", Ask(w, query, 0, start));
    }
}

// The same Win32 calls as the module's, with nothing around them.
void BareCalls(const char* command, int n)
{
    for (int i = 0; i < n; ++i) {
        DWORD start = GetTickCount();
        HWND w = FindPlayerWindow();
        if (w == nullptr) {
            wsprintfA(Data, "ERR %i", 1);
            continue;
        }
        if (Send(w, WM_USER, 0, QUERY_VERSION, start) < MIN_PLAYER_VERSION ||
            Send(w, WM_USER, 0, QUERY_PLAY_STATE, start) != PLAY_STATE_PLAYING)
            continue;
        char title[900];
        if (Is(command, "TRACKNEXT")) {
            Send(w, WM_COMMAND, CMD_NEXT, 0, start);
        } else if (Is(command, "DISPNAME")) {
            Send(w, WM_GETTEXT, 899, reinterpret_cast<LPARAM>(title), start);
            wsprintfA(Data, "%s", title);
        } else if (!Is(command, "FILEINFO")) {
            BareOwnCommand(command, w, start);
        } else {
            int length = static_cast<int>(Send(w, WM_USER, TRACK_LENGTH_IN_SECONDS, QUERY_TRACK_LENGTH, start));
            Send(w, WM_GETTEXT, 889, reinterpret_cast<LPARAM>(title), start);
            wsprintfA(Data, "%i %s", length, title);
        }
    }
}

// Short module and bare rounds back to back, each side first in turn: the speed of this machine
// drifts from one second to the next, so each pair gives a ratio, and the median ratio is the figure.
// Answers {module calls/s, bare calls/s, cost ratio}, all three from the round of the median ratio.
struct Pair {
    double module, bare, ratio;
};

template <typename ModuleSide, typename BareSide>
Pair MeasurePair(int calls, ModuleSide moduleCalls, BareSide bareCalls, int rounds = 0)
{
    if (rounds == 0)
        rounds = Rounds;
    std::vector<double> moduleTimes, bareTimes;
    int perRound = calls / 4 > 0 ? calls / 4 : 1;
    moduleCalls(calls / 10 + 1); // warm both paths up before timing either
    bareCalls(calls / 10 + 1);
    for (int round = 0; round < rounds; ++round) {
        double took[2];
        for (int side = 0; side < 2; ++side) {
            bool module = (round + side) % 2 == 0;
            double t0 = Now();
            if (module)
                moduleCalls(perRound);
            else
                bareCalls(perRound);
            took[module ? 0 : 1] = Now() - t0;
        }
        moduleTimes.push_back(took[0]);
        bareTimes.push_back(took[1]);
    }
    // The round of the median ratio gives all three figures, so that they agree with one another.
    std::vector<int> order(moduleTimes.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return moduleTimes[a] / bareTimes[a] < moduleTimes[b] / bareTimes[b];
    });
    int mid = order[order.size() / 2];
    return {perRound / moduleTimes[mid], perRound / bareTimes[mid], moduleTimes[mid] / bareTimes[mid]};
}

// Calls for rounds of about 0.1 s a side, whatever the command's speed (FILETAG's reply route makes a
// few hundred calls a second, TRACKNEXT in process tens of thousands), and no more than the usual.
int CallsFor(CommandFn fn, const char* text)
{
    double t0 = Now();
    ModuleCalls(fn, 20, text);
    double each = (Now() - t0) / 20;
    int perRound = static_cast<int>(0.1 / (each > 1e-7 ? each : 1e-7));
    return 4 * std::clamp(perRound, 20, std::max(Calls / 4, 20));
}

void Measure(const char* where, const char* command, const char* shownAs, const char* text = "")
{
    CommandFn fn = reinterpret_cast<CommandFn>(reinterpret_cast<void*>(GetProcAddress(Module, command)));
    Pair pair = MeasurePair(CallsFor(fn, text), [fn, text](int n) { ModuleCalls(fn, n, text); },
                            [command](int n) { BareCalls(command, n); });
    std::printf("CALLS %s %s %.0f %.0f %.3f\n", where, shownAs, pair.module, pair.bare, pair.ratio);
    std::fflush(stdout);
}

void MeasureAll(const char* where)
{
    Measure(where, "TRACKNEXT", "TRACKNEXT");
    Measure(where, "DISPNAME", "DISPNAME");
    Measure(where, "FILEINFO", "FILEINFO");
    for (const char* own : {"FILEPOS", "FILERATE", "LISTINFO", "VOLUME", "SHUFFLE", "REPEAT", "RATING", "LISTTITLE",
                            "LISTFILE"})
        Measure(where, own, own);
    Measure(where, "TRACKSEEK", "TRACKSEEK", "+0");
    std::string added = "\"" + std::string(ADDED_NAME, ADDED_NAME + lstrlenW(ADDED_NAME)) + "\"";
    Measure(where, "LISTADD", "LISTADD", added.c_str());
    Measure(where, "PLAYSTATE", "PLAYSTATE");
    HWND player = FindPlayerWindow();
    Measure(where, "FILETAG", "FILETAG-reply", "artist");
    // An older player: no reply, the request block in its memory.
    SendMessageA(player, WM_USER, 1, CTL_SET_OLDER);
    Measure(where, "FILETAG", "FILETAG-memory", "artist");
    SendMessageA(player, WM_USER, 0, CTL_SET_OLDER);
}

HMODULE Earlier = nullptr;
bool AgainstOnly = false; // with --against: that comparison alone

// The player's window on a thread of its own in this process, with its own message loop: each message
// then crosses threads through the wineserver, as it does for a host whose player window is another
// thread's.
struct PlayerThread {
    PlayerOptions options;
    HANDLE made = nullptr;
    HWND window = nullptr;
    HANDLE thread = nullptr;
};

DWORD WINAPI RunPlayerThread(void* argument)
{
    PlayerThread* player = static_cast<PlayerThread*>(argument);
    player->window = CreatePlayerWindow(player->options);
    SetEvent(player->made);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

HWND StartPlayerThread(PlayerThread& player)
{
    player.made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    player.thread = CreateThread(nullptr, 0, RunPlayerThread, &player, 0, nullptr);
    WaitForSingleObject(player.made, 10000);
    CloseHandle(player.made);
    return player.window;
}

// The window is destroyed on its own thread, whose loop then ends.
void StopPlayerThread(PlayerThread& player)
{
    SendMessageA(player.window, WM_CLOSE, 0, 0);
    WaitForSingleObject(player.thread, 10000);
    CloseHandle(player.thread);
}

CommandFn CommandOf(HMODULE module, const char* name)
{
    return reinterpret_cast<CommandFn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Each command of this DLL against the same command of an earlier build, loaded beside it in the same
// process and called the same way, each side first in turn. A command the earlier build lacks is left
// out.
void MeasureAgainst(const char* where)
{
    struct Named {
        const char* name;
        const char* text;
    };
    const Named commands[] = {{"TRACKNEXT", ""}, {"DISPNAME", ""},  {"FILEINFO", ""},  {"FILEPOS", ""},
                              {"FILERATE", ""},  {"LISTINFO", ""},  {"VOLUME", ""},    {"SHUFFLE", ""},
                              {"REPEAT", ""},    {"RATING", ""},    {"TRACKSEEK", "+0"}, {"LISTTITLE", ""},
                              {"LISTFILE", ""},  {"PLAYSTATE", ""}, {"FILETAG", "artist"}};
    for (const Named& c : commands) {
        CommandFn now = CommandOf(Module, c.name), before = CommandOf(Earlier, c.name);
        if (now == nullptr || before == nullptr)
            continue;
        const char* text = c.text;
        Pair pair = MeasurePair(CallsFor(now, text), [now, text](int n) { ModuleCalls(now, n, text); },
                                [before, text](int n) { ModuleCalls(before, n, text); });
        std::printf("AGAINST %s %s %.0f %.0f %.3f\n", where, c.name, pair.module, pair.bare, pair.ratio);
        std::fflush(stdout);
    }
}

// Playlists as the player writes them: CR LF line ends, an #EXTINF line before each path.
std::string PlaylistFor(const std::string& folder, int entries)
{
    std::string path = folder + "\\playlist-" + std::to_string(entries) + ".m3u";
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return path;
    WriteBenchPlaylist(path, entries, "\r\n");
    return path;
}

// The floor: ReadFile in 64 KiB blocks and a line-feed scan four bytes at a time (msvcrt's memchr
// goes byte by byte), counting lines that do not begin with "#".
size_t BareRead(const std::string& path, int position)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    static char block[64 * 1024];
    int entries = 0;
    bool lineStarts = true;
    DWORD got = 0;
    size_t answer = 0;
    while (answer == 0 && ReadFile(file, block, sizeof block, &got, nullptr) && got > 0) {
        const char* p = block;
        const char* end = block + got;
        while (p < end) {
            if (lineStarts && *p != '#' && ++entries > position) {
                answer = static_cast<size_t>(end - p);
                break;
            }
            while (p < end && (reinterpret_cast<uintptr_t>(p) & 3) != 0 && *p != '\n')
                ++p;
            if (p < end && *p != '\n') {
                for (; end - p >= 4; p += 4) {
                    uint32_t word;
                    std::memcpy(&word, p, 4);
                    uint32_t x = word ^ 0x0A0A0A0Au;
                    if (((x - 0x01010101u) & ~x & 0x80808080u) != 0)
                        break;
                }
                while (p < end && *p != '\n')
                    ++p;
            }
            lineStarts = p < end;
            p = p < end ? p + 1 : end;
        }
    }
    CloseHandle(file);
    return answer;
}

// What the module did before: msvcrt's fgets in text mode.
size_t FgetsRead(const std::string& path, int position)
{
    return FgetsToEntry(std::fopen(path.c_str(), "rt"), position);
}

// The current entry names a file that exists, as it does while the player plays it: FILENAME then
// answers the line without looking further.
void CreateEntryFile(const std::string& path)
{
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

double BestFileName(CommandFn filename, int rounds)
{
    double best = 1e30;
    for (int round = 0; round < rounds; ++round) {
        double t0 = Now();
        Data[0] = '\0';
        filename(0, 0, Data, 0, 0, 0);
        double took = Now() - t0;
        best = took < best ? took : best;
    }
    return best;
}

std::string DllPath;

// FILENAME for a Unicode host (a copy of the DLL, loaded beside the first and switched by its
// load-time call) against the 8-bit FILENAME, in alternating rounds over the same playlist.
void MeasureUnicode(const std::string& folder, CommandFn filename, int entries, int reps)
{
    std::string copy = folder + "\\tolbry-unicode.dll";
    CopyFileA(DllPath.c_str(), copy.c_str(), FALSE);
    HMODULE unicode = LoadLibraryA(copy.c_str());
    typedef void(WINAPI * LoadDllFn)(LOADINFO*);
    LoadDllFn loadDll = reinterpret_cast<LoadDllFn>(reinterpret_cast<void*>(GetProcAddress(unicode, "LoadDll")));
    CommandFn wideFilename = reinterpret_cast<CommandFn>(reinterpret_cast<void*>(GetProcAddress(unicode, "FILENAME")));
    if (unicode == nullptr || loadDll == nullptr || wideFilename == nullptr || unicode == Module) {
        std::fprintf(stderr, "wine_bench: no second copy of the DLL for a Unicode host\n");
        return;
    }
    LOADINFO info = {7 | (77 << 16), nullptr, TRUE, FALSE, 0, 2048};
    loadDll(&info);
    static WCHAR wide[1024];
    double best[2] = {1e30, 1e30};
    for (int round = 0; round < reps; ++round) {
        double t0 = Now();
        wide[0] = 0;
        wideFilename(0, 0, wide, 0, 0, 0);
        double t1 = Now();
        Data[0] = '\0';
        filename(0, 0, Data, 0, 0, 0);
        double t2 = Now();
        best[0] = t1 - t0 < best[0] ? t1 - t0 : best[0];
        best[1] = t2 - t1 < best[1] ? t2 - t1 : best[1];
    }
    char answer[1024];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, answer, sizeof answer, nullptr, nullptr);
    if (std::strcmp(answer, Data) != 0)
        std::fprintf(stderr, "wine_bench: the Unicode host's FILENAME answered %s\n", answer);
    std::printf("UNICODE %d %.1f %.1f\n", entries, best[0] * 1e6, best[1] * 1e6);
    std::fflush(stdout);
    FreeLibrary(unicode);
    DeleteFileA(copy.c_str());
}

// FILENAME against an in-process player that leaves the playlist file as it stands, current entry last.
void MeasureReading(const std::string& folder, bool quick)
{
    CommandFn filename = reinterpret_cast<CommandFn>(reinterpret_cast<void*>(GetProcAddress(Module, "FILENAME")));
    PlayerOptions options;
    options.folder = folder;
    HWND window = CreatePlayerWindow(options);
    SendMessageA(window, WM_USER, WRITE_NEVER, CTL_SET_WRITE_MODE);
    RegisterPlayerAssociation(folder + "\\" + PLAYER_PROGRAM);
    std::string playlistFile = folder + "\\WINAMP.m3u";
    const int sizes[] = {1000, 10000, 100000, 1000000};
    for (int entries : sizes) {
        if (quick && entries > 10000)
            break;
        std::string path = PlaylistFor(folder, entries);
        DeleteFileA(playlistFile.c_str());
        CopyFileA(path.c_str(), playlistFile.c_str(), FALSE);
        SendMessageA(window, WM_USER, static_cast<WPARAM>(entries - 1), CTL_FORCE_POSITION);
        int last = entries - 1;
        char entry[MAX_PATH];
        std::snprintf(entry, sizeof entry, "C:\\Users\\Listener\\Music\\Artist %d\\Album %d\\%02d - Title of track %d.mp3",
                      last % 997, last % 89, last % 20 + 1, last);
        CreateEntryFile(entry);
        int reps = quick ? 3 : (entries >= 1000000 ? 5 : entries >= 100000 ? 15 : 50);
        double best[3] = {1e30, 1e30, 1e30};
        for (int round = 0; round < reps; ++round) {
            double t0 = Now();
            Data[0] = '\0';
            filename(0, 0, Data, 0, 0, 0);
            double t1 = Now();
            BareRead(playlistFile, entries - 1);
            double t2 = Now();
            FgetsRead(playlistFile, entries - 1);
            double t3 = Now();
            double took[3] = {t1 - t0, t2 - t1, t3 - t2};
            for (int i = 0; i < 3; ++i)
                best[i] = took[i] < best[i] ? took[i] : best[i];
        }
        if (std::strstr(Data, entry) != Data)
            std::fprintf(stderr, "wine_bench: FILENAME answered %s\n", Data);
        std::printf("READ %d %.1f %.1f %.1f\n", entries, best[0] * 1e6, best[1] * 1e6, best[2] * 1e6);
        std::fflush(stdout);
        if (entries == (quick ? 10000 : 100000))
            MeasureUnicode(folder, filename, entries, reps);
        // A current installation: paths.ini beside the program names the folder of the playlist.
        if (entries == 10000) {
            std::string settings = folder + "\\paths.ini";
            if (std::FILE* f = std::fopen(settings.c_str(), "wb")) {
                std::fprintf(f, "[Winamp]\r\ninidir=%s\r\n", folder.c_str());
                std::fclose(f);
            }
            double withSettings = BestFileName(filename, quick ? 3 : 50);
            DeleteFileA(settings.c_str());
            std::printf("READINI %d %.1f %.1f\n", entries, BestFileName(filename, quick ? 3 : 50) * 1e6,
                        withSettings * 1e6);
            std::fflush(stdout);
        }
    }
    DeleteFileA(playlistFile.c_str());
    DestroyWindow(window);
}

typedef HRESULT(WINAPI* FolderPathFn)(HWND, int, HANDLE, DWORD, LPWSTR);

// The platform work of one FILENAME call made directly, in UTF-16 as the module makes it: the window
// search, the three messages, the program of the window's process and its bitness, the open of
// paths.ini and, when there is one, its read and its special folder (with shell32 already loaded), the
// first 4 KiB of the playlist and then 64 KiB, and the checks that the line's drive is no network
// share and that the line names a file.
void BareFileName(const std::string& settings, const std::string& playlist, const std::string& entry, int n)
{
    FolderPathFn folderPath = reinterpret_cast<FolderPathFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("shell32.dll"), "SHGetFolderPathW")));
    WCHAR settingsW[MAX_PATH], playlistW[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, settings.c_str(), -1, settingsW, MAX_PATH);
    MultiByteToWideChar(CP_ACP, 0, playlist.c_str(), -1, playlistW, MAX_PATH);
    static char block[64 * 1024];
    for (int i = 0; i < n; ++i) {
        DWORD start = GetTickCount();
        HWND w = FindPlayerWindow();
        Send(w, WM_USER, 0, QUERY_VERSION, start);
        Send(w, WM_USER, 0, QUERY_PLAY_STATE, start);
        DWORD id = 0;
        GetWindowThreadProcessId(w, &id);
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
        WCHAR program[MAX_PATH];
        DWORD size = MAX_PATH;
        QueryFullProcessImageNameW(process, 0, program, &size);
        BOOL wow64;
        IsWow64Process(process, &wow64);
        CloseHandle(process);
        DWORD got = 0;
        // Whether there is a paths.ini is learnt by opening it.
        HANDLE ini = CreateFileW(settingsW, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (ini != INVALID_HANDLE_VALUE) {
            ReadFile(ini, block, 16 * 1024, &got, nullptr);
            CloseHandle(ini);
            WCHAR folder[MAX_PATH];
            folderPath(nullptr, 26, nullptr, 0, folder);
        }
        Send(w, WM_USER, 0, WRITE_PLAYLIST, start);
        HANDLE file = CreateFileW(playlistW, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        ReadFile(file, block, 4096, &got, nullptr);
        ReadFile(file, block, sizeof block, &got, nullptr);
        CloseHandle(file);
        // Whether the line's drive is a network share, before asking about the file.
        char device[MAX_PATH];
        QueryDosDeviceA(entry.substr(0, 2).c_str(), device, MAX_PATH);
        GetFileAttributesA(entry.c_str());
        wsprintfA(Data, "%s", entry.c_str());
    }
}

// FILENAME against its floor with a fresh installation's paths.ini (`settings`, which is then
// removed) and with the playlist in the program folder.
void MeasureFileNameFloor(CommandFn filename, const std::string& settings, const std::string& inSettings,
                          const std::string& inProgram, const std::string& entry, int calls, int rounds)
{
    const int entries = 100;
    bool shellBefore = GetModuleHandleA("shell32.dll") != nullptr;
    Pair fresh = MeasurePair(calls, [filename](int n) { ModuleCalls(filename, n, ""); },
                             [&](int n) { BareFileName(settings, inSettings, entry, n); }, rounds);
    if (std::strstr(Data, entry.c_str()) != Data)
        std::fprintf(stderr, "wine_bench: FILENAME answered %s\n", Data);
    std::printf("SMALL fresh-install %d %.1f %.1f %.3f %d\n", entries, 1e6 / fresh.module, 1e6 / fresh.bare,
                fresh.ratio, shellBefore ? 1 : 0);
    DeleteFileA(settings.c_str());
    Pair inFolder = MeasurePair(calls, [filename](int n) { ModuleCalls(filename, n, ""); },
                                [&](int n) { BareFileName(settings, inProgram, entry, n); }, rounds);
    std::printf("SMALL program-folder %d %.1f %.1f %.3f\n", entries, 1e6 / inFolder.module, 1e6 / inFolder.bare,
                inFolder.ratio);
    std::fflush(stdout);
}

// FILENAME at 100 entries, the current entry last, against its floor: with the paths.ini a fresh
// installation writes (inidir={26}\...), in a host that had not loaded shell32, and with the
// playlist in the program folder.
// With `otherThread`, only the comparison with the earlier build, the window on a thread of its own.
void MeasureSmallPlaylist(const std::string& folder, bool quick, bool otherThread = false)
{
    CommandFn filename = reinterpret_cast<CommandFn>(reinterpret_cast<void*>(GetProcAddress(Module, "FILENAME")));
    const int entries = 100;
    char appData[MAX_PATH];
    GetEnvironmentVariableA("APPDATA", appData, MAX_PATH);
    std::string settingsFolder = std::string(appData) + "\\tolbry-bench-small";
    CreateDirectoryA(settingsFolder.c_str(), nullptr);
    std::string inProgram = folder + "\\WINAMP.m3u";
    std::string inSettings = settingsFolder + "\\WINAMP.m3u";
    std::string source = PlaylistFor(folder, entries);
    CopyFileA(source.c_str(), inProgram.c_str(), FALSE);
    CopyFileA(source.c_str(), inSettings.c_str(), FALSE);
    PlayerThread thread;
    thread.options.folder = folder;
    HWND window = otherThread ? StartPlayerThread(thread) : CreatePlayerWindow(thread.options);
    SendMessageA(window, WM_USER, WRITE_NEVER, CTL_SET_WRITE_MODE);
    SendMessageA(window, WM_USER, static_cast<WPARAM>(entries - 1), CTL_FORCE_POSITION);
    RegisterPlayerAssociation(folder + "\\" + PLAYER_PROGRAM);
    int last = entries - 1;
    char entry[MAX_PATH];
    std::snprintf(entry, sizeof entry, "C:\\Users\\Listener\\Music\\Artist %d\\Album %d\\%02d - Title of track %d.mp3",
                  last % 997, last % 89, last % 20 + 1, last);
    CreateEntryFile(entry);
    // A call here is a file read and a few server round trips, whose cost this machine's load sways:
    // twice the usual rounds, each shorter.
    int calls = quick ? 40 : 1000;
    const int rounds = Rounds == 15 ? 31 : Rounds;

    std::string settings = folder + "\\paths.ini";
    if (!otherThread && !AgainstOnly) {
        if (std::FILE* f = std::fopen(settings.c_str(), "wb")) {
            std::fputs("[Winamp]\r\ninidir={26}\\tolbry-bench-small\r\n", f);
            std::fclose(f);
        }
        MeasureFileNameFloor(filename, settings, inSettings, inProgram, entry, calls, rounds);
    }
    if (CommandFn before = Earlier != nullptr ? CommandOf(Earlier, "FILENAME") : nullptr) {
        Pair against = MeasurePair(calls, [filename](int n) { ModuleCalls(filename, n, ""); },
                                   [before](int n) { ModuleCalls(before, n, ""); }, rounds);
        std::printf("AGAINST %s FILENAME-100 %.0f %.0f %.3f\n", otherThread ? "other-thread" : "in-process",
                    against.module, against.bare, against.ratio);
        std::fflush(stdout);
    }
    DeleteFileA(inProgram.c_str());
    DeleteFileA(inSettings.c_str());
    if (otherThread)
        StopPlayerThread(thread);
    else
        DestroyWindow(window);
}

double LoadsPerSecond(const std::string& dll, int loads)
{
    FreeLibrary(LoadLibraryA(dll.c_str()));
    double t0 = Now();
    for (int i = 0; i < loads; ++i)
        FreeLibrary(LoadLibraryA(dll.c_str()));
    return loads / (Now() - t0);
}

} // namespace

int main(int argc, char** argv)
{
    std::string dll, player, empty;
    bool quick = false;
    bool smallOnly = false; // only FILENAME on a small playlist: for looking into its cost
    std::string earlier;    // an earlier build of the DLL, to measure every command against
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dll") == 0 && i + 1 < argc)
            dll = argv[++i];
        else if (std::strcmp(argv[i], "--player") == 0 && i + 1 < argc)
            player = argv[++i];
        else if (std::strcmp(argv[i], "--empty") == 0 && i + 1 < argc)
            empty = argv[++i];
        else if (std::strcmp(argv[i], "--quick") == 0) {
            Calls = 200;
            Rounds = 3;
            quick = true;
        }
        else if (std::strcmp(argv[i], "--small") == 0)
            smallOnly = true;
        else if (std::strcmp(argv[i], "--against") == 0 && i + 1 < argc)
            earlier = argv[++i];
        else if (std::strcmp(argv[i], "--against-only") == 0)
            AgainstOnly = true;
    }
    DllPath = dll;
    Module = LoadLibraryA(dll.c_str());
    if (Module == nullptr || player.empty() || empty.empty()) {
        std::fprintf(stderr, "usage: wine_bench --dll PATH --empty EMPTY.dll --player PLAYER.exe [--quick]\n");
        return 2;
    }

    // The in-process player's program is this one: its playlist files go beside it.
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = std::string(self, n).substr(0, std::string(self, n).rfind('\\'));
    if (!earlier.empty()) {
        // A copy under another name, so that the loader takes it as a module of its own.
        std::string copy = folder + "\\tolbry-earlier.dll";
        CopyFileA(earlier.c_str(), copy.c_str(), FALSE);
        Earlier = LoadLibraryA(copy.c_str());
        if (Earlier == nullptr || Earlier == Module) {
            std::fprintf(stderr, "wine_bench: cannot load the earlier build %s\n", earlier.c_str());
            return 1;
        }
    }
    if (smallOnly) {
        MeasureSmallPlaylist(folder, quick);
        return 0;
    }

    Measure("no-window", "DISPNAME", "refused");

    PlayerOptions options;
    options.folder = folder;
    HWND window = CreatePlayerWindow(options);
    if (!AgainstOnly)
        MeasureAll("in-process");
    if (Earlier != nullptr)
        MeasureAgainst("in-process");
    DestroyWindow(window);

    if (Earlier != nullptr) {
        Calls /= 4; // each message is a round trip through the wineserver
        PlayerThread thread;
        thread.options = options;
        if (StartPlayerThread(thread) == nullptr) {
            std::fprintf(stderr, "wine_bench: no player window on a thread of its own\n");
            return 1;
        }
        MeasureAgainst("other-thread");
        StopPlayerThread(thread);
        Calls *= 4;
        MeasureSmallPlaylist(folder, quick, true);
    }

    // Across processes, a copy of the player runs from a folder of its own, where it keeps its files.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string playerFolder = std::string(temp) + "tolbry-bench-player";
    CreateDirectoryA(playerFolder.c_str(), nullptr);
    std::string playerCopy = playerFolder + "\\" + PLAYER_PROGRAM;
    CopyFileA(player.c_str(), playerCopy.c_str(), FALSE);
    PROCESS_INFORMATION process = {};
    window = StartPlayerProcess(playerCopy, "--hidden", &process);
    if (window == nullptr) {
        std::fprintf(stderr, "wine_bench: the stand-in player did not start\n");
        return 1;
    }
    Calls /= 4; // each message is a round trip through the wineserver
    if (!AgainstOnly)
        MeasureAll("cross-process");
    if (Earlier != nullptr)
        MeasureAgainst("cross-process");
    Calls *= 4;
    StopPlayerProcess(window, &process);

    MeasureSmallPlaylist(folder, quick);
    if (AgainstOnly)
        return 0;
    MeasureReading(folder, quick);

    FreeLibrary(Module);
    if (Earlier != nullptr)
        FreeLibrary(Earlier);
    // Alternating rounds, best of each, as for the calls.
    int loads = Calls / 10;
    double module = 0, bare = 0;
    for (int round = 0; round < 5; ++round) {
        double m = LoadsPerSecond(dll, loads);
        double e = LoadsPerSecond(empty, loads);
        module = m > module ? m : module;
        bare = e > bare ? e : bare;
    }
    std::printf("LOADS %.0f %.0f\n", module, bare);
    return 0;
}
