#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <queue>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ArtResources.h"

namespace {

std::string ResFolder()
{
    std::string here = __FILE__;
    return here.substr(0, here.find_last_of("/\\")) + "/../../src/res/";
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << "RGB(" << c.r << "," << c.g << "," << c.b << ")"; }

constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kGreen{155, 255, 102};

// A 24-bit BMP as a Windows loader reads it.
class Bmp24 {
public:
    explicit Bmp24(std::vector<uint8_t> bytes) : m_b(std::move(bytes)) {}

    bool HeaderIsPlain24Bit() const
    {
        return m_b.size() > 54 && m_b[0] == 'B' && m_b[1] == 'M' && Le32(m_b, 2) == m_b.size() && Le32(m_b, 14) == 40 &&
               Le16(m_b, 26) == 1 && Le16(m_b, 28) == 24 && Le32(m_b, 30) == 0 &&
               Le32(m_b, 10) + Stride() * Height() == m_b.size();
    }
    int Width() const { return static_cast<int>(Le32(m_b, 18)); }
    int Height() const { return static_cast<int>(Le32(m_b, 22)); }  // positive: bottom-up
    Rgb At(int x, int y) const
    {
        const size_t at = Le32(m_b, 10) + static_cast<size_t>(Height() - 1 - y) * Stride() + 3 * static_cast<size_t>(x);
        return Rgb{m_b.at(at + 2), m_b.at(at + 1), m_b.at(at)};
    }

private:
    size_t Stride() const { return (static_cast<size_t>(Width()) * 3 + 3) / 4 * 4; }
    std::vector<uint8_t> m_b;
};

// Magenta pixels that cannot be reached from the border through magenta
// would be holes in the battery once the key colour is left out.
int EnclosedKeyPixels(const Bmp24& bmp)
{
    const int w = bmp.Width(), h = bmp.Height();
    std::vector<bool> seen(static_cast<size_t>(w) * h, false);
    std::queue<std::pair<int, int>> todo;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h || seen[y * w + x] || !(bmp.At(x, y) == kMagenta)) return;
        seen[y * w + x] = true;
        todo.push({x, y});
    };
    for (int x = 0; x < w; ++x) visit(x, 0), visit(x, h - 1);
    for (int y = 0; y < h; ++y) visit(0, y), visit(w - 1, y);
    while (!todo.empty()) {
        auto [x, y] = todo.front();
        todo.pop();
        visit(x + 1, y), visit(x - 1, y), visit(x, y + 1), visit(x, y - 1);
    }
    int enclosed = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (bmp.At(x, y) == kMagenta && !seen[y * w + x]) ++enclosed;
    return enclosed;
}

// Drawing all pictures takes a moment; the tests share one set.
const std::vector<art::ArtFile>& Generated()
{
    static const std::vector<art::ArtFile> files = art::ResourceArtFiles();
    return files;
}

std::string ReadText(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ResBitmaps, CheckedInFilesAreWhatTheGeneratorDrawsNow)
{
    const std::vector<art::ArtFile>& files = Generated();
    ASSERT_EQ(files.size(), 14u);  // twelve batteries, logo, icon
    for (const art::ArtFile& file : files) {
        const std::vector<uint8_t> onDisk = ReadFile(ResFolder() + file.name);
        ASSERT_FALSE(onDisk.empty()) << file.name << " is missing from src/res";
        EXPECT_TRUE(onDisk == file.bytes) << file.name << " differs from the drawing; run tools/bmpgen";
    }
}

// Every picture the resource script names is a generated file under the id
// that the file name promises, and every generated file is named once.
TEST(ResBitmaps, ResourceScriptNamesEachPictureUnderItsId)
{
    std::map<std::string, int> ids;
    std::istringstream header(ReadText(ResFolder() + "resource.h"));
    const std::regex define(R"(^#define\s+(\w+)\s+(\d+))");
    for (std::string line; std::getline(header, line);) {
        std::smatch m;
        if (std::regex_search(line, m, define)) ids[m[1]] = std::stoi(m[2]);
    }

    const std::vector<art::ArtFile>& files = Generated();
    std::map<std::string, int> mentions;
    std::istringstream rc(ReadText(ResFolder() + "Vantrel.rc"));
    const std::regex picture(R"(^(\w+)\s+(BITMAP|ICON)\s+\"([^\"]+)\")");
    for (std::string line; std::getline(rc, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, picture)) continue;
        const std::string name = m[3];
        const bool generated =
            std::any_of(files.begin(), files.end(), [&](const art::ArtFile& f) { return f.name == name; });
        EXPECT_TRUE(generated) << name << " is not drawn by the generator";
        ASSERT_EQ(ids.count(m[1]), 1u) << m[1] << " is not defined in resource.h";
        const int id = ids[m[1]];
        if (m[2] == "ICON") {
            EXPECT_EQ(id, IDR_MAINFRAME);
        } else if (name.rfind("battery", 0) == 0) {
            EXPECT_EQ(art::BatteryFileName(id), name) << m[1];
        } else {
            EXPECT_EQ(id, IDB_LOGO) << name;
        }
        ++mentions[name];
    }
    for (const art::ArtFile& file : files) EXPECT_EQ(mentions[file.name], 1) << file.name;
}

// Which slots (0 next to the terminal .. 9 at the right end) are lit in
// which colour: the rightmost `bars` slots.
struct BatteryCase {
    int id;
    int bars;
    Rgb colour;
};

const BatteryCase kBatteryCases[] = {
    {IDB_BATTERY_EMPTY, 0, kRed},    {IDB_BATTERY_1, 1, kRed},      {IDB_BATTERY_2, 2, kYellow},
    {IDB_BATTERY_3, 3, kYellow},     {IDB_BATTERY_4, 4, kYellow},   {IDB_BATTERY_5, 5, kGreen},
    {IDB_BATTERY_6, 6, kGreen},      {IDB_BATTERY_7, 7, kGreen},    {IDB_BATTERY_8, 8, kGreen},
    {IDB_BATTERY_9, 9, kGreen},      {IDB_BATTERY_10, 10, kGreen},  {IDB_BATTERY_NONE, 0, kGreen},
};

TEST(ResBitmaps, BatteryPicturesShowTheirBarsOnAKeyedBackground)
{
    // Bar slot centres on the middle row: 10 px bars, 13 px apart.
    const int slotX[10] = {25, 38, 51, 64, 77, 90, 103, 116, 129, 142};
    const int midY = 45;
    for (const BatteryCase& c : kBatteryCases) {
        SCOPED_TRACE("bitmap " + std::to_string(c.id));
        const Bmp24 bmp(ReadFile(ResFolder() + art::BatteryFileName(c.id)));
        ASSERT_TRUE(bmp.HeaderIsPlain24Bit());
        ASSERT_EQ(bmp.Width(), 160);
        ASSERT_EQ(bmp.Height(), 90);

        for (auto [x, y] : {std::pair{0, 0}, {159, 0}, {0, 89}, {159, 89}}) EXPECT_EQ(bmp.At(x, y), kMagenta);
        EXPECT_EQ(bmp.At(2, midY), kMagenta);     // left of the terminal
        EXPECT_EQ(bmp.At(158, midY), kMagenta);   // right of the body
        EXPECT_EQ(EnclosedKeyPixels(bmp), 0);

        for (int slot = 0; slot < 10; ++slot) {
            const bool lit = slot >= 10 - c.bars;
            EXPECT_EQ(bmp.At(slotX[slot], midY), lit ? c.colour : kWhite) << "slot " << slot;
        }
        // The red inner outline, between the grey outline and the first slot.
        EXPECT_EQ(bmp.At(20, midY) == kRed, c.id == IDB_BATTERY_EMPTY);
    }
}

// A pixel blended between the key colour and the picture is neither left out
// nor right, and shows as a pink fringe around the battery.
TEST(ResBitmaps, NoPixelIsAlmostTheKeyColour)
{
    for (const BatteryCase& c : kBatteryCases) {
        const Bmp24 bmp(ReadFile(ResFolder() + art::BatteryFileName(c.id)));
        ASSERT_TRUE(bmp.HeaderIsPlain24Bit()) << c.id;
        int fringe = 0;
        for (int y = 0; y < bmp.Height(); ++y) {
            for (int x = 0; x < bmp.Width(); ++x) {
                const Rgb p = bmp.At(x, y);
                if (!(p == kMagenta) && p.r > p.g + 60 && p.b > p.g + 60) ++fringe;
            }
        }
        EXPECT_EQ(fringe, 0) << "bitmap " << c.id;
    }
}

TEST(ResBitmaps, LogoIsAPlainBitmapOfTheStaticsSize)
{
    const Bmp24 logo(ReadFile(ResFolder() + "logo145.bmp"));
    ASSERT_TRUE(logo.HeaderIsPlain24Bit());
    // 61 x 70 dialog units at 6 x 12 px base units.
    EXPECT_EQ(logo.Width(), 92);
    EXPECT_EQ(logo.Height(), 105);
}

TEST(ResBitmaps, IconHoldsThreeSizesWithMatchingMasks)
{
    const std::vector<uint8_t> ico = ReadFile(ResFolder() + "vantrel.ico");
    ASSERT_GE(ico.size(), 6u + 3 * 16);
    EXPECT_EQ(Le16(ico, 0), 0u);
    EXPECT_EQ(Le16(ico, 2), 1u);  // icon, not cursor
    ASSERT_EQ(Le16(ico, 4), 3u);
    size_t expectedOffset = 6 + 3 * 16;
    const int sizes[3] = {16, 32, 48};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("icon " + std::to_string(sizes[i]));
        const size_t entry = 6 + 16 * static_cast<size_t>(i);
        const int size = sizes[i];
        EXPECT_EQ(ico[entry], size);
        EXPECT_EQ(ico[entry + 1], size);
        EXPECT_EQ(Le16(ico, entry + 6), 32u);
        const size_t bytes = Le32(ico, entry + 8), offset = Le32(ico, entry + 12);
        EXPECT_EQ(offset, expectedOffset);
        const size_t maskStride = (static_cast<size_t>(size) + 31) / 32 * 4;
        ASSERT_EQ(bytes, 40 + static_cast<size_t>(size) * size * 4 + maskStride * size);
        ASSERT_LE(offset + bytes, ico.size());
        expectedOffset += bytes;

        EXPECT_EQ(Le32(ico, offset + 4), static_cast<uint32_t>(size));
        EXPECT_EQ(Le32(ico, offset + 8), static_cast<uint32_t>(2 * size));  // colour plus mask
        EXPECT_EQ(Le16(ico, offset + 14), 32u);
        // Rows are bottom-up; the mask bit is set exactly where alpha is 0.
        const size_t pixels = offset + 40, mask = pixels + static_cast<size_t>(size) * size * 4;
        int opaque = 0;
        for (int row = 0; row < size; ++row) {
            for (int x = 0; x < size; ++x) {
                const uint8_t alpha = ico[pixels + (static_cast<size_t>(row) * size + x) * 4 + 3];
                const bool masked = (ico[mask + row * maskStride + x / 8] >> (7 - x % 8)) & 1;
                EXPECT_EQ(masked, alpha == 0) << "row " << row << " x " << x;
                if (alpha == 255) ++opaque;
            }
        }
        EXPECT_EQ(ico[pixels + 3], 0) << "rounded corner is transparent";
        EXPECT_GT(opaque, size * size / 2);
    }
    EXPECT_EQ(expectedOffset, ico.size());
}
