// TRACKPLAY's number reading against the C library's strtod: on the decimal forms strtod reads (with
// the d exponent written as e) both give the same value; anything else reads as 0.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../../src/player/playlist_number.h"

namespace {

bool DecimalOnly(const char* begin, const char* end)
{
    for (const char* p = begin; p < end; ++p)
        if (!std::strchr("0123456789+-.eE \t\n\v\f\r", *p))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str(); // the host's text ends at its first zero

    std::string asC = text;
    for (char& c : asC)
        if (c == 'd' || c == 'D')
            c = 'e';
    char* end = nullptr;
    double reference = std::strtod(asC.c_str(), &end);
    bool decimal = end != asC.c_str() && DecimalOnly(asC.c_str(), end);

    double value = ReadPlaylistNumber(text.c_str());
    if (decimal) {
        if (!(value == reference || (std::isnan(value) && std::isnan(reference))))
            std::abort();
    } else if (value != 0.0) {
        std::abort(); // hexadecimal, infinity, not-a-number or no number at all
    }

    int position = PlaylistPositionOf(value);
    if (position < -1 || (value >= 1.0 && position < 0) || (value < 1.0 && position != -1))
        std::abort();
    return 0;
}
