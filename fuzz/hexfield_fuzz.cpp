// Hex field conversion against two independent references: the plain model
// in HexReference.h for any text, and the C library's own strtoull for ASCII
// text (whose white space and digits are the same everywhere), narrowed to
// 32-bit unsigned long semantics.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <memory>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "HexReference.h"
#include "protocol/HexField.h"

namespace {

// strtoull is 64-bit; a 32-bit wcstoul gives ULONG_MAX for any magnitude
// beyond 32 bits, and otherwise the same low 32 bits.
uint32_t LibraryHexValue(const std::wstring& text)
{
    std::string narrow(text.begin(), text.end());
    errno = 0;
    const unsigned long long raw = std::strtoull(narrow.c_str(), nullptr, 16);
    if (errno == ERANGE) {
        return 0xFFFFFFFFu;
    }
    const size_t first = narrow.find_first_not_of(" \t\n\v\f\r");
    const bool negative = first != std::string::npos && narrow[first] == '-';
    const unsigned long long magnitude = negative ? 0ull - raw : raw;
    if (magnitude > 0xFFFFFFFFull) {
        return 0xFFFFFFFFu;
    }
    return static_cast<uint32_t>(raw);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring text = FuzzWideText(data, size);
    const uint32_t value = HexFieldValue(text);

    FUZZ_CHECK(value == ReferenceHexValue(text));
    if (IsAsciiText(text)) {
        FUZZ_CHECK(value == LibraryHexValue(text));
    }
    FUZZ_CHECK(HexFieldCommand(text) == (value & 0xFF));
    FUZZ_CHECK(HexFieldData(text) == (value & 0xFFFF));

    // A view must be read only up to its end: the prefix goes into a buffer
    // of exactly its size, so ASan sees any read past it.
    if (!text.empty()) {
        const size_t cut = data[0] % text.size();
        std::unique_ptr<wchar_t[]> exact(new wchar_t[cut]);
        std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cut), exact.get());
        FUZZ_CHECK(HexFieldValue(std::wstring_view(exact.get(), cut)) == ReferenceHexValue(text.substr(0, cut)));
    }
    return 0;
}
