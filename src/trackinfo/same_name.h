#pragma once

#include <cstddef>

// Whether the `length` characters at `name` are `wanted`, without regard to the case of ASCII
// letters: as Windows compares environment variable names, and the profile functions sections and
// keys.
bool SameName(const char* name, size_t length, const char* wanted);
