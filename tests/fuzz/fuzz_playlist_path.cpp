// The registry value to the playlist path, for any value bytes, with or without a terminating zero
// and of any length: the path is empty or the program's folder with WINAMP.m3u, the key is closed.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../common/playlist_path_found.h"
#include "standin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string value(reinterpret_cast<const char*>(data), size);
    StandinReset();
    StandinSetDefaultValue("Winamp.File\\shell\\Play\\command", value);
    std::string path = PathFound();
    if (StandinOpenKeys() != 0)
        std::abort();

    std::string expected;
    if (value.size() <= 2048) {
        std::string text = value.c_str();
        size_t start = text.find_first_not_of('"');
        std::string program = start == std::string::npos ? "" : text.substr(start, text.find('"', start) - start);
        size_t slash = program.rfind('\\');
        if (slash != std::string::npos)
            expected = program.substr(0, slash + 1) + "WINAMP.m3u";
    }
    // The value is 8-bit text in the ANSI code page (ISO 8859-1 here); the path comes in UTF-8.
    std::u16string wide;
    for (char c : expected)
        wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    expected = Utf8Of(wide.c_str());
    if (path != expected)
        std::abort();
    return 0;
}
