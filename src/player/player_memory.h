// Texts the player hands other programs only as a pointer into its own memory: a playlist entry's
// title and file. The player's process is opened for reading once in a call and closed in it; nothing
// is ever written into it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// The player's limits, its zero included: it cuts titles at 399 units and files at 1039.
constexpr size_t PLAYER_TITLE_UNITS = 400;
constexpr size_t PLAYER_FILE_UNITS = 1040;

// The player's own checks take no answer below this for a pointer.
constexpr uint64_t LOWEST_POINTER = 65536;

struct PlayerMemory {
    HANDLE process; // null when it could not be opened
    DWORD error;    // the system's error when it could not: 5 for a player with more rights
    bool is64;      // the player is a 64-bit program
};

// Opens the process that owns `window` for reading, with `rights` besides.
PlayerMemory OpenPlayerMemory(HWND window, DWORD rights = 0);

// Whether a module of this width can hold the player's pointers: a 32-bit one cannot hold a 64-bit
// player's.
bool PointersFit(bool moduleIs64, bool playerIs64);
bool PointersFit(const PlayerMemory& memory);

// The address a pointer answer names in the player, 0 for an answer that is no pointer. A 32-bit
// player's answer reaches a 64-bit module sign-extended: its low 32 bits are the pointer, above 2 GB
// too.
uint64_t PlayerAddress(LRESULT answer, bool playerIs64);

// Reads the UTF-16 text at `address` into `text`, up to its zero and at most `units` units with it
// (a longer one is cut there), one page at a time so that a text near the end of a region still
// reads. False, with `text` empty, when a page it needs cannot be read.
bool ReadPlayerText(const PlayerMemory& memory, uint64_t address, WCHAR* text, size_t units);
