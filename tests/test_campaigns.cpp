// Whole games through the real loop, headless: every ship on every
// difficulty flies the campaign from the title menu to the records table.
#include "harness/headless_game.h"

#include "assets/game_data.h"
#include "core/game_state.h"
#include "persist/records.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
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
    game.load_saved_settings();
    EXPECT_EQ(g.difficulty, c.difficulty);
    // Finishing the fifth stage opens nothing: the sixth is never opened by play.
    EXPECT_EQ(std::vector<int>(g.stage_unlocked, g.stage_unlocked + STAGE_COUNT),
              (std::vector<int>{1, 1, 1, 1, 1, 0}));
    test::load_records(game.records_file());
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
