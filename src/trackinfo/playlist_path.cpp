#include "playlist_path.h"

#include <windows.h>

#include <cstring>

#include "settings_folder.h"

namespace {

constexpr const char* ASSOCIATION_KEY = "Winamp.File\\shell\\Play\\command";
constexpr const char* PLAYLIST_FILE = "WINAMP.m3u";
constexpr DWORD VALUE_CAPACITY = 2048;

struct KeyCloser {
    HKEY key;
    ~KeyCloser() { RegCloseKey(key); }
};

// The program path that the association's command line begins with, read into `buffer`; null when
// there is none.
const char* ReadAssociation(char (&buffer)[PATH_BUFFER])
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ASSOCIATION_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return nullptr;
    // The value reaches at most VALUE_CAPACITY bytes into the buffer; the rest is room for the path.
    DWORD size = VALUE_CAPACITY;
    LONG result;
    {
        KeyCloser closer{key};
        result = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
    }
    if (result != ERROR_SUCCESS || size > VALUE_CAPACITY)
        return nullptr;
    // The value may be stored without its terminating zero: read no further than the bytes returned.
    buffer[size] = '\0';
    // «"C:\Program Files\Winamp\winamp.exe" "%1"»: the program path is the first quote-separated token.
    char* program = buffer + std::strspn(buffer, "\"");
    program[std::strcspn(program, "\"")] = '\0';
    return program;
}

} // namespace

ProgramFrom FindProgramFolder(const PlayerProgram& program, char (&folder)[PATH_BUFFER])
{
    ProgramFrom from = ProgramFrom::Process;
    const char* path = program.path;
    if (!program.asked) {
        from = ProgramFrom::Association;
        path = ReadAssociation(folder);
    }
    const char* lastBackslash = path != nullptr ? std::strrchr(path, '\\') : nullptr;
    if (lastBackslash == nullptr) {
        folder[0] = '\0';
        return ProgramFrom::Nowhere;
    }
    size_t length = static_cast<size_t>(lastBackslash + 1 - path);
    std::memmove(folder, path, length);
    folder[length] = '\0';
    return from;
}

bool GetPlaylistPath(char (&path)[PATH_BUFFER], const PlayerProgram& program)
{
    path[0] = '\0';
    char programFolder[PATH_BUFFER];
    if (FindProgramFolder(program, programFolder) == ProgramFrom::Nowhere)
        return false;
    // The player keeps its playlist where its paths.ini says, when it says so.
    char settings[PATH_BUFFER];
    const char* folder = programFolder;
    if (ReadSettingsFolder(programFolder, program.is64, settings)) {
        folder = settings;
        std::strcat(settings, "\\");
    }
    size_t folderLength = std::strlen(folder);
    size_t nameLength = std::strlen(PLAYLIST_FILE);
    // Room for the UTF-8 playlist's name, one character longer, too.
    if (folderLength + nameLength + 2 > PATH_BUFFER)
        return false;
    std::memcpy(path, folder, folderLength);
    std::memcpy(path + folderLength, PLAYLIST_FILE, nameLength + 1);
    return true;
}
