// The routines the host calls by name: the eight the host has always known, then the module's own
// for what now-playing tools show and do, and for the playlist from outside. Each takes six 32-bit arguments, cleans them off the
// stack itself and returns 3; only the third, the host's text buffer, is used: 8-bit text, or UTF-16
// for a host that asked for it in its load-time call.
#pragma once

#include <windows.h>

#define TOLBRY_COMMAND(name) \
    extern "C" int WINAPI name(DWORD, DWORD, void* data, DWORD, DWORD, DWORD)

TOLBRY_COMMAND(DISPNAME);
TOLBRY_COMMAND(FILEINFO);
TOLBRY_COMMAND(FILENAME);
TOLBRY_COMMAND(TRACKLAST);
TOLBRY_COMMAND(TRACKNEXT);
TOLBRY_COMMAND(TRACKPAUSE);
TOLBRY_COMMAND(TRACKPLAY);
TOLBRY_COMMAND(TRACKSTOP);
TOLBRY_COMMAND(FILEPOS);
TOLBRY_COMMAND(FILERATE);
TOLBRY_COMMAND(LISTINFO);
TOLBRY_COMMAND(TRACKSEEK);
TOLBRY_COMMAND(VOLUME);
TOLBRY_COMMAND(SHUFFLE);
TOLBRY_COMMAND(REPEAT);
TOLBRY_COMMAND(RATING);
TOLBRY_COMMAND(LISTTITLE);
TOLBRY_COMMAND(LISTFILE);
TOLBRY_COMMAND(LISTADD);
TOLBRY_COMMAND(FILETAG);
TOLBRY_COMMAND(PLAYSTATE);
