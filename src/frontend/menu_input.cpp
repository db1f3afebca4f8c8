#include "frontend/menu_input.h"

#include "assets/sound.h"
#include "core/sim_lock.h"
#include "input/input.h"

namespace qv {

namespace {
constexpr int REPEAT_FIRST_TICKS = 20;
} // namespace

// The gamepad copy is written by the timer thread: the main thread asks
// under the lock.
bool start_held() {
    SimLock lock;
    return pad_start_held();
}

MenuEvent ChoiceLatch::step(const PlayerCommand &c) {
    const bool accept = c.action[ACT_FIRE];
    const bool cancel = c.action[ACT_STRAFE];
    switch (state_) {
    case State::Idle:
        if (c.start) state_ = State::ArmedStart;
        if (accept) state_ = State::ArmedAccept;
        if (cancellable_ && cancel) state_ = State::ArmedCancel;
        window_keys_at_arming_ = window_keys_used();
        return MenuEvent::None;
    case State::ArmedAccept:
    case State::ArmedStart:
    case State::ArmedCancel:
        if (accept || cancel || c.start) return MenuEvent::None;
        // Alt (the default accept key) held for Alt+Enter: the player
        // switched to fullscreen, and chose nothing.
        if (window_keys_used() != window_keys_at_arming_) {
            state_ = State::Idle;
            return MenuEvent::None;
        }
        {
            const State armed = state_;
            state_ = State::Idle;
            by_start_ = armed == State::ArmedStart;
            return armed == State::ArmedCancel ? MenuEvent::Cancel : MenuEvent::Accept;
        }
    }
    return MenuEvent::None;
}

bool CursorLatch::step(int slot, const PlayerCommand &c) {
    if (latched_ == 0) {
        if (c.up) latched_ = -1;
        if (c.down) latched_ = 1;
        if (latched_ != 0 && repeat_) g.repeat_countdown = REPEAT_FIRST_TICKS;
        return false;
    }
    const bool still_held = latched_ < 0 ? c.up : c.down;
    if (still_held && !(repeat_ && g.repeat_due)) return false;
    MenuPanels &m = g.panels;
    const int row = m.cursor[slot] + latched_;
    const bool moved = row >= 0 && row < m.item_count[slot];
    if (moved) m.cursor[slot] = static_cast<int16>(row);
    if (g.repeat_due && repeat_)
        g.repeat_due = 0;
    else
        g.repeat_countdown = 0;
    latched_ = 0;
    return moved;
}

MenuInput MenuControls::step() {
    MenuInput in;
    bool moved = false;
    {
        SimLock lock;
        const PlayerCommand c = player_command();
        if (keys_held_at_open_) {
            keys_held_at_open_ =
                c.action[ACT_FIRE] || c.action[ACT_STRAFE] || c.start || c.up || c.down;
            if (slot_ != NO_LIST) in.row = g.panels.cursor[slot_];
            return in;
        }
        in.event = choice_.step(c);
        if (in.event == MenuEvent::Accept) in.by_start = choice_.by_start();
        if (slot_ == NO_LIST) return in;
        const int accepted_row = g.panels.cursor[slot_];
        moved = cursor_.step(slot_, c);
        in.row = in.event == MenuEvent::Accept ? accepted_row : g.panels.cursor[slot_];
    }
    if (moved && sounds_) play_menu_move();
    return in;
}

void run_menu(MenuControls &controls, const std::function<void(const MenuInput &)> &show,
              const std::function<bool(const MenuInput &)> &act) {
    while (!close_requested()) {
        const MenuInput in = controls.step();
        show(in);
        if (in.event == MenuEvent::Cancel) play_menu_cancel();
        if (act(in)) return;
    }
}

} // namespace qv
