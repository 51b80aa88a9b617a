#include "player_link.h"

namespace {

// An unanswered message reads as 0, and nothing more goes over the link.
LRESULT Unanswered(PlayerLink& link, DWORD error)
{
    link.lost = true;
    link.error = error;
    return 0;
}

} // namespace

LRESULT SendToPlayer(PlayerLink& link, UINT msg, WPARAM wParam, LPARAM lParam, MessageText text)
{
    if (link.lost)
        return 0;
    // Unsigned difference: right across GetTickCount's wrap after 49.7 days.
    DWORD spent = GetTickCount() - link.start;
    if (spent >= link.budget)
        return Unanswered(link, ERROR_TIMEOUT);
    DWORD_PTR answer = 0;
    auto send = text == TEXT_UTF16 ? SendMessageTimeoutW : SendMessageTimeoutA;
    if (send(link.window, msg, wParam, lParam, SMTO_ABORTIFHUNG, link.budget - spent, &answer) == 0)
        return Unanswered(link, GetLastError());
    return static_cast<LRESULT>(answer);
}
