#include "playlist_path.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr const char* ASSOCIATION_KEY = "Winamp.File\\shell\\Play\\command";
constexpr const char* PLAYLIST_FILE = "WINAMP.m3u";
constexpr DWORD VALUE_CAPACITY = 2048;

struct KeyCloser {
    HKEY key;
    ~KeyCloser() { RegCloseKey(key); }
};

} // namespace

bool GetPlaylistPath(char (&path)[PATH_BUFFER])
{
    path[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ASSOCIATION_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;

    // The value reaches at most VALUE_CAPACITY bytes into the buffer; the rest is room for the path.
    char buffer[PATH_BUFFER];
    DWORD size = VALUE_CAPACITY;
    LONG result;
    {
        KeyCloser closer{key};
        result = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
    }
    if (result != ERROR_SUCCESS || size > VALUE_CAPACITY)
        return false;
    // The value may be stored without its terminating zero: read no further than the bytes returned.
    buffer[size] = '\0';

    // «"C:\Program Files\Winamp\winamp.exe" "%1"»: the program path is the first quote-separated token.
    char* program = buffer + std::strspn(buffer, "\"");
    program[std::strcspn(program, "\"")] = '\0';
    char* lastBackslash = std::strrchr(program, '\\');
    if (lastBackslash == nullptr)
        return false;

    size_t folderLength = static_cast<size_t>(lastBackslash + 1 - program);
    size_t nameLength = std::strlen(PLAYLIST_FILE);
    if (folderLength + nameLength + 1 > PATH_BUFFER)
        return false;
    std::memcpy(path, program, folderLength);
    std::memcpy(path + folderLength, PLAYLIST_FILE, nameLength + 1);
    return true;
}
