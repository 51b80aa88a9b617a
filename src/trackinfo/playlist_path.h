#pragma once

#include <cstddef>

// Room for a path built in the module, terminator included.
constexpr size_t PATH_BUFFER = 4096;

// The playlist file that the player writes on request: "WINAMP.m3u" in the folder of the player's
// program, found through the player's file association. False, with an empty path, when it cannot be
// worked out.
bool GetPlaylistPath(char (&path)[PATH_BUFFER]);
