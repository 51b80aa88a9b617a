#include "playlist_number.h"

#include <cctype>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <string>

namespace {

#ifdef _WIN32
// MinGW's headers send strtod to MinGW's own C99 version, which brings hexadecimal floats and some
// 60 KB into the DLL. Only plain decimal text reaches strtod here, which the system C library's own
// strtod (msvcrt) reads just as well.
extern "C" double __cdecl SystemStrtod(const char* text, char** end) __asm__("_strtod");
#else
double SystemStrtod(const char* text, char** end)
{
    return std::strtod(text, end);
}
#endif

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the run of decimal digits at `p`.
size_t Digits(const char* p)
{
    size_t n = 0;
    while (IsDigit(p[n]))
        ++n;
    return n;
}

} // namespace

double ReadPlaylistNumber(const char* text)
{
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;

    // Only the decimal form is copied for strtod, so that it can neither read further (hexadecimal,
    // infinity) nor stop short (the d exponent, a decimal point other than the locale's).
    std::string number;
    if (*p == '+' || *p == '-')
        number += *p++;
    size_t whole = Digits(p);
    number.append(p, whole);
    p += whole;
    size_t fraction = 0;
    if (*p == '.') {
        fraction = Digits(p + 1);
        if (whole + fraction > 0) {
            const char* point = std::localeconv()->decimal_point;
            number += (point != nullptr && *point != '\0') ? point : ".";
            number.append(p + 1, fraction);
            p += 1 + fraction;
        }
    }
    if (whole + fraction == 0)
        return 0.0;
    if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
        const char* q = p + 1;
        const char* sign = q;
        if (*q == '+' || *q == '-')
            ++q;
        size_t exponent = Digits(q);
        if (exponent > 0) {
            number += 'e';
            number.append(sign, static_cast<size_t>(q + exponent - sign));
        }
    }
    return SystemStrtod(number.c_str(), nullptr);
}

int PlaylistPositionOf(double number)
{
    double position = number - 1.0;
    if (!(position >= 0.0))
        return -1;
    // A plain conversion of a value past INT_MAX gives INT_MIN on x86: a negative position.
    if (position >= 2147483648.0)
        return INT_MAX;
    return static_cast<int>(position);
}
