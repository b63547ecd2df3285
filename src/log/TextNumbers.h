// Number texts of the log, independent of the user's locale: the decimal
// separator is always ".". Formatting matches the C runtime's "%0Nd", "%u" and
// "%.1f"; parsing matches wcstol (32-bit long) and wcstod.
#pragma once

#include <cstddef>
#include <cstdint>

// Longest text FormatFixed1 can make ("-" + 309 digits + ".0").
constexpr size_t kFixed1MaxChars = 320;

// "%0*d": at least `width` characters, zero-padded after the sign. Writes no NUL;
// returns the number of characters (at most 11 + width).
size_t FormatIntZeroPad(char* out, int32_t value, int width);

// "%u". Writes no NUL; returns the number of characters (at most 10).
size_t FormatUnsigned(char* out, uint32_t value);

// "%.1f", correctly rounded like the C runtime; "inf", "-inf", "nan" for the
// non-finite values. `out` must hold kFixed1MaxChars. Writes no NUL.
size_t FormatFixed1(char* out, double value);

// wcstol(text, nullptr, 10) with a 32-bit long, on [first, last): leading white
// space, optional sign, decimal digits; 0 without digits; the nearest limit of the
// 32-bit signed range when the value lies outside it.
int32_t ParseInt32(const char* first, const char* last);

// Like ParseInt32, except that exactly 4294967295, the "%u" text of -1, gives -1;
// every other value beyond the range saturates ("3000000000" gives 2147483647).
int32_t ParseInt32MinusOneAsUnsigned(const char* first, const char* last);

// wcstod(text, nullptr) on [first, last): leading white space, optional sign, the
// longest prefix that is a decimal or hexadecimal number, "inf", "infinity" or "nan";
// 0 when there is none; +-HUGE_VAL on overflow, 0 on underflow.
double ParseDouble(const char* first, const char* last);

// The white space wcstol and wcstod skip.
inline bool IsCSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
