// The flight instruments on a synthetic HUD sheet whose pictures are solid
// blocks of distinct colours, so each copied piece can be told apart.
#include "core/game_state.h"
#include "golden_ui/golden.h"
#include "render/hud.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace qv;

namespace {

constexpr int BG = 7, FRAME = 1, BEZEL = 2, ARMOR_COVER = 3, HEAT_COVER = 4, BOMB = 5;
constexpr int RING_GLOW = 77;

class HudTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::reset_state();
        std::memset(&g.snap, 0, sizeof g.snap);
        std::memset(g.detail, 0, sizeof g.detail);
        g.hud_sheet = create_bitmap(320, 200);
        clear_bitmap(g.hud_sheet);
        rectfill(g.hud_sheet, 0, 0, 18, 57, FRAME);
        rect(g.hud_sheet, 19, 0, 69, 50, BEZEL); // a bezel one can see through
        rectfill(g.hud_sheet, 0, 58, 5, 64, BOMB);
        rectfill(g.hud_sheet, 0, 68, 3, 119, ARMOR_COVER);
        rectfill(g.hud_sheet, 6, 68, 9, 119, HEAT_COVER);
        g.back_buffer = create_bitmap(320, 200);
        clear_to_color(g.back_buffer, BG);
        for (int l = 0; l < 256; ++l)
            for (int c = 0; c < 256; ++c)
                g.glow_map.data[l][c] = static_cast<unsigned char>(c);
        std::memset(g.glow_map.data[210], RING_GLOW, 256);
        g.view_x = g.view_y = itofix(1000);
    }
    void TearDown() override {
        destroy_bitmap(g.back_buffer);
        destroy_bitmap(g.hud_sheet);
        g.back_buffer = g.hud_sheet = nullptr;
    }

    int px(int x, int y) const { return getpixel(g.back_buffer, x, y); }
    void redraw() {
        clear_to_color(g.back_buffer, BG);
        draw_hud();
    }
    // Uncovered rows of a tube; the cover must sit at its top, inside it.
    int visible_rows(int column, int cover) const {
        int covered = 0;
        for (int y = 0; y < FRAME_H; ++y)
            if (px(column, y) == cover) {
                EXPECT_EQ(y, 143 + covered++);
            }
        return 52 - covered;
    }
    void add_ship(int slot, int x, int y, int16 kind = KIND_ENEMY) {
        g.snap.ent.active[slot] = 1;
        g.snap.ent.kind[slot] = kind;
        g.snap.ent.x[slot] = itofix(x);
        g.snap.ent.y[slot] = itofix(y);
    }
};

TEST_F(HudTest, GaugesAtEmptyFullAndBeyond) {
    const struct {
        float heat;
        int rows;
    } heats[] = {{0, 0},    {5, 1},     {130, 26}, {259.9f, 51},
                 {260, 52}, {1000, 52}, {-50, 0},  {NAN, 0}};
    for (const auto &k : heats) {
        g.snap.heat = k.heat;
        redraw();
        EXPECT_EQ(visible_rows(17, HEAT_COVER), k.rows) << k.heat;
    }
    const struct {
        int16 ship, hp;
        int rows;
    } armours[] = {{0, -10, 0},  {0, 100, 26}, {0, 200, 52}, {0, 250, 52},
                   {2, 100, 13}, {1, 299, 51}, {5, 100, 0}};
    for (const auto &k : armours) {
        g.snap.ship_type = k.ship;
        g.snap.ent.hp[0] = k.hp;
        redraw();
        EXPECT_EQ(visible_rows(7, ARMOR_COVER), k.rows) << k.ship << " " << k.hp;
    }
    EXPECT_EQ(px(3, 140), FRAME);
}

TEST_F(HudTest, BombIconsStackUpward) {
    redraw();
    for (int y = 0; y < FRAME_H; ++y)
        EXPECT_NE(px(23, y), BOMB);
    g.snap.bombs = 4;
    redraw();
    for (int y : {190, 182, 174, 166}) {
        EXPECT_EQ(px(23, y), BOMB);
        EXPECT_EQ(px(28, y + 6), BOMB);
        EXPECT_EQ(px(23, y - 1), BG);
    }
}

TEST_F(HudTest, RadarBlips) {
    add_ship(5, 1350, 1000);
    g.snap.radar_frame = 10;
    redraw(); // radar off: no picture, no bezel
    for (int y = 140; y < FRAME_H; ++y)
        for (int x = 255; x < FRAME_W; ++x)
            ASSERT_EQ(px(x, y), BG);

    // Heading 0 faces +x: 350 ahead is 10 px above the origin row, 350 to
    // the right (+y) 10 px right of it.
    g.detail[DETAIL_ACTIVE_RADAR] = 1;
    add_ship(6, 1000, 1350);
    redraw();
    EXPECT_EQ(px(288, 163), 93);
    for (int d : {-1, 1}) {
        EXPECT_EQ(px(288 + d, 163), 95);
        EXPECT_EQ(px(288, 163 + d), 95);
    }
    EXPECT_EQ(px(298, 173), 93);
    EXPECT_EQ(px(263, 144), BEZEL);

    // A quarter turn clockwise puts the ship at +y straight ahead.
    g.snap.player_heading = itofix(64);
    g.snap.ent.active[5] = 0;
    redraw();
    EXPECT_EQ(px(288, 163), 93);
    EXPECT_EQ(px(298, 173), BG);
}

TEST_F(HudTest, OnlyLiveShipsInsideTheHoleShow) {
    g.detail[DETAIL_ACTIVE_RADAR] = 1;
    add_ship(0, 1350, 1000, KIND_PLAYER);
    add_ship(7, 1350, 1000, KIND_PROJECTILE);
    add_ship(8, 1350, 1000);
    g.snap.ent.active[8] = 0;
    add_ship(9, 1805, 1770);         // (310, 150): inside the clip, outside the hole
    add_ship(10, 6000, 1000);        // far away
    add_ship(11, -2000000, 2001000); // absurdly far: no overflow
    redraw();
    for (int y = 144; y < FRAME_H; ++y)
        for (int x = 263; x < FRAME_W; ++x) {
            if (x == 288 && y == 169)
                continue; // the pulse between rings: a dot
            ASSERT_TRUE(px(x, y) == BG || px(x, y) == BEZEL) << x << "," << y;
        }
}

TEST_F(HudTest, PulseRingGlowsAndStateIsRestored) {
    g.detail[DETAIL_ACTIVE_RADAR] = 1;
    g.snap.radar_frame = 10;
    redraw();
    EXPECT_EQ(px(298, 169), RING_GLOW);
    EXPECT_EQ(px(288, 159), RING_GLOW);
    EXPECT_EQ(px(288, 169), BG);
    EXPECT_EQ(g.back_buffer->cr, FRAME_W); // whole-bitmap clip again
    EXPECT_EQ(g.back_buffer->ct, 0);
    putpixel(g.back_buffer, 0, 0, 210); // solid mode again
    EXPECT_EQ(px(0, 0), 210);
}

} // namespace

// ---- reference frames with the generated art ----

TEST(HudGolden, Instruments) {
    test::reset_state();
    test::GameArt art;
    ASSERT_TRUE(art.loaded()) << art.error();
    g.current_stage = 0;
    load_stage_graphics();
    std::memset(&g.snap, 0, sizeof g.snap);
    std::memset(g.detail, 0, sizeof g.detail);

    // Mid-fight: armour and heat part-way, three bombs, a pulse on the radar.
    g.detail[DETAIL_ACTIVE_RADAR] = 1;
    g.snap.ent.hp[0] = 130;
    g.snap.heat = 150.0f;
    g.snap.bombs = 3;
    g.snap.radar_frame = 14;
    g.snap.player_heading = itofix(40);
    g.view_x = g.view_y = itofix(16000);
    const int ships[][2] = {{16300, 15900}, {15800, 16200}, {16100, 16500},
                            {16600, 16000}, {15500, 15500}, {20000, 16000}};
    for (int i = 0; i < 6; ++i) {
        g.snap.ent.active[10 + i] = 1;
        g.snap.ent.kind[10 + i] = KIND_ENEMY;
        g.snap.ent.x[10 + i] = itofix(ships[i][0]);
        g.snap.ent.y[10 + i] = itofix(ships[i][1]);
    }
    clear_bitmap(g.back_buffer);
    draw_hud();
    test::expect_golden(g.back_buffer, g.game_palette, "hud_radar");

    // Worn out: no armour, overheated, no bombs, radar switched off.
    g.detail[DETAIL_ACTIVE_RADAR] = 0;
    g.snap.ent.hp[0] = -40;
    g.snap.heat = 300.0f;
    g.snap.bombs = 0;
    clear_bitmap(g.back_buffer);
    draw_hud();
    test::expect_golden(g.back_buffer, g.game_palette, "hud_spent");
}
