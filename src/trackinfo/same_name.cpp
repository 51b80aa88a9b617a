#include "same_name.h"

#include <cstring>

namespace {

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool SameName(const char* name, size_t length, const char* wanted)
{
    if (std::strlen(wanted) != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (Upper(name[i]) != Upper(wanted[i]))
            return false;
    return true;
}
