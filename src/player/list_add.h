// Files added to the player's playlist from outside, as the player takes them from other programs.
#pragma once

#include <windows.h>

#include "player_link.h"

// The entries a request added, counted from 1 as the host counts them; 0 and 0 when none.
struct AddedEntries {
    int first;
    int last;
};

// Asks the player to append `name` (a file, a folder, a playlist or a URL, in UTF-16), which it
// decides whether it can add; the playlist's length before and after tells what it added.
AddedEntries AddToPlaylist(PlayerLink& player, const WCHAR* name);
