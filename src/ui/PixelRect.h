#pragma once
// Pixel rectangles and the one rule that turns a computed length into a pixel.
#include <cmath>
#include <cstdint>

// Same field order and meaning as the platform's RECT: right and bottom are
// exclusive edges.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

inline bool operator==(const PixelRect& a, const PixelRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const PixelRect& a, const PixelRect& b)
{
    return !(a == b);
}

// Pixel coordinates never leave +-2^30, so the sum or difference of two of
// them (or of one and a small constant) still fits in 32 bits. Nothing on a
// screen comes near that; the bound only matters for hostile input.
constexpr int32_t kPixelLimit = 1 << 30;

// Truncates toward zero, saturating at +-kPixelLimit. NaN becomes 0 so that a
// broken value draws somewhere harmless instead of invoking undefined
// behaviour in the conversion.
inline int32_t TruncToPixel(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(kPixelLimit)) {
        return kPixelLimit;
    }
    if (value <= -static_cast<double>(kPixelLimit)) {
        return -kPixelLimit;
    }
    return static_cast<int32_t>(value);
}

// Clamps a 64-bit intermediate into the pixel range.
inline int32_t ClampToPixel(int64_t value)
{
    if (value > kPixelLimit) {
        return kPixelLimit;
    }
    if (value < -kPixelLimit) {
        return -kPixelLimit;
    }
    return static_cast<int32_t>(value);
}

// Clamps a 64-bit intermediate into the 32-bit signed range (scroll
// positions and margins that the platform takes as int).
inline int32_t Saturate32(int64_t value)
{
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}

// DPI scales come from the platform (dots per inch / 96). A scale that is not
// a positive finite number is taken as 1.0 (96 dpi) and anything above 64
// (6144 dpi) as 64, so margins stay small next to kPixelLimit.
inline double SanitizeDpiScale(double scale)
{
    if (!(scale > 0.0) || !std::isfinite(scale)) {
        return 1.0;
    }
    return scale > 64.0 ? 64.0 : scale;
}
