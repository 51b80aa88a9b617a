// Closes what a call opened on every way out of it: a file, a registry key, a process.
#pragma once

#include <windows.h>

template <typename Handle, void (*Close)(Handle)>
struct Closer {
    Handle handle;
    explicit Closer(Handle opened) : handle(opened) {}
    ~Closer() { Close(handle); }
    Closer(const Closer&) = delete;
    Closer& operator=(const Closer&) = delete;
};

inline void CloseHandleOf(HANDLE handle)
{
    CloseHandle(handle);
}

inline void CloseKeyOf(HKEY key)
{
    RegCloseKey(key);
}

using FileCloser = Closer<HANDLE, CloseHandleOf>;
// A process that could not be opened is null, and there is nothing to close.
inline void CloseProcessOf(HANDLE process)
{
    if (process != nullptr)
        CloseHandle(process);
}

using ProcessCloser = Closer<HANDLE, CloseProcessOf>;
using KeyCloser = Closer<HKEY, CloseKeyOf>;
