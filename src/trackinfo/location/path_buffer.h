#pragma once

#include <cstddef>

// Room for a path built in the module, in UTF-16 units, terminator included.
constexpr size_t PATH_BUFFER = 4096;
