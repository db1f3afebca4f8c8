// The window's own keys, whichever back end reads them: Alt+Enter and F11
// switch fullscreen, F12 saves a screenshot. They are taken out of the
// game's input before the game sees it, and only their uses are counted
// there. A key the game has taken for itself (bound to an action, or any key
// while a new binding is captured) is the game's alone: Fire on F11 fires
// and switches nothing.
#pragma once

#include "core/input_state.h"

#include <bitset>
#include <vector>

namespace qv::platform {

class WindowKeys {
  public:
    struct Uses {
        bool fullscreen = false;
        bool screenshot = false;
    };

    // The keys bound to the game's actions, as library indices (KEY_*).
    void set_bound(const std::vector<int> &keys);
    // While on, every key goes to the capture of a new binding.
    void set_capturing(bool on) { capturing_ = on; }
    // At every tick: takes the window keys that are held out of `input`,
    // counts each press once in input.window_keys, and says what the
    // presses since the last tick asked for.
    Uses take(InputState &input);

  private:
    std::bitset<KEY_MAX> bound_;
    bool capturing_ = false;
    bool toggle_was_down_ = false;
    bool shot_was_down_ = false;
};

} // namespace qv::platform
