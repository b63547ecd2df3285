#pragma once
// How text is converted from wide characters into a code page so that a
// character without a form there is noticed, never replaced: the platform
// refuses the usual arguments for some code pages, so they are chosen here.

// Code pages whose bytes are UTF-7 and UTF-8.
constexpr unsigned kCodePageUtf7 = 65000;
constexpr unsigned kCodePageUtf8 = 65001;

struct WideToCodePageMode {
    // Ask that no character be replaced by a look-alike (WC_NO_BEST_FIT_CHARS).
    // Refused (ERROR_INVALID_FLAGS) for UTF-7, UTF-8 and the code pages that
    // take no flags.
    bool noBestFit;
    // Ask for a failure on a lone surrogate instead of U+FFFD (WC_ERR_INVALID_CHARS);
    // UTF-8 only.
    bool failOnInvalid;
    // Pass the used-default flag to learn of a replaced character. Refused
    // (ERROR_INVALID_PARAMETER) for UTF-7 and UTF-8.
    bool checkUsedDefault;
    // The flags above cannot rule out a look-alike: convert the bytes back
    // and compare them with the text.
    bool checkRoundTrip;
};

WideToCodePageMode WideToCodePageModeFor(unsigned codePage);
