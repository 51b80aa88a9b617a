// The text of paths.ini, as the player's profile functions read it.
#pragma once

#include <windows.h>

#include <cstddef>

#include "path_buffer.h"

enum class Setting {
    Missing, // no such key in [Winamp], or an empty value
    Found,
    TooLong, // longer than a path can be
};

// The value of `key` in section [Winamp] of `size` units of `text`: section and key without regard to
// case, blanks round the key and the value dropped, and a pair of double quotes round the value. The
// first one found counts.
Setting FindSettingsValue(const WCHAR* text, size_t size, const char* key, WCHAR (&value)[PATH_BUFFER]);
