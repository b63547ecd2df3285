#include "ArtLogo.h"

namespace art {
namespace {

constexpr Rgba kWhite = Opaque(255, 255, 255);
constexpr Rgba kGreen = Opaque(155, 255, 102);
constexpr Rgba kGroundTop = Opaque(40, 96, 168);
constexpr Rgba kGroundBottom = Opaque(16, 50, 100);
constexpr Rgba kTile = Opaque(28, 73, 134);

// The name in a plain geometric lettering: 2 px strokes, x-height 9 px,
// ascenders 13 px. Glyph coordinates are half pixels from the glyph's left
// edge and from the baseline (negative is up).
class Lettering {
public:
    Lettering(Canvas& canvas, Rgba colour) : m_canvas(canvas), m_colour(colour) {}

    static int Width(const char* text)  // pixels
    {
        int width = 0;
        for (const char* p = text; *p; ++p) width += Advance(*p) + (p[1] ? kGap : 0);
        return width;
    }

    void Draw(const char* text, int x, int baseline)
    {
        for (const char* p = text; *p; ++p) {
            m_x = x;
            m_y = baseline;
            Glyph(*p);
            x += Advance(*p) + kGap;
        }
    }

private:
    static constexpr int kGap = 2;
    static constexpr int kHalf = kSub / 2;  // sub-pixels per half pixel
    static constexpr int kStroke = 2;       // half stroke width
    static constexpr int kBowl = 9;         // outer radius of a, n, r, e

    static int Advance(char ch)
    {
        switch (ch) {
        case 'V': return 11;
        case 'a': case 'n': case 'e': return 9;
        case 't': return 6;
        case 'r': return 8;
        case 'l': return 2;
        default: return 6;
        }
    }

    int X(int halves) const { return Px(m_x) + halves * kHalf; }
    int Y(int halves) const { return Px(m_y) + halves * kHalf; }

    void Stroke(int ax, int ay, int bx, int by)
    {
        m_canvas.Fill(Capsule(X(ax), Y(ay), X(bx), Y(by), kStroke * kHalf), m_colour);
    }

    void Bowl(uint8_t octants)
    {
        m_canvas.Fill(Arc(X(kBowl), Y(-kBowl), (kBowl - 2 * kStroke) * kHalf, kBowl * kHalf, octants), m_colour);
    }

    void Glyph(char ch)
    {
        const int s = kStroke;
        switch (ch) {
        case 'V':
            Stroke(s, -26 + s, 11, -s);
            Stroke(22 - s, -26 + s, 11, -s);
            break;
        case 'a':
            Bowl(Arc::kAll);
            Stroke(18 - s, -18 + s, 18 - s, -s);
            break;
        case 'n':
            Stroke(s, -18 + s, s, -s);
            Bowl(Arc::kUpperHalf);
            Stroke(18 - s, -kBowl, 18 - s, -s);
            break;
        case 't':
            Stroke(6, -24 + s, 6, -s);
            Stroke(s, -16, 12 - s, -16);
            break;
        case 'r':
            Stroke(s, -18 + s, s, -s);
            Bowl(Arc::kUpperLeft | 0x02);
            break;
        case 'e':
            Bowl(static_cast<uint8_t>(Arc::kAll & ~0x80));  // open on the right, below the bar
            m_canvas.Fill(RoundRect(X(1), Y(-kBowl - s), X(17), Y(-kBowl + s), 0), m_colour);
            break;
        case 'l':
            Stroke(s, -26 + s, s, -s);
            break;
        default:
            break;
        }
    }

    Canvas& m_canvas;
    Rgba m_colour;
    int m_x = 0;
    int m_y = 0;
};

// Maps design units onto the canvas: num / den pixels per unit.
struct Design {
    int num;
    int den;
    // `units` / `parts` design units -> sub-pixels
    int S(int units, int parts = 1) const { return units * kSub * num / (den * parts); }
};

// An upright battery mark in design units: the body's outer box, its
// outline width, the terminal cap above it, and `bars` of `slots` bars lit
// from the bottom, `gap` apart and from the outline.
struct Mark {
    int left, top, width, height, line;
    int capWidth, capHeight;
    int gap, slots, bars;
};

void DrawMark(Canvas& c, const Design& d, const Mark& m)
{
    const int right = m.left + m.width, bottom = m.top + m.height;
    const int capLeft = m.left + (m.width - m.capWidth) / 2;
    // The cap reaches into the outline so the two join without a seam.
    c.Fill(RoundRect(d.S(capLeft), d.S(m.top - m.capHeight), d.S(capLeft + m.capWidth), d.S(m.top + m.line),
                     d.S(m.line, 2)),
           kWhite);
    const RoundRect outer(d.S(m.left), d.S(m.top), d.S(right), d.S(bottom), d.S(m.line * 2));
    const RoundRect inner(d.S(m.left + m.line), d.S(m.top + m.line), d.S(right - m.line), d.S(bottom - m.line),
                          d.S(m.line));
    c.Fill(Difference(outer, inner), kWhite);

    const int barLeft = m.left + m.line + m.gap, barRight = right - m.line - m.gap;
    const int innerHeight = m.height - 2 * m.line - m.gap;
    const int pitch = innerHeight / m.slots;
    for (int i = 0; i < m.bars; ++i) {
        const int barBottom = bottom - m.line - m.gap - i * pitch;
        c.Fill(RoundRect(d.S(barLeft), d.S(barBottom - pitch + m.gap), d.S(barRight), d.S(barBottom), d.S(m.line, 2)),
               kGreen);
    }
}

}  // namespace

Canvas DrawLogo()
{
    Canvas c(kLogoWidth, kLogoHeight, kGroundTop);
    c.FillVerticalGradient(kGroundTop, kGroundBottom);
    // One design unit per pixel: a 36 x 53 px body with four bar slots of
    // 8 px bars and 3 px gaps, three of them lit.
    DrawMark(c, Design{1, 1}, Mark{28, 18, 36, 53, 3, 18, 8, 3, 4, 3});
    const char* name = "Vantrel";
    Lettering(c, kWhite).Draw(name, (kLogoWidth - Lettering::Width(name)) / 2, 91);
    return c;
}

const std::vector<int>& IconSizes()
{
    static const std::vector<int> sizes = {16, 32, 48};
    return sizes;
}

Canvas DrawIcon(int size)
{
    Canvas c(size, size, Rgba{});
    // Sixteen design units across, so that at 16 px every edge falls on a
    // pixel border and at 32 and 48 px on every second or third one.
    const Design d{size, 16};
    c.Fill(RoundRect(0, 0, d.S(16), d.S(16), d.S(3)), kTile);
    DrawMark(c, d, Mark{4, 3, 8, 12, 1, 4, 2, 1, 3, 3});
    return c;
}

}  // namespace art
