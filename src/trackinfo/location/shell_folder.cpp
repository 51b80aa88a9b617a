#include "shell_folder.h"

namespace {

typedef HRESULT(WINAPI* FolderPathFn)(HWND, int, HANDLE, DWORD, LPWSTR);

} // namespace

bool SpecialFolder(int csidl, WCHAR (&path)[MAX_PATH])
{
    // Shell32 is pinned: it stays for the rest of the process, so that a host that loads and frees the
    // module many times loads it once, and no call pays for loading and freeing it again.
    HMODULE shell = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "shell32.dll", &shell) &&
        (LoadLibraryA("shell32.dll") == nullptr ||
         !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "shell32.dll", &shell)))
        return false;
    FolderPathFn folderPath =
        reinterpret_cast<FolderPathFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")));
    path[0] = 0;
    return folderPath != nullptr && folderPath(nullptr, csidl, nullptr, 0, path) == S_OK && path[0] != 0;
}
