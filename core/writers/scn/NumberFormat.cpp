#include "core/writers/scn/NumberFormat.h"

#include <cstdio>

#include <cstring>

namespace kv {

namespace {

// Writes the decimal digits of v (at least `minDigits`, zero-padded).
template <typename U>
char* WriteDigits(U v, int minDigits, char* out)
{
    char buffer[48];
    int n = 0;
    do {
        buffer[n++] = static_cast<char>('0' + static_cast<int>(v % 10));
        v /= 10;
    } while (v != 0);
    while (n < minDigits) buffer[n++] = '0';
    while (n > 0) *out++ = buffer[--n];
    return out;
}

}  // namespace

char* FormatFixed6(float value, char* out)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 31) != 0;
    const int exponentField = static_cast<int>((bits >> 23) & 0xffu);
    const std::uint32_t fraction = bits & 0x7fffffu;

    if (exponentField == 0xff) {
        if (negative) *out++ = '-';
        const char* word = fraction ? "nan" : "inf";
        std::memcpy(out, word, 3);
        return out + 3;
    }
    if (negative) *out++ = '-';

    // value = mantissa * 2^exponent exactly.
    const std::uint64_t mantissa = exponentField ? (fraction | 0x800000u) : fraction;
    const int exponent = exponentField ? exponentField - 150 : -149;

    if (exponent >= 0) {
        // An integer: mantissa < 2^24 and exponent <= 104, so it fits 128 bits.
        const unsigned __int128 whole = static_cast<unsigned __int128>(mantissa) << exponent;
        out = WriteDigits(whole, 1, out);
        std::memcpy(out, ".000000", 7);
        return out + 7;
    }

    // Scaled value mantissa * 10^6 / 2^k, rounded to nearest, ties to even.
    // mantissa * 10^6 < 2^44, so for k >= 46 the result is below 0.25: zero.
    const int k = -exponent;
    std::uint64_t q = 0;
    if (k < 64) {
        const std::uint64_t scaled = mantissa * 1000000u;
        q = scaled >> k;
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << k) - 1);
        const std::uint64_t half = std::uint64_t{1} << (k - 1);
        if (rest > half || (rest == half && (q & 1u))) ++q;
    }
    out = WriteDigits(q / 1000000u, 1, out);
    *out++ = '.';
    return WriteDigits(q % 1000000u, 6, out);
}

char* FormatInt(std::int64_t value, char* out)
{
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0 - magnitude;
    }
    return WriteDigits(magnitude, 1, out);
}

char* FormatId7(std::int32_t id, char* out)
{
    if (id < 0) {
        // "%07d" of a negative number: the sign counts toward the width.
        *out++ = '-';
        return WriteDigits(0u - static_cast<std::uint32_t>(id), 6, out);
    }
    return WriteDigits(static_cast<std::uint32_t>(id), 7, out);
}

std::string FormatGiven(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.7g", value);
    std::string text = buffer;
    const std::size_t e = text.find('e');
    if (e == std::string::npos) return text;
    // The C library writes at least two exponent digits; the scene writes three.
    std::string digits = text.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    return text.substr(0, e + 2) + digits;
}

std::string FormatGivenOffset(double value)
{
    std::string text = FormatGiven(value);
    if (text.rfind("0.", 0) == 0) return text.substr(1);
    if (text.rfind("-0.", 0) == 0) return "-" + text.substr(2);
    return text;
}

std::string Fixed6(float value)
{
    char buffer[kFixed6MaxLength];
    return std::string(buffer, FormatFixed6(value, buffer));
}

std::string Id7(std::int32_t id)
{
    char buffer[16];
    return std::string(buffer, FormatId7(id, buffer));
}

}  // namespace kv
