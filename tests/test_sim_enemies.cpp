// Enemy spawns, the stage script, the two-mode steering and fire, bearing
// and distance.
#include "harness/sim_fixture.h"

#include <cmath>

using namespace qv;
using qv::test::START;

namespace {

using EnemyTest = test::SimTest;

TEST_F(EnemyTest, SpawnsOnTheRingAroundTheLivePose) {
    g.player_x = START + itofix(5); // the live pose, not slot 0's copy
    g.player_heading = itofix(33);
    g.ent.fire_timer[499] = 7;
    ASSERT_EQ(spawn_enemy(12), 499);
    EntityTable &e = g.ent;
    EXPECT_EQ(e.hp[499], 250);
    EXPECT_EQ(e.heading[499], itofix(33));
    EXPECT_EQ(e.fire_timer[499], 7); // kept from the slot's last occupant
    double nearest = 1e9, farthest = 0;
    for (int n = 0; n < 400; ++n) {
        clear_slot(499);
        spawn_enemy(10);
        const double d = std::hypot(fixtof(e.x[499] - g.player_x), fixtof(e.y[499] - g.player_y));
        nearest = std::min(nearest, d);
        farthest = std::max(farthest, d);
    }
    EXPECT_GT(nearest, 349.0);
    EXPECT_LT(nearest, 360.0);
    EXPECT_GT(farthest, 610.0);
    EXPECT_LT(farthest, 625.0);
}

TEST_F(EnemyTest, TypesOutsideTheTableAndAFullTableSpawnNothing) {
    auto before = copy_table();
    for (int type : {-1, 0, 9, 16, 64, 999})
        EXPECT_EQ(spawn_enemy(type), -1) << type;
    EXPECT_TRUE(table_unchanged(before));
    fill_table(0);
    before = copy_table();
    EXPECT_EQ(spawn_enemy(10), -1);
    EXPECT_TRUE(table_unchanged(before));
}

TEST_F(EnemyTest, WavesFollowTheScriptToItsEnd) {
    for (int stage = 0; stage < STAGES; ++stage) {
        SetUp();
        g.current_stage = static_cast<int16>(stage);
        int w = 0;
        for (; wave_script[stage][w][0] != SCRIPT_END; ++w) {
            int size = 0;
            while (wave_script[stage][w][size] != WAVE_END)
                ++size;
            ASSERT_EQ(spawn_wave(), 1);
            EXPECT_EQ(count(KIND_ENEMY), size) << stage << "/" << w;
            EXPECT_EQ(g.wave_index, w + 1);
            for (int s = 1; s < SLOT_COUNT; ++s)
                clear_slot(s);
        }
        EXPECT_EQ(spawn_wave(), 0);
        EXPECT_EQ(g.wave_index, w); // stays on the end marker
    }
    // Once the stage is ending nothing more comes.
    SetUp();
    g.stage_end_timer = 200;
    EXPECT_EQ(spawn_wave(), 1);
    EXPECT_EQ(count(KIND_ENEMY), 0);
    EXPECT_EQ(g.wave_index, 0);
}

TEST_F(EnemyTest, AnEnemyThatFindsTheTableFullIsOwedNotDropped) {
    // Wave 0 of the first stage lists two enemies; the next wave needs both
    // destroyed, so a dropped one would stall the stage for good.
    fill_table(1);
    ASSERT_EQ(spawn_wave(), 1);
    EXPECT_EQ(g.wave_index, 1);
    EXPECT_EQ(count(KIND_ENEMY), 1);
    ASSERT_EQ(g.owed_count, 1);
    spawn_owed_enemies(); // still no room
    EXPECT_EQ(g.owed_count, 1);
    g.ent.active[300] = 0;
    spawn_owed_enemies();
    EXPECT_EQ(g.owed_count, 0);
    EXPECT_EQ(count(KIND_ENEMY), 2);
    EXPECT_EQ(g.ent.kind[300], KIND_ENEMY);
}

TEST_F(EnemyTest, CirclesNearApproachesFarWithAHysteresis) {
    // Enemies straight to the +x side of the ship: the ship bears 128.
    const int circling = place_enemy(10, 10, 16600, 16000);
    const int leaving = place_enemy(11, 10, 16601, 16000);
    const int approaching = place_enemy(12, 10, 16400, 16000);
    const int arriving = place_enemy(13, 10, 16399, 16000);
    const int other_way = place_enemy(14, 10, 16300, 16000);
    g.ent.ai_mode[approaching] = g.ent.ai_mode[arriving] = 2;
    g.ent.orbit_side[other_way] = 0;
    for (int s : {leaving, arriving})
        g.ent.heading[s] = itofix(7);
    enemy_ai_step();
    EntityTable &e = g.ent;
    EXPECT_EQ(e.ai_mode[circling], 1);
    EXPECT_EQ(e.heading[circling], itofix(192));
    EXPECT_EQ(e.heading[other_way], itofix(64));
    EXPECT_EQ(e.ai_mode[leaving], 2);
    EXPECT_EQ(e.heading[leaving], itofix(7)); // the switch takes the whole step
    EXPECT_EQ(e.ai_mode[approaching], 2);
    EXPECT_EQ(e.heading[approaching], itofix(128));
    EXPECT_EQ(e.ai_mode[arriving], 1);
    EXPECT_EQ(e.heading[arriving], itofix(7));
    EXPECT_EQ(count(KIND_PROJECTILE), 0);
}

TEST_F(EnemyTest, ShotsFaceTheShipForAnInstantButNotFromTheDying) {
    const int e1 = place_enemy(10, 11, 16300, 16000); // gun 10: three shots
    EntityTable &e = g.ent;
    e.fire_timer[e1] = 0;
    enemy_ai_step();
    EXPECT_EQ(e.heading[e1], itofix(192)); // back to circling after the shot
    EXPECT_EQ(e.heading[499], itofix(126));
    EXPECT_EQ(count(KIND_PROJECTILE), 3);
    // A dying enemy neither steers nor fires, but its fire timer runs on.
    e.state[e1] = ENEMY_DYING;
    e.fire_timer[e1] = 0;
    e.heading[e1] = itofix(9);
    enemy_ai_step();
    EXPECT_EQ(e.heading[e1], itofix(9));
    EXPECT_GE(e.fire_timer[e1], 17);
    EXPECT_EQ(count(KIND_PROJECTILE), 3);
}

TEST(Bearing, PointsFromTheSecondPointTowardTheFirst) {
    struct Case {
        int dx, dy, expect;
    };
    // The truncations leave some results a unit low (255 instead of 0);
    // straight above and below have their own two values.
    const Case cases[] = {{10, 0, 128},   {-10, 0, 255}, {0, 10, 128},   {0, -10, 0},
                          {0, 0, 0},      {10, 10, 159}, {-10, 10, 224}, {10, -10, 96},
                          {-10, -10, 31}, {300, 1, 128}, {-1, 300, 192}};
    for (const Case &c : cases)
        EXPECT_EQ(bearing(1000, 2000, 1000 + c.dx, 2000 + c.dy), c.expect) << c.dx << "," << c.dy;
}

TEST(Distance, TruncatesAndNeverOverflows) {
    EXPECT_EQ(distance(0, 0, 3, 4), 5);
    EXPECT_EQ(distance(0, 0, 1, 1), 1);
    EXPECT_EQ(distance(-30000, 0, 30000, 0), 60000);
    EXPECT_EQ(distance(-30000, -30000, 30000, 30000), 84852);
}

} // namespace
