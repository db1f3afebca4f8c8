#include "frontend/screens.h"

#include "assets/game_data.h"
#include "assets/sound.h"
#include "core/sim_lock.h"
#include "frontend/front_end_screen.h"
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

// Main-menu rows.
enum TitleRow { ROW_START = 0, ROW_SETUP = 1, ROW_RECORDS = 2, ROW_QUIT = 3 };

// Title and item text numbers used here.
constexpr int16 TITLE_MAIN_MENU = 5, TITLE_SYSTEM_MENU = 2, TITLE_STAGE_COMPLETE = 30;
constexpr int16 TITLE_ENTER_NAME = 13;
constexpr int16 ITEM_CONTINUE = 57, ITEM_GAME_OVER = 58;
constexpr int16 LONG_SUIT_OFFLINE = 19;

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
    char *name = g.name_buffer;
    std::memset(name, 0, NAME_BUFFER_SIZE);
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
            name[p] = 0;
        }
        const char c = typed_character();
        if (c != 0) {
            if (p < NAME_MAX_CHARS) {
                play_menu_move();
                name[p++] = c;
            } else {
                play_menu_cancel(); // the name is full
            }
            while (typed_character() == c && !close_requested()) screen.draw();
        }
    }
    // A window closed before anything was typed leaves no nameless row.
    if (!done && p == 0) return false;
    SimLock lock;
    insert_record(position, g.score, name);
    return true;
}

// The stage-complete and game-end screens: one row, taken on release of
// accept (or by closing the window).
void wait_for_continue(FrontEndScreen &screen) {
    MenuControls controls(NO_LIST, false);
    run_menu(controls, [&](const MenuInput &) { screen.draw(); },
             [](const MenuInput &in) { return in.event == MenuEvent::Accept; });
    play_menu_accept();
}

// What both end screens do when they close (sim lock held).
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
        g.heat = 0.0f;
        g.score = 0;
        fill_panel(1, {PANEL_LIST, 6, 10, 100, 66, {1, 2, 3, 4}, TITLE_MAIN_MENU, 0, ROW_SETUP});
    }
    platform::clear_screen();

    // Cancel is never armed here; it only delays a release of accept.
    MenuControls controls(1, false);
    int title = TITLE_QUIT;
    run_menu(controls, [&](const MenuInput &) { screen.draw(); }, [&](const MenuInput &in) {
        if (in.event != MenuEvent::Accept) return false;
        play_menu_accept();
        switch (in.row) {
        case ROW_START:
            if (!run_ship_menu(screen.backdrop())) return false;
            title = TITLE_START;
            return true;
        case ROW_SETUP:
            run_setup_menu(screen.backdrop());
            return false;
        case ROW_RECORDS:
            locked([] { g.records_scroll = -30; });
            return false;
        }
        return true; // "QUIT!"
    });
    return title;
}

void run_pause_menu() {
    BITMAP *still = create_bitmap_ex(8, FRAME_W, FRAME_H);
    blit(g.back_buffer, still, 0, 0, 0, 0, FRAME_W, FRAME_H);
    {
        SimLock lock;
        g.game_running = 0;
        fill_panel(1, {PANEL_LIST, 6, 10, 100, 52, {5, 6, 7}, TITLE_SYSTEM_MENU});
    }
    // Darken the frozen frame through the shade map.
    color_map = &g.shade_map;
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(still, 0, 0, FRAME_W - 1, FRAME_H - 1, stage_pause_tint[g.current_stage]);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);

    MenuControls controls(1, false, false, false);
    controls.ignore_keys_held_now();
    int choice = -1;
    const auto show = [still](const MenuInput &) {
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
    };
    run_menu(controls, show, [&choice](const MenuInput &in) {
        if (in.event != MenuEvent::Accept) return false;
        // Start resumes wherever the cursor is: pressed to play on, it
        // never ends the game.
        choice = in.by_start ? 0 : in.row;
        return true;
    });
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
        fill_panel(1, {PANEL_LIST, 173, 10, 140, 33, {ITEM_CONTINUE}, TITLE_STAGE_COMPLETE});
        fill_panel(2, {PANEL_BONUS, 6, 160, 160, 23, {}, 0, 0, 0, 0, 0});
    }
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
    int place = -1; // in the records table, when the game is over
    {
        SimLock lock;
        g.stage_complete = g.exit_game = 0;
        g.records_hidden = 1;
        g.stage_end_timer = -1;
        const bool game_over = g.quit_to_menu || g.run_finished;
        if (game_over) place = record_position(g.score);
        fill_panel(1, {PANEL_LIST, 213, 10, 100, 33, {game_over ? ITEM_GAME_OVER : ITEM_CONTINUE},
                       TITLE_STAGE_COMPLETE});
        fill_panel(2, {PANEL_DESCRIPTION, 6, 160, 190, 21, {}, 0, LONG_SUIT_OFFLINE, 0, 0, 0});
    }
    platform::clear_screen();
    wait_for_continue(screen);

    if (place >= 0) {
        set_panel(6, {PANEL_CAPTION, 330, 73, 220, 21, {}, 0, TITLE_ENTER_NAME, 0, 0, 1});
        set_panel(7, {PANEL_NAME_ENTRY, -230, 94, 220, 21, {}, 0, 0, 0, 0, 1});
        slide({{1, SLIDE_RIGHT, 22, 6}, {2, SLIDE_LEFT, 20, 11}, {6, SLIDE_LEFT, 28, 10},
               {7, SLIDE_RIGHT, 28, 10}});
        if (enter_record_name(place, screen)) save_records();
    }
    screen.close();
    {
        SimLock lock;
        settle_after_screen();
        for (int s : {1, 2, 6, 7}) clear_panel(s);
    }
    platform::fade_out(FADE_SPEED);
}

} // namespace qv
