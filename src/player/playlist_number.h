#pragma once

#include <windows.h>

// Reads the playlist number at the start of `text` the way the host writes it: decimal only, with an
// optional exponent whose letter may be e, E, d or D. Text that does not begin with such a number
// reads as 0; hexadecimal forms and words for infinity or not-a-number are not numbers here. The
// same rules hold for 8-bit and UTF-16 text.
double ReadPlaylistNumber(const char* text);
double ReadPlaylistNumber(const WCHAR* text);

// The player's 0-based position for a 1-based playlist number, or -1 when the number selects nothing
// (below 1). Positions past the largest 32-bit one are held at 2147483647.
int PlaylistPositionOf(double number);
