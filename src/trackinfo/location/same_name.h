#pragma once

#include <windows.h>

#include <cstddef>

// Whether the `length` characters at `name` are the ASCII `wanted`, without regard to the case of
// ASCII letters: as Windows compares environment variable names, and the profile functions sections
// and keys.
bool SameName(const WCHAR* name, size_t length, const char* wanted);
