#include "harness/fake_pad.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <utility>

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::test {

namespace {
constexpr int FULL = 32767;
const std::vector<int> XBOX_BUTTONS = {BTN_A,      BTN_B,    BTN_X,     BTN_Y,
                                       BTN_TL,     BTN_TR,   BTN_SELECT, BTN_START,
                                       BTN_MODE,   BTN_THUMBL, BTN_THUMBR};
const std::vector<int> SIX_AXES = {ABS_X, ABS_Y, ABS_Z, ABS_RX, ABS_RY, ABS_RZ};
const std::vector<int> TRIGGERS_AT_REST = {0, 0, -FULL, 0, 0, -FULL, 0, 0};
const std::vector<int> A_B_X_Y = {BTN_A, BTN_B, BTN_X, BTN_Y};

std::vector<int> plus(std::vector<int> a, const std::vector<int> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
} // namespace

const PadModel XBOX_PAD = {"Microsoft X-Box 360 pad", plus(SIX_AXES, {ABS_HAT0X, ABS_HAT0Y}),
                           TRIGGERS_AT_REST, XBOX_BUTTONS, A_B_X_Y};
const PadModel XBOX_WIRELESS_PAD = {
    "Xbox 360 Wireless Receiver", SIX_AXES, TRIGGERS_AT_REST,
    plus(XBOX_BUTTONS,
         {BTN_TRIGGER_HAPPY1, BTN_TRIGGER_HAPPY2, BTN_TRIGGER_HAPPY3, BTN_TRIGGER_HAPPY4}),
    A_B_X_Y};
// Cross, circle, triangle, square.
const PadModel PS3_PAD = {"Sony PLAYSTATION(R)3 Controller", SIX_AXES, TRIGGERS_AT_REST,
                          {BTN_SOUTH, BTN_EAST, BTN_NORTH, BTN_WEST, BTN_TL, BTN_TR, BTN_TL2,
                           BTN_TR2, BTN_SELECT, BTN_START, BTN_MODE, BTN_THUMBL, BTN_THUMBR,
                           BTN_DPAD_UP, BTN_DPAD_DOWN, BTN_DPAD_LEFT, BTN_DPAD_RIGHT},
                          {BTN_SOUTH, BTN_EAST, BTN_NORTH, BTN_WEST}};
// Trackpads on hats 0 and 1, triggers on hat 2 (all resting at 0), a D-pad
// of buttons; trackpad touches and the "..." button before A.
const PadModel STEAM_DECK_PAD = {
    "Steam Deck",
    {ABS_X, ABS_Y, ABS_RX, ABS_RY, ABS_HAT0X, ABS_HAT0Y, ABS_HAT1X, ABS_HAT1Y, ABS_HAT2X,
     ABS_HAT2Y},
    {},
    plus({BTN_THUMB, BTN_THUMB2, BTN_BASE},
         plus(XBOX_BUTTONS, {BTN_DPAD_UP, BTN_DPAD_DOWN, BTN_DPAD_LEFT, BTN_DPAD_RIGHT})),
    A_B_X_Y};

FakePad::FakePad(const std::string &folder) : device_(folder + "/js0") {
    setenv("QV_FAKE_JOYSTICK_DIR", folder.c_str(), 1);
}

bool FakePad::in_place() { return dlsym(RTLD_DEFAULT, "qv_fake_joystick_loaded") != nullptr; }

void FakePad::plug(const PadModel &model) {
    unplug();
    model_ = &model;
    std::ofstream layout(device_ + ".layout");
    layout << "name " << model.name << "\naxes";
    for (int a : model.axes) layout << ' ' << a;
    layout << "\nrest";
    for (int r : model.rest) layout << ' ' << r;
    layout << "\nbuttons";
    for (int b : model.buttons) layout << ' ' << b;
    layout << '\n';
    layout.close();
    mkfifo(device_.c_str(), 0600);
    // Read and written: held open, it never blocks, and never ends.
    fd_ = open(device_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
}

void FakePad::unplug() {
    if (fd_ < 0) return;
    unlink(device_.c_str());
    unlink((device_ + ".layout").c_str());
    close(fd_);
    fd_ = -1;
    std::fill(&held_[0][0], &held_[0][0] + 8, false);
    sent_.clear();
}

int FakePad::axis(int code) const {
    const auto at = std::find(model_->axes.begin(), model_->axes.end(), code);
    return at == model_->axes.end() ? -1 : static_cast<int>(at - model_->axes.begin());
}

int FakePad::button(int code) const {
    const auto at = std::find(model_->buttons.begin(), model_->buttons.end(), code);
    return at == model_->buttons.end() ? -1 : static_cast<int>(at - model_->buttons.begin());
}

void FakePad::send(int type, int number, int value) {
    // Only changes: the script holds its keys afresh at every tick.
    if (fd_ < 0 || number < 0 || std::exchange(sent_[{type, number}], value) == value) return;
    const js_event e = {0, static_cast<__s16>(value), static_cast<__u8>(type),
                        static_cast<__u8>(number)};
    if (write(fd_, &e, sizeof e) != static_cast<ssize_t>(sizeof e)) std::abort();
}

void FakePad::steer(int code, bool low, bool high) {
    send(JS_EVENT_AXIS, axis(code), (high ? FULL : 0) - (low ? FULL : 0));
}

void FakePad::hold(PadControl c, bool held, bool on_stick) {
    if (!model_) return;
    const int n = static_cast<int>(c);
    if (c > PadControl::Down) {
        const int code = c == PadControl::Start ? BTN_START : model_->face[n - 4];
        send(JS_EVENT_BUTTON, button(code), held);
        return;
    }
    bool(&h)[4] = held_[on_stick];
    h[n] = held;
    // The D-pad: the kernel's D-pad buttons, else a hat, else xpad's four
    // spare buttons.
    static const int dpad[2][4] = {{BTN_DPAD_LEFT, BTN_DPAD_RIGHT, BTN_DPAD_UP, BTN_DPAD_DOWN},
                                   {BTN_TRIGGER_HAPPY1, BTN_TRIGGER_HAPPY2, BTN_TRIGGER_HAPPY3,
                                    BTN_TRIGGER_HAPPY4}};
    const bool dpad_buttons = button(BTN_DPAD_LEFT) >= 0;
    if (on_stick || (!dpad_buttons && axis(ABS_HAT0X) >= 0)) {
        const int x = on_stick ? ABS_X : ABS_HAT0X, y = on_stick ? ABS_Y : ABS_HAT0Y;
        if (n < 2) steer(x, h[0], h[1]);
        else steer(y, h[2], h[3]);
        return;
    }
    send(JS_EVENT_BUTTON, button(dpad[dpad_buttons ? 0 : 1][n]), held);
}

} // namespace qv::test
