// GetPlaylistPath as a string, for the tests: it must find a path exactly when it answers one.
#pragma once

#include <cstdlib>
#include <string>

#include "../../src/trackinfo/playlist_path.h"

// Without a window the player's process cannot be asked: the association names its folder, and it
// is taken as 32-bit.
inline std::string PathFound(HWND player = nullptr)
{
    PlayerProgram program;
    LearnPlayerProgram(player, program);
    char path[PATH_BUFFER];
    bool found = GetPlaylistPath(path, program);
    if (found != (path[0] != '\0'))
        std::abort();
    return path;
}
