// Panels where the reference frames (below) do not look: partly off the
// screen, over a glow table that maps colour 0, and fed odd values. Drawn on
// synthetic sheets: every picture is a solid block of its own colour, and
// every glyph cell is filled with its variant's colour and marked with its
// column and cell row, so a drawn panel tells which piece landed where.
#include "core/game_state.h"
#include "frontend/menu_engine.h"
#include "golden_ui/golden.h"
#include "input/input.h"
#include "render/panels.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

using namespace qv;

namespace {

constexpr int BG = 7, COL_MARK = 100, ROW_MARK = 1;
constexpr int V0 = 150, V2 = 152, V1 = 154, TINY = 160;
constexpr int EMPTY_BAR = 36, SHIP0 = 61, BANNER = 70, EMBLEM0 = 80;
constexpr int SHIMMER_SRC = 240, SHIMMER = 252;

// Body texels stay clear of every colour the tests look for.
int tex40_colour(int x, int y) {
    return 170 + (x * 7 + y * 17) % 80;
}
int tex32_colour(int x, int y) {
    return 40 + ((x * 3 + y * 7) & 31);
}

struct Block {
    BITMAP *GameState::*sheet;
    int x1, y1, x2, y2, colour;
};
constexpr BITMAP *GameState::*HUD = &GameState::hud_sheet;
constexpr BITMAP *GameState::*SUITS = &GameState::suits_sheet;
constexpr BITMAP *GameState::*STAGES = &GameState::stages_sheet;
constexpr BITMAP *GameState::*FONT = &GameState::font_sheet;
const Block BLOCKS[] = {
    {HUD, 54, 123, 107, 132, EMPTY_BAR}, {SUITS, 0, 0, 40, 41, SHIP0},
    {SUITS, 0, 42, 40, 83, SHIP0 + 1},   {SUITS, 0, 84, 40, 125, SHIP0 + 2},
    {STAGES, 0, 48, 206, 82, BANNER},    {FONT, 40, 78, 202, 80, TINY},
};
BITMAP *GameState::*const SHEETS[] = {&GameState::font_sheet,  &GameState::tex40_sheet,
                                      &GameState::tex32_sheet, &GameState::hud_sheet,
                                      &GameState::suits_sheet, &GameState::stages_sheet,
                                      &GameState::back_buffer};

struct Glyph {
    int column, cell_row, variant;
};

class PanelTest : public ::testing::Test {
  protected:
    MenuPanels p{};

    void SetUp() override {
        test::reset_state();
        g.font_variant = 0;
        for (BITMAP *GameState::*s : SHEETS) {
            g.*s = create_bitmap(320, 200);
            clear_bitmap(g.*s);
        }
        for (const Block &b : BLOCKS)
            rectfill(g.*b.sheet, b.x1, b.y1, b.x2, b.y2, b.colour);
        const int emblem_x[] = {4, 24, 54, 85, 118, 160, 193};
        for (int k = 0; k < 6; ++k)
            rectfill(g.stages_sheet, emblem_x[k], 0, emblem_x[k + 1] - 1, 29, EMBLEM0 + k);
        for (int r : {0, 1, 2, 3, 4, 5, 9, 10, 11})
            for (int c = 0; c < 32; ++c) {
                rectfill(g.font_sheet, c * 10, r * 13, c * 10 + 9, r * 13 + 12,
                         r < 3   ? V0
                         : r < 6 ? V2
                                 : V1);
                putpixel(g.font_sheet, c * 10, r * 13, COL_MARK + c);
                putpixel(g.font_sheet, c * 10, r * 13 + 1, ROW_MARK + r);
            }
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x)
                putpixel(g.tex40_sheet, x, y, tex40_colour(x, y));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                putpixel(g.tex32_sheet, x, y, tex32_colour(x, y));
        vline(g.tex32_sheet, 32 + 4, 0, 31, SHIMMER_SRC); // one lit column in the shimmer tile
        for (int l = 0; l < 256; ++l)
            for (int c = 0; c < 256; ++c)
                g.glow_map.data[l][c] = g.shade_map.data[l][c] = static_cast<unsigned char>(c);
        std::memset(g.glow_map.data[SHIMMER_SRC], SHIMMER, 256);
        clear_to_color(g.back_buffer, BG);
    }
    void TearDown() override {
        for (BITMAP *GameState::*s : SHEETS) {
            destroy_bitmap(g.*s);
            g.*s = nullptr;
        }
    }

    void panel(int s, PanelKind kind, int x, int y, int w, int h) {
        p.active[s] = 1;
        p.kind[s] = kind;
        p.x[s] = static_cast<int16>(x);
        p.y[s] = static_cast<int16>(y);
        p.width[s] = static_cast<int16>(w);
        p.height[s] = static_cast<int16>(h);
        p.cursor[s] = -1;
        p.scan_row[s] = static_cast<int16>(h - 8);
    }
    void redraw(bool blink = false) {
        clear_to_color(g.back_buffer, BG);
        draw_panels(p, blink);
    }
    int px(int x, int y) const { return getpixel(g.back_buffer, x, y); }
    Glyph glyph_at(int x, int y) const {
        const int c = px(x, y) - COL_MARK, r = px(x, y + 1) - ROW_MARK;
        return {c >= 0 && c < 32 ? c : -1, r >= 0 && r < 12 ? r : -1, px(x + 5, y + 6)};
    }
    bool any(int colour) const {
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x)
                if (px(x, y) == colour)
                    return true;
        return false;
    }
    // The body texel at (x, y) of a panel whose corner is (X, Y).
    static int body(int X, int Y, int x, int y) {
        return tex40_colour(63 - (X & 63) + (x & 63), 63 - (Y & 63) + (y & 63));
    }
};

TEST_F(PanelTest, TheBodysTextureFollowsAPanelPartlyOffTheScreen) {
    panel(3, PANEL_CAPTION, -60, -7, 100, 66);
    redraw();
    for (int y = 0; y <= 52; ++y)
        for (int x = 0; x <= 33; ++x)
            ASSERT_EQ(px(x, y), body(-60, -7, x, y)) << x << "," << y;
}

TEST_F(PanelTest, TheShimmersEmptyTexelsLeaveTheCursorBarAlone) {
    // Only column 4 of the shimmer tile is lit; the rest is colour 0, which
    // a glow table may well map to something else.
    constexpr int MARKED = 253;
    std::memset(g.glow_map.data[0], MARKED, 256);
    panel(3, PANEL_LIST, 10, 20, 100, 66);
    p.cursor[3] = 1;
    redraw();
    EXPECT_FALSE(any(MARKED));
    EXPECT_TRUE(any(SHIMMER));
}

TEST_F(PanelTest, BindingNamesOfKeysAndOfAPadThatIsNotThere) {
    panel(3, PANEL_CONTROLS, 10, 20, CONTROLS_PANEL_W, 80);
    p.item_count[3] = 5;                       // "Gamepad" and the four actions
    const int16 keys[4] = {107, 105, 26, 121}; // L ALT, L CTRL, Z, a code with no name
    std::memcpy(g.key_binding, keys, sizeof keys);
    g.joystick_enabled = 0;
    redraw();
    // First letters at x + 126: D(ISABLED), L, L, Z, then '?' from the figures row.
    const int key_cells[][2] = {{3, 3}, {11, 3}, {11, 3}, {25, 3}, {12, 5}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(glyph_at(136, 25 + 14 * i).column, key_cells[i][0]) << i;
        EXPECT_EQ(glyph_at(136, 25 + 14 * i).cell_row, key_cells[i][1]) << i;
    }
    // The pad switched on but none found: N(O PAD) on every action row.
    g.joystick_enabled = 1;
    g.pad.present = 0;
    redraw();
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(glyph_at(136, 25 + 14 * i).column, 13) << i;
    EXPECT_EQ(g.font_variant, 0);
}

TEST_F(PanelTest, UnknownSelectionsShowLabelsAndEmptyBarsOnly) {
    panel(4, PANEL_SHIP_DATA, 10, 20, 120, 66);
    g.ship_type = 7;
    redraw();
    EXPECT_EQ(px(70, 25), TINY);
    EXPECT_EQ(px(72, 32), EMPTY_BAR);
    EXPECT_NE(px(17, 66), TINY); // no "SIDEARM:"
    for (int k = 0; k < 3; ++k)
        EXPECT_FALSE(any(SHIP0 + k));
    p.active[4] = 0;
    panel(7, PANEL_GUN_DATA, 10, 20, 66, 66);
    g.gun_type = 9;
    redraw();
    EXPECT_EQ(px(18, 32), EMPTY_BAR);
}

TEST_F(PanelTest, AStageIntroWithoutAnEmblem) {
    panel(3, PANEL_STAGE_INTRO, 40, 30, 207, 35);
    p.caption[3] = 9; // no such emblem
    redraw();
    EXPECT_EQ(px(40, 30), BANNER);
    for (int k = 0; k < 6; ++k)
        EXPECT_FALSE(any(EMBLEM0 + k));
}

TEST_F(PanelTest, NameEntryEmptyBlinkingAndUnterminated) {
    panel(3, PANEL_NAME_ENTRY, 10, 20, 100, 21);
    std::memset(g.name_buffer, 0, sizeof g.name_buffer);
    redraw(true);
    EXPECT_EQ(glyph_at(18, 25).column, 21); // ':'
    EXPECT_EQ(glyph_at(27, 25).column, 8);  // the cursor at X+17 for an empty name
    EXPECT_EQ(glyph_at(27, 25).variant, V2);
    redraw(false);
    EXPECT_EQ(glyph_at(27, 25).column, -1);
    std::memset(g.name_buffer, 'W', sizeof g.name_buffer); // unterminated
    redraw(true);
    EXPECT_EQ(glyph_at(24 + 10 * 11, 25).column, 22);
}

TEST_F(PanelTest, SlotOrderAndInactivePanels) {
    panel(3, PANEL_CAPTION, 10, 20, 100, 66);
    panel(5, PANEL_CAPTION, 50, 40, 100, 66);
    redraw();
    EXPECT_EQ(px(50, 44), 104); // slot 5's frame over slot 3's body
    p.active[5] = 0;
    redraw();
    EXPECT_EQ(px(50, 44), body(10, 20, 50, 44));

    p.active[3] = 0;
    panel(0, PANEL_LIST, 10, 20, 100, 66);
    p.active[0] = 0;
    panel(1, PanelKind(3), 10, 20, 100, 66); // kinds without a picture draw nothing
    panel(2, PanelKind(12), 10, 20, 100, 66);
    redraw();
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 320; ++x)
            ASSERT_EQ(px(x, y), BG);
    putpixel(g.back_buffer, 0, 0, 232); // solid mode afterwards
    EXPECT_EQ(px(0, 0), 232);
}

} // namespace

// ---- reference frames with the generated art ----

namespace {

struct PanelSetup {
    int slot;
    PanelKind kind;
    int x, y, w, h;
    int tab, cursor, caption;
    std::vector<int> items;
    int highlight_width = 0;
};

void place(MenuPanels &p, const PanelSetup &s) {
    const int k = s.slot;
    p.active[k] = 1;
    p.kind[k] = s.kind;
    p.x[k] = static_cast<int16>(s.x);
    p.y[k] = static_cast<int16>(s.y);
    p.width[k] = static_cast<int16>(s.w);
    p.height[k] = static_cast<int16>(s.h);
    p.tab_text[k] = static_cast<int16>(s.tab);
    p.cursor[k] = static_cast<int16>(s.cursor);
    p.caption[k] = static_cast<int16>(s.caption);
    p.highlight_width[k] = static_cast<int16>(s.highlight_width);
    p.highlight_phase[k] = static_cast<int16>(11 * k);
    p.scan_row[k] = static_cast<int16>(s.h / 2);
    p.item_count[k] = static_cast<int16>(s.items.size());
    int i = 0;
    for (int item : s.items)
        p.items[k][i++] = static_cast<int16>(item);
}

void menu_frame(std::initializer_list<PanelSetup> setups, const char *name) {
    MenuPanels p{};
    for (const PanelSetup &s : setups)
        place(p, s);
    use_title_colour_maps();
    clear_bitmap(g.back_buffer);
    draw_panels(p, true);
    test::expect_golden(g.back_buffer, g.title_palette, name);
}

} // namespace

TEST(PanelGolden, MenusWithTheGeneratedArt) {
    test::reset_state();
    test::GameArt art;
    ASSERT_TRUE(art.loaded()) << art.error();
    const byte detail[6] = {1, 1, 0, 1, 1, 0};
    std::memcpy(g.detail, detail, sizeof detail);

    menu_frame({{1, PANEL_LIST, 6, 10, 100, 52, 2, 0, 0, {5, 6, 7}},
                {3, PANEL_TOGGLES, 7, 80, 125, 94, 10, 4, 0, {17, 18, 19, 20, 21, 22}, 107},
                {5, PANEL_CAPTION, 160, 40, 150, 21, 0, 0, 31, {}}},
               "menu_lists");

    // The gamepad's names.
    g.joystick_enabled = 1;
    g.pad.present = 1;
    menu_frame({{2, PANEL_LIST, 210, 10, 100, 66, 6, 0, 0, {8, 9, 10, 12}},
                {3, PANEL_CONTROLS, 7, 80, CONTROLS_PANEL_W, 80, 7, 2, 0, {35, 31, 32, 33, 34}, 124},
                {5, PANEL_DESCRIPTION, 6, 170, 190, 21, 0, 0, 5, {}}},
               "menu_controls");

    g.ship_type = 1;
    g.gun_type = 3;
    menu_frame({{2, PANEL_LIST, 7, 40, 100, 52, 11, 1, 0, {23, 24, 25}},
                {3, PANEL_DESCRIPTION, 5, 5, 155, 21, 0, 0, 1, {}},
                {4, PANEL_SHIP_DATA, 115, 100, 120, 70, 12, 0, 0, {}},
                {7, PANEL_GUN_DATA, 248, 100, 65, 70, 27, 0, 0, {}}},
               "menu_selection");

    g.stage_bonus = 2500;
    std::strcpy(g.name_buffer, "Maverick");
    menu_frame({{1, PANEL_LIST, 173, 10, 140, 33, 30, 0, 0, {57}},
                {2, PANEL_BONUS, 6, 160, 160, 23, 0, 0, 0, {}},
                {6, PANEL_CAPTION, 50, 73, 220, 21, 0, 0, 13, {}},
                {7, PANEL_NAME_ENTRY, 50, 94, 220, 21, 0, 0, 0, {}}},
               "menu_game_end");
}

// WCAG's relative luminance of a palette colour (6-bit levels, shown as 8-bit).
double luminance(const RGB &c) {
    const auto linear = [](int v) {
        const double s = ((v << 2) | (v >> 4)) / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

// The tiny font: the title's legend (the version's figures among them), and
// a panel's tab, whose text stands out from the tab by at least 4.5:1.
TEST(PanelGolden, TheTinyFontOfTheLegendAndTheTabs) {
    test::reset_state();
    test::GameArt art;
    ASSERT_TRUE(art.loaded()) << art.error();
    MenuPanels p{};
    place(p, {1, PANEL_LIST, 6, 10, 100, 52, 2, 0, 0, {5, 6, 7}});
    use_title_colour_maps();
    clear_bitmap(g.back_buffer);
    draw_panels(p, true);
    draw_menu_legend(g.back_buffer);
    test::expect_golden(g.back_buffer, g.title_palette, "menu_legend");

    // The tab's two rows of fill under its text hold the two colours.
    std::set<int> tab;
    for (int x = 60; x < 100; ++x)
        for (int y = 8; y < 10; ++y) tab.insert(getpixel(g.back_buffer, x, y));
    ASSERT_EQ(tab.size(), 2u);
    const double a = luminance(g.title_palette[*tab.begin()]);
    const double b = luminance(g.title_palette[*tab.rbegin()]);
    EXPECT_GE((std::max(a, b) + 0.05) / (std::min(a, b) + 0.05), 4.5) << "the tab's contrast";
}

TEST(PanelGolden, StageBannersInFlight) {
    test::reset_state();
    test::GameArt art;
    ASSERT_TRUE(art.loaded()) << art.error();
    g.current_stage = 2;
    load_stage_graphics();
    clear_bitmap(g.back_buffer);
    MenuPanels p{};
    place(p, {5, PANEL_STAGE_INTRO, 56, 50, 207, 35, 0, -1, 2, {}});
    place(p, {6, PANEL_STAGE_COMPLETE, 56, 110, 207, 35, 0, -1, 0, {}});
    draw_panels(p, false);
    test::expect_golden(g.back_buffer, g.game_palette, "stage_banners");
}

// Whatever key or button is bound, its name stays inside the Controls
// panel: the frame's columns, drawn with the real font, come out the same
// as with no name at all.
TEST(PanelGolden, EveryBindingNameStaysInsideTheControlsFrame) {
    test::reset_state();
    test::GameArt art;
    ASSERT_TRUE(art.loaded()) << art.error();
    use_title_colour_maps();
    MenuPanels p{};
    place(p, {3, PANEL_CONTROLS, 7, 80, CONTROLS_PANEL_W, 80, 7, 2, 0, {35, 31, 32, 33, 34}, 124});
    // From just inside the frame's edge to past its trim.
    const int frame_x = 7 + CONTROLS_PANEL_W - 5;
    g.pad.present = 1;
    const auto frame_with = [&](int pad, int binding) {
        g.joystick_enabled = static_cast<byte>(pad);
        for (int i = 0; i < ACTION_COUNT; ++i)
            g.key_binding[i] = g.button_binding[i] = static_cast<int16>(binding);
        clear_bitmap(g.back_buffer);
        draw_panels(p, true);
        std::vector<int> pixels;
        for (int y = 80; y < 160; ++y)
            for (int x = frame_x; x < frame_x + 20; ++x)
                pixels.push_back(getpixel(g.back_buffer, x, y));
        return pixels;
    };
    const std::vector<int> no_key = frame_with(0, 0);
    for (int code = 1; code < KEYCODE_LIMIT; ++code)
        EXPECT_EQ(frame_with(0, code), no_key) << '"' << key_name(code) << "\" runs into the frame";
    const std::vector<int> no_button = frame_with(1, 0);
    for (int button = 1; button <= 6; ++button)
        EXPECT_EQ(frame_with(1, button), no_button) << '"' << button_name(button) << "\" runs into the frame";
}
