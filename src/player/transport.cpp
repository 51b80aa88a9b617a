#include "transport.h"

#include "messages.h"
#include "playlist_number.h"

void PlayFromNumber(PlayerLink& player, double number, bool playerWasPlaying)
{
    int position = PlaylistPositionOf(number);
    if (position >= 0) {
        SetPlayer(player, SET_PLAYLIST_POS, position);
        // A paused player told to play resumes the paused track and ignores the new position;
        // stopping first makes it start the selected one. Stop is harmless when already stopped.
        if (!playerWasPlaying)
            CommandPlayer(player, CMD_STOP);
    }
    CommandPlayer(player, CMD_PLAY);
}
