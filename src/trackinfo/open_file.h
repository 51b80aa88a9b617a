#pragma once

#include <windows.h>

// Opens a file the player writes, for reading only; INVALID_HANDLE_VALUE when it cannot be opened
// (missing, a folder) or when what the path names is no disk file. A pipe, a console or a device
// could hold a read for good, so only a disk file is ever read.
HANDLE OpenToRead(const char* path);

// Closes a file opened in a call on every way out of it.
struct FileCloser {
    HANDLE handle;
    ~FileCloser() { CloseHandle(handle); }
};
