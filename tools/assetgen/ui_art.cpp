// The panel textures: "40_x_tex.lmp" (the body of every menu panel) and
// "32_x_tex.lmp" (the cursor bar's fill and its moving glow).
#include "assetgen.h"
#include "palette.h"
#include "ui_util.h"

#include <cmath>

namespace assetgen {

namespace {

using namespace ui;

constexpr int SHEET_W = 320, SHEET_H = 200;

// ---- panel body: brushed dark metal in staggered plates ----
// The panel samples a 64x64 window that moves with the panel, so the whole
// sheet repeats every 64 pixels in both directions.
constexpr int BODY_TILE = 64;
constexpr int PLATE_SPLIT_Y = 32; // upper and lower plate rows
constexpr std::uint32_t BODY_SEED = 4040;

// Rivets sit just inside each plate's corners: (x, y) in the tile.
constexpr int RIVETS[][2] = {{3, 4}, {28, 4}, {3, 28}, {28, 28}, {36, 4}, {60, 4},
                             {19, 36}, {44, 36}, {19, 60}, {44, 60}};

// Faint etched traces, like a circuit on the plate: runs of (x0, y0, x1, y1)
// drawn as single-pixel lines; a pad marks where each one ends.
constexpr int TRACES[][4] = {{8, 12, 20, 12}, {20, 12, 20, 20}, {20, 20, 26, 20},
                             {40, 22, 54, 22}, {40, 22, 40, 16}, {52, 44, 52, 54},
                             {52, 54, 60, 54}, {6, 44, 14, 44},  {14, 44, 14, 50}};

bool plate_seam(int x, int y, int &shade) {
    // Engraved seam: a dark line with a light line below or right of it.
    const int vx = y < PLATE_SPLIT_Y ? 0 : BODY_TILE / 2 - 16;
    if (y == 0 || y == PLATE_SPLIT_Y) {
        shade = PANEL_DARK;
        return true;
    }
    if (y == 1 || y == PLATE_SPLIT_Y + 1) {
        shade = PANEL_DARK + 4;
        return true;
    }
    if (x == vx || x == vx + 32) {
        shade = PANEL_DARK;
        return true;
    }
    if (x == vx + 1 || x == vx + 33) {
        shade = PANEL_DARK + 3;
        return true;
    }
    return false;
}

int brushed(int x, int y) {
    // Long horizontal grain: noise stretched along x plus a per-row tone,
    // cut into three tones without dithering so the grain reads as streaks.
    const double grain = tile_noise(x, y * 8.0, BODY_TILE, 4, BODY_SEED);
    const double row = tile_noise(0, y, BODY_TILE, 16, BODY_SEED + 1);
    const double fine = tile_noise(x * 0.5, y * 16.0, BODY_TILE, 8, BODY_SEED + 2);
    const double v = 0.45 * grain + 0.35 * row + 0.2 * fine;
    return PANEL_DARK + 1 + (v > 0.5) + (v > 0.66);
}

void draw_body_tile(BITMAP *tile) {
    for (int y = 0; y < BODY_TILE; ++y)
        for (int x = 0; x < BODY_TILE; ++x) {
            int c = 0;
            if (!plate_seam(x, y, c)) c = brushed(x, y);
            putpixel(tile, x, y, c);
        }
    for (const auto &t : TRACES) {
        if (t[1] == t[3]) hline(tile, t[0], t[1], t[2], PANEL_DARK + 3);
        else vline(tile, t[0], t[1], t[3], PANEL_DARK + 3);
        putpixel(tile, t[2], t[3] + 1, PANEL_DARK);
    }
    for (const auto &t : TRACES) {
        // Pads at both ends: a lit pixel with a shadow under it.
        putpixel(tile, t[0], t[1], PANEL_DARK + 5);
        putpixel(tile, t[2], t[3], PANEL_DARK + 5);
    }
    for (const auto &r : RIVETS) {
        putpixel(tile, r[0], r[1], PANEL_DARK + 6);
        putpixel(tile, r[0] + 1, r[1], PANEL_DARK + 4);
        putpixel(tile, r[0], r[1] + 1, PANEL_DARK + 4);
        putpixel(tile, r[0] + 1, r[1] + 1, PANEL_DARK);
    }
}

// ---- cursor bar ----
constexpr int BAR_TILE = 32;
constexpr int STRIPE_PERIOD = 8; // divides the tile, so the stripes wrap
constexpr int BAR_STRIPES[STRIPE_PERIOD] = {CYAN + 2, CYAN + 3, CYAN + 4, CYAN + 4,
                                            CYAN + 3, CYAN + 2, CYAN + 1, CYAN + 1};

int bar_fill(int x, int y) {
    // Diagonal stripes across x + y: the game shifts the pattern along the
    // diagonal, which moves these stripes sideways.
    return BAR_STRIPES[(x + y) % STRIPE_PERIOD];
}

// Glow overlay: values are light levels of the glow colour map (lower is
// brighter). Where nothing should light up the level is 255, the map's
// identity row, rather than 0: Allegro's 8-bit draw_trans_sprite does not
// skip colour 0, and level 0 of the glow map is pure white.
constexpr int GLOW_NONE = 250; // levels this close to 255 are left at 255
constexpr int GLOW_IDENTITY = 255;
constexpr double SHEEN_CENTRE = 16.0;
constexpr double SHEEN_HALF_WIDTH = 7.0;
constexpr int SHEEN_STRENGTH = 70;
constexpr int GLASS_STRENGTH = 24;
constexpr int GLASS_ROWS = 4; // the bright upper edge of the glass

int bar_glow(int x, int y) {
    double dx = std::fabs(x + 0.5 - SHEEN_CENTRE);
    double band = 1.0 - dx / SHEEN_HALF_WIDTH;
    band = band > 0 ? band * band : 0;
    const int row = y % BAR_TILE;
    const double glass = row >= 1 && row <= GLASS_ROWS ? 1.0 - (row - 1) * 0.25 : 0.0;
    const int level = 255 - static_cast<int>(SHEEN_STRENGTH * band + GLASS_STRENGTH * glass);
    return level >= GLOW_NONE ? GLOW_IDENTITY : level;
}

} // namespace

BITMAP *make_tex40_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet(SHEET_W, SHEET_H);
    BITMAP *tile = new_sheet(BODY_TILE, BODY_TILE);
    draw_body_tile(tile);
    for (int y = 0; y < SHEET_H; y += BODY_TILE)
        for (int x = 0; x < SHEET_W; x += BODY_TILE) blit(tile, sheet, 0, 0, x, y, BODY_TILE, BODY_TILE);
    destroy_bitmap(tile);
    return sheet;
}

BITMAP *make_tex32_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet(SHEET_W, SHEET_H);
    for (int y = 0; y < BAR_TILE; ++y)
        for (int x = 0; x < BAR_TILE; ++x) {
            putpixel(sheet, x, y, bar_fill(x, y));
            putpixel(sheet, BAR_TILE + x, y, bar_glow(x, y));
        }
    return sheet;
}

} // namespace assetgen
