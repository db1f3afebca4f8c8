// The flight simulation: the player ship, guns and pods, projectiles and
// object motion, enemy waves and behaviour, hits, destruction and scoring.
//
// Every function here runs with the sim lock held (the timer callbacks hold
// it for their whole step; the main thread takes it around spawn_wave).
// Tests call them directly, tick by tick.
#pragma once

#include "core/game_state.h"

namespace qv {

// ---- player ship (70 Hz, in this order within logic_tick) ----
// The ship, booster and weapons steps read the player only through
// g.command, which logic_tick builds before them.
void ship_step();
void booster_step();
void entity_step(); // motion, lifetimes, smoke, collisions, dying, explosions
void weapons_step();
void cool_heat(); // end of every simulated tick

// ---- guns and pods ----
void fire_gun(int shooter);
void launch_pod();

// ---- enemies and the stage script ----
int16 spawn_enemy(int type); // slot, or -1 when nothing was spawned
int spawn_wave();            // 0 when the script is exhausted, else 1
// Spawns the enemies a full table kept out of their wave, as far as slots
// are free now.
void spawn_owed_enemies();
void enemy_ai_step();        // the body of the 35 Hz enemy_ai_tick
int bearing(int x1, int y1, int x2, int y2);
int distance(int x1, int y1, int x2, int y2);

// ---- hits ----
void hit(int shot, int target);
void spawn_spark(int slot);

// Queues an in-flight sound with its random pitch (drawn now, so the random
// sequence is the same with or without a sound device).
void queue_flight_sound(int number);

// Keeps coordinates small: when the ship strays far from the stage start,
// shifts ship, clouds and every object by the same multiple of 1024 px (the
// ground repeats every 1024 px, so nothing visible changes); an object left
// more than 8192 px behind is brought nearer by whole multiples of 1024 px.
// Called by ship_step.
void recenter_world();

} // namespace qv
