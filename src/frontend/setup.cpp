// "Configuration" and its menus: controls (with rebinding), difficulty,
// volume and graphics detail. Changes apply at once in memory; the files are
// written at the next stage start or on quitting.
#include "assets/sound.h"
#include "core/sim_lock.h"
#include "frontend/submenus.h"
#include "input/input.h"
#include "platform/platform.h"
#include "render/panels.h"

namespace qv {

namespace {

constexpr int16 TITLE_CONFIGURATION = 6, TITLE_CONTROLS = 7, TITLE_DIFFICULTY = 8;
constexpr int16 TITLE_VOLUME = 9, TITLE_GRAPHICS = 10;
constexpr int16 TITLE_PRESS_KEY = 31, TITLE_HIT_BUTTON = 32;
constexpr int VOLUME_STEP = 63;
constexpr int PROMPT_SLOT = 5;

enum SetupRow { ROW_CONTROLS = 0, ROW_DIFFICULTY = 1, ROW_VOLUME = 2, ROW_DETAIL = 3 };

// A value menu in slot 3: slides the "Configuration" list out, runs, and
// slides it back. `accept` gets the row and returns true to close.
template <class Accept>
void run_value_menu(const Backdrop &b, const PanelSetup &panel, int in_steps, int out_steps,
                    int speed, Accept accept) {
    set_panel(3, panel);
    slide(2, SLIDE_LEFT, 22, 5);
    slide(3, SLIDE_RIGHT, in_steps, speed);
    wait_slides(b, {2, 3});
    MenuControls controls(3, true);
    for (;;) {
        if (close_requested()) return;
        const MenuInput in = controls.step();
        draw_backdrop(b);
        if (in.event == MenuEvent::Accept) {
            play_menu_accept();
            if (accept(in.row)) break;
        } else if (in.event == MenuEvent::Cancel) {
            play_menu_cancel();
            break;
        }
    }
    slide(3, SLIDE_LEFT, out_steps, speed);
    slide(2, SLIDE_RIGHT, 22, 5);
    wait_slides(b, {2, 3});
}

void run_difficulty_menu(const Backdrop &b) {
    run_value_menu(b,
                   {PANEL_LIST, -98, 80, 100, 66, {13, 14, 15, 16}, TITLE_DIFFICULTY, 0,
                    locked([] { return g.difficulty; })},
                   21, 22, 5, [](int row) {
                       SimLock lock;
                       g.difficulty = static_cast<int16>(row);
                       return true;
                   });
}

void run_volume_menu(const Backdrop &b) {
    run_value_menu(b,
                   {PANEL_LIST, -98, 80, 100, 80, {26, 27, 28, 29, 30}, TITLE_VOLUME, 0,
                    locked([] { return g.sound_volume; })},
                   21, 22, 5, [](int row) {
                       {
                           SimLock lock;
                           g.sound_volume = static_cast<int16>(row);
                           g.sfx_volume = static_cast<int16>(VOLUME_STEP * row);
                       }
                       set_sound_volume(VOLUME_STEP * row);
                       return true;
                   });
}

void run_graphics_menu(const Backdrop &b) {
    run_value_menu(b,
                   {PANEL_TOGGLES, -123, 80, 125, 94, {17, 18, 19, 20, 21, 22}, TITLE_GRAPHICS,
                    0, 0, 107},
                   26, 27, 5, [](int row) {
                       SimLock lock;
                       g.detail[row] = g.detail[row] == 1 ? 0 : 1;
                       return false; // only cancel closes it
                   });
}

void run_controls_menu(const Backdrop &b) {
    // A pad plugged in since it was last looked for is found as the menu
    // opens, not a few seconds later.
    if (locked([] { return g.joystick_enabled; })) platform::install_joystick();
    run_value_menu(b,
                   {PANEL_CONTROLS, -209, 80, CONTROLS_PANEL_W, 80, {35, 31, 32, 33, 34},
                    TITLE_CONTROLS, 0, 0, 124},
                   27, 28, 8, [&b](int row) {
                       if (row == 0) {
                           bool on;
                           {
                               SimLock lock;
                               g.joystick_enabled = g.joystick_enabled == 1 ? 0 : 1;
                               on = g.joystick_enabled;
                           }
                           // A missing gamepad leaves the setting on.
                           if (on) platform::install_joystick();
                           return false;
                       }
                       // The panel shows "NO PAD": no button could answer
                       // a capture.
                       if (locked([] { return g.joystick_enabled && !pad_present(); }))
                           return false;
                       const int action = row - 1;
                       const int value = rebind_action(action, b);
                       {
                           SimLock lock;
                           int16 *table = g.joystick_enabled ? g.button_binding : g.key_binding;
                           table[action] = static_cast<int16>(value);
                       }
                       announce_bound_keys();
                       return false;
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

} // namespace

int rebind_action(int action, const Backdrop &b) {
    const bool pad = [] {
        SimLock lock;
        return g.joystick_enabled != 0;
    }();
    set_panel(PROMPT_SLOT, {PANEL_CAPTION, 75, 50, 170, 21, {}, 0,
                            pad ? TITLE_HIT_BUTTON : TITLE_PRESS_KEY});
    int value = 0; // none: the old binding stays
    // The key the capture takes is the binding's, not also a window key.
    platform::set_key_capture(!pad);
    for (;;) {
        if (close_requested()) break;
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
    if (value > 0) {
        int16 *table = pad ? g.button_binding : g.key_binding;
        for (int i = 0; i < ACTION_COUNT; ++i)
            if (i != action && table[i] == value) table[i] = table[action];
    } else {
        value = (pad ? g.button_binding : g.key_binding)[action];
    }
    g.panels.active[PROMPT_SLOT] = 0;
    return value;
}

void run_setup_menu(const Backdrop &b) {
    set_panel(2, {PANEL_LIST, -98, 50, 100, 66, {8, 9, 10, 12}, TITLE_CONFIGURATION});
    slide(2, SLIDE_RIGHT, 21, 5);
    slide(1, SLIDE_LEFT, 22, 5);
    wait_slides(b, {1, 2});
    MenuControls controls(2, true);
    for (;;) {
        if (close_requested()) return;
        const MenuInput in = controls.step();
        draw_backdrop(b);
        if (in.event == MenuEvent::Accept) {
            play_menu_accept();
            switch (in.row) {
            case ROW_CONTROLS: run_controls_menu(b); break;
            case ROW_DIFFICULTY: run_difficulty_menu(b); break;
            case ROW_VOLUME: run_volume_menu(b); break;
            case ROW_DETAIL: run_graphics_menu(b); break;
            }
        } else if (in.event == MenuEvent::Cancel) {
            play_menu_cancel();
            slide(2, SLIDE_LEFT, 22, 5);
            slide(1, SLIDE_RIGHT, 22, 5);
            wait_slides(b, {1, 2});
            return;
        }
    }
}

} // namespace qv
