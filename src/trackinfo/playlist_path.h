#pragma once

#include <string>

// The playlist file that the player writes on request: "WINAMP.m3u" in the folder of the player's
// program, found through the player's file association. Empty when it cannot be worked out.
std::string GetPlaylistPath();
