#include "title.h"

#include "../player/messages.h"
#include "scrolling_title.h"
#include "text.h"

namespace {

// WM_GETTEXT limits, terminator included, in characters of either width.
constexpr int FILEINFO_TITLE_LIMIT = 889;
constexpr int DISPNAME_TITLE_LIMIT = 899;
static_assert(FILEINFO_TITLE_LIMIT <= TITLE_BUFFER && DISPNAME_TITLE_LIMIT <= TITLE_BUFFER, "titles fit");

template <typename Char>
void ReadTitle(PlayerLink& player, Char* title, int limit)
{
    title[0] = 0;
    SendToPlayer(player, WM_GETTEXT, static_cast<WPARAM>(limit), reinterpret_cast<LPARAM>(title),
                 sizeof(Char) == sizeof(WCHAR) ? TEXT_UTF16 : TEXT_ANSI);
    // An unanswered request reads as an empty title; a misbehaving window may fill the whole buffer
    // without a terminator.
    if (player.lost)
        title[0] = 0;
    title[limit - 1] = 0;
}

} // namespace

template <typename Char>
Char* PlaylistNumberOf(Char* title)
{
    Char* start = title + SpanOf(title, Char('.'));
    start[SpanWithout(start, Char('.'))] = 0;
    return start;
}

template <typename Char>
Char* DisplayNameOf(Char* title)
{
    Char* name = title;
    if (Char* dot = FindFirst(name, Char('.')))
        name = dot + 1;
    if (Char* dash = FindLast(name, Char('-')))
        *dash = 0;
    return name;
}

template <typename Char>
FileInfo<Char> ReadFileInfo(PlayerLink& player, Char (&title)[TITLE_BUFFER])
{
    int length = AskPlayer(player, QUERY_TRACK_LENGTH, TRACK_LENGTH_IN_SECONDS);
    ReadTitle(player, title, FILEINFO_TITLE_LIMIT);
    return {length, PlaylistNumberOf(UnscrollTitle(title))};
}

template <typename Char>
const Char* ReadDisplayName(PlayerLink& player, Char (&title)[TITLE_BUFFER])
{
    ReadTitle(player, title, DISPNAME_TITLE_LIMIT);
    return DisplayNameOf(UnscrollTitle(title));
}

template char* PlaylistNumberOf(char*);
template WCHAR* PlaylistNumberOf(WCHAR*);
template char* DisplayNameOf(char*);
template WCHAR* DisplayNameOf(WCHAR*);
template FileInfo<char> ReadFileInfo(PlayerLink&, char (&)[TITLE_BUFFER]);
template FileInfo<WCHAR> ReadFileInfo(PlayerLink&, WCHAR (&)[TITLE_BUFFER]);
template const char* ReadDisplayName(PlayerLink&, char (&)[TITLE_BUFFER]);
template const WCHAR* ReadDisplayName(PlayerLink&, WCHAR (&)[TITLE_BUFFER]);
