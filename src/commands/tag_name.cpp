#include "tag_name.h"

#include "../trackinfo/text.h"

namespace {

bool IsNameUnit(unsigned c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

bool TagName(const HostText& text, WCHAR (&name)[TAG_NAME_MAX + 1])
{
    name[0] = 0;
    size_t end = HostTextUnits(text);
    size_t start = 0;
    while (start < end && IsBlank(HostUnitAt(text, start)))
        ++start;
    while (end > start && IsBlank(HostUnitAt(text, end - 1)))
        --end;
    if (start == end || end - start > TAG_NAME_MAX)
        return false;
    for (size_t i = start; i < end; ++i) {
        unsigned c = HostUnitAt(text, i);
        if (!IsNameUnit(c))
            return false;
        name[i - start] = static_cast<WCHAR>(c);
    }
    name[end - start] = 0;
    return true;
}
