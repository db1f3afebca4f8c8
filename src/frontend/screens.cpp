// Stand-in screens until the front end is built: a working main menu that
// starts the campaign with the first ship, gun and pod; a pause key that
// returns to the menu; plain stage-complete and game-end pauses.
#include "frontend/screens.h"

#include "assets/game_data.h"
#include "assets/graphics.h"
#include "assets/sound.h"
#include "core/sim_lock.h"
#include "core/spine.h"
#include "frontend/menu_engine.h"
#include "input/input.h"
#include "platform/platform.h"
#include "render/render.h"

namespace qv {

namespace {

constexpr int MENU_SLOT = 1;

// Waits for both accept and cancel to be released, drawing frames.
void wait_release(BITMAP *background) {
    while ((action_held(ACT_FIRE) || action_held(ACT_STRAFE)) && !platform::close_requested())
        draw_menu_screen(background, nullptr, nullptr);
}

void open_screen() {
    use_title_colour_maps();
    SimLock lock;
    g.game_running = 0;
    g.shake_frames = 0;
    scatter_stars();
}

void show_title_palette(bool &faded) {
    if (faded) return;
    platform::fade_in(g.title_palette, 5);
    platform::install_menu_tick(menu_tick);
    faded = true;
}

// A one-row screen that waits for accept.
void run_single_row_screen(int16 row_text, int16 tab_text) {
    open_screen();
    {
        SimLock lock;
        MenuPanels &p = g.panels;
        clear_panel(MENU_SLOT);
        p.kind[MENU_SLOT] = PANEL_LIST;
        p.x[MENU_SLOT] = 173;
        p.y[MENU_SLOT] = 10;
        p.width[MENU_SLOT] = 140;
        p.height[MENU_SLOT] = 33;
        p.item_count[MENU_SLOT] = 1;
        p.items[MENU_SLOT][0] = row_text;
        p.tab_text[MENU_SLOT] = tab_text;
        p.scan_enabled[MENU_SLOT] = 1;
        p.active[MENU_SLOT] = 1;
        g.records_hidden = 1;
    }
    platform::clear_screen();
    bool faded = false;
    wait_release(g.title_sheet);
    while (!action_held(ACT_FIRE) && !platform::close_requested()) {
        draw_menu_screen(g.title_sheet, nullptr, nullptr);
        show_title_palette(faded);
    }
    wait_release(g.title_sheet);
    play_menu_accept();
    platform::remove_menu_tick(menu_tick);
    platform::fade_out(5);
    SimLock lock;
    g.records_hidden = 0;
    g.ent.hp[0] = ship_armor[g.ship_type];
    g.heat = 0.0f;
    clear_panel(MENU_SLOT);
}

int locked_cursor() {
    SimLock lock;
    return g.panels.cursor[MENU_SLOT];
}

} // namespace

int run_title_menu() {
    open_screen();
    {
        SimLock lock;
        MenuPanels &p = g.panels;
        clear_panel(MENU_SLOT);
        p.kind[MENU_SLOT] = PANEL_LIST;
        p.x[MENU_SLOT] = 6;
        p.y[MENU_SLOT] = 10;
        p.width[MENU_SLOT] = 100;
        p.height[MENU_SLOT] = 66;
        p.item_count[MENU_SLOT] = 4;
        for (int i = 0; i < 4; ++i) p.items[MENU_SLOT][i] = static_cast<int16>(i + 1);
        p.tab_text[MENU_SLOT] = 5;
        p.scan_enabled[MENU_SLOT] = 1;
        p.cursor[MENU_SLOT] = 0;
        p.active[MENU_SLOT] = 1;
        g.records_scroll = -400;
        g.heat = 0.0f;
        g.score = 0;
    }
    platform::clear_screen();
    bool faded = false;
    int latched_dir = 0;
    for (;;) {
        if (platform::close_requested()) return TITLE_QUIT;
        if (action_held(ACT_FIRE)) {
            wait_release(g.title_sheet);
            play_menu_accept();
            const int row = locked_cursor();
            if (row == 0 || row == 3) {
                platform::remove_menu_tick(menu_tick);
                if (row == 3) return TITLE_QUIT;
                SimLock lock;
                g.ship_type = 0;
                g.gun_type = 0;
                g.pod_type = 0;
                g.current_stage = 0;
                g.single_stage = 0;
                g.ent.hp[0] = ship_armor[0];
                return TITLE_START;
            }
            if (row == 2) {
                SimLock lock;
                g.records_scroll = -30;
            }
        }
        const int dir = direction_held(DIR_UP) ? -1 : direction_held(DIR_DOWN) ? 1 : 0;
        if (dir == 0 && latched_dir != 0) {
            SimLock lock;
            const int c = g.panels.cursor[MENU_SLOT] + latched_dir;
            if (c >= 0 && c < 4) g.panels.cursor[MENU_SLOT] = static_cast<int16>(c);
        }
        latched_dir = dir;
        draw_menu_screen(g.title_sheet, nullptr, nullptr);
        show_title_palette(faded);
    }
}

void run_pause_menu() {
    // Escape leaves the stage for the menu until the real pause menu exists.
    while (key_held(KEYCODE_ESC) && !platform::close_requested()) platform::rest_ms(0);
    SimLock lock;
    g.quit_to_menu = 1;
}

void run_stage_complete_screen() {
    run_single_row_screen(57, 30);
    SimLock lock;
    g.stage_complete = 0;
    g.stage_end_timer = -1;
    if (!g.single_stage && g.current_stage != 4) g.stage_unlocked[g.current_stage + 1] = 1;
    g.current_stage++;
}

void run_game_end_screen() {
    {
        SimLock lock;
        g.stage_complete = 0;
        g.exit_game = 0;
        g.stage_end_timer = -1;
    }
    const bool over = [] {
        SimLock lock;
        return g.quit_to_menu || g.run_finished;
    }();
    run_single_row_screen(over ? 58 : 57, 30);
}

} // namespace qv
