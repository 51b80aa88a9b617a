// paths.ini read and decoded into UTF-16, as the player's profile functions decode it.
#pragma once

#include <windows.h>

#include <cstddef>

// paths.ini is a few lines; what lies past this many bytes is not read.
constexpr size_t SETTINGS_READ_MAX = 16 * 1024;

// The text of `size` bytes of paths.ini, into `text`; its length in units. Saved as "Unicode" it is
// UTF-16 (little-endian, after a byte-order mark); after a UTF-8 byte-order mark, UTF-8; anything else
// is 8-bit text in the ANSI code page.
size_t SettingsText(const char* bytes, size_t size, WCHAR (&text)[SETTINGS_READ_MAX]);

enum class SettingsFile {
    Missing,    // no such file: the player's folders are the program folder
    Read,
    Unreadable, // there, but it cannot be read (held by another program, a folder, no disk file)
};

// Reads paths.ini at `path` into `text`, `length` units; with Unreadable, `error` says why.
SettingsFile ReadSettingsFile(const WCHAR* path, WCHAR (&text)[SETTINGS_READ_MAX], size_t& length, DWORD& error);
