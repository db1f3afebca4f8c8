// The real game loop, headless on the virtual clock: the title, the
// selection chain, stage starts, flights, the end-of-stage screens,
// continues, the records table, pause, setup and the ways out, as a player
// meets them.
#include "harness/headless_game.h"

#include "assets/game_data.h"
#include "core/game_state.h"
#include "core/sim_lock.h"
#include "input/input.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "support/files_test.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace qv;
using test::Screen;

namespace {

using test::write_bytes;

constexpr int STAGE_ROW_DELIAN = 1;



// The records as the saved file holds them.
void load_saved_records(const test::HeadlessGame &game) {
    test::reset_state();
    test::load_records(game.records_file());
}

int32 score_now() {
    SimLock lock;
    return g.score;
}

// Whether a caption panel on show says `text`.
bool caption_shown(const char *text) {
    for (int s = 0; s < PANEL_COUNT; ++s)
        if (test::panel_shown(s, PANEL_CAPTION, text)) return true;
    return false;
}

std::string end_row() {
    SimLock lock;
    return g.item_text[g.panels.items[1][0] & 63];
}

} // namespace

// Waves come when the last wave is gone and the stage ends after its
// countdown; a single stage is then a finished game.
TEST(GameLoop, ASingleStageFlownToItsEndEndsTheGameAndTakesTheRecord) {
    test::HeadlessGame game("loop-single");
    long script_end = -1, banner = -1, complete = -1;
    int last_wave = 0, waves = 0, enemies_seen = 0;
    game.player.observe([&] {
        SimLock lock;
        const long t = game.player.ticks();
        if (g.game_running && g.wave_index != last_wave && g.wave_index > last_wave) {
            // Released this very frame: every enemy before it is destroyed,
            // and the wave's own are all on the field.
            EXPECT_EQ(g.stage_kills, wave_trigger[0][last_wave]) << "wave " << last_wave;
            int alive = 0, size = 0;
            for (int s = 1; s < SLOT_COUNT; ++s)
                alive += g.ent.active[s] && g.ent.kind[s] == KIND_ENEMY;
            while (wave_script[0][last_wave][size] != WAVE_END) ++size;
            EXPECT_EQ(alive, size) << "wave " << last_wave;
            enemies_seen += size;
            ++waves;
        }
        last_wave = g.wave_index;
        if (g.stage_end_timer != -1 && script_end < 0) {
            EXPECT_EQ(g.stage_end_timer, 400);
            script_end = t;
        }
        if (banner < 0 && g.panels.active[5] && g.panels.kind[5] == PANEL_STAGE_COMPLETE)
            banner = t;
        if (complete < 0 && g.stage_complete) complete = t;
    });
    game.player.start_game({0, 0, 1, STAGE_ROW_DELIAN})
        .play_to_title(test::hunter_pilot(), "ACE")
        .quit();
    ASSERT_EQ(game.run(), 0);
    EXPECT_FALSE(game.timed_out());
    EXPECT_EQ(waves, 5);
    EXPECT_EQ(enemies_seen, 16);
    ASSERT_GT(script_end, 0);
    // The banner comes 50 ticks after the script runs out, the end 400.
    EXPECT_GE(banner - script_end, 50);
    EXPECT_LE(banner - script_end, 52);
    EXPECT_GE(complete - script_end, 400);
    EXPECT_LE(complete - script_end, 402);
    // No stage-complete screen: the game end says "Game Over!" and offers
    // the table, and no other stage opens.
    ASSERT_EQ(game.player.log.end_rows, std::vector<std::string>{"Game Over!"});
    EXPECT_EQ(game.player.log.stage_complete_screens, 0);
    load_saved_records(game);
    EXPECT_STREQ(g.record_name[0], "ACE");
    EXPECT_GT(g.record_score[0], 0);
    game.load_saved_settings();
    EXPECT_EQ(g.stage_unlocked[1], 0);
}

// Closing the window at the name entry keeps what was typed.
TEST(GameLoop, ALostShipContinuesAtHalfTheScoreAndMainMenuEndsTheGame) {
    test::HeadlessGame game("loop-continue");
    test::Player &p = game.player;
    int32 before = -1;
    p.start_game({0, 0, 1, STAGE_ROW_DELIAN})
        .fly(test::hunter_pilot(), [] { return g.score >= 301; })
        .fly(test::unarmed_pilot())
        .wait_for(Screen::GameEnd)
        .check([&] {
            EXPECT_EQ(end_row(), "Continue!");
            before = score_now();
        })
        .accept()
        .wait_for(Screen::Flight)
        .check([&] { EXPECT_EQ(score_now(), before / 2); })
        .press(KEY_ESC)
        .wait_for(Screen::Pause)
        .down(1) // "Main Menu"
        .accept()
        .wait_for(Screen::GameEnd)
        .check([&] { EXPECT_EQ(end_row(), "Game Over!"); })
        .accept()
        .wait_for(Screen::NameEntry)
        .type("HALF")
        .close_window();
    ASSERT_EQ(game.run(), 0);
    EXPECT_FALSE(game.timed_out());
    ASSERT_GT(before, 300);
    load_saved_records(game);
    EXPECT_STREQ(g.record_name[0], "HALF");
    EXPECT_EQ(g.record_score[0], before / 2);
}

TEST(GameLoop, ExitGameSavesWhatChangedInFlight) {
    test::HeadlessGame game("loop-exit");
    test::Player &p = game.player;
    p.start_game({1, 1, 0, STAGE_ROW_DELIAN})
        .fly(test::hunter_pilot(), [] { return g.stage_kills >= 1; })
        .press(KEY_C) // clouds off: a change of settings
        .check([] { EXPECT_EQ(g.detail[DETAIL_CLOUDS], 0); })
        .exit_game();
    ASSERT_EQ(game.run(), 0);
    EXPECT_FALSE(game.timed_out());
    game.load_saved_settings();
    EXPECT_EQ(g.detail[DETAIL_CLOUDS], 0) << "Exit Game must save like QUIT!";
}

TEST(GameLoop, SetupChangesAreKeptAcrossARestart) {
    test::HeadlessGame first("loop-setup");
    first.player.wait_for(Screen::Title)
        .accept() // "Setup"
        .accept() // "Controls"
        .down(1)  // "Fire / Accept"
        .accept()
        .check([] { EXPECT_TRUE(caption_shown("Press New Key")); })
        .press(KEY_A)
        .cancel()
        .down(1) // "Difficulty"
        .accept()
        .down(1) // "Normal" -> "Hard"
        .accept()
        .down(1) // "Sound"
        .accept()
        .down(3) // "Silent" -> "High"
        .accept()
        .down(1) // "Detail"
        .accept()
        .down(2) // "Vapor trails"
        .accept()
        .cancel()
        .cancel()
        .quit();
    ASSERT_EQ(first.run(), 0);

    // The next start reads them back, and A now accepts in the menus.
    test::HeadlessGame second(first);
    second.player.wait_for(Screen::Title)
        .check([] {
            EXPECT_EQ(g.difficulty, 2);
            EXPECT_EQ(g.sound_volume, 3);
            EXPECT_EQ(g.sfx_volume, 189);
            EXPECT_EQ(library_key_index(g.key_binding[ACT_FIRE]), KEY_A) << "Fire / Accept on A";
            EXPECT_EQ(g.detail[DETAIL_VAPOR_TRAILS], 0);
        })
        .up()
        .press(KEY_A) // "Start Game"
        .check([] { EXPECT_EQ(test::screen_shown(), Screen::Menu); })
        .cancel()
        .quit();
    ASSERT_EQ(second.run(), 0);
    EXPECT_FALSE(second.timed_out());
}

// With the gamepad on and no pad, no button capture starts; with one, the
// capture (of buttons or keys) can be abandoned.
TEST(GameLoop, NoCaptureWithoutAPadAndACaptureCanBeAbandoned) {
    test::HeadlessGame game("loop-rebind");
    test::Player &p = game.player;
    const auto controls_open = [] {
        return test::panel_shown(3, PANEL_CONTROLS) && locked([] { return g.panels.x[3] == 7; });
    };
    p.wait_for(Screen::Title)
        .accept() // "Setup"
        .accept() // "Controls"
        .accept() // "Gamepad": on, with no pad plugged in
        .check([&] { EXPECT_EQ(game.backend().joystick_installs(), 1); })
        .down(1)
        .accept() // "Fire / Accept"
        .check([] { EXPECT_FALSE(caption_shown("Hit New Button")); })
        .check([&] {
            PadState plugged{};
            plugged.present = 1;
            game.backend().set_pad(plugged);
        })
        .wait_ticks(10)
        .accept()
        .check([] { EXPECT_TRUE(caption_shown("Hit New Button")); })
        .press(KEY_ESC)
        .check([&] {
            EXPECT_FALSE(caption_shown("Hit New Button"));
            EXPECT_EQ(g.button_binding[ACT_FIRE], 4);
            EXPECT_TRUE(controls_open());
        })
        .down(1)
        .accept() // "Strafe / Cancel"
        .cancel() // the cancel key leaves the capture, and only the capture
        .check([&] {
            EXPECT_FALSE(caption_shown("Hit New Button"));
            EXPECT_EQ(g.button_binding[ACT_STRAFE], 3);
            EXPECT_TRUE(controls_open());
        })
        .up(2)
        .accept() // "Gamepad" off: keys are captured again
        .down(3)
        .accept() // "Launch Bomb"
        .check([] { EXPECT_TRUE(caption_shown("Press New Key")); })
        .press(KEY_ESC)
        .check([] {
            EXPECT_FALSE(caption_shown("Press New Key"));
            EXPECT_EQ(g.key_binding[ACT_BOMB], 26);
        })
        .up(2)
        .accept() // "Fire / Accept" onto Z, which Launch Bomb gives up
        .press(KEY_Z)
        .check([] {
            EXPECT_EQ(g.key_binding[ACT_FIRE], 26);
            EXPECT_EQ(g.key_binding[ACT_BOMB], 107);
        })
        .cancel()
        .cancel()
        .quit();
    ASSERT_EQ(game.run(), 0);
    EXPECT_FALSE(game.timed_out());
}

TEST(GameLoop, LeavingTheWindowPausesAFlightButNotAMenu) {
    test::HeadlessGame game("loop-focus");
    platform::VirtualBackend &vb = game.backend();
    game.player.wait_for(Screen::Title)
        .check([&] { vb.lose_focus(); })
        .wait_ticks(70)
        .check([] { EXPECT_EQ(test::screen_shown(), Screen::Title); })
        // The loss seen in the menus is no reason to pause the next flight;
        // Escape pressed during its opening is.
        .start_game({0, 0, 1, STAGE_ROW_DELIAN})
        .wait_for(Screen::StageStart)
        .press(KEY_ESC)
        .wait_for(Screen::Pause)
        .accept()
        .wait_for(Screen::Flight)
        .wait_ticks(140)
        .check([] { EXPECT_EQ(test::screen_shown(), Screen::Flight); })
        .check([&] { vb.lose_focus(); })
        .wait_for(Screen::Pause)
        // Away again while paused; "Resume Play" resumes for good.
        .check([&] { vb.lose_focus(); })
        .accept()
        .wait_for(Screen::Flight)
        .wait_ticks(140)
        .check([] { EXPECT_EQ(test::screen_shown(), Screen::Flight); })
        // Fire held as the window goes (the chord that switches desktops)
        // and let go in the pause menu is no choice there.
        .check([&] {
            vb.set_key(KEY_ALT, true);
            vb.lose_focus();
        })
        .wait_for(Screen::Pause)
        .check([&] { vb.set_key(KEY_ALT, false); })
        .wait_ticks(70)
        .check([] { EXPECT_EQ(test::screen_shown(), Screen::Pause); })
        .accept()
        .wait_for(Screen::Flight)
        .exit_game();
    ASSERT_EQ(game.run(), 0);
    EXPECT_FALSE(game.timed_out());
}

// Closed at "Game Over!", before any name: no nameless row.
TEST(GameLoop, ClosingTheWindowBeforeTheNameEntryLeavesNoRecord) {
    test::HeadlessGame game("loop-close-end");
    int32 score = 0;
    game.player.start_game({0, 0, 1, STAGE_ROW_DELIAN})
        .fly(test::hunter_pilot(), [] { return g.stage_kills >= 2; })
        .press(KEY_ESC)
        .wait_for(Screen::Pause)
        .down(1) // "Main Menu"
        .accept()
        .wait_for(Screen::GameEnd)
        .check([&] { score = score_now(); })
        .close_window();
    ASSERT_EQ(game.run(), 0);
    ASSERT_GT(score, 0) << "a score worth a record in an empty table";
    load_saved_records(game);
    EXPECT_EQ(g.record_score[0], 0);
}

TEST(GameLoop, AFailedSaveWarnsOncePerFile) {
    test::HeadlessGame game("loop-unsaved");
    // Each file's folder cannot be made: a plain file stands in its way.
    for (const char *blocker : {"/no-settings", "/no-records"}) write_bytes(game.folder() + blocker, {});
    game.options.settings_path = game.folder() + "/no-settings/w_config.def";
    game.options.records_path = game.folder() + "/no-records/assist.def";
    // The stage start and the exit: two saves of each file.
    game.player.start_game({0, 0, 1, STAGE_ROW_DELIAN}).wait_for(Screen::Flight).exit_game();
    int status = -1;
    const std::string err = test::stderr_of([&] { status = game.run(); });
    ASSERT_EQ(status, 0);
    EXPECT_FALSE(game.timed_out());
    const auto count = [&](const std::string &what) {
        int n = 0;
        for (size_t at = err.find(what); at != std::string::npos; at = err.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("could not save " + game.options.settings_path), 1) << err;
    EXPECT_EQ(count("could not save " + game.options.records_path), 1) << err;
}

TEST(GameLoop, DrawingTheFramesOrNotPlaysTheSameGame) {
    QV_SKIP_DETERMINISM_UNDER_SANITIZERS();
    std::vector<std::string> lines[2];
    for (int draw = 0; draw < 2; ++draw) {
        test::HeadlessGame game("loop-draw", draw == 1);
        game.player.record(true);
        game.player.start_game({2, 1, 2, STAGE_ROW_DELIAN})
            .play_to_title(test::hunter_pilot(), "SAME")
            .quit();
        ASSERT_EQ(game.run(), 0);
        lines[draw] = game.player.log.lines;
    }
    ASSERT_FALSE(lines[0].empty());
    EXPECT_EQ(lines[0], lines[1]);
}
