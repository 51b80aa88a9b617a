#include "player_program.h"

#include "../../player/player_process.h"
#include "../closer.h"

namespace {

typedef BOOL(WINAPI* ImageNameFn)(HANDLE, DWORD, LPWSTR, LPDWORD);

// False when the process cannot be asked its program.
bool ProgramPath(HANDLE process, WCHAR (&path)[PATH_BUFFER])
{
    // Windows XP has no QueryFullProcessImageNameW: the association then names the folder.
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
    program.is64 = ProcessIs64(process);
    program.asked = ProgramPath(process, program.path);
}
