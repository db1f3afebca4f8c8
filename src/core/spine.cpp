#include "core/spine.h"

#include "assets/archive.h"
#include "assets/game_data.h"
#include "assets/graphics.h"
#include "assets/sound.h"
#include "assets/texts.h"
#include "core/game_state.h"
#include "core/sim_lock.h"
#include "frontend/menu_engine.h"
#include "frontend/screens.h"
#include "input/input.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/sim.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qv {

namespace {

constexpr int FADE_LOST = 2;
constexpr int FADE_DONE = 5;
constexpr int STAGE_END_COUNTDOWN = 400;
constexpr int STAGE_END_BANNER_AT = 350; // banner slides in below this
constexpr int STAGE_END_BANNER_UP = 70;  // and leaves the screen below this
constexpr int LAUNCH_TICKS = 250;
constexpr int LAUNCH_BANNER_UP = 50;
constexpr int SHIP_RISE = 70;
constexpr fixed STAGE_START_POS = 16000 << 16;
constexpr int BANNER_SLOT = 5;

// Runs f with the sim lock held and returns what it returns.
template <class F> auto locked(F f) {
    SimLock lock;
    return f();
}

// Plays the in-flight sounds the simulation queued, outside the lock.
void play_queued(const QueuedSound *sounds, int n) {
    for (int i = 0; i < n; ++i) play_flight_sound(sounds[i].number, sounds[i].frequency);
}

// Takes the queued sounds out of the state (sim lock held).
int take_queued_sounds(QueuedSound *out) {
    const int n = g.sound_queue_len;
    std::memcpy(out, g.sound_queue, sizeof(QueuedSound) * static_cast<size_t>(n));
    g.sound_queue_len = 0;
    return n;
}

// Sets a banner panel: the stage title (kind 8) or "STAGE COMPLETE" (kind 9).
void set_banner(int16 kind) {
    MenuPanels &p = g.panels;
    const int s = BANNER_SLOT;
    p.kind[s] = kind;
    p.x[s] = -197;
    p.y[s] = 20;
    p.width[s] = 100;
    p.height[s] = 66;
    p.caption[s] = g.current_stage;
    p.item_count[s] = 0;
    p.tab_text[s] = 0;
    p.scan_enabled[s] = 0;
    p.cursor[s] = 0;
    p.highlight_width[s] = 0;
    p.active[s] = 1;
}

// Renders frames (at least one) while the condition, read under the lock,
// holds.
template <class Cond> void render_while(Cond cond) {
    do {
        render_frame();
    } while (locked(cond) && !platform::close_requested());
}

// A hot key toggles once per press: wait for the release (the simulation
// goes on, no frame is drawn), then flip the setting.
void hot_key(int code, byte &setting) {
    if (!key_held(code)) return;
    while (key_held(code) && !platform::close_requested()) platform::rest_ms(0);
    locked([&] { setting = setting == 1 ? 0 : 1; });
}

[[noreturn]] void quit_saving() {
    platform::fade_out(FADE_DONE);
    locked([] { clear_panel(1); });
    save_settings();
    save_records();
    free_sound_effects();
    free_graphics();
    platform::shutdown();
    std::exit(0);
}

// The stage start: files saved, world reset, graphics loaded, intro banner.
void stage_start() {
    save_settings();
    save_records();
    load_stage_graphics();
    locked([] { begin_stage_world(); });
    // The ship glides in while the banner slides across.
    render_while([] { return g.launch_timer > LAUNCH_BANNER_UP; });
    locked([] { move_panel(BANNER_SLOT, 0, 19, 3); });
    render_while([] { return g.panels.motion_steps[2] != 0; });
}

// The stage-complete banner after the last wave; the simulation runs on.
void stage_complete_sequence() {
    locked([] {
        set_banner(PANEL_STAGE_COMPLETE);
        move_panel(BANNER_SLOT, 2, 40, 5);
    });
    render_while([] { return g.stage_end_timer > STAGE_END_BANNER_UP; });
    locked([] { move_panel(BANNER_SLOT, 0, 19, 3); });
    render_while([] { return g.stage_end_timer > 0; });
    locked([] { g.stage_complete = 1; });
}

// Returns the fade speed it leaves with.
int flight_loop() {
    for (;;) {
        if (platform::close_requested()) quit_saving();
        if (locked([] { return g.game_over; })) return FADE_LOST;

        locked([] {
            if (wave_trigger[g.current_stage][g.wave_index] == g.stage_kills && spawn_wave() == 0)
                g.stage_end_timer = STAGE_END_COUNTDOWN;
        });

        if (locked([] { return g.stage_end_timer < STAGE_END_BANNER_AT && g.stage_end_timer != -1; }))
            stage_complete_sequence();

        hot_key(KEYCODE_V, g.vsync_enabled);
        hot_key(KEYCODE_C, g.detail[DETAIL_CLOUDS]);
        hot_key(KEYCODE_S, g.detail[DETAIL_SHIP_SHADOWS]);
        if (key_held(KEYCODE_ESC)) run_pause_menu();

        render_frame();

        const bool done = locked([] {
            if (g.panels.motion_steps[2] == 0) g.panels.active[2] = 0;
            if (g.quit_to_menu) {
                g.ent.hp[0] = 0;
                g.game_over = 1;
            }
            return g.stage_complete != 0;
        });
        if (done) return FADE_DONE;
        if (g.exit_game) return -1;
    }
}

void shutdown_without_saving() {
    platform::fade_out(FADE_DONE);
    free_sound_effects();
    free_graphics();
    platform::shutdown();
}

// Plays stages from g.current_stage until the game ends. Returns false when
// the player chose "Exit Game".
bool stage_cycle() {
    for (;;) {
        stage_start();
        locked([] {
            init_player_slot();
            g.game_running = 1;
        });
        const int fade = flight_loop();
        if (fade < 0) return false;
        platform::fade_out(fade);

        if (locked([] { return g.game_over; })) {
            run_game_end_screen();
            const bool to_menu = locked([] {
                if (g.quit_to_menu) {
                    g.quit_to_menu = 0;
                    g.current_stage = -1;
                    return true;
                }
                // Continue the same stage at half the score.
                g.score /= 2;
                g.quit_to_menu = 0;
                return false;
            });
            if (to_menu) return true;
            continue;
        }

        const bool last = locked([] {
            if (g.single_stage || g.current_stage == STAGES - 1) g.run_finished = 1;
            return g.run_finished != 0;
        });
        if (!last) run_stage_complete_screen();
        if (locked([] { return g.run_finished; })) {
            locked([] { g.run_finished = 0; });
            run_game_end_screen();
            locked([] { g.current_stage = -1; });
            return true;
        }
    }
}

void load_everything() {
    load_code_table();
    load_graphics();
    load_sound_effects();
    load_colour_tables();
    locked([] { init_texts(); });
    locked([] { load_settings(); });
    set_sound_volume(g.sfx_volume);
    if (g.joystick_enabled) platform::install_joystick();
    locked([] { load_records(); });
}

} // namespace

void logic_tick() {
    QueuedSound sounds[SOUND_QUEUE_SIZE];
    int n;
    {
        SimLock lock;
        animate_panels();
        if (g.game_running) {
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
    // With the gamepad off the queries ignore the joystick, so there is
    // nothing to clear; polling is the driver's business.
    if (locked([] { return g.joystick_enabled; })) platform::poll_joystick();
}

void take_snapshot() {
    SimLock lock;
    g.game_running = 0;
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
    s.player_heading = g.player_heading;
    s.blink_on = g.blink_on;
    // Slot 0 carries the ship's pose as of this frame.
    g.ent.heading[0] = g.player_heading;
    g.ent.x[0] = g.player_x;
    g.ent.y[0] = g.player_y;
    g.game_running = 1;
}

void begin_stage_world() {
    for (int s = 1; s < SLOT_COUNT; ++s) clear_slot(s);
    for (int s = 0; s < PANEL_COUNT; ++s) clear_panel(s);
    const fixed heading = itofix(std::rand() % 255);
    g.player_heading = g.cloud_heading = heading;
    g.player_x = g.player_y = g.cloud_x = g.cloud_y = STAGE_START_POS;
    set_banner(PANEL_STAGE_INTRO);
    move_panel(BANNER_SLOT, 2, 40, 5);
    g.stage_kills = 0;
    g.wave_index = 0;
    g.launch_timer = LAUNCH_TICKS;
    g.player_screen_dy = SHIP_RISE;
}

void init_player_slot() {
    EntityTable &e = g.ent;
    e.kind[0] = KIND_PLAYER;
    e.hp[0] = ship_armor[g.ship_type];
    e.speed[0] = 0;
    e.shade_level[0] = e.state[0] = e.dying_timer[0] = 0;
    e.gun[0] = g.gun_type;
    e.active[0] = 1;
    e.sprite_w[0] = e.sprite_h[0] = 33;
    e.heading[0] = g.player_heading;
    e.x[0] = g.player_x;
    e.y[0] = g.player_y;
}

int game_main() {
    std::srand(0);
    std::string error;
    if (!platform::init_display(error)) {
        std::fprintf(stderr, "quarvell: %s\n", error.c_str());
        return 1;
    }
    if (!platform::init_sound()) {
        std::printf("Error #A-001 : Couldn't initialize sound system!\r\n");
        std::fflush(stdout);
    }
    platform::install_timers(logic_tick, joystick_tick, enemy_ai_tick);
    set_view_params();
    try {
        load_everything();
        for (;;) {
            locked([] { g.run_finished = 0; });
            const int choice = run_title_menu();
            if (choice == TITLE_QUIT) quit_saving();
            platform::fade_out(FADE_DONE);
            locked([] { clear_panel(1); });
            platform::clear_screen();
            if (!stage_cycle()) break;
        }
    } catch (const AssetError &e) {
        std::fprintf(stderr, "quarvell: %s\n", e.what());
        free_sound_effects();
        free_graphics();
        platform::shutdown();
        return 1;
    }
    shutdown_without_saving();
    return 0;
}

} // namespace qv
