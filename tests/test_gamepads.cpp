// Gamepads as players hold them today, through Allegro's real Linux driver:
// the fake joystick device stands in for the kernel's, and the real loop
// plays headless on the pad alone.
#include "harness/fake_pad.h"
#include "harness/headless_game.h"

#include "core/game_state.h"
#include "input/input.h"
#include "persist/records.h"
#include "support/test_support.h"

#include <allegro/platform/aintunix.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace qv;
using test::PadControl;
using test::Screen;

namespace {

constexpr int STAGE_ROW_DELIAN = 1;
constexpr int SETTINGS_GAMEPAD_BYTE = 4; // in the settings file
// Ticks a press is held and let go: the pad is polled at 30 Hz.
constexpr int PAD_POLLS_HELD = 8;

// The scripted player's keys, played on the pad: the arrows on the D-pad
// and the left stick by turns, each action on its button, Escape and Enter
// on Start. Letters stay on the keyboard.
struct PadPlayer {
    test::FakePad &pad;
    bool stick_next = false;
    bool held[4] = {}, on_stick[4] = {};

    bool operator()(int key, bool down) {
        static constexpr int arrows[4] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN};
        const int d = static_cast<int>(std::find(arrows, arrows + 4, key) - arrows);
        if (d < 4) {
            if (down && !held[d]) on_stick[d] = std::exchange(stick_next, !stick_next);
            held[d] = down;
            pad.hold(static_cast<PadControl>(d), down, on_stick[d]);
            return true;
        }
        if (key == KEY_ESC || key == KEY_ENTER) {
            pad.hold(PadControl::Start, down);
            return true;
        }
        for (int a = 0; a < ACTION_COUNT; ++a) {
            if (key != library_key_index(g.key_binding[a])) continue;
            const int b = static_cast<int>(PadControl::Button1) + g.button_binding[a] - 1;
            pad.hold(static_cast<PadControl>(b), down);
            return true;
        }
        return false;
    }
};

bool found() { return g.pad.present != 0; }

class Gamepads : public testing::TestWithParam<const test::PadModel *> {};

} // namespace

// A first start with the pad plugged in: the gamepad is on at once, and
// saved so; its triggers and trackpads at rest steer nothing. The menus and
// a whole stage are played on it alone, the directions on its D-pad and its
// stick by turns and the actions on the buttons printed 1 to 4; Start
// pauses and resumes; pulling it out pauses, and plugging it back is seen
// without a visit to a menu.
TEST_P(Gamepads, PlayTheWholeGameOnThePad) {
    ASSERT_TRUE(test::FakePad::in_place()) << "the fake joystick library is not preloaded";
    // The headless library has no joystick driver of its own; Allegro's
    // Linux one, which the X11 system uses, needs no display.
    system_driver->joystick_drivers = [] { return _linux_joystick_driver_list; };
    platform::Gamepad gamepad;
    test::HeadlessGame game("pad", false, false, &gamepad);
    test::FakePad pad(game.folder());
    pad.plug(*GetParam());
    PadPlayer on_pad{pad};
    game.host().route = std::ref(on_pad);
    game.player.set_timing({PAD_POLLS_HELD, 30, PAD_POLLS_HELD});
    long plugged_at = 0;

    game.player.record(true);
    game.player.wait_for(Screen::Title)
        .then(found)
        .check([&] {
            EXPECT_EQ(test::read_bytes(game.settings_file()).at(SETTINGS_GAMEPAD_BYTE), 1);
            EXPECT_FALSE(g.pad.left || g.pad.right || g.pad.up || g.pad.down);
        })
        .start_game({0, 0, 1, STAGE_ROW_DELIAN})
        .wait_for(Screen::Flight)
        .press(KEY_ESC) // Start
        .wait_for(Screen::Pause)
        .press(KEY_ESC)
        .wait_for(Screen::Flight)
        .check([&] { pad.unplug(); })
        .wait_for(Screen::Pause)
        .check([&] {
            pad.plug(*GetParam());
            plugged_at = game.player.ticks();
        })
        .then(found)
        .check([&] { EXPECT_LT(game.player.ticks() - plugged_at, 70 * 4) << "found late"; })
        .accept() // "Resume Play"
        .play_to_title(test::hunter_pilot(), "PAD")
        .quit();
    ASSERT_EQ(game.run(), 0);
    EXPECT_FALSE(game.timed_out());
    const auto &lines = game.player.log.lines;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string &l) {
        return l.find(" complete ") != std::string::npos;
    }));
    test::load_records(game.records_file());
    EXPECT_STREQ(g.record_name[0], "PAD");
}

std::string model_name(const testing::TestParamInfo<const test::PadModel *> &info) {
    static const char *const names[] = {"Xbox", "XboxWireless", "PlayStation3", "SteamDeck"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(, Gamepads,
                         testing::Values(&test::XBOX_PAD, &test::XBOX_WIRELESS_PAD, &test::PS3_PAD,
                                         &test::STEAM_DECK_PAD),
                         model_name);
