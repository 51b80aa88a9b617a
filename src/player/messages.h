// The player's window class and the messages it answers. Queries go as WM_USER with the query's
// number in lParam; commands go as WM_COMMAND with the command's number in wParam.
#pragma once

#include <windows.h>

#include "player_link.h"

constexpr const char* PLAYER_WINDOW_CLASS = "Winamp v1.x";

// Oldest player version whose answers the module understands.
constexpr int MIN_PLAYER_VERSION = 0x2005;

constexpr LPARAM QUERY_VERSION = 0;
constexpr LPARAM QUERY_PLAY_STATE = 104;
constexpr LPARAM QUERY_TRACK_LENGTH = 105;
constexpr LPARAM WRITE_PLAYLIST = 120;
constexpr LPARAM SET_PLAYLIST_POS = 121;

// wParam of QUERY_TRACK_LENGTH: 1 asks for the length in seconds (0 would ask for the elapsed time).
constexpr WPARAM TRACK_LENGTH_IN_SECONDS = 1;

constexpr int PLAY_STATE_PLAYING = 1;
constexpr int PLAY_STATE_PAUSED = 3;

constexpr WPARAM CMD_PREVIOUS = 40044;
constexpr WPARAM CMD_PLAY = 40045;
constexpr WPARAM CMD_PAUSE = 40046;
constexpr WPARAM CMD_STOP = 40047;
constexpr WPARAM CMD_NEXT = 40048;

// Answers are 32-bit values on the player's side, whatever the width of LRESULT here.
inline int QueryPlayer(PlayerLink& player, LPARAM query, WPARAM wParam = 0)
{
    return static_cast<int>(SendToPlayer(player, WM_USER, wParam, query));
}

inline void CommandPlayer(PlayerLink& player, WPARAM command)
{
    SendToPlayer(player, WM_COMMAND, command, 0);
}
