// Names of the player's messages, for the stand-in player's log and the tests' sequence listings.
#pragma once

#include <windows.h>

#include "../../src/player/messages.h"

inline const char* MessageName(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_USER) {
        switch (lParam) {
        case QUERY_VERSION: return "QUERY_VERSION";
        case QUERY_PLAY_STATE: return "QUERY_PLAY_STATE";
        case QUERY_TRACK_LENGTH: return "QUERY_TRACK_LENGTH";
        case WRITE_PLAYLIST: return "WRITE_PLAYLIST";
        case SET_PLAYLIST_POS: return "SET_PLAYLIST_POS";
        }
    } else if (msg == WM_COMMAND) {
        switch (wParam) {
        case CMD_PREVIOUS: return "CMD_PREVIOUS";
        case CMD_PLAY: return "CMD_PLAY";
        case CMD_PAUSE: return "CMD_PAUSE";
        case CMD_STOP: return "CMD_STOP";
        case CMD_NEXT: return "CMD_NEXT";
        }
    } else if (msg == WM_GETTEXT) {
        return "WM_GETTEXT";
    }
    return "?";
}
