// "stages.lmp": the six stage emblems and the two banners shown in flight
// (stage intro and stage complete). Only master colours: these are drawn
// over the stage's ground, whose palette owns 128..255.
#include "assetgen.h"
#include "palette.h"
#include "ui_util.h"

#include <cmath>

namespace assetgen {

namespace {

using namespace ui;

constexpr double PI = 3.14159265358979323846;

struct EmblemBox {
    int x, w, h;
};
// Row 0 of the sheet, in stage order.
constexpr EmblemBox EMBLEMS[] = {{4, 16, 30}, {24, 29, 29}, {54, 31, 28},
                                 {85, 32, 24}, {118, 42, 28}, {160, 33, 28}};
constexpr int INTRO_Y = 48, COMPLETE_Y = 90, BANNER_W = 207, BANNER_H = 35;
constexpr std::uint32_t STAGES_SEED = 6060;

// Each emblem is a function from a point in the unit box (u, v in -1..1,
// aspect kept by the caller) to a colour, or 0 outside the badge.
using EmblemFn = int (*)(double u, double v, int x, int y);

// Stage 1, Delian Mesas: a shield with flat-topped buttes against a sunset.
constexpr double MESA_HORIZON = 0.38;

bool in_butte(double u, double v, double left, double right, double top) {
    // Steep sides flaring out toward the foot.
    const double flare = (v - top) * 0.35;
    return v >= top && v <= MESA_HORIZON && u >= left - flare && u <= right + flare;
}

int emblem_mesas(double u, double v, int x, int y) {
    // Shield: straight sides, rounded top corners, a point at the bottom.
    const double half = v < 0.5 ? 1.0 : 1.0 - (v - 0.5) / 0.5;
    if (std::fabs(u) > half) return 0;
    if (v < -0.86 && (std::fabs(u) - 0.6) > 0 && std::hypot(std::fabs(u) - 0.6, v + 0.86) > 0.4) return 0;
    if (std::fabs(u) > half - 0.2 || v < -0.93) return GOLD + 10; // rim
    const bool big = in_butte(u, v, -0.72, 0.05, -0.18);
    const bool small = in_butte(u, v, 0.3, 0.62, 0.08);
    if (big || small) {
        const bool lit_edge = big ? !in_butte(u - 0.2, v, -0.72, 0.05, -0.18)
                                  : !in_butte(u - 0.2, v, 0.3, 0.62, 0.08);
        const bool cap = big ? v < -0.12 : v < 0.14;
        return cap ? FIRE + 6 : (lit_edge ? VIOLET + 6 : VIOLET + 2);
    }
    if (v > MESA_HORIZON) {
        const bool stripe = std::fmod((v - MESA_HORIZON) * 9.0 + u * 0.4 + 4.0, 1.0) < 0.25;
        return stripe ? FIRE + 1 : VIOLET + 1;
    }
    // A low sun sitting on the horizon.
    if (std::hypot(u - 0.2, (v - MESA_HORIZON) * 1.2) < 0.32) return FIRE + 14;
    // Sky: violet at the top through red to gold at the horizon.
    const double t = (v + 1.0) / (MESA_HORIZON + 1.0);
    if (t < 0.35) return dithered(VIOLET + 3, 5, t / 0.35, x, y);
    return dithered(FIRE + 3, 10, (t - 0.35) / 0.65, x, y);
}

// Stage 2, Alpha Aurora: curtains of green light over a frozen horizon.
int emblem_aurora(double u, double v, int x, int y) {
    const double r = std::hypot(u, v);
    if (r > 1.0) return 0;
    if (r > 0.84) return u + v < 0 ? STEEL + 12 : STEEL + 7; // bevelled ring
    if (v > 0.48) {
        if (v < 0.55) return CYAN + 12; // ice catching the light
        return dithered(CYAN + 2, 6, 1.0 - (v - 0.55) * 2.5 + 0.1 * u, x, y);
    }
    // Two wavy curtains, each bright along its lower hem and streaked.
    double a = 0;
    for (int k = 0; k < 2; ++k) {
        const double hem = 0.1 + 0.25 * k + 0.16 * std::sin(u * (3.5 + k) + 1.3 * k);
        const double above = hem - v;
        if (above > -0.05 && above < 0.75 - 0.2 * k) {
            const double fall = std::exp(-std::fmax(0.0, above) * (3.0 + k));
            const double streak = 0.55 + 0.45 * std::sin(u * 19.0 + k * 2.0 + std::sin(v * 3.0));
            a = std::fmax(a, fall * streak * (k == 0 ? 1.0 : 0.8));
        }
    }
    if (a > 0.22) return dithered(ARMOUR, 6, 1.0 - a, x, y); // ARMOUR runs bright to dark
    if (tile_noise(x * 7.0, y * 7.0, 256, 64, STAGES_SEED) > 0.93) return GREY + 12;
    return dithered(STEEL, 5, (v + 1.0) * 0.45, x, y);
}

// Stage 3, Charred Sands: a striped sun setting over dunes.
int emblem_desert(double u, double v, int x, int y) {
    const double r = std::hypot(u, v * 1.1);
    const bool dune = v > 0.25 + 0.12 * std::sin(u * 4.0 + 1.0);
    if (!dune && v > 0.0 && std::fabs(u) > 1.0) return 0;
    if (dune) {
        if (std::fabs(u) > 1.0 - std::fmax(0.0, v - 0.6) * 1.2 || v > 1.0) return 0;
        const double ridge = std::sin(u * 4.0 + 1.0 - v * 3.0);
        return ridge > 0.2 ? GOLD + 6 : GOLD + 3;
    }
    if (r > 1.0) return 0;
    // Bands cut out of the lower half of the sun, widening toward the dunes.
    if (v > -0.1) {
        const double band = std::fmod(v + 1.0, 0.22);
        if (band < 0.04 + (v + 0.1) * 0.15) return 0;
    }
    return dithered(FIRE + 4, 11, 1.0 - (v + 1.0) * 0.45, x, y);
}

// Stage 4, Phraxis Nebula: a glowing violet cloud scattered with stars.
int emblem_nebula(double u, double v, int x, int y) {
    const double r = std::hypot(u, v);
    const double edge = 0.78 + 0.22 * tile_noise(std::atan2(v, u) * 40.0 + 128.0, 3.0, 256, 16, STAGES_SEED + 4);
    if (r > edge) return 0;
    const double cloud = tile_fbm(x * 4.0, y * 4.0, 256, 8, STAGES_SEED + 5);
    const double t = (1.0 - r / edge) * 0.8 + cloud * 0.45;
    if (tile_noise(x * 9.0, y * 9.0, 256, 128, STAGES_SEED + 6) > 0.95) return GREY + 14;
    return dithered(VIOLET + 1, VIOLET_N - 1, t, x, y);
}

// Stage 5, The Wormhole: a tunnel of rings falling into darkness.
int emblem_wormhole(double u, double v, int x, int y) {
    const double r = std::hypot(u, v);
    if (r > 1.0) return 0;
    const double ring = std::fmod(std::pow(r, 0.55) * 7.0 + std::atan2(v, u) * 0.35 + 14.0, 1.0);
    if (r < 0.16) return GREY;
    const double glow = r;
    if (ring < 0.35) return dithered(CYAN, CYAN_N, glow, x, y);
    return dithered(VIOLET, 10, glow * 0.8, x, y);
}

// Stage 6, Galactic Core: a spiral galaxy with a blazing centre.
int emblem_core(double u, double v, int x, int y) {
    const double r = std::hypot(u, v);
    if (r > 1.0) return 0;
    const double a = std::atan2(v, u);
    const double arm = std::cos(2.0 * (a - std::log(r + 0.05) * 2.2));
    const double core = std::exp(-r * r * 14.0);
    const double t = core * 1.2 + std::fmax(0.0, arm) * (1.0 - r) * 0.8;
    if (t < 0.12) {
        if (tile_noise(x * 9.0, y * 9.0, 256, 128, STAGES_SEED + 7) > 0.94) return GREY + 11;
        return r > 0.95 ? 0 : STEEL + 1;
    }
    if (core > 0.5) return dithered(FIRE + 10, 6, core, x, y);
    return dithered(VIOLET + 3, 13, t, x, y);
}

constexpr EmblemFn EMBLEM_FNS[] = {emblem_mesas, emblem_aurora, emblem_desert,
                                   emblem_nebula, emblem_wormhole, emblem_core};

// Draws an emblem inside its box, leaving one pixel for a dark outline.
void draw_emblem(BITMAP *sheet, const EmblemBox &b, EmblemFn fn) {
    const int iw = b.w - 2, ih = b.h - 2;
    Mask m(b.w, b.h);
    for (int y = 0; y < ih; ++y)
        for (int x = 0; x < iw; ++x) {
            // u and v run -1..1 across the box, so each emblem fills its own shape.
            const double u = (x + 0.5 - iw / 2.0) / (iw / 2.0);
            const double v = (y + 0.5 - ih / 2.0) / (ih / 2.0);
            const int c = fn(u, v, b.x + x, y);
            if (c) {
                putpixel(sheet, b.x + 1 + x, 1 + y, c);
                m.set(1 + x, 1 + y);
            }
        }
    for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < b.w; ++x)
            if (outline_at(m, x, y)) putpixel(sheet, b.x + x, y, GREY);
}

// ---- banners ----
// A bevelled emblem pod on the left joined to a long glass bar whose right
// end is cut on a slant; under the bar runs a thin accent stripe.
constexpr int POD_R = 17, POD_CX = 27, POD_CY = 17;
constexpr int BAR_LEFT = 40, BAR_TOP = 1, BAR_BOTTOM = 20;
constexpr int STRIPE_TOP = 24, STRIPE_BOTTOM = 27;

bool in_pod(int x, int y) {
    // An octagon around the pod centre.
    const int dx = std::abs(x - POD_CX), dy = std::abs(y - POD_CY);
    return dx <= POD_R + 2 && dy <= POD_R && dx + dy <= POD_R + 9;
}
bool in_bar(int x, int y) {
    return y >= BAR_TOP && y <= BAR_BOTTOM && x >= BAR_LEFT && x <= BANNER_W - 2 - (y - BAR_TOP);
}
bool in_stripe(int x, int y) {
    return y >= STRIPE_TOP && y <= STRIPE_BOTTOM && x >= BAR_LEFT + 6 &&
           x <= BANNER_W - 40 - (y - STRIPE_TOP);
}

// The stage-complete pod carries a bevelled five-pointed star instead of an
// emblem: each arm has a lit and a shaded half.
constexpr double STAR_OUTER = 14.0, STAR_INNER = 5.0;

void draw_star(BITMAP *sheet, int y0) {
    int pts[20];
    for (int i = 0; i < 10; ++i) {
        const double a = -PI / 2 + i * PI / 5;
        const double r = (i % 2 == 0) ? STAR_OUTER : STAR_INNER;
        pts[2 * i] = static_cast<int>(std::lround(POD_CX + 0.5 + r * std::cos(a)));
        pts[2 * i + 1] = static_cast<int>(std::lround(POD_CY + 1.0 + r * std::sin(a)));
    }
    BITMAP *tmp = create_bitmap_ex(8, BANNER_W, BANNER_H);
    clear_to_color(tmp, 0);
    polygon(tmp, 10, pts, 1);
    Mask m(BANNER_W, BANNER_H);
    for (int y = 0; y < BANNER_H; ++y)
        for (int x = 0; x < BANNER_W; ++x) m.set(x, y, getpixel(tmp, x, y) != 0);
    destroy_bitmap(tmp);
    for (int y = 0; y < BANNER_H; ++y)
        for (int x = 0; x < BANNER_W; ++x) {
            if (outline_at(m, x, y)) {
                putpixel(sheet, x, y0 + y, GOLD);
                continue;
            }
            if (!m.at(x, y)) continue;
            const double dx = x + 0.5 - (POD_CX + 0.5), dy = y + 0.5 - (POD_CY + 1.0);
            const double a = std::atan2(dy, dx) + PI / 2;
            const double sector = PI / 5;
            const int half = static_cast<int>(std::floor((a + 4 * PI) / sector)) % 10;
            // Each half-arm's face is tilted toward the middle of its sector.
            const double face = -PI / 2 + (half + 0.5) * sector;
            const double light = -(std::cos(face) * 0.6 + std::sin(face) * 0.8);
            putpixel(sheet, x, y0 + y, GOLD + 9 + static_cast<int>(std::lround(light * 5.0)));
        }
}

void draw_banner(BITMAP *sheet, int y0, int accent_lo, int accent_n, bool star) {
    Mask m(BANNER_W, BANNER_H);
    for (int y = 0; y < BANNER_H; ++y)
        for (int x = 0; x < BANNER_W; ++x)
            if (in_pod(x, y) || in_bar(x, y) || in_stripe(x, y)) m.set(x, y);
    const std::vector<int> dist = inner_distance(m);
    for (int y = 0; y < BANNER_H; ++y)
        for (int x = 0; x < BANNER_W; ++x) {
            if (outline_at(m, x, y)) {
                putpixel(sheet, x, y0 + y, GREY);
                continue;
            }
            if (!m.at(x, y)) continue;
            const int d = dist[static_cast<size_t>(y * BANNER_W + x)];
            const double l = -bevel_light(dist, BANNER_W, BANNER_H, x, y);
            int c;
            if (in_stripe(x, y) && !in_pod(x, y)) {
                // Segmented light strip, brightest at its middle row.
                const bool gap = (x - BAR_LEFT) % 9 == 0;
                c = gap ? accent_lo : accent_lo + accent_n - 1 - std::abs(y - 25) * 3;
            } else if (d <= 2) {
                c = dithered(PANEL_DARK, 8, 0.5 + 0.5 * l, x, y);
            } else if (in_pod(x, y) && !in_bar(x, y)) {
                // A plain dished plate, so the emblem stands out on it.
                const double r = std::hypot(x - POD_CX, y - POD_CY) / POD_R;
                c = r < 0.8 ? PANEL_DARK + 1 : PANEL_DARK + 2;
            } else {
                // The glass where the text goes: dark and smooth, a little
                // lighter at its top edge.
                const double t = 0.35 - (y - BAR_TOP) * 0.02;
                c = d == 3 && y < 6 ? accent_lo + accent_n / 2 : dithered(STEEL, 4, t, x, y);
            }
            putpixel(sheet, x, y0 + y, c);
        }
    if (star) draw_star(sheet, y0);
}

} // namespace

BITMAP *make_stages_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet(320, 200);
    for (int i = 0; i < 6; ++i) draw_emblem(sheet, EMBLEMS[i], EMBLEM_FNS[i]);
    draw_banner(sheet, INTRO_Y, CYAN + 4, 10, false);
    draw_banner(sheet, COMPLETE_Y, GOLD + 4, 12, true);
    return sheet;
}

} // namespace assetgen
