// One paths.ini value expanded as the player's own process expands it.
#pragma once

#include <windows.h>

#include "path_buffer.h"

enum class Expansion {
    Done,
    Empty,        // nothing is left once expanded and trimmed
    NoSuchFolder, // {N} names no special folder, or one this process cannot learn
    TooLong,      // the folder would not fit a path
};

// %NAME% is the environment variable NAME (nothing when undefined), with WINAMP_PROGRAM_DIR and
// WINAMP_ROOT_DIR the program folder and its root; {N} is the special folder with CSIDL N; folders
// that a 32-bit and a 64-bit process see apart are the `playerIs64` process's; blanks and trailing
// backslashes are trimmed; a relative value is taken from `program`, the program folder with its
// trailing backslash. `folder` is left without a trailing backslash.
Expansion ExpandSettingsValue(const WCHAR* value, const WCHAR* program, bool playerIs64, WCHAR (&folder)[PATH_BUFFER]);

// Room kept after the folder for the playlist file names appended to it.
constexpr size_t FILE_NAME_ROOM = 16;
