// What the module asks of the process that owns a player window: the width of its pointers, with
// functions looked up rather than imported, so that the module still loads where the system lacks them.
#pragma once

#include <windows.h>

constexpr bool MODULE_IS_64_BIT = sizeof(void*) == 8;

// An export of kernel32, or null where this Windows has none.
FARPROC KernelExport(const char* name);

// A process that is not under WoW64 is 64-bit, unless Windows itself is 32-bit, which only a 32-bit
// module needs to ask. One that cannot say is taken as 32-bit, as the player is built.
bool ProcessIs64(HANDLE process);
