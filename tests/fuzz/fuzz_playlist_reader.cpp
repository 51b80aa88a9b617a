// The playlist reader over any file bytes and any position, lines far longer than one read included,
// against a plain reading: the entry is the (position+1)-th line not beginning with "#", each line
// counted once however long, answered as its first 4095 bytes up to any zero byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../../src/trackinfo/current_entry.h"

namespace {

std::string Expected(const std::string& file, int position)
{
    if (position < 0)
        return std::string();
    std::string last;
    bool any = false;
    int entries = 0;
    size_t at = 0;
    while (at < file.size()) {
        size_t end = file.find('\n', at);
        end = end == std::string::npos ? file.size() : end + 1;
        std::string line = file.substr(at, end - at);
        at = end;
        last = line.substr(0, 4095);
        any = true;
        if (line[0] != '#' && ++entries > position)
            break;
    }
    return any ? std::string(last.c_str()) : std::string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // A small position reaches every entry of a small file; a few inputs try the extremes.
    int position = static_cast<int8_t>(data[0]);
    if (position == 127)
        position = 2147483647;
    if (position == -128)
        position = -2147483647 - 1;
    std::string file(reinterpret_cast<const char*>(data + 1), size - 1);

    std::FILE* f = fmemopen(const_cast<char*>(file.data()), file.size() ? file.size() : 1, "r");
    if (f == nullptr)
        std::abort();
    std::string entry = file.empty() ? ReadPlaylistEntry(f, -1) : ReadPlaylistEntry(f, position);
    std::fclose(f);
    if (entry != Expected(file, file.empty() ? -1 : position))
        std::abort();
    return 0;
}
