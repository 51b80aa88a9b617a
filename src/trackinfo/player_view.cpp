#include "player_view.h"

#include "same_name.h"

namespace {

enum class FolderView {
    Module,   // the player sees the folders as the module does
    Player32, // a 32-bit player, and the module 64-bit
    Player64, // a 64-bit player, and the module 32-bit under WoW64
};

// The folders that a 32-bit process and a 64-bit one see apart, by the names the player may give
// them, and where each bitness finds the other's.
struct ViewedFolder {
    int csidl;              // as the player names it
    const char* variable;   // as the player names it
    int csidl32;            // a 32-bit process's folder, as a 64-bit one asks for it
    const char* variable32; // a 32-bit process's folder, in a 64-bit one's environment
    const char* variable64; // a 64-bit process's folder, in a 32-bit one's environment
};

constexpr ViewedFolder VIEWED_FOLDERS[] = {
    {38 /* CSIDL_PROGRAM_FILES */, "ProgramFiles", 42 /* CSIDL_PROGRAM_FILESX86 */, "ProgramFiles(x86)",
     "ProgramW6432"},
    {43 /* CSIDL_PROGRAM_FILES_COMMON */, "CommonProgramFiles", 44 /* CSIDL_PROGRAM_FILES_COMMONX86 */,
     "CommonProgramFiles(x86)", "CommonProgramW6432"},
};

constexpr bool MODULE_IS_64_BIT = sizeof(void*) == 8;

struct ProcessCloser {
    HANDLE process;
    ~ProcessCloser() { CloseHandle(process); }
};

const ViewedFolder* ByVariable(const char* name, size_t nameLength)
{
    for (const ViewedFolder& f : VIEWED_FOLDERS)
        if (SameName(name, nameLength, f.variable))
            return &f;
    return nullptr;
}

const ViewedFolder* ByCsidl(int csidl)
{
    for (const ViewedFolder& f : VIEWED_FOLDERS)
        if (f.csidl == csidl)
            return &f;
    return nullptr;
}

// Whether the process is a 32-bit one on 64-bit Windows; `fallback` when that cannot be asked.
bool IsWow64(HANDLE process, bool fallback)
{
    BOOL wow64 = FALSE;
    return IsWow64Process(process, &wow64) ? wow64 != FALSE : fallback;
}

// The view of the process that owns the player `window`.
FolderView PlayerFolderView(HWND window)
{
    // On 32-bit Windows every process is 32-bit.
    if (!MODULE_IS_64_BIT && !IsWow64(GetCurrentProcess(), false))
        return FolderView::Module;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    bool playerIs64 = false;
    if (id != 0) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
        if (process == nullptr) // Windows XP knows only the full right
            process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
        if (process != nullptr) {
            ProcessCloser closer{process};
            playerIs64 = !IsWow64(process, true);
        }
    }
    if (playerIs64 == MODULE_IS_64_BIT)
        return FolderView::Module;
    return playerIs64 ? FolderView::Player64 : FolderView::Player32;
}

} // namespace

FolderSource SpecialFolderFor(HWND player, int csidl)
{
    const ViewedFolder* f = ByCsidl(csidl);
    FolderView view = f != nullptr ? PlayerFolderView(player) : FolderView::Module;
    if (view == FolderView::Module)
        return {csidl, nullptr};
    // A 32-bit process has no special folder for the 64-bit one's: its environment names it.
    return view == FolderView::Player32 ? FolderSource{f->csidl32, nullptr} : FolderSource{csidl, f->variable64};
}

const char* VariableFor(HWND player, const char* name, size_t nameLength)
{
    const ViewedFolder* f = ByVariable(name, nameLength);
    FolderView view = f != nullptr ? PlayerFolderView(player) : FolderView::Module;
    if (view == FolderView::Module)
        return nullptr;
    return view == FolderView::Player32 ? f->variable32 : f->variable64;
}
