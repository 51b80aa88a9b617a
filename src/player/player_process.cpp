#include "player_process.h"

namespace {

typedef BOOL(WINAPI* Wow64Fn)(HANDLE, BOOL*);

// Whether the process is a 32-bit one on 64-bit Windows; `fallback` when that cannot be asked. Before
// Windows XP's second service pack there is no IsWow64Process: Windows is then 32-bit.
bool IsWow64(HANDLE process, bool fallback)
{
    Wow64Fn isWow64 = reinterpret_cast<Wow64Fn>(reinterpret_cast<void*>(KernelExport("IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64 == nullptr)
        return false;
    return isWow64(process, &wow64) ? wow64 != FALSE : fallback;
}

} // namespace

FARPROC KernelExport(const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32");
    return kernel != nullptr ? GetProcAddress(kernel, name) : nullptr;
}

bool ProcessIs64(HANDLE process)
{
    return !IsWow64(process, true) && (MODULE_IS_64_BIT || IsWow64(GetCurrentProcess(), false));
}
