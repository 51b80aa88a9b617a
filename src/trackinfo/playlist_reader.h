// Finds one entry of a playlist file by reading it in large blocks. The answer is what the C
// library's text mode would give line by line: CR LF arrives as LF, Ctrl-Z ends the file, and a line
// is read in pieces of at most LINE_MAX characters, of which only the first is ever answered.
#pragma once

#include <windows.h>

#include <cstddef>

// Characters of a line that are answered; the buffer that takes them needs one more.
constexpr size_t LINE_MAX = 4095;
constexpr size_t LINE_BUFFER = LINE_MAX + 1;

// Where a scan through a playlist stands between two blocks.
struct EntryScan {
    int position;     // the entry wanted, counted from 0
    int entries;      // lines begun so far that do not begin with "#"
    bool inLine;      // a line has begun and its line feed is still to come
    bool found;       // the line under way (or the last one) is the entry wanted
    bool done;        // nothing more needs to be read
    bool sse2;        // the processor can scan 16 bytes at a time
    size_t kept;      // bytes of the last line begun that `line` holds
    // The last line begun, as it stands in the file; two bytes more than an answer so that a CR LF
    // just past the answer's end can still be seen and turned into a LF.
    char line[LINE_MAX + 2];
};

// A scan for the entry at `position`; a negative one finds nothing and reads nothing.
void StartEntryScan(EntryScan& scan, int position);
// Goes through the next `size` bytes of the file.
void ScanPlaylistBlock(EntryScan& scan, const char* block, size_t size);
// Writes the answer into `line`: the entry wanted or, when the file ended first, the last line begun;
// empty when no line began. Line feed included when the line has one.
void FinishEntryScan(EntryScan& scan, char (&line)[LINE_BUFFER]);

// A UTF-8 playlist starts with a byte-order mark, which is not part of its first line.
constexpr bool SKIP_BYTE_ORDER_MARK = true;

// The whole reading of an open file; stops at the entry.
void ReadPlaylistEntry(HANDLE file, int position, char (&line)[LINE_BUFFER], bool skipByteOrderMark = false);
// The same of the file at `path`; an empty line when it cannot be opened.
void ReadPlaylistEntry(const WCHAR* path, int position, char (&line)[LINE_BUFFER], bool skipByteOrderMark = false);
