#include "player_program.h"

#include "code_page_path.h"

namespace {

constexpr bool MODULE_IS_64_BIT = sizeof(void*) == 8;

typedef BOOL(WINAPI* ImageNameFn)(HANDLE, DWORD, LPWSTR, LPDWORD);

struct ProcessCloser {
    HANDLE process;
    ~ProcessCloser() { CloseHandle(process); }
};

// Whether the process is a 32-bit one on 64-bit Windows; `fallback` when that cannot be asked.
bool IsWow64(HANDLE process, bool fallback)
{
    BOOL wow64 = FALSE;
    return IsWow64Process(process, &wow64) ? wow64 != FALSE : fallback;
}

// False when the process cannot be asked its program; true with an empty path when the program's
// path cannot be given in the code page.
bool ProgramPath(HANDLE process, char (&path)[PATH_BUFFER])
{
    // Looked up rather than imported, so that the module still loads on Windows XP, which lacks it:
    // there the association names the folder.
    HMODULE kernel = GetModuleHandleA("kernel32");
    ImageNameFn imageName = kernel != nullptr ? reinterpret_cast<ImageNameFn>(reinterpret_cast<void*>(
                                                    GetProcAddress(kernel, "QueryFullProcessImageNameW")))
                                              : nullptr;
    WCHAR wide[PATH_BUFFER];
    DWORD size = PATH_BUFFER;
    if (imageName == nullptr || !imageName(process, 0, wide, &size) || size == 0 || size >= PATH_BUFFER)
        return false;
    wide[size] = 0;
    // A folder outside the code page: its short form names the same folder in ASCII.
    if (ExactlyInCodePage(wide, path, PATH_BUFFER) < 0 && ShortPathInCodePage(wide, path, PATH_BUFFER) < 0)
        path[0] = '\0';
    return true;
}

} // namespace

void LearnPlayerProgram(HWND window, PlayerProgram& program)
{
    program.asked = false;
    program.is64 = false;
    program.path[0] = '\0';
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
