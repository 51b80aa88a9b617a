#include "unicode_entry.h"

#include <cstring>
#include <initializer_list>

#include "code_page_path.h"
#include "location/path_buffer.h"
#include "text.h"

namespace {

// The line without its line end.
size_t NameLength(const char* line)
{
    size_t n = std::strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
        --n;
    return n;
}

// The same entry of the UTF-8 playlist beside the ANSI one, WINAMP.m3u8, without its line end; empty
// when none.
void ReadUtf8Entry(const WCHAR* path, int position, char (&entry)[LINE_BUFFER])
{
    entry[0] = '\0';
    WCHAR utf8Path[PATH_BUFFER];
    size_t length = TextLength(path);
    if (length + 2 > PATH_BUFFER)
        return;
    std::memcpy(utf8Path, path, length * sizeof(WCHAR));
    utf8Path[length] = '8';
    utf8Path[length + 1] = 0;
    ReadPlaylistEntry(utf8Path, position, entry, SKIP_BYTE_ORDER_MARK);
    entry[NameLength(entry)] = '\0';
}

// «\\server\share\...», or a drive letter whose device is a network redirector's: the DOS device
// names say so without asking the volume, where GetDriveType asks the mount manager (two thirds of a
// millisecond under Wine, on every call).
bool OnNetwork(const char* name)
{
    if ((name[0] == '\\' || name[0] == '/') && (name[1] == '\\' || name[1] == '/'))
        return true;
    if (name[0] == '\0' || name[1] != ':')
        return false;
    const char drive[] = {name[0], ':', '\0'};
    char device[MAX_PATH];
    if (QueryDosDeviceA(drive, device, MAX_PATH) == 0)
        return false;
    // Mapped shares are under \Device\Mup or a redirector (LanmanRedirector, WebDavRedirector, RdpDr
    // for a remote desktop's drives, the virtual machines' Rdr ones); «subst» onto a share is \??\UNC\.
    for (const char* network : {"\\Mup", "\\??\\UNC\\", "Redirector", "Rdr", "RdpDr"})
        if (std::strstr(device, network) != nullptr)
            return true;
    return false;
}

} // namespace

bool FindUnicodeEntry(const WCHAR* path, int position, const char* line, WCHAR (&wide)[LINE_BUFFER])
{
    size_t nameLength = NameLength(line);
    if (nameLength == 0)
        return false;
    char name[LINE_BUFFER];
    std::memcpy(name, line, nameLength);
    name[nameLength] = '\0';
    if (OnNetwork(name) || GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES)
        return false;

    char entry[LINE_BUFFER];
    ReadUtf8Entry(path, position, entry);
    if (entry[0] == '\0' || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, entry, -1, wide, LINE_BUFFER) == 0)
        return false;
    // The entry must be the one the ANSI line stands for, converted as the player converts it.
    char ansi[LINE_BUFFER];
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, LINE_BUFFER, nullptr, nullptr) != 0 &&
           std::strcmp(ansi, name) == 0;
}

void PreferShortPath(const WCHAR* entry, char (&line)[LINE_BUFFER])
{
    if (GetFileAttributesW(entry) == INVALID_FILE_ATTRIBUTES)
        return;
    // Room for the line feed that follows it.
    char shortAnsi[LINE_BUFFER];
    int shortLength = ShortPathInCodePage(entry, shortAnsi, LINE_MAX);
    if (shortLength < 0)
        return;
    std::memcpy(line, shortAnsi, static_cast<size_t>(shortLength));
    line[shortLength] = '\n';
    line[shortLength + 1] = '\0';
}
