// The selection chain before each game: ship, gun, pod, then the campaign
// or one unlocked stage. Each screen slides its panels in over the one
// before; cancel slides back; an accepted stage unwinds the whole chain.
#include "assets/game_data.h"
#include "assets/sound.h"
#include "assets/texts.h"
#include "core/sim_lock.h"
#include "frontend/menu_engine.h"
#include "frontend/submenus.h"
#include "input/input.h"

#include <functional>

namespace qv {

namespace {

constexpr int16 TITLE_SELECT_SHIP = 11, TITLE_SELECTION_DATA = 12, TITLE_SELECT_STAGE = 26;
constexpr int16 TITLE_GUN_DATA = 27, TITLE_SELECT_GUN = 28, TITLE_SELECT_POD = 29;
constexpr int16 ITEM_SHIP_NAMES = 23, ITEM_CAMPAIGN = 43, ITEM_LOCKED = 53;

// One screen of the chain, its list in `slot`, until a stage is chosen
// further down the chain (true) or the player backs out (false): then
// `back` slides its panels away and the ones before it back, and the
// screen waits for the `settle` panels. `follow` (sim lock held) keeps the
// panels and the choice with the row: the one chosen, else the one under
// the cursor. `accept` answers a chosen row, true when a stage was chosen.
bool run_chain_screen(const Backdrop &b, int slot, const std::function<void(int)> &follow,
                      const std::function<bool(int)> &accept, std::initializer_list<Slide> back,
                      std::initializer_list<int> settle) {
    MenuControls controls(slot, true);
    bool chosen = false;
    const auto show = [&](const MenuInput &in) {
        if (follow) locked([&] { follow(in.row); });
        draw_backdrop(b);
    };
    run_menu(controls, show, [&](const MenuInput &in) {
        if (in.event == MenuEvent::Accept) return chosen = accept(in.row);
        if (in.event != MenuEvent::Cancel) return false;
        slide(back);
        wait_slides(b, settle);
        return true;
    });
    return chosen;
}

bool run_stage_menu(const Backdrop &b) {
    byte unlocked[STAGE_COUNT];
    const auto row_item = [&](int stage) {
        return static_cast<int16>(unlocked[stage] ? ITEM_STAGE_NAMES + stage : ITEM_LOCKED);
    };
    {
        SimLock lock;
        for (int s = 0; s < STAGE_COUNT; ++s) unlocked[s] = g.stage_unlocked[s];
        fill_panel(10, {PANEL_LIST,
                        -120,
                        50,
                        120,
                        108,
                        {ITEM_CAMPAIGN, ITEM_STAGE_NAMES, row_item(1), row_item(2), row_item(3),
                         row_item(4), row_item(5)},
                        TITLE_SELECT_STAGE});
        move_panels({{8, SLIDE_LEFT, 23, 5}, {9, SLIDE_UP, 16, 2}, {10, SLIDE_RIGHT, 26, 5}});
    }
    wait_slides(b, {8, 10});
    const auto accept = [&](int row) {
        // Rows 0 and 1 are always open; a "???" row takes no choice.
        if (row > 1 && !unlocked[row - 1]) return false;
        play_menu_accept();
        SimLock lock;
        g.single_stage = row == 0 ? 0 : 1;
        g.current_stage = static_cast<int16>(row == 0 ? 0 : row - 1);
        return true;
    };
    return run_chain_screen(b, 10, {}, accept,
                            {{8, SLIDE_RIGHT, 23, 5}, {9, SLIDE_DOWN, 16, 2}, {10, SLIDE_LEFT, 27, 5}},
                            {10});
}

bool run_pod_menu(const Backdrop &b) {
    {
        SimLock lock;
        move_panels({{5, SLIDE_LEFT, 23, 5}, {6, SLIDE_UP, 16, 2}, {7, SLIDE_RIGHT, 22, 7}});
        fill_panel(8, {PANEL_LIST, -98, 60, 103, 52,
                       {ITEM_POD_NAMES, ITEM_POD_NAMES + 1, ITEM_POD_NAMES + 2}, TITLE_SELECT_POD});
        fill_panel(9, {PANEL_DESCRIPTION, 5, -25, 184, 21, {}, 0, LONG_POD_TEXTS});
        move_panels({{8, SLIDE_RIGHT, 21, 5}, {9, SLIDE_DOWN, 15, 2}});
    }
    wait_slides(b, {8, 9});
    const auto follow = [](int row) {
        g.panels.caption[9] = static_cast<int16>(LONG_POD_TEXTS + row);
        g.pod_type = static_cast<int16>(row);
    };
    const auto accept = [&b](int) {
        play_menu_accept();
        if (run_stage_menu(b)) return true;
        wait_slides(b, {8, 9});
        return false;
    };
    return run_chain_screen(b, 8, follow, accept,
                            {{8, SLIDE_LEFT, 23, 5},
                             {9, SLIDE_UP, 16, 2},
                             {5, SLIDE_RIGHT, 23, 5},
                             {6, SLIDE_DOWN, 16, 2},
                             {7, SLIDE_LEFT, 22, 7}},
                            {8, 9});
}

bool run_gun_menu(const Backdrop &b, int ship) {
    const int first_gun = 2 * ship;
    {
        SimLock lock;
        fill_panel(5, {PANEL_LIST, -98, 30, 103, 38,
                       {static_cast<int16>(ITEM_GUN_NAMES + first_gun),
                        static_cast<int16>(ITEM_GUN_NAMES + first_gun + 1)},
                       TITLE_SELECT_GUN});
        fill_panel(6, {PANEL_DESCRIPTION, 5, -25, 175, 21, {}, 0,
                       static_cast<int16>(LONG_GUN_TEXTS + first_gun)});
        fill_panel(7, {PANEL_GUN_DATA, 388, 126, 65, 70, {}, TITLE_GUN_DATA});
        move_panels({{2, SLIDE_LEFT, 22, 5},
                     {3, SLIDE_UP, 15, 2},
                     {4, SLIDE_RIGHT, 21, 7},
                     {5, SLIDE_RIGHT, 21, 5},
                     {6, SLIDE_DOWN, 15, 2},
                     {7, SLIDE_LEFT, 20, 7}});
    }
    wait_slides(b, {5, 7});
    const auto follow = [first_gun](int row) {
        g.panels.caption[6] = static_cast<int16>(LONG_GUN_TEXTS + first_gun + row);
        g.gun_type = static_cast<int16>(first_gun + row);
    };
    const auto accept = [&b](int) {
        play_menu_accept();
        return run_pod_menu(b);
    };
    return run_chain_screen(b, 5, follow, accept,
                            {{5, SLIDE_LEFT, 23, 5},
                             {6, SLIDE_UP, 15, 2},
                             {7, SLIDE_RIGHT, 21, 7},
                             {2, SLIDE_RIGHT, 22, 5},
                             {3, SLIDE_DOWN, 15, 2},
                             {4, SLIDE_LEFT, 21, 7}},
                            {1, 2});
}

} // namespace

bool run_ship_menu(const Backdrop &b) {
    {
        SimLock lock;
        fill_panel(2, {PANEL_LIST, -98, 40, 100, 52,
                       {ITEM_SHIP_NAMES, ITEM_SHIP_NAMES + 1, ITEM_SHIP_NAMES + 2}, TITLE_SELECT_SHIP});
        fill_panel(3, {PANEL_DESCRIPTION, 5, -25, 155, 21});
        fill_panel(4, {PANEL_SHIP_DATA, 333, 126, 120, 70, {}, TITLE_SELECTION_DATA});
        move_panels({{2, SLIDE_RIGHT, 21, 5},
                     {3, SLIDE_DOWN, 15, 2},
                     {4, SLIDE_LEFT, 20, 7},
                     {1, SLIDE_LEFT, 22, 5}});
    }
    wait_slides(b, {1, 2});
    const auto follow = [](int row) {
        g.panels.caption[3] = static_cast<int16>(row);
        g.ship_type = static_cast<int16>(row);
    };
    const auto accept = [&b](int ship) {
        play_menu_accept();
        locked([ship] { g.ent.hp[0] = ship_armor[ship]; });
        return run_gun_menu(b, ship);
    };
    return run_chain_screen(b, 2, follow, accept,
                            {{2, SLIDE_LEFT, 22, 5},
                             {3, SLIDE_UP, 15, 2},
                             {4, SLIDE_RIGHT, 21, 7},
                             {1, SLIDE_RIGHT, 22, 5}},
                            {1, 2});
}

} // namespace qv
