// The six enemy craft and their ground shadow. Each grows more menacing with
// its armour: a small green drone, a steel twin-boom fighter, a bronze armoured
// scarab, a red lance interceptor, a violet manta and a black warlord with a
// burning core.
#include "assetgen.h"
#include "craft_common.h"
#include "palette.h"
#include "world_util.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

using namespace world;

namespace {

constexpr int ENEMY_CELL = 56;
constexpr float ENEMY_ELEVATION = 48.0f; // a little above the flight camera's angle, to show their backs
constexpr float ENEMY_ANCHOR_X = 27.5f;   // where each craft's box is centred in its cell
constexpr float ENEMY_ANCHOR_Y = 30.0f;

// Material slots of every enemy model.
enum Slot { HULL, TRIM, DARK, GLOW, LAMP, SLOT_COUNT };

// Wing plate with a tilt: y rises by `dihedral` per unit of x.
float wing(V3 p, const std::vector<P2> &poly, float half, float dihedral) {
    return sd_plate({p.x, p.y - dihedral * p.x, p.z}, poly, half, half * 0.8f);
}

// A vertical fin: polygon given in (y, z) at side offset x0.
float fin(V3 p, float x0, const std::vector<P2> &poly, float half) {
    return sd_plate({p.y, p.x - x0, p.z}, poly, half, half * 0.8f);
}

// Panel seams: thin dark lines across the hull every `pitch` units of z.
float seams(V3 p, float pitch, float depth) {
    const float f = std::fabs(std::fmod(p.z + 100.0f * pitch, pitch) - pitch / 2);
    return f > pitch / 2 - 0.35f ? 1.0f - depth : 1.0f;
}

// Kind 10: a small green drone with a red eye and drooping wings.
Model drone() {
    Model m;
    m.radius = 22;
    m.materials = {green_paint(1.0f), steel_paint(0.9f), grey_paint(0.5f), red_glow(), fire_glow()};
    m.field = [](V3 p) {
        const V3 q = abs_x(p);
        float body = sd_ellipsoid(p, {6, 4.6f, 8.5f});
        body = smin(body, sd_ellipsoid(p - V3{0, -0.8f, -5}, {4.6f, 3.8f, 5}), 1.5f);
        Hit h{body, HULL};
        h = nearer(h, {wing(q, {{3, 2}, {10, 0}, {16, -4}, {15, -7}, {9, -4.5f}, {3, -4}}, 0.7f, -0.22f), TRIM});
        h = nearer(h, {sd_torus_y(p - V3{0, 3.6f, 2.5f}, 2.3f, 0.8f), DARK});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 3.6f, 2.5f}, {2.2f, 1.6f, 2.2f}), GLOW});
        h = nearer(h, {sd_capsule(q, {3.2f, -1.2f, -6}, {3.2f, -1.2f, -9.5f}, 1.7f), DARK});
        h = nearer(h, {sd_ellipsoid(q - V3{3.2f, -1.2f, -10.4f}, {1.3f, 1.3f, 0.7f}), LAMP});
        h = nearer(h, {sd_ellipsoid(q - V3{15.6f, -3.4f, -5.5f}, {1.1f, 1.1f, 1.6f}), LAMP});
        return h;
    };
    m.paint = [](V3 p, int mat) { return mat == HULL ? seams(p, 5, 0.3f) : 1.0f; };
    return m;
}

// Kind 11: a steel twin-boom fighter with red engines.
Model twin_boom() {
    Model m;
    m.radius = 24;
    m.materials = {steel_paint(1.0f), red_paint(1.0f), grey_paint(0.55f), fire_glow(), red_glow()};
    m.field = [](V3 p) {
        const V3 q = abs_x(p);
        Hit h{sd_ellipsoid(p - V3{0, 0.5f, 2}, {5, 4, 11}), HULL};
        const float boom = sd_round_cone(q, {12, 0, -9}, {12, 0, 9}, 3.2f, 2.2f);
        h = nearer(h, {boom, HULL});
        h = nearer(h, {wing(q, {{0, 6}, {13, 2}, {13, -6}, {0, -3}}, 0.9f, 0.0f), TRIM});
        h = nearer(h, {wing(q, {{11, -4}, {19, -9}, {19, -11}, {11, -8}}, 0.6f, 0.0f), TRIM});
        h = nearer(h, {sd_capsule(q, {12, -0.8f, 9}, {12, -0.8f, 15}, 0.9f), DARK});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 3.2f, 5}, {2.8f, 2.2f, 5}), DARK});
        h = nearer(h, {sd_ellipsoid(q - V3{12, 0, -9.6f}, {2.3f, 2.3f, 1.1f}), GLOW});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 0.5f, -8.6f}, {2.0f, 1.8f, 1.0f}), LAMP});
        return h;
    };
    m.paint = [](V3 p, int mat) { return mat == HULL ? seams(p, 6, 0.25f) : 1.0f; };
    return m;
}

// Kind 12: a heavy bronze scarab: split wing cases, a dark head with
// mandibles, and thick legs.
Model scarab() {
    Model m;
    m.radius = 26;
    m.materials = {gold_paint(1.0f), steel_paint(0.75f), grey_paint(0.55f), red_glow(), fire_glow()};
    m.field = [](V3 p) {
        const V3 q = abs_x(p);
        float shell = sd_ellipsoid(q - V3{5.2f, 0, -1}, {6.5f, 5, 12.5f});
        shell = std::max(shell, -sd_round_box(p - V3{0, 5, -1}, {0.5f, 3.5f, 14}, 0.3f));
        Hit h{shell, HULL};
        h = nearer(h, {sd_ellipsoid(p - V3{0, 0.5f, 0}, {4, 3.5f, 11}), DARK});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 1.8f, 12}, {7, 3.8f, 4.5f}), DARK});
        h = nearer(h, {sd_round_cone(q, {4.5f, 1.5f, 14.5f}, {1.5f, 1.8f, 22}, 1.9f, 0.5f), HULL});
        for (int i = 0; i < 3; ++i) {
            const float z = 6.0f - 7.0f * static_cast<float>(i);
            h = nearer(h, {sd_round_cone(q, {9, -1.5f, z}, {16.5f, -4.5f, z - 3.5f}, 1.9f, 0.9f), TRIM});
        }
        h = nearer(h, {sd_ellipsoid(q - V3{3.2f, 4.2f, 13.2f}, {1.4f, 1.1f, 1.3f}), GLOW});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 0.3f, -13.2f}, {5, 2.2f, 1.3f}), LAMP});
        return h;
    };
    m.paint = [](V3 p, int mat) { return mat == HULL ? seams(p, 6.5f, 0.35f) : 1.0f; };
    return m;
}

// Kind 13: a fast red lance with swept wings and a white-hot engine.
Model lance() {
    Model m;
    m.radius = 26;
    m.materials = {red_paint(1.05f), grey_paint(0.7f), steel_paint(0.6f), fire_glow(), gold_glow()};
    m.field = [](V3 p) {
        const V3 q = abs_x(p);
        Hit h{sd_round_cone(p, {0, 0, -10}, {0, 0, 20}, 4.2f, 0.6f), HULL};
        h = nearer(h, {wing(q, {{0, 10}, {18, -9}, {17, -12}, {0, -8}}, 0.8f, -0.05f), HULL});
        h = nearer(h, {fin(q, 4.5f, {{0, -4}, {7, -11}, {7, -13}, {0, -10}}, 0.6f), TRIM});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 3, 4}, {2.2f, 1.8f, 4.5f}), DARK});
        h = nearer(h, {sd_capsule(q, {17.2f, -0.9f, -11}, {17.2f, -0.9f, -4}, 0.8f), TRIM});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 0, -10.7f}, {3.2f, 3.2f, 1.1f}), GLOW});
        h = nearer(h, {sd_ellipsoid(q - V3{4.5f, 3.5f, -12.5f}, {0.8f, 0.8f, 0.8f}), LAMP});
        return h;
    };
    m.paint = [](V3 p, int mat) {
        if (mat != HULL) return 1.0f;
        // A dark chevron band across the wings.
        const float band = p.z + 0.55f * std::fabs(p.x);
        return band > 1.5f && band < 3.5f ? 0.55f : 1.0f;
    };
    return m;
}

// Kind 14: a broad violet manta with spined wings and glowing gills.
Model manta() {
    Model m;
    m.radius = 30;
    m.materials = {violet_paint(1.0f), steel_paint(0.7f), grey_paint(0.45f), violet_glow(), red_glow()};
    m.field = [](V3 p) {
        const V3 q = abs_x(p);
        float body = sd_ellipsoid(p - V3{0, 0.5f, 0}, {8, 4.5f, 13});
        const V3 wq{q.x, q.y + 0.012f * q.x * q.x, q.z};
        body = smin(body, sd_plate(wq, {{0, 12}, {12, 7}, {23, -1}, {22, -6}, {12, -4}, {0, -10}}, 1.3f, 1.0f),
                    2.0f);
        Hit h{body, HULL};
        for (int i = 0; i < 3; ++i) {
            const float x = 8.0f + 5.0f * static_cast<float>(i);
            const float z = 8.0f - 3.2f * static_cast<float>(i);
            const float y = -0.012f * x * x;
            h = nearer(h, {sd_round_cone(q, {x, y, z}, {x + 1.5f, y, z + 5}, 1.2f, 0.2f), TRIM});
        }
        h = nearer(h, {sd_round_cone(p, {0, 1, -11}, {0, 2.5f, -22}, 1.8f, 0.5f), HULL});
        h = nearer(h, {sd_ellipsoid(q - V3{5.5f, 3.0f, -1}, {1.6f, 1.2f, 1.6f}), GLOW});
        h = nearer(h, {sd_ellipsoid(q - V3{21.5f, -3.8f, -3}, {1.2f, 1.2f, 1.2f}), GLOW});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 4, 6}, {2.5f, 1.5f, 3.5f}), DARK});
        h = nearer(h, {sd_ellipsoid(q - V3{3.2f, 1.5f, 12}, {1.2f, 1, 1}), LAMP});
        return h;
    };
    return m;
}

// Kind 15: the warlord: a black armoured wedge with forward claws, spikes,
// an open burning core and a bank of three engines.
Model warlord() {
    Model m;
    m.radius = 32;
    m.materials = {grey_paint(0.85f), violet_paint(0.9f), steel_paint(0.55f), fire_glow(), red_glow()};
    m.field = [](V3 p) {
        const V3 q = abs_x(p);
        float hull = sd_plate({p.x, p.y - 0.5f, p.z}, {{0, 19}, {9, 6}, {10, -14}, {-10, -14}, {-9, 6}}, 4, 2.5f);
        hull = smin(hull, sd_ellipsoid(p - V3{0, 3.5f, 0}, {7, 4.2f, 10}), 2);
        hull = std::max(hull, -sd_ellipsoid(p - V3{0, 8, 1}, {4.4f, 2.8f, 4.4f}));
        Hit h{hull, HULL};
        const V3 wq{q.x, q.y + 0.16f * q.x, q.z};
        h = nearer(h, {sd_plate(wq, {{6, -12}, {26, 3}, {25.5f, 10}, {21, 6}, {6, 6}}, 1.4f, 1.0f), TRIM});
        h = nearer(h, {sd_round_cone(q, {24, -3.5f, 8}, {25, -3.5f, 20}, 1.8f, 0.2f), DARK});
        h = nearer(h, {sd_round_cone(q, {15, -2, 2}, {16, -2, 12}, 1.4f, 0.2f), DARK});
        h = nearer(h, {sd_round_cone(q, {4, 3, 13}, {7, 7, 21}, 1.6f, 0.3f), DARK});
        h = nearer(h, {sd_round_box(q - V3{10.5f, 0.5f, -4}, {2.2f, 3, 9}, 1.2f), DARK});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 5.8f, 1}, {3.8f, 2.8f, 3.8f}), GLOW});
        h = nearer(h, {sd_ellipsoid(q - V3{6, 0, -14.4f}, {2.4f, 2.4f, 1.0f}), GLOW});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 1.5f, -14.4f}, {2.4f, 2.4f, 1.0f}), GLOW});
        h = nearer(h, {sd_ellipsoid(q - V3{25.5f, -1.8f, 6}, {1.0f, 1.0f, 1.0f}), LAMP});
        return h;
    };
    m.paint = [](V3 p, int mat) {
        if (mat == HULL) return seams(p, 5, 0.3f);
        if (mat == TRIM) {
            const float stripe = std::fmod(std::fabs(p.x) + 100.0f, 5.0f);
            return stripe < 1.0f ? 0.6f : 1.0f;
        }
        return 1.0f;
    };
    return m;
}

struct EnemyCell {
    Model (*model)();
    int col;
    int row;
    float scale; // pixels per model unit: the tougher craft fill more of the cell
};

constexpr EnemyCell ENEMY_CELLS[] = {
    {drone, 0, 0, 1.15f}, {twin_boom, 1, 0, 1.1f}, {scarab, 2, 0, 1.15f},
    {lance, 3, 0, 1.2f},  {manta, 4, 0, 1.08f},    {warlord, 0, 1, 1.0f},
};

// Shadow cell: shade levels, darkest in the middle, fading to the rim.
constexpr int SHADOW_W = 56;
constexpr int SHADOW_H = 22;
constexpr double SHADOW_CORE = 100;
constexpr double SHADOW_RIM = 205;

} // namespace

BITMAP *make_enemy_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet();
    for (const EnemyCell &c : ENEMY_CELLS) {
        const Camera cam{ENEMY_ELEVATION, c.scale, 0, 0};
        place_craft(sheet, c.col * ENEMY_CELL, c.row * ENEMY_CELL, ENEMY_CELL, ENEMY_CELL, ENEMY_ANCHOR_X,
                    ENEMY_ANCHOR_Y, c.model(), cam);
    }
    return sheet;
}

BITMAP *make_shadow_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet();
    const double cx = (SHADOW_W - 1) / 2.0;
    const double cy = (SHADOW_H - 1) / 2.0;
    const double rx = SHADOW_W / 2.0 - 1;
    const double ry = SHADOW_H / 2.0 - 1;
    for (int y = 0; y < SHADOW_H; ++y) {
        for (int x = 0; x < SHADOW_W; ++x) {
            const double dx = (x - cx) / rx;
            const double dy = (y - cy) / ry;
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r > 1.0) continue;
            const double t = smoothstep(0.15, 1.0, r);
            putpixel(sheet, x, y, static_cast<int>(std::lround(mix(SHADOW_CORE, SHADOW_RIM, t))));
        }
    }
    return sheet;
}

} // namespace assetgen
