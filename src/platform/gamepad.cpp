#include "platform/gamepad.h"

#include <allegro.h>

#include <unistd.h>

namespace qv::platform {

namespace {

// While no pad is installed, the poll looks for a device file this often
// (a poll every 70 Hz tick: every two seconds), a stat now and then.
constexpr int POLLS_PER_LOOK = 140;

// Allegro pairs the kernel's axes into sticks in order: axes 0 and 1 are
// its first stick, 2 and 3 its second, and so on.
const JOYSTICK_AXIS_INFO *axis_of(const JOYSTICK_INFO &j, int a) {
    if (a < 0) return nullptr;
    const int s = a / 2, n = a % 2;
    if (s >= j.num_sticks || n >= j.stick[s].num_axis) return nullptr;
    return &j.stick[s].axis[n];
}

bool low(const JOYSTICK_INFO &j, int a) {
    const JOYSTICK_AXIS_INFO *axis = axis_of(j, a);
    return axis && axis->d1;
}

bool high(const JOYSTICK_INFO &j, int a) {
    const JOYSTICK_AXIS_INFO *axis = axis_of(j, a);
    return axis && axis->d2;
}

bool pressed(const JOYSTICK_INFO &j, int b) {
    return b >= 0 && b < j.num_buttons && j.button[b].b;
}

std::uint8_t flag(bool on) { return on ? 1 : 0; }

static_assert(FACE_BUTTONS == PAD_BUTTONS);

PadState read_pad(const JOYSTICK_INFO &j, const PadLayout &l) {
    PadState pad{};
    pad.left = flag(low(j, l.stick_x) || low(j, l.hat_x) || pressed(j, l.dpad_left));
    pad.right = flag(high(j, l.stick_x) || high(j, l.hat_x) || pressed(j, l.dpad_right));
    pad.up = flag(low(j, l.stick_y) || low(j, l.hat_y) || pressed(j, l.dpad_up));
    pad.down = flag(high(j, l.stick_y) || high(j, l.hat_y) || pressed(j, l.dpad_down));
    for (int b = 0; b < PAD_BUTTONS; ++b) pad.button[b] = flag(pressed(j, l.button[b]));
    pad.start = flag(pressed(j, l.start));
    pad.present = 1;
    return pad;
}

} // namespace

void Gamepad::install() {
    std::lock_guard<std::mutex> hold(mutex_);
    wanted_ = true;
    // Installing again while installed would do nothing at all.
    remove_joystick();
    installed_ = ::install_joystick(JOY_TYPE_AUTODETECT) == 0 && num_joysticks > 0;
    device_ = first_pad_device();
    installed_ = installed_ && device_;
    device_seen_ = device_ != nullptr;
    gone_ = false;
    polls_since_look_ = 0;
    layout_ = installed_ ? read_pad_layout(device_) : PadLayout{};
}

void Gamepad::look_after() {
    if (appeared_.load(std::memory_order_relaxed) && appeared_.exchange(false)) install();
}

void Gamepad::poll(PadState &pad) {
    std::unique_lock<std::mutex> hold(mutex_, std::try_to_lock);
    if (!hold.owns_lock()) {
        pad = last_;
        return;
    }
    // Until the player asks for a pad, none is looked for.
    if (!wanted_) {
        pad = last_ = PadState{};
        return;
    }
    if (installed_ && !gone_ && access(device_, F_OK) != 0) {
        gone_ = true;
        device_seen_ = false;
    }
    if (installed_ && !gone_) {
        ::poll_joystick();
        pad = read_pad(joy[0], layout_);
    } else {
        pad = PadState{};
        // A device file that was not there at the last look: a pad was
        // plugged in, for the main thread to install.
        if (++polls_since_look_ >= POLLS_PER_LOOK) {
            polls_since_look_ = 0;
            const bool there = first_pad_device() != nullptr;
            if (there && !device_seen_) appeared_.store(true);
            device_seen_ = there;
        }
    }
    last_ = pad;
}

void Gamepad::shutdown() {
    std::lock_guard<std::mutex> hold(mutex_);
    remove_joystick();
    installed_ = false;
}

} // namespace qv::platform
