// "hud.lmp": the flight instruments and the menu panels' small metal parts.
// Its palette is the master palette, which the game copies into every
// stage's palette.
#include "assetgen.h"
#include "palette.h"
#include "ui_util.h"

#include <cmath>

namespace assetgen {

namespace {

using namespace ui;

// ---- places on the sheet ----
constexpr int GAUGE_X = 0, GAUGE_Y = 0, GAUGE_W = 19, GAUGE_H = 58;
constexpr int BOMB_X = 0, BOMB_Y = 58;
constexpr int EMPTY_ARMOUR_X = 0, EMPTY_HEAT_X = 6, EMPTY_Y = 68;
constexpr int TUBE_W = 4, TUBE_H = 52;
constexpr int BEZEL_X = 19, BEZEL_Y = 0, BEZEL_SIZE = 51;
constexpr int TRIM_TOP_X = 0, TRIM_TOP_Y = 123;
constexpr int TRIM_BOTTOM_X = 0, TRIM_BOTTOM_Y = 127;
constexpr int TRIM_LEFT_X = 12, TRIM_LEFT_Y = 123;
constexpr int TRIM_RIGHT_X = 19, TRIM_RIGHT_Y = 123;
constexpr int TOGGLE_ON_X = 26, TOGGLE_OFF_X = 40, TOGGLE_Y = 123;
constexpr int TOGGLE_W = 13, TOGGLE_H = 11;
constexpr int RATING_X = 54, RATING_Y = 123, RATING_W = 54, RATING_H = 10;
constexpr int TAB_END_X = 0, TAB_END_Y = 131;

// ---- the gauge frame ----
// The game fills the armour tube (left) and the heat tube (right) with
// rectangles that step across each other: armour is wide at the top and
// narrow below, heat the other way round. Frame-relative tube columns:
constexpr int ARMOUR_LEFT = 3, HEAT_RIGHT = 15, TUBE_TOP = 3, TUBE_BOTTOM = 54;

bool in_armour_tube(int x, int y) {
    if (y < TUBE_TOP || y > TUBE_BOTTOM || x < ARMOUR_LEFT) return false;
    if (y <= 23) return x <= 6;
    if (y == 24) return x <= 5;
    return x <= 4;
}

bool in_heat_tube(int x, int y) {
    if (y < TUBE_TOP || y > TUBE_BOTTOM || x > HEAT_RIGHT) return false;
    if (y <= 32) return x >= 14;
    if (y == 33) return x >= 13;
    return x >= 12;
}

bool in_tube(int x, int y) { return in_armour_tube(x, y) || in_heat_tube(x, y); }

// Frame metal: a bevelled plate with cut corners, the tubes sunk into it.
int frame_colour(int x, int y) {
    const int w = GAUGE_W, h = GAUGE_H;
    const int cut = 2;
    const int cx = x < cut ? cut - x : (x >= w - cut ? x - (w - cut - 1) : 0);
    const int cy = y < cut ? cut - y : (y >= h - cut ? y - (h - cut - 1) : 0);
    if (cx + cy > cut) return 0;
    if (x == 0 || y == 0 || x == w - 1 || y == h - 1 || cx + cy == cut) return PANEL_DARK;
    // Dark rim around the glass: the pixels touching a tube.
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (in_tube(x + dx, y + dy)) {
                // The rim catches light on its lower right, like a sunk well.
                return (dx < 0 || dy < 0) ? PANEL_DARK + 6 : PANEL_DARK;
            }
    if (x == 1 || y == 1) return PANEL_DARK + 6;
    if (x == w - 2 || y == h - 2) return PANEL_DARK + 1;
    // Scale marks on the divider, every quarter of the tube.
    if ((y - TUBE_TOP) % 13 == 0 && y > TUBE_TOP && y < TUBE_BOTTOM && x >= 8 && x <= 10)
        return PANEL_LIGHT;
    return ((x + y) & 1) ? PANEL_DARK + 3 : PANEL_DARK + 4;
}

// Dark glass of an empty tube, with a faint reflection on its left and the
// quarter marks showing through.
int glass_colour(bool heat, int x, int y) {
    const int left = heat ? 12 : ARMOUR_LEFT;
    const int base = heat ? FIRE : ARMOUR + 7;
    const int lit = heat ? FIRE + 1 : ARMOUR + 6;
    if ((y - TUBE_TOP) % 13 == 0 && y > TUBE_TOP) return lit;
    return (x == left || (heat && y <= 32 && x == 14)) ? lit : base;
}

void draw_gauge(BITMAP *sheet) {
    for (int y = 0; y < GAUGE_H; ++y)
        for (int x = 0; x < GAUGE_W; ++x)
            if (!in_tube(x, y)) putpixel(sheet, GAUGE_X + x, GAUGE_Y + y, frame_colour(x, y));
    // The empty tubes are the frame as it looks with dark glass in the
    // tube: copied over the tube from the top, they cover the unfilled part.
    const int lefts[2] = {6 - 3, 15 - 3};
    const int dest[2] = {EMPTY_ARMOUR_X, EMPTY_HEAT_X};
    for (int t = 0; t < 2; ++t)
        for (int y = 0; y < TUBE_H; ++y)
            for (int x = 0; x < TUBE_W; ++x) {
                const int fx = lefts[t] + x, fy = TUBE_TOP + y;
                const int c = in_tube(fx, fy) ? glass_colour(t == 1, fx, fy) : frame_colour(fx, fy);
                putpixel(sheet, dest[t] + x, EMPTY_Y + y, c);
            }
}

// ---- bomb icon ----
const char *const BOMB_ROWS[] = {".ffff.", "..ff..", ".hssd.", "hsssdd", "hssddd", ".sddd.", "..nn.."};
const Ink BOMB_INK[] = {{'f', PANEL_DARK + 5}, {'h', STEEL + 14}, {'s', STEEL + 10},
                        {'d', STEEL + 6},      {'n', FIRE + 9}};

// ---- radar bezel ----
constexpr double BEZEL_CX = 24.5, BEZEL_CY = 25.5; // pixel centres: (24, 25)
constexpr double BEZEL_INNER = 23.0, BEZEL_OUTER = 26.0;

void draw_bezel(BITMAP *sheet) {
    constexpr double PI = 3.14159265358979323846;
    for (int y = 0; y < BEZEL_SIZE; ++y)
        for (int x = 0; x < BEZEL_SIZE; ++x) {
            const double dx = x + 0.5 - BEZEL_CX, dy = y + 0.5 - BEZEL_CY;
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r < BEZEL_INNER || r >= BEZEL_OUTER) continue;
            // Light from the upper left: bright there, dark lower right; the
            // inner lip is lit the other way, like a raised ring.
            const double facing = -(dx * 0.6 + dy * 0.8) / r;
            const bool lip = r < BEZEL_INNER + 1.0;
            double t = lip ? 0.35 - 0.3 * facing : 0.55 + 0.4 * facing;
            if (r >= BEZEL_OUTER - 1.0) t -= 0.25;
            int c = dithered(PANEL_DARK, 8, t, x, y);
            // Compass marks every 45 degrees; the one straight ahead is lit.
            const double a = std::atan2(dy, dx) * 180.0 / PI + 90.0;
            const double m = std::fmod(a + 720.0 + 22.5, 45.0) - 22.5;
            if (!lip && std::fabs(m) * r * PI / 180.0 < 0.8) {
                const bool ahead = std::fabs(std::fmod(a + 720.0, 360.0)) < 5.0 ||
                                   std::fabs(std::fmod(a + 720.0, 360.0) - 360.0) < 5.0;
                c = ahead ? ACCENT_B : PANEL_LIGHT;
            }
            putpixel(sheet, BEZEL_X + x, BEZEL_Y + y, c);
        }
}

// ---- panel trim ----
const Ink TRIM_INK[] = {{'d', PANEL_DARK}, {'m', PANEL_DARK + 3}, {'l', PANEL_DARK + 6},
                        {'t', TAB_FILL},   {'e', TAB_LINE},       {'c', CYAN + 11},
                        {'C', ACCENT_B},   {'g', GOLD + 9},       {'G', GOLD + 14},
                        {'k', CYAN + 4}};

// Light strips set into the top and bottom frame edges.
const char *const TRIM_TOP_ROWS[] = {".ddddddd.", "dkcCCCckd", ".ddddddd."};
const char *const TRIM_BOTTOM_ROWS[] = {".ddddddd.", "dggGGGggd", ".ddddddd."};

// The tab's strip bends down the right edge...
const char *const TRIM_RIGHT_ROWS[] = {
    "tttte.", "tttte.", "tltte.", "tttte.", "tttte.", "dmmmd.", "dCkmd.", "dmmmd.", "tttte.",
    "tttte.", "dmmmd.", "dckmd.", "dmmmd.", "tttte.", "tttte.", "dmmmd.", "dkkmd.", "dmmmd.",
    "tttte.", "tttte.", "tttte.", "ttte..", "ttte..", "tte...", "tte...", "te....", "e.....",
};
// ...and a matching strip climbs the lower left edge into the bottom frame.
const char *const TRIM_LEFT_ROWS[] = {
    ".....e", "....et", "....et", "...ett", "...ett", "..ettt", "..ettt", ".etttt",
    ".etdmd", ".etdCd", ".etdmd", ".etttt", ".etttt", ".etttt", "ettttt", "ettttt",
};

// The tab's rounded right end.
const char *const TAB_END_ROWS[] = {"eee..", "ttte.", "tttte", "tttte", "tttte"};

// ---- toggle switch ----
void draw_toggle(BITMAP *sheet, int x0, int y0, bool on) {
    // A capsule track with a round knob: lit green and knob right when on,
    // dark and knob left when off.
    const double ax = 4.5, bx = 8.5, cy = 5.5, track_r = 5.5, knob_r = 3.6;
    const double kx = on ? bx : ax;
    for (int y = 0; y < TOGGLE_H; ++y)
        for (int x = 0; x < TOGGLE_W; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double sx = px < ax ? ax : (px > bx ? bx : px);
            const double d = std::hypot(px - sx, py - cy);
            if (d >= track_r) continue;
            int c;
            const double kd = std::hypot(px - kx, py - cy);
            if (kd < knob_r) {
                const double l = -((px - kx) * 0.6 + (py - cy) * 0.8) / knob_r;
                c = kd > knob_r - 1.0 ? PANEL_DARK : dithered(GREY + 6, 9, 0.55 + 0.45 * l, x, y);
            } else if (d > track_r - 1.0) {
                c = py < cy ? PANEL_DARK + 2 : PANEL_DARK + 6;
            } else if (on) {
                c = py < cy - 1.5 ? ARMOUR + 1 : (py > cy + 1.5 ? ARMOUR + 4 : ACCENT_A);
            } else {
                c = py < cy ? GREY + 1 : GREY + 2;
            }
            putpixel(sheet, x0 + x, y0 + y, c);
        }
}

// ---- rating bar: an empty groove the game fills from x+3, rows +3..+6 ----
constexpr int GROOVE_FIRST = 3, GROOVE_LAST = 50, GROOVE_TOP = 3, GROOVE_BOTTOM = 6;
constexpr int GROOVE_TICK = 6;

void draw_rating_bar(BITMAP *sheet) {
    const int x0 = RATING_X, y0 = RATING_Y, w = RATING_W, h = RATING_H;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool corner = (x == 0 || x == w - 1) && (y == 0 || y == h - 1);
            if (corner) continue;
            int c;
            if (x >= GROOVE_FIRST && x <= GROOVE_LAST && y >= GROOVE_TOP && y <= GROOVE_BOTTOM) {
                c = (x - GROOVE_FIRST) % GROOVE_TICK == GROOVE_TICK - 1 ? GREY + 3 : GREY;
                if (y == GROOVE_TOP) c = GREY;
            } else if (x >= GROOVE_FIRST - 1 && x <= GROOVE_LAST + 1 && y >= GROOVE_TOP - 1 &&
                       y <= GROOVE_BOTTOM + 1) {
                c = (y == GROOVE_TOP - 1 || x == GROOVE_FIRST - 1) ? PANEL_DARK : PANEL_DARK + 6;
            } else if (x == 0 || y == 0 || x == w - 1 || y == h - 1) {
                c = PANEL_DARK;
            } else if (y == 8) {
                // Scale ticks under the groove.
                c = (x - GROOVE_FIRST) % (GROOVE_TICK * 2) == 0 ? PANEL_LIGHT : PANEL_DARK + 2;
            } else {
                c = (y == 1 || x == 1) ? PANEL_DARK + 6 : PANEL_DARK + 4;
            }
            putpixel(sheet, x0 + x, y0 + y, c);
        }
}

} // namespace

BITMAP *make_hud_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet(320, 200);
    draw_gauge(sheet);
    draw_rows(sheet, BOMB_X, BOMB_Y, BOMB_ROWS, 7, BOMB_INK, 5);
    draw_bezel(sheet);
    constexpr int INKS = static_cast<int>(sizeof TRIM_INK / sizeof TRIM_INK[0]);
    draw_rows(sheet, TRIM_TOP_X, TRIM_TOP_Y, TRIM_TOP_ROWS, 3, TRIM_INK, INKS);
    draw_rows(sheet, TRIM_BOTTOM_X, TRIM_BOTTOM_Y, TRIM_BOTTOM_ROWS, 3, TRIM_INK, INKS);
    draw_rows(sheet, TRIM_LEFT_X, TRIM_LEFT_Y, TRIM_LEFT_ROWS, 16, TRIM_INK, INKS);
    draw_rows(sheet, TRIM_RIGHT_X, TRIM_RIGHT_Y, TRIM_RIGHT_ROWS, 27, TRIM_INK, INKS);
    draw_rows(sheet, TAB_END_X, TAB_END_Y, TAB_END_ROWS, 5, TRIM_INK, INKS);
    draw_toggle(sheet, TOGGLE_ON_X, TOGGLE_Y, true);
    draw_toggle(sheet, TOGGLE_OFF_X, TOGGLE_Y, false);
    draw_rating_bar(sheet);
    return sheet;
}

} // namespace assetgen
