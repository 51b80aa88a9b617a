#include "check_player.h"

#include "messages.h"

// Zero-initialised: null from load, and nothing runs at load time.
std::atomic<HWND> PlayerWindow;

PlayerStatus CheckPlayer(PlayerLink& player, PlayerSearch* search, bool askAll)
{
    // The platform's search finds the newest window first, which is often a hidden one that another
    // program made to imitate the player: the window that plays is the one the user means. Each window
    // has a link of its own on the call's clock, so that one that does not answer costs the others
    // nothing but the time it took.
    PlayerLink used{nullptr, player.start, false};
    WindowChoice choice = WindowChoice::None;
    PlayerStatus status = PLAYER_MISSING;
    HWND window = nullptr;
    int count = 0;
    // A window passed over gets the version and play-state queries and nothing else; once one plays,
    // no later window is looked for.
    while (count < PLAYER_WINDOWS_MAX && (choice != WindowChoice::Playing || askAll) &&
           (window = FindWindowExA(nullptr, window, PLAYER_WINDOW_CLASS, nullptr)) != nullptr) {
        PlayerLink link{window, player.start, false};
        SeenWindow unkept;
        SeenWindow& seen = search != nullptr ? search->seen[count] : unkept;
        seen = {window, false, 0, false, 0};
        WindowChoice reason = WindowChoice::FirstFound;
        PlayerStatus windowStatus = PLAYER_TOO_OLD;
        seen.version = AskPlayer(link, QUERY_VERSION);
        seen.versionAnswered = !link.lost;
        // A window gone after the search, or that does not answer in time, answers 0, which reads as a
        // player too old.
        if (seen.version >= MIN_PLAYER_VERSION) {
            seen.playState = AskPlayer(link, QUERY_PLAY_STATE);
            seen.stateAnswered = !link.lost;
            windowStatus = seen.playState == PLAY_STATE_PLAYING ? PLAYER_READY : PLAYER_NOT_PLAYING;
            reason = seen.playState == PLAY_STATE_PLAYING  ? WindowChoice::Playing
                     : seen.playState == PLAY_STATE_PAUSED ? WindowChoice::FirstPaused
                                                           : WindowChoice::FirstRecent;
        }
        if (reason > choice) {
            used = link;
            choice = reason;
            status = windowStatus;
            if (search != nullptr)
                search->used = count;
        }
        ++count;
    }
    if (search != nullptr) {
        search->count = count;
        search->choice = choice;
        if (choice == WindowChoice::None)
            search->used = -1;
    }
    player.window = used.window;
    player.lost = used.lost;
    PlayerWindow.store(player.window, std::memory_order_relaxed);
    return status;
}
