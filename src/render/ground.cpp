// The perspective ground and the cloud shadows drawn over it.
//
// Each screen row looks at one ground distance (g.row_distance) and spans
// the ground in even steps (g.row_step), so a row is one straight walk across
// the map: per pixel only additions, shifts, masks and lookups. The maps'
// sides are powers of two, so wrapping around them is a bit mask. A map may
// be drawn larger than it is, each texel over 2^texel_shift world pixels a
// side: the stage's ground is its 512 x 512 picture at twice its size, which
// takes a quarter of the cache that a doubled copy of it would.
#include "render/render.h"

#include "core/game_state.h"

#include <cstdint>

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

RowWalk row_walk(Axes a, fixed cx, fixed cy, int y, int half_w) {
    const fixed d = g.row_distance[y], k = g.row_step[y];
    const fixed dx = fixmul(-a.s, k), dy = fixmul(a.c, k);
    RowWalk w;
    w.du = static_cast<u32>(dx);
    w.dv = static_cast<u32>(dy);
    w.u = static_cast<u32>(cx) + static_cast<u32>(fixmul(d, a.c)) -
          static_cast<u32>(half_w) * w.du + ROUND_HALF;
    w.v = static_cast<u32>(cy) + static_cast<u32>(fixmul(d, a.s)) -
          static_cast<u32>(half_w) * w.dv + ROUND_HALF;
    return w;
}

constexpr int log2_of(int n) {
    int l = 0;
    while ((1 << l) < n)
        ++l;
    return l;
}

bool is_power_of_two(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

bool layer_usable(BITMAP *dest, BITMAP *map) {
    return dest && map && is_memory_bitmap(dest) && is_memory_bitmap(map) &&
           is_power_of_two(map->w) && is_power_of_two(map->h);
}

int layer_rows(BITMAP *dest) {
    return dest->h < FRAME_H ? dest->h : FRAME_H;
}

// Memory bitmaps from create_bitmap keep their rows back to back: then one
// index (row bits above column bits) finds a texel without the row table.
const unsigned char *packed_texels(BITMAP *map) {
    const auto first = reinterpret_cast<std::uintptr_t>(map->line[0]);
    const auto last = reinterpret_cast<std::uintptr_t>(map->line[map->h - 1]);
    const bool packed =
        log2_of(map->w) <= FIX_SHIFT && last - first == static_cast<std::uintptr_t>(map->h - 1) *
                                                            static_cast<std::uintptr_t>(map->w);
    return packed ? map->line[0] : nullptr;
}

// Texel index of a back-to-back map of 2^LW x 2^LH texels, each over
// 2^TS world pixels a side: the game's two maps get constant shifts.
template <int LW, int LH, int TS> struct Pow2Index {
    u32 operator()(u32 u, u32 v) const {
        constexpr u32 u_mask = (1u << LW) - 1, v_row_mask = ((1u << LH) - 1) << LW;
        return ((v >> (FIX_SHIFT + TS - LW)) & v_row_mask) | ((u >> (FIX_SHIFT + TS)) & u_mask);
    }
};
constexpr int GROUND_LOG2 = log2_of(GROUND_PICTURE_SIZE), CLOUD_LOG2 = log2_of(CLOUD_SIZE);
using GroundIndex = Pow2Index<GROUND_LOG2, GROUND_LOG2, GROUND_TEXEL_SHIFT>;
using CloudIndex = Pow2Index<CLOUD_LOG2, CLOUD_LOG2, 0>;

struct AnyIndex {
    int u_shift, v_shift;
    u32 v_row_mask, u_mask;

    AnyIndex(BITMAP *map, int texel_shift)
        : u_shift(FIX_SHIFT + texel_shift), v_shift(u_shift - log2_of(map->w)),
          v_row_mask(static_cast<u32>(map->h - 1) << log2_of(map->w)),
          u_mask(static_cast<u32>(map->w - 1)) {}

    u32 operator()(u32 u, u32 v) const {
        return ((v >> v_shift) & v_row_mask) | ((u >> u_shift) & u_mask);
    }
};

bool sized(BITMAP *map, int side) {
    return map->w == side && map->h == side;
}

bool is_stage_ground(BITMAP *map, int texel_shift) {
    return sized(map, GROUND_PICTURE_SIZE) && texel_shift == GROUND_TEXEL_SHIFT;
}

// The texel indices of the next n pixels of a row (a loop the compiler can
// run several pixels at a time), advancing the walk.
template <class Index> inline void next_indices(Index index, RowWalk &r, u32 *out, int n) {
    u32 u = r.u, v = r.v;
    for (int i = 0; i < n; ++i) {
        out[i] = index(u, v);
        u += r.du;
        v += r.dv;
    }
    r.u = u;
    r.v = v;
}

template <class Index> inline void chunk_indices(Index index, RowWalk &r, u32 *out, int n) {
    if (n == CHUNK)
        next_indices(index, r, out, CHUNK);
    else
        next_indices(index, r, out, n);
}

// Visits the tiles: segment.start_band(y0, rows) at each band, then for
// each row's piece of a tile segment(row in band, first pixel, count).
template <class Segment> void for_each_segment(BITMAP *dest, Segment &segment) {
    const int w = dest->w, rows = layer_rows(dest);
    for (int y0 = 0; y0 < rows; y0 += BAND) {
        const int band = rows - y0 < BAND ? rows - y0 : BAND;
        segment.start_band(y0, band);
        for (int x0 = 0; x0 < w; x0 += CHUNK) {
            const int n = w - x0 < CHUNK ? w - x0 : CHUNK;
            for (int b = 0; b < band; ++b)
                segment(b, dest->line[y0 + b] + x0, n);
        }
    }
}

// One layer over a back-to-back map: `put(pixel, texel)` for every pixel.
template <class Index, class Put> struct LayerSegments {
    Axes a;
    fixed cx, cy;
    int half_w;
    const unsigned char *texels;
    Index index;
    Put put;
    RowWalk walks[BAND];

    void start_band(int y0, int band) {
        for (int b = 0; b < band; ++b)
            walks[b] = row_walk(a, cx, cy, y0 + b, half_w);
    }
    void operator()(int b, unsigned char *out, int n) {
        u32 idx[CHUNK];
        chunk_indices(index, walks[b], idx, n);
        for (int i = 0; i < n; ++i)
            put(out[i], texels[idx[i]]);
    }
};

template <class Index, class Put>
void walk_packed(BITMAP *dest, Axes a, fixed cx, fixed cy, const unsigned char *texels, Index index,
                 Put put) {
    LayerSegments<Index, Put> s{a, cx, cy, dest->w / 2, texels, index, put, {}};
    for_each_segment(dest, s);
}

// Maps whose rows are not back to back (sub-bitmaps): through the row table.
template <class Put>
void walk_row_table(BITMAP *dest, BITMAP *map, int texel_shift, Axes a, fixed cx, fixed cy,
                    Put put) {
    const u32 u_mask = static_cast<u32>(map->w - 1), v_mask = static_cast<u32>(map->h - 1);
    const int shift = FIX_SHIFT + texel_shift;
    const int w = dest->w, rows = layer_rows(dest);
    for (int y = 0; y < rows; ++y) {
        RowWalk r = row_walk(a, cx, cy, y, w / 2);
        unsigned char *out = dest->line[y];
        for (int x = 0; x < w; ++x, r.u += r.du, r.v += r.dv)
            put(out[x], map->line[(r.v >> shift) & v_mask][(r.u >> shift) & u_mask]);
    }
}

template <class Put>
void walk_layer(BITMAP *dest, BITMAP *map, int texel_shift, fixed heading, fixed cx, fixed cy,
                Put put) {
    if (!layer_usable(dest, map))
        return;
    const Axes a = axes(heading);
    const unsigned char *texels = packed_texels(map);
    if (!texels)
        walk_row_table(dest, map, texel_shift, a, cx, cy, put);
    else if (is_stage_ground(map, texel_shift))
        walk_packed(dest, a, cx, cy, texels, GroundIndex{}, put);
    else if (sized(map, CLOUD_SIZE) && texel_shift == 0)
        walk_packed(dest, a, cx, cy, texels, CloudIndex{}, put);
    else
        walk_packed(dest, a, cx, cy, texels, AnyIndex(map, texel_shift), put);
}

// Ground and clouds side by side: each pixel is written once, already shaded.
struct ShadedGroundSegments {
    Axes ground_axes, cloud_axes;
    fixed gx, gy, cx, cy;
    int half_w;
    const unsigned char *ground, *clouds;
    const COLOR_MAP *shade;
    RowWalk ground_walks[BAND], cloud_walks[BAND];

    void start_band(int y0, int band) {
        for (int b = 0; b < band; ++b) {
            ground_walks[b] = row_walk(ground_axes, gx, gy, y0 + b, half_w);
            cloud_walks[b] = row_walk(cloud_axes, cx, cy, y0 + b, half_w);
        }
    }
    void operator()(int b, unsigned char *out, int n) {
        u32 gi[CHUNK], ci[CHUNK];
        chunk_indices(GroundIndex{}, ground_walks[b], gi, n);
        chunk_indices(CloudIndex{}, cloud_walks[b], ci, n);
        for (int i = 0; i < n; ++i)
            out[i] = shade->data[clouds[ci[i]]][ground[gi[i]]];
    }
};

} // namespace

void draw_ground_layer(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy,
                       int texel_shift) {
    walk_layer(dest, map, texel_shift, heading, cx, cy,
               [](unsigned char &p, unsigned char t) { p = t; });
}

void draw_cloud_layer(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy) {
    // The cloud texel is a light level: 255 leaves the ground as it is,
    // lower values darken it.
    const COLOR_MAP *shade = &g.shade_map;
    walk_layer(dest, map, 0, heading, cx, cy,
               [shade](unsigned char &p, unsigned char t) { p = shade->data[t][p]; });
}

void draw_ground_and_cloud_layers(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy,
                                  BITMAP *clouds, fixed cloud_heading, fixed cloud_x,
                                  fixed cloud_y, int texel_shift) {
    const bool fast = layer_usable(dest, map) && layer_usable(dest, clouds) &&
                      is_stage_ground(map, texel_shift) && sized(clouds, CLOUD_SIZE) &&
                      packed_texels(map) && packed_texels(clouds);
    if (!fast) {
        draw_ground_layer(dest, map, heading, cx, cy, texel_shift);
        draw_cloud_layer(dest, clouds, cloud_heading, cloud_x, cloud_y);
        return;
    }
    ShadedGroundSegments s{
        axes(heading),      axes(cloud_heading),   cx,           cy, cloud_x, cloud_y, dest->w / 2,
        packed_texels(map), packed_texels(clouds), &g.shade_map, {}, {}};
    for_each_segment(dest, s);
}

} // namespace qv
