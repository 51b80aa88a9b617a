// Per-call cost of the real DLL under Wine against the stand-in player, each command against a bare
// loop making the same Win32 calls directly, in the same run. Prints one line a figure:
//   CALLS <in-process|cross-process> <command> <module calls/s> <bare calls/s>
//   LOADS <LoadLibrary+FreeLibrary per second>
// wine_bench --dll PATH --player PLAYER.exe [--quick]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "../../src/player/messages.h"
#include "../common/host_call.h"
#include "../../tools/player/player_window.h"
#include "player_process.h"

namespace {

HMODULE Module = nullptr;
int Calls = 20000;

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

char Data[1024];

void ModuleCalls(CommandFn fn, int n)
{
    for (int i = 0; i < n; ++i) {
        Data[0] = '\0';
        fn(0, 0, Data, 0, 0, 0);
    }
}

// The same Win32 calls as the module's, with nothing around them.
void BareCalls(const char* command, int n)
{
    for (int i = 0; i < n; ++i) {
        HWND w = FindWindowA(PLAYER_WINDOW_CLASS, nullptr);
        if (w == nullptr) {
            wsprintfA(Data, "ERR %i", 1);
            continue;
        }
        if (SendMessageA(w, WM_USER, 0, QUERY_VERSION) < MIN_PLAYER_VERSION ||
            SendMessageA(w, WM_USER, 0, QUERY_PLAY_STATE) != PLAY_STATE_PLAYING)
            continue;
        char title[900];
        if (std::strcmp(command, "TRACKNEXT") == 0) {
            SendMessageA(w, WM_COMMAND, CMD_NEXT, 0);
        } else if (std::strcmp(command, "DISPNAME") == 0) {
            SendMessageA(w, WM_GETTEXT, 899, reinterpret_cast<LPARAM>(title));
            wsprintfA(Data, "%s", title);
        } else {
            int length = static_cast<int>(SendMessageA(w, WM_USER, TRACK_LENGTH_IN_SECONDS, QUERY_TRACK_LENGTH));
            SendMessageA(w, WM_GETTEXT, 889, reinterpret_cast<LPARAM>(title));
            wsprintfA(Data, "%i %s", length, title);
        }
    }
}

// Alternates module and bare rounds so that both see the same machine; keeps each side's best.
void Measure(const char* where, const char* command, const char* shownAs)
{
    CommandFn fn = reinterpret_cast<CommandFn>(reinterpret_cast<void*>(GetProcAddress(Module, command)));
    double bestModule = 1e30, bestBare = 1e30;
    ModuleCalls(fn, Calls / 10); // warm both paths up before timing either
    BareCalls(command, Calls / 10);
    for (int round = 0; round < 5; ++round) {
        double t0 = Now();
        ModuleCalls(fn, Calls);
        double t1 = Now();
        BareCalls(command, Calls);
        double t2 = Now();
        bestModule = t1 - t0 < bestModule ? t1 - t0 : bestModule;
        bestBare = t2 - t1 < bestBare ? t2 - t1 : bestBare;
    }
    std::printf("CALLS %s %s %.0f %.0f\n", where, shownAs, Calls / bestModule, Calls / bestBare);
    std::fflush(stdout);
}

void MeasureAll(const char* where)
{
    Measure(where, "TRACKNEXT", "TRACKNEXT");
    Measure(where, "DISPNAME", "DISPNAME");
    Measure(where, "FILEINFO", "FILEINFO");
}

} // namespace

int main(int argc, char** argv)
{
    std::string dll, player;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dll") == 0 && i + 1 < argc)
            dll = argv[++i];
        else if (std::strcmp(argv[i], "--player") == 0 && i + 1 < argc)
            player = argv[++i];
        else if (std::strcmp(argv[i], "--quick") == 0)
            Calls = 500;
    }
    Module = LoadLibraryA(dll.c_str());
    if (Module == nullptr || player.empty()) {
        std::fprintf(stderr, "usage: wine_bench --dll PATH --player PLAYER.exe [--quick]\n");
        return 2;
    }

    Measure("no-window", "DISPNAME", "refused");

    PlayerOptions options;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    options.folder = temp;
    HWND window = CreatePlayerWindow(options);
    MeasureAll("in-process");
    DestroyWindow(window);

    PROCESS_INFORMATION process = {};
    window = StartPlayerProcess(player, std::string("--dir \"") + temp + "\"", &process);
    if (window == nullptr) {
        std::fprintf(stderr, "wine_bench: the stand-in player did not start\n");
        return 1;
    }
    Calls /= 4; // each message is a round trip through the wineserver
    MeasureAll("cross-process");
    Calls *= 4;
    StopPlayerProcess(window, &process);

    FreeLibrary(Module);
    int loads = Calls / 10;
    double t0 = Now();
    for (int i = 0; i < loads; ++i)
        FreeLibrary(LoadLibraryA(dll.c_str()));
    std::printf("LOADS %.0f\n", loads / (Now() - t0));
    return 0;
}
