#include "check_player.h"

#include "messages.h"

// Zero-initialised: null from load, and nothing runs at load time.
std::atomic<HWND> PlayerWindow;

PlayerStatus CheckPlayer(PlayerLink& player)
{
    player.window = FindWindowA(PLAYER_WINDOW_CLASS, nullptr);
    PlayerWindow.store(player.window, std::memory_order_relaxed);
    if (player.window == nullptr)
        return PLAYER_MISSING;
    // A window that vanished after the search, or that does not answer in time, answers 0, which reads
    // as a player too old.
    if (QueryPlayer(player, QUERY_VERSION) < MIN_PLAYER_VERSION)
        return PLAYER_TOO_OLD;
    if (QueryPlayer(player, QUERY_PLAY_STATE) != PLAY_STATE_PLAYING)
        return PLAYER_NOT_PLAYING;
    return PLAYER_READY;
}
