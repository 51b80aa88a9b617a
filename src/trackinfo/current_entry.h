#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// Has the player write its playlist file and answers the line of the entry it names as current,
// line feed included when the line has one; empty when there is no such line.
std::string GetCurrentEntry(HWND player);

// The line of the entry at 0-based `position` in an open playlist file: lines beginning with "#"
// carry no entry. Past the last entry, the last line read. Reads no further than that entry.
std::string ReadPlaylistEntry(std::FILE* file, int position);
