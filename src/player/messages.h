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

// The player answers the elapsed time and the length through one message; wParam says which.
constexpr LPARAM QUERY_ELAPSED_TIME = 105;
constexpr WPARAM ELAPSED_IN_MILLISECONDS = 0;
// wParam of QUERY_TRACK_LENGTH: 1 asks for the length in seconds.
constexpr WPARAM TRACK_LENGTH_IN_SECONDS = 1;

constexpr LPARAM JUMP_TO_TIME = 106;     // wParam: milliseconds from the track's start
// wParam 0-255 sets the volume, which the player keeps in 8 bits; VOLUME_ASKED asks it instead.
constexpr LPARAM SET_VOLUME = 122;
constexpr int VOLUME_ASKED = -666;
constexpr int VOLUME_MAX = 255;
constexpr LPARAM QUERY_LIST_LENGTH = 124;
constexpr LPARAM QUERY_LIST_POS = 125;   // 0 for an empty playlist too: ask the length first
constexpr LPARAM QUERY_TRACK_INFO = 126;
constexpr WPARAM TRACK_INFO_SAMPLE_RATE = 0; // kHz from the player, Hz from some that imitate it
constexpr WPARAM TRACK_INFO_BITRATE = 1;     // kbps
constexpr WPARAM TRACK_INFO_CHANNELS = 2;
constexpr LPARAM QUERY_SHUFFLE = 250;
constexpr LPARAM QUERY_REPEAT = 251;
constexpr LPARAM SET_SHUFFLE = 252;      // wParam 0 or 1
constexpr LPARAM SET_REPEAT = 253;
constexpr LPARAM SET_RATING = 639;       // wParam 0-5
constexpr LPARAM QUERY_RATING = 640;
constexpr int RATING_MAX = 5;

// Strings come back as a pointer into the player's own memory, to UTF-16 text in one buffer that the
// player shares with every caller, its own plug-ins included: read it straight after the answer. The
// 8-bit forms (211, 212) are never sent: a program that imitates the player answers them about the
// current track whatever the entry asked.
constexpr LPARAM QUERY_LIST_TITLE = 213; // wParam: the entry, counted from 0; 0 when out of range
constexpr LPARAM QUERY_LIST_FILE = 214;

// WM_COPYDATA requests, the number in dwData. The player appends a file, a folder's files, a
// playlist's entries or a URL, named in UTF-16 with its zero, and never starts playing.
constexpr ULONG_PTR ADD_TO_PLAYLIST = 1100;

// A track's tags, asked the way the player answers other programs. The player of 5.9 replies by
// message: to WM_COPYDATA requests whose wParam is a window of the caller's, it sends back, while it
// still handles the request, a WM_COPYDATA with the same dwData, its own window in wParam.
constexpr ULONG_PTR REPLY_CURRENT_FILE = 3031; // no data; the reply: the file playing now, UTF-16
constexpr ULONG_PTR REPLY_FILE_TAG = 3027;     // «file», 0, «tag name», 0; the reply: 1024 UTF-16 units
constexpr DWORD FILE_TAG_UNITS = 1024;
// Older players have only a request block in their own memory: wParam its address, the four fields
// {file, tag name, answer, answer's length in units} in the player's width. It answers 1 when its
// decoder knew the name, and writes the answer at the end, after reading the file.
constexpr LPARAM QUERY_FILE_TAG = 3026;
// The player that has the request block; the programs that imitate the player answer 0x20yx.
constexpr int MIN_TAG_BLOCK_VERSION = 0x5000;

constexpr int PLAY_STATE_PLAYING = 1;
constexpr int PLAY_STATE_PAUSED = 3;

constexpr WPARAM CMD_PREVIOUS = 40044;
constexpr WPARAM CMD_PLAY = 40045;
constexpr WPARAM CMD_PAUSE = 40046;
constexpr WPARAM CMD_STOP = 40047;
constexpr WPARAM CMD_NEXT = 40048;

// Asks the player something: answers are 32-bit values on the player's side, whatever the width of
// LRESULT here.
inline int AskPlayer(PlayerLink& player, LPARAM query, WPARAM wParam = 0)
{
    return static_cast<int>(SendToPlayer(player, WM_USER, wParam, query));
}

// Changes one of the player's settings; what it answers is not looked at. A negative value goes
// sign-extended, as the player's 32-bit side reads it.
inline void SetPlayer(PlayerLink& player, LPARAM setting, int value)
{
    SendToPlayer(player, WM_USER, static_cast<WPARAM>(static_cast<INT_PTR>(value)), setting);
}

// A WM_COPYDATA request of `bytes` at `data`, with `from` in wParam for a player that answers back.
inline LRESULT CopyToPlayer(PlayerLink& player, ULONG_PTR request, const void* data, DWORD bytes, HWND from = nullptr)
{
    COPYDATASTRUCT copy = {request, bytes, const_cast<void*>(data)};
    return SendToPlayer(player, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&copy));
}

inline void CommandPlayer(PlayerLink& player, WPARAM command)
{
    SendToPlayer(player, WM_COMMAND, command, 0);
}
