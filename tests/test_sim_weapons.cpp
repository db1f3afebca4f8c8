// Guns, pods, projectile motion, lifetimes and smoke trails.
#include "harness/sim_fixture.h"

#include <set>

using namespace qv;
using qv::test::START;

namespace {

using WeaponsTest = test::SimTest;

// Headings of the live projectiles, from the top slot down.
std::vector<fixed> shot_headings() {
    std::vector<fixed> h;
    for (int s = SLOT_COUNT - 1; s >= 1; --s)
        if (g.ent.active[s] && g.ent.kind[s] == KIND_PROJECTILE)
            h.push_back(g.ent.heading[s]);
    return h;
}

TEST_F(WeaponsTest, SingleShotsSpreadOverWholeUnitsKeepingTheFraction) {
    std::set<fixed> seen;
    for (int n = 0; n < 200; ++n) {
        g.ent.active[499] = 0;
        g.ent.heading[0] = ftofix(1.25);
        g.heat = 0;
        fire_gun(0); // gun 0: spread 2
        seen.insert(g.ent.heading[499]);
    }
    EXPECT_EQ(seen, (std::set<fixed>{ftofix(255.25), ftofix(0.25), ftofix(1.25), ftofix(2.25),
                                     ftofix(3.25)}));
    EXPECT_EQ(g.ent.x[499], START); // the player's shots start at the ship
    g.ent.gun[0] = 1;               // spread 0: exactly along the heading
    fire_gun(0);
    EXPECT_EQ(g.ent.heading[498], ftofix(1.25));
}

TEST_F(WeaponsTest, FansOfThreeKeepTheFractionFansOfFiveSnapToWholeAngles) {
    const int enemy = place_enemy(10, 11, 16100, 16000); // gun 10: three shots
    g.ent.heading[enemy] = ftofix(10.5);
    fire_gun(enemy);
    EXPECT_EQ(shot_headings(), (std::vector<fixed>{ftofix(8.5), ftofix(10.5), ftofix(12.5)}));
    // An enemy's shots start 20 px ahead along each shot and cost nothing.
    EXPECT_EQ(g.ent.x[499], itofix(16100) + 20 * fixcos(ftofix(8.5)));
    EXPECT_FLOAT_EQ(g.heat, 0.0f);

    SetUp();
    g.ent.gun[0] = 5; // Firestorm: five shots
    g.ent.heading[0] = ftofix(1.5);
    fire_gun(0);
    EXPECT_EQ(shot_headings(),
              (std::vector<fixed>{itofix(254), 0, itofix(2), itofix(4), itofix(6)}));
    EXPECT_EQ(queued(15), 1); // one sound per call
}

TEST_F(WeaponsTest, FullTableStopsTheShotAndSkipsEveryCreator) {
    fill_table(2);
    g.ent.gun[0] = 5;
    g.score = 100;
    fire_gun(0);
    EXPECT_EQ(count(KIND_PROJECTILE), 2);
    EXPECT_EQ(g.sound_queue_len, 0);
    EXPECT_EQ(g.score, 100);
    EXPECT_FLOAT_EQ(g.heat, 0.0f);

    // Nothing free: no creator writes anywhere (a slot -1 write would land
    // in a neighbouring array).
    SetUp();
    fill_table(0);
    g.score = 100;
    g.bombs = 3;
    g.pod_type = 1;
    g.ent.trail[200] = g.ent.trail_timer[200] = 1;
    const auto full = copy_table();
    launch_pod(); // the rocket is skipped, the pod still spent
    spawn_spark(0);
    EXPECT_TRUE(table_unchanged(full));
    EXPECT_EQ(g.bombs, 2);
    EXPECT_EQ(g.score, 60);
    entity_step(); // a smoke puff is due
    g.ent.trail_timer[200] = 1;
    EXPECT_TRUE(table_unchanged(full));
}

TEST_F(WeaponsTest, PodsFireFromTheirOwnGunsAndRestoreTheShip) {
    g.bombs = 3;
    g.score = 1000;
    g.ent.heading[0] = itofix(3);
    g.pod_type = 0; // Pulsar: one call of the five-shot gun 8
    launch_pod();
    EXPECT_EQ(count(KIND_PROJECTILE), 5);
    EXPECT_EQ(g.score, 1000 - 2 - 40);
    g.pod_type = 2; // Steel Halo: 64 calls of gun 7, one every 4 units
    launch_pod();
    std::set<fixed> ring;
    for (int s = 1; s < SLOT_COUNT; ++s)
        if (g.ent.active[s] && g.ent.gun[s] == GUN_RING)
            ring.insert(g.ent.heading[s]);
    EXPECT_EQ(ring.size(), 64u);
    EXPECT_EQ(*ring.rbegin(), itofix(252));
    EXPECT_EQ(g.ent.heading[0], itofix(3));
    EXPECT_EQ(g.ent.gun[0], 0);
    EXPECT_EQ(g.score, 958 - 64 * 2 - 40);
    g.pod_type = 1; // Rockets
    launch_pod();
    launch_pod(); // none left: free
    EXPECT_EQ(g.score, 790 - 40);
    EXPECT_EQ(count(KIND_PROJECTILE), 5 + 64 + 1);
}

TEST_F(WeaponsTest, ObjectsMoveLiveOutTheirTimeAndTrailSmoke) {
    EntityTable &e = g.ent;
    g.ent.heading[0] = itofix(64);
    g.pod_type = 1;
    g.bombs = 1;
    launch_pod(); // a rocket with a trail in slot 499
    const fixed y0 = e.y[499];
    for (int t = 0; t < 5; ++t)
        entity_step();
    EXPECT_EQ(e.y[499], y0 + 5 * fixmul(itofix(4), fixsin(itofix(64))));
    ASSERT_EQ(count(KIND_SMOKE), 1); // a puff every 5 ticks where it was
    EXPECT_EQ(e.y[498], e.y[499]);
    for (int t = 0; t < 185; ++t)
        entity_step();
    EXPECT_FALSE(e.active[499]);        // 190 ticks of life
    EXPECT_EQ(e.shade_level[498], 255); // darkened from 120, stopped at 255

    // A slot removed by clearing `active` still runs out its life.
    e.life[300] = 2;
    e.kind[300] = KIND_PROJECTILE;
    entity_step();
    entity_step();
    EXPECT_EQ(e.life[300], -1);
    EXPECT_EQ(e.kind[300], 0);
}

} // namespace
