// The perspective ground and cloud layers against their plain rules, the
// frame's composition (reference frames) and the screen shake.
#include "assets/game_data.h"
#include "core/game_state.h"
#include "core/snapshot.h"
#include "golden_ui/golden.h"
#include "render/render.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

using namespace qv;

namespace {

using test::first_difference;
using test::hashed;
using test::make_bitmap;

void fill_hashed(BITMAP *b, std::uint32_t seed) {
    for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x)
            putpixel(b, x, y, hashed(x, y, seed));
}

void fill_shade_map(std::uint32_t seed) {
    for (int t = 0; t < 256; ++t)
        for (int p = 0; p < 256; ++p)
            g.shade_map.data[t][p] = static_cast<unsigned char>(hashed(t, p, seed));
}

// The layer rules written out plainly, pixel by pixel: the row's start from
// the tables, then x steps along it, each texel coordinate rounded with
// fixtoi and wrapped with the map's mask.
void reference_layer(BITMAP *dest, BITMAP *map, fixed heading, fixed cx, fixed cy, bool cloud) {
    const fixed c = fixcos(heading), s = fixsin(heading);
    const int half_w = dest->w / 2;
    for (int y = 0; y < dest->h; ++y) {
        const fixed d = g.row_distance[y], k = g.row_step[y];
        const fixed dx = fixmul(-s, k), dy = fixmul(c, k);
        const fixed u0 = cx + fixmul(d, c) - half_w * dx;
        const fixed v0 = cy + fixmul(d, s) - half_w * dy;
        for (int x = 0; x < dest->w; ++x) {
            const int tu = fixtoi(u0 + x * dx) & (map->w - 1);
            const int tv = fixtoi(v0 + x * dy) & (map->h - 1);
            const int t = getpixel(map, tu, tv);
            putpixel(dest, x, y, cloud ? g.shade_map.data[t][getpixel(dest, x, y)] : t);
        }
    }
}

struct Pose {
    fixed heading, x, y;
};

// Headings at and around the wrap, exact halves, and positions far outside
// the map on both sides, then random ones.
std::vector<Pose> poses() {
    std::vector<Pose> p = {
        {0, itofix(512), itofix(512)},
        {itofix(256), itofix(512), itofix(512)},
        {itofix(256) - 1, itofix(3), itofix(1020)},
        {1, itofix(1023), 0},
        {-0x100, itofix(700), itofix(-5)},
        {itofix(64), itofix(-30000), itofix(29000)},
        {itofix(128), itofix(30000) + 0x8000, itofix(-30000) - 0x8000},
        {itofix(192), itofix(10) + 0x8000, -itofix(3) - 0x8000},
        {itofix(32), itofix(16000), itofix(16000)},
    };
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> angle(-itofix(256), itofix(512));
    std::uniform_int_distribution<int> pos(-itofix(30000), itofix(30000));
    for (int i = 0; i < 30; ++i)
        p.push_back({angle(rng), pos(rng), pos(rng)});
    return p;
}

TEST(Layers, GroundAndCloudsFollowThePlainRulesOverManyPoses) {
    test::reset_state();
    // The stage's ground against the plain rules on a copy of its picture
    // made twice as large, then the clouds over it.
    auto map = make_bitmap(GROUND_PICTURE_SIZE, GROUND_PICTURE_SIZE);
    auto doubled = make_bitmap(2 * GROUND_PICTURE_SIZE, 2 * GROUND_PICTURE_SIZE);
    fill_hashed(map.get(), 7);
    stretch_blit(map.get(), doubled.get(), 0, 0, map->w, map->h, 0, 0, doubled->w, doubled->h);
    auto clouds = make_bitmap(CLOUD_SIZE, CLOUD_SIZE);
    fill_hashed(clouds.get(), 21);
    fill_shade_map(99);
    auto got = make_bitmap(FRAME_W, FRAME_H), want = make_bitmap(FRAME_W, FRAME_H);
    const std::vector<Pose> all = poses();
    for (size_t i = 0; i < all.size(); ++i) {
        const Pose &p = all[i], &q = all[(i * 7 + 3) % all.size()];
        SCOPED_TRACE(testing::Message() << "heading " << p.heading << " at " << p.x << "," << p.y);
        clear_to_color(got.get(), 3);
        draw_ground_layer(got.get(), map.get(), p.heading, p.x, p.y);
        reference_layer(want.get(), doubled.get(), p.heading, p.x, p.y, false);
        ASSERT_EQ(first_difference(got.get(), want.get()), "");
        SCOPED_TRACE(testing::Message() << "clouds " << q.heading << " at " << q.x << "," << q.y);
        draw_ground_and_cloud_layers(got.get(), map.get(), p.heading, p.x, p.y, clouds.get(),
                                     q.heading, q.x, q.y);
        reference_layer(want.get(), clouds.get(), q.heading, q.x, q.y, true);
        ASSERT_EQ(first_difference(got.get(), want.get()), "");
    }
    // Maps of the wrong size would be read past their ends: refused.
    EXPECT_THROW(draw_ground_layer(got.get(), clouds.get(), 0, 0, 0), std::logic_error);
    EXPECT_THROW(draw_ground_and_cloud_layers(got.get(), map.get(), 0, 0, 0, map.get(), 0, 0, 0),
                 std::logic_error);
}

// ---- shake ----

TEST(Shake, EachShakeFrameIsOneFrameAtOneOfFourOffsets) {
    constexpr ShakeOffset SHAKES[] = {{1, 0}, {0, 1}, {1, 1}, {0, 0}};
    constexpr int frames = 400;
    std::srand(3);
    std::vector<int> draws;
    for (int i = 0; i < frames; ++i)
        draws.push_back((std::rand() % 8) / 2);
    const int after = std::rand();
    std::srand(3);
    g.shake_frames = frames;
    for (int r : draws) {
        const ShakeOffset o = take_shake_offset();
        ASSERT_EQ(o.x, SHAKES[r].x);
        ASSERT_EQ(o.y, SHAKES[r].y);
    }
    EXPECT_EQ(g.shake_frames, 0);
    const ShakeOffset steady = take_shake_offset();
    EXPECT_EQ(steady.x, 0);
    EXPECT_EQ(steady.y, 0);
    EXPECT_EQ(g.shake_frames, 0);
    EXPECT_EQ(std::rand(), after) << "a steady frame draws no random number";
    g.shake_frames = 2;
    present_frame();
    EXPECT_EQ(g.shake_frames, 1) << "presenting counts the shake down";
}

// ---- golden frame: the generated art, drawn headless from fixed state ----

// Puts an object `ahead` units in front of the ship and `side` units to its
// right (ship at 16000, 16000 looking along `heading`).
struct ScenePlacer {
    fixed heading;
    int slot = 1;

    int put(int16 kind, int ahead, int side, int16 size) {
        EntityTable &e = g.ent;
        const fixed c = fixcos(heading), s = fixsin(heading);
        e.active[slot] = 1;
        e.kind[slot] = kind;
        e.x[slot] = g.player_x + ahead * c - side * s;
        e.y[slot] = g.player_y + ahead * s + side * c;
        e.sprite_w[slot] = e.sprite_h[slot] = size;
        e.shadow_col[slot] = e.shadow_row[slot] = -1;
        return slot++;
    }
    void cell(int s, int image) {
        g.ent.cell_col[s] = static_cast<int16>(image % 9);
        g.ent.cell_row[s] = static_cast<int16>(image / 9);
    }
};

// Enemies (one dying, sparking), the ship's shots and the enemies', a
// rocket with its smoke trail, hit sparks and an explosion, over stage 1's
// ground with clouds and shadows.
void build_flight_scene() {
    const fixed heading = itofix(40);
    g.player_heading = g.cloud_heading = heading;
    g.player_x = g.player_y = itofix(16000);
    g.cloud_x = itofix(16000) + itofix(37);
    g.cloud_y = itofix(16000) - itofix(90);
    g.ship_type = 1;
    g.flame_frame = 1;
    g.booster_active = 0;
    g.player_screen_dy = 0;
    g.score = 12345;
    g.heat = 120.0f;
    g.bombs = 2;
    g.ent.active[0] = 1;
    g.ent.kind[0] = KIND_PLAYER;
    g.ent.hp[0] = ship_armor[1];
    g.detail[DETAIL_CLOUDS] = 1;
    g.detail[DETAIL_SHIP_SHADOWS] = 1;

    ScenePlacer p{heading};
    const int enemies[][3] = {
        {60, -75, 0}, {110, 60, 1}, {150, -30, 2}, {230, 95, 3}, {310, -120, 4}};
    for (const auto &en : enemies) {
        const int s = p.put(KIND_ENEMY, en[0], en[1], 56);
        g.ent.cell_col[s] = static_cast<int16>(en[2]);
        g.ent.shadow_col[s] = g.ent.shadow_row[s] = 0;
        if (en[2] == 2) {
            g.ent.state[s] = ENEMY_DYING;
            g.ent.spark_timer[s] = 1;
        }
    }
    for (int i = 0; i < 6; ++i)
        p.cell(p.put(KIND_PROJECTILE, 30 + 40 * i, (i % 2) * 6 - 3, 33), gun_sprite[0]);
    for (int i = 0; i < 5; ++i)
        p.cell(p.put(KIND_PROJECTILE, 300 - 45 * i, -120 + 18 * i, 33), gun_sprite[10]);
    const int rocket = p.put(KIND_PROJECTILE, 200, 20, 33);
    p.cell(rocket, gun_sprite[GUN_ROCKET]);
    for (int i = 0; i < 10; ++i) {
        const int s = p.put(KIND_SMOKE, 190 - 12 * i, 20, 33);
        g.ent.shade_level[s] = static_cast<int16>(130 + 10 * i);
    }
    for (int i = 0; i < 2; ++i)
        p.cell(p.put(KIND_SPARK, 240 + 4 * i, 95 - 8 * i, 33), 27 + i);
    const int boom = p.put(KIND_EXPLOSION, 200, -70, 33);
    g.ent.glow_level[boom] = 160;
}

// Stage 1's ground and clouds under the generated sheets.
class GoldenTest : public ::testing::Test {
  protected:
    std::optional<test::GameArt> art;

    void SetUp() override {
        test::reset_state();
        art.emplace();
        ASSERT_TRUE(art->loaded()) << art->error();
        g.current_stage = 0;
        load_stage_graphics();
    }
    void check_golden(const char *name) {
        test::expect_golden(g.back_buffer, g.game_palette, name, "golden");
    }
};

TEST_F(GoldenTest, BusyFlightScene) {
    build_flight_scene();
    take_snapshot();
    std::srand(5); // the damage sparks' roll
    compose_flight_frame();
    check_golden("flight_busy");
}

TEST_F(GoldenTest, TurnedWithoutCloudsOrShadows) {
    build_flight_scene();
    g.detail[DETAIL_CLOUDS] = 0;
    g.detail[DETAIL_SHIP_SHADOWS] = 0;
    g.booster_active = 1;
    g.flame_frame = 2;
    g.player_screen_dy = 12; // still rising into place
    take_snapshot();
    // Turned a little to the left, the same world slides to the right.
    g.view_heading = wrap_angle(g.view_heading - itofix(20));
    std::srand(5);
    compose_flight_frame();
    check_golden("flight_turned_plain");
}

// The reference scenes' clouds drift along the ship's heading. Drifting
// another way, they are still pulled back with the camera along the ship's.
TEST_F(GoldenTest, CloudsArePulledBackAlongTheShipsHeading) {
    std::memset(&g.snap, 0, sizeof g.snap);
    g.detail[DETAIL_CLOUDS] = 1;
    const fixed heading = itofix(10);
    g.view_heading = heading;
    g.view_x = g.view_y = itofix(500);
    g.view_cloud_heading = itofix(200);
    g.view_cloud_x = itofix(40);
    g.view_cloud_y = itofix(-40);
    compose_flight_frame();
    EXPECT_EQ(g.view_x, itofix(500) - 110 * fixcos(heading));
    EXPECT_EQ(g.view_y, itofix(500) - 110 * fixsin(heading));
    EXPECT_EQ(g.view_cloud_x, itofix(40) - 110 * fixcos(heading));
    EXPECT_EQ(g.view_cloud_y, itofix(-40) - 110 * fixsin(heading));
    // Between the score and the instruments the frame is the two layers.
    auto want = make_bitmap(FRAME_W, FRAME_H);
    draw_ground_and_cloud_layers(want.get(), g.stage_map, heading, g.view_x, g.view_y,
                                 g.cloud_map, itofix(200), g.view_cloud_x, g.view_cloud_y);
    EXPECT_EQ(first_difference(g.back_buffer, want.get(), 20, 139), "");
}

} // namespace
