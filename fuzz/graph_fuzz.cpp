// Graph arithmetic with extreme inputs: control sizes, DPI scales, zoom
// levels, scroll and cursor offsets, log lengths up to 2^62 records, value
// ranges of any bit pattern and corrupted series kinds. UBSan catches
// overflowing conversions and arithmetic; the checks hold the results to
// their documented bounds: point lists read only records that exist and
// never more than one view, scroll offsets stay within the log, cursor
// indices name a record or none, pixels stay within the pixel limit.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "graph/CursorReadout.h"
#include "graph/GraphGeometry.h"
#include "graph/GraphInfo.h"
#include "graph/GraphNavigation.h"
#include "graph/GraphScene.h"

namespace {

double AnyDouble(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: {
        const uint64_t bits = input.ConsumeIntegral<uint64_t>();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    case 1: return input.ConsumeFloatingPoint<double>();
    default: return static_cast<double>(input.ConsumeIntegralInRange<int32_t>(-100000, 100000)) / 8.0;
    }
}

int32_t AnyInt(FuzzedDataProvider& input, int32_t lo, int32_t hi)
{
    return input.ConsumeBool() ? input.ConsumeIntegralInRange(lo, hi) : input.ConsumeIntegral<int32_t>();
}

int64_t AnyCount(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: return input.ConsumeIntegralInRange<int64_t>(0, 5000);
    case 1: return input.ConsumeIntegralInRange<int64_t>(0, int64_t(1) << 62);
    case 2: return input.ConsumeIntegral<int64_t>();
    default: return input.ConsumeIntegralInRange<int64_t>(INT_MAX - 3000LL, INT_MAX + 3000LL);
    }
}

bool InPixelRange(int32_t v)
{
    return v >= -kPixelLimit && v <= kPixelLimit;
}

GraphSample SampleFor(int64_t index, uint64_t salt)
{
    const uint64_t h = (static_cast<uint64_t>(index) + salt) * 0x9E3779B97F4A7C15ull;
    GraphSample s;
    s.rsoc = (h >> 60) == 0 ? -1 : static_cast<int32_t>((h >> 8) % 120);
    s.temperature = static_cast<double>(static_cast<int32_t>(h >> 32) % 100000) / 10.0;
    s.voltage = static_cast<uint16_t>(h >> 16);
    return s;
}

void CheckGeometry(const GraphGeometry& g, const CGraphInfo& info)
{
    FUZZ_CHECK(g.width >= 0 && g.width <= kMaxGraphExtent);
    FUZZ_CHECK(g.height >= 0 && g.height <= kMaxGraphExtent);
    FUZZ_CHECK(g.vScale > 0.0 && g.vScale <= 64.0);
    FUZZ_CHECK(g.plot.top == 0 && g.plot.bottom == g.height);
    FUZZ_CHECK(g.plot.left >= 0 && g.plot.left <= TruncToPixel(36.0 * 64.0));
    FUZZ_CHECK(InPixelRange(g.plot.right));
    FUZZ_CHECK(std::isfinite(g.xStep));
    for (int graph = 0; graph < 2; ++graph) {
        const GraphRange& r = info.RangeOf(graph);
        if (!(r.max - r.min > 0.0)) {
            FUZZ_CHECK(g.yScale[graph] == 0.0);
        }
        FUZZ_CHECK(!std::isnan(g.yScale[graph]));
    }
}

void CheckPoints(const GraphGeometry& g, const CGraphInfo& info, int32_t zoom, int32_t scroll, int64_t count,
                 uint64_t salt)
{
    auto lists = std::make_unique<GraphPointLists>();
    int64_t reads = 0;
    BuildGraphPoints(*lists, g, info, zoom, scroll, count, [&](int64_t index) {
        FUZZ_CHECK(index >= 0 && index < count);
        ++reads;
        return SampleFor(index, salt);
    });
    const int64_t offset = scroll < 0 ? 0 : scroll;
    const int64_t want = count <= offset ? 0 : std::min<int64_t>(count - offset, VisibleRecordCount(zoom));
    FUZZ_CHECK(lists->count == want && reads == want);
    FUZZ_CHECK(lists->count <= kMaxVisibleRecords);
    for (int32_t i = 0; i < lists->count; ++i) {
        const GraphSample s = SampleFor(count - 1 - offset - i, salt);
        for (int graph = 0; graph < 2; ++graph) {
            const GraphPoint p = lists->points[graph][i];
            const GraphPoint q = GraphPointFor(g, info, graph, i, s);
            FUZZ_CHECK(p.x == q.x && p.y == q.y);
            FUZZ_CHECK(InPixelRange(p.x) && InPixelRange(p.y));
            if (i > 0 && g.xStep >= 0.0) {
                FUZZ_CHECK(p.x <= lists->points[graph][i - 1].x);  // older records lie further left
            }
        }
    }
    for (int graph = 0; graph < 2; ++graph) {
        const int32_t n = SeriesPointCount(info, graph, *lists);
        FUZZ_CHECK(n >= 0 && n <= lists->count);
        FUZZ_CHECK(n == 0 || (n >= 2 && info.KindOf(graph) != GRAPH_KIND_NONE));
    }
}

void CheckNavigation(FuzzedDataProvider& input, const GraphGeometry& g, int64_t count)
{
    int32_t zoom = AnyInt(input, -2, 12);
    int32_t scroll = AnyInt(input, -5, 5000);
    const int32_t diff = GraphScrollDiff(count, zoom);
    // A log never has a negative length; such a count reads as an empty log.
    const int64_t exactDiff = std::max<int64_t>(count, 0) - VisibleRecordCount(zoom);
    FUZZ_CHECK(diff == (exactDiff > INT_MAX ? INT_MAX : exactDiff < INT_MIN ? INT_MIN : exactDiff));

    const int32_t before = scroll;
    const GraphScrollBarState bar = UpdateGraphScrollBar(count, zoom, scroll);
    FUZZ_CHECK(bar.enabled == (diff > 0));
    if (bar.enabled) {
        FUZZ_CHECK(scroll >= 0 && scroll <= diff);
        FUZZ_CHECK(bar.rangeMax == diff && bar.position == diff - scroll);
    } else {
        FUZZ_CHECK(scroll == before);
    }

    const int32_t track = AnyInt(input, -2, 12);
    const GraphScrollBarState zoomed = ApplyZoom(count, track, zoom, scroll);
    FUZZ_CHECK(zoom == ClampZoomLevel(track) && zoom >= 0 && zoom <= kMaxZoomLevel);
    const int32_t zoomTop = std::max(GraphScrollDiff(count, zoom), 0);
    FUZZ_CHECK(scroll >= 0 && scroll <= zoomTop);
    FUZZ_CHECK(!zoomed.enabled || zoomed.position == zoomed.rangeMax - scroll);

    const int32_t code = AnyInt(input, 0, 9);
    const int32_t thumb = AnyInt(input, -5, 5000);
    const int32_t from = AnyInt(input, -5, 5000);
    const GraphScrollResult r = ApplyGraphScroll(code, thumb, count, zoom, from);
    const int32_t zdiff = GraphScrollDiff(count, zoom);
    const int64_t ztop = zdiff > 0 ? zdiff : 0;
    FUZZ_CHECK(r.scrollOffset >= 0 && r.scrollOffset <= ztop);
    FUZZ_CHECK(r.setPosition == (code != GRAPH_SCROLL_THUMB_TRACK));
    if (r.setPosition) {
        FUZZ_CHECK(r.position == static_cast<int64_t>(zdiff) - r.scrollOffset);
    }
    if (from >= 0 && from <= ztop) {
        const auto clamp = [ztop](int64_t v) { return v < 0 ? 0 : v > ztop ? ztop : v; };
        int64_t want = from;
        switch (code) {
        case GRAPH_SCROLL_LINE_LEFT: want = clamp(int64_t(from) + 1); break;
        case GRAPH_SCROLL_LINE_RIGHT: want = clamp(int64_t(from) - 1); break;
        case GRAPH_SCROLL_PAGE_LEFT: want = clamp(int64_t(from) + 20); break;
        case GRAPH_SCROLL_PAGE_RIGHT: want = clamp(int64_t(from) - 20); break;
        case GRAPH_SCROLL_THUMB_TRACK: want = clamp(int64_t(zdiff) - thumb); break;
        default: break;
        }
        FUZZ_CHECK(r.scrollOffset == want);
    }

    // Cursor picking over the control, wherever the dialog sits.
    PixelRect screen;
    screen.left = AnyInt(input, -3000, 3000);
    screen.top = AnyInt(input, -3000, 3000);
    screen.right = AnyInt(input, -3000, 6000);
    screen.bottom = AnyInt(input, -3000, 6000);
    const PixelRect control = ControlRectInClient(screen, AnyInt(input, -3000, 3000), AnyInt(input, -3000, 3000));
    FUZZ_CHECK(InPixelRange(control.left) && InPixelRange(control.top) && InPixelRange(control.right) &&
               InPixelRange(control.bottom));
    const int32_t x = AnyInt(input, -3000, 6000);
    const int32_t y = AnyInt(input, -3000, 6000);
    const int32_t pickScroll = AnyInt(input, 0, 5000);
    const std::optional<int32_t> picked = PickCursorOffset(control, g, zoom, pickScroll, x, y);
    const int64_t left = int64_t(control.left) + g.plot.left;
    const int64_t right = int64_t(control.right) - (int64_t(g.width) - g.plot.right);
    const bool inside = x >= left && x < right && y >= control.top && y < control.bottom;
    const bool hasWidth = g.plot.right > g.plot.left;
    FUZZ_CHECK(picked.has_value() == (inside && hasWidth));
    if (picked && pickScroll >= 0) {
        FUZZ_CHECK(*picked >= pickScroll);
        // A pick at the right edge names the newest record of the view.
        if (x == right - 1 && VisibleRecordCount(zoom) < g.plot.right - g.plot.left) {
            FUZZ_CHECK(*picked == pickScroll);
        }
    }

    const int32_t cursor = AnyInt(input, -5, 5000);
    const int32_t stepped = StepCursorOffset(cursor);
    FUZZ_CHECK(stepped == (cursor == INT_MAX ? INT_MAX : cursor + 1));

    const int64_t requested = input.ConsumeBool() ? int64_t(cursor) : input.ConsumeIntegral<int64_t>();
    const CursorTarget target = ResolveCursorTarget(count, requested);
    const int64_t index = CursorRecordIndex(count, requested);
    if (count <= 0 || requested < 0) {
        FUZZ_CHECK(target.index == -1 && index == -1);
    } else {
        FUZZ_CHECK(target.index >= 0 && target.index < count);
        const int64_t clamped = std::min(requested, count - 1);
        FUZZ_CHECK(target.index == count - 1 - clamped);
        if (clamped <= INT_MAX) {
            FUZZ_CHECK(target.offset == clamped);
        }
        FUZZ_CHECK(index == (requested < count ? count - 1 - requested : -1));
    }

    const int32_t rsoc = AnyInt(input, -30000, 200);
    const std::optional<GraphLine> line = CursorLine(g, zoom, scroll, cursor, rsoc);
    if (line) {
        const int64_t d = int64_t(cursor) - scroll;
        FUZZ_CHECK(d > 0 && d < VisibleRecordCount(zoom) && rsoc > -20000);
        FUZZ_CHECK(line->x1 == line->x2 && InPixelRange(line->x1));
        FUZZ_CHECK(line->y1 == g.plot.top && line->y2 == g.plot.bottom);
    }
}

void CheckTexts(FuzzedDataProvider& input, const GraphGeometry& g, const CGraphInfo& info)
{
    const GraphFrameScene scene = BuildGraphFrame(g, info, AnyDouble(input), AnyDouble(input));
    const size_t labels = info.KindOf(1) == GRAPH_KIND_NONE ? 4 : 8;
    FUZZ_CHECK(scene.texts.size() == 2 + labels);
    FUZZ_CHECK(scene.texts[0].text == GraphKindName(info.KindOf(0)));
    FUZZ_CHECK(scene.texts[1].text == GraphKindName(info.KindOf(1)));
    for (const GraphText& t : scene.texts) {
        FUZZ_CHECK(t.text.size() < 400);
    }

    GraphSample sample;
    sample.rsoc = AnyInt(input, -2, 120);
    sample.temperature = AnyDouble(input);
    sample.voltage = input.ConsumeIntegral<uint16_t>();
    const int32_t kind = AnyInt(input, -1, 4);
    const std::wstring text = CursorValueText(kind, sample);
    if (SanitizeGraphKind(kind) == GRAPH_KIND_NONE) {
        FUZZ_CHECK(text.empty());
    } else {
        const std::wstring name = GraphKindName(kind) + L"\n";
        FUZZ_CHECK(text.compare(0, name.size(), name) == 0);
        FUZZ_CHECK(text.size() < 400);
    }

    const int fields[6] = {AnyInt(input, 0, 9999), AnyInt(input, 0, 12), AnyInt(input, 0, 31),
                           AnyInt(input, 0, 23), AnyInt(input, 0, 59), AnyInt(input, 0, 59)};
    char want[128];
    const int n = std::snprintf(want, sizeof want, "%4d/%02d/%02d %02d:%02d:%02d", fields[0], fields[1], fields[2],
                                fields[3], fields[4], fields[5]);
    FUZZ_CHECK(CursorDateTimeText(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]) ==
               std::wstring(want, want + n));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    CGraphInfo info;
    if (input.ConsumeBool()) {
        info.m_graph1Kind = AnyInt(input, -1, 4);
        info.m_graph2Kind = AnyInt(input, -1, 4);
    }
    for (GraphRange& range : info.m_range) {
        if (input.ConsumeBool()) {
            range.min = AnyDouble(input);
            range.max = AnyDouble(input);
        }
    }
    const int32_t width = AnyInt(input, -10, 4000);
    const int32_t height = AnyInt(input, -10, 3000);
    const double vScale = input.ConsumeBool() ? AnyDouble(input) : 1.0;
    const int32_t zoom = AnyInt(input, -2, 12);
    const int32_t scroll = AnyInt(input, -5, 5000);
    const int64_t count = AnyCount(input);
    const uint64_t salt = input.ConsumeIntegral<uint64_t>();

    GraphGeometry geometry;
    UpdateGraphGeometry(geometry, width, height, vScale, zoom, info);
    CheckGeometry(geometry, info);
    CheckPoints(geometry, info, zoom, scroll, count, salt);
    CheckNavigation(input, geometry, count);
    CheckTexts(input, geometry, info);

    // The painter and the picker with a geometry that did not come from
    // UpdateGraphGeometry (a stale or zeroed one).
    GraphGeometry raw;
    raw.width = input.ConsumeIntegral<int32_t>();
    raw.height = input.ConsumeIntegral<int32_t>();
    raw.plot.left = AnyInt(input, -100, 100);
    raw.plot.right = AnyInt(input, -100, 5000);
    raw.plot.top = AnyInt(input, -100, 100);
    raw.plot.bottom = AnyInt(input, -100, 5000);
    raw.vScale = AnyDouble(input);
    raw.xStep = AnyDouble(input);
    raw.yScale[0] = AnyDouble(input);
    raw.yScale[1] = AnyDouble(input);
    BuildGraphFrame(raw, info, AnyDouble(input), AnyDouble(input));
    const GraphPoint p = GraphPointFor(raw, info, input.ConsumeIntegralInRange(0, 1),
                                       input.ConsumeIntegralInRange(0, kMaxVisibleRecords - 1), SampleFor(0, salt));
    FUZZ_CHECK(InPixelRange(p.x) && InPixelRange(p.y));
    CursorLine(raw, zoom, scroll, AnyInt(input, -5, 5000), AnyInt(input, -30000, 200));
    return 0;
}
