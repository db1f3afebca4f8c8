// The menu engine's clocks and the menu input latches, driven tick by tick
// with key states set by hand.
#include "core/game_state.h"
#include "frontend/menu_engine.h"
#include "frontend/menu_input.h"
#include "input/input.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

#include <cstring>

using namespace qv;

namespace {

class MenuEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::reset_state();
        test::release_all_keys();
    }
    void TearDown() override { test::release_all_keys(); }

    static void hold(int library_key, bool down) { test::hold_library_key(library_key, down); }
};

} // namespace

TEST_F(MenuEngineTest, SlidesMoveStepsTimesSpeedThenStop) {
    set_panel(3, {PANEL_LIST, -98, 80, 100, 66, {13, 14}, 8});
    move_panel(3, 2, 21, 5);
    for (int t = 0; t < 30; ++t) animate_panels();
    EXPECT_EQ(g.panels.x[3], 7);
    EXPECT_EQ(g.panels.y[3], 80);
    EXPECT_EQ(g.panels.motion_steps[3], 0);
    EXPECT_EQ(g.panels.motion_speed[3], 0);
    // Diagonal directions move both ways; inactive panels do not move.
    move_panel(3, 5, 2, 3);
    g.panels.active[4] = 0;
    move_panel(4, 2, 5, 5);
    animate_panels();
    animate_panels();
    EXPECT_EQ(g.panels.x[3], 1);
    EXPECT_EQ(g.panels.y[3], 86);
    EXPECT_EQ(g.panels.x[4], 0);
}

TEST_F(MenuEngineTest, ScanLineHighlightAndBlink) {
    set_panel(1, {PANEL_LIST, 6, 10, 100, 66, {1, 2, 3, 4}, 5});
    g.panels.scan_row[1] = 5;
    g.blink_timer = 0;
    const byte blink = g.blink_on;
    animate_panels(); // scan timer 0 -> reload 4, row 4
    EXPECT_EQ(g.panels.scan_row[1], 4);
    for (int t = 0; t < 4; ++t) animate_panels(); // row 3 -> wraps to height - 8
    EXPECT_EQ(g.panels.scan_row[1], 58);
    EXPECT_NE(g.blink_on, blink) << "blink toggles when its timer runs out";
    // The cursor bar's pattern steps every seven ticks.
    EXPECT_EQ(g.panels.highlight_phase[1], 0);
    for (int t = 0; t < 2; ++t) animate_panels();
    EXPECT_EQ(g.panels.highlight_phase[1], 1);
}

TEST_F(MenuEngineTest, TheLogoFlipsBetweenItsTwoFacesAndRestsOnEachWhole) {
    // From the all-zero state: logo_a squashes flat, logo_b grows and rests
    // at full height, squashes, and logo_a grows back and rests, for ever.
    std::vector<int> phases{g.logo_phase};
    int rests = 0, rest_height = -1;
    bool was_holding = false;
    for (int t = 0; t < 1000; ++t) {
        menu_tick();
        if (g.logo_phase != phases.back()) phases.push_back(g.logo_phase);
        if (g.logo_holding && !was_holding) ++rests;
        // The height stands still while the logo rests.
        if (g.logo_holding && was_holding) {
            EXPECT_EQ(g.logo_height, rest_height);
        }
        was_holding = g.logo_holding;
        rest_height = g.logo_height;
    }
    ASSERT_GE(phases.size(), 6u);
    for (std::size_t i = 0; i < phases.size(); ++i) EXPECT_EQ(phases[i], static_cast<int>(i % 4));
    EXPECT_GE(rests, 2);
}

TEST_F(MenuEngineTest, RecordsScrollWrapsAndStarsMove) {
    g.records_scroll = 5950;
    menu_tick();
    EXPECT_EQ(g.records_scroll, 0);
    scatter_stars();
    for (const Star &s : g.stars) {
        ASSERT_GE(s.x, 0);
        ASSERT_LT(s.x, FRAME_W);
        ASSERT_GE(s.y, 0);
        ASSERT_LT(s.y, FRAME_H);
    }
    g.stars[0] = Star{319, 10, 0};
    g.stars[1] = Star{10, 20, 1};
    menu_tick();
    EXPECT_EQ(g.stars[0].x, 0) << "a star past the right edge restarts at the left";
    EXPECT_EQ(g.stars[1].x, 12);
}

TEST_F(MenuEngineTest, KeyRepeatComesAtASteadyPace) {
    // A held direction starts the countdown; a menu takes each repeat as it
    // falls due; they come evenly spaced, slower than the ticks.
    g.repeat_countdown = 1;
    std::vector<int> gaps;
    for (int t = 1, last = 0; t <= 300; ++t) {
        menu_tick();
        if (!g.repeat_due) continue;
        gaps.push_back(t - last);
        last = t;
        g.repeat_due = 0;
    }
    ASSERT_GE(gaps.size(), 5u);
    for (std::size_t i = 2; i < gaps.size(); ++i) EXPECT_EQ(gaps[i], gaps[1]);
    EXPECT_GT(gaps[1], 1);
}

TEST_F(MenuEngineTest, ChoiceIsTakenOnRelease) {
    ChoiceLatch latch(true);
    const int fire = library_key_index(g.key_binding[ACT_FIRE]);
    const int cancel = library_key_index(g.key_binding[ACT_STRAFE]);
    hold(fire, true);
    EXPECT_EQ(latch.step(player_command()), MenuEvent::None);
    // Cancel pressed while accept is armed: still an accept on release.
    hold(cancel, true);
    EXPECT_EQ(latch.step(player_command()), MenuEvent::None);
    hold(fire, false);
    EXPECT_EQ(latch.step(player_command()), MenuEvent::None);
    hold(cancel, false);
    EXPECT_EQ(latch.step(player_command()), MenuEvent::Accept);
    EXPECT_EQ(latch.step(player_command()), MenuEvent::None);
    // Both pressed together from idle: cancel wins on cancellable screens.
    hold(fire, true);
    hold(cancel, true);
    EXPECT_EQ(latch.step(player_command()), MenuEvent::None);
    hold(fire, false);
    hold(cancel, false);
    EXPECT_EQ(latch.step(player_command()), MenuEvent::Cancel);
    // The title menu never arms cancel.
    ChoiceLatch title(false);
    hold(cancel, true);
    EXPECT_EQ(title.step(player_command()), MenuEvent::None);
    hold(cancel, false);
    EXPECT_EQ(title.step(player_command()), MenuEvent::None);
}

TEST_F(MenuEngineTest, CursorMovesOnReleaseWithoutWrapping) {
    set_panel(1, {PANEL_LIST, 6, 10, 100, 66, {1, 2, 3, 4}, 5, 0, 3});
    CursorLatch cursor(true);
    hold(KEY_DOWN, true);
    cursor.step(1, player_command());
    hold(KEY_DOWN, false);
    cursor.step(1, player_command());
    EXPECT_EQ(g.panels.cursor[1], 3) << "no wrap past the last row";
    hold(KEY_UP, true);
    cursor.step(1, player_command());
    EXPECT_EQ(g.panels.cursor[1], 3) << "nothing moves while the key is held";
    hold(KEY_UP, false);
    cursor.step(1, player_command());
    EXPECT_EQ(g.panels.cursor[1], 2);
    // A held direction moves again each time a repeat is due.
    hold(KEY_UP, true);
    cursor.step(1, player_command());
    EXPECT_EQ(g.repeat_countdown, 20);
    g.repeat_due = 1;
    cursor.step(1, player_command());
    EXPECT_EQ(g.panels.cursor[1], 1);
    EXPECT_EQ(g.repeat_due, 0);
}

TEST_F(MenuEngineTest, ClearPanelKeepsItsTab) {
    set_panel(6, {PANEL_CAPTION, 330, 73, 220, 21, {}, 13, 13});
    clear_panel(6);
    EXPECT_EQ(g.panels.active[6], 0);
    EXPECT_EQ(g.panels.x[6], 0);
    EXPECT_EQ(g.panels.caption[6], 0);
    EXPECT_EQ(g.panels.tab_text[6], 13);
}

TEST(KeyCodes, ModifiersAreTranslatedInOnePlace) {
    // The stored codes keep the old numbering; the library's table puts the
    // modifiers twelve places higher.
    EXPECT_EQ(library_key_index(107), KEY_ALT);
    EXPECT_EQ(library_key_index(105), KEY_LCONTROL);
    EXPECT_EQ(library_key_index(103), KEY_LSHIFT);
    EXPECT_EQ(library_key_index(26), KEY_Z);
    EXPECT_EQ(library_key_index(67), KEY_ENTER);
    EXPECT_EQ(library_key_index(114), KEY_CAPSLOCK);
    EXPECT_EQ(library_key_index(115), -1);
    EXPECT_EQ(library_key_index(-3), -1);
    for (int code = 0; code <= 114; ++code) EXPECT_EQ(stored_key_code(library_key_index(code)), code);
    EXPECT_EQ(stored_key_code(KEY_EQUALS_PAD), -1) << "keys the old numbering never had";
    EXPECT_STREQ(key_name(107), "L ALT");
    EXPECT_STREQ(key_name(67), "ENTER");
    EXPECT_STREQ(key_name(121), "?");
    EXPECT_STREQ(key_name(300), "?");
    EXPECT_STREQ(button_name(4), "BUTTON 4");
    EXPECT_STREQ(button_name(9), "?");
}
