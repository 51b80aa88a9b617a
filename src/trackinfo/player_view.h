// On 64-bit Windows a 32-bit program and a 64-bit one see some folders in different places: to a
// 32-bit one "Program Files" is "Program Files (x86)". paths.ini is the player's, so its folders are
// the ones the player's own process sees, whatever the module's bitness.
#pragma once

#include <windows.h>

#include <cstddef>

enum class FolderView {
    Module,   // the player sees the folders as the module does
    Player32, // a 32-bit player, and the module 64-bit
    Player64, // a 64-bit player, and the module 32-bit under WoW64
};

// The view of the process that owns the player `window`. A player whose bitness cannot be told is
// taken as 32-bit, as the player is built.
FolderView PlayerFolderView(HWND window);

// Where the module's process finds what the player's finds as the special folder `csidl`: another
// special folder (`csidl` itself when the views agree), or else the environment variable `variable`.
struct FolderSource {
    int csidl;
    const char* variable; // null unless the folder comes from the environment
};

// The player's view is asked for only when `csidl` or `name` is a folder that differs between views.
FolderSource SpecialFolderFor(HWND player, int csidl);
// The variable that holds, in the module's environment, what `name` (`nameLength` characters) holds
// in the player's; null when that is `name` itself.
const char* VariableFor(HWND player, const char* name, size_t nameLength);
