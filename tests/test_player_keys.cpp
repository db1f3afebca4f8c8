// The real game loop, headless: what the player's keys do when pressed
// together, when bound to any key at all, and the close button at the end
// of a stage.
#include "harness/headless_game.h"

#include "core/game_state.h"
#include "input/input.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace qv;
using test::Screen;

// Down and accept let go in the same tick: the row chosen is the one the
// cursor was on, and the cursor moves only afterwards. The close button (or
// logging out) in any of these menus ends the game.
TEST(PlayerKeys, DownAndAcceptTogetherChooseTheRowUnderTheCursorAndCloseEndsAnyMenu) {
    using P = test::Player &;
    struct Case {
        const char *menu;
        std::function<void(P)> reach; // from the title menu, open on "Setup"
        std::function<bool()> chosen;
    };
    const Case cases[] = {
        {"title: Setup", [](P) {},
         [] { return test::panel_shown(2, PANEL_LIST, "Configuration"); }},
        {"configuration: Controls", [](P p) { p.accept(); },
         [] { return test::panel_shown(3, PANEL_CONTROLS); }},
        {"difficulty: Hard", [](P p) { p.accept().down(1).accept().down(1); },
         [] { return g.difficulty == 2; }},
        {"graphics: Clouds", [](P p) { p.accept().down(3).accept(); },
         [] { return !g.detail[DETAIL_CLOUDS] && g.detail[DETAIL_SHIP_SHADOWS]; }},
        {"controls: Gamepad", [](P p) { p.accept().accept(); },
         [] { return g.joystick_enabled && !test::panel_shown(5, PANEL_CAPTION); }},
        {"ship list: Falcon", [](P p) { p.up().accept().down(1); },
         [] { return g.ship_type == 1 && g.gun_type == 2; }},
        {"stage list: Campaign", [](P p) { p.up().accept().accept().accept().accept(); },
         [] { return g.current_stage == 0 && !g.single_stage; }},
        {"pause: Resume Play",
         [](P p) {
             p.start_game({0, 0, 1, 1})
                 .wait_for(Screen::Flight)
                 .press(KEY_ESC)
                 .wait_for(Screen::Pause);
         },
         [] { return test::screen_shown() == Screen::Flight && !g.quit_to_menu; }},
    };
    for (const Case &c : cases) {
        test::HeadlessGame game("keys-together");
        bool chosen = false;
        c.reach(game.player.wait_for(Screen::Title));
        game.player.accept_with(KEY_DOWN).check([&] { chosen = c.chosen(); }).close_window();
        ASSERT_EQ(game.run(), 0) << c.menu;
        EXPECT_TRUE(chosen) << c.menu;

        test::HeadlessGame closed("keys-close");
        c.reach(closed.player.wait_for(Screen::Title));
        closed.player.close_window();
        EXPECT_NO_THROW(closed.run()) << c.menu;
        std::filesystem::remove_all(closed.folder());
    }
}

// Any key may be bound: a bound key (or one taken by the capture) is the
// action's alone, never also a window key (F11, Alt+Enter, F12) or a
// flight hot key (V, C, S).
TEST(PlayerKeys, KeysBoundToActionsAreNeitherWindowNorHotKeys) {
    test::HeadlessGame game("keys-bound");
    platform::VirtualBackend &vb = game.backend();
    long long frames = 0;
    int boost_ticks = 0;
    const auto boost_and_bomb = [] { return test::PilotInput{.bomb = true, .booster = true}; };
    const auto alt_enter = [] { return std::vector<int>{KEY_ALT, KEY_ENTER}; };
    test::Player &p = game.player;
    p.wait_for(Screen::Title).accept().accept(); // "Setup", "Controls"
    // Fire / Accept, Strafe / Cancel, Launch Bomb and Booster get new keys.
    for (int key : {KEY_F11, KEY_ENTER, KEY_F12, KEY_S})
        p.down(1).accept().press(key);
    p.up(4)
        .accept() // "Gamepad", with F11
        .check([] { EXPECT_EQ(g.joystick_enabled, 1) << "F11 chose the row"; })
        .accept()
        .press_together(alt_enter) // cancel, Alt held
        .check([] { EXPECT_LT(g.panels.x[3], 0) << "Enter left the controls menu"; })
        .cancel()
        .start_game({0, 0, 1, 1})
        .wait_for(Screen::Flight)
        .check([&] { frames = vb.frames_presented(); })
        .fly(boost_and_bomb, [&] { return ++boost_ticks > 140; })
        .check([&] {
            EXPECT_GT(vb.frames_presented() - frames, 100) << "the picture went on while boosting";
            EXPECT_EQ(g.detail[DETAIL_SHIP_SHADOWS], 1) << "S boosted and flipped nothing";
        })
        .exit_game();
    ASSERT_EQ(game.run(), 0);
    EXPECT_FALSE(game.timed_out());
    EXPECT_EQ(library_key_index(g.key_binding[ACT_BOMB]), KEY_F12);
    EXPECT_EQ(vb.fullscreen_switches(), 0);
    EXPECT_EQ(vb.screenshots(), 0);
}

// The close button during the stage-complete banner leaves at once: no
// stage-complete screen, nothing unlocked, the files saved.
TEST(PlayerKeys, ClosingDuringTheStageEndBannerLeavesAtOnce) {
    test::HeadlessGame game("close-banner");
    bool screen_met = false;
    game.player.observe(
        [&] { screen_met = screen_met || test::screen_shown() == Screen::StageComplete; });
    game.player.start_game({0, 0, 1, 0})
        .fly(test::hunter_pilot(),
             [] { return g.stage_end_timer != -1 && g.stage_end_timer < 300; })
        .close_window();
    ASSERT_EQ(game.run(), 0);
    EXPECT_FALSE(game.timed_out());
    EXPECT_FALSE(screen_met);
    game.load_saved_settings();
    EXPECT_EQ(g.stage_unlocked[1], 0) << "the next stage stays locked";
}
