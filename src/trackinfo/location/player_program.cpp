#include "player_program.h"

#include "../closer.h"

namespace {

constexpr bool MODULE_IS_64_BIT = sizeof(void*) == 8;

typedef BOOL(WINAPI* ImageNameFn)(HANDLE, DWORD, LPWSTR, LPDWORD);
typedef BOOL(WINAPI* Wow64Fn)(HANDLE, BOOL*);

// Looked up rather than imported, so that the module still loads where the system lacks them:
// Windows XP has no QueryFullProcessImageNameW (the association then names the folder), and before
// its second service pack no IsWow64Process (Windows is then 32-bit).
FARPROC KernelExport(const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32");
    return kernel != nullptr ? GetProcAddress(kernel, name) : nullptr;
}

// Whether the process is a 32-bit one on 64-bit Windows; `fallback` when that cannot be asked.
bool IsWow64(HANDLE process, bool fallback)
{
    Wow64Fn isWow64 = reinterpret_cast<Wow64Fn>(reinterpret_cast<void*>(KernelExport("IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64 == nullptr)
        return false;
    return isWow64(process, &wow64) ? wow64 != FALSE : fallback;
}

// False when the process cannot be asked its program.
bool ProgramPath(HANDLE process, WCHAR (&path)[PATH_BUFFER])
{
    ImageNameFn imageName =
        reinterpret_cast<ImageNameFn>(reinterpret_cast<void*>(KernelExport("QueryFullProcessImageNameW")));
    DWORD size = PATH_BUFFER;
    if (imageName == nullptr || !imageName(process, 0, path, &size) || size == 0 || size >= PATH_BUFFER) {
        path[0] = 0;
        return false;
    }
    path[size] = 0;
    return true;
}

} // namespace

void LearnPlayerProgram(HWND window, PlayerProgram& program)
{
    program.asked = false;
    program.is64 = false;
    program.path[0] = 0;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id == 0)
        return;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (process == nullptr) // Windows XP knows only the full right
        process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    if (process == nullptr)
        return;
    ProcessCloser closer{process};
    // A process that is not under WoW64 is 64-bit, unless Windows itself is 32-bit, which only a
    // 32-bit module needs to ask. One that cannot say is taken as 32-bit, as the player is built.
    program.is64 = !IsWow64(process, true) && (MODULE_IS_64_BIT || IsWow64(GetCurrentProcess(), false));
    program.asked = ProgramPath(process, program.path);
}
