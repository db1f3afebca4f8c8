// The game's balance: guns, ships, enemies, stages and their wave scripts,
// and the difficulty tables. Read-only data, one array per column.
#pragma once

#include "core/game_state.h"

namespace qv {

inline constexpr int GUN_COUNT = 16;
inline constexpr int SHIP_COUNT = 3;
inline constexpr int ENEMY_TYPE_COUNT = 64;
inline constexpr int WAVES_PER_STAGE = 64;
inline constexpr int16 WAVE_END = -1;     // ends a wave's list
inline constexpr int16 SCRIPT_END = 999;  // the wave after the last one

// The top of the heat gauge that booster and guns share: the booster cuts
// out there, and a shot that would pass it is not fired.
inline constexpr int HEAT_LIMIT = 260;

// Gun ids with a fixed role.
inline constexpr int GUN_ROCKET = 6;   // "Rockets" pod projectile
inline constexpr int GUN_RING = 7;     // "Steel Halo" pod
inline constexpr int GUN_FAN = 8;      // "Pulsar" pod
inline constexpr int GUN_UNUSED = 9;

// ---- guns: rows 0..5 player guns, 6..8 pods, 10..15 enemy guns, 9 empty ----
//                                       0    1    2    3    4    5    6    7    8  9   10   11   12   13   14   15
// ticks before the shooter may fire again
inline constexpr int16 gun_rate[GUN_COUNT]   = {8,  11,  15,  13,  35,  60,  11,  11,  11, 0,   8,   8,   8,   8,   8,   8};
// projectiles per shot: 1, 3 or 5
inline constexpr int16 gun_shots[GUN_COUNT]  = {1,   1,   1,   1,   1,   5,   1,   1,   5, 0,   3,   1,   1,   3,   1,   5};
// single shots leave within +- this many angle units
inline constexpr int16 gun_spread[GUN_COUNT] = {2,   0,   1,   0,   0,   0,   0,   0,   0, 0,   3,   3,   1,   3,   2,   3};
// hit points taken from what is hit
inline constexpr int16 gun_damage[GUN_COUNT] = {35, 35,  50,  50, 100,  50, 200,  20,  50, 0,   7,   8,  15,  15,  25,  20};
// heat added per shot of the player
inline constexpr int16 gun_heat[GUN_COUNT]   = {20, 17,  25,  26,  50, 100,  17,   0,  17, 0,   0,   0,   0,   0,   0,   0};
// projectile picture: column = value % 9, row = value / 9
inline constexpr int16 gun_sprite[GUN_COUNT] = {4,   2,   1,   3,   0,   5,  10,  12,  15, 0,   6,   7,   9,   8,  13,  14};
// whole pixels per tick
inline constexpr int16 gun_speed[GUN_COUNT]  = {5,   4,   3,   3,   3,   3,   4,   3,   4, 0,   1,   2,   2,   2,   3,   2};
// lifetime in ticks
inline constexpr int16 gun_life[GUN_COUNT]   = {140,140, 200, 200, 300, 320, 140, 140, 140, 0, 350, 220, 260, 350, 300, 350};
// 1: leaves smoke puffs
inline constexpr int16 gun_trail[GUN_COUNT]  = {0,   0,   0,   0,   0,   0,   1,   0,   0, 0,   0,   0,   0,   0,   1,   0};

// Firing sound per gun (0 = silent). Gun 15, the strongest enemy's gun, has
// a heavy cannon voice of its own (sound 33, otherwise unused).
inline constexpr int16 gun_sound[GUN_COUNT] = {14, 11, 59, 12, 13, 15, 10, 0, 58, 10, 32, 31, 30, 10, 10, 33};

inline constexpr int16 fan3[3] = {-2, 0, 2};
inline constexpr int16 fan5[5] = {-4, -2, 0, 2, 4};

// ---- ships: Talon, Falcon, Raptor ----
inline constexpr int16 ship_armor[SHIP_COUNT] = {200, 300, 400};
inline constexpr float ship_turn[SHIP_COUNT] = {1.0f, 0.75f, 0.5f}; // angle units per tick
inline constexpr int16 ship_boost[SHIP_COUNT] = {3, 2, 2};         // pixels per tick boosting
inline constexpr int16 ship_pod_max[SHIP_COUNT] = {2, 3, 4};
inline constexpr int16 ship_pod_regen[SHIP_COUNT] = {7, 6, 8};     // seconds per pod

// ---- enemies: kinds 10..15 are defined ----
struct EnemyTables {
    int16 hp[ENEMY_TYPE_COUNT];
    int16 gun[ENEMY_TYPE_COUNT];
    int16 speed[ENEMY_TYPE_COUNT];
    int16 ai_mode[ENEMY_TYPE_COUNT];
    int16 size[ENEMY_TYPE_COUNT];
    int16 cell[ENEMY_TYPE_COUNT][2];
    int16 shadow_cell[ENEMY_TYPE_COUNT][2];
    int32 score[ENEMY_TYPE_COUNT];
    bool defined[ENEMY_TYPE_COUNT];
};

struct EnemyRow {
    int kind;
    int16 hp, gun, speed, ai_mode, size, cell_col, cell_row, shadow_col, shadow_row;
    int32 score;
};

inline constexpr EnemyRow enemy_rows[] = {
    // kind  hp  gun speed ai size cell    shadow  score
    {10, 100, 11, 1, 1, 56, 0, 0, 0, 0, 100},
    {11, 150, 10, 1, 1, 56, 1, 0, 0, 0, 200},
    {12, 250, 12, 1, 1, 56, 2, 0, 0, 0, 500},
    {13, 200, 13, 2, 1, 56, 3, 0, 0, 0, 750},
    {14, 300, 14, 1, 1, 56, 4, 0, 0, 0, 1500},
    {15, 400, 15, 2, 1, 56, 0, 1, 0, 0, 3000},
};

constexpr EnemyTables make_enemy_tables() {
    EnemyTables t{};
    for (const EnemyRow &r : enemy_rows) {
        t.hp[r.kind] = r.hp;
        t.gun[r.kind] = r.gun;
        t.speed[r.kind] = r.speed;
        t.ai_mode[r.kind] = r.ai_mode;
        t.size[r.kind] = r.size;
        t.cell[r.kind][0] = r.cell_col;
        t.cell[r.kind][1] = r.cell_row;
        t.shadow_cell[r.kind][0] = r.shadow_col;
        t.shadow_cell[r.kind][1] = r.shadow_row;
        t.score[r.kind] = r.score;
        t.defined[r.kind] = true;
    }
    return t;
}
inline constexpr EnemyTables enemy_tables = make_enemy_tables();
inline constexpr const auto &enemy_hp = enemy_tables.hp;
inline constexpr const auto &enemy_gun = enemy_tables.gun;
inline constexpr const auto &enemy_speed = enemy_tables.speed;
inline constexpr const auto &enemy_ai_mode = enemy_tables.ai_mode;
inline constexpr const auto &enemy_size = enemy_tables.size;
inline constexpr const auto &enemy_cell = enemy_tables.cell;
inline constexpr const auto &enemy_shadow_cell = enemy_tables.shadow_cell;
inline constexpr const auto &enemy_score = enemy_tables.score;

// True for the enemy kinds a wave may spawn.
constexpr bool enemy_type_valid(int type) {
    return type >= 0 && type < ENEMY_TYPE_COUNT && enemy_tables.defined[type];
}

// ---- stages ----
inline constexpr int STAGES = 6;
// light level of the paused picture (shade_map row)
inline constexpr int16 stage_pause_tint[STAGES] = {210, 228, 228, 228, 228, 228};
// ground picture archive number
inline constexpr int16 stage_map_archive[STAGES] = {1, 2, 3, 4, 5, 6};
// first of the two cloud archives
inline constexpr int16 stage_cloud_archive[STAGES] = {100, 300, 200, 200, 200, 200};

// One wave as written below: the kill count that releases it and its enemy
// kinds ending with WAVE_END, or SCRIPT_END alone for the end of the script.
struct WaveSpec {
    int16 trigger;
    int16 kinds[WAVE_ENTRIES];
};

inline constexpr WaveSpec stage0_waves[] = {
    {0, {10, 10, -1}},
    {2, {10, 10, 11, -1}},
    {5, {10, 10, 10, 11, -1}},
    {9, {10, 11, -1}},
    {11, {11, 11, 11, 11, 10, -1}},
    {16, {SCRIPT_END}},
};
inline constexpr WaveSpec stage1_waves[] = {
    {0, {10, 10, 11, 11, -1}},
    {4, {10, 11, 11, 10, 11, 11, -1}},
    {10, {11, 11, 11, 12, -1}},
    {14, {10, 11, 10, -1}},
    {17, {10, 11, 12, -1}},
    {20, {12, 12, -1}},
    {22, {SCRIPT_END}},
};
inline constexpr WaveSpec stage2_waves[] = {
    {0, {11, 12, 11, -1}},
    {3, {10, 11, 12, 12, -1}},
    {7, {11, 11, 12, 12, 12, -1}},
    {12, {11, 12, 13, -1}},
    {15, {10, 10, 10, 12, 12, -1}},
    {20, {11, 12, 11, -1}},
    {23, {12, 12, 12, 12, -1}},
    {27, {SCRIPT_END}},
};
inline constexpr WaveSpec stage3_waves[] = {
    {0, {10, 10, 10, 10, 10, 10, 10, 10, -1}},
    {8, {11, 11, 11, 11, 11, 11, -1}},
    {14, {12, 12, 12, 12, -1}},
    {18, {13, 13, -1}},
    {20, {10, 10, 14, -1}},
    {23, {11, 12, -1}},
    {25, {14, 14, -1}},
    {27, {SCRIPT_END}},
};
inline constexpr WaveSpec stage4_waves[] = {
    {0, {13, 13, -1}},
    {2, {14, 14, -1}},
    {4, {12, 12, 12, 12, 12, 12, -1}},
    {10, {11, 11, 10, 10, 11, 11, -1}},
    {16, {13, 12, -1}},
    {18, {10, 14, 14, -1}},
    {21, {11, 12, 11, 12, -1}},
    {25, {12, 14, -1}},
    {27, {SCRIPT_END}},
};
inline constexpr WaveSpec stage5_waves[] = {
    {0, {10, 11, 12, 10, 11, 12, -1}},
    {6, {10, 10, 10, 11, 11, 11, -1}},
    {12, {11, 11, 11, 11, 11, -1}},
    {17, {12, 12, 12, 12, 12, -1}},
    {22, {13, 13, -1}},
    {24, {14, 14, -1}},
    {26, {15, 15, -1}},
    {28, {SCRIPT_END}},
};

struct StageScripts {
    int16 trigger[STAGES][WAVES_PER_STAGE];
    int16 script[STAGES][WAVES_PER_STAGE][WAVE_ENTRIES];
};

template <int N> constexpr void put_stage(StageScripts &t, int stage, const WaveSpec (&waves)[N]) {
    for (int w = 0; w < N; ++w) {
        t.trigger[stage][w] = waves[w].trigger;
        for (int i = 0; i < WAVE_ENTRIES; ++i) t.script[stage][w][i] = waves[w].kinds[i];
    }
}

constexpr StageScripts make_stage_scripts() {
    StageScripts t{};
    put_stage(t, 0, stage0_waves);
    put_stage(t, 1, stage1_waves);
    put_stage(t, 2, stage2_waves);
    put_stage(t, 3, stage3_waves);
    put_stage(t, 4, stage4_waves);
    put_stage(t, 5, stage5_waves);
    return t;
}
inline constexpr StageScripts stage_scripts = make_stage_scripts();
inline constexpr const auto &wave_trigger = stage_scripts.trigger;
inline constexpr const auto &wave_script = stage_scripts.script;

// ---- difficulty: 0 Easy, 1 Normal, 2 Hard, 3 Toast ----
inline constexpr int DIFFICULTY_COUNT = 4;
// half-size of the square hit box, in pixels
inline constexpr int hit_box_half[DIFFICULTY_COUNT] = {10, 7, 5, 4};
// damage factor when the player is hit
inline constexpr float damage_factor[DIFFICULTY_COUNT] = {0.75f, 1.0f, 1.5f, 2.0f};

} // namespace qv
