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

namespace {

bool index_held(const InputState &in, int index) {
    return index > 0 && index < KEY_MAX && in.keys[static_cast<std::size_t>(index)];
}

} // namespace

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

bool library_key_held(int index) { return index_held(platform::input(), index); }

bool key_held(int code) { return library_key_held(library_key_index(code)); }

PlayerCommand player_command() {
    const InputState in = platform::input();
    // With the gamepad off its copy reads as nothing held, whatever it holds.
    const PadState pad = g.joystick_enabled ? g.pad : PadState{};
    PlayerCommand c{};
    c.left = pad.left || index_held(in, KEY_LEFT);
    c.right = pad.right || index_held(in, KEY_RIGHT);
    c.up = pad.up || index_held(in, KEY_UP);
    c.down = pad.down || index_held(in, KEY_DOWN);
    for (int a = 0; a < ACTION_COUNT; ++a) {
        const int b = g.button_binding[a];
        c.action[a] = (b >= 1 && b <= PAD_BUTTONS && pad.button[b - 1]) ||
                      index_held(in, library_key_index(g.key_binding[a]));
    }
    c.start = pad.start;
    return c;
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

// The name of the codes that no key of this keyboard gives.
static constexpr const char *NO_KEY = "x";

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
    NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY,
    "COLON", "X",
    "L SHIFT", "R SHIFT", "L CTRL", "R CTRL", "L ALT", "ALT", "L WIN", "R WIN",
    NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY, NO_KEY,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

static const char *const button_names[7] = {"",         "BUTTON 1", "BUTTON 2", "BUTTON 3",
                                            "BUTTON 4", "BUTTON 5", "BUTTON 6"};

const char *key_name(int code) {
    if (code < 0 || code >= KEYCODE_LIMIT || key_names[code] == nullptr) return "?";
    return key_names[code];
}

bool key_code_valid(int code) {
    // Code 0 is the library's "no key"; the rest it does not report have
    // no index.
    return library_key_index(code) > 0 && key_names[code] != nullptr && key_names[code] != NO_KEY;
}

const char *button_name(int button) {
    if (button < 0 || button >= 7) return "?";
    return button_names[button];
}

} // namespace qv
