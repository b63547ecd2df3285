// The log's own number texts against the C library they stand in for:
// "%0*d", "%u" and "%.1f" against snprintf, and the integer and real
// readers against strtol / strtod narrowed to a 32-bit long. The C locale
// is in force (nothing here sets a locale), so the library's decimal point
// is ".", as the log's is in every locale. Every formatter writes into a
// buffer of exactly its documented capacity.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "log/TextNumbers.h"

namespace {

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    FUZZ_CHECK(n >= 0 && static_cast<size_t>(n) < sizeof buffer);
    return std::string(buffer, static_cast<size_t>(n));
}

void CheckFormatting(FuzzedDataProvider& input)
{
    const int32_t value = input.ConsumeIntegral<int32_t>();
    const int width = input.ConsumeIntegralInRange(-4, 24);
    const size_t capacity = 11 + static_cast<size_t>(width > 0 ? width : 0);
    std::unique_ptr<char[]> out(new char[capacity]);
    const size_t n = FormatIntZeroPad(out.get(), value, width);
    FUZZ_CHECK(n <= capacity);
    FUZZ_CHECK(std::string(out.get(), n) == (width > 0 ? Printf("%0*d", width, value) : Printf("%d", value)));

    const uint32_t u = input.ConsumeIntegral<uint32_t>();
    std::unique_ptr<char[]> digits(new char[10]);
    const size_t m = FormatUnsigned(digits.get(), u);
    FUZZ_CHECK(std::string(digits.get(), m) == Printf("%u", u));

    // Any bit pattern: huge, tiny, negative zero, infinities, NaNs.
    double d;
    const uint64_t bits = input.ConsumeIntegral<uint64_t>();
    std::memcpy(&d, &bits, sizeof d);
    if (input.ConsumeBool()) {
        // Plain values near ties of the first decimal, where rounding is hard.
        d = static_cast<double>(input.ConsumeIntegralInRange<int64_t>(-20000000, 20000000)) / 20.0 +
            input.ConsumeIntegralInRange(-3, 3) * 1e-9;
    }
    std::unique_ptr<char[]> fixed(new char[kFixed1MaxChars]);
    const std::string got(fixed.get(), FormatFixed1(fixed.get(), d));
    if (std::isfinite(d)) {
        FUZZ_CHECK(got == Printf("%.1f", d));
    } else if (std::isinf(d)) {
        FUZZ_CHECK(got == (d > 0 ? "inf" : "-inf"));
    } else {
        FUZZ_CHECK(got == "nan" || got == "-nan");
    }
}

int32_t Clamp32(long long v)
{
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int32_t>(v);
}

void CheckParsing(const std::string& text)
{
    // The library reads up to a NUL; the log readers take a range that
    // would run on, so both get the text up to its first NUL.
    const std::string cut = text.substr(0, text.find('\0'));
    std::unique_ptr<char[]> exact(new char[cut.size() ? cut.size() : 1]);
    std::memcpy(exact.get(), cut.data(), cut.size());
    const char* first = exact.get();
    const char* last = first + cut.size();

    errno = 0;
    const long long wide = std::strtoll(cut.c_str(), nullptr, 10);
    const bool rangeError = errno == ERANGE;
    FUZZ_CHECK(ParseInt32(first, last) == Clamp32(wide));
    const int32_t minusOne = !rangeError && wide == static_cast<long long>(UINT_MAX) ? -1 : Clamp32(wide);
    FUZZ_CHECK(ParseInt32MinusOneAsUnsigned(first, last) == minusOne);

    const double want = std::strtod(cut.c_str(), nullptr);
    const double got = ParseDouble(first, last);
    if (std::isnan(want)) {
        FUZZ_CHECK(std::isnan(got));
    } else {
        FUZZ_CHECK(std::memcmp(&got, &want, sizeof got) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        CheckFormatting(input);
    }
    CheckParsing(input.ConsumeRemainingBytesAsString());
    return 0;
}
