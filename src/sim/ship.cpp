// Placeholder until the flight simulation lands.
#include "sim/sim.h"

namespace qv {
void ship_step() {}
void booster_step() {}
void weapons_step() {}
void cool_heat() {}
void recenter_world() {}
void queue_flight_sound(int) {}
} // namespace qv
