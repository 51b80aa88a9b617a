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
        case QUERY_TRACK_LENGTH: return wParam == ELAPSED_IN_MILLISECONDS ? "QUERY_ELAPSED_TIME" : "QUERY_TRACK_LENGTH";
        case JUMP_TO_TIME: return "JUMP_TO_TIME";
        case SET_VOLUME: return static_cast<int>(wParam) == VOLUME_ASKED ? "SET_VOLUME (ask)" : "SET_VOLUME";
        case QUERY_LIST_LENGTH: return "QUERY_LIST_LENGTH";
        case QUERY_LIST_POS: return "QUERY_LIST_POS";
        case QUERY_TRACK_INFO: return "QUERY_TRACK_INFO";
        case QUERY_SHUFFLE: return "QUERY_SHUFFLE";
        case QUERY_REPEAT: return "QUERY_REPEAT";
        case SET_SHUFFLE: return "SET_SHUFFLE";
        case SET_REPEAT: return "SET_REPEAT";
        case SET_RATING: return "SET_RATING";
        case QUERY_RATING: return "QUERY_RATING";
        case WRITE_PLAYLIST: return "WRITE_PLAYLIST";
        case SET_PLAYLIST_POS: return "SET_PLAYLIST_POS";
        case QUERY_LIST_TITLE: return "QUERY_LIST_TITLE";
        case QUERY_LIST_FILE: return "QUERY_LIST_FILE";
        case QUERY_FILE_TAG: return "QUERY_FILE_TAG";
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
    } else if (msg == WM_COPYDATA) {
        switch (lParam) {
        case ADD_TO_PLAYLIST: return "ADD_TO_PLAYLIST";
        case REPLY_CURRENT_FILE: return "REPLY_CURRENT_FILE";
        case REPLY_FILE_TAG: return "REPLY_FILE_TAG";
        }
        return "WM_COPYDATA";
    }
    return "?";
}
