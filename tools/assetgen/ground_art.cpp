// The six stage grounds: each is painted by its own painter into light
// levels and ramps, then reduced to indices 128..255 with the stage's own
// colours in those palette entries. Every painter uses noise that repeats
// every 512 texels, so the ground wraps without a seam.
#include "assetgen.h"
#include "ground_common.h"
#include "palette.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

using namespace world;

namespace {

constexpr float GROUND_DITHER = 0.5f; // share of one ramp step the dither spans

const GroundStyle STYLES[6] = {
    // Delian Mesas: ochre rock and sand; green-gold plateau growth.
    {{{{5, 3, 2}, {18, 9, 4}, {34, 20, 9}, {48, 34, 16}, {58, 49, 30}},
      {{4, 5, 2}, {12, 16, 5}, {22, 28, 9}, {34, 40, 15}, {48, 52, 28}}},
     paint_mesas},
    // Alpha Aurora: ice from deep blue to frost, blending toward the green
    // of the aurora's light.
    {{{{2, 4, 10}, {8, 16, 28}, {22, 36, 48}, {44, 54, 60}},
      {{2, 6, 10}, {6, 22, 28}, {18, 44, 46}, {42, 60, 58}},
      {{1, 8, 6}, {3, 32, 16}, {10, 56, 26}, {38, 63, 44}}},
     paint_aurora,
     8},
    // Charred Sands: black ash to scorched red-brown to pale ash; lava.
    {{{{2, 1, 1}, {7, 4, 4}, {16, 7, 5}, {26, 14, 10}, {36, 30, 27}, {46, 42, 38}},
      {{14, 2, 0}, {40, 8, 0}, {60, 30, 2}, {63, 56, 20}}},
     paint_charred},
    // Phraxis Nebula: indigo, violet, magenta and rose gas.
    {{{{1, 1, 5}, {6, 5, 20}, {18, 16, 40}, {40, 40, 60}},
      {{2, 1, 6}, {14, 4, 24}, {32, 14, 46}, {54, 40, 63}},
      {{4, 0, 5}, {22, 3, 22}, {46, 12, 42}, {62, 42, 60}},
      {{5, 1, 3}, {26, 6, 14}, {52, 22, 32}, {63, 50, 52}}},
     paint_nebula,
     8},
    // The Wormhole: violet-blue rings out in space, cyan light, white throat.
    {{{{1, 0, 6}, {10, 4, 28}, {28, 18, 54}, {50, 44, 63}},
      {{0, 3, 6}, {2, 16, 26}, {10, 40, 50}, {40, 62, 63}},
      {{2, 6, 10}, {16, 34, 46}, {44, 58, 63}, {63, 63, 63}}},
     paint_wormhole},
    // Galactic Core: black through amber to gold and white; blue-white stars.
    {{{{0, 0, 0}, {8, 4, 1}, {24, 13, 3}, {44, 30, 8}, {58, 48, 22}, {63, 62, 48}},
      {{2, 3, 8}, {16, 22, 40}, {40, 48, 63}, {60, 62, 63}}},
     paint_core},
};

// Ramps mixed evenly along the chain of stops.
std::vector<std::vector<Key>> blend_ramps(const std::vector<std::vector<Key>> &stops, int n) {
    std::vector<std::vector<Key>> out;
    const int segments = static_cast<int>(stops.size()) - 1;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / (n - 1) * segments;
        const int k = std::min(static_cast<int>(t), segments - 1);
        const double f = t - k;
        std::vector<Key> keys;
        for (size_t j = 0; j < stops[static_cast<size_t>(k)].size(); ++j) {
            const Key &a = stops[static_cast<size_t>(k)][j];
            const Key &b = stops[static_cast<size_t>(k) + 1][j];
            keys.push_back({mix(a.r, b.r, f), mix(a.g, b.g, f), mix(a.b, b.b, f)});
        }
        out.push_back(keys);
    }
    return out;
}

} // namespace

namespace world {

float HeightField::light(int x, int y, float relief) const {
    const float dx = (get(x + 1, y) - get(x - 1, y)) * 0.5f * relief;
    const float dy = (get(x, y + 1) - get(x, y - 1)) * 0.5f * relief;
    // Normal (-dx, -dy, 1); light from the upper left and above.
    constexpr float LX = -0.55f, LY = -0.55f, LZ = 0.63f;
    const float n = std::sqrt(dx * dx + dy * dy + 1);
    return std::clamp((-dx * LX - dy * LY + LZ) / n, 0.0f, 1.0f);
}

double ground_distance(double x, double y, double cx, double cy) {
    const double dx = wrap_delta(cx, x, GROUND);
    const double dy = wrap_delta(cy, y, GROUND);
    return std::sqrt(dx * dx + dy * dy);
}

std::vector<Star> scatter_stars(int count, double max_radius, std::uint64_t seed) {
    Rng rng(seed);
    std::vector<Star> stars;
    for (int i = 0; i < count; ++i) {
        const double size = rng.uniform();
        // Many faint points, few big bright ones.
        stars.push_back({rng.range(0, GROUND), rng.range(0, GROUND), 0.6 + size * size * size * max_radius,
                         0.35 + 0.65 * rng.uniform()});
    }
    return stars;
}

void draw_stars(std::vector<float> &add, const std::vector<Star> &stars) {
    for (const Star &s : stars) {
        const int r = static_cast<int>(std::ceil(s.radius * 2));
        for (int dy = -r; dy <= r; ++dy) {
            for (int dx = -r; dx <= r; ++dx) {
                const int x = (static_cast<int>(std::floor(s.x)) + dx + GROUND) % GROUND;
                const int y = (static_cast<int>(std::floor(s.y)) + dy + GROUND) % GROUND;
                const double ex = std::floor(s.x) + dx + 0.5 - s.x;
                const double ey = std::floor(s.y) + dy + 0.5 - s.y;
                const double d = std::sqrt(ex * ex + ey * ey) / s.radius;
                const double v = s.light * (d < 0.6 ? 1.0 : std::max(0.0, 1.0 - (d - 0.6) / 1.4) * 0.6);
                float &p = add[static_cast<size_t>(y) * GROUND + x];
                p = std::min(1.0f, p + static_cast<float>(v));
            }
        }
    }
}

} // namespace world

BITMAP *make_ground(int stage, PALETTE pal) {
    make_master_palette(pal);
    const GroundStyle &style = STYLES[std::clamp(stage, 0, 5)];
    const std::vector<std::vector<Key>> colours = style.blend > 0 ? blend_ramps(style.ramps, style.blend) : style.ramps;
    const int ramps = static_cast<int>(colours.size());
    const int per_ramp = GROUND_COLOURS / ramps;
    for (int r = 0; r < ramps; ++r) gradient(pal, GROUND_FIRST + r * per_ramp, per_ramp, colours[static_cast<size_t>(r)]);
    GroundPaint g;
    style.paint(g);
    BITMAP *bmp = create_bitmap_ex(8, GROUND, GROUND);
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const int r = std::min<int>(g.rp(x, y), ramps - 1);
            const float v = std::clamp(g.lv(x, y), 0.0f, 1.0f) * (per_ramp - 1) +
                            GROUND_DITHER * static_cast<float>(bayer4(x, y));
            const int level = std::clamp(static_cast<int>(std::lround(v)), 0, per_ramp - 1);
            putpixel(bmp, x, y, GROUND_FIRST + r * per_ramp + level);
        }
    }
    return bmp;
}

} // namespace assetgen
