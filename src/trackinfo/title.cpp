#include "title.h"

#include <cstring>

#include "../commands/answer.h"
#include "../player/messages.h"

namespace {

// WM_GETTEXT limits, terminator included.
constexpr int FILEINFO_TITLE_LIMIT = 889;
constexpr int DISPNAME_TITLE_LIMIT = 899;

void ReadTitle(HWND player, char* title, int limit)
{
    title[0] = '\0';
    SendMessageA(player, WM_GETTEXT, static_cast<WPARAM>(limit), reinterpret_cast<LPARAM>(title));
    // A misbehaving window may fill the whole buffer without a terminator.
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

void AnswerFileInfo(HWND player, char* data)
{
    int length = QueryPlayer(player, QUERY_TRACK_LENGTH, TRACK_LENGTH_IN_SECONDS);
    char title[FILEINFO_TITLE_LIMIT];
    ReadTitle(player, title, FILEINFO_TITLE_LIMIT);
    AnswerLengthAndNumber(data, length, PlaylistNumberOf(title));
}

void AnswerDisplayName(HWND player, char* data)
{
    char title[DISPNAME_TITLE_LIMIT + 1];
    ReadTitle(player, title, DISPNAME_TITLE_LIMIT);
    AnswerText(data, DisplayNameOf(title));
}
