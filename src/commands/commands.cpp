#include "commands.h"

#include "../player/messages.h"
#include "../player/transport.h"
#include "../trackinfo/current_entry.h"
#include "../trackinfo/title.h"
#include "frame.h"

TOLBRY_COMMAND(DISPNAME)
{
    return RunCommand(data, Gate::Strict, [](PlayerLink& player, PlayerStatus, char* answer) {
        char title[TITLE_BUFFER];
        AnswerText(answer, ReadDisplayName(player, title));
    });
}

TOLBRY_COMMAND(FILEINFO)
{
    return RunCommand(data, Gate::Strict, [](PlayerLink& player, PlayerStatus, char* answer) {
        char title[TITLE_BUFFER];
        FileInfo info = ReadFileInfo(player, title);
        AnswerLengthAndNumber(answer, info.length, info.number);
    });
}

TOLBRY_COMMAND(FILENAME)
{
    return RunCommand(data, Gate::Strict, [](PlayerLink& player, PlayerStatus, char* answer) {
        char line[LINE_BUFFER];
        GetCurrentEntry(player, line);
        AnswerText(answer, line);
    });
}

TOLBRY_COMMAND(TRACKLAST)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus, char*) {
        CommandPlayer(player, CMD_PREVIOUS);
    });
}

TOLBRY_COMMAND(TRACKNEXT)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus, char*) {
        CommandPlayer(player, CMD_NEXT);
    });
}

TOLBRY_COMMAND(TRACKPAUSE)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus, char*) {
        CommandPlayer(player, CMD_PAUSE);
    });
}

TOLBRY_COMMAND(TRACKPLAY)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus status, char* text) {
        PlayFromNumber(player, text, status == PLAYER_READY);
    });
}

TOLBRY_COMMAND(TRACKSTOP)
{
    return RunCommand(data, Gate::Lenient, [](PlayerLink& player, PlayerStatus, char*) {
        CommandPlayer(player, CMD_STOP);
    });
}
