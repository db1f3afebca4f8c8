// The scripted pilot: it sees what a player sees (the last frame's
// snapshot) and says which keys to hold until the next frame.
#pragma once

#include <functional>

namespace qv::test {

struct PilotInput {
    bool left = false, right = false, up = false, down = false;
    bool fire = false, strafe = false, bomb = false, booster = false;
};

using Pilot = std::function<PilotInput()>;

// How well the pilot dodges: always, never, or with lapses (it reacts to
// enemy shots on some frames only, so it takes hits now and then).
enum class Dodging { Always, Lapses, Never };

// Turns toward the best target (leading it), fires when lined up, keeps a
// working distance, boosts when far, launches a pod at tough targets close
// by and sidesteps the enemy shots about to hit, as well as it dodges.
Pilot hunter_pilot(Dodging dodging = Dodging::Always);

// Flies straight at the nearest enemy and never fires or dodges: the stage
// cannot end, and the ship is soon shot down.
Pilot unarmed_pilot();

} // namespace qv::test
