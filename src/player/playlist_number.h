#pragma once

#include <windows.h>

// Reads the playlist number at the start of `text` the way the host writes it: decimal only, with an
// optional exponent whose letter may be e, E, d or D. Text that does not begin with such a number
// reads as 0; hexadecimal forms and words for infinity or not-a-number are not numbers here. The
// same rules hold for 8-bit and UTF-16 text.
double ReadPlaylistNumber(const char* text);
double ReadPlaylistNumber(const WCHAR* text);

// The same reading for the commands that take a setting or a time, which must tell «0» from no number
// at all, and an absolute value from a step.
struct HostNumber {
    bool found;    // the text begins with a number; otherwise value is 0
    bool relative; // its first character other than blanks is a sign
    double value;
};
HostNumber ReadHostNumber(const char* text);
HostNumber ReadHostNumber(const WCHAR* text);

// The player's 0-based position for a 1-based playlist number, or -1 when the number selects nothing
// (below 1). Positions past the largest 32-bit one are held at 2147483647.
int PlaylistPositionOf(double number);
