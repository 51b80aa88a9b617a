// Calling an exported routine the way a host does, through a 1024-byte buffer followed by poisoned
// guard bytes, and seeing whether anything was written past the host's 1024 bytes. Shared by the
// native tests and the tests of the real DLL under Wine.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

typedef int(WINAPI* CommandFn)(DWORD, DWORD, void*, DWORD, DWORD, DWORD);

constexpr size_t HOST_BUFFER = 1024;
constexpr unsigned char POISON = 0xA5;

struct CallResult {
    int result;
    std::string answer; // for a Unicode host, converted to the ANSI code page as the 8-bit one would be
    bool guardIntact;   // nothing written past the host's 1024 bytes (2048 for a Unicode host)
    std::basic_string<WCHAR> wide; // a Unicode host's answer as it came
};

// Calls `fn` with a buffer holding `text` (at most 1023 characters).
inline CallResult CallCommand(CommandFn fn, const std::string& text = std::string())
{
    std::vector<char> buffer(HOST_BUFFER + 64, static_cast<char>(POISON));
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    int result = fn(7, 7, buffer.data(), 7, 7, 7);
    CallResult call{result, std::string(buffer.data(), strnlen(buffer.data(), HOST_BUFFER)), true, {}};
    for (size_t i = HOST_BUFFER; i < buffer.size(); ++i)
        call.guardIntact = call.guardIntact && static_cast<unsigned char>(buffer[i]) == POISON;
    return call;
}

// The same for a Unicode host whose buffer holds `bytes`: `text` (ANSI) goes in as UTF-16.
inline CallResult CallCommandWide(CommandFn fn, const std::string& text, size_t bytes)
{
    std::vector<char> buffer(bytes + 64, static_cast<char>(POISON));
    WCHAR* units = reinterpret_cast<WCHAR*>(buffer.data());
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, units, static_cast<int>(bytes / sizeof(WCHAR)));
    if (n == 0)
        units[0] = 0;
    int result = fn(7, 7, buffer.data(), 7, 7, 7);
    CallResult call{result, std::string(), true, std::basic_string<WCHAR>()};
    for (size_t i = 0; i < bytes / sizeof(WCHAR) && units[i] != 0; ++i)
        call.wide += units[i];
    std::vector<char> ansi(call.wide.size() * 2 + 1);
    if (WideCharToMultiByte(CP_ACP, 0, call.wide.c_str(), -1, ansi.data(), static_cast<int>(ansi.size()), nullptr,
                            nullptr) > 0)
        call.answer = ansi.data();
    for (size_t i = bytes; i < buffer.size(); ++i)
        call.guardIntact = call.guardIntact && static_cast<unsigned char>(buffer[i]) == POISON;
    return call;
}
