// Where the player keeps its settings and playlist files when its installation says so: paths.ini
// beside the program, section [Winamp], m3udir or else inidir.
#pragma once

#include <windows.h>

#include "path_buffer.h"

enum class SettingsFrom {
    ProgramFolder, // no paths.ini, or one that names neither key: the program folder
    Folder,        // the folder paths.ini names
    Unusable,      // paths.ini names a folder that cannot be worked out, or cannot be read
};

// What paths.ini said, for a user who wants to know why.
struct SettingsChoice {
    const char* key;          // the key taken; null when none was
    WCHAR value[PATH_BUFFER]; // its value as the file has it
    const char* why;          // with Unusable: what went wrong
    DWORD error;              // with an unreadable file: the system's error
};

// The playlist folder that paths.ini in `program` (the program folder, with its trailing backslash)
// names, without a trailing backslash, as the player's process sees it (`playerIs64`).
SettingsFrom ReadSettingsFolder(const WCHAR* program, bool playerIs64, WCHAR (&folder)[PATH_BUFFER],
                                SettingsChoice* choice = nullptr);
