// The three planet grounds: terraced mesas, aurora-lit tundra and a burnt
// desert with lava cracks. The flight camera magnifies the ground up to five
// screen pixels per texel, so each has detail at three sizes: the big
// landforms, things a few texels across (rocks, shrubs, craters, cracks),
// and a texel-sized grain that makes the ground rush by.
#include "ground_common.h"

#include <algorithm>
#include <cmath>

namespace assetgen::world {

namespace {

size_t idx(int x, int y) { return static_cast<size_t>(y) * GROUND + x; }

// How much each texel lies in the shadow of higher ground toward the light
// (upper left): 1 in full sun, 0 deep in shadow. The light climbs `rise`
// height units per texel of distance.
std::vector<float> cast_shadows(const HeightField &h, float rise, int reach) {
    std::vector<float> sun(static_cast<size_t>(GROUND) * GROUND, 1.0f);
    constexpr float DIAGONAL = 1.41421356f;
    constexpr float SOFTNESS = 40.0f; // height units over which the edge fades
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const float base = h.get(x, y);
            float s = 1;
            for (int k = 1; k <= reach; ++k) {
                const float over = h.get(x - k, y - k) - (base + rise * DIAGONAL * static_cast<float>(k));
                if (over > 0) s = std::min(s, std::max(0.0f, 1.0f - over * SOFTNESS));
            }
            sun[idx(x, y)] = s;
        }
    }
    return sun;
}

// Periodic domain warp: an offset field that itself repeats every 512.
struct Warp {
    TileFbm fx;
    TileFbm fy;
    double amount;
    Warp(int cells, double amount_, std::uint64_t seed)
        : fx(GROUND, cells, 3, 0.5, seed), fy(GROUND, cells, 3, 0.5, seed + 17), amount(amount_) {}
    double dx(double x, double y) const { return (fx.at(x, y) - 0.5) * amount; }
    double dy(double x, double y) const { return (fy.at(x, y) - 0.5) * amount; }
};

// Round lumps scattered one per cell: 0 outside, rising to 1 at the centre
// of a lump. `chance` of the cells carry one, of radius rmin..rmax texels.
double lumps(const TileCells &cells, double x, double y, double chance, double rmin, double rmax,
             std::uint32_t seed) {
    const CellSample c = cells.at(x, y);
    const double pick = texel_hash(c.id, 0, seed);
    if (pick > chance) return 0;
    const double r = rmin + (rmax - rmin) * texel_hash(c.id, 1, seed);
    const double t = c.f1 / r;
    return t < 1 ? std::sqrt(1 - t * t) : 0.0;
}

} // namespace

// Ochre mesas rising in terraces with scree aprons and banded cliff faces
// that cast short shadows; olive scrub and shrubs on the flat tops, boulders
// on the slopes, and pale sandy washes winding between.
void paint_mesas(GroundPaint &g) {
    const TileFbm land(GROUND, 4, 5, 0.5, 0xD311A5);
    const TileFbm growth(GROUND, 6, 4, 0.55, 0x6A055);
    const TileFbm washes(GROUND, 3, 4, 0.5, 0x3A5E);
    const TileFbm grain(GROUND, 64, 2, 0.5, 0x56A1);
    const TileCells boulders(GROUND, 48, 0xB01D);
    const TileCells shrubs(GROUND, 80, 0x5B5);
    const Warp warp(4, 50, 0x3A9);
    constexpr int TERRACES = 6;
    HeightField h;
    std::vector<float> flat(static_cast<size_t>(GROUND) * GROUND);
    std::vector<float> wash(static_cast<size_t>(GROUND) * GROUND);
    std::vector<float> green(static_cast<size_t>(GROUND) * GROUND);
    std::vector<std::uint8_t> tier(static_cast<size_t>(GROUND) * GROUND);
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const size_t i = idx(x, y);
            const double wx = x + warp.dx(x, y);
            const double wy = y + warp.dy(x, y);
            const double e = clamp01((land.at(wx, wy) - 0.3) / 0.42);
            const double t = e * TERRACES;
            const double k = std::min(std::floor(t), TERRACES - 1.0);
            const double f = t - k;
            // Each band: a flat top, a scree apron, then a steep cliff.
            const double riser = smoothstep(0.8, 0.97, f);
            const double apron = 0.25 * smoothstep(0.45, 0.8, f);
            const double w = 1.0 - smoothstep(0.0, 0.018, std::fabs(washes.at(x, y) - 0.5));
            wash[i] = static_cast<float>(k < 2 ? w : 0.0);
            flat[i] = static_cast<float>(1.0 - smoothstep(0.4, 0.55, f));
            tier[i] = static_cast<std::uint8_t>(k);
            const double gr = growth.at(x + 0.5 * warp.dx(x, y), y + 0.5 * warp.dy(x, y)) - 0.56 + 0.02 * k;
            const bool grows = flat[i] > 0.5f && wash[i] < 0.5f && gr > 0;
            green[i] = grows ? static_cast<float>(gr) : -1.0f;
            const double rock = 0.05 * lumps(boulders, x, y, f > 0.4 && f < 0.8 ? 0.8 : 0.12, 1.3, 3.2, 7);
            const double shrub = grows ? 0.03 * lumps(shrubs, x, y, 0.55, 1.0, 2.3, 19) : 0.0;
            h.at(x, y) = static_cast<float>((k + apron + riser * 0.75 + rock + shrub) / TERRACES - 0.01 * wash[i] +
                                            0.004 * grain.at(x, y));
        }
    }
    const std::vector<float> sun = cast_shadows(h, 0.02f, 14);
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const size_t i = idx(x, y);
            const double light = h.light(x, y, 70.0f);
            const double lit = 0.5 + 0.5 * sun[i];
            const double speck = 0.07 * (texel_hash(x, y, 11) - 0.5);
            const double height = h.get(x, y);
            // Alternate terraces are a shade apart; cliff faces are banded.
            const double tone = (tier[i] % 2 ? 0.05 : -0.02) + 0.12 * height;
            const double strata = 0.05 * std::sin(height * TERRACES * 6.2832 * 3.0) * (1.0 - flat[i]);
            double lv = (0.2 + 0.52 * light + tone + strata) * lit + speck + 0.18 * wash[i];
            if (green[i] >= 0) lv = (0.2 + 0.5 * light + 0.6 * green[i]) * lit + speck * 1.4;
            g.lv(x, y) = static_cast<float>(lv);
            g.rp(x, y) = green[i] >= 0 ? 1 : 0;
        }
    }
}

// Rolling icy tundra: wind-carved snow ridges, drifts, ice plates with a
// few dark cracks and a glitter of frost, under an aurora whose green light
// lies in curving bands across it.
void paint_aurora(GroundPaint &g) {
    const TileFbm land(GROUND, 4, 5, 0.5, 0xA0A0);
    const TileFbm snow(GROUND, 6, 4, 0.5, 0x5404);
    const TileFbm wind(GROUND, 3, 40, 3, 0.5, 0x3117D);
    const TileFbm sky(GROUND, 2, 3, 0.45, 0xA404A);
    const TileFbm breaks(GROUND, 8, 3, 0.5, 0xB4EA);
    const TileFbm grain(GROUND, 64, 2, 0.5, 0x61A1);
    const TileCells plates(GROUND, 9, 0x1CE);
    const Warp warp(3, 90, 0xA1);
    HeightField h;
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const double drift = smoothstep(0.5, 0.66, snow.at(x, y));
            const double ridges = std::pow(wind.at(x + warp.dx(x, y), y), 2.0) * drift;
            h.at(x, y) = static_cast<float>(land.at(x, y) + 0.03 * ridges + 0.002 * grain.at(x, y));
        }
    }
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const double light = h.light(x, y, 70.0f);
            const double drift = smoothstep(0.5, 0.66, snow.at(x, y));
            const CellSample c = plates.at(x + 0.3 * warp.dx(x, y), y + 0.3 * warp.dy(x, y));
            const double broken = smoothstep(0.45, 0.6, breaks.at(x, y));
            const double crack = (1.0 - smoothstep(0.5, 1.6, c.f2 - c.f1)) * broken * (1.0 - drift);
            double lv = 0.2 + 0.5 * light + 0.2 * drift - 0.3 * crack + 0.05 * (texel_hash(x, y, 23) - 0.5);
            if (texel_hash(x, y, 29) > 0.992) lv += 0.3; // frost glitter
            // The aurora: bright ribbons along three contours of a slow
            // field, over a broad glow.
            const double a = sky.at(x + warp.dx(x, y), y + warp.dy(x, y));
            const double r1 = std::exp(-std::pow((a - 0.45) / 0.03, 2));
            const double r2 = std::exp(-std::pow((a - 0.55) / 0.022, 2));
            const double r3 = std::exp(-std::pow((a - 0.64) / 0.018, 2));
            const double glow = std::clamp(0.5 * r1 + 0.75 * r2 + 0.9 * r3 + 0.45 * smoothstep(0.42, 0.66, a), 0.0, 1.0);
            lv += 0.16 * glow;
            const double hue = glow * 7 + 0.9 * bayer4(x + 1, y + 2);
            g.lv(x, y) = static_cast<float>(lv);
            g.rp(x, y) = static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(hue)), 0, 7));
        }
    }
}

// Burnt desert: black ash flats, dunes of grey ash marching one way,
// scorched craters, and fields of broken lava cracks whose heat reddens the
// ground beside them, with embers glowing here and there.
void paint_charred(GroundPaint &g) {
    const TileFbm land(GROUND, 3, 4, 0.5, 0xC4A2);
    const TileFbm ash(GROUND, 6, 4, 0.55, 0xA54);
    const TileFbm fields(GROUND, 3, 3, 0.5, 0x1A7A);
    const TileFbm dune_fields(GROUND, 3, 3, 0.5, 0xD07E);
    const TileFbm breaks(GROUND, 12, 3, 0.5, 0xB7EA);
    const TileFbm grain(GROUND, 48, 2, 0.5, 0x6A7);
    const TileCells cracks(GROUND, 10, 0xC7AC);
    const TileCells craters(GROUND, 9, 0xC7A7);
    const Warp warp(4, 60, 0xD0E);
    // Dune crests: whole numbers of waves across the ground in x and y.
    constexpr double WAVES_X = 13;
    constexpr double WAVES_Y = 19;
    HeightField h;
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const double phase = (WAVES_X * x + WAVES_Y * y) / GROUND + 2.0 * land.at(x, y) + 0.01 * warp.dx(x, y);
            const double s = phase - std::floor(phase);
            // Long windward slope, short steep lee face.
            const double profile = s < 0.78 ? smoothstep(0.0, 0.78, s) : 1.0 - smoothstep(0.78, 1.0, s);
            const double dunes = smoothstep(0.4, 0.62, dune_fields.at(x, y));
            // Craters: a raised rim round a sunken bowl.
            const CellSample c = craters.at(x, y);
            double crater = 0;
            if (texel_hash(c.id, 0, 41) < 0.45) {
                const double r = 5 + 9 * texel_hash(c.id, 1, 41);
                const double t = c.f1 / r;
                crater = t < 1 ? -0.6 * (1 - t * t) + 0.5 * std::exp(-std::pow((t - 1) / 0.18, 2))
                               : 0.5 * std::exp(-std::pow((t - 1) / 0.25, 2));
            }
            h.at(x, y) = static_cast<float>(0.5 * land.at(x, y) + 0.045 * profile * dunes + 0.03 * crater +
                                            0.002 * grain.at(x, y));
        }
    }
    for (int y = 0; y < GROUND; ++y) {
        for (int x = 0; x < GROUND; ++x) {
            const double light = h.light(x, y, 110.0f);
            const double ashy = smoothstep(0.45, 0.72, ash.at(x, y));
            double lv = 0.03 + 0.32 * light + 0.3 * ashy + 0.07 * (texel_hash(x, y, 31) - 0.5);
            const CellSample c = cracks.at(x + warp.dx(x, y), y + warp.dy(x, y));
            const double edge = c.f2 - c.f1;
            const double field = smoothstep(0.4, 0.52, fields.at(x, y));
            const double width = 1.9 * field * smoothstep(0.35, 0.5, breaks.at(x, y));
            // Heat reddens the ground beside the cracks.
            lv += 0.22 * field * (1.0 - smoothstep(0.0, 7.0, edge)) * (1.0 - ashy);
            g.lv(x, y) = static_cast<float>(lv);
            g.rp(x, y) = 0;
            const bool ember = field > 0.5 && texel_hash(x, y, 37) > 0.996;
            if (edge < width || ember) {
                g.rp(x, y) = 1;
                const double core = ember ? 0.6 : 1.0 - edge / width;
                g.lv(x, y) = static_cast<float>(0.3 + 0.6 * core * (0.75 + 0.25 * grain.at(x, y)));
            }
        }
    }
}

} // namespace assetgen::world
