// The entity table, start-up values and the text slots.
#include "assets/texts.h"
#include "core/game_state.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace qv;

class StateTest : public ::testing::Test {
  protected:
    void SetUp() override { test::reset_state(); }
};

TEST_F(StateTest, FreeSlotsFillFromTheTop) {
    EXPECT_EQ(find_free_slot(), 499);
    for (int s = 1; s < SLOT_COUNT; ++s) g.ent.active[s] = 1;
    EXPECT_EQ(find_free_slot(), -1);
    g.ent.active[1] = 0;
    EXPECT_EQ(find_free_slot(), 1);
    g.ent.active[498] = 0;
    EXPECT_EQ(find_free_slot(), 498);
    // Slot 0 belongs to the player and is never handed out.
    for (int s = 1; s < SLOT_COUNT; ++s) g.ent.active[s] = 1;
    g.ent.active[0] = 0;
    EXPECT_EQ(find_free_slot(), -1);
}

TEST_F(StateTest, ClearSlotKeepsSparks) {
    g.ent.active[7] = 1;
    g.ent.kind[7] = KIND_ENEMY;
    g.ent.life[7] = 12;
    g.ent.hp[7] = 99;
    g.ent.x[7] = itofix(5);
    g.ent.spark_timer[7] = 4;
    g.ent.sparks[7][2] = Spark{3, 4, 5};
    clear_slot(7);
    EXPECT_EQ(g.ent.active[7], 0);
    EXPECT_EQ(g.ent.life[7], -1);
    EXPECT_EQ(g.ent.kind[7], 0);
    EXPECT_EQ(g.ent.hp[7], 0);
    EXPECT_EQ(g.ent.x[7], 0);
    EXPECT_EQ(g.ent.spark_timer[7], 0);
    EXPECT_EQ(g.ent.sparks[7][2].frame, 3);
}

TEST_F(StateTest, EveryTextFitsItsSlot) {
    auto check = [](const NumberedText *texts, int count, int slot_size, int slots) {
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(texts[i].text);
            EXPECT_GE(texts[i].number, 0);
            EXPECT_LT(texts[i].number, slots);
            EXPECT_LT(static_cast<int>(std::strlen(texts[i].text)), slot_size);
        }
    };
    check(title_texts, title_text_count, 16, 64);
    check(item_texts, item_text_count, 16, 64);
    check(long_texts, long_text_count, 80, 256);
    EXPECT_STREQ(g.title_text[13], "Enter your Name");
    EXPECT_STREQ(g.item_text[10], "Sound +/`");
    EXPECT_STREQ(g.item_text[42], "");
    EXPECT_STREQ(g.long_text[3], "");
    EXPECT_STREQ(g.long_text[19], "Suit condition: OFFLINE!");
    EXPECT_STREQ(g.item_text[57], "Continue!");
}
