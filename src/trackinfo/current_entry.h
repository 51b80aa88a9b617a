#pragma once

#include <windows.h>

#include "../player/player_link.h"
#include "playlist_reader.h"

// Has the player write its playlist file and finds the line of the entry it names as current, line
// feed included when the line has one; empty when there is no such line. The line is the .m3u's, in
// the ANSI code page, unless its name did not fit the code page: then, for a Unicode host (`wide`),
// the answer is the .m3u8's line in UTF-16 in `entry`, and the result is true; for an 8-bit host,
// `line` becomes the file's short path where it has one.
bool GetCurrentEntry(PlayerLink& player, bool wide, char (&line)[LINE_BUFFER], WCHAR (&entry)[LINE_BUFFER]);
