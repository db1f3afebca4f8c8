#include "core/game_state.h"

#include "core/sim_lock.h"

namespace qv {

GameState g;

std::mutex &sim_mutex() {
    static std::mutex m;
    return m;
}

int16 find_free_slot() {
    // New objects fill the table from the top down.
    for (int s = SLOT_COUNT - 1; s >= 1; --s)
        if (!g.ent.active[s]) return static_cast<int16>(s);
    return -1;
}

void clear_slot(int s) {
    EntityTable &e = g.ent;
    e.active[s] = 0;
    e.life[s] = -1;
    e.kind[s] = 0;
    e.x[s] = e.y[s] = e.heading[s] = e.speed[s] = 0;
    e.hp[s] = e.gun[s] = e.owner[s] = e.state[s] = 0;
    e.dying_timer[s] = e.glow_level[s] = e.shade_level[s] = 0;
    e.fire_delay[s] = e.fire_timer[s] = 0;
    e.ai_mode[s] = e.orbit_timer[s] = e.orbit_side[s] = e.enemy_type[s] = 0;
    e.trail[s] = e.trail_timer[s] = 0;
    e.cell_col[s] = e.cell_row[s] = e.shadow_col[s] = e.shadow_row[s] = 0;
    e.sprite_w[s] = e.sprite_h[s] = 0;
    e.spark_timer[s] = 0;
}

void reset_world_defaults() {
    // Everything, slot 0 included, as a fresh process has it: a game started
    // again in the same process (tests, replays) starts from the same world.
    g.ent = EntityTable{};
    g.player_x = g.player_y = g.player_heading = 0;
    g.cloud_x = g.cloud_y = g.cloud_heading = 0;
    g.game_running = 0;
    g.game_over = g.stage_complete = g.quit_to_menu = g.exit_game = 0;
    g.single_stage = g.run_finished = 0;
    g.current_stage = -1;
    g.ship_type = g.gun_type = g.pod_type = 0;
    g.score = 0;
    g.stage_kills = g.wave_index = 0;
    g.stage_end_timer = -1;
    g.launch_timer = 0;
    g.player_screen_dy = 0;
    g.bombs = 0;
    g.bomb_regen_timer = 70;
    g.bomb_latch = 0;
    g.booster_active = 0;
    g.boost_cooldown = 0;
    g.heat = 0.0f;
    g.turn_rate = 1.0f;
    g.flame_frame = 0;
    g.radar_frame = g.radar_timer = 0;
    g.drift_dir = 100;
    g.drift_timer = 0;
    g.shake_frames = 0;
    g.sound_queue_len = 0;
    g.owed_count = 0;
    g.pad = PadState{};

    EntityTable &e = g.ent;
    for (int s = 1; s < SLOT_COUNT; ++s) {
        e.active[s] = 0;
        e.kind[s] = 0;
        e.gun[s] = -1;
        e.owner[s] = 0;
        e.fire_delay[s] = 0;
        e.hp[s] = 100;
        e.cell_col[s] = e.cell_row[s] = 0;
        e.shadow_col[s] = e.shadow_row[s] = -1;
        e.fire_timer[s] = 0;
        e.life[s] = -1;
        e.ai_mode[s] = 0;
        e.orbit_timer[s] = 0;
        e.trail[s] = e.trail_timer[s] = 0;
        e.spark_timer[s] = 0;
        for (Spark &sp : e.sparks[s]) sp = Spark{-1, 0, 0};
    }
}

} // namespace qv
