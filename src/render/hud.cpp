// Flight instruments in the lower corners: the armour and heat tubes with the
// bomb column on the left, the round radar on the right. Everything is read
// from the frame's snapshot, so the gauges match the world drawn beneath.
#include "render/hud.h"

#include "assets/game_data.h"
#include "core/game_state.h"

#include <algorithm>
#include <cstdint>

namespace qv {

namespace {

// ---- gauge frame and tubes ----
constexpr int FRAME_SRC_X = 0, FRAME_SRC_Y = 0, FRAME_W_PX = 19, FRAME_H_PX = 58;
constexpr int FRAME_X = 3, FRAME_Y = 140;

struct Fill {
    int x1, y1, x2, y2, colour;
};
// The tube linings, armour (left) then heat (right); the gauge pictures are
// copied over them from the top down.
constexpr Fill TUBE_FILLS[] = {
    {6, 143, 9, 163, 21},    {6, 164, 8, 164, 21},    {6, 165, 7, 194, 21},
    {7, 144, 8, 162, 19},    {7, 148, 8, 158, 17},    {15, 174, 18, 194, 102},
    {16, 173, 18, 173, 102}, {17, 143, 18, 172, 102}, {16, 175, 17, 193, 100},
    {16, 179, 17, 189, 98},
};

constexpr int TUBE_LENGTH = 52;
constexpr int TUBE_WIDTH = 4;
constexpr int TUBE_TOP = 143;
constexpr int HEAT_COVER_SRC_X = 6, HEAT_COVER_SRC_Y = 68, HEAT_TUBE_X = 15;
constexpr int ARMOR_COVER_SRC_X = 0, ARMOR_COVER_SRC_Y = 68, ARMOR_TUBE_X = 6;

// ---- bombs ----
constexpr int BOMB_SRC_X = 0, BOMB_SRC_Y = 58, BOMB_W = 6, BOMB_H = 7;
constexpr int BOMB_X = 23, BOMB_BOTTOM_Y = 190, BOMB_STEP = 8;

// ---- radar ----
constexpr int RADAR_X = 264, RADAR_Y = 146, RADAR_W = 50, RADAR_H = 49;
constexpr int RADAR_HOLE_CX = 23, RADAR_HOLE_CY = 23, RADAR_HOLE_R = 24;
constexpr int RADAR_CLIP_X1 = 265, RADAR_CLIP_Y1 = 146, RADAR_CLIP_X2 = 313, RADAR_CLIP_Y2 = 193;
constexpr int RADAR_SCALE = 35; // world units per radar pixel
constexpr int RADAR_ORIGIN_X = 288, RADAR_ORIGIN_Y = 173;
constexpr int PULSE_CX = 288, PULSE_CY = 169;
constexpr int BLIP_CENTRE_COLOUR = 93, BLIP_ARM_COLOUR = 95;
constexpr int PULSE_LEVEL = 210;
constexpr int FIRST_ENEMY_KIND = 20; // kinds above 19 are ships
constexpr int BEZEL_SRC_X = 19, BEZEL_SRC_Y = 0, BEZEL_SIZE = 51;
constexpr int BEZEL_X = 263, BEZEL_Y = 144;
// Farther than this from the camera on either axis a blip is far outside the
// radar's circle (24 px x 35 units); skipping it early also keeps the fixed
// arithmetic below well inside its range.
constexpr std::int64_t RADAR_REACH = static_cast<std::int64_t>(4096) << 16;

// The tube picture covers the unfilled part from the top: `filled` rows of
// the 52 stay visible at the bottom.
void cover_tube(int src_x, int src_y, int dest_x, int filled) {
    const int covered = TUBE_LENGTH - filled;
    if (covered > 0)
        blit(g.hud_sheet, g.back_buffer, src_x, src_y, dest_x, TUBE_TOP, TUBE_WIDTH, covered);
}

// Rows of the tube to show for value/limit, within 0..52. Out-of-range
// values (overheat, overfull armour, garbage) are clamped before the
// conversion so it can never overflow.
int tube_rows(double fraction) {
    const double m = fraction * TUBE_LENGTH;
    if (!(m > 0.0))
        return 0; // also a NaN heat
    if (m >= TUBE_LENGTH)
        return TUBE_LENGTH;
    return static_cast<int>(m); // truncates
}

// A radar reused frame after frame: the background under the radar, with
// a round hole punched in it.
BITMAP *radar_backdrop() {
    static BITMAP *backdrop = nullptr;
    if (!backdrop)
        backdrop = create_bitmap_ex(bitmap_color_depth(g.back_buffer), RADAR_W, RADAR_H);
    return backdrop;
}

} // namespace

void draw_hud() {
    BITMAP *bb = g.back_buffer;
    masked_blit(g.hud_sheet, bb, FRAME_SRC_X, FRAME_SRC_Y, FRAME_X, FRAME_Y, FRAME_W_PX,
                FRAME_H_PX);
    for (const Fill &f : TUBE_FILLS)
        rectfill(bb, f.x1, f.y1, f.x2, f.y2, f.colour);

    cover_tube(HEAT_COVER_SRC_X, HEAT_COVER_SRC_Y, HEAT_TUBE_X,
               tube_rows(g.snap.heat / static_cast<double>(HEAT_LIMIT)));

    // A negative armour reads as empty. The snapshot is a copy, so the value
    // is clamped here; the ship step treats hp <= 0 as lost and never needs it
    // written back.
    const int hp = std::max<int>(g.snap.ent.hp[0], 0);
    const int ship = g.snap.ship_type;
    const int full = (ship >= 0 && ship < SHIP_COUNT) ? ship_armor[ship] : 0;
    const int armour_rows = full > 0 ? tube_rows(static_cast<double>(hp) / full) : 0;
    cover_tube(ARMOR_COVER_SRC_X, ARMOR_COVER_SRC_Y, ARMOR_TUBE_X, armour_rows);

    if (g.detail[DETAIL_ACTIVE_RADAR])
        draw_radar();

    // Icons stack upward; those above the top of the screen are not drawn.
    const int bombs = std::min<int>(g.snap.bombs, (BOMB_BOTTOM_Y + BOMB_H) / BOMB_STEP + 1);
    for (int i = 0; i < bombs; ++i)
        masked_blit(g.hud_sheet, bb, BOMB_SRC_X, BOMB_SRC_Y, BOMB_X, BOMB_BOTTOM_Y - BOMB_STEP * i,
                    BOMB_W, BOMB_H);
}

void draw_radar() {
    BITMAP *bb = g.back_buffer;
    BITMAP *backdrop = radar_backdrop();
    if (!backdrop)
        return;

    blit(bb, backdrop, RADAR_X, RADAR_Y, 0, 0, RADAR_W, RADAR_H);
    circlefill(backdrop, RADAR_HOLE_CX, RADAR_HOLE_CY, RADAR_HOLE_R, 0);

    set_clip_rect(bb, RADAR_CLIP_X1, RADAR_CLIP_Y1, RADAR_CLIP_X2, RADAR_CLIP_Y2);

    // Straight ahead is up: rotate by the heading; C is the negated cosine.
    const fixed heading = wrap_angle(g.snap.player_heading);
    const fixed c = fixcos(heading - itofix(128));
    const fixed s = fixsin(heading);
    const EntityTable &ent = g.snap.ent;
    for (int i = 1; i < SLOT_COUNT; ++i) {
        if (!ent.active[i] || ent.kind[i] < FIRST_ENEMY_KIND)
            continue;
        const std::int64_t dx64 = static_cast<std::int64_t>(ent.x[i]) - g.view_x;
        const std::int64_t dy64 = static_cast<std::int64_t>(g.view_y) - ent.y[i];
        if (dx64 > RADAR_REACH || dx64 < -RADAR_REACH || dy64 > RADAR_REACH || dy64 < -RADAR_REACH)
            continue;
        const fixed dx = static_cast<fixed>(dx64);
        const fixed dy = static_cast<fixed>(dy64);
        const fixed rx = fixmul(dy, c) - fixmul(dx, s);
        const fixed ry = fixmul(dy, s) + fixmul(dx, c);
        const int px = fixtoi(rx / RADAR_SCALE) + RADAR_ORIGIN_X;
        const int py = fixtoi(ry / RADAR_SCALE) + RADAR_ORIGIN_Y;
        putpixel(bb, px, py, BLIP_CENTRE_COLOUR);
        putpixel(bb, px + 1, py, BLIP_ARM_COLOUR);
        putpixel(bb, px - 1, py, BLIP_ARM_COLOUR);
        putpixel(bb, px, py + 1, BLIP_ARM_COLOUR);
        putpixel(bb, px, py - 1, BLIP_ARM_COLOUR);
    }

    color_map = &g.glow_map;
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    circle(bb, PULSE_CX, PULSE_CY, g.snap.radar_frame, PULSE_LEVEL);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);

    set_clip_rect(bb, 0, 0, bb->w - 1, bb->h - 1);

    // Everything outside the hole returns to the background, so blips and
    // the ring show only inside the circle.
    masked_blit(backdrop, bb, 0, 0, RADAR_X, RADAR_Y, RADAR_W, RADAR_H);
    masked_blit(g.hud_sheet, bb, BEZEL_SRC_X, BEZEL_SRC_Y, BEZEL_X, BEZEL_Y, BEZEL_SIZE,
                BEZEL_SIZE);
}

} // namespace qv
