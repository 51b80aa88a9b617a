// The third way of talking to the player, for older players that cannot reply by message: a request
// block the module writes into the player's own memory, whose address goes in wParam, and whose
// answer the player writes back there.
#pragma once

#include <windows.h>

#include "player_link.h"
#include "messages.h"
#include "player_memory.h"

// What became of the block, for --explain.
enum class BlockFate {
    NotMade,   // the block could not be allocated or written
    Freed,     // the player answered in time: read, then freed
    LeftHeld,  // no answer in time: the player may still write into it, so it stays
};

// The block: the four fields {file, tag name, answer, FILE_TAG_UNITS} in the player's width (16 bytes
// for a 32-bit player, 32 for a 64-bit one), then the file, the name and room for the answer. Asks
// QUERY_FILE_TAG with its address and reads the answer, empty when the player's decoder did not know
// the name. `memory` is open for reading and writing, and its pointers fit this module.
BlockFate AskTagThroughBlock(PlayerLink& player, const PlayerMemory& memory, const WCHAR* file, const WCHAR* name,
                             WCHAR (&tag)[FILE_TAG_UNITS]);
