#pragma once

#include <cstddef>

// Room for a path built in the module, terminator included.
constexpr size_t PATH_BUFFER = 4096;
