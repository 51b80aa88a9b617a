// The second way of talking to the player: a request whose answer comes back as a message. The module
// makes a message-only window on the calling thread for one call, hands it to the player in wParam,
// and the player's WM_COPYDATA reply reaches it while SendMessageTimeout waits, since the system
// hands a thread that waits so the messages sent to its windows.
#pragma once

#include <windows.h>

#include <cstddef>

#include "player_link.h"

// What the window waits for; it takes a reply only from `player`, with the dwData asked.
struct ReplyWait {
    HWND player;
    ULONG_PTR expected; // the request whose reply is awaited; 0 once one came
    WCHAR* text;        // where the reply goes, `units` with its zero
    size_t units;
    bool replied;
    WNDPROC systemProc; // the proc of the system class the window was made of
};

// A window of the system's "STATIC" class, subclassed for the call: a class the module registered
// would outlive a FreeLibrary and point into unloaded code. Null when it cannot be made.
HWND OpenReplyWindow(ReplyWait& wait, HWND player);
void CloseReplyWindow(HWND window);

// Sends the WM_COPYDATA `request` with `bytes` of `data` and the window in wParam; the reply's text,
// cut to `units` with its zero, in `text`. Answers what the player answered; `wait.replied` says
// whether a reply came.
LRESULT RequestReply(PlayerLink& player, HWND window, ReplyWait& wait, ULONG_PTR request, const void* data,
                     DWORD bytes, WCHAR* text, size_t units);
