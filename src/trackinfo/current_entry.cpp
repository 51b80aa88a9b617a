#include "current_entry.h"

#include "../player/messages.h"
#include "file_closer.h"
#include "playlist_path.h"
#include "unicode_entry.h"

void GetCurrentEntry(PlayerLink& player, char (&line)[LINE_BUFFER])
{
    line[0] = '\0';
    char path[PATH_BUFFER];
    if (!GetPlaylistPath(path))
        return;
    // The file is not deleted first: the player writes it only when its playlist changed since it
    // last saved it, so a deleted file would stay missing until the user edits the playlist.
    int position = QueryPlayer(player, WRITE_PLAYLIST);
    // Unanswered, the position is not the player's and the file may be stale.
    if (player.lost)
        return;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    {
        FileCloser closer{file};
        ReadPlaylistEntry(file, position, line);
    }
    PreferUnicodeEntry(path, position, line);
}
