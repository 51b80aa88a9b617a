// The current track's tags, asked the way the player answers other programs: by a reply to a window of
// the module's (the player of 5.9), or, for an older player, through a request block in its memory.
#pragma once

#include <windows.h>

#include "../player/messages.h"
#include "../player/player_link.h"
#include "../player/tag_block.h"

// The longest tag name the module passes on: letters, digits and underscores.
constexpr size_t TAG_NAME_MAX = 63;

enum class TagRoute {
    None,   // neither route answered
    Reply,  // the player replied by message
    Memory, // through the request block
};

// Why a call took the route it did, for --explain.
struct TagRecord {
    TagRoute route;
    bool replyWindow;     // the reply window could be made
    bool fileAnswered;    // REPLY_CURRENT_FILE was answered in time
    LRESULT fileAnswer;   // what it answered
    bool fileReplied;     // and replied with the file
    bool tagReplied;      // REPLY_FILE_TAG replied
    int version;          // the window's version
    bool opened;          // the player's process could be opened to read and write
    DWORD openError;
    bool pointersFit;     // its pointers fit this module
    BlockFate block;
};

// The tag `name` (ASCII, already checked) of the file the player plays now, into `tag`; empty when the
// file has no such tag or nothing answered. `version` is what the player's window answered.
void ReadFileTag(PlayerLink& player, int version, const WCHAR* name, WCHAR (&tag)[FILE_TAG_UNITS],
                 TagRecord* record = nullptr);
