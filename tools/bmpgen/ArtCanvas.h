#pragma once
// A tiny raster for the program's own pictures (battery pictures, logo,
// icon). Shapes are given in sixteenths of a pixel and covered with 4 x 4
// samples per pixel in integer arithmetic only, so the same source always
// produces the same bytes, whatever the compiler or machine.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace art {

constexpr int kSub = 16;                 // sub-pixel units per pixel
constexpr int Px(int px) { return px * kSub; }

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};
constexpr Rgba Opaque(uint8_t r, uint8_t g, uint8_t b) { return Rgba{r, g, b, 255}; }
inline bool operator==(Rgba x, Rgba y) { return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a; }
inline bool operator!=(Rgba x, Rgba y) { return !(x == y); }

// Bounding box in sub-pixel units, end exclusive.
struct SubBox {
    int x0, y0, x1, y1;
};

class Shape {
public:
    virtual ~Shape() = default;
    virtual bool Contains(int x, int y) const = 0;  // sub-pixel point
    virtual SubBox Bounds() const = 0;
    // A convex shape that holds a pixel's four outer samples holds them all.
    virtual bool Convex() const { return false; }
};

// Rectangle [x0, x1) x [y0, y1) with corners rounded by radius r.
class RoundRect : public Shape {
public:
    RoundRect(int x0, int y0, int x1, int y1, int r) : m_x0(x0), m_y0(y0), m_x1(x1), m_y1(y1), m_r(r) {}
    bool Contains(int x, int y) const override;
    SubBox Bounds() const override { return {m_x0, m_y0, m_x1, m_y1}; }
    bool Convex() const override { return true; }

private:
    int m_x0, m_y0, m_x1, m_y1, m_r;
};

// A stroke from a to b with round ends, radius r.
class Capsule : public Shape {
public:
    Capsule(int ax, int ay, int bx, int by, int r) : m_ax(ax), m_ay(ay), m_bx(bx), m_by(by), m_r(r) {}
    bool Contains(int x, int y) const override;
    SubBox Bounds() const override;
    bool Convex() const override { return true; }

private:
    int m_ax, m_ay, m_bx, m_by, m_r;
};

// Part of a ring around (cx, cy) between radii rIn and rOut. Bit k of
// octants keeps the eighth of the plane from 45*k to 45*(k+1) degrees,
// counted counter-clockwise from the right as seen on screen.
class Arc : public Shape {
public:
    static constexpr uint8_t kAll = 0xFF;
    static constexpr uint8_t kUpperHalf = 0x0F;
    static constexpr uint8_t kUpperLeft = 0x0C;

    Arc(int cx, int cy, int rIn, int rOut, uint8_t octants) : m_cx(cx), m_cy(cy), m_rIn(rIn), m_rOut(rOut), m_octants(octants) {}
    bool Contains(int x, int y) const override;
    SubBox Bounds() const override { return {m_cx - m_rOut, m_cy - m_rOut, m_cx + m_rOut + 1, m_cy + m_rOut + 1}; }

private:
    int m_cx, m_cy, m_rIn, m_rOut;
    uint8_t m_octants;
};

// Points inside `keep` and not inside `remove`; both must outlive it.
class Difference : public Shape {
public:
    Difference(const Shape& keep, const Shape& remove) : m_keep(keep), m_remove(remove) {}
    bool Contains(int x, int y) const override { return m_keep.Contains(x, y) && !m_remove.Contains(x, y); }
    SubBox Bounds() const override { return m_keep.Bounds(); }

private:
    const Shape& m_keep;
    const Shape& m_remove;
};

enum class Edge {
    Smooth,  // partly covered pixels are blended
    Hard,    // a pixel is painted when half of its samples are inside
};

// Image with straight (not premultiplied) alpha, rows top to bottom.
class Canvas {
public:
    Canvas(int width, int height, Rgba background);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgba At(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }

    void Fill(const Shape& shape, Rgba colour, Edge edge = Edge::Smooth);
    // Top row gets `top`, bottom row `bottom`, rows between are interpolated.
    void FillVerticalGradient(Rgba top, Rgba bottom);

private:
    void Blend(int x, int y, Rgba colour, int coverage);

    int m_width;
    int m_height;
    std::vector<Rgba> m_pixels;
};

}  // namespace art
