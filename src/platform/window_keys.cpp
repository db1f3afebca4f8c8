#include "platform/window_keys.h"

namespace qv::platform {

void WindowKeys::set_bound(const std::vector<int> &keys) {
    bound_.reset();
    for (int k : keys)
        if (k > 0 && k < KEY_MAX) bound_.set(static_cast<std::size_t>(k));
}

WindowKeys::Uses WindowKeys::poll(const volatile char *keys) {
    // The real keyboard driver writes the keys from its own thread.
    const auto held = [keys](int k) { return __atomic_load_n(&keys[k], __ATOMIC_RELAXED) != 0; };
    const auto free_held = [&](int k) { return held(k) && !bound_[static_cast<std::size_t>(k)]; };
    // Alt is the default Fire: it stays the fullscreen key's modifier
    // whatever it does; Enter bound to an action is no longer the key.
    const bool alt = held(KEY_ALT) || held(KEY_ALTGR);
    const bool toggle = (alt && free_held(KEY_ENTER)) || free_held(KEY_F11);
    const bool shot = free_held(KEY_F12);
    Uses u;
    u.fullscreen = toggle && !toggle_was_down_ && !capturing_;
    u.screenshot = shot && !shot_was_down_ && !capturing_;
    toggle_was_down_ = toggle;
    shot_was_down_ = shot;
    return u;
}

} // namespace qv::platform
