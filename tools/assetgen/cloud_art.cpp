// Cloud shadows: three 256x256 maps of light levels (255 leaves the ground
// alone, lower darkens it), each stored as two 128-row halves in archives N
// and N+1. A map is painted whole from noise that repeats every 256 texels,
// so it tiles both ways and its halves join.
#include "assetgen.h"
#include "palette.h"
#include "world_util.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

using namespace world;

namespace {

constexpr int MAP = 256;
constexpr int HALF = MAP / 2;
constexpr int CLEAR = 255;

struct CloudStyle {
    int archive;    // archive of the top half
    int darkest;    // light level under the thickest cloud
    int cells_x;    // noise lattice: wider than tall stretches the clouds
    int cells_y;
    double cover;   // density where cloud begins
    double solid;   // density where it reaches full shade
    bool wispy;     // thin streaks folded by a warp, rather than puffs
    std::uint64_t seed;
};

constexpr CloudStyle CLOUDS[] = {
    {100, 158, 4, 4, 0.50, 0.72, false, 0xC10D1}, // fair-weather puffs over the mesas
    {300, 168, 2, 6, 0.43, 0.66, false, 0xC10D3}, // long bands drifting over the tundra
    {200, 172, 3, 3, 0.80, 0.97, true, 0xC10D2},  // thin smoke and dust in space
};

std::vector<std::uint8_t> cloud_map(const CloudStyle &s) {
    const TileFbm body(MAP, s.cells_x, s.cells_y, 5, 0.52, s.seed);
    const TileFbm wa(MAP, 2, 2, 3, 0.5, s.seed + 1);
    const TileFbm wb(MAP, 2, 2, 3, 0.5, s.seed + 2);
    std::vector<std::uint8_t> map(static_cast<size_t>(MAP) * MAP);
    for (int y = 0; y < MAP; ++y) {
        for (int x = 0; x < MAP; ++x) {
            const double warp = s.wispy ? 70.0 : 24.0;
            const double qx = (wa.at(x, y) - 0.5) * warp;
            const double qy = (wb.at(x, y) - 0.5) * warp;
            double d = body.at(x + qx, y + qy);
            if (s.wispy) d = 1.0 - std::fabs(2 * d - 1); // ridges: thin folded strands
            const double shade = smoothstep(s.cover, s.solid, d);
            const double level = CLEAR - shade * (CLEAR - s.darkest);
            map[static_cast<size_t>(y) * MAP + x] = static_cast<std::uint8_t>(std::lround(level));
        }
    }
    return map;
}

} // namespace

BITMAP *make_clouds(int archive, PALETTE pal) {
    make_master_palette(pal);
    BITMAP *bmp = create_bitmap_ex(8, 320, 200);
    clear_to_color(bmp, CLEAR);
    const CloudStyle *style = &CLOUDS[0];
    for (const CloudStyle &s : CLOUDS)
        if (archive == s.archive || archive == s.archive + 1) style = &s;
    const std::vector<std::uint8_t> map = cloud_map(*style);
    const int top = archive == style->archive + 1 ? HALF : 0;
    for (int y = 0; y < HALF; ++y)
        for (int x = 0; x < MAP; ++x) putpixel(bmp, x, y, map[static_cast<size_t>(top + y) * MAP + x]);
    return bmp;
}

} // namespace assetgen
