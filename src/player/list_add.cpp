#include "list_add.h"

#include "../trackinfo/text.h"
#include "messages.h"

AddedEntries AddToPlaylist(PlayerLink& player, const WCHAR* name)
{
    int before = AskPlayer(player, QUERY_LIST_LENGTH);
    if (player.lost)
        return {0, 0};
    if (before < 0)
        before = 0;
    CopyToPlayer(player, ADD_TO_PLAYLIST, name, static_cast<DWORD>((TextLength(name) + 1) * sizeof(WCHAR)));
    int after = AskPlayer(player, QUERY_LIST_LENGTH);
    if (after <= before)
        return {0, 0};
    return {before + 1, after};
}
