// What the player wants: four directions and four bindable actions, read
// from the keyboard and, when enabled, the first gamepad, as the tick's
// input (core/input_state.h) holds them, into one command per tick.
//
// Key codes in bindings, the settings file and key_names are numbered as the
// game has always stored them; Allegro 4.4 numbers the modifier keys
// differently, so they are translated to the library's index only here,
// where the tick's keys are read.
#pragma once

#include "core/game_state.h"

#include <cstdint>

namespace qv {

enum Action { ACT_FIRE = 0, ACT_STRAFE = 1, ACT_BOMB = 2, ACT_BOOSTER = 3 };

// Design key codes the game names directly.
inline constexpr int KEYCODE_A = 1;
inline constexpr int KEYCODE_0 = 27;
inline constexpr int KEYCODE_SPACE = 75;
inline constexpr int KEYCODE_ESC = 59;
inline constexpr int KEYCODE_BACKSPACE = 63;
inline constexpr int KEYCODE_ENTER = 67;
inline constexpr int KEYCODE_C = 3;
inline constexpr int KEYCODE_S = 19;
inline constexpr int KEYCODE_V = 22;
inline constexpr int KEYCODE_LIMIT = 128; // codes 0..127

// The library's key[] index for a stored key code, or -1 for none.
int library_key_index(int code);
// The stored key code of a library key[] index, or -1 when it has none.
int stored_key_code(int library_index);

// True while the key with this stored code is held.
bool key_held(int code);
// True while the key with this library index (KEY_*) is held.
bool library_key_held(int index);

// The player's command (core/game_state.h) from the tick's keys and the
// gamepad copy in the game state, each read once: call with the sim lock
// held (the timer thread writes the copy). The gamepad counts only while it
// is switched on; a button binding outside 1..4 never reads as held.
PlayerCommand player_command();
// While the gamepad is on: its Start button is held (pause in flight,
// accept in the menus), and a pad is plugged in and found. Sim lock held.
bool pad_start_held();
bool pad_present();

// True when a key of the keyboard gives this stored code: a binding to any
// other code could never be pressed.
bool key_code_valid(int code);

// True when an action is bound to the key with this stored code (sim lock
// held): such a key is the action's alone, never also a hot key.
bool key_bound(int code);
// Tells the platform which keys the actions are bound to, so that none of
// them is also a window key. Call whenever the bindings are loaded or
// changed, without the sim lock.
void announce_bound_keys();

// The window and the desktop, from the tick's input.
// True once the window's close button was pressed, or the desktop asked the
// game to end (logout, Ctrl+C).
bool close_requested();
// True when the window has lost the input focus since the last call (the
// flight pauses for it).
bool focus_lost();
// How many times the window's own keys (fullscreen, screenshot) were used
// so far: a menu key held across one is no choice.
std::uint32_t window_keys_used();

// Display name of a key code or a gamepad button; "?" for codes with none.
const char *key_name(int code);
const char *button_name(int button);

} // namespace qv
