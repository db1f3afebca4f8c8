// Numbers and helpers shared by the simulation's source files only.
#pragma once

#include "core/game_state.h"

namespace qv::sim {

// Heat gauge shared by booster and guns.
inline constexpr float BOOSTER_HEAT = 1.75f;
inline constexpr float HEAT_COOLING = 1.0f;
inline constexpr int BOOST_COOLDOWN = 120;
inline constexpr int BOOST_SHAKE = 50;

inline constexpr int LAUNCH_GLIDE = 250; // ticks; the glide speed falls from 1 px to 0
inline constexpr int TICKS_PER_SECOND = 70;

// Angles in whole units of the 256-step circle.
inline constexpr int FULL_TURN = 256;
inline constexpr int QUARTER_TURN = 64;
inline constexpr int THREE_QUARTER_TURN = 192;
inline constexpr int HALF_TURN = 128;

inline constexpr int RADAR_STEP_TICKS = 2; // frames advance when the timer passes this
inline constexpr int RADAR_LAST_FRAME = 23;
inline constexpr int RADAR_PAUSE = -28;       // 31 ticks of rest after the last frame
inline constexpr int DRIFT_STEP_TICKS = 30;   // the cloud drift turns one unit after this
inline constexpr fixed DRIFT_SPEED = 1 << 14; // 0.25 px per tick

// Objects made by the simulation.
inline constexpr int SPRITE_CELL = 33;
inline constexpr int TRAIL_INTERVAL = 5;
inline constexpr int SMOKE_LIFE = 190;
inline constexpr int SMOKE_START_SHADE = 120;
inline constexpr int SMOKE_DARKEST = 255;
inline constexpr int SMOKE_CELL_COL = 1, SMOKE_CELL_ROW = 2;
inline constexpr int SPARK_LIFE = 40;
inline constexpr int SPARK_CELL_ROW = 3;
inline constexpr int SPARK_SCATTER = 20;   // px, centred on the ship
inline constexpr int MUZZLE_DISTANCE = 20; // enemy shots and rockets start ahead
inline constexpr int ROCKET_LIFE = 190;
inline constexpr int RING_SHOTS = 64;
inline constexpr int RING_STEP = 4;
inline constexpr int GUN_SHOT_COST = 2;
inline constexpr int POD_COST = 40;

// Dying and exploding enemies.
inline constexpr int DYING_MIN = 35, DYING_SPREAD = 130; // 35..164 ticks
inline constexpr int GLOW_START = 100;
inline constexpr int GLOW_STEP = 6;
inline constexpr int GLOW_LAST = 248; // grows while at or below this
inline constexpr int HIT_SHAKE = 70;

// Fixed-point whole pixels.
inline fixed px(int n) {
    return itofix(n);
}
// A whole angle as a fixed angle, wrapped to one turn.
inline fixed whole_angle(int a) {
    return itofix(a & (FULL_TURN - 1));
}

// Takes points away from the score, which never goes below 0.
void charge_score(int points);

// The slots that may be collision targets in this entity step: the ships
// at its start, in increasing order. No ship appears during the step, so
// checking each one's live state reproduces the scan of all 500 slots.
struct ShipList {
    int16 slot[SLOT_COUNT];
    int count;
};
void list_ships(ShipList &ships);

// The collision, dying and explosion parts of the entity step for one
// active slot, after its motion.
void entity_hit_parts(int slot, const ShipList &ships);

// Damage a projectile of this gun does before any difficulty factor.
int shot_damage(int gun);

} // namespace qv::sim
