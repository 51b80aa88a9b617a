#include "settings_folder.h"

#include <windows.h>

#include <cstring>

#include "open_file.h"
#include "player_view.h"
#include "same_name.h"

namespace {

constexpr const char* SETTINGS_FILE = "paths.ini";
constexpr const char* SETTINGS_SECTION = "Winamp";
// The player reads m3udir first: it wins over inidir.
constexpr const char* FOLDER_KEYS[] = {"m3udir", "inidir"};
// Room kept after the folder for the playlist file names the caller appends.
constexpr size_t FILE_NAME_ROOM = 16;
constexpr size_t FOLDER_MAX = PATH_BUFFER - FILE_NAME_ROOM;
constexpr size_t VARIABLE_NAME_MAX = 255;
constexpr int CSIDL_DIGITS_MAX = 9;

typedef HRESULT(WINAPI* FolderPathFn)(HWND, int, HANDLE, DWORD, LPSTR);

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsBlankOrLineEnd(char c)
{
    return IsBlank(c) || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Characters of the root of `folder`: «C:\» or «\\server\share\»; 0 when it has none.
size_t RootLength(const char* folder)
{
    if (((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z')) && folder[1] == ':' &&
        folder[2] == '\\')
        return 3;
    if (folder[0] == '\\' && folder[1] == '\\') {
        const char* server = std::strchr(folder + 2, '\\');
        const char* share = server != nullptr ? std::strchr(server + 1, '\\') : nullptr;
        if (server != nullptr && server > folder + 2 && share != nullptr && share > server + 1)
            return static_cast<size_t>(share + 1 - folder);
    }
    return 0;
}

bool IsAbsolute(const char* path)
{
    return path[0] == '\\' || path[0] == '/' || (path[0] != '\0' && path[1] == ':');
}

bool Append(char (&out)[PATH_BUFFER], size_t& length, const char* text, size_t n)
{
    if (length + n >= FOLDER_MAX)
        return false;
    std::memcpy(out + length, text, n);
    length += n;
    out[length] = '\0';
    return true;
}

// SHGetFolderPathA from shell32 as the host has it loaded, or as the first call that needs it loads
// it. Shell32 is then pinned: it stays for the rest of the process, so that a host that loads and
// frees the module many times loads it once, and no call pays for loading and freeing it again.
bool SpecialFolder(int csidl, char (&path)[MAX_PATH])
{
    HMODULE shell = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "shell32.dll", &shell) &&
        (LoadLibraryA("shell32.dll") == nullptr ||
         !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "shell32.dll", &shell)))
        return false;
    FolderPathFn folderPath =
        reinterpret_cast<FolderPathFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathA")));
    path[0] = '\0';
    return folderPath != nullptr && folderPath(nullptr, csidl, nullptr, 0, path) == S_OK && path[0] != '\0';
}

// Appends the value of the environment variable `variable`, nothing when there is none; false when
// it does not fit. `got` is the value's length.
bool AppendEnvironment(char (&out)[PATH_BUFFER], size_t& length, const char* variable, DWORD& got)
{
    DWORD room = static_cast<DWORD>(FOLDER_MAX - length);
    got = GetEnvironmentVariableA(variable, out + length, room);
    if (got >= room)
        return false;
    length += got;
    out[length] = '\0';
    return true;
}

// Expands one %NAME% into `out`, as the player's process would; false when it does not fit.
bool AppendVariable(char (&out)[PATH_BUFFER], size_t& length, const char* name, size_t nameLength,
                    const char* program, bool playerIs64)
{
    size_t programLength = std::strlen(program);
    // The player sets these two in its own process before it expands its paths.
    if (SameName(name, nameLength, "WINAMP_PROGRAM_DIR"))
        return Append(out, length, program, programLength > 0 && program[programLength - 1] == '\\' ? programLength - 1
                                                                                                      : programLength);
    if (SameName(name, nameLength, "WINAMP_ROOT_DIR"))
        return Append(out, length, program, RootLength(program));
    if (nameLength == 0 || nameLength > VARIABLE_NAME_MAX)
        return true; // no such variable: nothing
    char variable[VARIABLE_NAME_MAX + 1];
    std::memcpy(variable, name, nameLength);
    variable[nameLength] = '\0';
    const char* inView = VariableFor(playerIs64, name, nameLength);
    DWORD got;
    return AppendEnvironment(out, length, inView != nullptr ? inView : variable, got);
}

// Expands one {N} into `out`, as the player's process would; false when there is no such folder or it
// does not fit.
bool AppendSpecialFolder(char (&out)[PATH_BUFFER], size_t& length, int csidl, bool playerIs64)
{
    FolderSource source = SpecialFolderFor(playerIs64, csidl);
    DWORD got;
    if (source.variable != nullptr)
        return AppendEnvironment(out, length, source.variable, got) && got > 0;
    char special[MAX_PATH];
    return SpecialFolder(source.csidl, special) && Append(out, length, special, std::strlen(special));
}

} // namespace

const char* SettingsText(const char* bytes, size_t& size, char (&converted)[SETTINGS_READ_MAX])
{
    if (size < 2 || std::memcmp(bytes, "\xFF\xFE", 2) != 0)
        return bytes;
    // No look-alikes: a folder that does not fit the code page names another folder, or none.
    const char unfit[] = {UNFIT_CHARACTER, '\0'};
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const WCHAR*>(bytes + 2),
                                static_cast<int>((size - 2) / 2), converted, SETTINGS_READ_MAX, unfit, nullptr);
    size = n > 0 ? static_cast<size_t>(n) : 0;
    return converted;
}

Setting FindSettingsValue(const char* text, size_t size, const char* key, char (&value)[PATH_BUFFER])
{
    const char* end = text + size;
    if (size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        text += 3;
    bool inSection = false;
    for (const char* line = text; line < end;) {
        const char* next = static_cast<const char*>(std::memchr(line, '\n', static_cast<size_t>(end - line)));
        const char* a = line;
        const char* b = next != nullptr ? next : end;
        line = next != nullptr ? next + 1 : end;
        while (a < b && IsBlankOrLineEnd(*a))
            ++a;
        while (b > a && IsBlankOrLineEnd(b[-1]))
            --b;
        if (a < b && *a == '[') {
            const char* close = static_cast<const char*>(std::memchr(a, ']', static_cast<size_t>(b - a)));
            inSection = close != nullptr && SameName(a + 1, static_cast<size_t>(close - a - 1), SETTINGS_SECTION);
            continue;
        }
        const char* equals = static_cast<const char*>(std::memchr(a, '=', static_cast<size_t>(b - a)));
        if (!inSection || equals == nullptr)
            continue;
        const char* keyEnd = equals;
        while (keyEnd > a && IsBlank(keyEnd[-1]))
            --keyEnd;
        if (!SameName(a, static_cast<size_t>(keyEnd - a), key))
            continue;
        const char* v = equals + 1;
        while (v < b && IsBlank(*v))
            ++v;
        if (b - v >= 2 && *v == '"' && b[-1] == '"') {
            ++v;
            --b;
        }
        size_t n = static_cast<size_t>(b - v);
        if (n >= PATH_BUFFER || std::memchr(v, UNFIT_CHARACTER, n) != nullptr)
            return Setting::Unusable;
        std::memcpy(value, v, n);
        value[n] = '\0';
        // An empty value is no value, as the profile functions have it.
        return n > 0 ? Setting::Found : Setting::Missing;
    }
    return Setting::Missing;
}

bool ExpandSettingsValue(const char* value, const char* program, bool playerIs64, char (&folder)[PATH_BUFFER])
{
    size_t length = 0;
    folder[0] = '\0';
    for (const char* p = value; *p != '\0';) {
        if (*p == '%') {
            if (const char* close = std::strchr(p + 1, '%')) {
                if (!AppendVariable(folder, length, p + 1, static_cast<size_t>(close - p - 1), program, playerIs64))
                    return false;
                p = close + 1;
                continue;
            }
        } else if (*p == '{') {
            const char* q = p + 1;
            int csidl = 0;
            for (; IsDigit(*q); ++q)
                if (q - p <= CSIDL_DIGITS_MAX)
                    csidl = csidl * 10 + (*q - '0');
            if (q > p + 1 && *q == '}') {
                if (q - p - 1 > CSIDL_DIGITS_MAX || !AppendSpecialFolder(folder, length, csidl, playerIs64))
                    return false;
                p = q + 1;
                continue;
            }
        }
        // Anything else, a lone "%" or "{" included, is the path's own text.
        if (!Append(folder, length, p, 1))
            return false;
        ++p;
    }

    size_t start = 0;
    while (IsBlank(folder[start]))
        ++start;
    while (length > start && (IsBlank(folder[length - 1]) || folder[length - 1] == '\\'))
        --length;
    if (length == start)
        return false;
    length -= start;
    std::memmove(folder, folder + start, length);
    folder[length] = '\0';
    if (!IsAbsolute(folder)) {
        size_t programLength = std::strlen(program);
        if (programLength + length >= FOLDER_MAX)
            return false;
        std::memmove(folder + programLength, folder, length + 1);
        std::memcpy(folder, program, programLength);
    }
    return true;
}

bool ReadSettingsFolder(const char* program, bool playerIs64, char (&folder)[PATH_BUFFER], SettingsChoice* choice)
{
    char settings[PATH_BUFFER];
    size_t programLength = std::strlen(program);
    if (programLength + std::strlen(SETTINGS_FILE) >= PATH_BUFFER)
        return false;
    std::memcpy(settings, program, programLength);
    std::strcpy(settings + programLength, SETTINGS_FILE);

    // Read here rather than through the profile functions, which cost Wine near half a millisecond a
    // value even for a file this small.
    alignas(WCHAR) char bytes[SETTINGS_READ_MAX];
    size_t size = 0;
    HANDLE file = OpenToRead(settings);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    {
        FileCloser closer{file};
        // A disk file gives all that is asked in one read, but at its end.
        DWORD got = 0;
        if (ReadFile(file, bytes, sizeof bytes, &got, nullptr))
            size = got;
    }
    char converted[SETTINGS_READ_MAX];
    const char* text = SettingsText(bytes, size, converted);

    char value[PATH_BUFFER];
    for (const char* key : FOLDER_KEYS) {
        switch (FindSettingsValue(text, size, key, value)) {
        case Setting::Missing:
            continue;
        case Setting::Unusable:
            return false;
        case Setting::Found:
            if (choice != nullptr) {
                choice->key = key;
                std::strcpy(choice->value, value);
            }
            return ExpandSettingsValue(value, program, playerIs64, folder);
        }
    }
    return false;
}
