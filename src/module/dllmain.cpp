#include <windows.h>

// Loading only turns off thread notifications: nothing is read, opened or built at load time, and
// since no call leaves anything open, unloading has nothing to release.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(module);
    return TRUE;
}
