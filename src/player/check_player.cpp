#include "check_player.h"

#include "messages.h"

// Zero-initialised: null from load, and nothing runs at load time.
std::atomic<HWND> PlayerWindow;

namespace {

// Finding sends the windows nothing.
int FindPlayerWindows(HWND (&windows)[PLAYER_WINDOWS_MAX])
{
    int count = 0;
    HWND window = nullptr;
    while (count < PLAYER_WINDOWS_MAX && (window = FindWindowExA(nullptr, window, PLAYER_WINDOW_CLASS, nullptr)) != nullptr)
        windows[count++] = window;
    return count;
}

// Asks one window its version and, when it is recent enough, its play state. A window gone after the
// search, or one that does not answer within its link's share, answers 0, which reads as too old.
void AskWindow(PlayerLink& link, SeenWindow& seen)
{
    seen = {link.window, true, false, 0, false, 0, 0};
    seen.version = AskPlayer(link, QUERY_VERSION);
    seen.versionAnswered = !link.lost;
    if (seen.version >= MIN_PLAYER_VERSION) {
        seen.playState = AskPlayer(link, QUERY_PLAY_STATE);
        seen.stateAnswered = !link.lost;
    }
    seen.error = link.error;
}

WindowChoice RankOf(const SeenWindow& seen)
{
    if (seen.version < MIN_PLAYER_VERSION)
        return WindowChoice::FirstFound;
    return seen.playState == PLAY_STATE_PLAYING  ? WindowChoice::Playing
           : seen.playState == PLAY_STATE_PAUSED ? WindowChoice::Paused
                                                 : WindowChoice::Stopped;
}

// The ranking rule in one place. Which window is the user's when none plays cannot be told from the
// search order, which on Windows is the Z order and changes with every click: the player answers
// 0x50yx where the programs that imitate it answer 0x20yx, so the highest version wins a tie.
bool RanksAbove(WindowChoice rank, const SeenWindow& seen, WindowChoice bestRank, const SeenWindow* best)
{
    if (rank != bestRank)
        return rank > bestRank;
    return best != nullptr && (rank == WindowChoice::Paused || rank == WindowChoice::Stopped) &&
           seen.version > best->version;
}

PlayerStatus StatusOf(WindowChoice choice)
{
    switch (choice) {
    case WindowChoice::None: return PLAYER_MISSING;
    case WindowChoice::FirstFound: return PLAYER_TOO_OLD;
    case WindowChoice::Playing: return PLAYER_READY;
    default: return PLAYER_NOT_PLAYING;
    }
}

} // namespace

PlayerStatus CheckPlayer(PlayerLink& player, PlayerSearch* search, bool askAll)
{
    HWND windows[PLAYER_WINDOWS_MAX];
    int count = FindPlayerWindows(windows);
    PlayerSearch unkept;
    PlayerSearch& s = search != nullptr ? *search : unkept;
    s.count = count;
    s.used = -1;
    s.choice = WindowChoice::None;
    PlayerLink used{nullptr, player.start, false};
    for (int i = 0; i < count; ++i) {
        SeenWindow& seen = s.seen[i];
        if (s.choice == WindowChoice::Playing && !askAll) {
            seen = {windows[i], false, false, 0, false, 0, 0};
            continue;
        }
        // Each window may take an equal share of what is left of the budget, split among itself and
        // those not yet asked: one that is busy or hung found first leaves the others their time. A
        // lone window has the whole budget.
        DWORD spent = GetTickCount() - player.start;
        DWORD left = spent < ANSWER_BUDGET_MS ? ANSWER_BUDGET_MS - spent : 0;
        PlayerLink link{windows[i], player.start, false};
        link.budget = spent + left / static_cast<DWORD>(count - i);
        AskWindow(link, seen);
        WindowChoice rank = RankOf(seen);
        if (RanksAbove(rank, seen, s.choice, s.used >= 0 ? &s.seen[s.used] : nullptr)) {
            used = link;
            s.choice = rank;
            s.used = i;
        }
    }
    // The window used goes on with the whole of what is left of the budget.
    player.window = used.window;
    player.lost = used.lost;
    player.error = used.error;
    PlayerWindow.store(player.window, std::memory_order_relaxed);
    return StatusOf(s.choice);
}
