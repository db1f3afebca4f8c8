// "Configuration" and its menus: controls (with rebinding), difficulty,
// volume and graphics detail. Changes apply at once in memory; the files are
// written at the next stage start or on quitting.
#include "assets/sound.h"
#include "core/sim_lock.h"
#include "frontend/menu_engine.h"
#include "frontend/submenus.h"
#include "input/input.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "render/panels.h"

#include <functional>

namespace qv {

namespace {

constexpr int16 TITLE_CONFIGURATION = 6, TITLE_CONTROLS = 7, TITLE_DIFFICULTY = 8;
constexpr int16 TITLE_VOLUME = 9, TITLE_GRAPHICS = 10;
constexpr int16 TITLE_PRESS_KEY = 31, TITLE_HIT_BUTTON = 32;
constexpr int PROMPT_SLOT = 5;

enum SetupRow { ROW_CONTROLS = 0, ROW_DIFFICULTY = 1, ROW_VOLUME = 2, ROW_DETAIL = 3 };

// A value menu in slot 3: slides the "Configuration" list out, runs, and
// slides it back. The list opens on `current` when given; `accept` gets the
// row and returns true to close.
void run_value_menu(const Backdrop &b, const PanelSetup &panel, const int16 *current, int in_steps,
                    int out_steps, int speed, const std::function<bool(int)> &accept) {
    {
        SimLock lock;
        fill_panel(3, panel);
        if (current) g.panels.cursor[3] = *current;
        move_panels({{2, SLIDE_LEFT, 22, 5}, {3, SLIDE_RIGHT, in_steps, speed}});
    }
    wait_slides(b, {2, 3});
    MenuControls controls(3, true);
    run_menu(controls, [&b](const MenuInput &) { draw_backdrop(b); }, [&](const MenuInput &in) {
        if (in.event != MenuEvent::Accept) return in.event == MenuEvent::Cancel;
        play_menu_accept();
        return accept(in.row);
    });
    slide({{3, SLIDE_LEFT, out_steps, speed}, {2, SLIDE_RIGHT, 22, 5}});
    wait_slides(b, {2, 3});
}

void run_difficulty_menu(const Backdrop &b) {
    run_value_menu(b, {PANEL_LIST, -98, 80, 100, 66, {13, 14, 15, 16}, TITLE_DIFFICULTY},
                   &g.difficulty, 21, 22, 5, [](int row) {
                       locked([row] { g.difficulty = static_cast<int16>(row); });
                       return true;
                   });
}

void run_volume_menu(const Backdrop &b) {
    run_value_menu(b, {PANEL_LIST, -98, 80, 100, 80, {26, 27, 28, 29, 30}, TITLE_VOLUME},
                   &g.sound_volume, 21, 22, 5, [](int row) {
                       locked([row] {
                           g.sound_volume = static_cast<int16>(row);
                           g.sfx_volume = static_cast<int16>(sfx_volume_of(row));
                       });
                       set_sound_volume(sfx_volume_of(row));
                       return true;
                   });
}

void run_graphics_menu(const Backdrop &b) {
    run_value_menu(b,
                   {PANEL_TOGGLES, -123, 80, 125, 94, {17, 18, 19, 20, 21, 22}, TITLE_GRAPHICS,
                    0, 0, 107},
                   nullptr, 26, 27, 5, [](int row) {
                       locked([row] { g.detail[row] = g.detail[row] == 1 ? 0 : 1; });
                       return false; // only cancel closes it
                   });
}

// The first held key, as a stored key code; -1 when none.
int first_held_key() {
    for (int i = 1; i < KEY_MAX; ++i) {
        const int code = stored_key_code(i);
        if (code > 0 && key_held(code)) return code;
    }
    return -1;
}

// The last held gamepad button 1..4; 0 when none. The copy of the pad is
// written by the timer thread.
int held_button() {
    SimLock lock;
    int found = 0;
    for (int b = 1; b <= PAD_BUTTONS; ++b)
        if (g.pad.button[b - 1]) found = b;
    return found;
}

// A change of mind: Escape abandons a capture. While buttons are captured
// (the pad may be pulled out meanwhile) the cancel key and the pad's Start
// do too; while keys are captured the cancel key is a key like any
// other, so that two actions can still trade keys.
bool abandon_held(bool pad) {
    if (key_held(KEYCODE_ESC)) return true;
    if (!pad) return false;
    SimLock lock;
    return key_held(g.key_binding[ACT_STRAFE]) || pad_start_held();
}

// Shows the prompt and captures a key code (gamepad off) or a button
// (gamepad on) for the action; an action that used it takes over the old
// binding. Escape (and so on: abandon_held) keeps the old one.
void rebind_action(int action, const Backdrop &b) {
    const bool pad = g.joystick_enabled != 0;
    set_panel(PROMPT_SLOT, {PANEL_CAPTION, 75, 50, 170, 21, {}, 0,
                            pad ? TITLE_HIT_BUTTON : TITLE_PRESS_KEY});
    int value = 0; // none: the old binding stays
    // The key the capture takes is the binding's, not also a window key.
    platform::set_key_capture(!pad);
    while (!close_requested()) {
        draw_backdrop(b);
        if (abandon_held(pad)) {
            // Released here, so that the menu behind does not see it.
            while (abandon_held(pad) && !close_requested()) draw_backdrop(b);
            break;
        }
        const int v = pad ? held_button() : first_held_key();
        if (v <= 0) continue;
        // Taken on release, so the release cannot trigger anything else.
        while ((pad ? held_button() == v : key_held(v)) && !close_requested())
            draw_backdrop(b);
        value = v;
        break;
    }
    platform::set_key_capture(false);
    SimLock lock;
    int16 *table = pad ? g.button_binding : g.key_binding;
    if (value > 0) {
        for (int i = 0; i < ACTION_COUNT; ++i)
            if (i != action && table[i] == value) table[i] = table[action];
        table[action] = static_cast<int16>(value);
    }
    g.panels.active[PROMPT_SLOT] = 0;
}

void run_controls_menu(const Backdrop &b) {
    // A pad plugged in since it was last looked for is found as the menu
    // opens, not a few seconds later.
    if (g.joystick_enabled) platform::install_joystick();
    const auto accept = [&b](int row) {
        if (row == 0) {
            const bool on = locked([] { return g.joystick_enabled = g.joystick_enabled == 1 ? 0 : 1; });
            // A missing gamepad leaves the setting on.
            if (on) platform::install_joystick();
            return false;
        }
        // The panel shows "NO PAD": no button could answer a capture.
        if (locked([] { return g.joystick_enabled && !pad_present(); })) return false;
        rebind_action(row - 1, b);
        announce_bound_keys();
        return false;
    };
    run_value_menu(b,
                   {PANEL_CONTROLS, -209, 80, CONTROLS_PANEL_W, 80, {35, 31, 32, 33, 34},
                    TITLE_CONTROLS, 0, 0, 124},
                   nullptr, 27, 28, 8, accept);
}

} // namespace

void run_setup_menu(const Backdrop &b) {
    {
        SimLock lock;
        fill_panel(2, {PANEL_LIST, -98, 50, 100, 66, {8, 9, 10, 12}, TITLE_CONFIGURATION});
        move_panels({{2, SLIDE_RIGHT, 21, 5}, {1, SLIDE_LEFT, 22, 5}});
    }
    wait_slides(b, {1, 2});
    MenuControls controls(2, true);
    run_menu(controls, [&b](const MenuInput &) { draw_backdrop(b); }, [&b](const MenuInput &in) {
        if (in.event == MenuEvent::Cancel) {
            slide({{2, SLIDE_LEFT, 22, 5}, {1, SLIDE_RIGHT, 22, 5}});
            wait_slides(b, {1, 2});
            return true;
        }
        if (in.event != MenuEvent::Accept) return false;
        play_menu_accept();
        switch (in.row) {
        case ROW_CONTROLS: run_controls_menu(b); break;
        case ROW_DIFFICULTY: run_difficulty_menu(b); break;
        case ROW_VOLUME: run_volume_menu(b); break;
        case ROW_DETAIL: run_graphics_menu(b); break;
        }
        return false;
    });
}

} // namespace qv
