// Text drawing on a synthetic glyph sheet: every large cell carries two
// marker pixels (top-left: its column, bottom-right: its cell row) and every
// tiny cell two (its index, its row), so the drawn picture tells which cell
// landed where. Every character, not only those of the reference frames'
// texts, and variants nobody sets.
#include "core/game_state.h"
#include "render/text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qv;

namespace {

constexpr int COLUMN_MARK = 100, ROW_MARK = 1, SMALL_MARK = 140, SMALL_ROW_MARK = 200;

struct Placed {
    int x, y, cell, row; // row: cell row (y / 13) or, tiny font, 0 / 1 for y 78 / 82
};

class TextTest : public ::testing::Test {
  protected:
    BITMAP *dest = nullptr;

    void SetUp() override {
        test::reset_state();
        g.font_variant = 0;
        g.font_sheet = create_bitmap(320, 200);
        clear_bitmap(g.font_sheet);
        for (int r : {0, 1, 2, 3, 4, 5, 9, 10, 11})
            for (int c = 0; c < 32; ++c) {
                putpixel(g.font_sheet, c * 10, r * 13, COLUMN_MARK + c);
                putpixel(g.font_sheet, c * 10 + 9, r * 13 + 12, ROW_MARK + r);
            }
        for (int x = 40; x <= 200; x += 4)
            for (int alt = 0; alt < 2; ++alt) {
                putpixel(g.font_sheet, x, 78 + 4 * alt, SMALL_MARK + (x - 40) / 4);
                putpixel(g.font_sheet, x + 2, 80 + 4 * alt, SMALL_ROW_MARK + alt);
            }
        dest = create_bitmap(400, 100);
    }
    void TearDown() override {
        destroy_bitmap(dest);
        destroy_bitmap(g.font_sheet);
        g.font_sheet = nullptr;
        g.font_variant = 0;
    }

    // What was drawn, left to right: large glyphs, or tiny ones if `small`.
    std::vector<Placed> drawn(bool small = false) const {
        const int w = small ? 3 : 10, h = small ? 3 : 13;
        const int mark = small ? SMALL_MARK : COLUMN_MARK, marks = small ? 41 : 32;
        const int row_mark = small ? SMALL_ROW_MARK : ROW_MARK, rows = small ? 2 : 12;
        std::vector<Placed> out;
        for (int x = 0; x + w <= dest->w; ++x)
            for (int y = 0; y + h <= dest->h; ++y) {
                const int c = getpixel(dest, x, y) - mark;
                const int r = getpixel(dest, x + w - 1, y + h - 1) - row_mark;
                if (c >= 0 && c < marks && r >= 0 && r < rows)
                    out.push_back({x, y, c, r});
            }
        return out;
    }
    std::vector<Placed> text(const std::string &s, int x = 0, int y = 20) {
        clear_bitmap(dest);
        draw_text(x, y, dest, s.c_str());
        return drawn();
    }
    // Where a trailing 'A' lands: the drawn advance of `s`.
    int advance_of(const std::string &s) {
        const std::vector<Placed> got = text(s + "A");
        return got.empty() ? -1 : got.back().x;
    }
};

TEST_F(TextTest, CellsAdvancesAndWidths) {
    struct Case {
        const char *s;
        int cell, row, drawn, measured; // cell -1: nothing drawn; "" counts as one character
    };
    const Case cases[] = {
        {"$", 31, 1, 8, 8},   {"%", 31, 2, 8, 8},    {"^", 26, 2, 9, 8},    {"<", 29, 2, 9, 8},
        {"|", 24, 2, 9, 8},   {"{", 23, 2, 9, 8},    {"[", 14, 2, 5, 8},    {"`", 19, 2, 8, 8},
        {"W", 22, 0, 10, 10}, {"m", 12, 1, 10, 10},  {"l", 11, 1, 5, 5},    {"I", 8, 0, 5, 5},
        {"t", 19, 1, 6, 6},   {"s", 18, 1, 7, 7},    {"1", 0, 2, 7, 7},     {"0", 9, 2, 9, 9},
        {"K", 10, 0, 9, 9},   {"z", 25, 1, 8, 8},    {" ", -1, 0, 6, 8},    {"-", -1, 0, 6, 8},
        {"}", -1, 0, 6, 8},   {"\x7f", -1, 0, 6, 8}, {"\xff", -1, 0, 6, 8}, {"", -1, 0, 0, 8},
    };
    for (const Case &k : cases) {
        const std::vector<Placed> got = text(k.s, 30);
        if (k.cell < 0) {
            EXPECT_TRUE(got.empty()) << k.s;
        } else {
            ASSERT_EQ(got.size(), 1u) << k.s;
            EXPECT_EQ(got[0].x, 30);
            EXPECT_EQ(got[0].cell, k.cell) << k.s;
            EXPECT_EQ(got[0].row, k.row) << k.s;
        }
        EXPECT_EQ(advance_of(k.s), k.drawn) << k.s;
        EXPECT_EQ(text_width(k.s), k.measured) << k.s;
    }
    // The apostrophe is the comma's cell, 8 px higher.
    const std::vector<Placed> got = text("'", 0, 40);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cell, 20);
    EXPECT_EQ(got[0].y, 32);
    EXPECT_EQ(advance_of("'"), 4);
    EXPECT_EQ(text_width("'"), 8);
}

TEST_F(TextTest, AVariantNobodySetsDrawsAsTheNormalOne) {
    g.font_variant = 7;
    const std::vector<Placed> got = text("Aa1");
    ASSERT_EQ(got.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(got[i].row, i); // the normal variant's rows, from y 0
    clear_bitmap(dest);
    draw_small_text(0, 20, dest, "A");
    ASSERT_EQ(drawn(true).size(), 1u);
    EXPECT_EQ(drawn(true)[0].row, 0);
}

TEST_F(TextTest, TinyFont) {
    clear_bitmap(dest);
    draw_small_text(5, 30, dest, "AZ09%.:-!a");
    const std::vector<Placed> got = drawn(true);
    const int sheet_x[] = {40, 140, 148, 184, 192, 196, 200};
    ASSERT_EQ(got.size(), 8u); // '-' and '!' have no tiny glyph but still move 4
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(got[i].x, 5 + 4 * i);
        EXPECT_EQ(40 + 4 * got[i].cell, sheet_x[i]);
    }
    EXPECT_EQ(got[7].x, 5 + 4 * 9);
    EXPECT_EQ(got[7].cell, 0); // lower case is drawn as capitals
}

} // namespace
