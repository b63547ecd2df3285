#include "log/CodePageMode.h"

#include <initializer_list>

namespace {
// The code pages besides UTF-7 that take no conversion flags at all.
bool TakesNoFlags(unsigned codePage)
{
    for (unsigned listed : {42u, 50220u, 50221u, 50222u, 50225u, 50227u, 50229u})
        if (codePage == listed) return true;
    return codePage >= 57002 && codePage <= 57011;
}
}

WideToCodePageMode WideToCodePageModeFor(unsigned codePage)
{
    // Every UTF-16 text has a UTF-7 form; UTF-8 lacks one only for a lone
    // surrogate, which failOnInvalid turns into a failure.
    if (codePage == kCodePageUtf8) return WideToCodePageMode{false, true, false, false};
    if (codePage == kCodePageUtf7) return WideToCodePageMode{false, false, false, false};
    if (TakesNoFlags(codePage)) return WideToCodePageMode{false, false, true, true};
    return WideToCodePageMode{true, false, true, false};
}
