#include "player_memory.h"

#include "player_process.h"

namespace {

constexpr uint64_t PAGE_BYTES = 4096;

} // namespace

PlayerMemory OpenPlayerMemory(HWND window, DWORD rights)
{
    PlayerMemory memory{nullptr, ERROR_INVALID_WINDOW_HANDLE, false};
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id == 0)
        return memory;
    memory.process = OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION | rights, FALSE, id);
    if (memory.process == nullptr) // Windows XP knows only the full right
        memory.process = OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_INFORMATION | rights, FALSE, id);
    memory.error = memory.process == nullptr ? GetLastError() : 0;
    if (memory.process != nullptr)
        memory.is64 = ProcessIs64(memory.process);
    return memory;
}

bool PointersFit(bool moduleIs64, bool playerIs64)
{
    return moduleIs64 || !playerIs64;
}

bool PointersFit(const PlayerMemory& memory)
{
    return memory.process != nullptr && PointersFit(MODULE_IS_64_BIT, memory.is64);
}

uint64_t PlayerAddress(LRESULT answer, bool playerIs64)
{
    uint64_t address = playerIs64 ? static_cast<uint64_t>(answer) : static_cast<uint32_t>(answer);
    return address < LOWEST_POINTER ? 0 : address;
}

bool ReadPlayerText(const PlayerMemory& memory, uint64_t address, WCHAR* text, size_t units)
{
    if (units == 0)
        return false;
    text[0] = 0;
    if (address == 0 || !PointersFit(memory))
        return false;
    BYTE* out = reinterpret_cast<BYTE*>(text);
    size_t want = units * sizeof(WCHAR);
    size_t got = 0;
    size_t scanned = 0; // units looked at for the zero
    while (got < want) {
        uint64_t at = address + got;
        size_t chunk = static_cast<size_t>(PAGE_BYTES - at % PAGE_BYTES);
        if (chunk > want - got)
            chunk = want - got;
        SIZE_T read = 0;
        if (!ReadProcessMemory(memory.process, reinterpret_cast<LPCVOID>(static_cast<uintptr_t>(at)), out + got,
                               chunk, &read) ||
            read != chunk) {
            text[0] = 0;
            return false;
        }
        got += chunk;
        for (; scanned < got / sizeof(WCHAR); ++scanned)
            if (text[scanned] == 0)
                return true;
    }
    text[units - 1] = 0;
    return true;
}
