#include "check_player.h"

#include "messages.h"

// Zero-initialised: null from load, and nothing runs at load time.
std::atomic<HWND> PlayerWindow;

namespace {

// A window that was asked, with what its link learnt: its own budget flag, on the call's clock.
struct Candidate {
    PlayerLink link;
    PlayerStatus status;
    bool set;
};

void Keep(Candidate& c, const PlayerLink& link, PlayerStatus status)
{
    if (!c.set)
        c = {link, status, true};
}

} // namespace

PlayerStatus CheckPlayer(PlayerLink& player, PlayerSearch* search, bool askAll)
{
    // The platform's search finds the newest window first, which is often a hidden one that another
    // program made to imitate the player: the window that plays is the one the user means.
    Candidate playing{}, paused{}, recent{}, found{};
    HWND window = nullptr;
    int count = 0;
    // A window passed over gets the version and play-state queries and nothing else; once one plays,
    // no later window is looked for.
    while (count < PLAYER_WINDOWS_MAX && (!playing.set || askAll) &&
           (window = FindWindowExA(nullptr, window, PLAYER_WINDOW_CLASS, nullptr)) != nullptr) {
        SeenWindow seen{window, false, 0, false, 0};
        ++count;
        if (!playing.set || askAll) {
            PlayerLink link{window, player.start, false};
            seen.version = QueryPlayer(link, QUERY_VERSION);
            seen.versionAnswered = !link.lost;
            // A window gone after the search, or that does not answer in time, answers 0, which reads
            // as a player too old.
            if (seen.version < MIN_PLAYER_VERSION) {
                Keep(found, link, PLAYER_TOO_OLD);
            } else {
                seen.playState = QueryPlayer(link, QUERY_PLAY_STATE);
                seen.stateAnswered = !link.lost;
                PlayerStatus status = seen.playState == PLAY_STATE_PLAYING ? PLAYER_READY : PLAYER_NOT_PLAYING;
                if (status == PLAYER_READY)
                    Keep(playing, link, status);
                else if (seen.playState == PLAY_STATE_PAUSED)
                    Keep(paused, link, status);
                Keep(recent, link, status);
                Keep(found, link, status);
            }
        }
        if (search != nullptr)
            search->seen[count - 1] = seen;
    }

    const Candidate* used = nullptr;
    WindowChoice choice = WindowChoice::None;
    if (playing.set) {
        used = &playing;
        choice = WindowChoice::Playing;
    } else if (paused.set) {
        used = &paused;
        choice = WindowChoice::FirstPaused;
    } else if (recent.set) {
        used = &recent;
        choice = WindowChoice::FirstRecent;
    } else if (found.set) {
        used = &found;
        choice = WindowChoice::FirstFound;
    }
    if (search != nullptr) {
        search->count = count;
        search->choice = choice;
        search->used = -1;
        for (int i = 0; used != nullptr && i < count; ++i)
            if (search->seen[i].window == used->link.window && search->used < 0)
                search->used = i;
    }
    player.window = used != nullptr ? used->link.window : nullptr;
    PlayerWindow.store(player.window, std::memory_order_relaxed);
    if (used == nullptr)
        return PLAYER_MISSING;
    player.lost = used->link.lost;
    return used->status;
}
