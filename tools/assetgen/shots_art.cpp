// Projectiles and hit sparks. Shots are small glowing bolts whose colour and
// shape tell the gun: the player's guns burn green, cyan, steel-blue and
// gold, the enemies' red and violet. Sparks are white-hot cores with orange
// and red fringes.
#include "assetgen.h"
#include "craft_common.h"
#include "glow_canvas.h"
#include "palette.h"
#include "world_util.h"

#include <cmath>
#include <numbers>

namespace assetgen {

using namespace world;

namespace {

constexpr int CELL = 33;
constexpr float MID = CELL / 2.0f;
constexpr int GUN_COLUMNS = 9;
constexpr int SPARK_ROW_Y = 99;
constexpr int SPARK_COUNT = 4;
constexpr float CUTOFF = 0.06f; // light below this stays transparent
constexpr float PI = std::numbers::pi_v<float>;

// Colour ramps, dark fringe to white-hot core.
const std::vector<int> FIRE_RAMP = {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55};
const std::vector<int> RED_RAMP = {40, 41, 42, 43, 44, 45, 46, 47, 49, 51, 53, 55};
const std::vector<int> GREEN_RAMP = {23, 22, 21, 20, 19, 18, ACCENT_A, 17, 16, WHITE};
const std::vector<int> CYAN_RAMP = {113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, WHITE};
const std::vector<int> GOLD_RAMP = {57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 55};
const std::vector<int> STEEL_RAMP = {26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, WHITE};
const std::vector<int> VIOLET_RAMP = {72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, WHITE};
const std::vector<int> MAGENTA_RAMP = {40, 41, 74, 76, 78, 80, 82, 84, 85, 86, 87, WHITE};

// A jagged electric arc from the centre outward.
void arc(GlowCanvas &c, Rng &rng, float angle, float length, float strength) {
    float x = MID;
    float y = MID;
    const int steps = 4;
    for (int i = 1; i <= steps; ++i) {
        const float r = length * static_cast<float>(i) / steps;
        const float a = angle + static_cast<float>(rng.range(-0.45, 0.45));
        const float nx = MID + r * std::cos(a);
        const float ny = MID + r * std::sin(a);
        c.line(x, y, nx, ny, 0.9f, strength * (1.0f - 0.15f * static_cast<float>(i)),
               strength * (1.0f - 0.2f * static_cast<float>(i)));
        x = nx;
        y = ny;
    }
}

// ---- the player's guns ----
void pulse_laser(GlowCanvas &c, Rng &) { // green pulse: a bright upright bolt
    c.glow(MID, MID, 10, 0.3f);
    c.streak(MID, MID, 10, 4.5f, PI / 2, 0.7f);
    c.line(MID, MID - 7, MID, MID + 7, 2.0f, 0.95f, 0.95f);
    c.disc(MID, MID, 1.3f, 0.7f);
}
void graviton(GlowCanvas &c, Rng &) { // steel-blue lens: a bright ring round a dark heart
    c.glow(MID, MID, 10, 0.35f);
    c.ring(MID, MID, 4.6f, 1.8f, 0.95f);
    c.ring(MID, MID, 4.6f, 0.8f, 0.5f);
    for (int i = 0; i < 4; ++i) {
        const float a = PI / 4 + static_cast<float>(i) * PI / 2;
        c.disc(MID + 7.2f * std::cos(a), MID + 7.2f * std::sin(a), 0.8f, 0.55f);
    }
}
void ion_cannon(GlowCanvas &c, Rng &rng) { // crackling cyan orb
    c.glow(MID, MID, 9, 0.55f);
    c.disc(MID, MID, 2.8f, 0.95f);
    for (int i = 0; i < 5; ++i) arc(c, rng, static_cast<float>(i) * 2 * PI / 5 + 0.3f, 9.5f, 0.95f);
}
void reflex_coil(GlowCanvas &c, Rng &) { // golden coil: two interlaced loops
    c.glow(MID, MID, 10, 0.45f);
    for (int k = 0; k < 2; ++k) {
        const float tilt = k == 0 ? 0.45f : -0.45f;
        for (int i = 0; i < 48; ++i) {
            const float t = static_cast<float>(i) / 48 * 2 * PI;
            const float u = 7.0f * std::cos(t);
            const float v = 3.0f * std::sin(t);
            const float x = MID + u * std::cos(tilt) - v * std::sin(tilt);
            const float y = MID + u * std::sin(tilt) + v * std::cos(tilt);
            c.disc(x, y, 0.8f, 0.3f);
        }
    }
    c.disc(MID, MID, 2.2f, 0.95f);
}
void plasma_burst(GlowCanvas &c, Rng &) { // big green-white plasma ball
    c.glow(MID, MID, 12, 0.5f);
    c.ring(MID, MID, 6.5f, 1.6f, 0.35f);
    c.disc(MID, MID, 4.2f, 0.8f);
    c.disc(MID - 1, MID - 1, 2.0f, 0.6f);
}
void firestorm(GlowCanvas &c, Rng &) { // golden comet: a round head, flame tapering back
    c.glow(MID, MID, 10, 0.4f);
    for (int i = -2; i <= 2; ++i) {
        const float side = static_cast<float>(i) * 1.4f;
        c.line(MID + side, MID - 1, MID + 0.3f * side, MID + 9, 1.3f, 0.75f, 0.1f);
    }
    c.disc(MID, MID - 2, 3.4f, 0.95f);
}

// ---- pod shots ----
void ring_shot(GlowCanvas &c, Rng &) { // a steel halo seen edge-on, round a bright bead
    c.glow(MID, MID, 9, 0.35f);
    for (int i = 0; i < 40; ++i) {
        const float t = static_cast<float>(i) / 40 * 2 * PI;
        const float front = 0.75f + 0.25f * std::sin(t); // the near side of the halo is brighter
        c.disc(MID + 8 * std::cos(t), MID + 3 * std::sin(t), 0.9f, 0.3f * front);
    }
    c.disc(MID, MID, 2.2f, 0.95f);
}
void fan_shot(GlowCanvas &c, Rng &) { // a cyan pulsar wave: a crescent opening downward
    for (int i = 0; i < 32; ++i) {
        const float a = PI + PI * static_cast<float>(i) / 31;
        c.disc(MID + 8 * std::cos(a), MID + 2.5f + 6 * std::sin(a), 1.5f, 0.4f);
    }
    c.glow(MID, MID - 1, 10, 0.45f);
    c.disc(MID, MID - 2.5f, 2.0f, 0.9f);
}

// ---- enemy guns ----
void red_pellet(GlowCanvas &c, Rng &) {
    c.glow(MID, MID, 8, 0.65f);
    c.disc(MID, MID, 2.6f, 0.9f);
}
void red_needle(GlowCanvas &c, Rng &) {
    c.streak(MID, MID, 9, 4, PI / 2, 0.7f);
    c.line(MID, MID - 7, MID, MID + 7, 1.5f, 0.5f, 1.0f);
}
void red_star(GlowCanvas &c, Rng &) {
    c.glow(MID, MID, 7, 0.45f);
    for (int i = 0; i < 4; ++i) {
        const float a = PI / 4 + static_cast<float>(i) * PI / 2;
        c.line(MID, MID, MID + 8 * std::cos(a), MID + 8 * std::sin(a), 1.4f, 0.9f, 0.05f);
    }
    c.disc(MID, MID, 2.0f, 0.8f);
}
void violet_orb(GlowCanvas &c, Rng &) {
    c.glow(MID, MID, 9, 0.55f);
    c.disc(MID, MID, 3.0f, 0.7f);
    c.ring(MID, MID, 5.5f, 1.0f, 0.3f);
}
void fireball(GlowCanvas &c, Rng &rng) { // big burning ball with flame licks
    c.glow(MID, MID, 12, 0.5f);
    c.disc(MID, MID, 4.0f, 0.75f);
    for (int i = 0; i < 7; ++i) {
        const float a = static_cast<float>(i) * 2 * PI / 7 + static_cast<float>(rng.range(-0.3, 0.3));
        const float r = static_cast<float>(rng.range(8, 11));
        c.line(MID, MID, MID + r * std::cos(a), MID + r * std::sin(a), 1.8f, 0.5f, 0.0f);
    }
}
void hex_star(GlowCanvas &c, Rng &) { // the warlord's six-pointed star
    c.glow(MID, MID, 11, 0.45f);
    for (int i = 0; i < 6; ++i) {
        const float a = static_cast<float>(i) * PI / 3 + PI / 6;
        c.line(MID, MID, MID + 9.5f * std::cos(a), MID + 9.5f * std::sin(a), 1.5f, 0.85f, 0.05f);
    }
    c.ring(MID, MID, 4.5f, 0.9f, 0.45f);
    c.disc(MID, MID, 2.2f, 0.9f);
}

struct Shot {
    int picture; // cell number in the gunfire sheet
    void (*draw)(GlowCanvas &, Rng &);
    const std::vector<int> *ramp;
};

const Shot SHOTS[] = {
    {4, pulse_laser, &GREEN_RAMP},  {2, graviton, &STEEL_RAMP},  {1, ion_cannon, &CYAN_RAMP},
    {3, reflex_coil, &GOLD_RAMP},   {0, plasma_burst, &GREEN_RAMP}, {5, firestorm, &GOLD_RAMP},
    {12, ring_shot, &STEEL_RAMP},   {15, fan_shot, &CYAN_RAMP},
    {6, red_pellet, &RED_RAMP},     {7, red_needle, &RED_RAMP},  {8, red_star, &RED_RAMP},
    {9, violet_orb, &VIOLET_RAMP},  {13, fireball, &RED_RAMP},   {14, hex_star, &MAGENTA_RAMP},
};
constexpr int ROCKET_PICTURE = 10;

// The pod rocket is a solid little missile, seen from behind, over the
// glow of its exhaust.
Model rocket() {
    Model m;
    m.radius = 12;
    m.materials = {steel_paint(1.1f), red_paint(1.0f), grey_paint(0.6f), fire_glow()};
    m.field = [](V3 p) {
        Hit h{sd_round_cone(p, {0, 0, -4}, {0, 0, 6}, 1.8f, 0.6f), 0};
        for (int i = 0; i < 4; ++i) {
            const float a = static_cast<float>(i) * PI / 2 + PI / 4;
            const float c = std::cos(a);
            const float s = std::sin(a);
            const V3 r{c * p.x + s * p.y, -s * p.x + c * p.y, p.z};
            h = nearer(h, {sd_plate({r.y, r.x - 1.5f, r.z}, {{-0.5f, -4}, {0.5f, -4}, {0.5f, 0}, {-0.5f, -1}}, 1.6f, 0.3f),
                           1});
        }
        h = nearer(h, {sd_ellipsoid(p - V3{0, 0, -4.2f}, {1.3f, 1.3f, 0.5f}), 3});
        return h;
    };
    return m;
}

void draw_rocket(BITMAP *sheet, int x, int y) {
    GlowCanvas c(CELL, CELL);
    c.glow(MID, MID + 2.5f, 7, 0.6f);
    c.paint(sheet, x, y, FIRE_RAMP, CUTOFF);
    const Camera cam{34.0f, 1.9f, MID - 1, MID - 1};
    render_model(sheet, x + 1, y + 1, CELL - 2, CELL - 2, rocket(), cam);
}

// ---- sparks ----
void spark_cross(GlowCanvas &c, Rng &rng) { // four long rays and four short
    c.glow(MID, MID, 8, 0.6f);
    for (int i = 0; i < 8; ++i) {
        const float a = static_cast<float>(i) * PI / 4 + 0.2f;
        const float len = (i % 2 == 0 ? 13.5f : 7.0f) + static_cast<float>(rng.range(-1, 1));
        c.line(MID, MID, MID + len * std::cos(a), MID + len * std::sin(a), i % 2 == 0 ? 1.5f : 1.1f, 0.9f, 0.05f);
    }
    c.disc(MID, MID, 2.5f, 0.9f);
}
void spark_burst(GlowCanvas &c, Rng &rng) { // ragged starburst
    c.glow(MID, MID, 9, 0.55f);
    for (int i = 0; i < 11; ++i) {
        const float a = static_cast<float>(i) * 2 * PI / 11 + static_cast<float>(rng.range(-0.25, 0.25));
        const float len = static_cast<float>(rng.range(6.5, 14.5));
        c.line(MID, MID, MID + len * std::cos(a), MID + len * std::sin(a), 1.1f, 0.8f, 0.0f);
    }
    c.disc(MID, MID, 2.0f, 0.8f);
}
void spark_puff(GlowCanvas &c, Rng &rng) { // a ball of flame throwing off embers
    for (int i = 0; i < 6; ++i) {
        const float a = static_cast<float>(rng.range(0, 2 * PI));
        const float r = static_cast<float>(rng.range(0, 4.5));
        c.glow(MID + r * std::cos(a), MID + r * std::sin(a), static_cast<float>(rng.range(5, 8)), 0.45f);
    }
    c.disc(MID, MID, 2.6f, 0.7f);
    for (int i = 0; i < 9; ++i) {
        const float a = static_cast<float>(rng.range(0, 2 * PI));
        const float r = static_cast<float>(rng.range(9, 13.5));
        const float x = MID + r * std::cos(a);
        const float y = MID + r * std::sin(a);
        c.line(x, y, x - 2.5f * std::cos(a), y - 2.5f * std::sin(a), 0.9f, 0.75f, 0.3f);
    }
}
void spark_ring(GlowCanvas &c, Rng &rng) { // shock ring round a hot core
    c.ring(MID, MID, 9.5f, 1.6f, 0.55f);
    c.glow(MID, MID, 7, 0.7f);
    c.disc(MID, MID, 2.2f, 0.9f);
    for (int i = 0; i < 6; ++i) {
        const float a = static_cast<float>(i) * PI / 3 + static_cast<float>(rng.range(-0.3, 0.3));
        c.line(MID + 10 * std::cos(a), MID + 10 * std::sin(a), MID + 14.5f * std::cos(a), MID + 14.5f * std::sin(a),
               0.9f, 0.7f, 0.1f);
    }
}

void (*const SPARKS[SPARK_COUNT])(GlowCanvas &, Rng &) = {spark_cross, spark_burst, spark_puff, spark_ring};

constexpr std::uint64_t SHOT_SEED = 0x60F1E000;
constexpr std::uint64_t SPARK_SEED = 0x5BA4C000;

} // namespace

BITMAP *make_ships_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet();
    for (int i = 0; i < SPARK_COUNT; ++i) {
        GlowCanvas c(CELL, CELL);
        Rng rng(SPARK_SEED + static_cast<std::uint64_t>(i));
        SPARKS[i](c, rng);
        c.paint(sheet, i * CELL, SPARK_ROW_Y, FIRE_RAMP, CUTOFF);
    }
    return sheet;
}

BITMAP *make_gunfire_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet();
    for (const Shot &s : SHOTS) {
        GlowCanvas c(CELL, CELL);
        Rng rng(SHOT_SEED + static_cast<std::uint64_t>(s.picture));
        s.draw(c, rng);
        c.paint(sheet, s.picture % GUN_COLUMNS * CELL, s.picture / GUN_COLUMNS * CELL, *s.ramp, CUTOFF);
    }
    draw_rocket(sheet, ROCKET_PICTURE % GUN_COLUMNS * CELL, ROCKET_PICTURE / GUN_COLUMNS * CELL);
    return sheet;
}

} // namespace assetgen
