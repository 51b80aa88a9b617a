#pragma once

#include <windows.h>

// The title of a playing player reads «N. Display name - Winamp». Both cuts work in place and return
// a pointer into `title`.

// The first "."-separated token (leading dots skipped), or an empty text when there is none.
char* PlaylistNumberOf(char* title);
// What follows the first ".", less the last "-" and everything after it.
char* DisplayNameOf(char* title);

// The actions of the two title-based commands: they ask the player and answer into `data`.
void AnswerFileInfo(HWND player, char* data);
void AnswerDisplayName(HWND player, char* data);
