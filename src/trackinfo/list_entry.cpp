#include "list_entry.h"

#include "../player/messages.h"
#include "closer.h"
#include "now_playing.h"

namespace {

// With `open` null, the player's process is opened once the entry is known to be there.
void ReadEntry(PlayerLink& player, const PlayerMemory* open, const HostNumber& number, LPARAM query, WCHAR* text,
               size_t units, EntryRead* record)
{
    EntryRead unkept;
    EntryRead& r = record != nullptr ? *record : unkept;
    r = {-1, false, 0, false, false, 0, false, 0};
    text[0] = 0;
    ListPlace place = number.found ? ListPlace{0, AskPlayer(player, QUERY_LIST_LENGTH)} : AskListPlace(player);
    int index = number.found ? PlaylistPositionOf(number.value) : place.position - 1;
    if (player.lost || index < 0 || index >= place.length)
        return;
    r.index = index;
    PlayerMemory opened = open != nullptr ? PlayerMemory{nullptr, 0, false} : OpenPlayerMemory(player.window);
    ProcessCloser closer{opened.process};
    const PlayerMemory& memory = open != nullptr ? *open : opened;
    r.opened = memory.process != nullptr;
    r.error = memory.error;
    r.is64 = memory.is64;
    // Nothing to ask of a player whose pointers this module cannot read or hold.
    if (!PointersFit(memory))
        return;
    r.answer = SendToPlayer(player, WM_USER, static_cast<WPARAM>(index), query);
    r.asked = true;
    if (player.lost)
        return;
    r.read = ReadPlayerText(memory, PlayerAddress(r.answer, memory.is64), text, units);
    r.readError = r.read ? 0 : GetLastError();
}

} // namespace

void ReadListEntry(PlayerLink& player, const HostNumber& number, LPARAM query, WCHAR* text, size_t units,
                   EntryRead* record)
{
    ReadEntry(player, nullptr, number, query, text, units, record);
}

void ReadListEntryIn(PlayerLink& player, const PlayerMemory& memory, const HostNumber& number, LPARAM query,
                     WCHAR* text, size_t units, EntryRead* record)
{
    ReadEntry(player, &memory, number, query, text, units, record);
}
