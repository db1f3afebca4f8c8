// Placeholder until the flight simulation lands.
#include "sim/sim.h"

namespace qv {
int16 spawn_enemy(int) { return -1; }
int spawn_wave() { return 1; }
void enemy_ai_step() {}
int bearing(int, int, int, int) { return 0; }
int distance(int, int, int, int) { return 0; }
} // namespace qv
