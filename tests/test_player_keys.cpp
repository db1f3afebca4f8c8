// The real game loop, headless: what the player's keys do when pressed
// together.
#include "harness/headless_game.h"

#include "core/game_state.h"
#include "core/sim_lock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace qv;
using test::Screen;

namespace {

bool tab_shown(int slot, const char *tab) {
    SimLock lock;
    return g.panels.active[slot] && std::strcmp(g.title_text[g.panels.tab_text[slot] & 63], tab) == 0;
}

bool kind_shown(int slot, int16 kind) {
    SimLock lock;
    return g.panels.active[slot] && g.panels.kind[slot] == kind;
}

} // namespace

// Down and accept let go in the same tick: the row chosen is the one the
// cursor was on, and the cursor moves only afterwards.
TEST(PlayerKeys, DownAndAcceptTogetherChooseTheRowUnderTheCursor) {
    using Reach = std::function<void(test::Player &)>;
    struct Case {
        const char *menu;
        Reach reach; // from the title menu, which opens on "Setup"
        std::function<bool()> chosen;
    };
    const Case cases[] = {
        {"title: Setup", [](test::Player &) {}, [] { return tab_shown(2, "Configuration"); }},
        {"configuration: Controls", [](test::Player &p) { p.accept(); },
         [] { return kind_shown(3, PANEL_CONTROLS); }},
        {"difficulty: Normal", [](test::Player &p) { p.accept().down(1).accept(); },
         [] { return g.difficulty == 1; }},
        {"graphics: Clouds", [](test::Player &p) { p.accept().down(3).accept(); },
         [] { return !g.detail[DETAIL_CLOUDS] && g.detail[DETAIL_SHIP_SHADOWS]; }},
        {"controls: Gamepad", [](test::Player &p) { p.accept().accept(); },
         [] { return g.joystick_enabled && !kind_shown(5, PANEL_CAPTION); }},
        {"ship list: Talon", [](test::Player &p) { p.up().accept(); },
         [] { return g.ship_type == 0 && g.gun_type == 0; }},
        {"stage list: Campaign", [](test::Player &p) { p.up().accept().accept().accept().accept(); },
         [] { return g.current_stage == 0 && !g.single_stage; }},
        {"pause: Resume Play",
         [](test::Player &p) {
             p.start_game({0, 0, 1, 1}).wait_for(Screen::Flight).press(KEY_ESC).wait_for(Screen::Pause);
         },
         [] { return test::screen_shown() == Screen::Flight && !g.quit_to_menu; }},
    };
    for (const Case &c : cases) {
        test::HeadlessGame game("keys-together");
        bool chosen = false;
        game.player.wait_for(Screen::Title);
        c.reach(game.player);
        game.player.accept_with(KEY_DOWN).check([&] { chosen = c.chosen(); }).close_window();
        ASSERT_EQ(game.run(), 0) << c.menu;
        EXPECT_TRUE(chosen) << c.menu;
    }
}
