// Draws the three bitmaps of every deliverable: the background and the two indicator images,
// as 8-bit palette BMP files. The images are small enough to be drawn pixel by pixel in code,
// so every pixel that ships is reproducible from here.
//
//   vemble_images <variants folder> [preview.png]
//   writes <folder>/<deliverable>/{background,off,on}.bmp, and a magnified sheet of them all
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Rgb { uint8_t r, g, b; };
constexpr Rgb rgb(uint32_t v) { return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

constexpr int max_side = 23;

struct Image {
    int side;
    Rgb palette[256];
    uint8_t pixel[max_side][max_side];  // [row from the top][column]
};

// Unused palette slots hold a grey ramp, so pure black appears only where it is placed.
void images_palette(Image& image, int black_index, const uint32_t* colours, int count) {
    for (int i = 0; i < 256; ++i) image.palette[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    if (black_index != 0) image.palette[0] = rgb(0x808080);
    image.palette[black_index] = {0, 0, 0};
    for (int i = 0; i < count; ++i) image.palette[1 + i] = rgb(colours[i]);
}

void images_fill(Image& image, int top, int left, int height, int width, uint8_t index) {
    for (int r = top; r < top + height; ++r)
        for (int c = left; c < left + width; ++c) image.pixel[r][c] = index;
}

// Letters six pixels high. O and N are five wide, F four, so both legends have odd widths and
// centre exactly.
struct Glyph { char letter; int width; const char* rows[6]; };
constexpr Glyph glyphs[] = {
    {'O', 5, {".###.", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'F', 4, {"####", "#...", "###.", "#...", "#...", "#..."}},
    {'N', 5, {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
};

const Glyph* images_glyph(char letter) {
    for (const Glyph& g : glyphs)
        if (g.letter == letter) return &g;
    return nullptr;
}

int images_text_width(const char* text) {
    int width = 0;
    for (const char* p = text; *p; ++p) width += images_glyph(*p)->width + (p[1] ? 1 : 0);
    return width;
}

// Writes text with its top at row `top`, centred on column `centre`.
void images_text(Image& image, const char* text, int top, int centre, uint8_t index) {
    int left = centre - images_text_width(text) / 2;
    for (const char* p = text; *p; ++p) {
        const Glyph* g = images_glyph(*p);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < g->width; ++c)
                if (g->rows[r][c] == '#') image.pixel[top + r][left + c] = index;
        left += g->width + 1;
    }
}

// Annunciators: 23 by 23, a near-black field, two framed windows with their legends.
constexpr uint32_t annunciator_field = 0x0C0F08, annunciator_dim = 0x676D6D;
enum : uint8_t { a_black = 0, a_field = 1, a_dim = 2, a_lit = 3 };

struct Window { const char* legend; uint32_t colour; };

Image images_annunciator(Window upper, Window lower) {
    Image image{};
    image.side = 23;
    // The image uses the field, the dim grey and one lit colour; either window may be the lit one.
    uint32_t lit = upper.colour != annunciator_dim ? upper.colour : lower.colour;
    const uint32_t colours[] = {annunciator_field, annunciator_dim, lit};
    images_palette(image, a_black, colours, 3);
    images_fill(image, 0, 0, 23, 23, a_field);
    const Window windows[2] = {upper, lower};
    for (int w = 0; w < 2; ++w) {
        uint8_t index = windows[w].colour == annunciator_dim ? a_dim : a_lit;
        int top = 1 + 11 * w;
        images_fill(image, top, 1, 10, 21, index);
        images_fill(image, top + 1, 2, 8, 19, a_field);
        images_text(image, windows[w].legend, top + 2, 11, index);
    }
    return image;
}

// Buttons: 21 by 21, a shaded face in a dark outline; the corners are pure black, undrawn.
enum : uint8_t { b_outline = 1, b_light = 2, b_face = 3, b_shade = 4, b_centre = 5, b_bar = 6, b_side = 7, b_legend = 8 };

struct ButtonColours { uint32_t outline, light, face, shade, centre, bar, side, legend; };

constexpr ButtonColours pale = {0x3A4048, 0xFFFFFF, 0xE7F1F9, 0xB9C3CC, 0xD6E1EA, 0xD6E1EA, 0xCCD6DF, 0x20242A};
constexpr ButtonColours green = {0x0B3A22, 0x7FF5C4, 0x02E490, 0x01A868, 0x64D16F, 0x018C56, 0x02C67C, 0x0B3A22};
constexpr ButtonColours amber = {0x4A1E00, 0xFFEBBE, 0xFFD37D, 0xCF4D01, 0xFFD37D, 0xE0A040, 0xCF4D01, 0x3A1400};

enum ButtonMark { mark_centre_square, mark_centre_bar, mark_legend };

Image images_button(const ButtonColours& k, ButtonMark mark, int black_index) {
    Image image{};
    image.side = 21;
    const uint32_t colours[] = {k.outline, k.light, k.face, k.shade, k.centre, k.bar, k.side, k.legend};
    images_palette(image, black_index, colours, 8);
    const uint8_t black = uint8_t(black_index);
    images_fill(image, 0, 0, 21, 21, b_outline);
    images_fill(image, 1, 1, 19, 19, b_face);
    images_fill(image, 1, 1, 1, 18, b_light);   // light from the upper left
    images_fill(image, 1, 1, 18, 1, b_light);
    images_fill(image, 19, 2, 1, 18, b_shade);  // shadow to the lower right
    images_fill(image, 2, 19, 18, 1, b_shade);
    images_fill(image, 2, 2, 17, 2, b_side);    // shading down the sides
    images_fill(image, 2, 17, 17, 2, b_side);
    images_fill(image, 2, 2, 17, 1, b_shade);
    images_fill(image, 2, 18, 17, 1, b_shade);
    if (mark == mark_centre_square) {
        images_fill(image, 6, 6, 8, 8, b_centre);
    } else if (mark == mark_centre_bar) {
        images_fill(image, 5, 5, 9, 10, b_centre);
        images_fill(image, 16, 5, 2, 11, b_bar);
    } else {
        images_text(image, "ON", 7, 10, b_legend);
    }
    // Each corner pixel and its two neighbours along the edges.
    const int corners[4][2] = {{0, 0}, {0, 20}, {20, 0}, {20, 20}};
    for (const auto& c : corners) {
        int r = c[0], col = c[1], dr = r ? -1 : 1, dc = col ? -1 : 1;
        image.pixel[r][col] = black;
        image.pixel[r + dr][col] = black;
        image.pixel[r][col + dc] = black;
    }
    return image;
}

Image images_background(int side, int black_index) {
    Image image{};
    image.side = side;
    images_palette(image, black_index, nullptr, 0);
    images_fill(image, 0, 0, side, side, uint8_t(black_index));
    return image;
}

void images_put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void images_put32(std::vector<uint8_t>& out, uint32_t v) {
    images_put16(out, v & 0xFFFF);
    images_put16(out, v >> 16);
}

bool images_write(const std::string& path, const Image& image) {
    const int stride = (image.side + 3) & ~3;
    const uint32_t pixels = uint32_t(stride * image.side);
    const uint32_t offset = 14 + 40 + 256 * 4;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    images_put32(out, offset + pixels);
    images_put32(out, 0);
    images_put32(out, offset);
    images_put32(out, 40);
    images_put32(out, uint32_t(image.side));
    images_put32(out, uint32_t(image.side));
    images_put16(out, 1);
    images_put16(out, 8);
    images_put32(out, 0);  // BI_RGB
    images_put32(out, pixels);
    images_put32(out, 3780);
    images_put32(out, 3780);
    images_put32(out, 0);
    images_put32(out, 0);
    for (const Rgb& c : image.palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int r = image.side - 1; r >= 0; --r)
        for (int c = 0; c < stride; ++c) out.push_back(c < image.side ? image.pixel[r][c] : 0);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

struct Deliverable { const char* name; Image background, off, on; };

// A magnified contact sheet as PNG, for looking at the images: stored (uncompressed) deflate
// blocks need no compressor.
uint32_t images_crc(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void images_chunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    const uint32_t n = uint32_t(data.size());
    const uint8_t length[4] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
    png.insert(png.end(), length, length + 4);
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    const uint32_t crc = images_crc(body.data(), body.size());
    const uint8_t c[4] = {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)};
    png.insert(png.end(), c, c + 4);
}

bool images_preview(const std::string& path, const Deliverable* deliverables, int count) {
    constexpr int scale = 12, cell = (max_side + 2) * scale;
    const int width = 3 * cell, height = count * cell;
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const Deliverable& d = deliverables[y / cell];
            const Image* images[3] = {&d.background, &d.off, &d.on};
            const Image& image = *images[x / cell];
            int r = (y % cell) / scale - 1, c = (x % cell) / scale - 1;
            Rgb p = {255, 0, 255};  // pure black shows as the panel behind: magenta here
            if (r >= 0 && c >= 0 && r < image.side && c < image.side) {
                Rgb v = image.palette[image.pixel[r][c]];
                if (v.r || v.g || v.b) p = v;
            } else {
                p = {128, 128, 128};
            }
            raw.push_back(p.r);
            raw.push_back(p.g);
            raw.push_back(p.b);
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size(); at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + long(at), raw.begin() + long(at + n));
    }
    const uint32_t adler = (b << 16) | a;
    for (int s = 24; s >= 0; s -= 8) z.push_back(uint8_t(adler >> s));
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    for (uint32_t v : {uint32_t(width), uint32_t(height)})
        for (int s = 24; s >= 0; s -= 8) ihdr.push_back(uint8_t(v >> s));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    images_chunk(png, "IHDR", ihdr);
    images_chunk(png, "IDAT", z);
    images_chunk(png, "IEND", {});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: vemble_images <variants folder> [preview.png]\n");
        return 2;
    }
    const uint32_t dim = annunciator_dim;
    const Image blue_off = images_annunciator({"OFF", 0xBFC3C2}, {"ON", dim});
    const Image blue_on = images_annunciator({"OFF", dim}, {"ON", 0x4374FF});
    const Image amber_green_off = images_annunciator({"ON", dim}, {"OFF", 0xFFC000});
    const Image amber_green_on = images_annunciator({"ON", 0x00C000}, {"OFF", dim});
    const Image annunciator_background = images_background(23, 0);
    // The two button deliverables share one background bitmap.
    const Image button_background = images_background(21, 56);

    const Deliverable deliverables[] = {
        {"toggle_once", annunciator_background, blue_off, blue_on},
        {"toggle_loop", button_background, images_button(pale, mark_centre_square, 56),
         images_button(green, mark_centre_bar, 56)},
        {"push_once", annunciator_background, amber_green_off, amber_green_on},
        {"toggle_latched", button_background, images_button(pale, mark_legend, 38),
         images_button(amber, mark_legend, 38)},
        {"push_silent", annunciator_background, amber_green_off, amber_green_on},
    };
    for (const Deliverable& d : deliverables) {
        const std::string folder = std::string(argv[1]) + "/" + d.name + "/";
        if (!images_write(folder + "background.bmp", d.background) || !images_write(folder + "off.bmp", d.off) ||
            !images_write(folder + "on.bmp", d.on)) {
            std::fprintf(stderr, "vemble_images: cannot write into %s\n", folder.c_str());
            return 1;
        }
    }
    if (argc == 3 && !images_preview(argv[2], deliverables, 5)) {
        std::fprintf(stderr, "vemble_images: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
