// The world on the ground: every object of the frame's snapshot projected
// into the view, drawn far to near, then the player's ship on top.
//
// Everything per slot comes from g.snap (copied under the sim lock at the
// start of the frame); the one exception is an enemy's damage sparks, which
// live in the entity table and are re-rolled here under the lock.
#include "render/objects.h"

#include "core/sim_lock.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <random>

namespace qv {

namespace {

using int64 = std::int64_t;

// Sheet cells.
constexpr int SMALL_CELL = 33; // ships_sheet and gunfire_sheet
constexpr int ENEMY_CELL = 56; // enemy_sheet
constexpr int SHADOW_W = 56;   // shadow_sheet cells, and the shadow's scratch
constexpr int SHADOW_H = 22;
// The stretched shadow stands on the scratch's last row but one.
constexpr int SHADOW_FOOT = 21;
// shade_map row 255 leaves the ground as it is: the shadow scratch's ground.
constexpr int SHADOW_CLEAR = 255;
// A shadow is 0.394 of the object's height.
constexpr int SHADOW_HEIGHT_PER_MILLE = 394;
constexpr int PER_MILLE = 1000;

constexpr int SMOKE_RADIUS = 7; // source pixels, scaled by distance

// Damage sparks: four 33x33 pictures side by side on the spark row of
// ships_sheet (the same pictures the hit sparks use).
constexpr int SPARK_SIZE = 33;
constexpr int SPARK_ROW_Y = 99;
constexpr int SPARK_PICTURES = 4;
constexpr int SPARK_RECORDS = 4;
// A spark's corner keeps this far from the sprite's right and bottom edges.
constexpr int SPARK_MARGIN = 10;
// Frames until the next re-roll: 3, 4 or 5.
constexpr int SPARK_DELAY_MIN = 3;
constexpr int SPARK_DELAY_SPREAD = 3;

// The player's ship, unscaled at a fixed screen place.
constexpr int SHIP_X = 140;
constexpr int SHIP_Y = 145;
constexpr int SHIP_W = 41;
constexpr int SHIP_H = 42;
constexpr int SHIP_SHADOW_Y = 184;
constexpr int FLAME_X = 152;
constexpr int FLAME_Y = 163;
constexpr int FLAME_W = 17;
constexpr int FLAME_H = 8;
constexpr int FLAME_SHEET_Y = 127;

// Objects nearer than one world pixel to the camera's plane (or behind it)
// are not drawn: they lie far below the bottom of the screen, and their
// scaled sizes would overflow. At depth 0 the divisions have no value.
constexpr fixed NEAR_DEPTH = 1 << 16;

constexpr int MAX_COLOUR = 255;

fixed saturate(int64 v) {
    return static_cast<fixed>(
        std::clamp<int64>(v, std::numeric_limits<fixed>::min(), std::numeric_limits<fixed>::max()));
}

// A slot's snapshot position as the camera sees it: `depth` ahead along the
// view, `side` across it (positive to the right).
struct ViewPoint {
    fixed depth, side;
};

struct ViewAxes {
    fixed c, s;
};

ViewAxes view_axes() {
    const fixed angle = wrap_angle(g.view_heading);
    return {fixcos(angle), fixsin(angle)};
}

ViewPoint view_point(int slot, ViewAxes a) {
    const fixed dx = wrapped_sub(g.snap.ent.x[slot], g.view_x);
    const fixed dy = wrapped_sub(g.snap.ent.y[slot], g.view_y);
    return {saturate(int64{fixmul(dx, a.c)} + fixmul(dy, a.s)),
            saturate(int64{fixmul(dy, a.c)} - fixmul(dx, a.s))};
}

bool in_view(ViewPoint p) {
    return p.depth >= NEAR_DEPTH;
}

int centre_column(ViewPoint p, const ViewParams &v, int half_w) {
    return fixtoi(fixmul(fixdiv(v.scale_x, p.depth), p.side)) + half_w;
}

int ground_row(ViewPoint p, const ViewParams &v) {
    return fixtoi(fixdiv(fixmul(v.camera_height, v.scale_y), p.depth)) - v.horizon_offset;
}

// round(scale / depth x n): a fixed value times a whole number.
int scaled(fixed scale, fixed depth, int n) {
    return fixtoi(saturate(int64{fixdiv(scale, depth)} * n));
}

// A rectangle of a sheet, cut down to the sheet as a sub-bitmap would be.
struct Region {
    BITMAP *bmp;
    int x, y, w, h;
};

bool clip_region(Region &r) {
    if (!r.bmp || r.x < 0 || r.y < 0)
        return false;
    r.w = std::min(r.w, r.bmp->w - r.x);
    r.h = std::min(r.h, r.bmp->h - r.y);
    return r.w > 0 && r.h > 0;
}

// Reused scratch bitmaps: every use clears the part it needs first.
BITMAP *shadow_scratch() {
    static BITMAP *scratch = nullptr;
    if (!scratch)
        scratch = create_bitmap(SHADOW_W, SHADOW_H);
    return scratch;
}

// A w x h drawing area for the sparks, cleared to 0 and clipped to w x h.
BITMAP *spark_scratch(int w, int h) {
    static BITMAP *scratch = nullptr;
    if (scratch && (scratch->w < w || scratch->h < h)) {
        destroy_bitmap(scratch);
        scratch = nullptr;
    }
    if (!scratch)
        scratch = create_bitmap(std::max(w, ENEMY_CELL), std::max(h, ENEMY_CELL));
    if (!scratch)
        return nullptr;
    set_clip_rect(scratch, 0, 0, w - 1, h - 1);
    rectfill(scratch, 0, 0, w - 1, h - 1, 0);
    return scratch;
}

// The object's ground shadow: its shadow picture squeezed to 0.394 of its
// height, darkening the ground through shade_map.
void draw_shadow(int slot, BITMAP *dest, int w, int h, int cx, int base) {
    BITMAP *scratch = shadow_scratch();
    if (!scratch)
        return;
    clear_to_color(scratch, SHADOW_CLEAR);
    const int sh = h * SHADOW_HEIGHT_PER_MILLE / PER_MILLE;
    Region cell{g.shadow_sheet, g.snap.ent.shadow_col[slot] * SHADOW_W,
                g.snap.ent.shadow_row[slot] * SHADOW_H, SHADOW_W, SHADOW_H};
    if (w <= 0 || sh <= 0 || !clip_region(cell))
        return;
    stretch_blit(cell.bmp, scratch, cell.x, cell.y, cell.w, cell.h, 0, SHADOW_FOOT - sh, w, sh);
    // Only the stretched shadow darkens anything (the rest of the scratch is
    // SHADOW_CLEAR, which leaves the ground as it is): a far object's shadow
    // is a few pixels, not the whole scratch.
    draw_mapped_part(dest, scratch, {0, SHADOW_FOOT - sh, w, sh}, cx - w / 2,
                     base - (SHADOW_W - h) / 2, g.shade_map);
}

void draw_region_sprite(int slot, BITMAP *dest, Region r) {
    const int w = g.proj_width[slot], h = g.proj_height[slot];
    const int cx = g.proj_x[slot], base = g.proj_base[slot];
    if (w <= 0 || h <= 0 || !clip_region(r))
        return;
    if (g.detail[DETAIL_SHIP_SHADOWS] && g.snap.ent.shadow_col[slot] != -1)
        draw_shadow(slot, dest, w, h, cx, base);
    masked_stretch_blit(r.bmp, dest, r.x, r.y, r.w, r.h, cx - w / 2, base - h, w, h);
}

void draw_cell(int slot, BITMAP *dest, BITMAP *sheet, int cell) {
    draw_region_sprite(
        slot, dest,
        {sheet, g.snap.ent.cell_col[slot] * cell, g.snap.ent.cell_row[slot] * cell, cell, cell});
}

void draw_disc(int slot, BITMAP *dest, const ViewParams &view, COLOR_MAP *map, int level,
               int size) {
    const ViewPoint p = view_point(slot, view_axes());
    if (!in_view(p))
        return;
    const int radius = scaled(view.sprite_scale_y, p.depth, size);
    if (radius <= 0)
        return;
    const int x = centre_column(p, view, dest->w / 2), y = ground_row(p, view);
    color_map = map;
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    circlefill(dest, x, y, radius, std::clamp(level, 0, MAX_COLOUR));
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
}

// The sparks draw from their own generator, not from rand(): the
// simulation draws from rand(), and whether (and how often) frames are drawn
// must never change how a game plays.
std::minstd_rand spark_random;

int spark_rand() { return static_cast<int>(spark_random() & 0x7FFF); }

// Counts the slot's spark timer down and re-rolls up to four sparks when it
// runs out (sim lock held: the ticks clear these fields).
void roll_sparks(int slot, int sw, int sh) {
    int16 &timer = g.ent.spark_timer[slot];
    timer = static_cast<int16>(timer - 1);
    if (timer > 0)
        return;
    const int n = spark_rand() % SPARK_RECORDS + 1;
    for (int i = 0; i < n; ++i) {
        Spark &sp = g.ent.sparks[slot][i];
        sp.frame = static_cast<int16>(spark_rand() % SPARK_PICTURES);
        sp.x = static_cast<int16>(spark_rand() % (sw - SPARK_MARGIN));
        sp.y = static_cast<int16>(spark_rand() % (sh - SPARK_MARGIN));
    }
    timer = static_cast<int16>(spark_rand() % SPARK_DELAY_SPREAD + SPARK_DELAY_MIN);
}

} // namespace

void seed_sparks(unsigned seed) { spark_random.seed(seed); }

void project_objects() {
    const ViewAxes a = view_axes();
    const ViewParams &v = g.view;
    const EntityTable &e = g.snap.ent;
    for (int slot = 1; slot < SLOT_COUNT; ++slot) {
        if (!e.active[slot])
            continue;
        const ViewPoint p = view_point(slot, a);
        // Objects behind the camera keep their (negative) row: it is their
        // place in the draw order, which decides how equal rows overlap.
        g.proj_base[slot] = ground_row(p, v);
        g.proj_x[slot] = centre_column(p, v, FRAME_W / 2);
        if (!in_view(p)) {
            g.proj_width[slot] = g.proj_height[slot] = 0;
            continue;
        }
        g.proj_height[slot] = scaled(v.sprite_scale_y, p.depth, e.sprite_h[slot]);
        g.proj_width[slot] = scaled(v.sprite_scale_x, p.depth, e.sprite_w[slot]);
    }
}

void build_draw_list() {
    int n = 0;
    for (int slot = 1; slot < SLOT_COUNT; ++slot)
        if (g.snap.ent.active[slot])
            g.draw_list[n++] = {g.proj_base[slot], slot};
    g.draw_count = n;
    std::fill(g.draw_list + n, std::end(g.draw_list), DrawEntry{-1, -1});
}

// Only the filled entries are sorted: padding the list with the free slots
// gave the sort hundreds of equal keys, and a quicksort over those went
// quadratic (some 140,000 comparisons) whenever one object lay far off or
// behind the camera. With the slot as the second key no two entries are
// equal, so the order is the same whatever the sort does inside.
int sort_draw_list() {
    int comparisons = 0;
    std::sort(g.draw_list, g.draw_list + g.draw_count,
              [&comparisons](const DrawEntry &a, const DrawEntry &b) {
                  ++comparisons;
                  return a.key != b.key ? a.key < b.key : a.slot < b.slot;
              });
    return comparisons;
}

void draw_objects() {
    BITMAP *dest = g.back_buffer;
    const EntityTable &e = g.snap.ent;
    for (int i = 0; i < g.draw_count; ++i) {
        const int slot = g.draw_list[i].slot;
        if (slot <= 0 || slot >= SLOT_COUNT || !e.active[slot])
            continue;
        switch (e.kind[slot]) {
        case KIND_SPARK:
            draw_cell(slot, dest, g.ships_sheet, SMALL_CELL);
            break;
        case KIND_PROJECTILE:
            draw_cell(slot, dest, g.gunfire_sheet, SMALL_CELL);
            break;
        case KIND_EXPLOSION:
            draw_glow_disc(slot, dest, g.view);
            break;
        case KIND_SMOKE:
            draw_shade_disc(slot, dest, g.view);
            break;
        case KIND_ENEMY:
            draw_cell(slot, dest, g.enemy_sheet, ENEMY_CELL);
            if (e.state[slot] == ENEMY_DYING)
                draw_damage_sparks(slot, dest);
            break;
        default:
            break;
        }
    }
}

// An explosion: the larger its glow level, the wider and fainter the flash.
void draw_glow_disc(int slot, BITMAP *dest, ViewParams view) {
    const int level = g.snap.ent.glow_level[slot];
    draw_disc(slot, dest, view, &g.glow_map, level, level);
}

// A smoke puff: a disc darkened to its shade level, fading as the level rises.
void draw_shade_disc(int slot, BITMAP *dest, ViewParams view) {
    draw_disc(slot, dest, view, &g.shade_map, g.snap.ent.shade_level[slot], SMOKE_RADIUS);
}

void draw_damage_sparks(int slot, BITMAP *dest) {
    const int sw = g.snap.ent.sprite_w[slot], sh = g.snap.ent.sprite_h[slot];
    // Spark corners are drawn from sprite_w - 10 and sprite_h - 10 places.
    if (sw <= SPARK_MARGIN || sh <= SPARK_MARGIN)
        return;
    Spark sparks[SPARK_RECORDS];
    {
        SimLock lock;
        roll_sparks(slot, sw, sh);
        std::copy(g.ent.sparks[slot], g.ent.sparks[slot] + SPARK_RECORDS, sparks);
    }
    const int w = g.proj_width[slot], h = g.proj_height[slot];
    if (w <= 0 || h <= 0 || !g.ships_sheet)
        return;
    BITMAP *scratch = spark_scratch(sw, sh);
    if (!scratch)
        return;
    for (const Spark &sp : sparks)
        if (sp.frame >= 0 && sp.frame < SPARK_PICTURES)
            blit(g.ships_sheet, scratch, sp.frame * SPARK_SIZE, SPARK_ROW_Y, sp.x, sp.y, SPARK_SIZE,
                 SPARK_SIZE);
    masked_stretch_blit(scratch, dest, 0, 0, sw, sh, g.proj_x[slot] - w / 2, g.proj_base[slot] - h,
                        w, h);
}

void draw_mapped_part(BITMAP *dest, BITMAP *sprite, const SpritePart &part, int x, int y,
                      const COLOR_MAP &map) {
    if (!dest || !sprite || !is_memory_bitmap(dest) || !is_memory_bitmap(sprite))
        return;
    const int px0 = std::max(part.x, 0), px1 = std::min(part.x + part.w, sprite->w);
    const int py0 = std::max(part.y, 0), py1 = std::min(part.y + part.h, sprite->h);
    // cr and cb are one past the clipping rectangle.
    const int x0 = std::max({x + px0, dest->cl, 0}), x1 = std::min({x + px1, dest->cr, dest->w});
    const int y0 = std::max({y + py0, dest->ct, 0}), y1 = std::min({y + py1, dest->cb, dest->h});
    for (int dy = y0; dy < y1; ++dy) {
        const unsigned char *src = sprite->line[dy - y];
        unsigned char *out = dest->line[dy];
        for (int dx = x0; dx < x1; ++dx) {
            const unsigned char t = src[dx - x], p = out[dx];
            out[dx] = t ? map.data[t][p] : p;
        }
    }
}

void draw_mapped_sprite(BITMAP *dest, BITMAP *sprite, int x, int y, const COLOR_MAP &map) {
    if (sprite)
        draw_mapped_part(dest, sprite, {0, 0, sprite->w, sprite->h}, x, y, map);
}

void draw_player_ship() {
    BITMAP *dest = g.back_buffer;
    if (!dest || !g.suits_sheet)
        return;
    const FrameSnapshot &s = g.snap;
    const int dy = s.player_screen_dy;
    if (g.detail[DETAIL_SHIP_SHADOWS])
        draw_mapped_sprite(dest, g.suit_shadow, SHIP_X, SHIP_SHADOW_Y + dy, g.shade_map);
    masked_blit(g.suits_sheet, dest, 0, s.ship_type * SHIP_H, SHIP_X, SHIP_Y + dy, SHIP_W, SHIP_H);
    masked_blit(g.suits_sheet, dest, s.booster_active * FLAME_W,
                FLAME_SHEET_Y + s.flame_frame * FLAME_H, FLAME_X, FLAME_Y + dy, FLAME_W, FLAME_H);
}

} // namespace qv
