#pragma once

#include <windows.h>

#include "../player/player_link.h"

// The title of a playing player reads «N. Display name - Winamp». Both cuts work in place and return
// a pointer into `title`, which is 8-bit or UTF-16 text, as the host speaks.

// The first "."-separated token (leading dots skipped), or an empty text when there is none.
template <typename Char>
Char* PlaylistNumberOf(Char* title);
// What follows the first ".", less the last "-" and everything after it.
template <typename Char>
Char* DisplayNameOf(Char* title);

// Room for the longest title either command reads, terminator included, in characters.
constexpr int TITLE_BUFFER = 900;

template <typename Char>
struct FileInfo {
    int length;         // the current track's length as the player answers it
    const Char* number; // the playlist number, in the title's buffer
};

// Ask the player and cut the answers out of its title, which they read into `title`.
template <typename Char>
FileInfo<Char> ReadFileInfo(PlayerLink& player, Char (&title)[TITLE_BUFFER]);
template <typename Char>
const Char* ReadDisplayName(PlayerLink& player, Char (&title)[TITLE_BUFFER]);
