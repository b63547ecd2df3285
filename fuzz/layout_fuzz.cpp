// Layout arithmetic of the main window with extreme sizes: the resize rules
// applied to any client and control rectangles, the rule list driven
// through a fake window system that fails on demand, the DPI-scaled sizes
// and the current-value panel's numbers. Checked: rectangles never turn
// inside out and stay within the pixel limit, a rule measured from a
// control puts it back where it was, anchored edges follow the client edge,
// the rule list keeps one valid rule per control, and ApplyLayout moves the
// controls in one batch exactly as the rules say.
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "ui/CurrentValuePanel.h"
#include "ui/DpiMetrics.h"
#include "ui/ResizeLayout.h"

namespace {

int32_t AnyInt(FuzzedDataProvider& input, int32_t lo, int32_t hi)
{
    return input.ConsumeIntegralInRange(0, 3) != 0 ? input.ConsumeIntegralInRange(lo, hi) : input.ConsumeIntegral<int32_t>();
}

PixelRect AnyRect(FuzzedDataProvider& input)
{
    PixelRect r;
    r.left = AnyInt(input, -50, 2000);
    r.top = AnyInt(input, -50, 2000);
    r.right = AnyInt(input, -50, 3000);
    r.bottom = AnyInt(input, -50, 3000);
    return r;
}

bool Sane(const PixelRect& r)
{
    return r.left <= r.right && r.top <= r.bottom && r.left >= -kPixelLimit && r.right <= kPixelLimit &&
           r.top >= -kPixelLimit && r.bottom <= kPixelLimit;
}

bool Small(int32_t v)
{
    return v > -(1 << 28) && v < (1 << 28);
}

bool Small(const PixelRect& r)
{
    return Small(r.left) && Small(r.top) && Small(r.right) && Small(r.bottom);
}

void CheckRule(FuzzedDataProvider& input)
{
    ResizeSpec rule;
    rule.flags = input.ConsumeIntegralInRange<uint32_t>(0, 0x3F);
    rule.margins.left = AnyInt(input, -50, 2000);
    rule.margins.top = AnyInt(input, -50, 2000);
    rule.margins.right = AnyInt(input, -50, 2000);
    rule.margins.bottom = AnyInt(input, -50, 2000);
    const PixelRect client = AnyRect(input);
    const PixelRect current = AnyRect(input);
    FUZZ_CHECK(Sane(ApplyResizeRule(rule, client, current)));

    // A client area as the platform reports it starts at 0, 0.
    PixelRect area;
    area.right = AnyInt(input, 0, 3000);
    area.bottom = AnyInt(input, 0, 3000);
    if (IsContradictoryRule(rule.flags) || !Small(area) || !Small(current) || current.right < current.left ||
        current.bottom < current.top) {
        return;
    }
    rule.margins = MeasureMargins(area, current);
    FUZZ_CHECK(ApplyResizeRule(rule, area, current) == current);

    // The window grows or shrinks: anchored edges follow their client edge.
    PixelRect resized = area;
    const int32_t dx = input.ConsumeIntegralInRange(-4000, 4000);
    const int32_t dy = input.ConsumeIntegralInRange(-4000, 4000);
    resized.right += dx;
    resized.bottom += dy;
    const PixelRect r = ApplyResizeRule(rule, resized, current);
    FUZZ_CHECK(Sane(r));
    const uint32_t f = rule.flags;
    if (r.right > r.left) {
        if (f & ANCHOR_RIGHT) {
            FUZZ_CHECK(r.right == current.right + dx);
        }
        if (f & ANCHOR_LEFT || !(f & ANCHOR_RIGHT)) {
            FUZZ_CHECK(r.left == current.left);
        }
        if (f & KEEP_WIDTH) {
            FUZZ_CHECK(r.right - r.left == current.right - current.left);
        }
    }
    if (r.bottom > r.top) {
        if (f & ANCHOR_BOTTOM) {
            FUZZ_CHECK(r.bottom == current.bottom + dy);
        }
        if (f & ANCHOR_TOP || !(f & ANCHOR_BOTTOM)) {
            FUZZ_CHECK(r.top == current.top);
        }
        if (f & KEEP_HEIGHT) {
            FUZZ_CHECK(r.bottom - r.top == current.bottom - current.top);
        }
    }
}

// Windows 1..6 are controls of parent 100; the fuzzer decides which are
// alive, where they are and which calls fail.
class FakePlatform : public CLayoutPlatform {
public:
    explicit FakePlatform(FuzzedDataProvider& input) : input_(input) {}

    bool IsLiveWindow(LayoutHandle window) override { return dead_.count(window) == 0; }
    LayoutHandle ParentOf(LayoutHandle window) override
    {
        return orphans_.count(window) ? nullptr : Handle(100);
    }
    bool ClientRect(LayoutHandle, PixelRect& rect) override
    {
        rect = client;
        return !input_.ConsumeBool() || input_.ConsumeIntegralInRange(0, 7) != 0;
    }
    bool RectInParent(LayoutHandle control, LayoutHandle, PixelRect& rect) override
    {
        rect = rects[control];
        return input_.ConsumeIntegralInRange(0, 15) != 0;
    }
    bool BeginMoves(int32_t count) override
    {
        batchOpen = true;
        batchSize = count;
        moves.clear();
        return input_.ConsumeIntegralInRange(0, 15) != 0;
    }
    bool AddMove(LayoutHandle control, const PixelRect& rect) override
    {
        FUZZ_CHECK(batchOpen);
        moves.push_back({control, rect});
        return input_.ConsumeIntegralInRange(0, 31) != 0;
    }
    bool EndMoves() override
    {
        FUZZ_CHECK(batchOpen);
        FUZZ_CHECK(static_cast<int32_t>(moves.size()) == batchSize);
        batchOpen = false;
        return input_.ConsumeIntegralInRange(0, 15) != 0;
    }

    static LayoutHandle Handle(int id) { return reinterpret_cast<LayoutHandle>(static_cast<intptr_t>(id)); }

    PixelRect client;
    std::map<LayoutHandle, PixelRect> rects;
    std::map<LayoutHandle, bool> dead_;
    std::map<LayoutHandle, bool> orphans_;
    std::vector<std::pair<LayoutHandle, PixelRect>> moves;
    bool batchOpen = false;
    int32_t batchSize = 0;

private:
    FuzzedDataProvider& input_;
};

void CheckLayout(FuzzedDataProvider& input)
{
    FakePlatform platform(input);
    CResizeLayout layout(platform);
    for (int id = 1; id <= 6; ++id) {
        platform.rects[FakePlatform::Handle(id)] = AnyRect(input);
        if (input.ConsumeIntegralInRange(0, 7) == 0) {
            platform.dead_[FakePlatform::Handle(id)] = true;
        }
        if (input.ConsumeIntegralInRange(0, 7) == 0) {
            platform.orphans_[FakePlatform::Handle(id)] = true;
        }
    }
    platform.client = AnyRect(input);

    int steps = 0;
    while (input.remaining_bytes() > 0 && steps++ < 64) {
        if (input.ConsumeIntegralInRange(0, 3) == 0) {
            platform.client = AnyRect(input);
            platform.moves.clear();
            const bool placed = layout.ApplyLayout(input.ConsumeIntegralInRange(0, 15) == 0 ? nullptr
                                                                                           : FakePlatform::Handle(100));
            FUZZ_CHECK(!platform.batchOpen || !placed);
            if (placed) {
                FUZZ_CHECK(platform.moves.size() == layout.Rules().size());
            }
            for (size_t i = 0; i < platform.moves.size(); ++i) {
                FUZZ_CHECK(platform.moves[i].first == layout.Rules()[i].control);
                FUZZ_CHECK(Sane(platform.moves[i].second));
            }
            platform.batchOpen = false;
            continue;
        }
        const LayoutHandle control = FakePlatform::Handle(input.ConsumeIntegralInRange(1, 6));
        const uint32_t flags = input.ConsumeIntegralInRange<uint32_t>(0, 0x3F);
        ResizeMargins margins = UnsetMargins();
        if (input.ConsumeBool()) {
            margins.left = AnyInt(input, -10, 500);
            margins.top = AnyInt(input, -10, 500);
            margins.right = AnyInt(input, -10, 500);
            margins.bottom = AnyInt(input, -10, 500);
        }
        const std::vector<ResizeSpec> before = layout.Rules();
        bool hadRule = false;
        for (const ResizeSpec& r : before) {
            hadRule = hadRule || r.control == control;
        }
        const bool ok = layout.SetControlRule(control, flags, margins);
        const std::vector<ResizeSpec>& after = layout.Rules();
        if (!platform.IsLiveWindow(control) || (flags == 0 && !hadRule) || (flags != 0 && IsContradictoryRule(flags))) {
            FUZZ_CHECK(!ok);
        }
        if (!ok) {
            FUZZ_CHECK(after.size() == before.size());
            continue;
        }
        const size_t expectedSize = flags == 0 ? before.size() - 1 : hadRule ? before.size() : before.size() + 1;
        FUZZ_CHECK(after.size() == expectedSize);
        for (size_t i = 0; i < after.size(); ++i) {
            FUZZ_CHECK(after[i].flags != 0 && !IsContradictoryRule(after[i].flags));
            for (size_t j = 0; j < i; ++j) {
                FUZZ_CHECK(after[i].control != after[j].control);
            }
            if (after[i].control == control) {
                FUZZ_CHECK(after[i].flags == flags);
                if (!AreUnsetMargins(margins)) {
                    const ResizeMargins& m = after[i].margins;
                    FUZZ_CHECK(m.left == margins.left && m.top == margins.top && m.right == margins.right &&
                               m.bottom == margins.bottom);
                }
            }
        }
    }
}

void CheckMetrics(FuzzedDataProvider& input)
{
    const int32_t logPixels = input.ConsumeIntegral<int32_t>();
    const double scale = DpiScaleFromLogPixels(logPixels);
    FUZZ_CHECK(scale > 0.0 && (logPixels <= 0 ? scale == 1.0 : scale == logPixels / 96.0));

    uint64_t bits = input.ConsumeIntegral<uint64_t>();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    const double h = input.ConsumeBool() ? any : scale;
    const double v = input.ConsumeBool() ? any : scale;
    for (const int32_t height : {LogListFontHeight(v), ValueFontHeight(v), GraphFontHeight(v)}) {
        FUZZ_CHECK(height >= 0 && height <= 16 * 64);
    }
    const int32_t listWidth = input.ConsumeIntegral<int32_t>();
    for (const int32_t w : LogListColumnWidths(listWidth, h)) {
        FUZZ_CHECK(w >= 0 && w <= 32767);
    }
    const PixelSize logo = ScaledLogoSize(input.ConsumeIntegral<int32_t>(), input.ConsumeIntegral<int32_t>(), h, v);
    FUZZ_CHECK(logo.width >= -kPixelLimit && logo.width <= kPixelLimit);
    FUZZ_CHECK(logo.height >= -kPixelLimit && logo.height <= kPixelLimit);

    const uint8_t rsoc = input.ConsumeIntegral<uint8_t>();
    const int32_t id = BatteryBitmapId(rsoc);
    FUZZ_CHECK(id >= 133 && id <= 144 && (id == kBatteryBitmapNoValue) == (rsoc > 100));
    if (rsoc > 0 && rsoc <= 100) {
        // More charge never shows fewer bars: ids rise with the charge, 133
        // standing between 141 and 142.
        const auto rank = [](int32_t i) { return i == 133 ? 141.5 : static_cast<double>(i); };
        FUZZ_CHECK(rank(BatteryBitmapId(static_cast<uint8_t>(rsoc - 1))) <= rank(id));
    }

    const int32_t bar = input.ConsumeIntegral<int32_t>();
    int32_t edges[kStatusPaneCount];
    StatusPaneRightEdges(bar, edges);
    FUZZ_CHECK(edges[kStatusPaneCount - 1] == -1);
    for (int i = 0; i + 1 < kStatusPaneCount; ++i) {
        FUZZ_CHECK(edges[i] >= 0);
        FUZZ_CHECK(i == 0 || edges[i - 1] <= edges[i]);
    }
    if (bar >= 430) {
        FUZZ_CHECK(edges[0] == bar - 430 && edges[1] == bar - 290 && edges[2] == bar - 130);
    }

    const int32_t cw = input.ConsumeIntegral<int32_t>();
    const int32_t ch = input.ConsumeIntegral<int32_t>();
    const int32_t iw = AnyInt(input, 0, 64);
    const int32_t ih = AnyInt(input, 0, 64);
    const IconOrigin origin = CentredIconOrigin(cw, ch, iw, ih);
    const int64_t wantX = (int64_t(cw) - iw + 1) / 2;
    const int64_t wantY = (int64_t(ch) - ih + 1) / 2;
    FUZZ_CHECK(origin.x == ClampToPixel(wantX) && origin.y == ClampToPixel(wantY));

    char buffer[64];
    const int seconds = input.ConsumeIntegral<int32_t>();
    const int n = std::snprintf(buffer, sizeof buffer, "Interval : %d sec", seconds);
    FUZZ_CHECK(IntervalPaneText(seconds) == std::wstring(buffer, buffer + n));
    const uint32_t value = input.ConsumeIntegral<uint32_t>();
    FUZZ_CHECK(RsocValueText(value) == std::to_wstring(value));
    const std::wstring temperature = TemperatureValueText(any);
    FUZZ_CHECK(!temperature.empty() && temperature.size() < 400);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    CheckRule(input);
    CheckMetrics(input);
    CheckLayout(input);
    return 0;
}
