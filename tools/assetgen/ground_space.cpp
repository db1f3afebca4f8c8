// The three space grounds: a violet gas nebula, a swirling wormhole and the
// star-packed golden core of the galaxy.
#include "ground_common.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen::world {

namespace {

constexpr double PI = std::numbers::pi;
constexpr double CENTRE = GROUND / 2.0;

size_t idx(int x, int y) { return static_cast<size_t>(y) * GROUND + x; }

} // namespace

// Folded violet and magenta gas, twice domain-warped so it curls like smoke,
// with bright filaments and a scatter of stars shining through.
void paint_nebula(GroundPaint &g) {
    const TileFbm gas(GROUND, 3, 6, 0.55, 0xAEB);
    const TileFbm wa(GROUND, 2, 4, 0.5, 0x1E1);
    const TileFbm wb(GROUND, 2, 4, 0.5, 0x2E2);
    const TileFbm wc(GROUND, 3, 4, 0.5, 0x3E3);
    const TileFbm wd(GROUND, 3, 4, 0.5, 0x4E4);
    const TileFbm tint(GROUND, 2, 3, 0.5, 0x717);
    const TileFbm threads(GROUND, 10, 4, 0.5, 0x7E7);
    std::vector<float> stars(static_cast<size_t>(GROUND) * GROUND, 0.0f);
    draw_stars(stars, scatter_stars(1100, 1.5, 0x57A7));
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const double qx = wa.at(x, y) - 0.5;
            const double qy = wb.at(x, y) - 0.5;
            const double rx = wc.at(x + 160 * qx, y + 160 * qy) - 0.5;
            const double ry = wd.at(x + 160 * qx, y + 160 * qy) - 0.5;
            const double dens = gas.at(x + 180 * rx, y + 180 * ry);
            const double ridge = 1.0 - std::fabs(2 * threads.at(x + 120 * rx, y + 120 * ry) - 1);
            double lv = 0.1 + 1.1 * std::pow(smoothstep(0.28, 0.75, dens), 1.2);
            lv += 0.25 * std::pow(ridge, 5) * smoothstep(0.3, 0.6, dens);
            lv = std::max(lv, static_cast<double>(stars[idx(x, y)]) * 0.95);
            const double hue = 7 * clamp01((tint.at(x + 60 * rx, y + 60 * ry) - 0.3) / 0.4 + 0.25 * qx) +
                               0.9 * bayer4(x + 2, y);
            g.lv(x, y) = static_cast<float>(lv);
            g.rp(x, y) = static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(hue)), 0, 7));
        }
    }
}

// A tunnel of light: rings crowding toward a white throat, twisted into
// spiral arms near it, and rolling on outward in violet and blue to the
// edges, where plain rings join the next tile.
void paint_wormhole(GroundPaint &g) {
    const TileFbm dust(GROUND, 4, 5, 0.55, 0x4011);
    const TileFbm swirl(GROUND, 3, 3, 0.5, 0x5411);
    std::vector<float> stars(static_cast<size_t>(GROUND) * GROUND, 0.0f);
    draw_stars(stars, scatter_stars(700, 1.2, 0x4057));
    constexpr double RINGS = 9.0;    // ring count scale toward the throat
    constexpr double SPACING = 30.0; // texels between the outer rings
    constexpr int ARMS = 3;          // spiral arms (whole turns keep it seamless)
    constexpr double OUTER = 236.0;  // twisting fades out before the wrap
    // Colour zones by distance: throat, inner rings, outer rings; each
    // change is dithered over a narrow band only.
    constexpr double ZONES[2] = {46.0, 120.0};
    constexpr double ZONE_BLEND = 6.0;
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const double dx = wrap_delta(CENTRE, x + 0.5, GROUND);
            const double dy = wrap_delta(CENTRE, y + 0.5, GROUND);
            const double r = std::sqrt(dx * dx + dy * dy);
            const double theta = std::atan2(dy, dx);
            const double inner = 1.0 - smoothstep(120, OUTER, r);
            const double depth = RINGS * 60.0 / (r + 24.0) + r / SPACING;
            const double shift = 0.35 * swirl.at(x, y);
            // Plain rings outside, spiral rings inside; the spiral's phase
            // turns a whole number of times round the throat, so it joins.
            const double rings = std::cos(2 * PI * (depth + shift));
            const double spiral = std::cos(2 * PI * (depth + shift + ARMS * theta / (2 * PI) + 0.6 * std::log(r + 1.0)));
            const double ring = 0.5 + 0.5 * mix(rings, spiral, inner);
            const double arm = 0.5 + 0.5 * std::cos(ARMS * theta + 5.0 * std::log(r + 8.0));
            const double throat = std::exp(-r / 24.0);
            const double halo = std::exp(-r / 160.0);
            double lv = 0.1 + (0.24 + 0.4 * halo) * (0.2 + 0.8 * std::pow(ring, 2.5)) + 0.9 * throat;
            lv += 0.2 * inner * halo * std::pow(arm, 4);
            lv += 0.1 * smoothstep(0.5, 0.8, dust.at(x, y));
            lv = std::max(lv, static_cast<double>(stars[idx(x, y)]) * (1.0 - halo));
            double hue = 2;
            for (double z : ZONES) hue -= smoothstep(z - ZONE_BLEND, z + ZONE_BLEND, r);
            hue += 0.9 * bayer4(x, y + 1);
            g.lv(x, y) = static_cast<float>(lv);
            g.rp(x, y) = static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(hue)), 0, 2));
        }
    }
}

// The galaxy's heart: a golden glow crossed by dark dust lanes, and stars
// packed ever denser toward the centre, a few of them blue-white.
void paint_core(GroundPaint &g) {
    const TileFbm dust(GROUND, 3, 5, 0.55, 0xC0DE);
    const TileFbm haze(GROUND, 4, 4, 0.5, 0x4A2E);
    const TileFbm wa(GROUND, 2, 3, 0.5, 0xC1);
    const TileFbm wb(GROUND, 2, 3, 0.5, 0xC2);
    std::vector<float> gold(static_cast<size_t>(GROUND) * GROUND, 0.0f);
    std::vector<float> blue(static_cast<size_t>(GROUND) * GROUND, 0.0f);
    Rng pick(0xC0E);
    std::vector<Star> warm;
    std::vector<Star> cool;
    for (const Star &s : scatter_stars(7000, 1.5, 0xC057)) {
        const double r = ground_distance(s.x, s.y, CENTRE, CENTRE);
        // Keep stars with a chance that grows toward the centre.
        if (pick.uniform() > 0.18 + 0.82 * std::exp(-r / 150.0)) continue;
        (pick.uniform() < 0.12 ? cool : warm).push_back(s);
    }
    draw_stars(gold, warm);
    draw_stars(blue, cool);
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const double r = ground_distance(x + 0.5, y + 0.5, CENTRE, CENTRE);
            const double qx = (wa.at(x, y) - 0.5) * 120;
            const double qy = (wb.at(x, y) - 0.5) * 120;
            const double lanes = 1.0 - std::fabs(2 * dust.at(x + qx, y + qy) - 1);
            const double dark = smoothstep(0.72, 0.92, lanes) * (0.4 + 0.5 * smoothstep(20, 90, r));
            const double glow = 0.85 * std::exp(-r / 50.0) + 0.4 * std::exp(-r / 190.0);
            double lv = 0.1 + glow + 0.22 * smoothstep(0.4, 0.8, haze.at(x + qx, y + qy));
            lv *= 1.0 - 0.75 * dark;
            const size_t i = idx(x, y);
            lv = std::max(lv, static_cast<double>(gold[i]) * (1.0 - 0.6 * dark));
            g.lv(x, y) = static_cast<float>(lv);
            g.rp(x, y) = 0;
            if (blue[i] > 0.25f && blue[i] > lv * 0.8) {
                g.rp(x, y) = 1;
                g.lv(x, y) = blue[i];
            }
        }
    }
}

} // namespace assetgen::world
