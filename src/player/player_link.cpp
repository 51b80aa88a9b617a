#include "player_link.h"

LRESULT SendToPlayer(PlayerLink& link, UINT msg, WPARAM wParam, LPARAM lParam, MessageText text)
{
    if (link.lost)
        return 0;
    // Unsigned difference: right across GetTickCount's wrap after 49.7 days.
    DWORD spent = GetTickCount() - link.start;
    if (spent >= ANSWER_BUDGET_MS) {
        link.lost = true;
        return 0;
    }
    DWORD_PTR answer = 0;
    auto send = text == TEXT_UTF16 ? SendMessageTimeoutW : SendMessageTimeoutA;
    if (send(link.window, msg, wParam, lParam, SMTO_ABORTIFHUNG, ANSWER_BUDGET_MS - spent, &answer) == 0) {
        link.lost = true;
        return 0;
    }
    return static_cast<LRESULT>(answer);
}
