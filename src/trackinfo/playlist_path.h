#pragma once

#include <windows.h>

#include <cstddef>

// Room for a path built in the module, terminator included.
constexpr size_t PATH_BUFFER = 4096;

// The playlist file that the player writes on request: "WINAMP.m3u" in the folder that paths.ini
// beside the player's program names (as the process of the `player` window sees its folders), or else
// in the program's own folder, found through the player's file association. False, with an empty
// path, when it cannot be worked out. The path leaves room for one more character.
bool GetPlaylistPath(char (&path)[PATH_BUFFER], HWND player);
