// Collisions, damage, sparks, dying and bursting enemies, and the score.
#include "harness/sim_fixture.h"

using namespace qv;

namespace {

class HitTest : public test::SimTest {
  protected:
    static constexpr int X = 20000, Y = 20000; // well away from the ship
};

TEST_F(HitTest, HitBoxIsStrictAtEveryDifficulty) {
    for (int d = 0; d < DIFFICULTY_COUNT; ++d) {
        const int h = hit_box_half[d];
        const int offsets[][2] = {{h - 1, 0}, {h, 0},         {0, -(h - 1)},
                                  {0, -h},    {1 - h, h - 1}, {-h, h - 1}};
        for (const auto &o : offsets) {
            SetUp();
            g.difficulty = static_cast<int16>(d);
            place_enemy(10, 10, X, Y);
            place_shot(20, 0, OWNER_PLAYER, X + o[0], Y + o[1]);
            entity_step();
            const bool inside = std::abs(o[0]) < h && std::abs(o[1]) < h;
            EXPECT_EQ(g.ent.hp[10] < 100, inside)
                << "difficulty " << d << " at " << o[0] << "," << o[1];
        }
    }
}

TEST_F(HitTest, NoFriendlyFire) {
    const int own = place_shot(20, 0, OWNER_PLAYER, 16000, 16000);
    place_enemy(10, 10, X, Y);
    const int stray = place_shot(30, 11, OWNER_ENEMY, X, Y);
    entity_step();
    EXPECT_TRUE(g.ent.active[own]); // flies on through the ship
    EXPECT_EQ(g.ent.hp[0], ship_armor[0]);
    EXPECT_FALSE(g.ent.active[stray]); // ends on the enemy, harmlessly
    EXPECT_EQ(g.ent.kind[stray], KIND_PROJECTILE);
    EXPECT_EQ(g.ent.hp[10], 100);
    EXPECT_EQ(g.sound_queue_len, 0);
}

TEST_F(HitTest, DamageToTheShipScalesWithDifficulty) {
    const int expected[DIFFICULTY_COUNT] = {11, 15, 22, 30}; // gun 12 does 15
    for (int d = 0; d < DIFFICULTY_COUNT; ++d) {
        SetUp();
        g.difficulty = static_cast<int16>(d);
        g.detail[DETAIL_ROUGH_HITS] = d != 0;
        const int shot = place_shot(20, 12, OWNER_ENEMY, 16003, 15997);
        entity_step();
        EXPECT_EQ(g.ent.hp[0], ship_armor[0] - expected[d]) << d;
        EXPECT_EQ(count(KIND_SPARK), 1);
        EXPECT_EQ(queued(50), 1);
        EXPECT_EQ(g.shake_frames, d != 0 ? 70 : 0);
        EXPECT_FALSE(g.ent.active[shot]);
        EXPECT_EQ(g.ent.kind[shot], 0);
    }
}

TEST_F(HitTest, FatalHitStartsDyingWithoutASparkLaterHitsSpark) {
    EntityTable &e = g.ent;
    const int enemy = place_enemy(10, 10, X, Y);
    place_shot(20, 0, OWNER_PLAYER, X, Y);
    entity_step();
    EXPECT_EQ(e.hp[enemy], 65);
    EXPECT_EQ(count(KIND_SPARK), 1);

    e.hp[enemy] = 30;
    place_shot(20, 0, OWNER_PLAYER, X, Y);
    entity_step();
    EXPECT_EQ(e.state[enemy], ENEMY_DYING);
    EXPECT_GE(e.dying_timer[enemy], 35);
    EXPECT_LE(e.dying_timer[enemy], 164);
    EXPECT_EQ(e.glow_level[enemy], 0);
    EXPECT_EQ(count(KIND_SPARK), 1);

    // A dying enemy still stops shots, each with a spark; one shot reaches
    // every ship it overlaps.
    place_enemy(11, 10, X + 2, Y);
    place_shot(20, 0, OWNER_PLAYER, X + 1, Y);
    entity_step();
    EXPECT_EQ(e.hp[enemy], -40);
    EXPECT_EQ(e.hp[11], 65);
    EXPECT_EQ(count(KIND_SPARK), 3);
}

TEST_F(HitTest, BurstScoresThenGlowsOrVanishes) {
    EntityTable &e = g.ent;
    for (int explosions = 1; explosions >= 0; --explosions) {
        SetUp();
        g.detail[DETAIL_EXPLOSIONS] = static_cast<byte>(explosions);
        const int enemy = place_enemy(10, 12, X, Y);
        e.state[enemy] = ENEMY_DYING;
        e.dying_timer[enemy] = 2;
        entity_step();
        EXPECT_EQ(g.stage_kills, 0);
        entity_step();
        EXPECT_EQ(g.score, 500);
        EXPECT_EQ(g.stage_kills, 1);
        EXPECT_EQ(queued(51) + queued(52), 1);
        if (!explosions) {
            EXPECT_FALSE(e.active[enemy]);
            EXPECT_EQ(e.kind[enemy], 0);
            continue;
        }
        EXPECT_EQ(e.kind[enemy], KIND_EXPLOSION);
        EXPECT_EQ(e.glow_level[enemy], 106); // grows in the tick of the burst
        const int shot = place_shot(20, 0, OWNER_PLAYER, X, Y);
        for (int t = 0; t < 24; ++t)
            entity_step();
        EXPECT_TRUE(e.active[enemy]);
        EXPECT_EQ(e.glow_level[enemy], 250);
        EXPECT_TRUE(e.active[shot]); // an explosion is no target
        entity_step();
        EXPECT_FALSE(e.active[enemy]);
    }
}

TEST_F(HitTest, ScoreNeverGoesBelowZero) {
    g.score = 1;
    fire_gun(0);
    EXPECT_EQ(g.score, 0);
    g.score = 30;
    g.bombs = 1;
    g.pod_type = 1;
    launch_pod();
    EXPECT_EQ(g.score, 0);
    const int enemy = place_enemy(10, 10, 20000, 20000);
    g.ent.state[enemy] = ENEMY_DYING;
    g.ent.dying_timer[enemy] = 1;
    entity_step();
    EXPECT_EQ(g.score, 100);
}

} // namespace
