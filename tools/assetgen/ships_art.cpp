// The player's three ships as the flight camera sees them (from behind and
// above, nose up the screen), their engine flames, their ground shadow and
// the display plate the selection panel shows them on.
#include "assetgen.h"
#include "craft_common.h"
#include "palette.h"
#include "world_util.h"

#include "assets/game_data.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

using namespace world;

namespace {

// Layout of the suits sheet.
constexpr int SHIP_W = 41;
constexpr int SHIP_H = 42;
constexpr int FLAME_W = 17;
constexpr int FLAME_H = 8;
constexpr int FLAME_TOP = 127;
constexpr int FLAME_FRAMES = 3;
constexpr int SHADOW_X = 0;
constexpr int SHADOW_Y = 153;
constexpr int SHADOW_W = 41;
constexpr int SHADOW_H = 16;
constexpr int PLATE_X = 275;
constexpr int PLATE_Y = 160;
constexpr int PLATE_W = 45;
constexpr int PLATE_H = 40;

// The game draws the flame picture at (12, 18) of the ship picture; the
// flame burns from the flame picture's row FLAME_FIRST_ROW down, and the
// nozzle's exit must land at its top centre.
constexpr int FLAME_FIRST_ROW = 1;
constexpr float NOZZLE_PX = 20.5f;
constexpr float NOZZLE_PY = 18.0f + FLAME_FIRST_ROW;
// The selection panel draws the ship picture 4 rows above the plate and 2
// columns right of it (the plate at (10, 5) of the panel, the ship at
// (12, 1)): no ship reaches above picture row SHIP_TOP_ROW, so each stays
// inside the plate's screen. With the nozzle fixed that high in the picture, the
// ships are seen flatter than the flight camera sees the ground (42
// degrees): at 26 degrees they keep most of their width.
constexpr int SHIP_TOP_ROW = 7;
constexpr float SHIP_ELEVATION = 26.0f;
constexpr float NOZZLE_Z = -9.0f;       // nozzle exit in model units
constexpr float ICON_FILL = 1.3f;       // the craft sphere over the icon's half width

enum Slot { HULL, TRIM, DARK, GLASS, NOZZLE, LAMP };

float wing(V3 p, const std::vector<P2> &poly, float half, float dihedral) {
    return sd_plate({p.x, p.y - dihedral * p.x, p.z}, poly, half, half * 0.8f);
}
float fin(V3 p, float x0, float lean, const std::vector<P2> &poly, float half) {
    return sd_plate({p.y, p.x - x0 - lean * p.y, p.z}, poly, half, half * 0.8f);
}

// Every ship shares the same engine: a dark bell around the nozzle exit.
Hit engine(V3 p, float radius) {
    Hit h{sd_cylinder_z(p - V3{0, 0, NOZZLE_Z + 2.0f}, radius, 2.0f), DARK};
    const float hollow = sd_cylinder_z(p - V3{0, 0, NOZZLE_Z - 0.5f}, radius - 0.9f, 1.2f);
    h.d = std::max(h.d, -hollow);
    h = nearer(h, {sd_cylinder_z(p - V3{0, 0, NOZZLE_Z + 0.6f}, radius - 0.9f, 0.4f), NOZZLE});
    return h;
}

// Talon: light scout. A needle hull, forward-swept blades and canards;
// pale with cyan trim.
Model talon() {
    Model m;
    m.radius = 24;
    m.materials = {grey_paint(1.0f), cyan_paint(1.0f), steel_paint(0.6f), cyan_glow(), fire_glow(), cyan_glow()};
    m.field = [](V3 p) {
        const V3 q = abs_x(p);
        float hull = sd_round_cone(p, {0, 0, -7}, {0, 0.3f, 15}, 3.3f, 0.8f);
        Hit h{hull, HULL};
        h = nearer(h, {wing(q, {{2, -1}, {15, 5}, {16.5f, 4}, {14, 0}, {2, -7}}, 0.6f, 0.04f), HULL});
        h = nearer(h, {wing(q, {{14.2f, 4.6f}, {16.2f, 4.2f}, {14.5f, -1}, {13.5f, -0.5f}}, 0.75f, 0.04f), TRIM});
        h = nearer(h, {wing(q, {{2, 9}, {6.5f, 6}, {6.5f, 5}, {2, 6}}, 0.4f, 0.0f), TRIM});
        h = nearer(h, {fin(q, 2.2f, 0.35f, {{1, -4}, {6, -9}, {6, -10.5f}, {1, -8}}, 0.45f), TRIM});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 2.2f, 5}, {1.8f, 1.6f, 4.5f}), GLASS});
        h = nearer(h, engine(p, 2.6f));
        h = nearer(h, {sd_ellipsoid(q - V3{16.2f, 0.6f, 4.2f}, {0.7f, 0.7f, 0.7f}), LAMP});
        return h;
    };
    m.paint = [](V3 p, int mat) {
        if (mat != HULL) return 1.0f;
        return std::fabs(p.x) < 0.6f && p.z < 2 && p.z > -6 ? 0.55f : 1.0f; // spine stripe
    };
    return m;
}

// Falcon: the all-rounder. A swept delta on a solid hull with twin tail
// fins; steel blue with gold trim.
Model falcon() {
    Model m;
    m.radius = 26;
    m.materials = {steel_paint(1.2f), gold_paint(1.0f), steel_paint(0.55f), cyan_glow(), fire_glow(), fire_glow()};
    m.field = [](V3 p) {
        const V3 q = abs_x(p);
        float hull = sd_round_cone(p, {0, 0, -7}, {0, 0.4f, 14}, 4.2f, 1.0f);
        hull = smin(hull, sd_ellipsoid(p - V3{0, -0.5f, -2}, {5.5f, 3.2f, 8}), 1.5f);
        Hit h{hull, HULL};
        h = nearer(h, {wing(q, {{3, 6}, {17.5f, -6}, {17.5f, -9}, {3, -8}}, 0.8f, 0.02f), HULL});
        h = nearer(h, {wing(q, {{15.5f, -4.2f}, {17.7f, -5.8f}, {17.7f, -9.3f}, {15.5f, -9.1f}}, 0.95f, 0.02f), TRIM});
        h = nearer(h, {fin(q, 4.2f, 0.3f, {{1, -2}, {8, -8}, {8, -10}, {1, -8}}, 0.5f), TRIM});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 2.8f, 5}, {2.3f, 1.9f, 5}), GLASS});
        h = nearer(h, {sd_capsule(q, {6, -1, 3}, {6, -1, 9}, 0.8f), DARK});
        h = nearer(h, engine(p, 3.3f));
        h = nearer(h, {sd_ellipsoid(q - V3{17.7f, 0.3f, -9.4f}, {0.7f, 0.7f, 0.6f}), LAMP});
        return h;
    };
    m.paint = [](V3 p, int mat) {
        if (mat != HULL) return 1.0f;
        const float band = p.z + 0.7f * std::fabs(p.x);
        return band > -1.2f && band < 0.2f && std::fabs(p.x) > 3 ? 0.6f : 1.0f; // wing root seam
    };
    return m;
}

// Raptor: heavy assault. A broad armoured body with intakes, thick wings
// carrying gun pods; green armour over dark steel.
Model raptor() {
    Model m;
    m.radius = 28;
    m.materials = {green_paint(1.0f), steel_paint(0.85f), grey_paint(0.5f), cyan_glow(), fire_glow(), fire_glow()};
    m.field = [](V3 p) {
        const V3 q = abs_x(p);
        float hull = sd_round_box(p - V3{0, 0, 1}, {5.5f, 3.2f, 10}, 2.5f);
        hull = smin(hull, sd_round_cone(p, {0, 0.5f, 6}, {0, 0.5f, 15}, 4, 1.5f), 1.5f);
        Hit h{hull, HULL};
        h = nearer(h, {sd_round_box(q - V3{6, -0.5f, -1}, {2.2f, 2.6f, 7}, 1.2f), TRIM});
        h = nearer(h, {wing(q, {{5, 5}, {17, 0}, {18, -4}, {5, -8}}, 1.3f, -0.06f), HULL});
        h = nearer(h, {sd_capsule(q, {16.5f, -1.4f, -6}, {16.5f, -1.4f, 8}, 1.7f), TRIM});
        h = nearer(h, {sd_capsule(q, {16.5f, -1.4f, 8}, {16.5f, -1.4f, 12}, 0.7f), DARK});
        h = nearer(h, {fin(q, 4.5f, 0.15f, {{2, -2}, {7, -6}, {7, -9}, {2, -8}}, 0.6f), TRIM});
        h = nearer(h, {sd_ellipsoid(p - V3{0, 3.4f, 7}, {2.5f, 1.8f, 4}), GLASS});
        h = nearer(h, engine(p, 3.5f));
        h = nearer(h, {sd_ellipsoid(q - V3{16.5f, -1.4f, -7.6f}, {1.0f, 1.0f, 0.5f}), LAMP});
        return h;
    };
    m.paint = [](V3 p, int mat) {
        if (mat != HULL) return 1.0f;
        const float f = std::fabs(std::fmod(p.z + 100.0f, 4.5f) - 2.25f);
        return f > 2.0f ? 0.7f : 1.0f; // armour plate seams
    };
    return m;
}

struct ShipEntry {
    Model (*model)();
    float scale;
};
// Each as large as it can be with its nose at SHIP_TOP_ROW.
constexpr ShipEntry SHIPS[qv::SHIP_COUNT] = {{talon, 0.96f}, {falcon, 0.94f}, {raptor, 0.87f}};

Camera ship_camera(float scale) {
    // Put the nozzle exit (0, 0, NOZZLE_Z) on the flame's anchor.
    const float e = SHIP_ELEVATION * 3.14159265f / 180.0f;
    const float up = NOZZLE_Z * std::sin(e);
    return {SHIP_ELEVATION, scale, NOZZLE_PX - 1, NOZZLE_PY - 1 + up * scale};
}

// ---- flames ----
struct FlameShape {
    float width;  // half width at the nozzle
    float length; // rows of flame below the nozzle
    float heat;   // 0..1: how far toward white the core burns
};
// Normal flames are short and orange, booster flames long and white-hot.
constexpr FlameShape FLAMES[2][FLAME_FRAMES] = {
    {{2.6f, 4.2f, 0.55f}, {2.9f, 5.0f, 0.65f}, {2.4f, 3.6f, 0.5f}},
    {{5.6f, 6.6f, 1.0f}, {6.4f, 7.0f, 0.95f}, {5.2f, 6.2f, 1.0f}},
};

void draw_flame(BITMAP *sheet, int x0, int y0, const FlameShape &f, std::uint64_t seed) {
    Rng rng(seed);
    const float cx = FLAME_W / 2.0f;
    for (int y = FLAME_FIRST_ROW; y < FLAME_H - 1; ++y) {
        // 0 at the nozzle, 1 at the tip.
        const float t = (static_cast<float>(y - FLAME_FIRST_ROW) + 0.5f) / f.length;
        if (t > 1) break;
        const float half = f.width * std::sqrt(std::max(0.0f, 1 - t * t)) * (1 - 0.25f * t);
        for (int x = 1; x < FLAME_W - 1; ++x) {
            const float dx = std::fabs(x + 0.5f - cx) / std::max(half, 0.3f);
            if (dx > 1) continue;
            const float jitter = static_cast<float>(rng.range(-0.12, 0.12));
            const float v = std::clamp((1 - dx) * (1 - 0.7f * t) * (0.6f + 0.6f * f.heat) + jitter, 0.0f, 1.0f);
            putpixel(sheet, x0 + x, y0 + y, ramp_index(FIRE, FIRE_N, 0.15 + 0.85 * v));
        }
    }
}

// ---- ground shadow ----
constexpr double SHIP_SHADOW_CORE = 110;
constexpr double SHIP_SHADOW_RIM = 205;

void draw_ship_shadow(BITMAP *sheet) {
    // The Falcon's outline from above, flattened by the view and softened.
    const Model m = falcon();
    const int w = SHADOW_W - 2;
    const int h = SHADOW_H - 2;
    std::vector<float> mask = plan_mask(m, w, h, SHIPS[1].scale, 0.5f, w / 2.0f, h / 2.0f + 1);
    std::vector<float> soft(mask.size(), 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float sum = 0;
            float wsum = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int xx = x + dx;
                    const int yy = y + dy;
                    const float k = (dx == 0 ? 2.0f : 1.0f) * (dy == 0 ? 2.0f : 1.0f);
                    wsum += k;
                    if (xx >= 0 && yy >= 0 && xx < w && yy < h) sum += k * mask[static_cast<size_t>(yy) * w + xx];
                }
            }
            soft[static_cast<size_t>(y) * w + x] = sum / wsum;
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float c = soft[static_cast<size_t>(y) * w + x];
            if (c < 0.12f) continue;
            const double level = mix(SHIP_SHADOW_RIM, SHIP_SHADOW_CORE, smoothstep(0.12, 0.9, c));
            putpixel(sheet, SHADOW_X + 1 + x, SHADOW_Y + 1 + y, static_cast<int>(std::lround(level)));
        }
    }
}

// ---- display plate ----
// Where the selection panel puts the ship picture over the plate: a ship
// pixel (x, y) lands on the plate's (x + 2, y - 4).
constexpr int SHIP_ON_PLATE_DX = 2;
constexpr int SHIP_ON_PLATE_DY = -4;
// The screen ends this far below the plate's top, past the ships' tails
// and the pedestal light under them; a console fills the rest.
constexpr int SCREEN_BOTTOM = 25;
constexpr int PEDESTAL_ROW = 21;

void draw_plate(BITMAP *sheet) {
    const int x0 = PLATE_X + 1;
    const int y0 = PLATE_Y + 1;
    const int x1 = PLATE_X + PLATE_W - 2;
    const int y1 = PLATE_Y + PLATE_H - 2;
    // Bevelled frame: light on the top and left, dark on the bottom and right.
    rectfill(sheet, x0, y0, x1, y1, PANEL_DARK + 3);
    vline(sheet, x0, y0 + 1, y1 - 1, PANEL_DARK + 6);
    hline(sheet, x0 + 1, y1, x1 - 1, PANEL_DARK);
    vline(sheet, x1, y0 + 1, y1 - 1, PANEL_DARK + 1);
    // The screen, where the ship shows: from the row above the ships' noses
    // down; deep teal, lit under the ship by its pedestal, with a faint grid.
    const int sx0 = x0 + 3, sx1 = x1 - 3;
    const int sy0 = PLATE_Y + SHIP_TOP_ROW + SHIP_ON_PLATE_DY - 1;
    const int sy1 = PLATE_Y + SCREEN_BOTTOM;
    rect(sheet, sx0 - 1, sy0 - 1, sx1 + 1, sy1 + 1, PANEL_DARK);
    hline(sheet, x0 + 1, y0, x1 - 1, PANEL_LIGHT);
    putpixel(sheet, x0, y0, 0);
    putpixel(sheet, x1, y0, 0);
    putpixel(sheet, x0, y1, 0);
    putpixel(sheet, x1, y1, 0);
    const float pcx = NOZZLE_PX + SHIP_ON_PLATE_DX + PLATE_X - 0.5f;
    const float pcy = static_cast<float>(PLATE_Y + PEDESTAL_ROW);
    for (int y = sy0; y <= sy1; ++y) {
        for (int x = sx0; x <= sx1; ++x) {
            const float dx = (x - pcx) / 17.0f;
            const float dy = (y - pcy) / 6.0f;
            const float glow = std::max(0.0f, 1 - std::sqrt(dx * dx + dy * dy));
            const float v = 0.08f + 0.2f * static_cast<float>(y - sy0) / (sy1 - sy0) + 0.45f * glow;
            const bool grid = ((x - sx0) % 6 == 0) || ((y - sy0) % 6 == 0);
            const float vv = grid ? v + 0.08f : v;
            putpixel(sheet, x, y, ramp_index(CYAN, CYAN_N, std::min(0.7f, vv)));
        }
    }
    // Corner marks on the screen.
    const int marks[4][2] = {{sx0, sy0}, {sx1, sy0}, {sx0, sy1}, {sx1, sy1}};
    for (const auto &mk : marks) {
        const int ddx = mk[0] == sx0 ? 1 : -1;
        const int ddy = mk[1] == sy0 ? 1 : -1;
        putpixel(sheet, mk[0], mk[1], CYAN + 12);
        putpixel(sheet, mk[0] + ddx, mk[1], CYAN + 10);
        putpixel(sheet, mk[0], mk[1] + ddy, CYAN + 10);
    }
    // The console under the screen: three status lamps and a vent.
    const int lamp_y = sy1 + 4;
    const int lamps[3] = {ACCENT_A, CYAN + 11, GOLD + 12};
    for (int k = 0; k < 3; ++k) {
        const int lx = sx0 + 1 + 4 * k;
        rectfill(sheet, lx, lamp_y, lx + 1, lamp_y + 1, lamps[k]);
        hline(sheet, lx, lamp_y + 2, lx + 1, PANEL_DARK + 1);
    }
    for (int y = lamp_y - 1; y <= lamp_y + 3; y += 2) {
        hline(sheet, sx0 + 14, y, sx1 - 1, PANEL_DARK);
        hline(sheet, sx0 + 14, y + 1, sx1 - 1, PANEL_DARK + 5);
    }
    // Rivets on the frame.
    const int rivets[4][2] = {{x0 + 1, y0 + 1}, {x1 - 1, y0 + 1}, {x0 + 1, y1 - 1}, {x1 - 1, y1 - 1}};
    for (const auto &r : rivets) putpixel(sheet, r[0], r[1], PANEL_LIGHT);
}

} // namespace

BITMAP *make_ship_icon(int size, PALETTE pal) {
    make_master_palette(pal);
    BITMAP *icon = create_bitmap_ex(8, size, size);
    clear_to_color(icon, 0);
    // The flight camera's view, the craft's sphere filling most of the icon.
    const Model craft = SHIPS[0].model();
    const float half = static_cast<float>(size) / 2.0f;
    const Camera cam{SHIP_ELEVATION, half * ICON_FILL / craft.radius, half, half};
    render_model(icon, 0, 0, size, size, craft, cam);
    return icon;
}

BITMAP *make_suits_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet();
    for (int type = 0; type < qv::SHIP_COUNT; ++type) {
        const Camera cam = ship_camera(SHIPS[type].scale);
        render_model(sheet, 1, SHIP_H * type + 1, SHIP_W - 2, SHIP_H - 2, SHIPS[type].model(), cam);
    }
    for (int booster = 0; booster < 2; ++booster) {
        for (int frame = 0; frame < FLAME_FRAMES; ++frame) {
            draw_flame(sheet, booster * FLAME_W, FLAME_TOP + frame * FLAME_H, FLAMES[booster][frame],
                       0x5EED0000u + static_cast<std::uint64_t>(booster * FLAME_FRAMES + frame));
        }
    }
    draw_ship_shadow(sheet);
    draw_plate(sheet);
    return sheet;
}

} // namespace assetgen
