// The player writes WINAMP.m3u in the ANSI code page, where a character that does not fit becomes
// "?" or a look-alike, and beside it WINAMP.m3u8 in UTF-8 with the same entries in the same order.
#pragma once

#include <windows.h>

#include "playlist_reader.h"

// When `line`, the entry at `position` of the playlist at `path`, names no existing file: the same
// entry of the UTF-8 playlist beside it, in UTF-16 and without its line end, if it is the one `line`
// stands for (converted to the ANSI code page, it equals `line`). False otherwise, and for a line that
// names a file on a network share, which is answered as the playlist gives it: asking about it could
// wait for the network's own time-out.
bool FindUnicodeEntry(const WCHAR* path, int position, const char* line, WCHAR (&entry)[LINE_BUFFER]);

// For a host that speaks only the ANSI code page: `entry`'s short (8.3) path, with a line feed, in
// place of `line`, when the file exists and its short path fits the code page; otherwise `line` stays.
void PreferShortPath(const WCHAR* entry, char (&line)[LINE_BUFFER]);
