#include "settings_value.h"

#include <cstring>

#include "../text.h"
#include "player_view.h"
#include "same_name.h"
#include "shell_folder.h"

namespace {

constexpr size_t FOLDER_MAX = PATH_BUFFER - FILE_NAME_ROOM;
constexpr size_t VARIABLE_NAME_MAX = 255;
constexpr int CSIDL_DIGITS_MAX = 9;

bool IsBlank(WCHAR c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(WCHAR c)
{
    return c >= '0' && c <= '9';
}

bool IsLetter(WCHAR c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Characters of the root of `folder`: «C:\» or «\\server\share\»; 0 when it has none.
size_t RootLength(const WCHAR* folder)
{
    if (IsLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\')
        return 3;
    if (folder[0] == '\\' && folder[1] == '\\') {
        const WCHAR* server = FindFirst(folder + 2, static_cast<WCHAR>('\\'));
        const WCHAR* share = server != nullptr ? FindFirst(server + 1, static_cast<WCHAR>('\\')) : nullptr;
        if (server != nullptr && server > folder + 2 && share != nullptr && share > server + 1)
            return static_cast<size_t>(share + 1 - folder);
    }
    return 0;
}

bool IsAbsolute(const WCHAR* path)
{
    return path[0] == '\\' || path[0] == '/' || (path[0] != 0 && path[1] == ':');
}

bool Append(WCHAR (&out)[PATH_BUFFER], size_t& length, const WCHAR* text, size_t n)
{
    if (length + n >= FOLDER_MAX)
        return false;
    std::memcpy(out + length, text, n * sizeof(WCHAR));
    length += n;
    out[length] = 0;
    return true;
}

// Appends the value of the environment variable `variable`, nothing when there is none; false when
// it does not fit. `got` is the value's length.
bool AppendEnvironment(WCHAR (&out)[PATH_BUFFER], size_t& length, const WCHAR* variable, DWORD& got)
{
    DWORD room = static_cast<DWORD>(FOLDER_MAX - length);
    got = GetEnvironmentVariableW(variable, out + length, room);
    if (got >= room)
        return false;
    length += got;
    out[length] = 0;
    return true;
}

// The same for a variable named in ASCII.
bool AppendEnvironment(WCHAR (&out)[PATH_BUFFER], size_t& length, const char* variable, DWORD& got)
{
    WCHAR name[VARIABLE_NAME_MAX + 1];
    size_t n = 0;
    for (; variable[n] != '\0' && n < VARIABLE_NAME_MAX; ++n)
        name[n] = static_cast<WCHAR>(static_cast<unsigned char>(variable[n]));
    name[n] = 0;
    return AppendEnvironment(out, length, name, got);
}

// Expands one %NAME%, as the player's process would; false when it does not fit.
bool AppendVariable(WCHAR (&out)[PATH_BUFFER], size_t& length, const WCHAR* name, size_t nameLength, const WCHAR* program, bool playerIs64)
{
    size_t programLength = TextLength(program);
    // The player sets these two in its own process before it expands its paths.
    if (SameName(name, nameLength, "WINAMP_PROGRAM_DIR"))
        return Append(out, length, program,
                      programLength > 0 && program[programLength - 1] == '\\' ? programLength - 1 : programLength);
    if (SameName(name, nameLength, "WINAMP_ROOT_DIR"))
        return Append(out, length, program, RootLength(program));
    if (nameLength == 0 || nameLength > VARIABLE_NAME_MAX)
        return true; // no such variable: nothing
    DWORD got;
    if (const char* inView = VariableFor(playerIs64, name, nameLength))
        return AppendEnvironment(out, length, inView, got);
    WCHAR variable[VARIABLE_NAME_MAX + 1];
    std::memcpy(variable, name, nameLength * sizeof(WCHAR));
    variable[nameLength] = 0;
    return AppendEnvironment(out, length, variable, got);
}

// Expands one {N}, as the player's process would.
Expansion AppendSpecialFolder(WCHAR (&out)[PATH_BUFFER], size_t& length, int csidl, bool playerIs64)
{
    FolderSource source = SpecialFolderFor(playerIs64, csidl);
    DWORD got = 0;
    if (source.variable != nullptr) {
        if (!AppendEnvironment(out, length, source.variable, got))
            return Expansion::TooLong;
        return got > 0 ? Expansion::Done : Expansion::NoSuchFolder;
    }
    WCHAR special[MAX_PATH];
    if (!SpecialFolder(source.csidl, special))
        return Expansion::NoSuchFolder;
    return Append(out, length, special, TextLength(special)) ? Expansion::Done : Expansion::TooLong;
}

} // namespace

Expansion ExpandSettingsValue(const WCHAR* value, const WCHAR* program, bool playerIs64, WCHAR (&folder)[PATH_BUFFER])
{
    size_t length = 0;
    folder[0] = 0;
    for (const WCHAR* p = value; *p != 0;) {
        if (*p == '%') {
            if (const WCHAR* close = FindFirst(p + 1, static_cast<WCHAR>('%'))) {
                if (!AppendVariable(folder, length, p + 1, static_cast<size_t>(close - p - 1), program, playerIs64))
                    return Expansion::TooLong;
                p = close + 1;
                continue;
            }
        } else if (*p == '{') {
            const WCHAR* q = p + 1;
            int csidl = 0;
            for (; IsDigit(*q); ++q)
                if (q - p <= CSIDL_DIGITS_MAX)
                    csidl = csidl * 10 + (*q - '0');
            if (q > p + 1 && *q == '}') {
                if (q - p - 1 > CSIDL_DIGITS_MAX)
                    return Expansion::NoSuchFolder;
                Expansion special = AppendSpecialFolder(folder, length, csidl, playerIs64);
                if (special != Expansion::Done)
                    return special;
                p = q + 1;
                continue;
            }
        }
        // Anything else, a lone "%" or "{" included, is the path's own text.
        if (!Append(folder, length, p, 1))
            return Expansion::TooLong;
        ++p;
    }

    // Trimmed in UTF-16, where a backslash is always a character of its own.
    size_t start = 0;
    while (IsBlank(folder[start]))
        ++start;
    while (length > start && (IsBlank(folder[length - 1]) || folder[length - 1] == '\\'))
        --length;
    if (length == start) {
        folder[0] = 0;
        return Expansion::Empty;
    }
    length -= start;
    std::memmove(folder, folder + start, length * sizeof(WCHAR));
    folder[length] = 0;
    if (!IsAbsolute(folder)) {
        size_t programLength = TextLength(program);
        if (programLength + length >= FOLDER_MAX)
            return Expansion::TooLong;
        std::memmove(folder + programLength, folder, (length + 1) * sizeof(WCHAR));
        std::memcpy(folder, program, programLength * sizeof(WCHAR));
    }
    return Expansion::Done;
}
