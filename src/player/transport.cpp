#include "transport.h"

#include "messages.h"
#include "playlist_number.h"

void PlayFromNumber(HWND player, const char* data, bool playerWasPlaying)
{
    int position = PlaylistPositionOf(ReadPlaylistNumber(data));
    if (position >= 0) {
        SendMessageA(player, WM_USER, static_cast<WPARAM>(position), SET_PLAYLIST_POS);
        // A paused player told to play resumes the paused track and ignores the new position;
        // stopping first makes it start the selected one. Stop is harmless when already stopped.
        if (!playerWasPlaying)
            CommandPlayer(player, CMD_STOP);
    }
    CommandPlayer(player, CMD_PLAY);
}
