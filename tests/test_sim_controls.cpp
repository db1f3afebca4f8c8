// The player's command as the flight reads it: stored key codes against the
// keys held in the tick's input, and the gamepad only when enabled.
#include "harness/sim_fixture.h"

using namespace qv;

namespace {

using ControlsTest = test::SimTest;

TEST_F(ControlsTest, GamepadCountsOnlyWhenEnabled) {
    g.pad.button[3] = 1; // Fire's default button 4
    g.pad.left = g.pad.down = g.pad.start = 1;
    g.joystick_enabled = 0;
    PlayerCommand c = player_command();
    EXPECT_FALSE(c.action[ACT_FIRE] || c.left || c.down || c.start);
    g.joystick_enabled = 1;
    c = player_command();
    EXPECT_TRUE(c.action[ACT_FIRE] && c.left && c.down && c.start);
    EXPECT_FALSE(c.right || c.up);
    // The arrow keys work alongside the stick.
    hold_key(KEY_RIGHT);
    EXPECT_TRUE(player_command().right);
}

TEST_F(ControlsTest, BadButtonBindsNothingAndTwoActionsMayShareAKey) {
    g.joystick_enabled = 1;
    for (int b = 0; b < 4; ++b)
        g.pad.button[b] = 1;
    for (int binding : {0, 5, -1}) {
        g.button_binding[ACT_FIRE] = static_cast<int16>(binding);
        EXPECT_FALSE(player_command().action[ACT_FIRE]) << binding;
    }
    g.joystick_enabled = 0;
    g.key_binding[ACT_BOMB] = g.key_binding[ACT_FIRE];
    hold(ACT_FIRE);
    const PlayerCommand c = player_command();
    EXPECT_TRUE(c.action[ACT_FIRE] && c.action[ACT_BOMB]);
    EXPECT_FALSE(c.action[ACT_STRAFE]);
}

} // namespace
