#pragma once

#include "path_buffer.h"
#include "player_program.h"

// Where the player's program folder was learnt.
enum class ProgramFrom {
    Nowhere,     // neither the process nor the association names a folder that can be used
    Process,     // the program that owns the player window
    Association, // the player's file association, read only when the process could not be asked
};

// The player's program folder, with its trailing backslash.
ProgramFrom FindProgramFolder(const PlayerProgram& program, char (&folder)[PATH_BUFFER]);

// The playlist file that the player writes on request: "WINAMP.m3u" in the folder that paths.ini in
// the program folder names (as the player's process sees its folders), or else in the program folder
// itself. False, with an empty path, when it cannot be worked out. The path leaves room for one more
// character.
bool GetPlaylistPath(char (&path)[PATH_BUFFER], const PlayerProgram& program);
