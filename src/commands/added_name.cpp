#include "added_name.h"

#include "../trackinfo/text.h"

namespace {

bool IsLetter(WCHAR c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// «scheme://», the scheme at least two characters long so that no drive letter passes for one.
bool IsUrl(const WCHAR* name)
{
    if (!IsLetter(name[0]))
        return false;
    size_t n = 1;
    while (IsLetter(name[n]) || (name[n] >= '0' && name[n] <= '9') || name[n] == '+' || name[n] == '-' ||
           name[n] == '.')
        ++n;
    return n >= 2 && name[n] == ':' && name[n + 1] == '/' && name[n + 2] == '/';
}

// The host's text in UTF-16, no further than the host's buffer holds.
bool HostUnits(const HostText& text, WCHAR (&units)[PATH_BUFFER])
{
    size_t n = HostTextUnits(text);
    if (text.Wide()) {
        if (n > PATH_BUFFER - 1)
            n = PATH_BUFFER - 1;
        for (size_t i = 0; i < n; ++i)
            units[i] = text.Units()[i];
        units[n] = 0;
        return true;
    }
    int got = n == 0 ? 0
                     : MultiByteToWideChar(CP_ACP, 0, text.Narrow(), static_cast<int>(n), units,
                                           static_cast<int>(PATH_BUFFER) - 1);
    if (n > 0 && got == 0)
        return false;
    units[got] = 0;
    return true;
}

} // namespace

bool AddedName(const HostText& text, WCHAR (&name)[PATH_BUFFER])
{
    WCHAR units[PATH_BUFFER];
    name[0] = 0;
    if (!HostUnits(text, units))
        return false;
    size_t start = 0;
    size_t end = TextLength(units);
    while (start < end && IsBlank(units[start]))
        ++start;
    while (end > start && IsBlank(units[end - 1]))
        --end;
    if (end - start >= 2 && units[start] == '"' && units[end - 1] == '"') {
        ++start;
        --end;
    }
    if (start == end)
        return false;
    units[end] = 0;
    const WCHAR* given = units + start;
    if (IsUrl(given)) {
        for (size_t i = 0; i <= end - start; ++i)
            name[i] = given[i];
        return true;
    }
    DWORD n = GetFullPathNameW(given, PATH_BUFFER, name, nullptr);
    if (n == 0 || n >= PATH_BUFFER) {
        name[0] = 0;
        return false;
    }
    return true;
}
