// Calling an exported routine the way a host does, through a 1024-byte buffer followed by poisoned
// guard bytes, and seeing whether anything was written past the host's 1024 bytes. Shared by the
// native tests and the tests of the real DLL under Wine.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

typedef int(WINAPI* CommandFn)(DWORD, DWORD, char*, DWORD, DWORD, DWORD);

constexpr size_t HOST_BUFFER = 1024;
constexpr unsigned char POISON = 0xA5;

struct CallResult {
    int result;
    std::string answer;
    bool guardIntact; // nothing written past the host's 1024 bytes
};

// Calls `fn` with a buffer holding `text` (at most 1023 characters).
inline CallResult CallCommand(CommandFn fn, const std::string& text = std::string())
{
    std::vector<char> buffer(HOST_BUFFER + 64, static_cast<char>(POISON));
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    int result = fn(7, 7, buffer.data(), 7, 7, 7);
    CallResult call{result, std::string(buffer.data(), strnlen(buffer.data(), HOST_BUFFER)), true};
    for (size_t i = HOST_BUFFER; i < buffer.size(); ++i)
        call.guardIntact = call.guardIntact && static_cast<unsigned char>(buffer[i]) == POISON;
    return call;
}
