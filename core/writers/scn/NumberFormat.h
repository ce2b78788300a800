#pragma once
#include <cstdint>
#include <string>

namespace kv {

// Longest text FormatFixed6 can produce: sign, 39 integer digits, point, 6 decimals.
inline constexpr int kFixed6MaxLength = 48;

// Writes `value` exactly as the C library's "%.6f" prints a float promoted to
// double (the exact binary value rounded to six decimals, exact ties to even;
// negative values that round to zero keep their sign: "-0.000000").
// Returns the end of the written text; no terminating zero is written.
char* FormatFixed6(float value, char* out);

// Decimal text of an integer ("%d").
char* FormatInt(std::int64_t value, char* out);

// An object id as "%07d": zero-padded to seven digits, longer ids in full.
char* FormatId7(std::int32_t id, char* out);

// A constant of the scene as the scene file states it: at most seven
// significant digits without trailing zeros ("%.7g"), an exponent written
// with three digits ("-7.35057e-014", "0.7071068", "100", "0").
std::string FormatGiven(double value);

// The same without the zero before the point (".5", "-.5"), as mapping
// offsets are written.
std::string FormatGivenOffset(double value);

// Conveniences returning std::string (for tests and messages).
std::string Fixed6(float value);
std::string Id7(std::int32_t id);

}  // namespace kv
