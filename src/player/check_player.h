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

// Finds the player window afresh and classifies the player. The window found is also handed back in
// the call's link, so that a call acts on its own find even while another host thread runs
// CheckPlayer.
PlayerStatus CheckPlayer(PlayerLink& player);
