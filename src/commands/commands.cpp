#include "commands.h"

#include "../player/messages.h"
#include "../player/playlist_number.h"
#include "../player/transport.h"
#include "../trackinfo/current_entry.h"
#include "../trackinfo/title.h"
#include "frame.h"

TOLBRY_COMMAND(DISPNAME)
{
    return RunCommand(data, Gate::Strict, [](PlayerLink& player, PlayerStatus, HostText answer) {
        InHostWidth(answer, [&](auto zero) {
            decltype(zero) title[TITLE_BUFFER];
            AnswerText(answer, ReadDisplayName(player, title));
        });
    });
}

TOLBRY_COMMAND(FILEINFO)
{
    return RunCommand(data, Gate::Strict, [](PlayerLink& player, PlayerStatus, HostText answer) {
        InHostWidth(answer, [&](auto zero) {
            decltype(zero) title[TITLE_BUFFER];
            auto info = ReadFileInfo(player, title);
            AnswerLengthAndNumber(answer, info.length, info.number);
        });
    });
}

TOLBRY_COMMAND(FILENAME)
{
    return RunCommand(data, Gate::Strict, [](PlayerLink& player, PlayerStatus, HostText answer) {
        char line[LINE_BUFFER];
        WCHAR entry[LINE_BUFFER];
        if (GetCurrentEntry(player, answer.Wide(), line, entry))
            AnswerText(answer, entry);
        else
            AnswerText(answer, line);
    });
}

TOLBRY_COMMAND(TRACKLAST)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus, HostText) {
        CommandPlayer(player, CMD_PREVIOUS);
    });
}

TOLBRY_COMMAND(TRACKNEXT)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus, HostText) {
        CommandPlayer(player, CMD_NEXT);
    });
}

TOLBRY_COMMAND(TRACKPAUSE)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus, HostText) {
        CommandPlayer(player, CMD_PAUSE);
    });
}

TOLBRY_COMMAND(TRACKPLAY)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus status, HostText text) {
        InHostWidth(text, [&](auto zero) {
            double number = ReadPlaylistNumber(static_cast<const decltype(zero)*>(text.data));
            PlayFromNumber(player, number, status == PLAYER_READY);
        });
    });
}

TOLBRY_COMMAND(TRACKSTOP)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus, HostText) {
        CommandPlayer(player, CMD_STOP);
    });
}
