// standin-player [--real] [--version N] [--state playing|paused|stopped] [--register] [--hidden]
//                [--verbose] [--slow MS] [--hang-after N] [--settings DIR | --own-folder DIR] [--scroll]
//                [--imitation] [--older] [--slow-tags MS]
//                [PLAYLIST.m3u | PLAYLIST.m3u8]
// Runs a window of the player's class until it is closed or told to quit, answering as the player does.
// Like the player, it keeps its playlist files beside its own program unless paths.ini there says
// otherwise: tests copy it into the folders they need.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "player_window.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: standin-player [--real] [--version N] [--state playing|paused|stopped]\n"
                 "                      [--register] [--hidden] [--verbose] [--slow MS] [--hang-after N]\n"
                 "                      [--settings DIR | --own-folder DIR] [--scroll] [--imitation]\n"
                 "                      [--older] [--slow-tags MS]\n"
                 "                      [PLAYLIST.m3u | PLAYLIST.m3u8]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // As the player, which is a Unicode program, it runs from any folder: one outside the ANSI code page
    // is kept in its short form.
    WCHAR wide[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, wide, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    char program[MAX_PATH * 2];
    BOOL lossy = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, program, sizeof program, nullptr, &lossy) == 0 ||
        lossy) {
        WCHAR shortPath[MAX_PATH];
        if (GetShortPathNameW(wide, shortPath, MAX_PATH) == 0 ||
            WideCharToMultiByte(CP_ACP, 0, shortPath, -1, program, sizeof program, nullptr, nullptr) == 0)
            return 1;
    }
    std::string programPath = program;
    size_t slash = programPath.rfind('\\');
    PlayerOptions options;
    options.folder = programPath.substr(0, slash);
    std::string programName = programPath.substr(slash + 1);
    bool registerAssociation = false;
    options.visible = true;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--real") {
            options.realPlayer = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--register") {
            registerAssociation = true;
        } else if (arg == "--version" && hasValue) {
            options.version = static_cast<int>(std::strtol(argv[++i], nullptr, 0));
        } else if (arg == "--imitation") {
            options.imitation = true;
        } else if (arg == "--older") {
            options.older = true;
        } else if (arg == "--slow-tags" && hasValue) {
            options.slowTagsMs = std::atoi(argv[++i]);
        } else if (arg == "--scroll") {
            options.scroll = true;
        } else if (arg == "--settings" && hasValue) {
            options.settings = argv[++i];
        } else if (arg == "--slow" && hasValue) {
            options.slowMs = std::atoi(argv[++i]);
        } else if (arg == "--hang-after" && hasValue) {
            options.hangAfter = std::atoi(argv[++i]);
        } else if (arg == "--hidden") {
            options.visible = false;
        } else if (arg == "--own-folder" && hasValue) {
            options.ownFolder = argv[++i];
        } else if (arg == "--state" && hasValue) {
            std::string state = argv[++i];
            if (state == "playing")
                options.playState = 1;
            else if (state == "paused")
                options.playState = 3;
            else if (state == "stopped")
                options.playState = 0;
            else
                return Usage();
        } else if (!arg.empty() && arg[0] != '-') {
            options.playlist = arg;
        } else {
            return Usage();
        }
    }

    if (registerAssociation && !RegisterPlayerAssociation(options.folder + "\\" + programName)) {
        std::fprintf(stderr, "standin-player: cannot write the file association\n");
        return 1;
    }
    HWND window = CreatePlayerWindow(options);
    if (window == nullptr) {
        std::fprintf(stderr, "standin-player: cannot create the player window\n");
        return 1;
    }
    // Ready once it records: a shown window first waits for the desktop's read of its title.
    for (DWORD start = GetTickCount(); SendMessageA(window, WM_USER, 0, CTL_SETTLED) == 0 && GetTickCount() - start < 3000;) {
        MSG pending;
        while (PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&pending);
            DispatchMessageA(&pending);
        }
        Sleep(10);
    }
    if (options.verbose) {
        std::printf("player: ready, version 0x%X, %s, playlist file %s\\WINAMP.m3u\n", options.version,
                    options.visible ? "visible" : "hidden", OwnPlaylistFolder().c_str());
        std::fflush(stdout);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
