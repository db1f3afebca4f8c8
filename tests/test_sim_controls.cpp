// The two queries the flight reads the player through: stored key codes
// against the keys held in the tick's input, and the gamepad only when enabled.
#include "harness/sim_fixture.h"

using namespace qv;

namespace {

using ControlsTest = test::SimTest;

TEST_F(ControlsTest, DefaultBindingsReadTheLibrarysModifierKeys) {
    // Stored 107 L ALT, 105 L CTRL, 26 Z, 103 L SHIFT.
    const int library_keys[4] = {KEY_ALT, KEY_LCONTROL, KEY_Z, KEY_LSHIFT};
    for (int a = 0; a < 4; ++a) {
        test::release_all_keys();
        hold_key(library_keys[a]);
        for (int b = 0; b < 4; ++b)
            EXPECT_EQ(action_held(b), a == b ? 1 : 0) << a << " " << b;
    }
    // The stored code's own index is another key in this library.
    test::release_all_keys();
    hold_key(107);
    EXPECT_EQ(action_held(ACT_FIRE), 0);
    EXPECT_EQ(action_held(-1), 0);
    EXPECT_EQ(action_held(4), 0);
    EXPECT_EQ(direction_held(0), 0);
    EXPECT_EQ(direction_held(5), 0);
}

TEST_F(ControlsTest, GamepadCountsOnlyWhenEnabled) {
    g.pad.button[3] = 1; // Fire's default button 4
    g.pad.left = 1;
    g.pad.down = 1;
    g.joystick_enabled = 0;
    EXPECT_EQ(action_held(ACT_FIRE), 0);
    EXPECT_EQ(direction_held(DIR_LEFT), 0);
    EXPECT_EQ(direction_held(DIR_DOWN), 0);
    g.joystick_enabled = 1;
    EXPECT_EQ(action_held(ACT_FIRE), 1);
    EXPECT_EQ(direction_held(DIR_LEFT), 1);
    EXPECT_EQ(direction_held(DIR_DOWN), 1);
    EXPECT_EQ(direction_held(DIR_RIGHT), 0);
    // The arrow keys work alongside the stick.
    hold_key(KEY_RIGHT);
    EXPECT_EQ(direction_held(DIR_RIGHT), 1);
}

TEST_F(ControlsTest, BadButtonBindsNothingAndTwoActionsMayShareAKey) {
    g.joystick_enabled = 1;
    for (int b = 0; b < 4; ++b)
        g.pad.button[b] = 1;
    for (int binding : {0, 5, -1}) {
        g.button_binding[ACT_FIRE] = static_cast<int16>(binding);
        EXPECT_EQ(action_held(ACT_FIRE), 0) << binding;
    }
    g.joystick_enabled = 0;
    g.key_binding[ACT_BOMB] = g.key_binding[ACT_FIRE];
    hold(ACT_FIRE);
    EXPECT_EQ(action_held(ACT_FIRE), 1);
    EXPECT_EQ(action_held(ACT_BOMB), 1);
    EXPECT_EQ(action_held(ACT_STRAFE), 0);
}

} // namespace
