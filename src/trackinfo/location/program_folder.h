#pragma once

#include <windows.h>

#include "path_buffer.h"
#include "player_program.h"

// Where the player's program folder was learnt.
enum class ProgramFrom {
    Nowhere,     // neither the process nor the association names a folder
    Process,     // the program that owns the player window
    Association, // the player's file association, read only when the process could not be asked
};

// The player's program folder, with its trailing backslash.
ProgramFrom FindProgramFolder(const PlayerProgram& program, WCHAR (&folder)[PATH_BUFFER]);
