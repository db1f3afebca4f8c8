#include "core/snapshot.h"

#include "core/game_state.h"
#include "core/sim_lock.h"

namespace qv {

namespace {

// Whole values mixed in one at a time, field by field, so that padding
// bytes and the machine's byte order never enter the sum; one multiply per
// value keeps a checksum every second cheap next to a tick.
struct Mix {
    std::uint64_t h = 0x9E3779B97F4A7C15ull;
    void add(long long v) {
        h ^= static_cast<std::uint64_t>(v);
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    std::uint32_t value() const { return static_cast<std::uint32_t>(h ^ (h >> 29)); }
};

// The heat gauge is a float: a quarter unit is finer than any rule reads it.
constexpr float HEAT_STEPS_PER_UNIT = 4.0f;

} // namespace

void take_snapshot() {
    SimLock lock;
    g.view_x = g.player_x;
    g.view_y = g.player_y;
    g.view_heading = g.player_heading;
    g.view_cloud_x = g.cloud_x;
    g.view_cloud_y = g.cloud_y;
    g.view_cloud_heading = g.cloud_heading;
    FrameSnapshot &s = g.snap;
    s.ent = g.ent;
    s.panels = g.panels;
    s.heat = g.heat;
    s.score = g.score;
    s.bombs = g.bombs;
    s.radar_frame = g.radar_frame;
    s.flame_frame = g.flame_frame;
    s.player_screen_dy = g.player_screen_dy;
    s.ship_type = g.ship_type;
    s.booster_active = g.booster_active;
    s.player_x = g.player_x;
    s.player_y = g.player_y;
    s.player_heading = g.player_heading;
    s.blink_on = g.blink_on;
    // Slot 0 carries the ship's pose as of this frame.
    g.ent.heading[0] = g.player_heading;
    g.ent.x[0] = g.player_x;
    g.ent.y[0] = g.player_y;
    g.game_running = 1;
}

std::uint32_t state_checksum() {
    const EntityTable &e = g.ent;
    Mix f;
    for (int s = 0; s < SLOT_COUNT; ++s) {
        f.add(e.active[s]);
        // A free slot that counts nothing down is no longer part of play.
        if (!e.active[s] && e.life[s] == -1) continue;
        f.add(e.kind[s]), f.add(e.x[s]), f.add(e.y[s]), f.add(e.heading[s]), f.add(e.speed[s]);
        f.add(e.life[s]), f.add(e.hp[s]), f.add(e.gun[s]), f.add(e.owner[s]), f.add(e.state[s]);
        f.add(e.dying_timer[s]), f.add(e.glow_level[s]), f.add(e.shade_level[s]);
        f.add(e.fire_delay[s]), f.add(e.fire_timer[s]), f.add(e.ai_mode[s]);
        f.add(e.orbit_timer[s]), f.add(e.orbit_side[s]), f.add(e.enemy_type[s]);
        f.add(e.trail[s]), f.add(e.trail_timer[s]);
    }
    f.add(g.player_x), f.add(g.player_y), f.add(g.player_heading);
    f.add(g.cloud_x), f.add(g.cloud_y), f.add(g.cloud_heading);
    f.add(static_cast<long long>(g.heat * HEAT_STEPS_PER_UNIT));
    f.add(g.score), f.add(g.bombs), f.add(g.bomb_regen_timer), f.add(g.booster_active);
    f.add(g.boost_cooldown), f.add(g.stage_end_timer), f.add(g.launch_timer);
    f.add(g.stage_kills), f.add(g.wave_index), f.add(g.owed_count);
    return f.value();
}

} // namespace qv
