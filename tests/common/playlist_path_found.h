// GetPlaylistPath as a UTF-8 string, for the tests: it must find a path exactly when it answers one.
#pragma once

#include <cstdlib>
#include <string>

#include "../../src/trackinfo/location/playlist_path.h"

inline std::string Utf8Of(const WCHAR* wide)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    if (n <= 0 || WideCharToMultiByte(CP_UTF8, 0, wide, -1, &out[0], n, nullptr, nullptr) <= 0)
        return std::string();
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

// Without a window the player's process cannot be asked: the association names its folder, and it
// is taken as 32-bit.
inline std::string PathFound(HWND player = nullptr)
{
    PlayerProgram program;
    LearnPlayerProgram(player, program);
    WCHAR path[PATH_BUFFER];
    bool found = GetPlaylistPath(path, program);
    if (found != (path[0] != 0))
        std::abort();
    return Utf8Of(path);
}
