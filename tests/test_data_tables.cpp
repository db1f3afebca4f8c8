// The game's tables checked by their own invariants, so a transcription slip
// shows up here rather than as an odd stage.
#include "assets/game_data.h"
#include "assets/sound.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qv;

namespace {

int wave_size(int stage, int wave) {
    int n = 0;
    while (n < WAVE_ENTRIES && wave_script[stage][wave][n] != WAVE_END) ++n;
    return n;
}

int script_end_wave(int stage) {
    for (int w = 0; w < WAVES_PER_STAGE; ++w)
        if (wave_script[stage][w][0] == SCRIPT_END) return w;
    return -1;
}

} // namespace

TEST(StageScripts, TriggersAreRunningTotalsAndWavesAreTerminated) {
    for (int s = 0; s < STAGES; ++s) {
        SCOPED_TRACE(s);
        const int end = script_end_wave(s);
        ASSERT_GT(end, 0);
        int total = 0;
        for (int w = 0; w <= end; ++w) {
            SCOPED_TRACE(w);
            EXPECT_EQ(wave_trigger[s][w], total);
            if (w == end) break;
            const int n = wave_size(s, w);
            ASSERT_LT(n, WAVE_ENTRIES) << "wave has no -1 terminator";
            ASSERT_GE(n, 1);
            for (int i = 0; i < n; ++i) EXPECT_TRUE(enemy_type_valid(wave_script[s][w][i]));
            // At most eight enemies are ever on the field at once.
            EXPECT_LE(n, 8);
            total += n;
        }
    }
}

TEST(StageScripts, OnlyTheLastStageBringsTheStrongestEnemy) {
    for (int s = 0; s < STAGES - 1; ++s)
        for (int w = 0; w < script_end_wave(s); ++w)
            for (int i = 0; i < wave_size(s, w); ++i) EXPECT_NE(wave_script[s][w][i], 15);
}

TEST(GunTable, EmptyRowAndShapes) {
    EXPECT_EQ(gun_rate[GUN_UNUSED], 0);
    EXPECT_EQ(gun_shots[GUN_UNUSED], 0);
    EXPECT_EQ(gun_damage[GUN_UNUSED], 0);
    EXPECT_EQ(gun_life[GUN_UNUSED], 0);
    for (int gun = 0; gun < GUN_COUNT; ++gun) {
        if (gun == GUN_UNUSED) continue;
        SCOPED_TRACE(gun);
        EXPECT_TRUE(gun_shots[gun] == 1 || gun_shots[gun] == 3 || gun_shots[gun] == 5);
        EXPECT_GT(gun_damage[gun], 0);
        EXPECT_GT(gun_speed[gun], 0);
        EXPECT_GT(gun_life[gun], 0);
        EXPECT_GE(gun_sprite[gun], 0);
        EXPECT_LT(gun_sprite[gun], 16);
        if (gun >= 10) {
            EXPECT_EQ(gun_heat[gun], 0) << "enemy guns add no heat";
        }
    }
    // Every gun that fires has its own projectile picture.
    int sprites[GUN_COUNT];
    int n = 0;
    for (int gun = 0; gun < GUN_COUNT; ++gun)
        if (gun != GUN_UNUSED) sprites[n++] = gun_sprite[gun];
    std::sort(sprites, sprites + n);
    EXPECT_EQ(std::unique(sprites, sprites + n), sprites + n);
}

TEST(GunTable, EveryFiringSoundIsLoaded) {
    for (int gun = 0; gun < GUN_COUNT; ++gun) {
        if (gun_sound[gun] == 0) continue;
        EXPECT_NE(std::find(std::begin(loaded_sounds), std::end(loaded_sounds), gun_sound[gun]),
                  std::end(loaded_sounds))
            << "gun " << gun;
    }
    EXPECT_EQ(gun_sound[GUN_RING], 0) << "the ring pod fires silently";
    EXPECT_NE(gun_sound[15], 0) << "the strongest enemy's gun has a voice";
}

TEST(EnemyTable, DefinedKindsGrowMoreDangerous) {
    for (int t = 0; t < ENEMY_TYPE_COUNT; ++t) EXPECT_EQ(enemy_type_valid(t), t >= 10 && t <= 15);
    EXPECT_FALSE(enemy_type_valid(-1));
    EXPECT_FALSE(enemy_type_valid(999));
    for (int t = 10; t <= 15; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(enemy_size[t], 56);
        EXPECT_GE(enemy_gun[t], 10);
        EXPECT_LE(enemy_gun[t], 15);
        if (t > 10) {
            EXPECT_GT(enemy_score[t], enemy_score[t - 1]);
        }
    }
    EXPECT_EQ(enemy_cell[15][0], 0);
    EXPECT_EQ(enemy_cell[15][1], 1);
}

TEST(ShipTable, EveryShipRegrowsItsPods) {
    for (int s = 0; s < SHIP_COUNT; ++s) EXPECT_GT(ship_pod_regen[s], 0);
}
