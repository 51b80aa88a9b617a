// Starting and stopping the stand-in player program from a Win32 test or benchmark.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "../../src/player/messages.h"
#include "../../tools/player/player_window.h"

// The window of the player's class that the process `id` made, or null.
inline HWND PlayerWindowOf(DWORD id)
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, PLAYER_WINDOW_CLASS, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == id)
            return window;
    }
    return nullptr;
}

// Starts PROGRAM with ARGUMENTS and waits (up to 15 s) until its window is there and records
// messages (a visible one after the desktop's first read of its title); null if not.
inline HWND StartPlayerProcessW(const std::wstring& program, const std::wstring& arguments, PROCESS_INFORMATION* process)
{
    std::wstring command = L"\"" + program + L"\" " + arguments;
    std::vector<WCHAR> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, process))
        return nullptr;
    HWND window = nullptr;
    for (int i = 0; i < 300 && (window = PlayerWindowOf(process->dwProcessId)) == nullptr; ++i)
        Sleep(50);
    for (int i = 0; window != nullptr && i < 100 && SendMessageA(window, WM_USER, 0, CTL_SETTLED) == 0; ++i)
        Sleep(50);
    return window;
}

inline HWND StartPlayerProcess(const std::string& program, const std::string& arguments, PROCESS_INFORMATION* process)
{
    auto wide = [](const std::string& ansi) {
        std::vector<WCHAR> out(ansi.size() + 1);
        MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, out.data(), static_cast<int>(out.size()));
        return std::wstring(out.data());
    };
    return StartPlayerProcessW(wide(program), wide(arguments), process);
}

inline void StopPlayerProcess(HWND window, PROCESS_INFORMATION* process)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process->hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process->hProcess, 1);
    CloseHandle(process->hProcess);
    CloseHandle(process->hThread);
}
