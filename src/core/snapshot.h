// The renderer's copy of the world, and a checksum of the world.
#pragma once

#include <cstdint>

namespace qv {

// Copies what the renderer draws from into g.snap and the view pose (sim
// lock taken here), points slot 0 at the ship's live pose, and leaves the
// simulation running: any frame rendered in flight lets the ticks go on.
void take_snapshot();

// A checksum of the simulation's state: every live or counting slot, the
// ship's and the clouds' pose, heat, score, pods, booster and the stage's
// countdowns. Two runs that differ in play differ here. Sim lock held.
std::uint32_t state_checksum();

} // namespace qv
