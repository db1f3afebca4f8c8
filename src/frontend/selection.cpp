// The selection chain before each game: ship, gun, pod, then the campaign
// or one unlocked stage. Each screen slides its panels in over the one
// before; cancel slides back; an accepted stage unwinds the whole chain.
#include "assets/game_data.h"
#include "assets/sound.h"
#include "assets/texts.h"
#include "core/sim_lock.h"
#include "frontend/submenus.h"
#include "input/input.h"
#include "platform/platform.h"

namespace qv {

namespace {

constexpr int16 TITLE_SELECT_SHIP = 11, TITLE_SELECTION_DATA = 12, TITLE_SELECT_STAGE = 26;
constexpr int16 TITLE_GUN_DATA = 27, TITLE_SELECT_GUN = 28, TITLE_SELECT_POD = 29;
constexpr int16 ITEM_SHIP_NAMES = 23, ITEM_CAMPAIGN = 43, ITEM_LOCKED = 53;

bool stage_chosen() {
    SimLock lock;
    return g.current_stage != -1;
}

// One pass of a chain screen's loop: input, then the panels that follow
// the cursor, then a frame. What follows the cursor follows the row chosen
// when there is one: a cursor that moved in the same pass chose nothing.
template <class Follow>
MenuInput chain_pass(const Backdrop &b, MenuControls &controls, Follow follow) {
    const MenuInput in = controls.step();
    follow(in.event == MenuEvent::Accept ? in.row : panel_cursor(controls.slot()));
    draw_backdrop(b);
    if (in.event == MenuEvent::Cancel) play_menu_cancel();
    return in;
}

void run_stage_menu(const Backdrop &b) {
    byte unlocked[STAGE_COUNT];
    {
        SimLock lock;
        for (int s = 0; s < STAGE_COUNT; ++s) unlocked[s] = g.stage_unlocked[s];
    }
    auto row_item = [&](int stage) {
        return static_cast<int16>(unlocked[stage] ? ITEM_STAGE_NAMES + stage : ITEM_LOCKED);
    };
    set_panel(10, {PANEL_LIST,
                   -120,
                   50,
                   120,
                   108,
                   {ITEM_CAMPAIGN, ITEM_STAGE_NAMES, row_item(1), row_item(2), row_item(3),
                    row_item(4), row_item(5)},
                   TITLE_SELECT_STAGE});
    slide(8, SLIDE_LEFT, 23, 5);
    slide(9, SLIDE_UP, 16, 2);
    slide(10, SLIDE_RIGHT, 26, 5);
    wait_slides(b, {8, 10});

    MenuControls controls(10, true);
    for (;;) {
        if (close_requested()) return;
        const MenuInput in = chain_pass(b, controls, [](int) {});
        if (in.event == MenuEvent::Accept) {
            const int row = in.row;
            // Rows 0 and 1 are always open; a "???" row takes no choice.
            if (row > 1 && !unlocked[row - 1]) continue;
            play_menu_accept();
            SimLock lock;
            g.single_stage = row == 0 ? 0 : 1;
            g.current_stage = static_cast<int16>(row == 0 ? 0 : row - 1);
            return;
        }
        if (in.event == MenuEvent::Cancel) {
            slide(8, SLIDE_RIGHT, 23, 5);
            slide(9, SLIDE_DOWN, 16, 2);
            slide(10, SLIDE_LEFT, 27, 5);
            wait_slides(b, {10});
            return;
        }
    }
}

void run_pod_menu(const Backdrop &b) {
    slide(5, SLIDE_LEFT, 23, 5);
    slide(6, SLIDE_UP, 16, 2);
    slide(7, SLIDE_RIGHT, 22, 7);
    set_panel(8, {PANEL_LIST, -98, 60, 103, 52,
                  {ITEM_POD_NAMES, ITEM_POD_NAMES + 1, ITEM_POD_NAMES + 2}, TITLE_SELECT_POD});
    set_panel(9, {PANEL_DESCRIPTION, 5, -25, 184, 21, {}, 0, LONG_POD_TEXTS});
    slide(8, SLIDE_RIGHT, 21, 5);
    slide(9, SLIDE_DOWN, 15, 2);
    wait_slides(b, {8, 9});

    MenuControls controls(8, true);
    auto follow = [](int row) {
        set_panel_caption(9, LONG_POD_TEXTS + row);
        SimLock lock;
        g.pod_type = static_cast<int16>(row);
    };
    for (;;) {
        if (close_requested()) return;
        const MenuEvent e = chain_pass(b, controls, follow).event;
        if (e == MenuEvent::Accept) {
            play_menu_accept();
            run_stage_menu(b);
            if (stage_chosen()) return;
            wait_slides(b, {8, 9});
        } else if (e == MenuEvent::Cancel) {
            slide(8, SLIDE_LEFT, 23, 5);
            slide(9, SLIDE_UP, 16, 2);
            slide(5, SLIDE_RIGHT, 23, 5);
            slide(6, SLIDE_DOWN, 16, 2);
            slide(7, SLIDE_LEFT, 22, 7);
            wait_slides(b, {8, 9});
            return;
        }
    }
}

void run_gun_menu(const Backdrop &b) {
    const int ship = [] {
        SimLock lock;
        return g.ship_type;
    }();
    const int first_gun = 2 * ship;
    set_panel(5, {PANEL_LIST, -98, 30, 103, 38,
                  {static_cast<int16>(ITEM_GUN_NAMES + first_gun),
                   static_cast<int16>(ITEM_GUN_NAMES + first_gun + 1)},
                  TITLE_SELECT_GUN});
    set_panel(6, {PANEL_DESCRIPTION, 5, -25, 175, 21, {}, 0,
                  static_cast<int16>(LONG_GUN_TEXTS + first_gun)});
    set_panel(7, {PANEL_GUN_DATA, 388, 126, 65, 70, {}, TITLE_GUN_DATA});
    slide(2, SLIDE_LEFT, 22, 5);
    slide(3, SLIDE_UP, 15, 2);
    slide(4, SLIDE_RIGHT, 21, 7);
    slide(5, SLIDE_RIGHT, 21, 5);
    slide(6, SLIDE_DOWN, 15, 2);
    slide(7, SLIDE_LEFT, 20, 7);
    wait_slides(b, {5, 7});

    MenuControls controls(5, true);
    auto follow = [first_gun](int row) {
        set_panel_caption(6, LONG_GUN_TEXTS + first_gun + row);
        SimLock lock;
        g.gun_type = static_cast<int16>(first_gun + row);
    };
    for (;;) {
        if (close_requested()) return;
        const MenuEvent e = chain_pass(b, controls, follow).event;
        if (e == MenuEvent::Accept) {
            play_menu_accept();
            run_pod_menu(b);
            if (stage_chosen()) return;
        } else if (e == MenuEvent::Cancel) {
            slide(5, SLIDE_LEFT, 23, 5);
            slide(6, SLIDE_UP, 15, 2);
            slide(7, SLIDE_RIGHT, 21, 7);
            slide(2, SLIDE_RIGHT, 22, 5);
            slide(3, SLIDE_DOWN, 15, 2);
            slide(4, SLIDE_LEFT, 21, 7);
            wait_slides(b, {1, 2});
            return;
        }
    }
}

} // namespace

void run_ship_menu(const Backdrop &b) {
    set_panel(2, {PANEL_LIST, -98, 40, 100, 52,
                  {ITEM_SHIP_NAMES, ITEM_SHIP_NAMES + 1, ITEM_SHIP_NAMES + 2}, TITLE_SELECT_SHIP});
    set_panel(3, {PANEL_DESCRIPTION, 5, -25, 155, 21});
    set_panel(4, {PANEL_SHIP_DATA, 333, 126, 120, 70, {}, TITLE_SELECTION_DATA});
    slide(2, SLIDE_RIGHT, 21, 5);
    slide(3, SLIDE_DOWN, 15, 2);
    slide(4, SLIDE_LEFT, 20, 7);
    slide(1, SLIDE_LEFT, 22, 5);
    wait_slides(b, {1, 2});

    MenuControls controls(2, true);
    auto follow = [](int row) {
        set_panel_caption(3, row);
        SimLock lock;
        g.ship_type = static_cast<int16>(row);
    };
    for (;;) {
        if (close_requested()) return;
        const MenuEvent e = chain_pass(b, controls, follow).event;
        if (e == MenuEvent::Accept) {
            play_menu_accept();
            {
                SimLock lock;
                g.ent.hp[0] = ship_armor[g.ship_type];
            }
            run_gun_menu(b);
            if (stage_chosen()) return;
        } else if (e == MenuEvent::Cancel) {
            slide(2, SLIDE_LEFT, 22, 5);
            slide(3, SLIDE_UP, 15, 2);
            slide(4, SLIDE_RIGHT, 21, 7);
            slide(1, SLIDE_RIGHT, 22, 5);
            wait_slides(b, {1, 2});
            return;
        }
    }
}

} // namespace qv
