#pragma once

#include <windows.h>

// The special folder with CSIDL `csidl`, from shell32 as the host has it loaded, or as the first call
// that needs it loads it; false when there is none.
bool SpecialFolder(int csidl, WCHAR (&path)[MAX_PATH]);
