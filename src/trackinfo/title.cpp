#include "title.h"

#include <cstring>

#include "../player/messages.h"
#include "scrolling_title.h"

namespace {

// WM_GETTEXT limits, terminator included.
constexpr int FILEINFO_TITLE_LIMIT = 889;
constexpr int DISPNAME_TITLE_LIMIT = 899;
static_assert(FILEINFO_TITLE_LIMIT <= TITLE_BUFFER && DISPNAME_TITLE_LIMIT <= TITLE_BUFFER, "titles fit");

void ReadTitle(PlayerLink& player, char* title, int limit)
{
    title[0] = '\0';
    SendToPlayer(player, WM_GETTEXT, static_cast<WPARAM>(limit), reinterpret_cast<LPARAM>(title));
    // An unanswered request reads as an empty title; a misbehaving window may fill the whole buffer
    // without a terminator.
    if (player.lost)
        title[0] = '\0';
    title[limit - 1] = '\0';
}

} // namespace

char* PlaylistNumberOf(char* title)
{
    char* start = title + std::strspn(title, ".");
    start[std::strcspn(start, ".")] = '\0';
    return start;
}

char* DisplayNameOf(char* title)
{
    char* name = title;
    if (char* dot = std::strchr(name, '.'))
        name = dot + 1;
    if (char* dash = std::strrchr(name, '-'))
        *dash = '\0';
    return name;
}

FileInfo ReadFileInfo(PlayerLink& player, char (&title)[TITLE_BUFFER])
{
    int length = QueryPlayer(player, QUERY_TRACK_LENGTH, TRACK_LENGTH_IN_SECONDS);
    ReadTitle(player, title, FILEINFO_TITLE_LIMIT);
    return {length, PlaylistNumberOf(UnscrollTitle(title))};
}

const char* ReadDisplayName(PlayerLink& player, char (&title)[TITLE_BUFFER])
{
    ReadTitle(player, title, DISPNAME_TITLE_LIMIT);
    return DisplayNameOf(UnscrollTitle(title));
}
