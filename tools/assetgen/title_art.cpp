// "title.lmp": the menu background. Deep space over the night side of a
// planet whose rim catches a rising sun. The upper left, where the main menu
// sits, and the middle band, where the logo flips, are kept dark and quiet.
#include "assetgen.h"
#include "palette.h"
#include "ui_util.h"

#include <cmath>

namespace assetgen {

namespace ui {

void make_title_palette(PALETTE pal) {
    make_master_palette(pal);
    auto set = [&](int i, int r, int g, int b) {
        pal[i] = RGB{static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                     static_cast<unsigned char>(b), 0};
    };
    set(T_SPACE, 0, 0, 2);
    ramp(pal, T_FAINT_STAR, 3, RGB{12, 13, 20, 0}, RGB{24, 26, 36, 0});
    set(TITLE_STAR_SLOW, 34, 38, 48); // the game's slow stars
    ramp(pal, T_WARM_STAR, 3, RGB{30, 24, 16, 0}, RGB{54, 46, 32, 0});
    set(TITLE_STAR_FAST, 63, 63, 63); // the game's fast stars
    ramp(pal, T_HALO, 3, RGB{20, 26, 44, 0}, RGB{44, 50, 63, 0});
    ramp(pal, T_SKY, T_SKY_N, RGB{0, 0, 3, 0}, RGB{6, 12, 30, 0});
    ramp(pal, T_NEBULA, 8, RGB{4, 1, 9, 0}, RGB{26, 6, 34, 0});
    ramp(pal, T_NEBULA + 8, 8, RGB{30, 8, 38, 0}, RGB{56, 24, 50, 0});
    ramp(pal, T_NEBULA + 16, 4, RGB{60, 34, 54, 0}, RGB{63, 56, 62, 0});
    ramp(pal, T_PLANET, 12, RGB{1, 1, 4, 0}, RGB{7, 11, 20, 0});
    ramp(pal, T_PLANET + 12, 12, RGB{9, 14, 24, 0}, RGB{34, 42, 46, 0});
    ramp(pal, T_AIR, 8, RGB{2, 5, 18, 0}, RGB{10, 28, 56, 0});
    ramp(pal, T_AIR + 8, 8, RGB{14, 36, 62, 0}, RGB{56, 62, 63, 0});
    ramp(pal, T_SUN, T_SUN_N, RGB{44, 22, 6, 0}, RGB{63, 63, 54, 0});
    ramp(pal, T_CHROME_SKY, T_CHROME_SKY_N, RGB{4, 6, 20, 0}, RGB{60, 63, 63, 0});
    ramp(pal, T_CHROME_EARTH, 8, RGB{6, 3, 2, 0}, RGB{36, 18, 8, 0});
    ramp(pal, T_CHROME_EARTH + 8, 8, RGB{44, 24, 10, 0}, RGB{63, 56, 36, 0});
}

} // namespace ui

namespace {

using namespace ui;

constexpr int W = 320, H = 200;
constexpr std::uint32_t TITLE_SEED = 7200;

// The planet: a huge circle whose top edge crosses the lower screen.
constexpr double PLANET_CX = 150.0, PLANET_CY = 560.0, PLANET_R = 420.0;
// The sun rises just over the rim, right of centre.
constexpr double SUN_X = 236.0;
// Light comes from beyond the rim at the sun: this is its direction.
constexpr double LIGHT_X = 0.45, LIGHT_Y = -0.89;

// Quiet areas: the main menu column and the logo band.
bool in_menu_column(int x, int y) { return x >= 2 && x <= 114 && y >= 4 && y <= 84; }

double planet_edge_y(double x) {
    const double dx = x - PLANET_CX;
    return PLANET_CY - std::sqrt(PLANET_R * PLANET_R - dx * dx);
}

double sun_y() { return planet_edge_y(SUN_X) - 1.0; }

// Sky: black at the top, deepening blue toward the horizon, plus the
// nebula up on the right.
int sky_colour(int x, int y) {
    const double horizon = planet_edge_y(x);
    const double t = std::pow(std::fmax(0.0, y / horizon), 2.2) * 0.85;
    // Nebula: clouds of fbm, strongest toward the upper right, fading out
    // before the menu column and the logo band.
    const double nx = (x - 250.0) / 120.0, ny = (y - 38.0) / 70.0;
    double weight = std::exp(-(nx * nx + ny * ny) * 1.4);
    const double band = std::fabs(y - 101.0) / 24.0;
    if (band < 1.0) weight *= 0.35 + 0.65 * band;
    if (in_menu_column(x, y)) weight *= 0.15;
    const double n = tile_fbm(x, y, 256, 4, TITLE_SEED);
    const double wisp = tile_fbm(x * 1.7 + 40, y * 2.4, 256, 8, TITLE_SEED + 3);
    const double d = weight * (std::pow(n, 2.2) * 2.2 + 0.5 * wisp * wisp) - 0.22;
    // The cloud thins out through the sky's own blues before it ends, so it
    // has no hard rim.
    if (d > 0.10) return dithered(T_NEBULA, T_NEBULA_N, (d - 0.10) * 1.4 + 0.05, x, y);
    return dithered(T_SKY, T_SKY_N, t + std::fmax(0.0, d + 0.12) * 1.6, x, y);
}

int planet_colour(int x, int y) {
    const double dx = x - PLANET_CX, dy = y - PLANET_CY;
    const double r = std::sqrt(dx * dx + dy * dy);
    const double depth = (PLANET_R - r); // pixels inside the rim
    // Latitude bands and cloud swirls, squeezed toward the rim as on a
    // sphere seen edge-on.
    const double squash = 1.0 + depth * 0.35;
    const double lat = depth * 6.0 / squash;
    const double swirl = tile_fbm(x * 0.8, lat * 3.0, 256, 8, TITLE_SEED + 9);
    const double bands = 0.5 + 0.5 * std::sin(lat * 0.9 + swirl * 5.0);
    // Light: only a thin lit crescent near the rim, brightest under the sun.
    const double facing = (dx / r) * LIGHT_X + (dy / r) * LIGHT_Y;
    const double rim = std::exp(-depth / 7.0);
    const double sun = std::exp(-std::pow((x - SUN_X) / 70.0, 2.0));
    const double lit = std::fmax(0.0, facing) * rim * (0.45 + 0.9 * sun);
    const double t = 0.08 + 0.18 * bands * (0.3 + 0.7 * rim) + 0.9 * lit + 0.05 * swirl;
    return dithered(T_PLANET, T_PLANET_N, t, x, y);
}

// Atmosphere: a glow hugging the rim, thickest and whitest by the sun.
double air_glow(int x, int y) {
    const double dx = x - PLANET_CX, dy = y - PLANET_CY;
    const double out = std::sqrt(dx * dx + dy * dy) - PLANET_R;
    const double sun = std::exp(-std::pow((x - SUN_X) / 80.0, 2.0));
    const double thick = 2.0 + 5.0 * sun;
    if (out < -2.0) return 0.0;
    const double g = out < 0 ? 1.0 + out * 0.35 : std::exp(-out / thick);
    return g * (0.35 + 0.65 * sun);
}

void draw_scene(BITMAP *bmp) {
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool ground = y >= planet_edge_y(x);
            int c = ground ? planet_colour(x, y) : sky_colour(x, y);
            const double g = air_glow(x, y);
            if (g > 0.08) c = dithered(T_AIR, T_AIR_N, g, x, y);
            putpixel(bmp, x, y, c);
        }
}

void draw_sun(BITMAP *bmp) {
    const double sy = sun_y();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double dx = x - SUN_X, dy = y - sy;
            if (y > planet_edge_y(x) + 1.0) continue;
            const double core = std::exp(-(dx * dx + dy * dy) / 18.0);
            const double streak = std::exp(-dy * dy / 0.8) * std::exp(-std::fabs(dx) / 16.0);
            const double rays = std::exp(-dx * dx / 0.8) * std::exp(-std::fabs(dy) / 5.0);
            const double v = core * 1.3 + streak * 1.1 + rays * 0.6;
            if (v > 0.3) putpixel(bmp, x, y, dithered(T_SUN, T_SUN_N, (v - 0.3) * 1.3, x, y));
        }
}

// Painted stars, fixed in the picture; the game's moving stars pass over
// them in colours 132 and 136.
constexpr int FAINT_STARS = 230;
constexpr int BRIGHT_STARS = 9;

void draw_stars(BITMAP *bmp) {
    Rng rng(TITLE_SEED + 21);
    for (int i = 0; i < FAINT_STARS; ++i) {
        const int x = rng.below(W), y = rng.below(H);
        const int kind = rng.below(10);
        if (y >= planet_edge_y(x) - 2) continue;
        if (in_menu_column(x, y) && kind < 6) continue;
        const int c = kind < 7 ? T_FAINT_STAR + rng.below(3) : T_WARM_STAR + rng.below(3);
        putpixel(bmp, x, y, c);
    }
    for (int i = 0; i < BRIGHT_STARS; ++i) {
        const int x = 10 + rng.below(W - 20), y = 6 + rng.below(120);
        if (in_menu_column(x, y) || std::abs(y - 101) < 22) continue;
        putpixel(bmp, x, y, TITLE_STAR_FAST);
        for (int d = 1; d <= 2; ++d) {
            const int c = d == 1 ? T_HALO + 2 : T_HALO;
            putpixel(bmp, x - d, y, c);
            putpixel(bmp, x + d, y, c);
            putpixel(bmp, x, y - d, c);
            putpixel(bmp, x, y + d, c);
        }
    }
}

// A small moon in the nebula, lit from the same sun.
constexpr double MOON_X = 282.0, MOON_Y = 30.0, MOON_R = 11.0;

void draw_moon(BITMAP *bmp) {
    for (int y = static_cast<int>(MOON_Y - MOON_R) - 1; y <= MOON_Y + MOON_R + 1; ++y)
        for (int x = static_cast<int>(MOON_X - MOON_R) - 1; x <= MOON_X + MOON_R + 1; ++x) {
            const double dx = (x + 0.5 - MOON_X) / MOON_R, dy = (y + 0.5 - MOON_Y) / MOON_R;
            const double rr = dx * dx + dy * dy;
            if (rr >= 1.0) continue;
            const double dz = std::sqrt(1.0 - rr);
            const double l = dx * 0.55 + dy * 0.35 + dz * 0.76;
            const double crater = tile_fbm(x * 3.0, y * 3.0, 256, 8, TITLE_SEED + 33);
            const double t = std::fmax(0.0, l) * (0.75 + 0.35 * crater);
            putpixel(bmp, x, y, dithered(T_PLANET, T_PLANET_N, 0.05 + t * 0.85, x, y));
        }
}

} // namespace

BITMAP *make_title_sheet(PALETTE pal) {
    make_title_palette(pal);
    BITMAP *bmp = new_sheet(W, H);
    draw_scene(bmp);
    draw_stars(bmp);
    draw_moon(bmp);
    draw_sun(bmp);
    return bmp;
}

} // namespace assetgen
