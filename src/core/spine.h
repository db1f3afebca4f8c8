// The program's spine: start-up, the title loop, the stage cycle, the flight
// loop and shutdown, and the timer callbacks that drive the simulation.
#pragma once

namespace qv {

// Runs the game in the current directory; returns the process exit status.
int game_main();

// Timer callbacks (also called directly by tests and the flight harness).
void logic_tick();
void joystick_tick();
void enemy_ai_tick();

// Copies what the renderer draws from, under the sim lock.
void take_snapshot();

// The stage-start steps that set the world up (slots, pose, banner,
// counters), without loading or rendering.
void begin_stage_world();
// Puts the player's ship into slot 0 from the chosen ship and gun.
void init_player_slot();

} // namespace qv
