// Guns, pods, projectile motion, lifetimes and smoke trails.
#include "harness/sim_fixture.h"

#include <set>

using namespace qv;
using qv::test::START;

namespace {

using WeaponsTest = test::SimTest;

// Headings of the live projectiles, in slot order from the top.
std::vector<fixed> shot_headings() {
    std::vector<fixed> h;
    for (int s = SLOT_COUNT - 1; s >= 1; --s)
        if (g.ent.active[s] && g.ent.kind[s] == KIND_PROJECTILE) h.push_back(g.ent.heading[s]);
    return h;
}

TEST_F(WeaponsTest, PlayerShotLeavesFromTheShipAlongItsHeading) {
    g.ent.gun[0] = 1; // no spread
    g.ent.heading[0] = ftofix(10.5);
    g.score = 10;
    fire_gun(0);
    EntityTable &e = g.ent;
    const int p = 499;
    EXPECT_TRUE(e.active[p]);
    EXPECT_EQ(e.kind[p], KIND_PROJECTILE);
    EXPECT_EQ(e.owner[p], OWNER_PLAYER);
    EXPECT_EQ(e.heading[p], ftofix(10.5));
    EXPECT_EQ(e.speed[p], itofix(4));
    EXPECT_EQ(e.life[p], 140);
    EXPECT_EQ(e.gun[p], 1);
    EXPECT_EQ(e.cell_col[p], 2);
    EXPECT_EQ(e.x[p], START);
    EXPECT_EQ(e.fire_delay[0], 11);
    EXPECT_EQ(g.score, 8);
    EXPECT_FLOAT_EQ(g.heat, 17.0f);
    ASSERT_EQ(g.sound_queue_len, 1);
    EXPECT_EQ(g.sound_queue[0].number, 11);
    EXPECT_GE(g.sound_queue[0].frequency, 900);
    EXPECT_LE(g.sound_queue[0].frequency, 1099);
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
    const std::set<fixed> expect = {ftofix(255.25), ftofix(0.25), ftofix(1.25), ftofix(2.25),
                                    ftofix(3.25)};
    EXPECT_EQ(seen, expect);
}

TEST_F(WeaponsTest, FansOfThreeKeepTheFractionFansOfFiveSnapToWholeAngles) {
    const int enemy = place_enemy(10, 11, 16100, 16000); // gun 10: three shots
    g.ent.heading[enemy] = ftofix(10.5);
    fire_gun(enemy);
    EXPECT_EQ(shot_headings(), (std::vector<fixed>{ftofix(8.5), ftofix(10.5), ftofix(12.5)}));
    // An enemy's shots start 20 px ahead along each shot.
    EXPECT_EQ(g.ent.x[499], itofix(16100) + 20 * fixcos(ftofix(8.5)));
    EXPECT_EQ(g.ent.owner[499], OWNER_ENEMY);
    EXPECT_EQ(g.score, 0);
    EXPECT_FLOAT_EQ(g.heat, 0.0f);

    SetUp();
    g.ent.gun[0] = 5; // Firestorm: five shots
    g.ent.heading[0] = ftofix(1.5);
    fire_gun(0);
    const std::vector<fixed> five = {itofix(254), itofix(0), itofix(2), itofix(4), itofix(6)};
    EXPECT_EQ(shot_headings(), five);
    EXPECT_EQ(queued(15), 1); // one sound per call, not per shot
}

TEST_F(WeaponsTest, FullTableStopsTheShotWithoutSoundScoreOrHeat) {
    fill_table(2);
    g.ent.gun[0] = 5;
    g.score = 100;
    fire_gun(0);
    EXPECT_EQ(count(KIND_PROJECTILE), 2);
    EXPECT_EQ(g.sound_queue_len, 0);
    EXPECT_EQ(g.score, 100);
    EXPECT_FLOAT_EQ(g.heat, 0.0f);

    // Nothing free at all: no creator writes anywhere (no slot -1).
    fill_table(0);
    g.bombs = 3;
    const auto full = copy_table();
    g.pod_type = 1;
    launch_pod(); // the rocket is skipped, the pod still spent
    EXPECT_TRUE(table_unchanged(full));
    EXPECT_EQ(g.bombs, 2);
    EXPECT_EQ(g.score, 60);
    EXPECT_EQ(queued(54), 0);
}

TEST_F(WeaponsTest, PodsFireFromTheirOwnGunsAndRestoreTheShip) {
    g.bombs = 3;
    g.score = 1000;
    g.ent.heading[0] = itofix(3);
    g.pod_type = 0; // Pulsar: one call of the five-shot gun 8
    launch_pod();
    EXPECT_EQ(count(KIND_PROJECTILE), 5);
    EXPECT_EQ(g.ent.gun[499], GUN_FAN);
    EXPECT_EQ(g.ent.gun[0], 0);
    EXPECT_EQ(g.score, 1000 - 2 - 40);

    g.pod_type = 2; // Steel Halo: 64 calls of gun 7, one every 4 units
    launch_pod();
    EXPECT_EQ(count(KIND_PROJECTILE), 5 + 64);
    std::set<fixed> ring;
    for (int s = 1; s < SLOT_COUNT; ++s)
        if (g.ent.active[s] && g.ent.gun[s] == GUN_RING) ring.insert(g.ent.heading[s]);
    EXPECT_EQ(ring.size(), 64u);
    EXPECT_EQ(*ring.rbegin(), itofix(252));
    EXPECT_EQ(g.ent.heading[0], itofix(3));
    EXPECT_EQ(g.ent.gun[0], 0);
    EXPECT_EQ(g.score, 958 - 64 * 2 - 40);
    EXPECT_EQ(queued(55), 1);
    EXPECT_EQ(g.sound_queue_len, 2); // gun 7 is silent; 58 was the Pulsar

    g.pod_type = 1; // Rockets: one hand-made projectile, trail by the detail setting
    g.detail[DETAIL_VAPOR_TRAILS] = 0;
    launch_pod();
    const int r = find_free_slot() + 1;
    EXPECT_EQ(g.ent.gun[r], GUN_ROCKET);
    EXPECT_EQ(g.ent.life[r], 190);
    EXPECT_EQ(g.ent.speed[r], itofix(4));
    EXPECT_EQ(g.ent.trail[r], 0);
    EXPECT_EQ(g.ent.x[r], START + 20 * fixcos(itofix(3)));
    EXPECT_EQ(g.bombs, 0);
    launch_pod(); // none left
    EXPECT_EQ(g.score, 790 - 40);
}

TEST_F(WeaponsTest, ObjectsMoveLiveOutTheirTimeAndTrailSmoke) {
    EntityTable &e = g.ent;
    g.ent.heading[0] = itofix(64);
    g.pod_type = 1;
    g.bombs = 1;
    launch_pod(); // a trailing rocket in slot 499
    const fixed y0 = e.y[499];
    for (int t = 0; t < 5; ++t) entity_step();
    EXPECT_EQ(e.y[499], y0 + 5 * fixmul(itofix(4), fixsin(itofix(64))));
    // A puff every 5 ticks where the rocket was, in the next free slot.
    ASSERT_EQ(count(KIND_SMOKE), 1);
    EXPECT_EQ(e.y[498], e.y[499]);
    EXPECT_EQ(e.shade_level[498], 120);
    EXPECT_EQ(e.life[498], 190);
    for (int t = 0; t < 185; ++t) entity_step();
    EXPECT_FALSE(e.active[499]); // 190 ticks of life
    EXPECT_EQ(e.shade_level[498], 255); // darkened and stopped at 255
    for (int t = 0; t < 5; ++t) entity_step();
    EXPECT_FALSE(e.active[498]);

    // A slot removed by clearing `active` still runs out its life.
    e.life[300] = 2;
    e.kind[300] = KIND_PROJECTILE;
    entity_step();
    EXPECT_EQ(e.life[300], 1);
    entity_step();
    EXPECT_EQ(e.life[300], -1);
    EXPECT_EQ(e.kind[300], 0);

    // A full table gets no puff and no write.
    SetUp();
    fill_table(0);
    e.trail[200] = 1;
    e.trail_timer[200] = 1;
    const auto before = copy_table();
    entity_step();
    EXPECT_EQ(e.trail_timer[200], 5);
    e.trail_timer[200] = 1;
    EXPECT_TRUE(table_unchanged(before));
}

TEST_F(WeaponsTest, SoundQueueNeverOverflows) {
    for (int n = 0; n < SOUND_QUEUE_SIZE + 10; ++n) queue_flight_sound(50);
    EXPECT_EQ(g.sound_queue_len, SOUND_QUEUE_SIZE);
}

} // namespace
