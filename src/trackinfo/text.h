// The few string operations the title answers need, over 8-bit and UTF-16 text alike.
#pragma once

#include <cstddef>

template <typename Char>
size_t TextLength(const Char* text)
{
    size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

// The first `c` in `text`, or null.
template <typename Char, typename Wanted>
Char* FindFirst(Char* text, Wanted c)
{
    for (; *text != 0; ++text)
        if (*text == c)
            return text;
    return nullptr;
}

// The last `c` in `text`, or null.
template <typename Char, typename Wanted>
Char* FindLast(Char* text, Wanted c)
{
    Char* last = nullptr;
    for (; *text != 0; ++text)
        if (*text == c)
            last = text;
    return last;
}

// Characters at the start of `text` that are `c`.
template <typename Char>
size_t SpanOf(const Char* text, Char c)
{
    size_t n = 0;
    while (text[n] != 0 && text[n] == c)
        ++n;
    return n;
}

// Characters at the start of `text` that are not `c`.
template <typename Char>
size_t SpanWithout(const Char* text, Char c)
{
    size_t n = 0;
    while (text[n] != 0 && text[n] != c)
        ++n;
    return n;
}

// Whether the `n` characters at `a` and at `b` are the same.
template <typename Char>
bool SameText(const Char* a, const Char* b, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

// Whether `text` begins with the `n` ASCII characters of `wanted`.
template <typename Char>
bool StartsWithAscii(const Char* text, const char* wanted, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (text[i] != static_cast<Char>(wanted[i]))
            return false;
    return true;
}

// The first place at or after `text` where the ASCII `wanted` stands, or null.
template <typename Char>
Char* FindAscii(Char* text, const char* wanted, size_t wantedLength)
{
    for (; *text != 0; ++text)
        if (StartsWithAscii(text, wanted, wantedLength))
            return text;
    return nullptr;
}

// The C locale's white space, in either width.
inline bool IsBlank(unsigned c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
