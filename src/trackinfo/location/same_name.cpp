#include "same_name.h"

#include <cstring>

namespace {

unsigned Upper(unsigned c)
{
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

} // namespace

bool SameName(const WCHAR* name, size_t length, const char* wanted)
{
    if (std::strlen(wanted) != length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (Upper(name[i]) != Upper(static_cast<unsigned char>(wanted[i])))
            return false;
    return true;
}
