#include "frontend/screens.h"

#include "assets/game_data.h"
#include "assets/sound.h"
#include "core/sim_lock.h"
#include "frontend/menu_engine.h"
#include "frontend/menu_input.h"
#include "frontend/submenus.h"
#include "input/input.h"
#include "persist/records.h"
#include "platform/platform.h"
#include "render/panels.h"
#include "render/render.h"

#include <cstring>

namespace qv {

namespace {

constexpr int MAX_NAME_CHARS = 11;

// Main-menu rows.
enum TitleRow { ROW_START = 0, ROW_SETUP = 1, ROW_RECORDS = 2, ROW_QUIT = 3 };

// Title and item text numbers used here.
constexpr int16 TITLE_MAIN_MENU = 5, TITLE_SYSTEM_MENU = 2, TITLE_STAGE_COMPLETE = 30;
constexpr int16 TITLE_ENTER_NAME = 13;
constexpr int16 ITEM_CONTINUE = 57, ITEM_GAME_OVER = 58;
constexpr int16 LONG_SUIT_OFFLINE = 19;

void begin_screen() {
    SimLock lock;
    scatter_stars();
}

// The character of the first held key in typing order: digits 1..9, 0,
// letters, space; 0 when none.
char typed_character() {
    for (int d = 1; d <= 9; ++d)
        if (key_held(KEYCODE_0 + d)) return static_cast<char>('0' + d);
    if (key_held(KEYCODE_0)) return '0';
    for (int l = 0; l < 26; ++l)
        if (key_held(KEYCODE_A + l)) return static_cast<char>('A' + l);
    if (key_held(KEYCODE_SPACE)) return ' ';
    return 0;
}

// Returns true when the record went into the table.
bool enter_record_name(int position, FrontEndScreen &screen) {
    {
        SimLock lock;
        std::memset(g.name_buffer, 0, sizeof g.name_buffer);
    }
    int p = 0;
    bool done = false;
    while (!done && !close_requested()) {
        screen.draw();
        if (key_held(KEYCODE_ENTER) || start_held()) {
            play_menu_accept();
            // Let go of first, so the title menu after does not take it.
            while (start_held() && !close_requested()) screen.draw();
            done = true;
        }
        if (key_held(KEYCODE_BACKSPACE)) {
            play_menu_cancel();
            while (key_held(KEYCODE_BACKSPACE) && !close_requested()) screen.draw();
            p = p > 0 ? p - 1 : 0;
            SimLock lock;
            g.name_buffer[p] = 0;
        }
        const char c = typed_character();
        if (c != 0) {
            if (p < MAX_NAME_CHARS) {
                play_menu_move();
                SimLock lock;
                g.name_buffer[p++] = c;
            } else {
                play_menu_cancel(); // the name is full
            }
            while (typed_character() == c && !close_requested()) screen.draw();
        }
    }
    // A window closed before anything was typed leaves no nameless row.
    if (!done && p == 0) return false;
    SimLock lock;
    insert_record(position, g.score, g.name_buffer);
    return true;
}

// The stage-complete and game-end screens share their loop: one row,
// taken on release of accept.
void wait_for_continue(FrontEndScreen &screen) {
    ChoiceLatch latch(false);
    for (;;) {
        const MenuEvent e = latch.step();
        screen.draw();
        if (e == MenuEvent::Accept || close_requested()) {
            play_menu_accept();
            return;
        }
    }
}

// What both end screens do when they close.
void settle_after_screen() {
    g.records_hidden = 0;
    g.score += g.stage_bonus;
    g.stage_bonus = 0;
    g.ent.hp[0] = ship_armor[g.ship_type];
    g.heat = 0.0f;
}

} // namespace

int run_title_menu() {
    FrontEndScreen screen;
    {
        SimLock lock;
        g.records_scroll = -400;
        g.shake_frames = 0;
        g.heat = 0.0f;
        g.score = 0;
    }
    set_panel(1, {PANEL_LIST, 6, 10, 100, 66, {1, 2, 3, 4}, TITLE_MAIN_MENU, 0, ROW_SETUP});
    begin_screen();
    platform::clear_screen();

    // Cancel is never armed here; it only delays a release of accept.
    MenuControls controls(1, false);
    for (;;) {
        if (close_requested()) return TITLE_QUIT;
        const MenuInput in = controls.step();
        if (in.event == MenuEvent::Accept) play_menu_accept();
        screen.draw();
        if (in.event != MenuEvent::Accept) continue;
        switch (in.row) {
        case ROW_START:
            run_ship_menu(screen.backdrop());
            if (SimLock lock; g.current_stage != -1) return TITLE_START;
            break;
        case ROW_SETUP:
            run_setup_menu(screen.backdrop());
            break;
        case ROW_RECORDS: {
            SimLock lock;
            g.records_scroll = -30;
            break;
        }
        case ROW_QUIT:
            return TITLE_QUIT;
        }
    }
}

void run_pause_menu() {
    {
        SimLock lock;
        g.game_running = 0;
    }
    BITMAP *still = create_bitmap_ex(8, FRAME_W, FRAME_H);
    blit(g.back_buffer, still, 0, 0, 0, 0, FRAME_W, FRAME_H);
    set_panel(1, {PANEL_LIST, 6, 10, 100, 52, {5, 6, 7}, TITLE_SYSTEM_MENU});
    // Darken the frozen frame through the shade map.
    color_map = &g.shade_map;
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(still, 0, 0, FRAME_W - 1, FRAME_H - 1, stage_pause_tint[g.current_stage]);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);

    MenuControls controls(1, false, false, false);
    int choice = -1;
    while (choice < 0) {
        if (close_requested()) break;
        const MenuInput in = controls.step();
        // Start resumes wherever the cursor is: pressed to play on, it
        // never ends the game.
        if (in.event == MenuEvent::Accept) choice = in.by_start ? 0 : in.row;
        MenuPanels panels;
        bool blink;
        {
            SimLock lock;
            panels = g.panels;
            blink = g.blink_on;
        }
        blit(still, g.back_buffer, 0, 0, 0, 0, FRAME_W, FRAME_H);
        draw_panels(panels, blink);
        present_frame();
    }
    destroy_bitmap(still);
    SimLock lock;
    clear_panel(1);
    g.game_running = 1;
    if (choice == 1) g.quit_to_menu = 1;
    if (choice == 2) g.exit_game = 1;
}

void run_stage_complete_screen() {
    FrontEndScreen screen;
    {
        SimLock lock;
        g.stage_complete = g.quit_to_menu = g.exit_game = 0;
        g.records_hidden = 1;
        g.stage_end_timer = -1;
        const double share = static_cast<double>(g.ent.hp[0]) / ship_armor[g.ship_type];
        g.stage_bonus = static_cast<int16>(static_cast<int>(share * 10000.0) + 10000);
    }
    set_panel(1, {PANEL_LIST, 173, 10, 140, 33, {ITEM_CONTINUE}, TITLE_STAGE_COMPLETE});
    set_panel(2, {PANEL_BONUS, 6, 160, 160, 23, {}, 0, 0, 0, 0, 0});
    begin_screen();
    platform::clear_screen();
    wait_for_continue(screen);
    screen.close();
    {
        SimLock lock;
        const int completed = g.current_stage;
        g.current_stage++;
        settle_after_screen();
        // The last campaign stage is never unlocked by play.
        if (completed != STAGES - 2 && !g.single_stage && g.current_stage < STAGES)
            g.stage_unlocked[g.current_stage] = 1;
    }
    platform::fade_out(FADE_SPEED);
}

void run_game_end_screen() {
    FrontEndScreen screen;
    bool game_over;
    {
        SimLock lock;
        g.stage_complete = g.exit_game = 0;
        g.records_hidden = 1;
        g.stage_end_timer = -1;
        game_over = g.quit_to_menu || g.run_finished;
    }
    set_panel(1, {PANEL_LIST, 213, 10, 100, 33, {game_over ? ITEM_GAME_OVER : ITEM_CONTINUE},
                  TITLE_STAGE_COMPLETE});
    set_panel(2, {PANEL_DESCRIPTION, 6, 160, 190, 21, {}, 0, LONG_SUIT_OFFLINE, 0, 0, 0});
    begin_screen();
    platform::clear_screen();
    wait_for_continue(screen);

    if (game_over) {
        const int place = [] {
            SimLock lock;
            return record_position(g.score);
        }();
        if (place >= 0) {
            slide(1, SLIDE_RIGHT, 22, 6);
            slide(2, SLIDE_LEFT, 20, 11);
            set_panel(6, {PANEL_CAPTION, 330, 73, 220, 21, {}, 0, TITLE_ENTER_NAME, 0, 0, 1});
            set_panel(7, {PANEL_NAME_ENTRY, -230, 94, 220, 21, {}, 0, 0, 0, 0, 1});
            slide(6, SLIDE_LEFT, 28, 10);
            slide(7, SLIDE_RIGHT, 28, 10);
            if (enter_record_name(place, screen)) save_records();
        }
    }
    screen.close();
    {
        SimLock lock;
        settle_after_screen();
    }
    platform::fade_out(FADE_SPEED);
    SimLock lock;
    for (int s : {1, 2, 6, 7}) clear_panel(s);
}

} // namespace qv
