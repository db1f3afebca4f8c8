// Placeholder until the flight simulation lands.
#include "sim/sim.h"

namespace qv {
void fire_gun(int) {}
void launch_pod() {}
void entity_step() {}
} // namespace qv
