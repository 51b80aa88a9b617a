// The host's text buffer and the width the host speaks in. Hosts that never make the load-time call
// pass 8-bit text in the ANSI code page; a Unicode host that makes it is answered in UTF-16.
#pragma once

#include <windows.h>

#include <atomic>

struct HostText {
    void* data;
    // 0 for an 8-bit host; otherwise the UTF-16 units an answer may hold, the zero not counted.
    int wideMax;

    bool Wide() const { return wideMax > 0; }
    char* Narrow() const { return static_cast<char*>(data); }
    WCHAR* Units() const { return static_cast<WCHAR*>(data); }
};

// The units of the host's text no further than its buffer holds: 1023 bytes for an 8-bit host.
inline size_t HostTextUnits(const HostText& text)
{
    size_t limit = text.Wide() ? static_cast<size_t>(text.wideMax) : 1023;
    size_t n = 0;
    if (text.Wide())
        while (n < limit && text.Units()[n] != 0)
            ++n;
    else
        while (n < limit && text.Narrow()[n] != '\0')
            ++n;
    return n;
}

// One unit of the host's text, 8-bit or UTF-16.
inline unsigned HostUnitAt(const HostText& text, size_t i)
{
    return text.Wide() ? static_cast<unsigned>(text.Units()[i]) : static_cast<unsigned char>(text.Narrow()[i]);
}

// Set once by the host's load-time call, before any command; 0 until then.
extern std::atomic<int> HostWideMax;

inline HostText TheHostText(void* data)
{
    return {data, HostWideMax.load(std::memory_order_relaxed)};
}
