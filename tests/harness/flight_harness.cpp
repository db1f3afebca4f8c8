#include "harness/flight_harness.h"

#include "assets/game_data.h"
#include "core/sim_lock.h"
#include "core/spine.h"
#include "frontend/menu_engine.h"
#include "input/input.h"
#include "sim/sim.h"
#include "support/test_support.h"

#include <cstdio>
#include <cstring>

namespace qv::test {

namespace {

// The flight loop's numbers, as the spine uses them.
constexpr int STAGE_END_COUNTDOWN = 400;
constexpr int STAGE_END_BANNER_AT = 350;
constexpr int LAUNCH_BANNER_UP = 50;
constexpr int BANNER_SLOT = 5;
constexpr int INTRO_PANEL = 2;

template <class F> auto locked(F f) {
    SimLock lock;
    return f();
}

void set_key(int library_index, bool held) {
    if (library_index > 0 && library_index < KEY_MAX)
        key[library_index] = held ? -1 : 0;
}

void set_action(int action, bool held) {
    set_key(library_key_index(g.key_binding[action]), held);
}

// FNV-1a over the values, field by field (no padding bytes).
struct Fnv {
    unsigned h = 2166136261u;
    void add(long long v) {
        for (int b = 0; b < 8; ++b) {
            h ^= static_cast<unsigned>((v >> (8 * b)) & 0xFF);
            h *= 16777619u;
        }
    }
};

std::string trace_line(long ticks) {
    char line[160];
    std::snprintf(line, sizeof line, "tick %ld score %d kills %d wave %d hp %d bombs %d sum %08x",
                  ticks, static_cast<int>(g.score), g.stage_kills, g.wave_index, g.ent.hp[0],
                  g.bombs, world_checksum());
    return line;
}

} // namespace

void hold_keys(const PilotInput &in) {
    SimLock lock;
    set_key(KEY_LEFT, in.left);
    set_key(KEY_RIGHT, in.right);
    set_key(KEY_UP, in.up);
    set_key(KEY_DOWN, in.down);
    // Two actions may share a key: a held one must win.
    const bool held[4] = {in.fire, in.strafe, in.bomb, in.booster};
    for (int a = 0; a < 4; ++a)
        set_action(a, false);
    for (int a = 0; a < 4; ++a)
        if (held[a])
            set_action(a, true);
}

void release_all_keys() {
    SimLock lock;
    for (int k = 0; k < KEY_MAX; ++k)
        key[k] = 0;
}

unsigned world_checksum() {
    const EntityTable &e = g.ent;
    Fnv f;
    for (int s = 0; s < SLOT_COUNT; ++s) {
        f.add(e.active[s]);
        if (!e.active[s] && e.life[s] == -1)
            continue;
        f.add(e.kind[s]), f.add(e.x[s]), f.add(e.y[s]), f.add(e.heading[s]), f.add(e.speed[s]);
        f.add(e.life[s]), f.add(e.hp[s]), f.add(e.gun[s]), f.add(e.owner[s]), f.add(e.state[s]);
        f.add(e.dying_timer[s]), f.add(e.glow_level[s]), f.add(e.shade_level[s]);
        f.add(e.fire_delay[s]), f.add(e.fire_timer[s]), f.add(e.ai_mode[s]);
        f.add(e.orbit_timer[s]), f.add(e.orbit_side[s]), f.add(e.enemy_type[s]);
        f.add(e.trail[s]), f.add(e.trail_timer[s]);
    }
    f.add(g.player_x), f.add(g.player_y), f.add(g.player_heading);
    f.add(g.cloud_x), f.add(g.cloud_y), f.add(g.cloud_heading);
    f.add(static_cast<long long>(g.heat * 4.0f));
    f.add(g.score), f.add(g.bombs), f.add(g.bomb_regen_timer), f.add(g.booster_active);
    f.add(g.boost_cooldown), f.add(g.stage_end_timer), f.add(g.launch_timer);
    return f.h;
}

FlightRun::FlightRun(const FlightSetup &setup) : setup_(setup) {
    release_all_keys();
    SimLock lock;
    g.current_stage = static_cast<int16>(setup.stage);
    g.ship_type = static_cast<int16>(setup.ship_type);
    g.gun_type = static_cast<int16>(setup.gun_type);
    g.pod_type = static_cast<int16>(setup.pod_type);
    g.difficulty = static_cast<int16>(setup.difficulty);
    g.game_over = g.stage_complete = 0;
    g.stage_end_timer = -1;
}

void FlightRun::start_stage(const Advance &advance) {
    locked([] { begin_stage_world(); });
    // The ship glides in under the stage title; frames go on meanwhile.
    do {
        take_snapshot();
        advance();
    } while (locked([] { return g.launch_timer > LAUNCH_BANNER_UP; }));
    locked([] { move_panel(BANNER_SLOT, 0, 19, 3); });
    do {
        take_snapshot();
        advance();
    } while (locked([] { return g.panels.motion_steps[INTRO_PANEL] != 0; }));
    locked([] {
        init_player_slot();
        g.game_running = 1;
    });
    last_hp_ = locked([] { return static_cast<int>(g.ent.hp[0]); });
}

bool FlightRun::frame(const Pilot &pilot) {
    if (phase_ == Phase::Flying) {
        if (locked([] { return g.game_over; })) {
            phase_ = Phase::Done;
            return false;
        }
        locked([] {
            if (wave_trigger[g.current_stage][g.wave_index] == g.stage_kills && spawn_wave() == 0)
                g.stage_end_timer = STAGE_END_COUNTDOWN;
        });
        if (locked(
                [] { return g.stage_end_timer < STAGE_END_BANNER_AT && g.stage_end_timer != -1; }))
            phase_ = Phase::Ending;
    }
    if (phase_ == Phase::Ending && locked([] { return g.stage_end_timer <= 0; })) {
        // The simulation ran on under the banner; the ship may still have
        // been lost meanwhile, which the stage cycle then treats as lost.
        locked([] { g.stage_complete = 1; });
        phase_ = Phase::Done;
        return false;
    }
    take_snapshot();
    if (pilot)
        hold_keys(pilot());
    return true;
}

void FlightRun::tick() {
    logic_tick();
    ++ticks_;
    if (ticks_ % 2 == 0)
        enemy_ai_tick();
    const int hp = locked([] { return static_cast<int>(g.ent.hp[0]); });
    if (hp < last_hp_)
        ++hits_seen_;
    last_hp_ = hp;
    if (setup_.trace_every > 0 && ticks_ % setup_.trace_every == 0)
        trace_.push_back(locked([this] { return trace_line(ticks_); }));
}

FlightOutcome FlightRun::fly(const Pilot &pilot) {
    const Advance advance = [this] {
        for (int k = 0; k < setup_.frame_ticks; ++k)
            tick();
    };
    start_stage(advance);
    while (frame(pilot) && ticks_ < setup_.max_ticks)
        advance();
    release_all_keys();
    FlightOutcome out = outcome();
    char line[160];
    std::snprintf(line, sizeof line, "end %s tick %ld score %d kills %d hp %d",
                  out.completed ? "completed"
                  : out.lost    ? "lost"
                                : "unfinished",
                  out.ticks, static_cast<int>(out.score), out.kills, out.hp);
    out.trace.push_back(line);
    return out;
}

FlightOutcome FlightRun::outcome() const {
    SimLock lock;
    FlightOutcome out;
    out.lost = g.game_over != 0;
    out.completed = g.stage_complete != 0 && !out.lost;
    out.score = g.score;
    out.kills = g.stage_kills;
    out.ticks = ticks_;
    out.hp = g.ent.hp[0];
    out.shots_taken = hits_seen_;
    out.trace = trace_;
    return out;
}

void new_game(const FlightSetup &setup) {
    reset_state();
    SimLock lock;
    // The ship screen leaves the chosen ship's armour in slot 0.
    g.ent.hp[0] = ship_armor[setup.ship_type];
}

FlightOutcome fly_stage(const FlightSetup &setup, const Pilot &pilot) {
    new_game(setup);
    FlightRun run(setup);
    return run.fly(pilot);
}

std::vector<FlightOutcome> fly_campaign(FlightSetup setup, int max_continues) {
    constexpr double BONUS_SCALE = 10000.0;
    new_game(setup);
    std::vector<FlightOutcome> attempts;
    int continues = 0;
    for (int stage = setup.stage; stage < STAGES;) {
        setup.stage = stage;
        FlightRun run(setup);
        attempts.push_back(run.fly(hunter_pilot()));
        const FlightOutcome &o = attempts.back();
        SimLock lock;
        if (o.lost) {
            if (++continues > max_continues)
                break;
            g.score /= 2; // a continue costs half the score
        } else if (o.completed) {
            const int bonus =
                static_cast<int>(g.ent.hp[0] / static_cast<double>(ship_armor[g.ship_type]) *
                                 BONUS_SCALE) +
                static_cast<int>(BONUS_SCALE);
            g.score += bonus;
            ++stage;
        } else {
            break;
        }
        // What the end screens restore before the next start.
        g.ent.hp[0] = ship_armor[g.ship_type];
        g.heat = 0.0f;
    }
    return attempts;
}

} // namespace qv::test
