#pragma once

#include <windows.h>

#include "../player/player_link.h"

// The title of a playing player reads «N. Display name - Winamp». Both cuts work in place and return
// a pointer into `title`.

// The first "."-separated token (leading dots skipped), or an empty text when there is none.
char* PlaylistNumberOf(char* title);
// What follows the first ".", less the last "-" and everything after it.
char* DisplayNameOf(char* title);

// Room for the longest title either command reads, terminator included.
constexpr int TITLE_BUFFER = 900;

struct FileInfo {
    int length;         // the current track's length as the player answers it
    const char* number; // the playlist number, in the title's buffer
};

// Ask the player and cut the answers out of its title, which they read into `title`.
FileInfo ReadFileInfo(PlayerLink& player, char (&title)[TITLE_BUFFER]);
const char* ReadDisplayName(PlayerLink& player, char (&title)[TITLE_BUFFER]);
