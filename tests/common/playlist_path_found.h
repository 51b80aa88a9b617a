// GetPlaylistPath as a string, for the tests: it must find a path exactly when it answers one.
#pragma once

#include <cstdlib>
#include <string>

#include "../../src/trackinfo/playlist_path.h"

// Without a window the player's bitness cannot be told: it is taken as 32-bit.
inline std::string PathFound(HWND player = nullptr)
{
    char path[PATH_BUFFER];
    bool found = GetPlaylistPath(path, player);
    if (found != (path[0] != '\0'))
        std::abort();
    return path;
}
