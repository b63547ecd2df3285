#include "log/TextNumbers.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Decimal digits of an unsigned value. A template rather than one 64-bit
// body: the 32-bit build would divide every 32-bit value in 64 bits.
template <class Unsigned>
size_t WriteDigits(char* out, Unsigned value)
{
    char tmp[20];
    size_t n = 0;
    do {
        tmp[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (size_t i = 0; i < n; ++i)
        out[i] = tmp[n - 1 - i];
    return n;
}

const char* SkipSpace(const char* p, const char* last)
{
    while (p != last && IsCSpace(*p))
        ++p;
    return p;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Sign and magnitude of a decimal integer text; the magnitude saturates just above
// 2^32 so that every out-of-range case is still recognised.
struct IntText {
    bool negative;
    uint64_t magnitude;
};

IntText ScanInt(const char* first, const char* last)
{
    const char* p = SkipSpace(first, last);
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const uint64_t cap = uint64_t(1) << 33;
    uint64_t magnitude = 0;
    for (; p != last && IsDigit(*p); ++p) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
        if (magnitude > cap)
            magnitude = cap;
    }
    return IntText{negative, magnitude};
}

int32_t ClampToInt32(const IntText& t)
{
    if (t.negative)
        return t.magnitude >= (uint64_t(1) << 31) ? std::numeric_limits<int32_t>::min()
                                                   : -static_cast<int32_t>(t.magnitude);
    return t.magnitude > uint64_t(std::numeric_limits<int32_t>::max())
               ? std::numeric_limits<int32_t>::max()
               : static_cast<int32_t>(t.magnitude);
}

// Decides, for a number that from_chars found out of range, whether it was too
// large (true) or too small (false): compares the position of its first nonzero
// digit plus its exponent against zero.
bool OutOfRangeIsHuge(const char* p, const char* last, bool hex)
{
    const int64_t limit = int64_t(1) << 40;
    int64_t intDigits = 0;      // significant digits before the radix point
    int64_t leadingZeros = 0;   // zeros after the radix point before the first nonzero
    bool nonzeroSeen = false;
    auto isDigit = [hex](char c) { return hex ? HexValue(c) >= 0 : IsDigit(c); };
    for (; p != last && isDigit(*p); ++p) {
        if (*p != '0')
            nonzeroSeen = true;
        if (nonzeroSeen && intDigits < limit)
            ++intDigits;
    }
    if (p != last && *p == '.') {
        for (++p; p != last && isDigit(*p); ++p) {
            if (*p != '0')
                nonzeroSeen = true;
            if (!nonzeroSeen && leadingZeros < limit)
                ++leadingZeros;
        }
    }
    int64_t exponent = 0;
    const char expMark = hex ? 'p' : 'e';
    if (p != last && (*p == expMark || *p == expMark - 32)) {
        ++p;
        bool negative = false;
        if (p != last && (*p == '+' || *p == '-')) {
            negative = *p == '-';
            ++p;
        }
        for (; p != last && IsDigit(*p); ++p)
            if (exponent < limit)
                exponent = exponent * 10 + (*p - '0');
        if (negative)
            exponent = -exponent;
    }
    const int64_t position = intDigits > 0 ? intDigits : -leadingZeros;
    return (hex ? position * 4 : position) + exponent > 0;
}

// End of the hexadecimal number text at p: digits, an optional point and
// digits, and a binary exponent only where a digit follows its optional sign.
// from_chars is given no more than this, because this runtime's hexadecimal
// reader takes "p+-1" as an exponent where the C library stops before the "p".
const char* HexFloatEnd(const char* p, const char* last)
{
    while (p != last && HexValue(*p) >= 0)
        ++p;
    if (p != last && *p == '.')
        for (++p; p != last && HexValue(*p) >= 0; ++p) {
        }
    if (p == last || (*p != 'p' && *p != 'P'))
        return p;
    const char* exponent = p + 1;
    if (exponent != last && (*exponent == '+' || *exponent == '-'))
        ++exponent;
    if (exponent == last || !IsDigit(*exponent))
        return p;
    while (exponent != last && IsDigit(*exponent))
        ++exponent;
    return exponent;
}

// Parses an unsigned number (no sign, no white space) with from_chars in the given
// format; returns false when no number starts at p.
bool ParseUnsignedFloat(const char* p, const char* last, std::chars_format format, double& value)
{
    if (p == last || *p == '+' || *p == '-')
        return false;
    if (format == std::chars_format::hex)
        last = HexFloatEnd(p, last);
    double v = 0.0;
    const std::from_chars_result r = std::from_chars(p, last, v, format);
    if (r.ec == std::errc::invalid_argument)
        return false;
    if (r.ec == std::errc::result_out_of_range)
        v = OutOfRangeIsHuge(p, last, format == std::chars_format::hex)
                ? std::numeric_limits<double>::infinity()
                : 0.0;
    value = v;
    return true;
}

// The common case of a plain decimal such as "25.0": at most 15 digits and no
// exponent. Integer and power of ten are exact doubles, so one division gives the
// correctly rounded value. Where the platform computes in a wider format, that
// division could round twice, so there every number goes to from_chars.
bool ParsePlainDecimal(const char* p, const char* last, double& value)
{
#if FLT_EVAL_METHOD == 0
    static const double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                    1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    uint64_t mantissa = 0;
    int digits = 0;
    int fraction = 0;
    for (; p != last && IsDigit(*p) && digits <= 15; ++p, ++digits)
        mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    if (p != last && *p == '.')
        for (++p; p != last && IsDigit(*p) && digits <= 15; ++p, ++digits, ++fraction)
            mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    if (digits == 0 || digits > 15)
        return false;
    if (p != last && (*p == 'e' || *p == 'E' || *p == 'x' || *p == 'X'))
        return false;
    value = static_cast<double>(mantissa) / kPow10[fraction];
    return true;
#else
    (void)p;
    (void)last;
    (void)value;
    return false;
#endif
}

} // namespace

size_t FormatIntZeroPad(char* out, int32_t value, int width)
{
    size_t n = 0;
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (value < 0) {
        out[n++] = '-';
        magnitude = 0u - magnitude;
    }
    char digits[10];
    const size_t count = WriteDigits(digits, magnitude);
    for (size_t pad = n + count; pad < static_cast<size_t>(width > 0 ? width : 0); ++pad)
        out[n++] = '0';
    std::memcpy(out + n, digits, count);
    return n + count;
}

size_t FormatUnsigned(char* out, uint32_t value)
{
    return WriteDigits(out, value);
}

size_t FormatFixed1(char* out, double value)
{
    if (std::isfinite(value)) {
        const double magnitude = std::fabs(value);
        // Below 10^6 the tenths of the exact value are known from value * 10 unless
        // it lies within 10^-6 of a half; the runtime's rule for such near-ties and
        // for large values comes from to_chars.
        if (magnitude < 1e6) {
            const double scaled = magnitude * 10.0;
            const double whole = std::floor(scaled);
            const double fraction = scaled - whole;
            if (std::fabs(fraction - 0.5) > 1e-6) {
                const uint64_t tenths = static_cast<uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
                size_t n = 0;
                if (std::signbit(value))
                    out[n++] = '-';
                n += WriteDigits(out + n, tenths / 10);
                out[n++] = '.';
                out[n++] = static_cast<char>('0' + tenths % 10);
                return n;
            }
        }
        const std::to_chars_result r =
            std::to_chars(out, out + kFixed1MaxChars, value, std::chars_format::fixed, 1);
        return static_cast<size_t>(r.ptr - out);
    }
    size_t n = 0;
    if (std::signbit(value))
        out[n++] = '-';
    const char* text = std::isnan(value) ? "nan" : "inf";
    std::memcpy(out + n, text, 3);
    return n + 3;
}

int32_t ParseInt32(const char* first, const char* last)
{
    return ClampToInt32(ScanInt(first, last));
}

int32_t ParseInt32MinusOneAsUnsigned(const char* first, const char* last)
{
    const IntText t = ScanInt(first, last);
    if (!t.negative && t.magnitude == uint64_t(std::numeric_limits<uint32_t>::max()))
        return -1;
    return ClampToInt32(t);
}

double ParseDouble(const char* first, const char* last)
{
    const char* p = SkipSpace(first, last);
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    double value = 0.0;
    bool parsed = ParsePlainDecimal(p, last, value);
    // "0x" starts a hexadecimal number only when a digit follows (after an
    // optional point); otherwise the number is the "0" alone, and "0xinf" or
    // "0xnan" read as 0, not as infinity or NaN.
    if (!parsed && last - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        (HexValue(p[2]) >= 0 || (p[2] == '.' && last - p >= 4 && HexValue(p[3]) >= 0)))
        parsed = ParseUnsignedFloat(p + 2, last, std::chars_format::hex, value);
    if (!parsed)
        parsed = ParseUnsignedFloat(p, last, std::chars_format::general, value);
    if (!parsed)
        return 0.0;
    return negative ? -value : value;
}
