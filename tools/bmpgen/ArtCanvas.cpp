#include "ArtCanvas.h"

#include <algorithm>

namespace art {
namespace {

constexpr int kSamples = 4;                       // per axis
constexpr int kSampleStep = kSub / kSamples;      // 4 sub-pixels
constexpr int kFullCoverage = kSamples * kSamples;

int64_t Sq(int64_t v) { return v * v; }

// Octant of the vector (ux, uy), with uy pointing up.
int Octant(int64_t ux, int64_t uy)
{
    if (uy >= 0) {
        if (ux > 0) return uy < ux ? 0 : 1;
        return uy > -ux ? 2 : 3;
    }
    if (ux <= 0) return -uy < -ux ? 4 : 5;
    return -uy > ux ? 6 : 7;
}

int FloorDiv(int v, int d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }

}  // namespace

bool RoundRect::Contains(int x, int y) const
{
    if (x < m_x0 || x >= m_x1 || y < m_y0 || y >= m_y1) return false;
    const int cx = std::clamp(x, m_x0 + m_r, m_x1 - m_r);
    const int cy = std::clamp(y, m_y0 + m_r, m_y1 - m_r);
    return Sq(x - cx) + Sq(y - cy) <= Sq(m_r);
}

bool Capsule::Contains(int x, int y) const
{
    const int64_t dx = m_bx - m_ax, dy = m_by - m_ay;
    const int64_t px = x - m_ax, py = y - m_ay;
    const int64_t along = px * dx + py * dy;
    const int64_t length2 = dx * dx + dy * dy;
    if (along <= 0) return px * px + py * py <= Sq(m_r);
    if (along >= length2) return Sq(x - m_bx) + Sq(y - m_by) <= Sq(m_r);
    const int64_t cross = px * dy - py * dx;
    return Sq(cross) <= Sq(m_r) * length2;
}

SubBox Capsule::Bounds() const
{
    return {std::min(m_ax, m_bx) - m_r, std::min(m_ay, m_by) - m_r, std::max(m_ax, m_bx) + m_r + 1,
            std::max(m_ay, m_by) + m_r + 1};
}

bool Arc::Contains(int x, int y) const
{
    const int64_t dx = x - m_cx, dy = y - m_cy;
    const int64_t d2 = dx * dx + dy * dy;
    if (d2 < Sq(m_rIn) || d2 > Sq(m_rOut)) return false;
    return (m_octants >> Octant(dx, -dy)) & 1;
}

Canvas::Canvas(int width, int height, Rgba background)
    : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width) * height, background)
{
}

void Canvas::Fill(const Shape& shape, Rgba colour, Edge edge)
{
    const SubBox box = shape.Bounds();
    const int px0 = std::max(0, FloorDiv(box.x0, kSub));
    const int py0 = std::max(0, FloorDiv(box.y0, kSub));
    const int px1 = std::min(m_width, FloorDiv(box.x1 + kSub - 1, kSub));
    const int py1 = std::min(m_height, FloorDiv(box.y1 + kSub - 1, kSub));
    const bool convex = shape.Convex();
    for (int py = py0; py < py1; ++py) {
        for (int px = px0; px < px1; ++px) {
            const int first = kSampleStep / 2, last = first + (kSamples - 1) * kSampleStep;
            const int x0 = px * kSub, y0 = py * kSub;
            int coverage = 0;
            if (convex && shape.Contains(x0 + first, y0 + first) && shape.Contains(x0 + last, y0 + first) &&
                shape.Contains(x0 + first, y0 + last) && shape.Contains(x0 + last, y0 + last)) {
                coverage = kFullCoverage;
            } else {
                for (int sy = 0; sy < kSamples; ++sy)
                    for (int sx = 0; sx < kSamples; ++sx)
                        if (shape.Contains(x0 + first + sx * kSampleStep, y0 + first + sy * kSampleStep)) ++coverage;
            }
            if (edge == Edge::Hard) coverage = coverage * 2 >= kFullCoverage ? kFullCoverage : 0;
            if (coverage > 0) Blend(px, py, colour, coverage);
        }
    }
}

void Canvas::FillVerticalGradient(Rgba top, Rgba bottom)
{
    const int span = std::max(1, m_height - 1);
    auto mix = [span](int a, int b, int t) { return static_cast<uint8_t>((a * (span - t) + b * t + span / 2) / span); };
    for (int y = 0; y < m_height; ++y) {
        const Rgba c{mix(top.r, bottom.r, y), mix(top.g, bottom.g, y), mix(top.b, bottom.b, y), mix(top.a, bottom.a, y)};
        std::fill_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(y) * m_width, m_width, c);
    }
}

// Porter-Duff "over" with the colour's alpha scaled by the coverage.
void Canvas::Blend(int x, int y, Rgba colour, int coverage)
{
    Rgba& dst = m_pixels[static_cast<std::size_t>(y) * m_width + x];
    const int sa = (colour.a * coverage + kFullCoverage / 2) / kFullCoverage;
    const int da = dst.a;
    const int weight = sa * 255 + da * (255 - sa);  // output alpha times 255
    if (weight == 0) {
        dst = Rgba{};
        return;
    }
    auto channel = [&](int s, int d) {
        return static_cast<uint8_t>((s * sa * 255 + d * da * (255 - sa) + weight / 2) / weight);
    };
    dst = Rgba{channel(colour.r, dst.r), channel(colour.g, dst.g), channel(colour.b, dst.b),
               static_cast<uint8_t>((weight + 127) / 255)};
}

}  // namespace art
