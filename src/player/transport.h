#pragma once

#include <windows.h>

#include "player_link.h"

// Selects the entry numbered (from 1) by `number`, the host's text as ReadPlaylistNumber reads it, if
// it selects one, then plays. `playerWasPlaying` is the play state that the command's CheckPlayer saw.
void PlayFromNumber(PlayerLink& player, double number, bool playerWasPlaying);
