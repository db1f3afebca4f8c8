// Whole stages flown by the scripted pilot through the real tick functions,
// interleaved as the game's clocks run them.
#include "harness/flight_harness.h"

#include "assets/game_data.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace qv;

namespace {

const char *result(const test::FlightOutcome &o) {
    return o.completed ? "done" : o.lost ? "LOST" : "open";
}

int stage_enemies(int stage) {
    int w = 0;
    while (wave_script[stage][w][0] != SCRIPT_END)
        ++w;
    return wave_trigger[stage][w];
}

TEST(FlightHarness, EveryShipCompletesTheCampaignOnNormal) {
    for (int ship = 0; ship < SHIP_COUNT; ++ship) {
        test::FlightSetup setup;
        setup.ship_type = ship;
        setup.gun_type = 2 * ship + ship % 2;
        setup.pod_type = ship;
        setup.difficulty = 1;
        const auto attempts = test::fly_campaign(setup, 0);
        ASSERT_EQ(attempts.size(), static_cast<size_t>(STAGES)) << "ship " << ship;
        for (int stage = 0; stage < STAGES; ++stage) {
            const test::FlightOutcome &o = attempts[stage];
            EXPECT_TRUE(o.completed)
                << "ship " << ship << " stage " << stage << ": " << o.trace.back();
            EXPECT_EQ(o.kills, stage_enemies(stage));
        }
    }
}

TEST(FlightHarness, EveryDifficultyCanBeFinished) {
    static const char *const names[] = {"Easy", "Normal", "Hard", "Toast"};
    for (int d = 0; d < DIFFICULTY_COUNT; ++d) {
        test::FlightSetup setup;
        setup.ship_type = 1;
        setup.gun_type = 2;
        setup.pod_type = 1;
        setup.difficulty = d;
        const auto attempts = test::fly_campaign(setup, 3);
        std::string line;
        int completed = 0, hits = 0;
        for (const auto &o : attempts) {
            completed += o.completed;
            hits += o.shots_taken;
            line += std::string(" ") + result(o) + "/" + std::to_string(o.hp);
        }
        std::printf("%-6s %d attempts, %d hits taken:%s\n", names[d],
                    static_cast<int>(attempts.size()), hits, line.c_str());
        EXPECT_EQ(completed, STAGES) << names[d];
    }
}

TEST(FlightHarness, WavesComeAtTheirTriggersAndTheStageEndsAfterTheCountdown) {
    test::FlightSetup setup;
    setup.stage = 1;
    test::new_game(setup);
    test::FlightRun run(setup);
    const test::Pilot hunter = test::hunter_pilot();
    int last_wave = 0, waves = 0;
    long script_end_tick = -1, banner_tick = -1;
    int timer_before_banner = 0;
    // Looks at every frame before the pilot flies it.
    const test::Pilot watcher = [&] {
        if (g.wave_index != last_wave) {
            // Released in this very frame: every earlier enemy is gone.
            EXPECT_EQ(g.stage_kills, wave_trigger[1][last_wave]) << "wave " << last_wave;
            int alive = 0;
            for (int s = 1; s < SLOT_COUNT; ++s)
                alive += g.ent.active[s] && g.ent.kind[s] == KIND_ENEMY;
            int size = 0;
            while (wave_script[1][last_wave][size] != WAVE_END)
                ++size;
            EXPECT_EQ(alive, size) << "wave " << last_wave;
            last_wave = g.wave_index;
            ++waves;
        }
        if (g.stage_end_timer != -1 && script_end_tick < 0) {
            EXPECT_EQ(g.stage_end_timer, 400);
            script_end_tick = run.ticks();
        }
        if (run.ending() && banner_tick < 0) {
            banner_tick = run.ticks();
            EXPECT_LT(g.stage_end_timer, 350);
            EXPECT_GE(timer_before_banner, 350);
        }
        timer_before_banner = g.stage_end_timer;
        return hunter();
    };
    const test::FlightOutcome o = run.fly(watcher);
    ASSERT_TRUE(o.completed) << o.trace.back();
    EXPECT_EQ(waves, 6);
    EXPECT_GT(banner_tick - script_end_tick, 50);
    EXPECT_LE(banner_tick - script_end_tick, 50 + setup.frame_ticks);
    // Complete when the countdown reaches 0, checked once per frame.
    EXPECT_GE(o.ticks - script_end_tick, 400);
    EXPECT_LT(o.ticks - script_end_tick, 400 + setup.frame_ticks);
}

// Fixed setups and pilots; their outcome and a checksum of the world every
// 700 ticks are recorded in tests/data/harness_regression.txt. A change of
// behaviour shows as the first line (and tick) that differs. After an
// intended change, rewrite the record with QV_UPDATE_REGRESSION=1.
struct RecordedRun {
    const char *name;
    int stage, ship, gun, pod, difficulty;
    bool evasive, explosions, trails;
};

const RecordedRun recorded_runs[] = {
    {"talon pulse-laser rockets normal", 0, 0, 0, 1, 1, true, true, true},
    {"raptor firestorm steel-halo hard no-evasion", 5, 2, 5, 2, 2, false, true, true},
    {"falcon reflex-coil pulsar easy plain-details", 3, 1, 3, 0, 0, true, false, false},
};

std::vector<std::string> fly_recorded_runs() {
    std::vector<std::string> lines;
    for (const RecordedRun &r : recorded_runs) {
        test::FlightSetup setup;
        setup.stage = r.stage;
        setup.ship_type = r.ship;
        setup.gun_type = r.gun;
        setup.pod_type = r.pod;
        setup.difficulty = r.difficulty;
        test::new_game(setup);
        g.detail[DETAIL_EXPLOSIONS] = r.explosions;
        g.detail[DETAIL_VAPOR_TRAILS] = r.trails;
        test::FlightRun run(setup);
        const test::FlightOutcome o = run.fly(test::hunter_pilot(r.evasive));
        lines.push_back(std::string("run ") + r.name);
        lines.insert(lines.end(), o.trace.begin(), o.trace.end());
    }
    return lines;
}

TEST(FlightHarness, RecordedOutcomesHold) {
    const std::string path = std::string(QV_TESTS_DIR) + "/data/harness_regression.txt";
    const std::vector<std::string> actual = fly_recorded_runs();
    const char *update = std::getenv("QV_UPDATE_REGRESSION");
    if (update && std::string(update) == "1") {
        std::ofstream out(path);
        out << "# Flight regression: fixed setups and pilots, the world every 700 ticks.\n"
               "# Rewritten by test_harness with QV_UPDATE_REGRESSION=1.\n";
        for (const std::string &l : actual)
            out << l << "\n";
        ASSERT_TRUE(out.good()) << path;
        GTEST_SKIP() << "rewrote " << path;
    }
    std::ifstream in(path);
    ASSERT_TRUE(in) << "missing " << path << " (create it with QV_UPDATE_REGRESSION=1)";
    std::vector<std::string> expected;
    for (std::string l; std::getline(in, l);)
        if (!l.empty() && l[0] != '#')
            expected.push_back(l);
    const std::string *run = nullptr;
    for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const std::string want = i < expected.size() ? expected[i] : "(nothing)";
        const std::string got = i < actual.size() ? actual[i] : "(nothing)";
        if (got.rfind("run ", 0) == 0)
            run = &actual[i];
        ASSERT_EQ(want, got) << "first difference, in " << (run ? *run : std::string("?"));
    }
}

} // namespace
