#include "open_file.h"

HANDLE OpenToRead(const WCHAR* path)
{
    // Sharing everything lets the player rewrite or delete the file meanwhile, and keeps the open
    // from ever waiting on another program's handle. Without a recall, a file moved to offline
    // storage is not fetched back inside the call.
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_NO_RECALL, nullptr);
    if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        SetLastError(ERROR_BAD_DEVICE);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}
