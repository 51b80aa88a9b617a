// The optional export that Unicode hosts call once, right after loading the DLL and before any
// command, with a description of themselves; through it the DLL may ask for UTF-16 text.
#pragma once

#include <windows.h>

struct LOADINFO {
    DWORD mVersion; // major in the low word, minor in the high word
    HWND mHwnd;
    BOOL mKeep;
    BOOL mUnicode;  // set by the DLL to have `data` passed as UTF-16
    DWORD mBeta;    // from host 7.51 on
    DWORD mBytes;   // from host 7.64 on: how many bytes `data` holds
};

extern "C" void WINAPI LoadDll(LOADINFO* info);
