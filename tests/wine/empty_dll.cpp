// The smallest DLL the toolchain makes the usual way, exporting one routine: what loading tolbry.dll
// is measured against.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI NOTHING(DWORD, DWORD, char*, DWORD, DWORD, DWORD)
{
    return 3;
}
