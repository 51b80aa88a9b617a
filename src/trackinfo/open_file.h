#pragma once

#include <windows.h>

// Opens a file the player writes, for reading only, sharing it so that the player may rewrite it
// meanwhile. INVALID_HANDLE_VALUE when it cannot be opened (missing, or a folder).
inline HANDLE OpenToRead(const char* path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Closes a file opened in a call on every way out of it.
struct FileCloser {
    HANDLE handle;
    ~FileCloser() { CloseHandle(handle); }
};
