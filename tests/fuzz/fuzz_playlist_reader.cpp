// The playlist reader over any file bytes, any position and any way of cutting the file into blocks,
// with and without the 16-byte scan, against a plain reading of the text-mode rules: data ends at the
// first Ctrl-Z, a line ends after its LF, CR LF arrives as LF, the entry is the (position+1)-th line
// not beginning with "#", each line counted once however long, answered as its first 4095 characters
// up to any zero byte.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../../src/trackinfo/playlist_reader.h"
#include "standin.h"

namespace {

std::string Expected(std::string file, int position)
{
    if (position < 0)
        return std::string();
    file = file.substr(0, file.find('\x1A'));
    std::string last;
    int entries = 0;
    size_t at = 0;
    while (at < file.size()) {
        size_t end = file.find('\n', at);
        end = end == std::string::npos ? file.size() : end + 1;
        std::string line = file.substr(at, end - at);
        at = end;
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
            line.replace(line.size() - 2, 2, "\n");
        last = line.substr(0, 4095);
        if (line[0] != '#' && ++entries > position)
            break;
    }
    return std::string(last.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    // A small position reaches every entry of a small file; a few inputs try the extremes.
    int position = static_cast<int8_t>(data[0]);
    if (position == 127)
        position = 2147483647;
    if (position == -128)
        position = -2147483647 - 1;
    size_t block = (data[1] & 0x7F) + 1;
    if (block == 128)
        block = 5000; // more than a line's answer
    StandinSetSse2((data[1] & 0x80) == 0);
    // The third byte stretches the file, so that long lines are within reach of small inputs.
    std::string file(reinterpret_cast<const char*>(data + 3), size - 3);
    if (data[2] & 1)
        file.insert(file.size() / 2, 4093 + (data[2] >> 1) % 8, data[2] & 2 ? '#' : 'z');

    EntryScan scan;
    StartEntryScan(scan, position);
    for (size_t at = 0; at < file.size() && !scan.done; at += block)
        ScanPlaylistBlock(scan, file.data() + at, file.size() - at < block ? file.size() - at : block);
    char line[LINE_BUFFER];
    FinishEntryScan(scan, line);
    if (std::string(line) != Expected(file, position))
        std::abort();
    return 0;
}
