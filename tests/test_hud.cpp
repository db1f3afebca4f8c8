// The flight instruments with the generated art: reference frames, and where
// those do not look, odd values drawn as the plain ones they stand for.
#include "assets/game_data.h"
#include "core/game_state.h"
#include "golden_ui/golden.h"
#include "render/hud.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>

using namespace qv;

namespace {

constexpr int GROUND = 200; // one of the ground's colours

// Stage 1's instruments over a black ground.
class HudTest : public ::testing::Test {
  protected:
    std::optional<test::GameArt> art;

    void SetUp() override {
        test::reset_state();
        art.emplace();
        ASSERT_TRUE(art->loaded()) << art->error();
        g.current_stage = 0;
        load_stage_graphics();
        std::memset(&g.snap, 0, sizeof g.snap);
        std::memset(g.detail, 0, sizeof g.detail);
    }
    // Over `ground`: the radar's hole is cut out of what lies under it, and
    // colour 0 (a masked copy's clear colour) never shows the cut.
    test::BitmapPtr drawn(int ground = 0) {
        clear_to_color(g.back_buffer, ground);
        draw_hud();
        test::BitmapPtr copy = test::make_bitmap(FRAME_W, FRAME_H);
        blit(g.back_buffer, copy.get(), 0, 0, 0, 0, FRAME_W, FRAME_H);
        return copy;
    }
    void add_ship(int slot, int x, int y, int16 kind = KIND_ENEMY) {
        g.snap.ent.active[slot] = 1;
        g.snap.ent.kind[slot] = kind;
        g.snap.ent.x[slot] = itofix(x);
        g.snap.ent.y[slot] = itofix(y);
    }
};

TEST_F(HudTest, ReferenceFrames) {
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
    for (int i = 0; i < 6; ++i)
        add_ship(10 + i, ships[i][0], ships[i][1]);
    test::expect_golden(drawn().get(), g.game_palette, "hud_radar");

    // Worn out: no armour, overheated, no bombs, radar switched off.
    g.detail[DETAIL_ACTIVE_RADAR] = 0;
    g.snap.ent.hp[0] = -40;
    g.snap.heat = 300.0f;
    g.snap.bombs = 0;
    test::expect_golden(drawn().get(), g.game_palette, "hud_spent");
}

TEST_F(HudTest, GaugesPastTheirEndsAndGarbageShowAsTheEnds) {
    const test::BitmapPtr empty = drawn();
    for (float heat : {-50.0f, NAN}) {
        g.snap.heat = heat;
        EXPECT_EQ(test::first_difference(drawn().get(), empty.get()), "") << heat;
    }
    g.snap.heat = 0;
    g.snap.ship_type = 5; // no such ship: no armour to show
    g.snap.ent.hp[0] = 100;
    EXPECT_EQ(test::first_difference(drawn().get(), empty.get()), "");

    g.snap.ship_type = 2;
    g.snap.heat = HEAT_LIMIT;
    g.snap.ent.hp[0] = ship_armor[2];
    const test::BitmapPtr full = drawn();
    g.snap.heat = 1000;
    g.snap.ent.hp[0] = ship_armor[2] + 50;
    EXPECT_EQ(test::first_difference(drawn().get(), full.get()), "");
}

TEST_F(HudTest, OnlyLiveEnemiesInsideTheRadarsHoleShow) {
    g.detail[DETAIL_ACTIVE_RADAR] = 1;
    g.view_x = g.view_y = itofix(1000);
    const test::BitmapPtr none = drawn(GROUND);
    add_ship(0, 1350, 1000, KIND_PLAYER);
    add_ship(7, 1350, 1000, KIND_PROJECTILE);
    add_ship(8, 1350, 1000);
    g.snap.ent.active[8] = 0;
    add_ship(9, 1805, 1770);         // (310, 150): inside the clip, outside the hole
    add_ship(10, 6000, 1000);        // far away
    add_ship(11, -2000000, 2001000); // absurdly far: no overflow
    EXPECT_EQ(test::first_difference(drawn(GROUND).get(), none.get()), "");
}

} // namespace
