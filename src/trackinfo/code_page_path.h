// Paths handed to the module's 8-bit file calls: exactly in the ANSI code page, or not at all. A
// best-fit look-alike ("Lódz" for "Łódź") names another file or folder.
#pragma once

#include <windows.h>

// `wide` in the ANSI code page, with its terminator, into `out` (`size` bytes); its length, or -1
// when it does not fit exactly. Where the ANSI code page is UTF-8, every character fits.
int ExactlyInCodePage(const WCHAR* wide, char* out, int size);

// The short (8.3) form of the existing `path` into `out` as ExactlyInCodePage gives it; its length,
// or -1 when there is none that fits.
int ShortPathInCodePage(const WCHAR* path, char* out, int size);
