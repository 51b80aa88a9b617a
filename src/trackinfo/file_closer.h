#pragma once

#include <windows.h>

// Closes a file opened in a call on every way out of it.
struct FileCloser {
    HANDLE handle;
    ~FileCloser() { CloseHandle(handle); }
};
