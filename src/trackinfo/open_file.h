#pragma once

#include <windows.h>

#include "closer.h"

// Opens a file the player writes, for reading only; INVALID_HANDLE_VALUE when it cannot be opened
// (missing, a folder, held by another program) or when what the path names is no disk file: a pipe,
// a console or a device could hold a read for good, so only a disk file is ever read. After a
// failure the thread's last error says why, ERROR_BAD_DEVICE for a file that is no disk file.
HANDLE OpenToRead(const WCHAR* path);
