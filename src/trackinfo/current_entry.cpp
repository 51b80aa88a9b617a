#include "current_entry.h"

#include <cstring>

#include "../player/messages.h"
#include "location/playlist_path.h"
#include "text.h"
#include "unicode_entry.h"

bool GetCurrentEntry(PlayerLink& player, bool wide, char (&line)[LINE_BUFFER], WCHAR (&entry)[LINE_BUFFER])
{
    line[0] = '\0';
    WCHAR path[PATH_BUFFER];
    {
        PlayerProgram program;
        LearnPlayerProgram(player.window, program);
        if (!GetPlaylistPath(path, program))
            return false;
    }
    // The file is not deleted first: the player writes it only when its playlist changed since it
    // last saved it, so a deleted file would stay missing until the user edits the playlist.
    int position = AskPlayer(player, WRITE_PLAYLIST);
    // Unanswered, the position is not the player's and the file may be stale.
    if (player.lost)
        return false;
    ReadPlaylistEntry(path, position, line);
    if (!FindUnicodeEntry(path, position, line, entry))
        return false;
    if (!wide) {
        PreferShortPath(entry, line);
        return false;
    }
    // The .m3u line's line feed, if it has one, ends the answer too.
    size_t length = TextLength(entry);
    size_t lineLength = std::strlen(line);
    if (lineLength > 0 && line[lineLength - 1] == '\n' && length + 1 < LINE_BUFFER) {
        entry[length] = '\n';
        entry[length + 1] = 0;
    }
    return true;
}
