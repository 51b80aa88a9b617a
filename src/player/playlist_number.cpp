#include "playlist_number.h"

#include <windows.h>

#include <cctype>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>

namespace {

// Enough significant digits to tell any two doubles apart, and the halfway point between them.
constexpr size_t SIGNIFICANT_DIGITS = 800;
// Past this the number is infinite or zero whatever its digits.
constexpr long long EXPONENT_LIMIT = 1000000000;
constexpr size_t POINT_MAX = 8;
// Sign, «0», point, digits, the digit for the rest, «e», sign and exponent.
constexpr size_t NUMBER_BUFFER = 2 + POINT_MAX + SIGNIFICANT_DIGITS + 1 + 2 + 10 + 1;

#ifdef _WIN32
// MinGW's headers send strtod to MinGW's own C99 version, which brings hexadecimal floats and some
// 60 KB into the DLL. Only plain decimal text reaches strtod here, which the system C library's own
// strtod (msvcrt) reads just as well. Its symbol carries the target's C label prefix: "_strtod" on
// i686, "strtod" on x86_64.
#define TOLBRY_STRING(x) #x
#define TOLBRY_C_SYMBOL(prefix, name) TOLBRY_STRING(prefix) name
extern "C" double __cdecl SystemStrtod(const char* text, char** end) __asm__(TOLBRY_C_SYMBOL(__USER_LABEL_PREFIX__, "strtod"));
#else
double SystemStrtod(const char* text, char** end)
{
    return std::strtod(text, end);
}
#endif

// The host's text, 8-bit or UTF-16, read one code unit at a time: one reading for both widths.
struct Units {
    const void* text;
    bool wide;

    unsigned operator[](size_t i) const
    {
        return wide ? static_cast<unsigned>(static_cast<const WCHAR*>(text)[i])
                    : static_cast<unsigned char>(static_cast<const char*>(text)[i]);
    }
};

bool IsDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

// The C library's white space; UTF-16 units past ASCII are none.
bool IsSpace(unsigned c, bool wide)
{
    return (!wide || c < 0x80) && std::isspace(static_cast<int>(c)) != 0;
}

// Length of the run of decimal digits at `p`.
size_t Digits(const Units& text, size_t p)
{
    size_t n = 0;
    while (IsDigit(text[p + n]))
        ++n;
    return n;
}

HostNumber ReadNumber(const Units& text)
{
    HostNumber read{false, false, 0.0};
    size_t p = 0;
    while (IsSpace(text[p], text.wide))
        ++p;
    read.relative = text[p] == '+' || text[p] == '-';
    bool negative = text[p] == '-';
    if (text[p] == '+' || text[p] == '-')
        ++p;
    size_t whole = p;
    size_t wholeDigits = Digits(text, p);
    p += wholeDigits;
    size_t fraction = p;
    size_t fractionDigits = 0;
    if (text[p] == '.') {
        fraction = p + 1;
        fractionDigits = Digits(text, fraction);
        if (wholeDigits + fractionDigits > 0)
            p += 1 + fractionDigits;
    }
    if (wholeDigits + fractionDigits == 0)
        return read;
    read.found = true;
    long long exponent = 0;
    unsigned letter = text[p];
    if (letter == 'e' || letter == 'E' || letter == 'd' || letter == 'D') {
        size_t q = p + 1;
        bool below = text[q] == '-';
        if (text[q] == '+' || text[q] == '-')
            ++q;
        for (; IsDigit(text[q]); ++q)
            if (exponent < EXPONENT_LIMIT)
                exponent = exponent * 10 + (text[q] - '0');
        exponent = below ? -exponent : exponent;
    }

    // The digits go to strtod as «0.DDDDe±X», so that it can neither read further (hexadecimal,
    // infinity) nor stop short (the d exponent, a decimal point other than the locale's), and so that
    // any length of text fits a fixed buffer: past the first SIGNIFICANT_DIGITS, one digit 1 stands
    // for whatever non-zero digits follow, which rounds to the same double.
    auto digitAt = [&](size_t i) { return static_cast<char>(text[i < wholeDigits ? whole + i : fraction + i - wholeDigits]); };
    size_t digits = wholeDigits + fractionDigits;
    size_t first = 0;
    while (first < digits && digitAt(first) == '0')
        ++first;
    if (first == digits) {
        read.value = negative ? -0.0 : 0.0;
        return read;
    }
    exponent += static_cast<long long>(wholeDigits) - static_cast<long long>(first);
    if (exponent > EXPONENT_LIMIT)
        exponent = EXPONENT_LIMIT;
    if (exponent < -EXPONENT_LIMIT)
        exponent = -EXPONENT_LIMIT;

    char number[NUMBER_BUFFER];
    size_t n = 0;
    if (negative)
        number[n++] = '-';
    number[n++] = '0';
    const char* point = std::localeconv()->decimal_point;
    if (point == nullptr || *point == '\0' || std::strlen(point) > POINT_MAX)
        point = ".";
    for (; *point != '\0'; ++point)
        number[n++] = *point;
    size_t i = first;
    for (; i < digits && i - first < SIGNIFICANT_DIGITS; ++i)
        number[n++] = digitAt(i);
    for (; i < digits; ++i)
        if (digitAt(i) != '0') {
            number[n++] = '1';
            break;
        }
    number[n++] = 'e';
    if (exponent < 0)
        number[n++] = '-';
    unsigned magnitude = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    char reversed[12];
    size_t r = 0;
    do {
        reversed[r++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (r > 0)
        number[n++] = reversed[--r];
    number[n] = '\0';
    read.value = SystemStrtod(number, nullptr);
    return read;
}

} // namespace

double ReadPlaylistNumber(const char* text)
{
    return ReadNumber({text, false}).value;
}

double ReadPlaylistNumber(const WCHAR* text)
{
    return ReadNumber({text, true}).value;
}

HostNumber ReadHostNumber(const char* text)
{
    return ReadNumber({text, false});
}

HostNumber ReadHostNumber(const WCHAR* text)
{
    return ReadNumber({text, true});
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
