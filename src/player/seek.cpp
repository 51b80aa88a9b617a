#include "seek.h"

#include <climits>

#include "messages.h"

int PlayerTimeOf(double milliseconds)
{
    // Decimal seconds are seldom exact in binary: 1.005 s is 1004.99999... ms. A millionth of a
    // millisecond is far finer than any text a host writes, and far coarser than that error.
    milliseconds += 1e-6;
    if (!(milliseconds >= 0.0))
        return 0;
    if (milliseconds >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(milliseconds);
}

void SeekTo(PlayerLink& player, const HostNumber& seconds)
{
    if (!seconds.found)
        return;
    double target = seconds.value * 1000.0;
    if (seconds.relative) {
        // Stopped, the player answers -1: a step is taken from the start.
        int elapsed = AskPlayer(player, QUERY_ELAPSED_TIME, ELAPSED_IN_MILLISECONDS);
        target += elapsed > 0 ? elapsed : 0;
    }
    SetPlayer(player, JUMP_TO_TIME, PlayerTimeOf(target));
}
