// The timer callbacks. Each holds the sim lock for its whole step and plays
// the sounds its step queued only after letting go of it: Allegro is never
// called with the lock held.
#include "loop/game_loop.h"

#include "assets/sound.h"
#include "core/game_state.h"
#include "core/sim_lock.h"
#include "frontend/menu_engine.h"
#include "input/input.h"
#include "platform/platform.h"
#include "sim/sim.h"

#include <cstring>

namespace qv {

namespace {

// Takes the queued sounds out of the state (sim lock held).
int take_queued_sounds(QueuedSound *out) {
    const int n = g.sound_queue_len;
    std::memcpy(out, g.sound_queue, sizeof(QueuedSound) * static_cast<size_t>(n));
    g.sound_queue_len = 0;
    return n;
}

void play_queued(const QueuedSound *sounds, int n) {
    for (int i = 0; i < n; ++i) play_flight_sound(sounds[i].number, sounds[i].frequency);
}

} // namespace

void logic_tick() {
    QueuedSound sounds[SOUND_QUEUE_SIZE];
    int n;
    {
        SimLock lock;
        animate_panels();
        if (g.game_running) {
            g.command = player_command();
            ship_step();
            booster_step();
            entity_step();
            weapons_step();
            cool_heat();
        }
        n = take_queued_sounds(sounds);
    }
    play_queued(sounds, n);
}

void enemy_ai_tick() {
    QueuedSound sounds[SOUND_QUEUE_SIZE];
    int n;
    {
        SimLock lock;
        enemy_ai_step();
        n = take_queued_sounds(sounds);
    }
    play_queued(sounds, n);
}

void joystick_tick() {
    bool enabled;
    {
        SimLock lock;
        enabled = g.joystick_enabled != 0;
    }
    // With the gamepad off the copy reads as nothing held, so the queries
    // see no gamepad at all.
    const PadState pad = enabled ? platform::input().pad : PadState{};
    SimLock lock;
    g.pad = pad;
}

} // namespace qv
