// World objects where the reference frames do not look: the draw order of
// any scene and its cost, objects at or behind the camera, sprites and
// shadows cut short at the sheets' and the screen's edges, and the damage
// sparks' timer. (The projection, the discs, the sparks and the player's
// ship are in the reference frames of test_render_frame.)
#include "core/game_state.h"
#include "render/objects.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace qv;

namespace {

using test::BitmapPtr;
using test::first_difference;
using test::hashed;
using test::make_bitmap;

// A picture with about one pixel in four transparent (colour 0).
void fill_sheet(BITMAP *b, std::uint32_t seed) {
    for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x) {
            const int v = hashed(x, y, seed);
            putpixel(b, x, y, v % 4 == 0 ? 0 : v);
        }
}

const fixed CAMERA = itofix(1000);

class ObjectsTest : public ::testing::Test {
  protected:
    std::vector<BitmapPtr> owned;
    BitmapPtr before = make_bitmap(FRAME_W, FRAME_H);

    BITMAP *own(BitmapPtr b) {
        owned.push_back(std::move(b));
        return owned.back().get();
    }

    void SetUp() override {
        test::reset_state();
        std::memset(&g.snap, 0, sizeof g.snap);
        g.ships_sheet = own(make_bitmap(320, 200));
        g.gunfire_sheet = own(make_bitmap(320, 200));
        g.enemy_sheet = own(make_bitmap(320, 200));
        g.shadow_sheet = own(make_bitmap(320, 200));
        g.back_buffer = own(make_bitmap(FRAME_W, FRAME_H));
        fill_sheet(g.ships_sheet, 1);
        fill_sheet(g.gunfire_sheet, 2);
        fill_sheet(g.enemy_sheet, 3);
        fill_sheet(g.shadow_sheet, 4);
        for (int l = 0; l < 256; ++l)
            for (int p = 0; p < 256; ++p) {
                g.shade_map.data[l][p] = static_cast<unsigned char>(hashed(l, p, 7));
                g.glow_map.data[l][p] = static_cast<unsigned char>(hashed(l, p, 8));
            }
        for (int p = 0; p < 256; ++p)
            g.shade_map.data[255][p] = static_cast<unsigned char>(p);
        fill_sheet(g.back_buffer, 9);
        g.view_heading = 0;
        g.view_x = g.view_y = CAMERA;
        g.detail[DETAIL_SHIP_SHADOWS] = 1;
    }

    void TearDown() override {
        for (BITMAP **b :
             {&g.ships_sheet, &g.gunfire_sheet, &g.enemy_sheet, &g.shadow_sheet, &g.back_buffer})
            *b = nullptr;
        owned.clear();
    }

    // An object in the snapshot, `ahead` units in front of the camera (which
    // looks along +x) and `side` units to the right.
    void place(int slot, int16 kind, double ahead, double side, int16 size = 33) {
        EntityTable &e = g.snap.ent;
        e.active[slot] = 1;
        e.kind[slot] = kind;
        e.x[slot] = CAMERA + ftofix(ahead);
        e.y[slot] = CAMERA + ftofix(side);
        e.sprite_w[slot] = e.sprite_h[slot] = size;
        e.shadow_col[slot] = -1;
        e.shadow_row[slot] = -1;
    }

    void keep_frame() { blit(g.back_buffer, before.get(), 0, 0, 0, 0, FRAME_W, FRAME_H); }

    void draw_world() {
        project_objects();
        build_draw_list();
        sort_draw_list();
        draw_objects();
    }
};

// The draw order by its plain definition: every active slot once, by
// ground row, equal rows in slot order.
std::vector<DrawEntry> plain_draw_order() {
    std::vector<DrawEntry> want;
    for (int slot = 1; slot < SLOT_COUNT; ++slot)
        if (g.snap.ent.active[slot])
            want.push_back({g.proj_base[slot], slot});
    std::stable_sort(want.begin(), want.end(),
                     [](const DrawEntry &a, const DrawEntry &b) { return a.key < b.key; });
    return want;
}

std::string order_difference(const std::vector<DrawEntry> &want) {
    if (g.draw_count != static_cast<int>(want.size()))
        return "count " + std::to_string(g.draw_count) + " vs " + std::to_string(want.size());
    for (int i = 0; i < g.draw_count; ++i)
        if (g.draw_list[i].key != want[i].key || g.draw_list[i].slot != want[i].slot)
            return "entry " + std::to_string(i) + ": slot " + std::to_string(g.draw_list[i].slot) +
                   " vs " + std::to_string(want[i].slot);
    for (int i = g.draw_count; i < SLOT_COUNT - 1; ++i)
        if (g.draw_list[i].key != -1 || g.draw_list[i].slot != -1)
            return "entry " + std::to_string(i) + " past the filled ones is not (-1, -1)";
    return "";
}

// Worst cases of several shapes (the old padded quicksort made about
// 140,000 comparisons for a frame with one object far off or behind the
// camera), then scenes as play makes them: objects near and far, many on
// the same rows, beside and behind the camera, in any slots. Through the
// same calls a frame makes.
TEST_F(ObjectsTest, ObjectsAreSortedByRowThenSlotInAFewNLogNComparisons) {
    const auto sort_and_check = [](int objects) {
        project_objects();
        build_draw_list();
        const int comparisons = sort_draw_list();
        const int n = std::max(objects, 2);
        EXPECT_LE(comparisons, 3.0 * n * std::ceil(std::log2(n))) << objects << " objects";
        return order_difference(plain_draw_order());
    };
    struct Shape {
        const char *name;
        int objects;
        double (*ahead)(int i, int n);
    };
    const Shape shapes[] = {
        {"a few near, one behind", 12, [](int i, int) { return i == 7 ? -500.0 : 100.0 + i; }},
        {"a few near, one far", 12, [](int i, int) { return i == 3 ? 5000.0 : 100.0 + i; }},
        {"all on one row", SLOT_COUNT - 1, [](int, int) { return 200.0; }},
        {"near to far", SLOT_COUNT - 1, [](int i, int) { return 20.0 + 4 * i; }},
        {"far to near", SLOT_COUNT - 1, [](int i, int n) { return 20.0 + 4 * (n - i); }},
        {"organ pipe", SLOT_COUNT - 1,
         [](int i, int n) { return 20.0 + 4 * (i < n / 2 ? i : n - i); }},
        {"all behind but one", SLOT_COUNT - 1, [](int i, int) { return i ? -10.0 - i : 100.0; }},
    };
    for (const Shape &s : shapes) {
        std::memset(&g.snap.ent, 0, sizeof g.snap.ent);
        for (int i = 0; i < s.objects; ++i)
            place(i + 1, KIND_PROJECTILE, s.ahead(i, s.objects), (i * 37) % 200 - 100);
        EXPECT_EQ(sort_and_check(s.objects), "") << s.name;
    }
    std::mt19937 rng(23);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int scene = 0; scene < 200; ++scene) {
        std::memset(&g.snap.ent, 0, sizeof g.snap.ent);
        const int objects = pick(0, SLOT_COUNT - 1);
        for (int n = 0; n < objects; ++n) {
            const int slot = pick(1, SLOT_COUNT - 1);
            // A few distances only, so that many objects share a row.
            const double ahead = pick(0, 3) == 0 ? pick(-900, 3000) : 40.0 * pick(-2, 12);
            place(slot, KIND_PROJECTILE, ahead, pick(-300, 300));
        }
        ASSERT_EQ(sort_and_check(objects), "") << "scene " << scene;
    }
}

TEST_F(ObjectsTest, NothingAtOrBehindTheCameraIsDrawn) {
    const double depths[] = {0.0, -0.5, -30.0, -400.0, 0.25};
    int slot = 1;
    for (double d : depths) {
        for (int16 kind : {KIND_SPARK, KIND_PROJECTILE, KIND_EXPLOSION, KIND_SMOKE, KIND_ENEMY}) {
            place(slot, kind, d, 3.0, kind == KIND_ENEMY ? 56 : 33);
            EntityTable &e = g.snap.ent;
            e.shadow_col[slot] = e.shadow_row[slot] = 0;
            e.glow_level[slot] = 250;
            e.shade_level[slot] = 120;
            e.state[slot] = ENEMY_DYING;
            g.ent.spark_timer[slot] = 1;
            ++slot;
        }
    }
    keep_frame();
    draw_world();
    EXPECT_EQ(first_difference(g.back_buffer, before.get()), "");
    // Behind the camera the ground row is negative: first in the list.
    EXPECT_LT(g.draw_list[0].key, 0);
}

// The sprite drawing done the plain way: the cell as a sub-bitmap, a fresh
// 56x22 shadow bitmap, stretch_sprite, and the shadow's lookups pixel by
// pixel (colour 0 skipped).
void reference_sprite(int slot, BITMAP *dest, BITMAP *sheet, int cell) {
    const EntityTable &e = g.snap.ent;
    const int w = g.proj_width[slot], h = g.proj_height[slot];
    const int cx = g.proj_x[slot], base = g.proj_base[slot];
    if (g.detail[DETAIL_SHIP_SHADOWS] && e.shadow_col[slot] != -1) {
        const int sh = static_cast<int>(h * 0.394);
        BitmapPtr t = make_bitmap(56, 22, 255);
        stretch_blit(g.shadow_sheet, t.get(), e.shadow_col[slot] * 56, e.shadow_row[slot] * 22, 56,
                     22, 0, 21 - sh, w, sh);
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 56; ++x) {
                const int tx = cx - w / 2 + x, ty = base - (56 - h) / 2 + y;
                const int c = getpixel(t.get(), x, y);
                if (c && tx >= 0 && ty >= 0 && tx < dest->w && ty < dest->h)
                    putpixel(dest, tx, ty, g.shade_map.data[c][getpixel(dest, tx, ty)]);
            }
    }
    BitmapPtr sub(
        create_sub_bitmap(sheet, e.cell_col[slot] * cell, e.cell_row[slot] * cell, cell, cell),
        destroy_bitmap);
    if (sub->w > 0 && sub->h > 0)
        stretch_sprite(dest, sub.get(), cx - w / 2, base - h, w, h);
}

TEST_F(ObjectsTest, SpritesAndShadowsEqualThePlainDrawing) {
    std::mt19937 rng(77);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto want = make_bitmap(FRAME_W, FRAME_H);
    for (int i = 0; i < 400; ++i) {
        std::memset(&g.snap.ent, 0, sizeof g.snap.ent);
        const int16 kinds[] = {KIND_SPARK, KIND_PROJECTILE, KIND_ENEMY};
        const int16 kind = kinds[i % 3];
        const bool enemy = kind == KIND_ENEMY;
        // Cells up to the sheets' edges, where they are cut short.
        place(7, kind, pick(60, 700), pick(-300, 300),
              static_cast<int16>(enemy ? pick(12, 56) : 33));
        EntityTable &e = g.snap.ent;
        e.cell_col[7] = static_cast<int16>(enemy ? pick(0, 5) : pick(0, 9));
        e.cell_row[7] = static_cast<int16>(enemy ? pick(0, 3) : pick(0, 6));
        e.shadow_col[7] = static_cast<int16>(pick(-1, 4));
        e.shadow_row[7] = static_cast<int16>(pick(0, 8));
        g.detail[DETAIL_SHIP_SHADOWS] = static_cast<byte>(i % 5 != 0);
        fill_sheet(g.back_buffer, static_cast<std::uint32_t>(i));
        blit(g.back_buffer, want.get(), 0, 0, 0, 0, FRAME_W, FRAME_H);
        draw_world();
        BITMAP *sheet = kind == KIND_SPARK        ? g.ships_sheet
                        : kind == KIND_PROJECTILE ? g.gunfire_sheet
                                                  : g.enemy_sheet;
        reference_sprite(7, want.get(), sheet, enemy ? 56 : 33);
        ASSERT_EQ(first_difference(g.back_buffer, want.get()), "") << "case " << i;
    }
}

// 125 ahead a disc's centre is (160, 155) and its sizes scale by 0.8: a glow
// level of 100 lights a disc of radius 80, to the pixel.
TEST_F(ObjectsTest, AnExplosionLightsADiscOfItsScaledGlowLevel) {
    place(1, KIND_EXPLOSION, 125, 0);
    g.snap.ent.glow_level[1] = 100;
    keep_frame();
    draw_world();
    const struct {
        int x, y;
        bool lit;
    } points[] = {
        {160, 155, true}, {160, 75, true}, {160, 74, false}, {240, 155, true}, {241, 155, false}};
    for (const auto &p : points) {
        const int was = getpixel(before.get(), p.x, p.y);
        EXPECT_EQ(getpixel(g.back_buffer, p.x, p.y), p.lit ? g.glow_map.data[100][was] : was)
            << p.x << "," << p.y;
    }
}

class SparksTest : public ObjectsTest {
  protected:
    void SetUp() override {
        ObjectsTest::SetUp();
        place(9, KIND_ENEMY, 100, 0, 56);
        g.snap.ent.state[9] = ENEMY_DYING;
    }
};

TEST_F(SparksTest, SparksAreRerolledWhenTheirTimerRunsOut) {
    const Spark marker{2, 7, 8};
    for (Spark &s : g.ent.sparks[9])
        s = marker;
    g.ent.spark_timer[9] = 3;
    draw_world();
    EXPECT_EQ(g.ent.spark_timer[9], 2);
    for (const Spark &s : g.ent.sparks[9])
        EXPECT_EQ(s.x, marker.x);

    // A seed that re-rolls fewer than four: the first n change, the rest
    // keep their contents.
    const auto rolled = [&](unsigned seed) {
        for (Spark &s : g.ent.sparks[9])
            s = marker;
        seed_sparks(seed);
        g.ent.spark_timer[9] = 1;
        draw_world();
        int n = 0;
        while (n < 4 && (g.ent.sparks[9][n].frame != marker.frame ||
                         g.ent.sparks[9][n].x != marker.x || g.ent.sparks[9][n].y != marker.y))
            ++n;
        return n;
    };
    unsigned seed = 1;
    int n = rolled(seed);
    while (n == 4 && seed < 100)
        n = rolled(++seed);
    ASSERT_GE(n, 1);
    ASSERT_LT(n, 4);
    EXPECT_GE(g.ent.spark_timer[9], 3);
    EXPECT_LE(g.ent.spark_timer[9], 5);
    for (int i = 0; i < 4; ++i) {
        const Spark &s = g.ent.sparks[9][i];
        if (i >= n) {
            EXPECT_EQ(s.frame, marker.frame);
            EXPECT_EQ(s.x, marker.x);
            EXPECT_EQ(s.y, marker.y);
            continue;
        }
        EXPECT_GE(s.frame, 0);
        EXPECT_LT(s.frame, 4);
        EXPECT_GE(s.x, 0);
        EXPECT_LT(s.x, 46);
        EXPECT_GE(s.y, 0);
        EXPECT_LT(s.y, 46);
    }
    // The snapshot is the frame's copy; the sparks live in the table.
    EXPECT_EQ(g.snap.ent.spark_timer[9], 0);
}

TEST_F(SparksTest, ObjectsTooSmallForSparksAreLeftAlone) {
    g.snap.ent.sprite_w[9] = 10;
    g.ent.spark_timer[9] = 1;
    draw_world();
    EXPECT_EQ(g.ent.spark_timer[9], 1);
}

} // namespace
