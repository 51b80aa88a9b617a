#pragma once

#include <windows.h>

#include "player_link.h"
#include "playlist_number.h"

// Seconds as the host writes them: from the track's start, or, when relative, from where it plays
// now. No number moves nothing and sends nothing.
void SeekTo(PlayerLink& player, const HostNumber& seconds);

// The player's time in milliseconds for `milliseconds` worked out in any range: never below 0, at
// most the largest 32-bit time, the fraction of a millisecond dropped.
int PlayerTimeOf(double milliseconds);
