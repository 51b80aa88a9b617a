// Any playlist entry's title or file, which the player hands other programs only as a pointer into its
// own memory.
#pragma once

#include <windows.h>

#include "../player/player_link.h"
#include "../player/player_memory.h"
#include "../player/playlist_number.h"

// What one read learnt, for --explain.
struct EntryRead {
    int index;       // the entry asked, from 0; -1 when none was
    bool opened;     // the player's process was opened for reading
    DWORD error;     // the system's error when it was not
    bool is64;       // the player is a 64-bit program
    bool asked;      // the request was sent
    LRESULT answer;  // what the player answered it
    bool read;       // the text it points to was read
    DWORD readError; // the system's error when it was not
};

// The title (QUERY_LIST_TITLE) or the file (QUERY_LIST_FILE) of the entry that `number` names, from
// 1, or of the current entry when the host's text has no number, into `text` (`units`, the zero
// included). Empty for an entry out of range, an empty playlist, or a text that cannot be read.
void ReadListEntry(PlayerLink& player, const HostNumber& number, LPARAM query, WCHAR* text, size_t units,
                   EntryRead* record = nullptr);

// The same from a player whose process the caller has opened already.
void ReadListEntryIn(PlayerLink& player, const PlayerMemory& memory, const HostNumber& number, LPARAM query,
                     WCHAR* text, size_t units, EntryRead* record = nullptr);
