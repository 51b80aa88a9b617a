// Starting and stopping the stand-in player program from a Win32 test or benchmark.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "../../src/player/messages.h"

// Starts PROGRAM with ARGUMENTS and waits (up to 15 s) until its window can be found; null if not.
inline HWND StartPlayerProcess(const std::string& program, const std::string& arguments, PROCESS_INFORMATION* process)
{
    std::string command = "\"" + program + "\" " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, process))
        return nullptr;
    HWND window = nullptr;
    for (int i = 0; i < 300 && (window = FindWindowA(PLAYER_WINDOW_CLASS, nullptr)) == nullptr; ++i)
        Sleep(50);
    return window;
}

inline void StopPlayerProcess(HWND window, PROCESS_INFORMATION* process)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process->hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process->hProcess, 1);
    CloseHandle(process->hProcess);
    CloseHandle(process->hThread);
}
