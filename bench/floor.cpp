#include "floor.h"

#include <cstdint>

namespace qv::bench {

namespace {

constexpr int FIX = 16;
constexpr int GROUND_FIX = FIX + GROUND_TEXEL_SHIFT;
constexpr std::uint32_t GROUND_MASK = 511, GROUND_ROW_BITS = 9;
constexpr std::uint32_t CLOUD_MASK = 255, CLOUD_ROW_BITS = 8;
static_assert(GROUND_MASK + 1 == GROUND_PICTURE_SIZE && CLOUD_MASK + 1 == CLOUD_SIZE);

struct Walk {
    std::uint32_t u, v, du, dv;
};

// Where row y of the view starts on the map and how it steps: the same
// tables the game's layers read.
Walk row_walk(int y, fixed heading, fixed x, fixed y0) {
    const fixed angle = wrap_angle(heading), c = fixcos(angle), s = fixsin(angle);
    const fixed d = g.row_distance[y], k = g.row_step[y];
    const fixed du = fixmul(-s, k), dv = fixmul(c, k);
    return {static_cast<std::uint32_t>(x + fixmul(d, c) - FRAME_W / 2 * du),
            static_cast<std::uint32_t>(y0 + fixmul(d, s) - FRAME_W / 2 * dv),
            static_cast<std::uint32_t>(du), static_cast<std::uint32_t>(dv)};
}

} // namespace

void draw_floor(BITMAP *dest, BITMAP *ground, BITMAP *clouds, const COLOR_MAP &shade,
                const LayerPose &p) {
    const unsigned char *ground_texels = ground->line[0];
    const unsigned char *cloud_texels = clouds->line[0];
    for (int y = 0; y < FRAME_H; ++y) {
        Walk gw = row_walk(y, p.heading, p.x, p.y);
        Walk cw = row_walk(y, p.cloud_heading, p.cloud_x, p.cloud_y);
        unsigned char *out = dest->line[y];
        for (int x = 0; x < FRAME_W; ++x) {
            const unsigned char t =
                ground_texels[((gw.v >> GROUND_FIX) & GROUND_MASK) << GROUND_ROW_BITS |
                              ((gw.u >> GROUND_FIX) & GROUND_MASK)];
            const unsigned char level = cloud_texels[((cw.v >> FIX) & CLOUD_MASK) << CLOUD_ROW_BITS |
                                                     ((cw.u >> FIX) & CLOUD_MASK)];
            out[x] = shade.data[level][t];
            gw.u += gw.du, gw.v += gw.dv;
            cw.u += cw.du, cw.v += cw.dv;
        }
    }
}

} // namespace qv::bench
