#include "platform/pad_layout.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qv::platform {

namespace {

// Where Allegro's driver opens the first pad: the game gives it no
// configuration that would name another device.
constexpr const char *PAD_DEVICES[] = {"/dev/input/js0", "/dev/js0"};

// The four buttons of a D-pad that is no hat.
struct DpadButtons {
    std::uint16_t left, right, up, down;
    bool only_without_hat;
};
constexpr DpadButtons DPAD_BUTTONS[] = {
    // The kernel's own D-pad buttons (PlayStation 3 pads, among others).
    {BTN_DPAD_LEFT, BTN_DPAD_RIGHT, BTN_DPAD_UP, BTN_DPAD_DOWN, false},
    // xpad gives the D-pad of its wireless pads as the first four spare
    // buttons; on a pad with a hat those are something else.
    {BTN_TRIGGER_HAPPY1, BTN_TRIGGER_HAPPY2, BTN_TRIGGER_HAPPY3, BTN_TRIGGER_HAPPY4, true},
};

// The kernel's names of the face buttons, as buttons 1 to 4: BTN_A,
// BTN_B, BTN_X and BTN_Y are also its BTN_SOUTH, BTN_EAST, BTN_NORTH and
// BTN_WEST, which is how PlayStation pads report cross, circle, triangle
// and square.
constexpr std::uint16_t FACE_BUTTON_CODES[FACE_BUTTONS] = {BTN_A, BTN_B, BTN_X, BTN_Y};

using AxisMap = std::uint8_t[ABS_CNT];
using ButtonMap = std::uint16_t[KEY_MAX - BTN_MISC + 1];

int button_of(const ButtonMap &map, int count, int code) {
    const auto at = std::find(map, map + count, code);
    return at == map + count ? -1 : static_cast<int>(at - map);
}

} // namespace

const char *first_pad_device() {
    for (const char *device : PAD_DEVICES)
        if (access(device, F_OK) == 0) return device;
    return nullptr;
}

PadLayout read_pad_layout(const char *device) {
    PadLayout l;
    l.stick_x = 0;
    l.stick_y = 1;
    const int fd = open(device, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return l;
    std::uint8_t axes = 0, buttons = 0;
    AxisMap axis_map{};
    ButtonMap button_map{};
    const bool described = ioctl(fd, JSIOCGAXES, &axes) >= 0 &&
                           ioctl(fd, JSIOCGBUTTONS, &buttons) >= 0 &&
                           ioctl(fd, JSIOCGAXMAP, &axis_map) >= 0 &&
                           ioctl(fd, JSIOCGBTNMAP, &button_map) >= 0;
    close(fd);
    if (!described) return l;

    l = PadLayout{};
    const int axis_count = std::min<int>(axes, ABS_CNT);
    for (int a = 0; a < axis_count; ++a) {
        switch (axis_map[a]) {
        case ABS_X: l.stick_x = a; break;
        case ABS_Y: l.stick_y = a; break;
        case ABS_HAT0X: l.hat_x = a; break;
        case ABS_HAT0Y: l.hat_y = a; break;
        default: break; // triggers, the right stick, ...: never steer
        }
    }
    const int button_count = std::min<int>(buttons, static_cast<int>(std::size(button_map)));
    l.start = button_of(button_map, button_count, BTN_START);
    int face[FACE_BUTTONS];
    for (int b = 0; b < FACE_BUTTONS; ++b)
        face[b] = button_of(button_map, button_count, FACE_BUTTON_CODES[b]);
    if (*std::min_element(face, face + FACE_BUTTONS) >= 0)
        std::copy(face, face + FACE_BUTTONS, l.button);
    for (const DpadButtons &d : DPAD_BUTTONS) {
        if (d.only_without_hat && l.hat_x >= 0) continue;
        const int left = button_of(button_map, button_count, d.left);
        const int right = button_of(button_map, button_count, d.right);
        const int up = button_of(button_map, button_count, d.up);
        const int down = button_of(button_map, button_count, d.down);
        if (std::min({left, right, up, down}) < 0) continue;
        l.dpad_left = left;
        l.dpad_right = right;
        l.dpad_up = up;
        l.dpad_down = down;
        break;
    }
    return l;
}

} // namespace qv::platform
