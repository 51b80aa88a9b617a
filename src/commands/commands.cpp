#include "commands.h"

#include "../player/list_add.h"
#include "../player/messages.h"
#include "../player/player_settings.h"
#include "../player/seek.h"
#include "../player/transport.h"
#include "../trackinfo/current_entry.h"
#include "../trackinfo/file_tag.h"
#include "../trackinfo/list_entry.h"
#include "../trackinfo/now_playing.h"
#include "../trackinfo/title.h"
#include "added_name.h"
#include "frame.h"
#include "tag_name.h"

namespace {

// The title is read in the host's width, so that a Unicode host gets every character of it.
template <typename Char>
void AnswerDisplayName(CommandCall& call)
{
    Char title[TITLE_BUFFER];
    AnswerText(call.text, ReadDisplayName(call.player, title));
}

template <typename Char>
void AnswerFileInfo(CommandCall& call)
{
    Char title[TITLE_BUFFER];
    auto info = ReadFileInfo(call.player, title);
    AnswerLengthAndNumber(call.text, info.length, info.number);
}

void AnswerCurrentEntry(CommandCall& call)
{
    char line[LINE_BUFFER];
    WCHAR entry[LINE_BUFFER];
    if (GetCurrentEntry(call.player, call.text.Wide(), line, entry))
        AnswerText(call.text, entry);
    else
        AnswerText(call.text, line);
}

} // namespace

TOLBRY_COMMAND(DISPNAME)
{
    return RunCommand(data, Gate::Strict, AnswerDisplayName<char>, AnswerDisplayName<WCHAR>);
}

TOLBRY_COMMAND(FILEINFO)
{
    return RunCommand(data, Gate::Strict, AnswerFileInfo<char>, AnswerFileInfo<WCHAR>);
}

TOLBRY_COMMAND(FILENAME)
{
    return RunCommand(data, Gate::Strict, AnswerCurrentEntry);
}

TOLBRY_COMMAND(TRACKLAST)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) { CommandPlayer(call.player, CMD_PREVIOUS); });
}

TOLBRY_COMMAND(TRACKNEXT)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) { CommandPlayer(call.player, CMD_NEXT); });
}

TOLBRY_COMMAND(TRACKPAUSE)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) { CommandPlayer(call.player, CMD_PAUSE); });
}

TOLBRY_COMMAND(TRACKPLAY)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        PlayFromNumber(call.player, NumberIn(call.text).value, call.status == PLAYER_READY);
    });
}

TOLBRY_COMMAND(TRACKSTOP)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) { CommandPlayer(call.player, CMD_STOP); });
}

TOLBRY_COMMAND(FILEPOS)
{
    return RunCommand(data, Gate::Strict, [](CommandCall& call) {
        TrackTime time = AskTrackTime(call.player);
        AnswerNumbers(call.text, {time.elapsed, time.length});
    });
}

TOLBRY_COMMAND(FILERATE)
{
    return RunCommand(data, Gate::Strict, [](CommandCall& call) {
        TrackFormat format = AskTrackFormat(call.player);
        AnswerNumbers(call.text, {format.bitrate, format.sampleRate, format.channels});
    });
}

TOLBRY_COMMAND(LISTINFO)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        ListPlace place = AskListPlace(call.player);
        AnswerNumbers(call.text, {place.position, place.length});
    });
}

TOLBRY_COMMAND(TRACKSEEK)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) { SeekTo(call.player, NumberIn(call.text)); });
}

TOLBRY_COMMAND(VOLUME)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        AnswerNumbers(call.text, {ChangeVolume(call.player, NumberIn(call.text))});
    });
}

TOLBRY_COMMAND(SHUFFLE)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        AnswerNumbers(call.text, {ChangeSwitch(call.player, QUERY_SHUFFLE, SET_SHUFFLE, NumberIn(call.text))});
    });
}

TOLBRY_COMMAND(REPEAT)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        AnswerNumbers(call.text, {ChangeSwitch(call.player, QUERY_REPEAT, SET_REPEAT, NumberIn(call.text))});
    });
}

TOLBRY_COMMAND(RATING)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        AnswerNumbers(call.text, {ChangeRating(call.player, NumberIn(call.text))});
    });
}

TOLBRY_COMMAND(LISTTITLE)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        WCHAR title[PLAYER_TITLE_UNITS];
        ReadListEntry(call.player, NumberIn(call.text), QUERY_LIST_TITLE, title, PLAYER_TITLE_UNITS);
        AnswerReadable(call.text, title);
    });
}

TOLBRY_COMMAND(LISTFILE)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        WCHAR file[PLAYER_FILE_UNITS];
        ReadListEntry(call.player, NumberIn(call.text), QUERY_LIST_FILE, file, PLAYER_FILE_UNITS);
        AnswerPath(call.text, file);
    });
}

TOLBRY_COMMAND(LISTADD)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        WCHAR name[PATH_BUFFER];
        AddedEntries added = AddedName(call.text, name) ? AddToPlaylist(call.player, name) : AddedEntries{0, 0};
        AnswerNumbers(call.text, {added.first, added.last});
    });
}

TOLBRY_COMMAND(FILETAG)
{
    return RunCommand(data, Gate::Strict, [](CommandCall& call) {
        WCHAR name[TAG_NAME_MAX + 1];
        WCHAR tag[FILE_TAG_UNITS];
        tag[0] = 0;
        if (TagName(call.text, name))
            ReadFileTag(call.player, call.version, name, tag);
        AnswerReadable(call.text, tag);
    });
}

TOLBRY_COMMAND(PLAYSTATE)
{
    return RunCommand(data, Gate::Lenient, [](CommandCall& call) {
        // The player answers 3 while paused (its playing and paused bits); any answer but 1 and 0 is
        // taken as paused.
        AnswerText(call.text, call.playState == PLAY_STATE_PLAYING ? "playing" : call.playState == 0 ? "stopped" : "paused");
    });
}
