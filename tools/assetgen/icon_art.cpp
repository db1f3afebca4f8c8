// The desktop icon: the first ship over a night-blue disc with a thin light
// rim, rendered at each size rather than scaled, so the small ones stay
// crisp. Written with Allegro's PNG add-on.
#include "assetgen.h"
#include "generate.h"

#include <loadpng.h>

#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace assetgen {

namespace {

constexpr int DISC_R = 18, DISC_G = 26, DISC_B = 58;
constexpr int RIM_R = 120, RIM_G = 170, RIM_B = 235;
constexpr float RIM_WIDTH = 0.035f; // of the icon's size
constexpr int OPAQUE = 255;

// 6-bit palette levels to 8 bits, as the display shows them.
int level8(int v) { return (v << 2) | (v >> 4); }

BITMAP *make_icon(int size) {
    PALETTE pal;
    BITMAP *craft = make_ship_icon(size, pal);
    BITMAP *icon = create_bitmap_ex(32, size, size);
    const float c = (static_cast<float>(size) - 1.0f) / 2.0f;
    const float r = static_cast<float>(size) / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float d = std::hypot(static_cast<float>(x) - c, static_cast<float>(y) - c);
            // Anti-aliased edge of the disc: coverage of a one-pixel band.
            const float cover = std::fmin(1.0f, std::fmax(0.0f, r - d));
            const int a = static_cast<int>(std::lround(cover * OPAQUE));
            const bool rim = d > r * (1.0f - 2.0f * RIM_WIDTH);
            int col = rim ? makeacol32(RIM_R, RIM_G, RIM_B, a) : makeacol32(DISC_R, DISC_G, DISC_B, a);
            const int v = getpixel(craft, x, y);
            if (v != 0) col = makeacol32(level8(pal[v].r), level8(pal[v].g), level8(pal[v].b), OPAQUE);
            putpixel(icon, x, y, col);
        }
    destroy_bitmap(craft);
    return icon;
}

} // namespace

void write_icons(const std::string &dir) {
    std::filesystem::create_directories(dir);
    for (int size : ICON_SIZES) {
        BITMAP *icon = make_icon(size);
        const std::string file = dir + "/quarvell-" + std::to_string(size) + ".png";
        const int failed = save_png(file.c_str(), icon, nullptr);
        destroy_bitmap(icon);
        if (failed) throw std::runtime_error("cannot write " + file);
    }
}

} // namespace assetgen
