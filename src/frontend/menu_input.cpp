#include "frontend/menu_input.h"

#include "assets/graphics.h"
#include "assets/sound.h"
#include "core/sim_lock.h"
#include "frontend/menu_engine.h"
#include "input/input.h"
#include "platform/platform.h"

#include <cstring>

namespace qv {

namespace {
constexpr int LOGO_W = 298;
constexpr int LOGO_H = 37;
constexpr int LOGO_B_Y = 42;
constexpr int REPEAT_FIRST_TICKS = 20;

// The queries read the gamepad copy that the timer thread writes: the main
// thread asks under the lock.
bool held(Action action) {
    SimLock lock;
    return action_held(action) != 0;
}

bool held(Direction dir) {
    SimLock lock;
    return direction_held(dir) != 0;
}
} // namespace

bool start_held() {
    SimLock lock;
    return pad_start_held();
}

void set_panel(int s, const PanelSetup &p) {
    SimLock lock;
    MenuPanels &m = g.panels;
    m.kind[s] = p.kind;
    m.x[s] = static_cast<int16>(p.x);
    m.y[s] = static_cast<int16>(p.y);
    m.width[s] = static_cast<int16>(p.width);
    m.height[s] = static_cast<int16>(p.height);
    m.caption[s] = p.caption;
    m.item_count[s] = static_cast<int16>(p.items.size());
    int i = 0;
    for (int16 item : p.items)
        if (i < PANEL_ITEMS) m.items[s][i++] = item;
    m.tab_text[s] = p.tab_text;
    m.scan_enabled[s] = p.scan_enabled;
    m.cursor[s] = p.cursor;
    m.highlight_width[s] = p.highlight_width;
    m.active[s] = 1;
}

void slide(int slot, int direction, int steps, int speed) {
    SimLock lock;
    move_panel(slot, direction, steps, speed);
}

int panel_cursor(int slot) {
    SimLock lock;
    return g.panels.cursor[slot];
}

void set_panel_caption(int slot, int caption) {
    SimLock lock;
    g.panels.caption[slot] = static_cast<int16>(caption);
}

void set_panel_active(int slot, bool active) {
    SimLock lock;
    g.panels.active[slot] = active ? 1 : 0;
}

void draw_backdrop(const Backdrop &b) { draw_menu_screen(b.background, b.logo_a, b.logo_b); }

void wait_slides(const Backdrop &b, std::initializer_list<int> slots) {
    for (;;) {
        bool moving = false;
        {
            SimLock lock;
            for (int s : slots) moving = moving || g.panels.motion_steps[s] != 0;
        }
        if (!moving || close_requested()) return;
        draw_backdrop(b);
    }
}

MenuEvent ChoiceLatch::step() {
    const bool accept = held(ACT_FIRE);
    const bool cancel = held(ACT_STRAFE);
    const bool start = start_held();
    switch (state_) {
    case State::Idle:
        if (start) state_ = State::ArmedStart;
        if (accept) state_ = State::ArmedAccept;
        if (cancellable_ && cancel) state_ = State::ArmedCancel;
        window_keys_at_arming_ = window_keys_used();
        return MenuEvent::None;
    case State::ArmedAccept:
    case State::ArmedStart:
    case State::ArmedCancel:
        if (accept || cancel || start) return MenuEvent::None;
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

void CursorLatch::step(int slot) {
    if (latched_ == 0) {
        const bool up = held(DIR_UP);
        const bool down = held(DIR_DOWN);
        if (up) latched_ = -1;
        if (down) latched_ = 1;
        if (latched_ != 0 && repeat_) {
            SimLock lock;
            g.repeat_countdown = REPEAT_FIRST_TICKS;
        }
        return;
    }
    const bool still_held = held(latched_ < 0 ? DIR_UP : DIR_DOWN);
    bool due;
    {
        SimLock lock;
        due = repeat_ && g.repeat_due;
    }
    if (still_held && !due) return;
    bool moved = false;
    {
        SimLock lock;
        MenuPanels &m = g.panels;
        const int c = m.cursor[slot] + latched_;
        if (c >= 0 && c < m.item_count[slot]) {
            m.cursor[slot] = static_cast<int16>(c);
            moved = true;
        }
        if (g.repeat_due && repeat_)
            g.repeat_due = 0;
        else
            g.repeat_countdown = 0;
    }
    if (moved && sounds_) play_menu_move();
    latched_ = 0;
}

MenuInput MenuControls::step() {
    MenuInput in;
    in.event = choice_.step();
    if (in.event == MenuEvent::Accept) {
        in.row = panel_cursor(slot_);
        in.by_start = choice_.by_start();
    }
    cursor_.step(slot_);
    return in;
}

FrontEndScreen::FrontEndScreen() {
    backdrop_.background = g.title_sheet;
    backdrop_.logo_a = create_sub_bitmap(g.logos_sheet, 0, 0, LOGO_W, LOGO_H);
    backdrop_.logo_b = create_sub_bitmap(g.logos_sheet, 0, LOGO_B_Y, LOGO_W, LOGO_H);
    use_title_colour_maps();
    SimLock lock;
    g.game_running = 0;
    g.shake_frames = 0;
}

FrontEndScreen::~FrontEndScreen() {
    close();
    destroy_bitmap(backdrop_.logo_a);
    destroy_bitmap(backdrop_.logo_b);
}

void FrontEndScreen::draw() {
    draw_backdrop(backdrop_);
    if (!shown_) {
        shown_ = true;
        platform::fade_in(g.title_palette, FADE_SPEED);
        platform::install_menu_tick(menu_tick);
    }
}

void FrontEndScreen::close() {
    if (shown_ && !closed_) platform::remove_menu_tick(menu_tick);
    closed_ = true;
}

} // namespace qv
