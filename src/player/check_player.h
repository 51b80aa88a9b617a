#pragma once

#include <windows.h>

#include <atomic>

#include "player_link.h"

enum PlayerStatus : int {
    PLAYER_READY = 0,       // found, recent enough, playing
    PLAYER_MISSING = 1,     // no player window
    PLAYER_TOO_OLD = 2,     // version below MIN_PLAYER_VERSION
    PLAYER_NOT_PLAYING = 3, // found and recent enough, but paused or stopped
};

// The player window that the latest CheckPlayer found, null before the first command.
extern std::atomic<HWND> PlayerWindow;

// Windows of the player's class looked at in one search: programs that imitate the player's window,
// and second copies of the player, make several.
constexpr int PLAYER_WINDOWS_MAX = 16;

// Why the search used the window it did; a later window is used only when it ranks higher, or, paused
// or stopped, when it ranks the same with a higher version.
enum class WindowChoice {
    None,          // no window of the class
    FirstFound,    // none is recent enough, or none answered: the first found
    Stopped,       // none plays or is paused: the stopped one of the highest version
    Paused,        // none plays: the paused one of the highest version
    Playing,       // the first that plays
};

// What the search learnt of one window. A window it did not ask has both answers unset.
struct SeenWindow {
    HWND window;
    bool asked;
    bool versionAnswered;
    int version;
    bool stateAnswered;
    int playState;
    DWORD error; // why the first unanswered query failed, as the link tells it; 0 when none did
};

struct PlayerSearch {
    int count;                             // windows found, at most PLAYER_WINDOWS_MAX
    SeenWindow seen[PLAYER_WINDOWS_MAX];
    int used;                              // index into `seen`, -1 with no window
    WindowChoice choice;
};

// Finds the player window afresh and classifies the player. The window found is also handed back in
// the call's link, so that a call acts on its own find even while another host thread runs
// CheckPlayer. With `search`, what was learnt of each window is kept there; `askAll` asks every
// window found, past the one used too, without changing which one that is.
PlayerStatus CheckPlayer(PlayerLink& player, PlayerSearch* search = nullptr, bool askAll = false);
