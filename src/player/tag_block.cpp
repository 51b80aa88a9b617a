#include "tag_block.h"

#include <cstdint>
#include <cstring>

#include "../trackinfo/text.h"

namespace {

// Writes `value` at `at` in the player's width.
void PutField(BYTE* at, uint64_t value, size_t width)
{
    if (width == 8) {
        std::memcpy(at, &value, 8);
        return;
    }
    uint32_t narrow = static_cast<uint32_t>(value);
    std::memcpy(at, &narrow, 4);
}

} // namespace

BlockFate AskTagThroughBlock(PlayerLink& player, const PlayerMemory& memory, const WCHAR* file, const WCHAR* name,
                             WCHAR (&tag)[FILE_TAG_UNITS])
{
    tag[0] = 0;
    const size_t width = memory.is64 ? 8 : 4;
    const size_t fields = 4 * width;
    const size_t fileBytes = (TextLength(file) + 1) * sizeof(WCHAR);
    const size_t nameBytes = (TextLength(name) + 1) * sizeof(WCHAR);
    const size_t written = fields + fileBytes + nameBytes;
    if (fileBytes > PLAYER_FILE_UNITS * sizeof(WCHAR) || nameBytes > 64 * sizeof(WCHAR))
        return BlockFate::NotMade;
    // The answer's room follows, zeroed as the system hands out fresh pages.
    const size_t total = written + FILE_TAG_UNITS * sizeof(WCHAR);
    void* remote = VirtualAllocEx(memory.process, nullptr, total, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr)
        return BlockFate::NotMade;
    const uint64_t base = reinterpret_cast<uintptr_t>(remote);
    BYTE block[32 + PLAYER_FILE_UNITS * sizeof(WCHAR) + 64 * sizeof(WCHAR)];
    PutField(block, base + fields, width);
    PutField(block + width, base + fields + fileBytes, width);
    PutField(block + 2 * width, base + written, width);
    PutField(block + 3 * width, FILE_TAG_UNITS, width);
    std::memcpy(block + fields, file, fileBytes);
    std::memcpy(block + fields + fileBytes, name, nameBytes);
    SIZE_T put = 0;
    if (!WriteProcessMemory(memory.process, remote, block, written, &put) || put != written) {
        VirtualFreeEx(memory.process, remote, 0, MEM_RELEASE);
        return BlockFate::NotMade;
    }
    LRESULT knew = SendToPlayer(player, WM_USER, static_cast<WPARAM>(base), QUERY_FILE_TAG);
    // The player writes the answer after reading the file: a block freed before it answers would have
    // it write into freed memory, so one that got no answer in time is left to it.
    if (player.lost)
        return BlockFate::LeftHeld;
    if (static_cast<int>(knew) != 0)
        ReadPlayerText(memory, base + written, tag, FILE_TAG_UNITS);
    VirtualFreeEx(memory.process, remote, 0, MEM_RELEASE);
    return BlockFate::Freed;
}
