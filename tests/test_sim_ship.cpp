// The player's ship: launch glide, steering, booster, trigger, pods, heat,
// and the far-flight recentring.
#include "harness/sim_fixture.h"

using namespace qv;
using qv::test::START;

namespace {

class ShipTest : public test::SimTest {
  protected:
    static void full_tick() {
        ship_step();
        booster_step();
        entity_step();
        weapons_step();
        cool_heat();
    }
};

TEST_F(ShipTest, LaunchGlideIgnoresControlsButTheBoosterMayStart) {
    g.launch_timer = 250;
    g.stage_end_timer = 3;
    for (int k : {KEY_LEFT, KEY_UP})
        hold_key(k);
    for (int a : {ACT_FIRE, ACT_BOOSTER})
        hold(a);
    fixed expect_x = START;
    for (int t = 250; t > 1; --t) {
        expect_x += fixmul(ftofix(t / 250.0), fixcos(0));
        full_tick();
    }
    EXPECT_EQ(g.player_heading, 0);
    EXPECT_EQ(g.player_x, expect_x); // the booster never sped the glide up
    EXPECT_EQ(count(KIND_PROJECTILE), 0);
    EXPECT_TRUE(g.booster_active);
    EXPECT_EQ(g.stage_end_timer, -1); // counted down during the glide, stopped at -1
    // The last glide step still steers nothing, but the trigger is live
    // in the same tick.
    full_tick();
    EXPECT_EQ(g.player_heading, 0);
    EXPECT_EQ(count(KIND_PROJECTILE), 1);
    full_tick();
    EXPECT_NE(g.player_heading, 0);
}

TEST_F(ShipTest, StrafeSlidesSidewaysKeepingTheHeadingAndBoostMultiplies) {
    const fixed h = ftofix(0.4); // the sideways angle starts from 0, rounded
    g.player_heading = g.cloud_heading = h;
    hold(ACT_STRAFE);
    hold_key(KEY_UP);
    for (int dir : {KEY_RIGHT, KEY_LEFT}) {
        hold_key(KEY_RIGHT, dir == KEY_RIGHT);
        hold_key(KEY_LEFT, dir == KEY_LEFT);
        const fixed side = itofix(dir == KEY_RIGHT ? 64 : 192);
        for (int boost : {0, 1}) {
            g.booster_active = static_cast<byte>(boost);
            const int b = boost ? ship_boost[0] : 1;
            const fixed x0 = g.player_x, y0 = g.player_y;
            ship_step();
            EXPECT_EQ(g.player_heading, h);
            EXPECT_EQ(g.player_x, x0 + b * fixcos(side) + b * fixcos(h));
            EXPECT_EQ(g.player_y, y0 + b * fixsin(side) + b * fixsin(h));
        }
    }
}

TEST_F(ShipTest, BoosterDoublesTheTurnAndOppositeKeysCancel) {
    g.ship_type = 1; // turns 0.75
    hold_key(KEY_LEFT);
    ship_step();
    g.booster_active = 1;
    ship_step();
    EXPECT_EQ(g.player_heading, wrap_angle(-ftofix(0.75) * 3));
    EXPECT_EQ(g.cloud_heading, g.player_heading);
    for (int k : {KEY_RIGHT, KEY_UP, KEY_DOWN})
        hold_key(k);
    const fixed h = g.player_heading, x = g.player_x, y = g.player_y;
    ship_step();
    EXPECT_EQ(g.player_heading, h);
    EXPECT_EQ(g.player_x, x);
    EXPECT_EQ(g.player_y, y);
}

TEST_F(ShipTest, BoosterBurnsWhileHeldUntilTheHeatLimitThenCoolsDown) {
    hold(ACT_BOOSTER);
    booster_step();
    booster_step();
    EXPECT_TRUE(g.booster_active);
    EXPECT_EQ(queued(56), 1);
    EXPECT_FLOAT_EQ(g.heat, 1.75f);
    g.heat = 258.5f;
    booster_step();
    EXPECT_FALSE(g.booster_active);
    for (int t = 0; t < 119; ++t)
        booster_step();
    EXPECT_FALSE(g.booster_active); // 120 ticks before it may start again
    booster_step();
    EXPECT_TRUE(g.booster_active); // and it may start at any heat
}

TEST_F(ShipTest, OnePodPerPressAndPodsRegrowOnlyBelowTheStock) {
    g.bombs = 2;
    g.pod_type = 1;
    hold(ACT_BOMB);
    weapons_step();
    weapons_step();
    EXPECT_EQ(g.bombs, 1);
    hold(ACT_BOMB, false);
    weapons_step();
    hold(ACT_BOMB);
    weapons_step();
    EXPECT_EQ(g.bombs, 0);

    g.bomb_regen_timer = 1;
    ship_step();
    EXPECT_EQ(g.bombs, 1);
    EXPECT_EQ(g.bomb_regen_timer, 7 * 70);
    g.bombs = ship_pod_max[0];
    ship_step();
    EXPECT_EQ(g.bomb_regen_timer, 7 * 70); // kept until a pod is used
}

TEST_F(ShipTest, HeatGatesTheGunAtTheLimit) {
    struct Case {
        int gun;
        float heat;
        bool fires;
    };
    // Gun 0 adds 20, Firestorm (5) 100: a shot may bring the gauge to 260
    // exactly, counting whole units.
    const Case cases[] = {{0, 240.0f, true},
                          {0, 240.99f, true},
                          {0, 241.0f, false},
                          {5, 160.0f, true},
                          {5, 161.0f, false}};
    for (const Case &c : cases) {
        SetUp();
        g.ent.gun[0] = static_cast<int16>(c.gun);
        g.heat = c.heat;
        g.score = 100;
        fire_gun(0);
        EXPECT_EQ(count(KIND_PROJECTILE) > 0, c.fires) << c.gun << " at " << c.heat;
        EXPECT_FLOAT_EQ(g.heat, c.fires ? c.heat + gun_heat[c.gun] : c.heat);
        EXPECT_EQ(g.score, c.fires ? 98 : 100);
    }
    g.heat = 1.5f;
    cool_heat();
    cool_heat();
    EXPECT_FLOAT_EQ(g.heat, 0.5f); // rests below one unit
}

TEST_F(ShipTest, FarFlightRecentresWithoutVisibleChange) {
    const fixed tile = itofix(1024);
    const auto ground_spot = [tile](fixed v) { return (v % tile + tile) % tile; };
    g.player_x = g.ent.x[0] = START + itofix(8190);
    place_enemy(400, 10, 16000 + 8190 + 100, 16050);
    g.booster_active = 1;
    hold_key(KEY_UP);
    ship_step();
    // 3 px further the ship is past the limit: everything moves back 8192.
    EXPECT_EQ(g.player_x, START + itofix(1));
    EXPECT_EQ(g.ent.x[400] - g.player_x, itofix(97));
    EXPECT_EQ(g.ent.x[0], START - itofix(2));

    // Long flight in one direction keeps every number small; an object left
    // far behind comes along by whole ground periods.
    g.player_heading = g.cloud_heading = itofix(37);
    const fixed enemy_spot = ground_spot(g.ent.x[400]);
    for (int t = 0; t < 200000; ++t) {
        ship_step();
        ASSERT_LT(std::abs(fixtoi(g.player_x) - 16000), 8200);
        ASSERT_LT(std::abs(fixtoi(g.player_y) - 16000), 8200);
        ASSERT_LE(std::abs(fixtoi(g.ent.x[400] - g.player_x)), 8192);
        ASSERT_EQ(ground_spot(g.ent.x[400]), enemy_spot);
    }
}

} // namespace
