#pragma once

#include <windows.h>

#include "player_link.h"

// Selects the entry numbered (from 1) at the start of `data`, if any, then plays. `playerWasPlaying`
// is the play state that the command's CheckPlayer saw.
void PlayFromNumber(PlayerLink& player, const char* data, bool playerWasPlaying);
