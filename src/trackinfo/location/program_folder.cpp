#include "program_folder.h"

#include <cstring>

#include "../closer.h"
#include "../text.h"

namespace {

constexpr const char* ASSOCIATION_KEY = "Winamp.File\\shell\\Play\\command";
constexpr DWORD VALUE_CAPACITY = 2048;

// The program path that the association's command line begins with, in `folder`; false when there
// is none. The value is 8-bit text in the ANSI code page, which UTF-16 holds whole.
bool ReadAssociation(WCHAR (&folder)[PATH_BUFFER])
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ASSOCIATION_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char value[VALUE_CAPACITY + 1];
    DWORD size = VALUE_CAPACITY;
    LONG result;
    {
        KeyCloser closer{key};
        result = RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(value), &size);
    }
    if (result != ERROR_SUCCESS || size > VALUE_CAPACITY)
        return false;
    // The value may be stored without its terminating zero: read no further than the bytes returned.
    value[size] = '\0';
    // «"C:\Program Files\Winamp\winamp.exe" "%1"»: the program path is the first quote-separated token.
    char* program = value + std::strspn(value, "\"");
    program[std::strcspn(program, "\"")] = '\0';
    return MultiByteToWideChar(CP_ACP, 0, program, -1, folder, PATH_BUFFER) > 0;
}

} // namespace

ProgramFrom FindProgramFolder(const PlayerProgram& program, WCHAR (&folder)[PATH_BUFFER])
{
    ProgramFrom from = ProgramFrom::Process;
    if (program.asked) {
        std::memcpy(folder, program.path, (TextLength(program.path) + 1) * sizeof(WCHAR));
    } else {
        from = ProgramFrom::Association;
        if (!ReadAssociation(folder))
            folder[0] = 0;
    }
    WCHAR* lastBackslash = FindLast(folder, static_cast<WCHAR>('\\'));
    if (lastBackslash == nullptr) {
        folder[0] = 0;
        return ProgramFrom::Nowhere;
    }
    lastBackslash[1] = 0;
    return from;
}
