// The player writes WINAMP.m3u in the ANSI code page, where a character that does not fit becomes
// "?" or a look-alike, and beside it WINAMP.m3u8 in UTF-8 with the same entries in the same order.
#pragma once

#include "playlist_reader.h"

// When `line`, the entry at `position` of the playlist at `path`, names no existing file: the short
// (8.3) path of the file that the same entry of the UTF-8 playlist names, with a line feed, in place
// of `line`. Only when that entry is the one `line` stands for (converted to the ANSI code page, it
// equals `line`), the file exists and its short path fits the code page; otherwise `line` is left.
// `path` must have room for one more character.
void PreferUnicodeEntry(char* path, int position, char (&line)[LINE_BUFFER]);
