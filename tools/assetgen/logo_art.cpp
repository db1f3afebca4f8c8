// "logos.lmp": the game's name twice, in chrome and in molten gold. The
// title screen squashes one into the other, so both share one outline.
#include "assetgen.h"
#include "palette.h"
#include "ui_util.h"

#include <cmath>
#include <vector>

namespace assetgen {

namespace {

using namespace ui;

constexpr int LOGO_W = 298, LOGO_H = 37;
constexpr int LOGO_A_Y = 0, LOGO_B_Y = 42;
constexpr int LETTER_H = 32;  // cap height of the letters, rows 0..32
constexpr int LETTER_TOP = 1; // room for the outline above
constexpr int LETTER_GAP = 4;
constexpr int BEVEL = 3;

// Letters as polygons in their own box (x right, y down, 0..32 tall). A
// polygon with `hole` set cuts the counter out of the ones before it.
struct Poly {
    bool hole;
    std::vector<int> xy;
};
struct Letter {
    int width;
    std::vector<Poly> polys;
};

const Letter LETTER_Q = {36,
                         {{false, {7, 0, 25, 0, 32, 7, 32, 25, 25, 32, 7, 32, 0, 25, 0, 7}},
                          {true, {10, 7, 22, 7, 25, 10, 25, 22, 22, 25, 10, 25, 7, 22, 7, 10}},
                          {false, {16, 21, 24, 21, 36, 32, 27, 32}}}};
const Letter LETTER_U = {32,
                         {{false, {0, 0, 8, 0, 8, 21, 12, 25, 20, 25, 24, 21, 24, 0, 32, 0, 32, 25,
                                   25, 32, 7, 32, 0, 25}}}};
const Letter LETTER_A = {32,
                         {{false, {7, 0, 25, 0, 32, 7, 32, 32, 24, 32, 24, 20, 8, 20, 8, 32, 0, 32, 0, 7}},
                          {true, {10, 7, 22, 7, 24, 9, 24, 13, 8, 13, 8, 9}}}};
const Letter LETTER_R = {32,
                         {{false, {0, 0, 25, 0, 32, 7, 32, 13, 27, 17, 32, 22, 32, 32, 24, 32, 24,
                                   24, 20, 20, 8, 20, 8, 32, 0, 32}},
                          {true, {8, 7, 22, 7, 24, 9, 24, 11, 22, 13, 8, 13}}}};
const Letter LETTER_V = {32,
                         {{false, {0, 0, 8, 0, 8, 18, 16, 25, 24, 18, 24, 0, 32, 0, 32, 22, 22, 32,
                                   10, 32, 0, 22}}}};
const Letter LETTER_E = {28,
                         {{false, {6, 0, 28, 0, 28, 7, 8, 7, 8, 13, 22, 13, 22, 19, 8, 19, 8, 25,
                                   28, 25, 28, 32, 0, 32, 0, 6}}}};
const Letter LETTER_L = {27, {{false, {0, 0, 8, 0, 8, 25, 27, 25, 27, 32, 0, 32}}}};

const Letter *const WORD[] = {&LETTER_Q, &LETTER_U, &LETTER_A, &LETTER_R,
                              &LETTER_V, &LETTER_E, &LETTER_L, &LETTER_L};

// Rasterises the word into a mask of the logo's size, centred.
Mask word_mask() {
    int total = 0;
    for (const Letter *l : WORD) total += l->width + LETTER_GAP;
    total -= LETTER_GAP;
    BITMAP *tmp = create_bitmap_ex(8, LOGO_W, LOGO_H);
    clear_to_color(tmp, 0);
    int x = (LOGO_W - total) / 2 - 1;
    for (const Letter *l : WORD) {
        for (const Poly &p : l->polys) {
            std::vector<int> pts(p.xy);
            for (size_t i = 0; i < pts.size(); i += 2) {
                pts[i] += x;
                pts[i + 1] += LETTER_TOP;
            }
            polygon(tmp, static_cast<int>(pts.size() / 2), pts.data(), p.hole ? 0 : 1);
        }
        x += l->width + LETTER_GAP;
    }
    Mask m(LOGO_W, LOGO_H);
    for (int y = 0; y < LOGO_H; ++y)
        for (int px = 0; px < LOGO_W; ++px) m.set(px, y, getpixel(tmp, px, y) != 0);
    destroy_bitmap(tmp);
    return m;
}

struct Finish {
    int outline;   // the dark edge around every letter
    int shadow;    // the drop shadow under it
    int bevel_lo;  // bevel ramp, shaded to lit
    int bevel_n;
    int upper_lo;  // upper face ramp (dark to light), bright toward the horizon line
    int upper_n;
    int lower_lo;  // lower face ramp (dark to light), bright toward the bottom
    int lower_n;
    int horizon;   // the bright line between the two halves
};

// Chrome: the sky above the horizon line, warm ground below it.
const Finish CHROME = {T_CHROME_SKY, GREY,          T_CHROME_SKY,   T_CHROME_SKY_N,
                       T_CHROME_SKY, T_CHROME_SKY_N, T_CHROME_EARTH, T_CHROME_EARTH_N,
                       TITLE_STAR_FAST};
// Molten gold: pale gold above, fire below.
const Finish GOLDEN = {FIRE, GREY, GOLD, GOLD_N, GOLD, GOLD_N, FIRE, FIRE_N, FIRE + FIRE_N - 1};

void draw_logo(BITMAP *sheet, int y0, const Mask &m, const std::vector<int> &dist, const Finish &f) {
    const double horizon = LETTER_TOP + LETTER_H * 0.52;
    // Drop shadow first, one pixel right and two down, then outline and face.
    for (int y = 0; y < LOGO_H; ++y)
        for (int x = 0; x < LOGO_W; ++x)
            if (m.at(x - 1, y - 2) && !m.at(x, y)) putpixel(sheet, x, y0 + y, f.shadow);
    for (int y = 0; y < LOGO_H; ++y)
        for (int x = 0; x < LOGO_W; ++x) {
            if (outline_at(m, x, y)) {
                putpixel(sheet, x, y0 + y, f.outline);
                continue;
            }
            if (!m.at(x, y)) continue;
            const int d = dist[static_cast<size_t>(y * LOGO_W + x)];
            int c;
            if (d <= BEVEL) {
                const double l = -bevel_light(dist, LOGO_W, LOGO_H, x, y);
                c = dithered(f.bevel_lo, f.bevel_n, 0.5 + 0.5 * l, x, y);
            } else if (std::fabs(y + 0.5 - horizon) < 0.6) {
                c = f.horizon;
            } else if (y < horizon) {
                const double t = (y - LETTER_TOP) / (horizon - LETTER_TOP);
                c = dithered(f.upper_lo, f.upper_n, 0.95 - 0.55 * t, x, y);
            } else {
                const double t = (y - horizon) / (LETTER_TOP + LETTER_H - horizon);
                c = dithered(f.lower_lo, f.lower_n, 0.15 + 0.8 * t, x, y);
            }
            putpixel(sheet, x, y0 + y, c);
        }
}

// A four-pointed glint on the chrome.
void draw_glint(BITMAP *sheet, int x, int y) {
    constexpr int ARM = 4;
    for (int d = -ARM; d <= ARM; ++d) {
        const int c = std::abs(d) <= 1 ? TITLE_STAR_FAST : T_CHROME_SKY + 12;
        putpixel(sheet, x + d, y, c);
        putpixel(sheet, x, y + d, c);
    }
}

} // namespace

BITMAP *make_logos_sheet(PALETTE pal) {
    make_title_palette(pal);
    BITMAP *sheet = new_sheet(320, 200);
    const Mask m = word_mask();
    const std::vector<int> dist = inner_distance(m);
    draw_logo(sheet, LOGO_A_Y, m, dist, CHROME);
    draw_logo(sheet, LOGO_B_Y, m, dist, GOLDEN);
    draw_glint(sheet, 30, LOGO_A_Y + 5);
    return sheet;
}

} // namespace assetgen
