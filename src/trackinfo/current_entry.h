#pragma once

#include <windows.h>

#include "../player/player_link.h"
#include "playlist_reader.h"

// Has the player write its playlist file and answers the line of the entry it names as current,
// line feed included when the line has one; empty when there is no such line.
void GetCurrentEntry(PlayerLink& player, char (&line)[LINE_BUFFER]);
