#include "player_settings.h"

#include "messages.h"

namespace {

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

// Clamped in floating point first, so that no number is too large to convert; the fraction dropped.
int ClampNumber(double value, int low, int high)
{
    if (!(value >= low))
        return low;
    if (value >= high)
        return high;
    return static_cast<int>(value);
}

int AskVolume(PlayerLink& player)
{
    return AskPlayer(player, SET_VOLUME, static_cast<WPARAM>(static_cast<INT_PTR>(VOLUME_ASKED)));
}

} // namespace

int PercentOfVolume(int volume)
{
    return (Clamp(volume, 0, VOLUME_MAX) * 100 + VOLUME_MAX / 2) / VOLUME_MAX;
}

int VolumeOfPercent(int percent)
{
    return (Clamp(percent, 0, 100) * VOLUME_MAX + 50) / 100;
}

int ChangeVolume(PlayerLink& player, const HostNumber& percent)
{
    if (percent.found) {
        double wanted = percent.value;
        if (percent.relative)
            wanted += PercentOfVolume(AskVolume(player));
        // The player keeps only the low 8 bits: 256 would mute it.
        SetPlayer(player, SET_VOLUME, VolumeOfPercent(ClampNumber(wanted, 0, 100)));
    }
    return PercentOfVolume(AskVolume(player));
}

int ChangeSwitch(PlayerLink& player, LPARAM query, LPARAM setter, const HostNumber& on)
{
    if (on.found)
        SetPlayer(player, setter, on.value != 0.0 ? 1 : 0);
    return AskPlayer(player, query) != 0 ? 1 : 0;
}

int ChangeRating(PlayerLink& player, const HostNumber& rating)
{
    if (rating.found)
        SetPlayer(player, SET_RATING, ClampNumber(rating.value, 0, RATING_MAX));
    return Clamp(AskPlayer(player, QUERY_RATING), 0, RATING_MAX);
}
