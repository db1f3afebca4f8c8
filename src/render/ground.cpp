// The perspective ground and the cloud shadows drawn over it.
//
// Each screen row looks at one ground distance (g.row_distance) and spans
// the ground in even steps (g.row_step), so a row is one straight walk across
// the map: per pixel only additions, shifts, masks and lookups. The maps'
// sides are powers of two, so wrapping around them is a bit mask. The
// stage's ground is its 512 x 512 picture drawn at twice its size, each
// texel over 2^GROUND_TEXEL_SHIFT world pixels a side, which takes a quarter
// of the cache that a doubled copy of it would.
#include "render/render.h"

#include "core/game_state.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qv {

namespace {

using u32 = std::uint32_t;

// Added once to a row's start so that a plain shift rounds to nearest,
// halves up, exactly as fixtoi does.
constexpr u32 ROUND_HALF = 0x8000;
constexpr int FIX_SHIFT = 16;

// The screen is walked in tiles of BAND rows by CHUNK columns, each row of a
// tile carrying on its own walk where the tile to its left stopped. The
// pixels come out exactly as row by row, but a tile's texels lie close
// together on the map whatever the heading, so they stay in the cache.
constexpr int BAND = 8;
constexpr int CHUNK = 32;

// A row's walk across the map in 16.16, pre-biased by one half. Unsigned:
// far-off positions wrap instead of overflowing, and only the low bits of
// the texel coordinates are used, which come out the same either way.
struct RowWalk {
    u32 u, v, du, dv;
};

struct Axes {
    fixed c, s;
};

Axes axes(fixed heading) {
    const fixed angle = wrap_angle(heading);
    return {fixcos(angle), fixsin(angle)};
}

RowWalk row_walk(Axes a, fixed cx, fixed cy, int y) {
    constexpr u32 half_w = FRAME_W / 2;
    const fixed d = g.row_distance[y], k = g.row_step[y];
    const fixed dx = fixmul(-a.s, k), dy = fixmul(a.c, k);
    RowWalk w;
    w.du = static_cast<u32>(dx);
    w.dv = static_cast<u32>(dy);
    w.u = static_cast<u32>(cx) + static_cast<u32>(fixmul(d, a.c)) - half_w * w.du + ROUND_HALF;
    w.v = static_cast<u32>(cy) + static_cast<u32>(fixmul(d, a.s)) - half_w * w.dv + ROUND_HALF;
    return w;
}

constexpr int log2_of(int n) {
    int l = 0;
    while ((1 << l) < n)
        ++l;
    return l;
}

// Texel index of a map of 2^LW x 2^LH texels, each over 2^TS world pixels a
// side: row bits above column bits, as create_bitmap lays out its rows back
// to back, so no row table is needed.
template <int LW, int LH, int TS> struct Pow2Index {
    u32 operator()(u32 u, u32 v) const {
        constexpr u32 u_mask = (1u << LW) - 1, v_row_mask = ((1u << LH) - 1) << LW;
        return ((v >> (FIX_SHIFT + TS - LW)) & v_row_mask) | ((u >> (FIX_SHIFT + TS)) & u_mask);
    }
};
constexpr int GROUND_LOG2 = log2_of(GROUND_PICTURE_SIZE), CLOUD_LOG2 = log2_of(CLOUD_SIZE);
using GroundIndex = Pow2Index<GROUND_LOG2, GROUND_LOG2, GROUND_TEXEL_SHIFT>;
using CloudIndex = Pow2Index<CLOUD_LOG2, CLOUD_LOG2, 0>;
static_assert((1 << GROUND_LOG2) == GROUND_PICTURE_SIZE && (1 << CLOUD_LOG2) == CLOUD_SIZE,
              "the maps wrap with a mask");

// The texel indices of a tile row's CHUNK pixels (a loop of constant length
// the compiler runs several pixels at a time), advancing the walk.
template <class Index> inline void chunk_indices(Index index, RowWalk &r, u32 *out) {
    u32 u = r.u, v = r.v;
    for (int i = 0; i < CHUNK; ++i) {
        out[i] = index(u, v);
        u += r.du;
        v += r.dv;
    }
    r.u = u;
    r.v = v;
}

// Visits the tiles: segment.start_band(y0) at each band, then for each
// row's piece of a tile segment(row in band, first pixel).
static_assert(FRAME_W % CHUNK == 0 && FRAME_H % BAND == 0, "the frame is whole tiles");
template <class Segment> void for_each_segment(BITMAP *dest, Segment &segment) {
    for (int y0 = 0; y0 < FRAME_H; y0 += BAND) {
        segment.start_band(y0);
        for (int x0 = 0; x0 < FRAME_W; x0 += CHUNK)
            for (int b = 0; b < BAND; ++b)
                segment(b, dest->line[y0 + b] + x0);
    }
}

// The ground alone.
struct GroundSegments {
    Axes a;
    fixed x, y;
    const unsigned char *ground;
    RowWalk walks[BAND];

    void start_band(int y0) {
        for (int b = 0; b < BAND; ++b)
            walks[b] = row_walk(a, x, y, y0 + b);
    }
    void operator()(int b, unsigned char *out) {
        u32 gi[CHUNK];
        chunk_indices(GroundIndex{}, walks[b], gi);
        for (int i = 0; i < CHUNK; ++i)
            out[i] = ground[gi[i]];
    }
};

// A tile row's pixels: the ground texel shaded by the cloud texel. Kept out
// of line, everything it needs in registers: inlined into the tile walk,
// the compiler could run short of registers and reload the maps' addresses
// from the stack at every pixel, which made the pass a third slower.
[[gnu::noinline]] void shade_chunk(unsigned char *out, const u32 *gi, const u32 *ci,
                                   const unsigned char *ground, const unsigned char *clouds,
                                   const COLOR_MAP &shade) {
    for (int i = 0; i < CHUNK; ++i)
        out[i] = shade.data[clouds[ci[i]]][ground[gi[i]]];
}

// Ground and clouds side by side: each pixel is written once, already
// shaded. The cloud texel is a light level: 255 leaves the ground as it is,
// lower values darken it.
struct ShadedGroundSegments {
    Axes ground_axes, cloud_axes;
    fixed gx, gy, cx, cy;
    const unsigned char *ground, *clouds;
    RowWalk ground_walks[BAND], cloud_walks[BAND];

    void start_band(int y0) {
        for (int b = 0; b < BAND; ++b) {
            ground_walks[b] = row_walk(ground_axes, gx, gy, y0 + b);
            cloud_walks[b] = row_walk(cloud_axes, cx, cy, y0 + b);
        }
    }
    void operator()(int b, unsigned char *out) {
        u32 gi[CHUNK], ci[CHUNK];
        chunk_indices(GroundIndex{}, ground_walks[b], gi);
        chunk_indices(CloudIndex{}, cloud_walks[b], ci);
        shade_chunk(out, gi, ci, ground, clouds, g.shade_map);
    }
};

// The walks read a map as one block of rows of its known side: a map of
// another size, or a sub-bitmap, would be read past its end. The loader
// makes them so; a change that breaks that should stop here, not read stray
// memory.
void check_map(const BITMAP *map, int side, const char *what) {
    if (map->w != side || map->h != side || map->line[side - 1] != map->line[0] + (side - 1) * side)
        throw std::logic_error(std::string(what) + " is not one " + std::to_string(side) + " x " +
                               std::to_string(side) + " block");
}

} // namespace

void draw_ground_layer(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy) {
    check_map(map, GROUND_PICTURE_SIZE, "the ground map");
    GroundSegments s{axes(heading), cx, cy, map->line[0], {}};
    for_each_segment(dest, s);
}

void draw_ground_and_cloud_layers(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy,
                                  BITMAP *clouds, fixed cloud_heading, fixed cloud_x,
                                  fixed cloud_y) {
    check_map(map, GROUND_PICTURE_SIZE, "the ground map");
    check_map(clouds, CLOUD_SIZE, "the cloud map");
    ShadedGroundSegments s{axes(heading), axes(cloud_heading), cx, cy, cloud_x, cloud_y,
                           map->line[0],  clouds->line[0],     {}, {}};
    for_each_segment(dest, s);
}

} // namespace qv
