// The review picture: every generated picture at 2x, each with a 16x16
// swatch of its palette, flowed left to right on a dark grey ground.
#include "generate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace assetgen {

namespace {

constexpr int SCALE = 2;
constexpr int GAP = 16;
constexpr int SWATCH_CELL = 6;
constexpr int SWATCH = 16 * SWATCH_CELL;
constexpr int MAX_WIDTH = 2400;
constexpr std::uint8_t BACKDROP[3] = {40, 40, 44};

struct Canvas {
    int w, h;
    std::vector<std::uint8_t> rgb;
    Canvas(int width, int height) : w(width), h(height), rgb(static_cast<size_t>(width * height * 3)) {
        for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = BACKDROP[i % 3];
    }
    void put(int x, int y, const RGB &c) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        std::uint8_t *p = &rgb[static_cast<size_t>((y * w + x) * 3)];
        // 6-bit levels to 8 bits the way the display shows them.
        p[0] = static_cast<std::uint8_t>((c.r << 2) | (c.r >> 4));
        p[1] = static_cast<std::uint8_t>((c.g << 2) | (c.g >> 4));
        p[2] = static_cast<std::uint8_t>((c.b << 2) | (c.b >> 4));
    }
};

struct Place {
    int x, y;
};

int item_width(const Picture &p) { return p.bmp->w * SCALE + GAP / 2 + SWATCH; }
int item_height(const Picture &p) { return std::max(p.bmp->h * SCALE, SWATCH); }

void draw_item(Canvas &c, const Picture &p, Place at) {
    for (int y = 0; y < p.bmp->h; ++y)
        for (int x = 0; x < p.bmp->w; ++x) {
            const int v = getpixel(p.bmp, x, y);
            RGB col = p.pal[v];
            if (p.light_levels) {
                const auto g = static_cast<unsigned char>(v >> 2);
                col = RGB{g, g, g, 0};
            }
            for (int sy = 0; sy < SCALE; ++sy)
                for (int sx = 0; sx < SCALE; ++sx) c.put(at.x + x * SCALE + sx, at.y + y * SCALE + sy, col);
        }
    const int sx0 = at.x + p.bmp->w * SCALE + GAP / 2;
    for (int i = 0; i < 256; ++i)
        for (int y = 0; y < SWATCH_CELL; ++y)
            for (int x = 0; x < SWATCH_CELL; ++x)
                c.put(sx0 + (i % 16) * SWATCH_CELL + x, at.y + (i / 16) * SWATCH_CELL + y, p.pal[i]);
}

} // namespace

void write_contact_sheet(const std::vector<Picture> &pictures, const std::string &png) {
    std::vector<Place> places;
    int x = GAP, y = GAP, row_h = 0, width = 0;
    for (const Picture &p : pictures) {
        if (x > GAP && x + item_width(p) > MAX_WIDTH) {
            x = GAP;
            y += row_h + GAP;
            row_h = 0;
        }
        places.push_back({x, y});
        x += item_width(p) + GAP;
        width = std::max(width, x);
        row_h = std::max(row_h, item_height(p));
    }
    Canvas canvas(width, y + row_h + GAP);
    for (size_t i = 0; i < pictures.size(); ++i) draw_item(canvas, pictures[i], places[i]);

    const std::string ppm = png + ".ppm";
    {
        std::ofstream out(ppm, std::ios::binary | std::ios::trunc);
        out << "P6\n" << canvas.w << ' ' << canvas.h << "\n255\n";
        out.write(reinterpret_cast<const char *>(canvas.rgb.data()),
                  static_cast<std::streamsize>(canvas.rgb.size()));
        if (!out) throw std::runtime_error("cannot write " + ppm);
    }
    const std::string cmd = "convert '" + ppm + "' '" + png + "'";
    const int rc = std::system(cmd.c_str());
    std::filesystem::remove(ppm);
    if (rc != 0) throw std::runtime_error("ImageMagick could not write " + png);
}

} // namespace assetgen
