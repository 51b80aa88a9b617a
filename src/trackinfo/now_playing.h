// What the player tells of the track beside its title: where it is in time, its format, and its place
// in the playlist. Every answer is the player's, unchecked but for the bounds each names.
#pragma once

#include <windows.h>

#include "../player/player_link.h"

struct TrackTime {
    int elapsed; // seconds, the fraction dropped
    int length;  // seconds; -1 for a stream
};
TrackTime AskTrackTime(PlayerLink& player);

struct TrackFormat {
    int bitrate;    // kbps
    int sampleRate; // kHz
    int channels;
};
TrackFormat AskTrackFormat(PlayerLink& player);

struct ListPlace {
    int position; // from 1, as the host counts entries; 0 for an empty playlist
    int length;
};
ListPlace AskListPlace(PlayerLink& player);
