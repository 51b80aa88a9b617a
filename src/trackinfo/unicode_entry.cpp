#include "unicode_entry.h"

#include <cstring>

namespace {

constexpr size_t WIDE_BUFFER = LINE_BUFFER;

// The line without its line end.
size_t NameLength(const char* line)
{
    size_t n = std::strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
        --n;
    return n;
}

// The same entry of the UTF-8 playlist beside the ANSI one, without its line end; empty when none.
void ReadUtf8Entry(char* path, int position, char (&entry)[LINE_BUFFER])
{
    size_t length = std::strlen(path);
    path[length] = '8';
    path[length + 1] = '\0';
    ReadPlaylistEntry(path, position, entry, SKIP_BYTE_ORDER_MARK);
    path[length] = '\0';
    entry[NameLength(entry)] = '\0';
}

} // namespace

void PreferUnicodeEntry(char* path, int position, char (&line)[LINE_BUFFER])
{
    size_t nameLength = NameLength(line);
    if (nameLength == 0)
        return;
    char name[LINE_BUFFER];
    std::memcpy(name, line, nameLength);
    name[nameLength] = '\0';
    if (GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES)
        return;

    char entry[LINE_BUFFER];
    ReadUtf8Entry(path, position, entry);
    WCHAR wide[WIDE_BUFFER];
    if (entry[0] == '\0' || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, entry, -1, wide, WIDE_BUFFER) == 0)
        return;
    // The entry must be the one the ANSI line stands for, converted as the player converts it.
    char ansi[LINE_BUFFER];
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, LINE_BUFFER, nullptr, nullptr) == 0 ||
        std::strcmp(ansi, name) != 0)
        return;
    if (GetFileAttributesW(wide) == INVALID_FILE_ATTRIBUTES)
        return;
    WCHAR shortWide[WIDE_BUFFER];
    DWORD shortLength = GetShortPathNameW(wide, shortWide, WIDE_BUFFER);
    if (shortLength == 0 || shortLength >= WIDE_BUFFER)
        return;
    // Without best-fit look-alikes: a short name that does not fit the code page names no file.
    BOOL lossy = FALSE;
    char shortAnsi[LINE_BUFFER];
    int shortAnsiLength = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, shortWide, -1, shortAnsi, LINE_MAX,
                                              nullptr, &lossy);
    if (shortAnsiLength == 0 || lossy)
        return;
    std::memcpy(line, shortAnsi, static_cast<size_t>(shortAnsiLength - 1));
    line[shortAnsiLength - 1] = '\n';
    line[shortAnsiLength] = '\0';
}
