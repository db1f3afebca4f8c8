#include "platform/window_keys.h"

namespace qv::platform {

void WindowKeys::set_bound(const std::vector<int> &keys) {
    bound_.reset();
    for (int k : keys)
        if (k > 0 && k < KEY_MAX) bound_.set(static_cast<std::size_t>(k));
}

WindowKeys::Uses WindowKeys::take(InputState &input) {
    Uses u;
    auto &keys = input.keys;
    const auto free_held = [&](int k) { return keys[k] && !bound_[static_cast<std::size_t>(k)]; };
    // Alt is the default Fire: it stays the fullscreen key's modifier and
    // reaches the game whatever it does; Enter bound to an action is no
    // longer the key.
    const bool alt = keys[KEY_ALT] || keys[KEY_ALTGR];
    const bool alt_enter = alt && free_held(KEY_ENTER);
    const bool toggle = alt_enter || free_held(KEY_F11);
    const bool shot = free_held(KEY_F12);
    // A key held into or out of a capture is no new press.
    const bool was_toggle = toggle_was_down_, was_shot = shot_was_down_;
    toggle_was_down_ = toggle;
    shot_was_down_ = shot;
    if (capturing_) return u;
    u.fullscreen = toggle && !was_toggle;
    u.screenshot = shot && !was_shot;
    input.window_keys += static_cast<std::uint32_t>(u.fullscreen) + static_cast<std::uint32_t>(u.screenshot);
    if (alt_enter) keys[KEY_ENTER] = false;
    if (free_held(KEY_F11)) keys[KEY_F11] = false;
    if (shot) keys[KEY_F12] = false;
    return u;
}

} // namespace qv::platform
