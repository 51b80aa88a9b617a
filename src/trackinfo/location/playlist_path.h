// The one way in to where the playlist is: the program that owns the player window, paths.ini beside
// it and the folders it names, all in UTF-16, whatever the code page.
#pragma once

#include <windows.h>

#include "path_buffer.h"
#include "player_program.h"

// The playlist file that the player writes on request: "WINAMP.m3u" in the folder that paths.ini in
// the program folder names (as the player's process sees its folders), or, without paths.ini or
// either key in it, in the program folder itself. False, with an empty path, when it cannot be
// worked out, a paths.ini that names no usable folder included.
bool GetPlaylistPath(WCHAR (&path)[PATH_BUFFER], const PlayerProgram& program);
