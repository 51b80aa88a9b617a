#include "current_entry.h"

#include "../player/messages.h"
#include "playlist_path.h"
#include "unicode_entry.h"

void GetCurrentEntry(PlayerLink& player, char (&line)[LINE_BUFFER])
{
    line[0] = '\0';
    char path[PATH_BUFFER];
    if (!GetPlaylistPath(path, player.window))
        return;
    // The file is not deleted first: the player writes it only when its playlist changed since it
    // last saved it, so a deleted file would stay missing until the user edits the playlist.
    int position = QueryPlayer(player, WRITE_PLAYLIST);
    // Unanswered, the position is not the player's and the file may be stale.
    if (player.lost)
        return;
    ReadPlaylistEntry(path, position, line);
    PreferUnicodeEntry(path, position, line);
}
