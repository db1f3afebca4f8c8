// A gamepad the tests plug in, hold and pull out: the fake joystick device
// (tests/fake_joystick, preloaded) that Allegro's real driver reads.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qv::test {

// A pad as the kernel describes it: its axes (ABS_ codes, with where each
// rests) and buttons (BTN_ codes), in the kernel's order; and the buttons a
// player presses as buttons 1 to 4.
struct PadModel {
    const char *name;
    std::vector<int> axes, rest, buttons;
    std::vector<int> face;
};
// Pads players hold today.
extern const PadModel XBOX_PAD;          // xpad: a hat D-pad, triggers at rest
extern const PadModel XBOX_WIRELESS_PAD; // xpad's wireless pads: D-pad buttons
extern const PadModel PS3_PAD;           // hid-sony: the kernel's D-pad buttons
extern const PadModel STEAM_DECK_PAD;    // hid-steam: trackpads before A, B, X, Y

enum class PadControl { Left, Right, Up, Down, Button1, Button2, Button3, Button4, Start };

class FakePad {
  public:
    // Joystick devices are looked for in `folder` from now on.
    explicit FakePad(const std::string &folder);
    ~FakePad() { unplug(); }
    FakePad(const FakePad &) = delete;
    FakePad &operator=(const FakePad &) = delete;

    // True when the fake joystick library is preloaded.
    static bool in_place();
    void plug(const PadModel &model);
    void unplug();
    // Holds or lets go of a control. Directions are on the D-pad, or on the
    // left stick; the two are held apart, as a player's two thumbs would.
    void hold(PadControl c, bool held, bool on_stick = false);

  private:
    void send(int type, int number, int value);
    void steer(int axis_code, bool low, bool high);
    int axis(int code) const;
    int button(int code) const;

    std::string device_;
    const PadModel *model_ = nullptr;
    int fd_ = -1;
    bool held_[2][4] = {}; // D-pad and stick: left, right, up, down
    std::map<std::pair<int, int>, int> sent_; // the last value of each control
};

} // namespace qv::test
