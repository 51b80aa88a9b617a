// On 64-bit Windows a 32-bit program and a 64-bit one see some folders in different places: to a
// 32-bit one "Program Files" is "Program Files (x86)". paths.ini is the player's, so its folders are
// the ones the player's own process sees, whatever the module's bitness.
#pragma once

#include <windows.h>

#include <cstddef>

// Where the module's process finds what the player's finds as the special folder `csidl`: another
// special folder (`csidl` itself when the views agree), or else the environment variable `variable`.
struct FolderSource {
    int csidl;
    const char* variable; // null unless the folder comes from the environment
};

// `playerIs64`: the bitness of the player's process, as LearnPlayerProgram tells it.
FolderSource SpecialFolderFor(bool playerIs64, int csidl);
// The variable that holds, in the module's environment, what `name` (`nameLength` characters) holds
// in the player's; null when that is `name` itself.
const char* VariableFor(bool playerIs64, const WCHAR* name, size_t nameLength);
