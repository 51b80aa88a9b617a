// Where the player keeps its settings and playlist files when its installation says so: paths.ini
// beside the program, section [Winamp], m3udir or else inidir.
#pragma once

#include <windows.h>

#include "path_buffer.h"

// The key of paths.ini that named the folder, and its value as the file has it.
struct SettingsChoice {
    const char* key; // null when no key was taken
    char value[PATH_BUFFER];
};

// The playlist folder that paths.ini in `program` (the program folder, with its trailing backslash)
// names, without a trailing backslash, as the player's process sees it (`playerIs64`). False when
// there is no such file or value, or the value cannot be used: the playlist files are then in the
// program folder. With `choice`, the key taken and its value are kept there.
bool ReadSettingsFolder(const char* program, bool playerIs64, char (&folder)[PATH_BUFFER],
                        SettingsChoice* choice = nullptr);

enum class Setting {
    Missing,  // no such key in [Winamp], or an empty value
    Found,
    Unusable, // longer than a path can be, or holding a character that did not fit the code page
};

// paths.ini is a few lines; what lies past this is not read.
constexpr size_t SETTINGS_READ_MAX = 16 * 1024;

// Stands in the text for a UTF-16 character that has no exact match in the ANSI code page. No path
// holds it.
constexpr char UNFIT_CHARACTER = '\x01';

// The text of paths.ini's `bytes` in the ANSI code page, `size` bytes of it. Saved as "Unicode", the
// file is UTF-16 (little-endian, after a byte-order mark), which the player's profile functions read
// too: it is converted into `converted`, each character that does not fit exactly becoming
// UNFIT_CHARACTER, and `size` becomes the text's. Anything else is `bytes` as they stand. `bytes` is
// aligned for UTF-16.
const char* SettingsText(const char* bytes, size_t& size, char (&converted)[SETTINGS_READ_MAX]);

// The value of `key` in section [Winamp] of a paths.ini's text, as the profile functions read it:
// section and key without regard to case, blanks round the key and the value dropped, and a pair of
// double quotes round the value. The first one found counts.
Setting FindSettingsValue(const char* text, size_t size, const char* key, char (&value)[PATH_BUFFER]);

// One paths.ini value expanded as the player's own process expands it: %NAME% is the environment
// variable NAME (nothing when undefined), with WINAMP_PROGRAM_DIR and WINAMP_ROOT_DIR the program
// folder and its root; {N} is the special folder with CSIDL N; folders that a 32-bit and a 64-bit
// process see apart are the `player` process's; blanks and trailing backslashes are trimmed; a
// relative value is taken from the program folder. False when the result is empty, names an unknown
// special folder, or does not fit.
bool ExpandSettingsValue(const char* value, const char* program, bool playerIs64, char (&folder)[PATH_BUFFER]);
