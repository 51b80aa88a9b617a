// GetPlaylistPath as a string, for the tests: it must find a path exactly when it answers one.
#pragma once

#include <cstdlib>
#include <string>

#include "../../src/trackinfo/playlist_path.h"

inline std::string PathFound()
{
    char path[PATH_BUFFER];
    bool found = GetPlaylistPath(path);
    if (found != (path[0] != '\0'))
        std::abort();
    return path;
}
