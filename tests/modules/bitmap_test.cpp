// The committed bitmaps: their format as the host loads it, their palettes and colours, and
// which pixels are pure black and so not drawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

uint32_t u16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t u32(const Bytes& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

enum class Kind { background, annunciator, button };
constexpr uint32_t field = 0x0C0F08, dim = 0x676D6D, black = 0;

struct Case {
    const char* deliverable;
    const char* file;
    int side;
    int black_index;
    Kind kind;
    uint32_t upper, lower;  // annunciators: the colour of each window; buttons: face and a second colour
    const char* upper_legend;
    const char* lower_legend;
};

const Case cases[] = {
    {"toggle_once", "background", 23, 0, Kind::background, 0, 0, nullptr, nullptr},
    {"toggle_once", "off", 23, 0, Kind::annunciator, 0xBFC3C2, dim, "OFF", "ON"},
    {"toggle_once", "on", 23, 0, Kind::annunciator, dim, 0x4374FF, "OFF", "ON"},
    {"push_once", "background", 23, 0, Kind::background, 0, 0, nullptr, nullptr},
    {"push_once", "off", 23, 0, Kind::annunciator, dim, 0xFFC000, "ON", "OFF"},
    {"push_once", "on", 23, 0, Kind::annunciator, 0x00C000, dim, "ON", "OFF"},
    {"push_silent", "background", 23, 0, Kind::background, 0, 0, nullptr, nullptr},
    {"push_silent", "off", 23, 0, Kind::annunciator, dim, 0xFFC000, "ON", "OFF"},
    {"push_silent", "on", 23, 0, Kind::annunciator, 0x00C000, dim, "ON", "OFF"},
    {"toggle_loop", "background", 21, 56, Kind::background, 0, 0, nullptr, nullptr},
    {"toggle_loop", "off", 21, 56, Kind::button, 0xE7F1F9, 0, nullptr, nullptr},
    {"toggle_loop", "on", 21, 56, Kind::button, 0x02E490, 0x64D16F, nullptr, nullptr},
    {"toggle_latched", "background", 21, 56, Kind::background, 0, 0, nullptr, nullptr},
    {"toggle_latched", "off", 21, 38, Kind::button, 0xE7F1F9, 0, "ON", nullptr},
    {"toggle_latched", "on", 21, 38, Kind::button, 0xFFD37D, 0xCF4D01, "ON", nullptr},
};

std::string path_of(const char* deliverable, const char* file) {
    return std::string(VEMBLE_VARIANTS_DIR) + "/" + deliverable + "/" + file + ".bmp";
}

struct Picture {
    int side = 0;
    std::vector<uint32_t> palette;
    std::vector<uint32_t> rgb;  // row from the top, then column
    uint32_t at(int row, int col) const { return rgb[size_t(row * side + col)]; }
};

Picture picture_of(const Bytes& b, int side) {
    Picture p;
    p.side = side;
    for (int i = 0; i < 256; ++i) p.palette.push_back(u32(b, 54 + 4 * size_t(i)) & 0xFFFFFF);
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) p.rgb.push_back(p.palette[b[1078 + size_t((side - 1 - r) * 24 + c)]]);
    return p;
}

int brightness(uint32_t c) { return int((c >> 16) & 0xFF) + int((c >> 8) & 0xFF) + int(c & 0xFF); }

// The extent of the pixels of one colour inside a rectangle: rows and columns, inclusive.
struct Extent { int top = 99, bottom = -1, left = 99, right = -1, count = 0; };
Extent extent_of(const Picture& p, uint32_t colour, int top, int left, int height, int width) {
    Extent e;
    for (int r = top; r < top + height; ++r)
        for (int c = left; c < left + width; ++c)
            if (p.at(r, c) == colour) {
                e.top = std::min(e.top, r), e.bottom = std::max(e.bottom, r);
                e.left = std::min(e.left, c), e.right = std::max(e.right, c);
                ++e.count;
            }
    return e;
}

void check_annunciator(const Picture& p, const Case& k) {
    std::map<uint32_t, int> colours;
    for (uint32_t c : p.rgb) ++colours[c];
    const uint32_t lit = k.upper == dim ? k.lower : k.upper;
    EXPECT_EQ(colours.size(), 3u);
    EXPECT_TRUE(colours.count(field) && colours.count(dim) && colours.count(lit));
    EXPECT_FALSE(colours.count(black)) << "every annunciator pixel is drawn";
    for (int i = 0; i < 23; ++i) {
        EXPECT_EQ(p.at(0, i), field);
        EXPECT_EQ(p.at(22, i), field);
        EXPECT_EQ(p.at(11, i), field);
        EXPECT_EQ(p.at(i, 0), field);
        EXPECT_EQ(p.at(i, 22), field);
    }
    const uint32_t window_colour[2] = {k.upper, k.lower};
    const char* legend[2] = {k.upper_legend, k.lower_legend};
    for (int w = 0; w < 2; ++w) {
        SCOPED_TRACE(w ? "lower window" : "upper window");
        const int top = 1 + 11 * w;
        for (int c = 1; c <= 21; ++c) {
            EXPECT_EQ(p.at(top, c), window_colour[w]);
            EXPECT_EQ(p.at(top + 9, c), window_colour[w]);
        }
        for (int r = top; r < top + 10; ++r) {
            EXPECT_EQ(p.at(r, 1), window_colour[w]);
            EXPECT_EQ(p.at(r, 21), window_colour[w]);
        }
        // The legend: six rows high, centred, in the window's colour on the field.
        const Extent e = extent_of(p, window_colour[w], top + 1, 2, 8, 19);
        EXPECT_EQ(e.top, top + 2);
        EXPECT_EQ(e.bottom, top + 7);
        EXPECT_EQ(e.left - 2, 20 - e.right) << "centred";
        EXPECT_EQ(e.count + extent_of(p, field, top + 1, 2, 8, 19).count, 8 * 19);
        // OFF is wider than ON.
        EXPECT_EQ(e.right - e.left + 1 > 12, std::string(legend[w]) == "OFF");
    }
}

void check_button(const Picture& p, const Case& k) {
    std::map<uint32_t, int> colours;
    for (uint32_t c : p.rgb) ++colours[c];
    // Pure black only at and beside the corners: there the panel shows through.
    for (int r = 0; r < 21; ++r)
        for (int c = 0; c < 21; ++c) {
            const int dr = std::min(r, 20 - r), dc = std::min(c, 20 - c);
            const bool corner = dr + dc <= 1;
            EXPECT_EQ(p.at(r, c) == black, corner) << "pixel " << r << "," << c;
        }
    // The dark outline.
    for (int i = 2; i <= 18; ++i)
        for (uint32_t c : {p.at(0, i), p.at(20, i), p.at(i, 0), p.at(i, 20)})
            EXPECT_LT(brightness(c), brightness(k.upper) / 2);
    uint32_t most = 0;
    int most_count = 0;
    for (auto [c, n] : colours)
        if (n > most_count) most = c, most_count = n;
    EXPECT_EQ(most, k.upper) << "the face colour";
    if (k.upper_legend) {
        // Dark letters across the centre, six rows high and centred.
        Extent e;
        for (int r = 3; r <= 17; ++r)
            for (int c = 3; c <= 17; ++c)
                if (brightness(p.at(r, c)) < 200) {
                    e.top = std::min(e.top, r), e.bottom = std::max(e.bottom, r);
                    e.left = std::min(e.left, c), e.right = std::max(e.right, c);
                }
        EXPECT_EQ(e.bottom - e.top + 1, 6);
        EXPECT_EQ(e.left, 20 - e.right);
        if (k.lower) {
            const Extent sides = extent_of(p, k.lower, 1, 1, 19, 19);
            EXPECT_GT(sides.count, 0);
            EXPECT_TRUE(sides.left <= 3 && sides.right >= 17) << "shading down both sides";
        }
    } else if (k.lower) {
        const Extent centre = extent_of(p, k.lower, 0, 0, 21, 21);
        EXPECT_EQ(centre.right - centre.left + 1, 10);
        EXPECT_EQ(centre.bottom - centre.top + 1, 9);
        EXPECT_EQ(centre.count, 90);
    } else {
        const uint32_t c = p.at(10, 10);
        const Extent centre = extent_of(p, c, 0, 0, 21, 21);
        EXPECT_LT(brightness(c), brightness(k.upper));
        EXPECT_EQ(centre.count, 64);
        EXPECT_EQ(centre.right - centre.left + 1, 8);
        EXPECT_EQ(centre.bottom - centre.top + 1, 8);
    }
}

void PrintTo(const Case& k, std::ostream* os) { *os << k.deliverable << "/" << k.file << ".bmp"; }

class Bitmap : public ::testing::TestWithParam<Case> {};

TEST_P(Bitmap, HasTheHostsFormatAndItsColours) {
    const Case& k = GetParam();
    const Bytes b = read_file(path_of(k.deliverable, k.file));
    const size_t resource = 40 + 1024 + 24 * size_t(k.side);
    ASSERT_EQ(b.size(), 14 + resource);
    EXPECT_EQ(resource, k.side == 23 ? 1616u : 1568u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 6), 0u);
    EXPECT_EQ(u32(b, 10), 1078u);
    EXPECT_EQ(u32(b, 14), 40u);
    EXPECT_EQ(u32(b, 18), uint32_t(k.side));
    EXPECT_EQ(u32(b, 22), uint32_t(k.side)) << "bottom-up rows";
    EXPECT_EQ(u16(b, 26), 1u);
    EXPECT_EQ(u16(b, 28), 8u);
    EXPECT_EQ(u32(b, 30), 0u);
    EXPECT_TRUE(u32(b, 34) == 0 || u32(b, 34) == 24u * uint32_t(k.side));
    EXPECT_EQ(u32(b, 38), 3780u);
    EXPECT_EQ(u32(b, 42), 3780u);
    EXPECT_EQ(u32(b, 46), 0u);
    EXPECT_EQ(u32(b, 50), 0u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(b[54 + 4 * size_t(i) + 3], 0) << "palette entry " << i;
    for (int r = 0; r < k.side; ++r)
        for (int c = k.side; c < 24; ++c) EXPECT_EQ(b[1078 + size_t(r * 24 + c)], 0) << "row padding";

    const Picture p = picture_of(b, k.side);
    EXPECT_EQ(p.palette[size_t(k.black_index)], black);
    for (int i = 0; i < 256; ++i)
        if (i != k.black_index) {
            EXPECT_NE(p.palette[size_t(i)], black) << "pure black only at " << k.black_index;
        }

    if (k.kind == Kind::background) {
        for (uint32_t c : p.rgb) ASSERT_EQ(c, black) << "the background shows no pixel";
    } else if (k.kind == Kind::annunciator) {
        check_annunciator(p, k);
    } else {
        check_button(p, k);
    }
}

INSTANTIATE_TEST_SUITE_P(Committed, Bitmap, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.deliverable) + "_" + info.param.file;
                         });

TEST(Bitmap, SharedImagesAreIdentical) {
    for (const char* f : {"background", "off", "on"})
        EXPECT_EQ(read_file(path_of("push_once", f)), read_file(path_of("push_silent", f))) << f;
    EXPECT_EQ(read_file(path_of("toggle_loop", "background")), read_file(path_of("toggle_latched", "background")));
}

}  // namespace
