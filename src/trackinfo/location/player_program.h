// The program that owns the player window names the player's folder exactly, where the file
// association may name another installation, or none (a portable copy).
#pragma once

#include <windows.h>

#include "path_buffer.h"

struct PlayerProgram {
    bool asked;               // the window's process could be opened and asked its program
    bool is64;                // the process is a 64-bit one; taken as 32-bit, as the player is built, when
                              // that cannot be asked
    WCHAR path[PATH_BUFFER];  // the program file, empty when it is not known
};

// Learns, with one open of its process, the program that owns `window` and its bitness.
void LearnPlayerProgram(HWND window, PlayerProgram& program);
