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

const ViewedFolder* ByVariable(const WCHAR* name, size_t nameLength)
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

FolderView ViewOf(bool playerIs64)
{
    if (playerIs64 == MODULE_IS_64_BIT)
        return FolderView::Module;
    return playerIs64 ? FolderView::Player64 : FolderView::Player32;
}

} // namespace

FolderSource SpecialFolderFor(bool playerIs64, int csidl)
{
    const ViewedFolder* f = ByCsidl(csidl);
    FolderView view = f != nullptr ? ViewOf(playerIs64) : FolderView::Module;
    if (view == FolderView::Module)
        return {csidl, nullptr};
    // A 32-bit process has no special folder for the 64-bit one's: its environment names it.
    return view == FolderView::Player32 ? FolderSource{f->csidl32, nullptr} : FolderSource{csidl, f->variable64};
}

const char* VariableFor(bool playerIs64, const WCHAR* name, size_t nameLength)
{
    const ViewedFolder* f = ByVariable(name, nameLength);
    FolderView view = f != nullptr ? ViewOf(playerIs64) : FolderView::Module;
    if (view == FolderView::Module)
        return nullptr;
    return view == FolderView::Player32 ? f->variable32 : f->variable64;
}
