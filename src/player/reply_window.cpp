#include "reply_window.h"

#include <cstring>

#include "messages.h"

namespace {

// The system's class, spelt unit by unit so that it reads the same in every build.
const WCHAR STATIC_CLASS[] = {'S', 'T', 'A', 'T', 'I', 'C', 0};

LRESULT CALLBACK ReplyProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ReplyWait* wait = reinterpret_cast<ReplyWait*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (wait == nullptr)
        return DefWindowProcW(window, msg, wParam, lParam);
    if (msg == WM_COPYDATA && lParam != 0 && reinterpret_cast<HWND>(wParam) == wait->player && wait->expected != 0) {
        const COPYDATASTRUCT* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (copy->dwData == wait->expected) {
            // No more than it holds, whole units only; a text without its zero gets one.
            size_t units = copy->lpData != nullptr ? copy->cbData / sizeof(WCHAR) : 0;
            if (units > wait->units - 1)
                units = wait->units - 1;
            std::memcpy(wait->text, copy->lpData, units * sizeof(WCHAR));
            wait->text[units] = 0;
            wait->expected = 0;
            wait->replied = true;
            return TRUE;
        }
    }
    return CallWindowProcW(wait->systemProc, window, msg, wParam, lParam);
}

} // namespace

HWND OpenReplyWindow(ReplyWait& wait, HWND player)
{
    wait = {player, 0, nullptr, 0, false, nullptr};
    HWND window = CreateWindowExW(0, STATIC_CLASS, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (window == nullptr)
        return nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&wait));
    wait.systemProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ReplyProc)));
    if (wait.systemProc == nullptr) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

void CloseReplyWindow(HWND window)
{
    if (window != nullptr)
        DestroyWindow(window);
}

LRESULT RequestReply(PlayerLink& player, HWND window, ReplyWait& wait, ULONG_PTR request, const void* data,
                     DWORD bytes, WCHAR* text, size_t units)
{
    text[0] = 0;
    wait.expected = request;
    wait.text = text;
    wait.units = units;
    wait.replied = false;
    LRESULT answer = CopyToPlayer(player, request, data, bytes, window);
    // A reply that comes late, from a player that answered after the wait, is not taken.
    wait.expected = 0;
    return answer;
}
