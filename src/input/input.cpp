#include "input/input.h"

#include "core/game_state.h"
#include "core/sim_lock.h"
#include "platform/platform.h"

#include <vector>

namespace qv {

// Stored codes 103..114 (the modifiers and locks) sit 12 places higher in
// the library's table; everything below 103 is the same.
static constexpr int MODIFIER_FIRST = 103;
static constexpr int MODIFIER_LAST = 114;
static constexpr int MODIFIER_SHIFT = 12;

int library_key_index(int code) {
    if (code < 0) return -1;
    if (code < MODIFIER_FIRST) return code;
    if (code <= MODIFIER_LAST) return code + MODIFIER_SHIFT;
    return -1;
}

int stored_key_code(int library_index) {
    if (library_index < 0 || library_index >= KEY_MAX) return -1;
    if (library_index < MODIFIER_FIRST) return library_index;
    const int code = library_index - MODIFIER_SHIFT;
    return code >= MODIFIER_FIRST && code <= MODIFIER_LAST ? code : -1;
}

bool library_key_held(int index) {
    return index > 0 && index < KEY_MAX && platform::input().keys[static_cast<std::size_t>(index)];
}

bool key_held(int code) { return library_key_held(library_key_index(code)); }

int direction_held(int dir) {
    if (dir < DIR_RIGHT || dir > DIR_DOWN) return 0;
    if (g.joystick_enabled) {
        const PadState &pad = g.pad;
        const byte flag = dir == DIR_RIGHT  ? pad.right
                          : dir == DIR_LEFT ? pad.left
                          : dir == DIR_UP   ? pad.up
                                            : pad.down;
        if (flag) return 1;
    }
    static constexpr int direction_keys[5] = {0, KEY_RIGHT, KEY_LEFT, KEY_UP, KEY_DOWN};
    return library_key_held(direction_keys[dir]) ? 1 : 0;
}

int action_held(int action) {
    if (action < 0 || action >= ACTION_COUNT) return 0;
    if (g.joystick_enabled) {
        const int b = g.button_binding[action];
        if (b >= 1 && b <= PAD_BUTTONS && g.pad.button[b - 1]) return 1;
    }
    return key_held(g.key_binding[action]) ? 1 : 0;
}

bool pad_start_held() { return g.joystick_enabled && g.pad.start; }

bool pad_present() { return g.joystick_enabled && g.pad.present; }

bool key_bound(int code) {
    for (int a = 0; a < ACTION_COUNT; ++a)
        if (g.key_binding[a] == code) return true;
    return false;
}

void announce_bound_keys() {
    std::vector<int> keys;
    {
        SimLock lock;
        for (int a = 0; a < ACTION_COUNT; ++a) {
            const int k = library_key_index(g.key_binding[a]);
            if (k > 0) keys.push_back(k);
        }
    }
    platform::set_bound_keys(keys);
}

bool close_requested() { return platform::input().close; }

bool focus_lost() {
    // Main thread only, like the field.
    const std::uint32_t losses = platform::input().focus_losses;
    const bool lost = losses != g.focus_losses_seen;
    g.focus_losses_seen = losses;
    return lost;
}

std::uint32_t window_keys_used() { return platform::input().window_keys; }

// Display names by stored key code; codes 121..127 have none.
static const char *const key_names[KEYCODE_LIMIT] = {
    "",
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "PAD 0", "PAD 1", "PAD 2", "PAD 3", "PAD 4", "PAD 5", "PAD 6", "PAD 7", "PAD 8", "PAD 9",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "ESC", "TILDE", "MINUS", "EQUALS", "BACKSPC", "TAB", "O BRACKET", "C BRACKET", "ENTER",
    "COLOR", "QUOTE", "BACKSLASH", "BACKSLASH", "COMMA", "PERIOD", "SLASH", "SPACE",
    "INSERT", "DELETE", "HOME", "END", "PGUP", "PGDN", "LEFT", "RIGHT", "UP", "DOWN",
    "PAD SLASH", "ASTERISK", "PAD MINUS", "PAD PLUS", "PAD DELETE", "PAD ENTER", "PRINTSCR",
    "PAUSE",
    "x", "x", "x", "x", "x", "x", "x",
    "COLON", "X",
    "L SHIFT", "R SHIFT", "L CTRL", "R CTRL", "L ALT", "ALT", "L WIN", "R WIN",
    "x", "x", "x", "x", "x", "x", "x", "x", "x", "x",
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

static const char *const button_names[7] = {"",         "BUTTON 1", "BUTTON 2", "BUTTON 3",
                                            "BUTTON 4", "BUTTON 5", "BUTTON 6"};

const char *key_name(int code) {
    if (code < 0 || code >= KEYCODE_LIMIT || key_names[code] == nullptr) return "?";
    return key_names[code];
}

const char *button_name(int button) {
    if (button < 0 || button >= 7) return "?";
    return button_names[button];
}

} // namespace qv
