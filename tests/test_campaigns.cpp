// Whole games through the real loop, headless: every ship on every
// difficulty flies the campaign from the title menu to the records table,
// and fixed games are kept as a readable regression record.
#include "harness/headless_game.h"

#include "assets/game_data.h"
#include "core/game_state.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace qv;

namespace {

const char *const DIFFICULTY_NAMES[] = {"Easy", "Normal", "Hard", "Toast"};

// On the harder difficulties the pilot's attention lapses, so that damage
// and continues take part in the campaign.
test::Dodging dodging_for(int difficulty) {
    return difficulty < 2 ? test::Dodging::Always : test::Dodging::Lapses;
}

std::vector<std::uint8_t> read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct CampaignCase {
    int ship, difficulty;
};

class Campaign : public ::testing::TestWithParam<CampaignCase> {};

} // namespace

TEST_P(Campaign, FliesEveryStageAndEndsInTheRecordsTable) {
    const CampaignCase c = GetParam();
    test::HeadlessGame game("campaign");
    test::Player &p = game.player;
    p.record(true);
    p.set_difficulty(c.difficulty)
        .start_game({c.ship, c.ship % 2, c.ship, 0})
        .play_to_title(test::hunter_pilot(dodging_for(c.difficulty)), "PILOT 7")
        .quit();
    ASSERT_EQ(game.run(), 0);
    ASSERT_FALSE(game.timed_out());
    const test::PlayLog &log = p.log;
    std::string trace;
    for (const std::string &l : log.lines) trace += l + "\n";
    SCOPED_TRACE(trace);

    // Five stage-complete screens, then the game end after the sixth stage:
    // "Game Over!", which offers the records table.
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines.back().rfind("stage 5 complete", 0), 0u) << log.lines.back();
    EXPECT_EQ(log.stage_complete_screens, STAGES - 1);
    ASSERT_FALSE(log.end_rows.empty());
    EXPECT_EQ(log.end_rows.back(), "Game Over!");
    EXPECT_EQ(static_cast<int>(log.end_rows.size()), log.continues + 1);

    // Each stage bonus is 10,000 plus up to 10,000 for the armour kept.
    for (int bonus : log.bonuses) {
        EXPECT_GT(bonus, 10000);
        EXPECT_LE(bonus, 20000);
    }

    // The first game in a fresh folder takes the top of the table, and the
    // files saved on "QUIT!" hold it, and the stages it opened.
    EXPECT_STREQ(g.record_name[0], "PILOT 7");
    EXPECT_GT(g.record_score[0], log.continues == 0 ? 100000 : 0);
    const std::vector<std::uint8_t> settings = read_file(game.settings_file());
    ASSERT_EQ(settings.size(), static_cast<size_t>(SETTINGS_FILE_SIZE));
    EXPECT_EQ(settings[0], c.difficulty);
    const std::vector<std::uint8_t> opened(settings.begin() + 5, settings.begin() + 11);
    // Finishing the fifth stage opens nothing: the sixth is never opened by play.
    EXPECT_EQ(opened, (std::vector<std::uint8_t>{1, 1, 1, 1, 1, 0}));
    test::reset_state();
    load_records(game.records_file());
    EXPECT_STREQ(g.record_name[0], "PILOT 7");

    // On the harder difficulties damage matters: the pilot is hit.
    if (c.difficulty >= 2) {
        bool damaged = log.continues > 0;
        for (int bonus : log.bonuses) damaged = damaged || bonus < 20000;
        EXPECT_TRUE(damaged) << "the pilot took no hits on " << DIFFICULTY_NAMES[c.difficulty];
    }
    std::printf("ship %d %-6s: %zu lines, %d continues, score %d\n", c.ship,
                DIFFICULTY_NAMES[c.difficulty], log.lines.size(), log.continues,
                static_cast<int>(g.record_score[0]));
}

TEST(CampaignRepeat, TheSameGameTwiceIsTheSameByteForByte) {
    struct Played {
        std::vector<std::string> lines;
        std::vector<std::uint8_t> settings, records;
    } played[2];
    for (Played &p : played) {
        test::HeadlessGame game("repeat");
        game.player.record(true);
        game.player.start_game({1, 0, 2, 0})
            .play_to_title(test::hunter_pilot(test::Dodging::Lapses), "TWICE")
            .quit();
        ASSERT_EQ(game.run(), 0);
        p.lines = game.player.log.lines;
        p.settings = read_file(game.settings_file());
        p.records = read_file(game.records_file());
    }
    ASSERT_GT(played[0].lines.size(), 10u);
    EXPECT_EQ(played[0].lines, played[1].lines);
    EXPECT_EQ(played[0].settings, played[1].settings);
    EXPECT_EQ(played[0].records, played[1].records);
}

INSTANTIATE_TEST_SUITE_P(
    EveryShipAndDifficulty, Campaign,
    ::testing::Values(CampaignCase{0, 0}, CampaignCase{0, 1}, CampaignCase{0, 2},
                      CampaignCase{0, 3}, CampaignCase{1, 0}, CampaignCase{1, 1},
                      CampaignCase{1, 2}, CampaignCase{1, 3}, CampaignCase{2, 0},
                      CampaignCase{2, 1}, CampaignCase{2, 2}, CampaignCase{2, 3}),
    [](const ::testing::TestParamInfo<CampaignCase> &info) {
        return "Ship" + std::to_string(info.param.ship) +
               DIFFICULTY_NAMES[info.param.difficulty];
    });

// ---- the regression record ----
//
// Fixed games, played from the title menu by the scripted player, recorded
// at every wave release and stage end (tick, stage, score, kills, wave, hit
// points and a checksum of the world) in tests/data/loop_regression.txt. A
// change of behaviour shows as the first line that differs, with its tick.
// After an intended change, rewrite the record with QV_UPDATE_REGRESSION=1
// and say in the commit what changed in it and why.

namespace {

struct RecordedGame {
    const char *name;
    test::GameChoice choice;
    int difficulty;
    bool all_stages_open, plain_details;
    test::Dodging dodging;
    int max_continues;
};

const RecordedGame recorded_games[] = {
    {"talon pulse-laser rockets normal campaign", {0, 0, 1, 0}, 1, false, false,
     test::Dodging::Always, 0},
    // Lost three times, then abandoned through the pause menu.
    {"raptor firestorm steel-halo hard galactic-core", {2, 1, 2, 6}, 2, true, false,
     test::Dodging::Never, 3},
    {"falcon reflex-coil pulsar easy plain-details the-wormhole", {1, 1, 0, 5}, 0, true, true,
     test::Dodging::Lapses, 0},
};

// A settings file as an earlier game would have left it.
void write_settings(const std::string &path, const RecordedGame &r) {
    test::reset_state();
    g.difficulty = static_cast<int16>(r.difficulty);
    for (byte &s : g.stage_unlocked) s = r.all_stages_open ? 1 : s;
    if (r.plain_details) g.detail[DETAIL_VAPOR_TRAILS] = g.detail[DETAIL_EXPLOSIONS] = 0;
    ASSERT_TRUE(save_settings(path));
}

std::vector<std::string> play_recorded_games() {
    std::vector<std::string> lines;
    for (const RecordedGame &r : recorded_games) {
        test::HeadlessGame game("recorded");
        write_settings(game.settings_file(), r);
        game.player.record(true);
        game.player.start_game(r.choice)
            .play_to_title(test::hunter_pilot(r.dodging), "REC", r.max_continues)
            .quit();
        EXPECT_EQ(game.run(), 0) << r.name;
        EXPECT_FALSE(game.timed_out()) << r.name;
        lines.push_back(std::string("game ") + r.name);
        lines.insert(lines.end(), game.player.log.lines.begin(), game.player.log.lines.end());
        std::string ends = "end screens:";
        for (const std::string &e : game.player.log.end_rows) ends += " " + e;
        lines.push_back(ends);
        lines.push_back("record " + std::string(g.record_name[0]) + " " +
                        std::to_string(g.record_score[0]));
    }
    return lines;
}

} // namespace

TEST(RecordedGames, PlayAsRecorded) {
    const std::string path = std::string(QV_TESTS_DIR) + "/data/loop_regression.txt";
    const std::vector<std::string> actual = play_recorded_games();
    const char *update = std::getenv("QV_UPDATE_REGRESSION");
    if (update && std::string(update) == "1") {
        std::ofstream out(path);
        out << "# Fixed games through the real loop: a line at every wave release and\n"
               "# stage end (tick, stage, score, kills, wave, hit points, world checksum).\n"
               "# Rewritten by test_campaigns with QV_UPDATE_REGRESSION=1.\n";
        for (const std::string &l : actual) out << l << "\n";
        ASSERT_TRUE(out.good()) << path;
        GTEST_SKIP() << "rewrote " << path;
    }
    std::ifstream in(path);
    ASSERT_TRUE(in) << "missing " << path << " (create it with QV_UPDATE_REGRESSION=1)";
    std::vector<std::string> expected;
    for (std::string l; std::getline(in, l);)
        if (!l.empty() && l[0] != '#') expected.push_back(l);
    std::string game = "?";
    for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
        const std::string want = i < expected.size() ? expected[i] : "(nothing)";
        const std::string got = i < actual.size() ? actual[i] : "(nothing)";
        if (got.rfind("game ", 0) == 0) game = got;
        ASSERT_EQ(want, got) << "first difference, in " << game;
    }
}
