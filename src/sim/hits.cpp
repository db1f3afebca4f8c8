// Placeholder until the flight simulation lands.
#include "sim/sim.h"

namespace qv {
void hit(int, int) {}
void spawn_spark(int) {}
} // namespace qv
