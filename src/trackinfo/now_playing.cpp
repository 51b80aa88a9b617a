#include "now_playing.h"

#include "../player/messages.h"

namespace {

// No decoder reports a sample rate of a thousand kHz: an answer that high is in Hz, as one program
// that imitates the player gives it.
constexpr int SAMPLE_RATE_IN_HZ = 1000;

} // namespace

TrackTime AskTrackTime(PlayerLink& player)
{
    int elapsed = AskPlayer(player, QUERY_ELAPSED_TIME, ELAPSED_IN_MILLISECONDS);
    int length = AskPlayer(player, QUERY_TRACK_LENGTH, TRACK_LENGTH_IN_SECONDS);
    return {elapsed / 1000, length};
}

TrackFormat AskTrackFormat(PlayerLink& player)
{
    int bitrate = AskPlayer(player, QUERY_TRACK_INFO, TRACK_INFO_BITRATE);
    int sampleRate = AskPlayer(player, QUERY_TRACK_INFO, TRACK_INFO_SAMPLE_RATE);
    int channels = AskPlayer(player, QUERY_TRACK_INFO, TRACK_INFO_CHANNELS);
    if (sampleRate >= SAMPLE_RATE_IN_HZ)
        sampleRate /= 1000;
    return {bitrate, sampleRate, channels};
}

ListPlace AskListPlace(PlayerLink& player)
{
    int length = AskPlayer(player, QUERY_LIST_LENGTH);
    // The position of an empty playlist reads 0, like its first entry's.
    if (length <= 0)
        return {0, 0};
    int position = AskPlayer(player, QUERY_LIST_POS);
    if (position < 0)
        position = 0;
    if (position > length - 1)
        position = length - 1;
    return {position + 1, length};
}
