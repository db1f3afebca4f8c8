#include "loop/stage_cycle.h"

#include "assets/game_data.h"
#include "assets/graphics.h"
#include "core/game_state.h"
#include "core/sim_lock.h"
#include "frontend/menu_engine.h"
#include "frontend/screens.h"
#include "input/input.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "render/render.h"
#include "sim/sim.h"

#include <cstdlib>
#include <utility>

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
constexpr int PLAYER_SPRITE = 33;
constexpr fixed STAGE_START_POS = 16000 << 16;
constexpr int START_HEADINGS = 255; // a random whole angle 0..254
constexpr int BANNER_SLOT = 5;
// The stage list's slot: it slides away as the stage starts; the stage
// start waits for its slide, and the flight hides it once it stops.
constexpr int STAGE_LIST_SLOT = 2;

// Sets a banner panel: the stage title (kind 8) or "STAGE COMPLETE" (kind 9).
// Sim lock held.
void set_banner(int16 kind) {
    fill_panel(BANNER_SLOT, {kind, -197, 20, 100, 66, {}, 0, g.current_stage, 0, 0, 0});
}

// Renders frames (at least one) while the condition, read under the lock,
// holds; `each` runs before every frame.
template <class Cond, class Each> void render_while(Cond cond, Each each) {
    do {
        each();
        render_frame();
    } while (locked(cond) && !close_requested());
}
template <class Cond> void render_while(Cond cond) {
    render_while(cond, [] {});
}

// A hot key toggles once per press: wait for the release (the simulation
// goes on, no frame is drawn), then flip the setting. A key bound to an
// action is the action's: boosting on S neither freezes the picture nor
// flips the shadows.
void hot_key(int code, byte &setting) {
    if (!key_held(code) || locked([code] { return key_bound(code); })) return;
    while (key_held(code) && !close_requested()) platform::rest_ms(0);
    locked([&] { setting = setting == 1 ? 0 : 1; });
}

// The pad's own reasons to pause a flight: Start pressed and let go (let
// go, so that the pause menu does not take the same press as its own), and
// the pad pulled out, which leaves the player as helpless as a switch to
// another window.
class PadPause {
  public:
    PadPause() { look(); }
    bool due() {
        const bool start_was = start_, present_was = present_;
        look();
        return (start_was && !start_) || (present_was && !present_);
    }

  private:
    void look() {
        SimLock lock;
        start_ = pad_start_held();
        present_ = pad_present();
    }
    bool start_ = false, present_ = false;
};

// What pauses a flight: Escape, the window's focus lost, and the pad's own
// reasons.
class FlightPause {
  public:
    // A switch away in the menus before this flight is no reason to pause it.
    FlightPause() { focus_lost(); }
    // Nothing can hurt the ship during the stage's opening, and the flight
    // is not paused then; an Escape pressed then is kept for the flight's
    // first frame, as a switch to another window is.
    void note_escape() { escape_ = escape_ || key_held(KEYCODE_ESC); }
    void check() {
        const bool pad_wants_pause = pad_.due();
        const bool escape = std::exchange(escape_, false) || key_held(KEYCODE_ESC);
        if (escape || focus_lost() || pad_wants_pause) {
            run_pause_menu();
            // A switch while paused is answered already, and so is a pad
            // pulled out.
            focus_lost();
            pad_ = PadPause();
        }
    }

  private:
    PadPause pad_;
    bool escape_ = false;
};

// The world at a stage start: slots cleared, ship placed, intro banner.
void begin_stage_world() {
    for (int s = 1; s < SLOT_COUNT; ++s) clear_slot(s);
    for (int s = 0; s < PANEL_COUNT; ++s) clear_panel(s);
    const fixed heading = itofix(std::rand() % START_HEADINGS);
    g.player_heading = g.cloud_heading = heading;
    g.player_x = g.player_y = g.cloud_x = g.cloud_y = STAGE_START_POS;
    set_banner(PANEL_STAGE_INTRO);
    move_panel(BANNER_SLOT, 2, 40, 5);
    g.stage_kills = 0;
    g.wave_index = 0;
    g.owed_count = 0;
    g.launch_timer = LAUNCH_TICKS;
    g.player_screen_dy = SHIP_RISE;
}

// The player's ship in slot 0, from the chosen ship and gun.
void init_player_slot() {
    EntityTable &e = g.ent;
    e.kind[0] = KIND_PLAYER;
    e.hp[0] = ship_armor[g.ship_type];
    e.speed[0] = 0;
    e.shade_level[0] = e.state[0] = e.dying_timer[0] = 0;
    e.gun[0] = g.gun_type;
    e.active[0] = 1;
    e.sprite_w[0] = e.sprite_h[0] = PLAYER_SPRITE;
    e.heading[0] = g.player_heading;
    e.x[0] = g.player_x;
    e.y[0] = g.player_y;
}

// The stage start: files saved, world reset, graphics loaded, intro banner.
void stage_start(FlightPause &pause) {
    prepare_stage();
    // The ship glides in while the banner slides across.
    const auto note = [&pause] { pause.note_escape(); };
    render_while([] { return g.launch_timer > LAUNCH_BANNER_UP; }, note);
    locked([] { move_panel(BANNER_SLOT, 0, 19, 3); });
    render_while([] { return g.panels.motion_steps[STAGE_LIST_SLOT] != 0; }, note);
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

enum class FlightEnd { Lost, Complete, Quit };

FlightEnd flight_loop(FlightPause &pause) {
    for (;;) {
        if (close_requested()) return FlightEnd::Quit;
        if (locked([] { return g.game_over; })) return FlightEnd::Lost;

        locked([] {
            spawn_owed_enemies();
            if (wave_trigger[g.current_stage][g.wave_index] == g.stage_kills && spawn_wave() == 0)
                g.stage_end_timer = STAGE_END_COUNTDOWN;
        });

        const bool banner_due = locked(
            [] { return g.stage_end_timer < STAGE_END_BANNER_AT && g.stage_end_timer != -1; });
        if (banner_due) {
            stage_complete_sequence();
            // Closed during the banner: the game ends here, before any
            // stage-complete screen or unlocked stage.
            if (close_requested()) return FlightEnd::Quit;
        }

        hot_key(KEYCODE_V, g.vsync_enabled);
        hot_key(KEYCODE_C, g.detail[DETAIL_CLOUDS]);
        hot_key(KEYCODE_S, g.detail[DETAIL_SHIP_SHADOWS]);
        // Switching to another window pauses, so the player does not die
        // behind it.
        pause.check();

        render_frame();

        const bool done = locked([] {
            if (g.panels.motion_steps[STAGE_LIST_SLOT] == 0) g.panels.active[STAGE_LIST_SLOT] = 0;
            if (g.quit_to_menu) {
                g.ent.hp[0] = 0;
                g.game_over = 1;
            }
            return g.stage_complete != 0;
        });
        if (done) return FlightEnd::Complete;
        // "Exit Game" leaves as the close button does.
        if (locked([] { return g.exit_game; })) return FlightEnd::Quit;
    }
}

} // namespace

void prepare_stage() {
    save_settings();
    save_records();
    load_stage_graphics();
    locked([] { begin_stage_world(); });
}

CycleEnd run_stage_cycle() {
    for (;;) {
        FlightPause pause;
        stage_start(pause);
        locked([] {
            init_player_slot();
            g.game_running = 1;
        });
        const FlightEnd end = flight_loop(pause);
        if (end == FlightEnd::Quit) return CycleEnd::Quit;
        platform::fade_out(end == FlightEnd::Lost ? FADE_LOST : FADE_DONE);

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
            if (close_requested()) return CycleEnd::Quit;
            if (to_menu) return CycleEnd::TitleMenu;
            continue;
        }

        const bool last = locked([] {
            if (g.single_stage || g.current_stage == STAGES - 1) g.run_finished = 1;
            return g.run_finished != 0;
        });
        if (!last) run_stage_complete_screen();
        if (close_requested()) return CycleEnd::Quit;
        if (last) {
            // The game-end screen reads the flag to know the game is over
            // (and offer the records table), so it is cleared only after it.
            run_game_end_screen();
            locked([] {
                g.run_finished = 0;
                g.current_stage = -1;
            });
            return close_requested() ? CycleEnd::Quit : CycleEnd::TitleMenu;
        }
    }
}

} // namespace qv
