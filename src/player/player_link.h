// Every message of one call goes through its link to the player, which keeps the call from waiting
// on a hung or busy player for longer than its budget.
#pragma once

#include <windows.h>

// How long one call may wait on the player in all, counted from the call's start.
constexpr DWORD ANSWER_BUDGET_MS = 2000;

struct PlayerLink {
    HWND window;  // the player window this call found
    DWORD start;  // GetTickCount() at the call's start
    bool lost;    // a message went unanswered or the budget ran out: nothing more is sent
    // Milliseconds from `start` that this link may wait in all: the whole budget, or a window's share
    // of it while the search asks several.
    DWORD budget = ANSWER_BUDGET_MS;
    // Why the first message that went unanswered failed, as the system said: 5 when it refused the
    // message (the player runs with more rights), 1400 for a window gone, 1460 for no answer in time.
    DWORD error = 0;
};

// How a message's text, if it carries any, is passed: the window title goes to a Unicode host in UTF-16.
enum MessageText { TEXT_ANSI, TEXT_UTF16 };

// Sends one message, waiting at most for what is left of the budget, and not at all on a window
// that the system reports as hung. An unanswered message reads as 0, as a failed send does.
LRESULT SendToPlayer(PlayerLink& link, UINT msg, WPARAM wParam, LPARAM lParam, MessageText text = TEXT_ANSI);
