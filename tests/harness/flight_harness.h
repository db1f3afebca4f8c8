// A headless flight: one stage played by the real tick functions,
// interleaved as the real clocks would run them, with a scripted pilot on
// the keys. Used by the harness tests, the regression record and the
// real-timer test.
#pragma once

#include "core/game_state.h"

#include <functional>
#include <string>
#include <vector>

namespace qv::test {

struct FlightSetup {
    int stage = 0;
    int ship_type = 0;
    int gun_type = 0;
    int pod_type = 1;
    int difficulty = 1;
    int frame_ticks = 2;            // logic ticks between two rendered frames
    long max_ticks = 70L * 60 * 15; // give up after this much flight
    int trace_every = 700;          // ticks between two trace lines
};

struct FlightOutcome {
    bool completed = false; // the stage-end countdown ran out with the ship alive
    bool lost = false;      // the ship's hit points ran out
    int32 score = 0;
    int kills = 0;
    long ticks = 0; // logic ticks from the stage start
    int hp = 0;
    int shots_taken = 0;            // enemy projectiles that hit the ship
    std::vector<std::string> trace; // state every trace_every ticks, then the result
};

// What the pilot holds until the next frame.
struct PilotInput {
    bool left = false, right = false, up = false, down = false;
    bool fire = false, strafe = false, bomb = false, booster = false;
};

// Decides from what the last frame showed (g.snap and the view pose).
using Pilot = std::function<PilotInput()>;

// Turns toward the best target (leading it), fires when lined up, keeps a
// working distance, boosts when far, launches a pod at tough targets close
// by and, when evasive, sidesteps the enemy shots about to hit.
Pilot hunter_pilot(bool evasive = true);

// Holds the keys of the input (under the sim lock: the tick reads them).
void hold_keys(const PilotInput &in);
void release_all_keys();

// A checksum of the entity table and the ship's state.
unsigned world_checksum();

// One stage, flown the way the spine's stage start and flight loop run it.
class FlightRun {
  public:
    // Lets time pass between two frames: the headless run steps the ticks
    // itself; the real-timer test sleeps while the timer thread runs them.
    using Advance = std::function<void()>;

    // Sets the player's choices; a fresh game resets the state first
    // (fly_stage does).
    explicit FlightRun(const FlightSetup &setup);

    // The stage start: world set up, the launch glide under the intro
    // banner, then the ship put into slot 0 and the simulation released.
    void start_stage(const Advance &advance);

    // One pass of the flight loop: game-over check, wave release, the
    // stage-end sequence, the frame's snapshot and the pilot's keys.
    // Returns false once the stage is over (lost or complete).
    bool frame(const Pilot &pilot);

    // The headless clocks: one 70 Hz logic tick, and the 35 Hz enemy step
    // after every second one; records a trace line on schedule.
    void tick();

    // Start to finish, headless.
    FlightOutcome fly(const Pilot &pilot);

    FlightOutcome outcome() const;
    long ticks() const { return ticks_; }
    // True while the stage-complete banner runs (the script is exhausted).
    bool ending() const { return phase_ == Phase::Ending; }

  private:
    enum class Phase { Flying, Ending, Done };
    FlightSetup setup_;
    Phase phase_ = Phase::Flying;
    long ticks_ = 0;
    int hits_seen_ = 0;
    int last_hp_ = 0;
    std::vector<std::string> trace_;
};

// A fresh game (state reset, the ship's armour in slot 0) flying one stage.
FlightOutcome fly_stage(const FlightSetup &setup, const Pilot &pilot);

// A fresh game's state: reset, the player's choices, the armour the ship
// screen leaves in slot 0.
void new_game(const FlightSetup &setup);

// Flies every stage of the campaign in order, as the stage cycle does:
// armour and heat restored between stages, pods and score carried over, a
// lost stage continued at half the score. Returns one outcome per attempt.
std::vector<FlightOutcome> fly_campaign(FlightSetup setup, int max_continues);

} // namespace qv::test
