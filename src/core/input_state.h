// What the player does, as the game reads it: one state per 70 Hz tick,
// built by the platform's back end from the real devices, from a test's
// script or from a recording. The game reads only this, and a recording is
// the changes of this state from tick to tick, so what is recorded is
// exactly what the game read.
#pragma once

#include <allegro.h>

#include <array>
#include <cstdint>

namespace qv {

inline constexpr int PAD_BUTTONS = 4; // gamepad buttons 1..4 can be bound

// The first gamepad: its digital directions (the left stick and the D-pad
// alike), the buttons actions can be bound to, Start, and whether a pad is
// plugged in and found at all.
struct PadState {
    std::uint8_t left, right, up, down;
    std::uint8_t button[PAD_BUTTONS];
    std::uint8_t start;
    std::uint8_t present;
    bool operator==(const PadState &) const = default;
};

struct InputState {
    // Keys held during the tick, by the library's index (KEY_*). A key
    // pressed and let go between two ticks shows as held for one. The
    // window's own keys (fullscreen, screenshot) are not among them when
    // they were used as such.
    std::array<bool, KEY_MAX> keys{};
    PadState pad{};
    // The window's close button was pressed, or the desktop asked the game
    // to end (logout, Ctrl+C); it stays set.
    bool close = false;
    // How many times the window has lost the input focus so far.
    std::uint32_t focus_losses = 0;
    // How many times the window's own keys have been used so far: a menu
    // key held across one is no choice.
    std::uint32_t window_keys = 0;
    bool operator==(const InputState &) const = default;
};

} // namespace qv
