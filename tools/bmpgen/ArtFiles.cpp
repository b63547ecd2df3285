#include "ArtFiles.h"

namespace art {
namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kFileHeaderSize = 14;
constexpr int32_t kPixelsPerMetre = 3780;  // 96 dots per inch

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t RowBytes(int width, int bitsPerPixel) { return ((static_cast<uint32_t>(width) * bitsPerPixel + 31) / 32) * 4; }

void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel, uint32_t imageSize)
{
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);                       // planes
    Put16(out, static_cast<uint32_t>(bitsPerPixel));
    Put32(out, 0);                       // BI_RGB
    Put32(out, imageSize);
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, 0);                       // colours used
    Put32(out, 0);                       // important colours
}

uint32_t IcoImageSize(const Canvas& c)
{
    return kInfoHeaderSize + RowBytes(c.Width(), 32) * c.Height() + RowBytes(c.Width(), 1) * c.Height();
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const Canvas& image)
{
    const uint32_t stride = RowBytes(image.Width(), 24);
    const uint32_t pixelBytes = stride * image.Height();
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<uint8_t> out;
    out.reserve(offset + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + pixelBytes);
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, image.Width(), image.Height(), 24, pixelBytes);
    for (int y = image.Height() - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba p = image.At(x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        out.resize(rowStart + stride, 0);
    }
    return out;
}

std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& images)
{
    constexpr uint32_t kDirHeaderSize = 6, kDirEntrySize = 16;
    std::vector<uint8_t> out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // icon
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = kDirHeaderSize + kDirEntrySize * static_cast<uint32_t>(images.size());
    for (const Canvas& c : images) {
        out.push_back(static_cast<uint8_t>(c.Width()));
        out.push_back(static_cast<uint8_t>(c.Height()));
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);     // planes
        Put16(out, 32);
        Put32(out, IcoImageSize(c));
        Put32(out, offset);
        offset += IcoImageSize(c);
    }
    for (const Canvas& c : images) {
        const uint32_t xorBytes = RowBytes(c.Width(), 32) * c.Height();
        const uint32_t maskStride = RowBytes(c.Width(), 1);
        // The height counts the colour image and the mask together.
        PutInfoHeader(out, c.Width(), c.Height() * 2, 32, xorBytes + maskStride * c.Height());
        for (int y = c.Height() - 1; y >= 0; --y) {
            for (int x = 0; x < c.Width(); ++x) {
                const Rgba p = c.At(x, y);
                out.push_back(p.b);
                out.push_back(p.g);
                out.push_back(p.r);
                out.push_back(p.a);
            }
        }
        for (int y = c.Height() - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskStride, 0);
            for (int x = 0; x < c.Width(); ++x) {
                if (c.At(x, y).a == 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
            out.insert(out.end(), row.begin(), row.end());
        }
    }
    return out;
}

}  // namespace art
