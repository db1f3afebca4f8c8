// The world pictures of the asset generator: every region the game cuts out
// holds a picture, masked pictures keep an empty border and stay in their
// cells, grounds keep to their half of the palette and wrap without a seam,
// cloud maps tile, and the same call always gives the same bytes. The
// shadows' pictures are left to the reference flight frames, which show them.
//
// With QV_ART_PREVIEW=dir set, the preview tests also write PNG pictures of
// everything (and flight views of the grounds) into that folder.
#include "assetgen.h"
#include "palette.h"

#include "core/game_state.h"
#include "render/panels.h"
#include "support/test_support.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct BitmapDeleter {
    void operator()(BITMAP *b) const { destroy_bitmap(b); }
};
using Bitmap = std::unique_ptr<BITMAP, BitmapDeleter>;

struct Picture {
    Bitmap bmp;
    PALETTE pal;
};

Picture make(BITMAP *(*maker)(PALETTE)) {
    Picture p;
    p.bmp.reset(maker(p.pal));
    return p;
}

struct Rect {
    int x, y, w, h;
};

int count_set(BITMAP *b, Rect r) {
    int n = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) n += getpixel(b, x, y) != 0;
    return n;
}

int count_border(BITMAP *b, Rect r) {
    int n = 0;
    for (int x = r.x; x < r.x + r.w; ++x) n += (getpixel(b, x, r.y) != 0) + (getpixel(b, x, r.y + r.h - 1) != 0);
    for (int y = r.y + 1; y < r.y + r.h - 1; ++y)
        n += (getpixel(b, r.x, y) != 0) + (getpixel(b, r.x + r.w - 1, y) != 0);
    return n;
}

// Every pixel outside the given regions is 0.
int count_outside(BITMAP *b, const std::vector<Rect> &regions) {
    int n = 0;
    for (int y = 0; y < b->h; ++y) {
        for (int x = 0; x < b->w; ++x) {
            bool inside = false;
            for (const Rect &r : regions) inside |= x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
            n += !inside && getpixel(b, x, y) != 0;
        }
    }
    return n;
}

// Each region holds a picture with an empty one-pixel border, and nothing
// else on the sheet is drawn.
void expect_cells(BITMAP *b, const std::vector<Rect> &cells, int min_pixels) {
    for (const Rect &r : cells) {
        EXPECT_GE(count_set(b, r), min_pixels) << "empty cell at " << r.x << "," << r.y;
        EXPECT_EQ(count_border(b, r), 0) << "cell at " << r.x << "," << r.y << " touches its border";
    }
    EXPECT_EQ(count_outside(b, cells), 0) << "pixels drawn outside the cells";
}

// ---------------------------------------------------------------- sprites

// The ship-data panel for `ship` as the game draws it from `suits`, other sheets blank.
qv::test::BitmapPtr ship_panel(BITMAP *suits, int ship) {
    using qv::g;
    auto screen = qv::test::make_bitmap(320, 200), blank = qv::test::make_bitmap(320, 200);
    g.font_sheet = g.tex40_sheet = g.tex32_sheet = g.hud_sheet = blank.get();
    g.suits_sheet = suits;
    g.back_buffer = screen.get();
    g.ship_type = static_cast<qv::int16>(ship);
    qv::MenuPanels p{};
    p.active[0] = 1;
    p.kind[0] = qv::PANEL_SHIP_DATA;
    p.width[0] = 120;
    p.height[0] = 70;
    qv::draw_panels(p, false);
    g.font_sheet = g.tex40_sheet = g.tex32_sheet = g.hud_sheet = g.suits_sheet = nullptr;
    g.back_buffer = nullptr;
    return screen;
}

TEST(WorldSprites, EnemiesFillTheirSixCellsAndNothingElse) {
    Picture p = make(assetgen::make_enemy_sheet);
    constexpr int CELLS[6][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {0, 1}};
    std::vector<Rect> cells;
    for (const auto &c : CELLS) cells.push_back({c[0] * 56, c[1] * 56, 56, 56});
    expect_cells(p.bmp.get(), cells, 300);
    // Tougher enemies are bigger: the last (the warlord) covers the most.
    const int first = count_set(p.bmp.get(), cells.front());
    const int last = count_set(p.bmp.get(), cells.back());
    EXPECT_GT(last, first * 3 / 2);
}

TEST(WorldSprites, SuitsSheetHoldsShipsFlamesShadowAndPlate) {
    Picture p = make(assetgen::make_suits_sheet);
    BITMAP *b = p.bmp.get();
    std::vector<Rect> cells;
    for (int type = 0; type < 3; ++type) cells.push_back({0, 42 * type, 41, 42});
    for (int booster = 0; booster < 2; ++booster)
        for (int frame = 0; frame < 3; ++frame) cells.push_back({booster * 17, 127 + frame * 8, 17, 8});
    cells.push_back({0, 153, 41, 16});
    cells.push_back({275, 160, 45, 40});
    expect_cells(b, cells, 8);
    for (int frame = 0; frame < 3; ++frame) {
        // The booster burns bigger than the normal flame.
        EXPECT_GT(count_set(b, {17, 127 + frame * 8, 17, 8}), count_set(b, {0, 127 + frame * 8, 17, 8}) * 2);
    }
    // The selection panel, as the game draws it, sets every pixel of a ship
    // on the plate's screen: drawn from the ships alone, marked, and with none.
    constexpr int MARK = 255;
    auto ships = qv::test::make_bitmap(b->w, b->h);
    draw_character_ex(ships.get(), b, 0, 0, MARK, -1);
    rectfill(ships.get(), 41, 0, b->w - 1, b->h - 1, 0);
    const auto plate = ship_panel(b, 7); // no such ship: the plate alone
    for (int type = 0; type < 3; ++type) {
        // The flame is drawn at (12, 18) of the ship: the engine must be
        // there, under the flame's top centre.
        EXPECT_NE(getpixel(b, 20, 42 * type + 18), 0) << "ship " << type;
        EXPECT_GE(count_set(b, {0, 42 * type, 41, 42}), 200) << "ship " << type;
        const auto marked = ship_panel(ships.get(), type);
        int on_plate = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x) {
                const int u = getpixel(plate.get(), x, y);
                on_plate += getpixel(marked.get(), x, y) == MARK && u >= assetgen::CYAN &&
                            u < assetgen::CYAN + assetgen::CYAN_N;
            }
        EXPECT_EQ(on_plate, count_set(b, {0, 42 * type, 41, 42})) << "ship " << type;
    }
}

TEST(WorldSprites, SparksSitInRowThree) {
    Picture p = make(assetgen::make_ships_sheet);
    std::vector<Rect> cells;
    for (int c = 0; c < 4; ++c) cells.push_back({c * 33, 99, 33, 33});
    expect_cells(p.bmp.get(), cells, 60);
    for (int c = 0; c < 4; ++c) {
        // A white-hot core: the centre is in the top of the fire ramp.
        EXPECT_GE(getpixel(p.bmp.get(), c * 33 + 16, 99 + 16), assetgen::FIRE + 12) << c;
    }
}

// The index ranges that read as the enemy's (reds and violets).
bool hostile_colour(int c) { return (c >= assetgen::FIRE && c < assetgen::FIRE + 10) || (c >= assetgen::VIOLET && c < assetgen::VIOLET + 16); }

TEST(WorldSprites, ProjectilesAreCentredAndColouredByOwner) {
    Picture p = make(assetgen::make_gunfire_sheet);
    BITMAP *b = p.bmp.get();
    std::vector<Rect> cells;
    for (int v = 0; v < 16; ++v)
        if (v != 11) cells.push_back({v % 9 * 33, v / 9 * 33, 33, 33});
    expect_cells(b, cells, 20);
    constexpr int PLAYER[] = {0, 1, 2, 3, 4, 5, 12, 15};
    constexpr int ENEMY[] = {6, 7, 8, 9, 13, 14};
    for (int v = 0; v < 16; ++v) {
        if (v == 11) continue;
        const int x0 = v % 9 * 33, y0 = v / 9 * 33;
        EXPECT_NE(getpixel(b, x0 + 16, y0 + 16), 0) << "picture " << v << " has no centre";
        int hostile = 0, all = 0;
        for (int y = y0; y < y0 + 33; ++y) {
            for (int x = x0; x < x0 + 33; ++x) {
                const int c = getpixel(b, x, y);
                if (!c) continue;
                ++all;
                hostile += hostile_colour(c);
                // The bolt and its glow stay near the middle of the cell.
                EXPECT_LE(std::abs(x - x0 - 16) + std::abs(y - y0 - 16), 26) << "picture " << v;
            }
        }
        if (std::find(std::begin(ENEMY), std::end(ENEMY), v) != std::end(ENEMY)) {
            EXPECT_GT(hostile * 2, all) << "enemy shot " << v << " should look hostile";
        } else if (std::find(std::begin(PLAYER), std::end(PLAYER), v) != std::end(PLAYER)) {
            EXPECT_EQ(hostile, 0) << "player shot " << v << " uses enemy colours";
        }
    }
}

// ---------------------------------------------------------------- grounds

double brightness(const RGB &c) { return 0.30 * c.r + 0.59 * c.g + 0.11 * c.b; }

// Mean brightness step between texel columns (or rows) a and b.
double step_between(BITMAP *g, const RGB *pal, int a, int b, bool columns) {
    double sum = 0;
    for (int i = 0; i < 512; ++i) {
        const int p = columns ? getpixel(g, a, i) : getpixel(g, i, a);
        const int q = columns ? getpixel(g, b, i) : getpixel(g, i, b);
        sum += std::fabs(brightness(pal[p]) - brightness(pal[q]));
    }
    return sum / 512;
}

struct GroundLook {
    double r, g, b, light;
};
GroundLook mean_look(BITMAP *g, const RGB *pal) {
    GroundLook m{0, 0, 0, 0};
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            const RGB &c = pal[getpixel(g, x, y)];
            m.r += c.r;
            m.g += c.g;
            m.b += c.b;
        }
    }
    const double n = 512.0 * 512.0;
    m.r /= n;
    m.g /= n;
    m.b /= n;
    m.light = 0.30 * m.r + 0.59 * m.g + 0.11 * m.b;
    return m;
}

TEST(WorldGrounds, EachKeepsToItsHalfOfThePaletteWrapsWithoutASeamAndHasItsOwnColour) {
    GroundLook looks[6];
    for (int stage = 0; stage < 6; ++stage) {
        SCOPED_TRACE(std::string("stage ") + std::to_string(stage));
        PALETTE pal;
        Bitmap g(assetgen::make_ground(stage, pal));
        ASSERT_EQ(g->w, 512);
        ASSERT_EQ(g->h, 512);
        ASSERT_EQ(bitmap_color_depth(g.get()), 8);
        int used[256] = {};
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x) ++used[getpixel(g.get(), x, y)];
        int low = 0, distinct = 0;
        for (int i = 0; i < 256; ++i) {
            if (i < 128) low += used[i];
            distinct += used[i] > 0;
        }
        EXPECT_EQ(low, 0) << "texels in the master half of the palette";
        EXPECT_GE(distinct, 48) << "too few shades to look smooth";
        // The wrap seam is no sharper than the ground's own texel steps.
        double inside = 0;
        for (int a = 1; a < 511; a += 17) inside += step_between(g.get(), pal, a, a + 1, true) + step_between(g.get(), pal, a, a + 1, false);
        inside /= 2 * 30;
        EXPECT_LE(step_between(g.get(), pal, 511, 0, true), inside * 1.3 + 0.2);
        EXPECT_LE(step_between(g.get(), pal, 511, 0, false), inside * 1.3 + 0.2);
        looks[stage] = mean_look(g.get(), pal);
    }
    EXPECT_GT(looks[0].r, looks[0].b + 8) << "mesas: warm ochre";
    EXPECT_GT(looks[1].b, looks[1].r + 8) << "aurora: icy blue";
    EXPECT_LT(looks[2].light, looks[0].light * 0.7) << "charred sands: dark";
    EXPECT_GT(looks[2].r, looks[2].b) << "charred sands: burnt red";
    EXPECT_GT(looks[3].r + looks[3].b, 2.5 * looks[3].g) << "nebula: violet and magenta";
    EXPECT_GT(looks[4].b, looks[4].r + 4) << "wormhole: deep blue";
    EXPECT_GT(looks[5].r, looks[5].b + 6) << "core: golden";
    EXPECT_GT(looks[5].g, looks[5].b) << "core: golden";
}

// ---------------------------------------------------------------- clouds

TEST(WorldClouds, EachPairTilesAsOneMapOfSoftShade) {
    constexpr int FIRST[3] = {100, 200, 300};
    std::vector<std::vector<int>> maps;
    for (int first : FIRST) {
        SCOPED_TRACE(std::string("cloud ") + std::to_string(first));
        PALETTE pal;
        Bitmap top(assetgen::make_clouds(first, pal));
        Bitmap bottom(assetgen::make_clouds(first + 1, pal));
        ASSERT_EQ(top->w, 320);
        ASSERT_EQ(top->h, 200);
        std::vector<int> m(256 * 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) m[y * 256 + x] = getpixel(y < 128 ? top.get() : bottom.get(), x, y % 128);
        int lo = 255, clear = 0;
        for (int v : m) {
            lo = std::min(lo, v);
            clear += v == 255;
        }
        EXPECT_GE(lo, 145) << "shadows too dark";
        EXPECT_LE(lo, 185) << "clouds too faint";
        EXPECT_GT(clear, 256 * 256 / 10) << "no clear sky";
        EXPECT_LT(clear, 256 * 256 * 9 / 10) << "hardly any cloud";
        // Outside the map the picture leaves the ground alone.
        EXPECT_EQ(getpixel(top.get(), 300, 10), 255);
        EXPECT_EQ(getpixel(bottom.get(), 10, 150), 255);
        auto step = [&](int a, int b, bool columns) {
            double s = 0;
            for (int i = 0; i < 256; ++i)
                s += std::abs(columns ? m[i * 256 + a] - m[i * 256 + b] : m[a * 256 + i] - m[b * 256 + i]);
            return s / 256;
        };
        double inside = 0;
        for (int a = 3; a < 250; a += 13) inside += step(a, a + 1, true) + step(a, a + 1, false);
        inside /= 2 * 19;
        EXPECT_LE(step(255, 0, true), inside * 1.5 + 0.5) << "left-right wrap";
        EXPECT_LE(step(255, 0, false), inside * 1.5 + 0.5) << "top-bottom wrap";
        EXPECT_LE(step(127, 128, false), inside * 1.5 + 0.5) << "join of the two archives";
        maps.push_back(m);
    }
    EXPECT_NE(maps[0], maps[1]);
    EXPECT_NE(maps[1], maps[2]);
}

} // namespace
