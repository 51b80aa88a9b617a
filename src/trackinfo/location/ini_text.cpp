#include "ini_text.h"

#include <cstring>

#include "same_name.h"

namespace {

constexpr const char* SETTINGS_SECTION = "Winamp";

bool IsBlank(WCHAR c)
{
    return c == ' ' || c == '\t';
}

bool IsBlankOrLineEnd(WCHAR c)
{
    return IsBlank(c) || c == '\r';
}

const WCHAR* FindIn(const WCHAR* a, const WCHAR* b, WCHAR c)
{
    for (; a < b; ++a)
        if (*a == c)
            return a;
    return nullptr;
}

} // namespace

Setting FindSettingsValue(const WCHAR* text, size_t size, const char* key, WCHAR (&value)[PATH_BUFFER])
{
    const WCHAR* end = text + size;
    bool inSection = false;
    for (const WCHAR* line = text; line < end;) {
        const WCHAR* next = FindIn(line, end, '\n');
        const WCHAR* a = line;
        const WCHAR* b = next != nullptr ? next : end;
        line = next != nullptr ? next + 1 : end;
        while (a < b && IsBlankOrLineEnd(*a))
            ++a;
        while (b > a && IsBlankOrLineEnd(b[-1]))
            --b;
        if (a < b && *a == '[') {
            const WCHAR* close = FindIn(a, b, ']');
            inSection = close != nullptr && SameName(a + 1, static_cast<size_t>(close - a - 1), SETTINGS_SECTION);
            continue;
        }
        const WCHAR* equals = FindIn(a, b, '=');
        if (!inSection || equals == nullptr)
            continue;
        const WCHAR* keyEnd = equals;
        while (keyEnd > a && IsBlank(keyEnd[-1]))
            --keyEnd;
        if (!SameName(a, static_cast<size_t>(keyEnd - a), key))
            continue;
        const WCHAR* v = equals + 1;
        while (v < b && IsBlank(*v))
            ++v;
        if (b - v >= 2 && *v == '"' && b[-1] == '"') {
            ++v;
            --b;
        }
        size_t n = static_cast<size_t>(b - v);
        if (n >= PATH_BUFFER)
            return Setting::TooLong;
        std::memcpy(value, v, n * sizeof(WCHAR));
        value[n] = 0;
        // An empty value is no value, as the profile functions have it.
        return n > 0 ? Setting::Found : Setting::Missing;
    }
    return Setting::Missing;
}
