// The player's volume, shuffle, repeat and the current entry's rating: each is asked, or set and then
// asked, so that the host learns what the player kept. Whatever the window answers, what comes back
// stays within the setting's bounds.
#pragma once

#include <windows.h>

#include "player_link.h"
#include "playlist_number.h"

// Percent, 0 to 100, for the player's 0 to 255, and back: every percent comes back as itself.
int PercentOfVolume(int volume);
int VolumeOfPercent(int percent);

// With no number only asks; an absolute percent, or a step from the volume asked first, is clamped
// to 0-100 before it is set. Answers the percent the player reports after the call.
int ChangeVolume(PlayerLink& player, const HostNumber& percent);

// Shuffle or repeat: a number sets it, on for any number but 0. Answers 1 on, 0 off.
int ChangeSwitch(PlayerLink& player, LPARAM query, LPARAM setter, const HostNumber& on);

// A number sets the current entry's rating, clamped to 0-5. Answers the rating, 0 to 5.
int ChangeRating(PlayerLink& player, const HostNumber& rating);
