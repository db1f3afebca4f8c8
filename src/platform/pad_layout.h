// Which of a pad's axes and buttons are its left stick, its D-pad and its
// Start button, as the kernel's joystick API describes them.
//
// Allegro's Linux driver only pairs the kernel's axes into sticks in order:
// on today's common pads (Xbox-style through xpad, PlayStation-style through
// hid-sony and hid-playstation) its first stick is the left stick, its
// second pairs a trigger with the right stick's X, and the D-pad is a hat
// on axes 6 and 7. The kernel's axis and button maps say which is which,
// and which buttons are the four face buttons: the kernel lists buttons by
// code, so on some pads (the Steam Deck's own driver, hid-steam: its
// trackpads and its "..." button) others come first.
//
// Kept apart from Allegro: the kernel's headers and Allegro's name their
// key codes alike.
#pragma once

namespace qv::platform {

// The buttons actions are bound to, 1 to 4.
inline constexpr int FACE_BUTTONS = 4;

// Axis and button numbers as the kernel numbers them, which are the
// numbers Allegro's driver reads them by; -1 where the pad has none.
struct PadLayout {
    int stick_x = -1, stick_y = -1; // the left stick
    int hat_x = -1, hat_y = -1;     // a D-pad that is a hat
    int dpad_left = -1, dpad_right = -1, dpad_up = -1, dpad_down = -1; // one of buttons
    int start = -1;
    // Buttons 1 to 4: the face buttons where the driver names them (A, B,
    // X, Y on Xbox-style pads; cross, circle, triangle, square on
    // PlayStation ones), otherwise the first four.
    int button[FACE_BUTTONS] = {0, 1, 2, 3};
};

// The first pad's device file, where Allegro's driver looks for it, or
// nullptr when there is none.
const char *first_pad_device();

// The layout of the pad at `device`. One that the kernel cannot describe
// steers with its first two axes, as Allegro's first stick.
PadLayout read_pad_layout(const char *device);

} // namespace qv::platform
