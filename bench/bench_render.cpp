// What a flight frame costs: the whole composition on a busy scene, the two
// full-screen layers alone, and a bare loop doing the same number of texel
// fetches, all in one run so their ratios are steady. Also the loading done
// at start-up and at every stage start.
//
// Goals: the frame within 1.5 x two bare loops; start-up loading under
// 250 ms; a stage start under 120 ms.
#include "assets/archive.h"
#include "assets/game_data.h"
#include "assets/graphics.h"
#include "assets/sound.h"
#include "loop/game_loop.h"
#include "core/game_state.h"
#include "platform/platform.h"
#include "render/hud.h"
#include "render/objects.h"
#include "render/render.h"
#include "render/text.h"
#include "render/view.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

using namespace qv;

namespace {

const fixed START = itofix(16000);
bool real_art = false;

bool have_game_data() {
    return std::filesystem::exists(std::string(QV_GAME_DIR) + "/loader.def");
}

// Without generated art: sheets and maps of a fixed pattern with about one
// pixel in four transparent.
BITMAP *pattern_bitmap(int w, int h, unsigned seed) {
    BITMAP *b = create_bitmap(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned v = (static_cast<unsigned>(x) * 73856093u ^
                                static_cast<unsigned>(y) * 19349663u ^ seed) *
                                   0x5bd1e995u >>
                               24;
            b->line[y][x] = static_cast<unsigned char>(v % 4 == 0 ? 0 : v);
        }
    return b;
}

void load_art() {
    if (have_game_data() && chdir(QV_GAME_DIR) == 0) {
        try {
            load_code_table();
            load_graphics();
            g.current_stage = 0;
            load_stage_graphics();
            real_art = true;
            return;
        } catch (const AssetError &e) {
            std::fprintf(stderr, "bench_render: %s; drawing synthetic art\n", e.what());
            free_graphics();
        }
    }
    BITMAP **sheets[] = {&g.tex40_sheet,   &g.tex32_sheet,  &g.enemy_sheet, &g.shadow_sheet,
                         &g.suits_sheet,   &g.stages_sheet, &g.font_sheet,  &g.ships_sheet,
                         &g.gunfire_sheet, &g.hud_sheet,    &g.logos_sheet, &g.title_sheet};
    unsigned seed = 1;
    for (BITMAP **s : sheets)
        *s = pattern_bitmap(320, 200, seed++);
    g.suit_shadow = pattern_bitmap(41, 16, seed++);
    g.back_buffer = create_bitmap(FRAME_W, FRAME_H);
    g.stage_map = pattern_bitmap(1024, 1024, seed++);
    g.cloud_map = pattern_bitmap(256, 256, seed++);
    for (int l = 0; l < 256; ++l)
        for (int p = 0; p < 256; ++p) {
            g.shade_map.data[l][p] = static_cast<unsigned char>(p * l / 255);
            g.glow_map.data[l][p] = static_cast<unsigned char>(255 - (255 - p) * l / 255);
        }
}

// Headings the layer benchmarks cycle through: how well the map's rows
// suit the walk depends on the heading.
constexpr int POSE_COUNT = 64;
fixed pose_heading(int i) {
    return itofix(i % POSE_COUNT * 4) + 0x4CCC;
}

struct Placement {
    int ahead, side;
};
Placement placements[SLOT_COUNT];

// 8 enemies (two dying, with sparks), 100 shots, 40 smoke puffs and two
// explosions in front of the ship, clouds and shadows on.
void build_busy_scene() {
    std::memset(&g.snap, 0, sizeof g.snap);
    EntityTable &e = g.snap.ent;
    int slot = 1;
    auto put = [&](int16 kind, int ahead, int side, int16 size) {
        e.active[slot] = 1;
        e.kind[slot] = kind;
        placements[slot] = {ahead, side};
        e.sprite_w[slot] = e.sprite_h[slot] = size;
        e.shadow_col[slot] = e.shadow_row[slot] = -1;
        return slot++;
    };
    for (int i = 0; i < 8; ++i) {
        const int s = put(KIND_ENEMY, 60 + 45 * i, (i % 2 ? 1 : -1) * (30 + 17 * i), 56);
        e.cell_col[s] = static_cast<int16>(i % 5);
        e.shadow_col[s] = e.shadow_row[s] = 0;
        e.state[s] = i < 2 ? ENEMY_DYING : ENEMY_NORMAL;
        g.ent.spark_timer[s] = 1;
    }
    for (int i = 0; i < 100; ++i) {
        const int s = put(KIND_PROJECTILE, 10 + (i * 37) % 400, (i * 53) % 300 - 150, 33);
        e.cell_col[s] = static_cast<int16>(gun_sprite[i % 6] % 9);
        e.cell_row[s] = static_cast<int16>(gun_sprite[i % 6] / 9);
    }
    for (int i = 0; i < 40; ++i) {
        const int s = put(KIND_SMOKE, 20 + (i * 29) % 300, (i * 41) % 200 - 100, 33);
        e.shade_level[s] = static_cast<int16>(120 + 3 * i);
    }
    for (int i = 0; i < 2; ++i) {
        const int s = put(KIND_EXPLOSION, 150 + 120 * i, 40 - 90 * i, 33);
        e.glow_level[s] = static_cast<int16>(130 + 60 * i);
    }
    g.snap.ent.active[0] = 1;
    g.snap.heat = 80.0f;
    g.snap.bombs = 2;
    g.snap.score = 123450;
    g.detail[DETAIL_CLOUDS] = 1;
    g.detail[DETAIL_SHIP_SHADOWS] = 1;
}

// The ship at the start point looking along `heading`; the scene turns with
// it, so it always stands in front.
void set_view(fixed heading) {
    g.view_heading = g.view_cloud_heading = heading;
    g.view_x = g.view_cloud_x = START;
    g.view_y = g.view_cloud_y = START;
    const fixed c = fixcos(heading), s = fixsin(heading);
    for (int slot = 1; slot < SLOT_COUNT; ++slot) {
        if (!g.snap.ent.active[slot])
            continue;
        const Placement p = placements[slot];
        g.snap.ent.x[slot] = START + p.ahead * c - p.side * s;
        g.snap.ent.y[slot] = START + p.ahead * s + p.side * c;
    }
}

void BM_ComposeBusyFrame(benchmark::State &state) {
    build_busy_scene();
    int i = 0;
    for (auto _ : state) {
        set_view(pose_heading(i++)); // the composition pulls the camera back each time
        compose_flight_frame();
        benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
    }
    state.SetLabel(real_art ? "generated art" : "synthetic art");
}

// The parts of the frame after the layers.
void BM_WorldObjects(benchmark::State &state) {
    build_busy_scene();
    int i = 0;
    for (auto _ : state) {
        set_view(pose_heading(i++));
        project_objects();
        build_draw_list();
        sort_draw_list();
        draw_objects();
        benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
    }
}

void BM_ShipHudAndScore(benchmark::State &state) {
    build_busy_scene();
    set_view(0);
    for (auto _ : state) {
        draw_player_ship();
        draw_hud();
        draw_text(2, 5, g.back_buffer, "123450");
        draw_small_text(2, 1, g.back_buffer, "SCORE");
        benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
    }
}

void BM_GroundLayer(benchmark::State &state) {
    int i = 0;
    for (auto _ : state) {
        draw_ground_layer(g.back_buffer, g.stage_map, pose_heading(i++), START, START);
        benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
    }
}

void BM_CloudLayer(benchmark::State &state) {
    int i = 0;
    for (auto _ : state) {
        draw_cloud_layer(g.back_buffer, g.cloud_map, pose_heading(i++), START, START);
        benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
    }
}

void BM_GroundAndCloudsInOnePass(benchmark::State &state) {
    int i = 0;
    for (auto _ : state) {
        const fixed h = pose_heading(i++);
        draw_ground_and_cloud_layers(g.back_buffer, g.stage_map, h, START, START, g.cloud_map, h,
                                     START, START);
        benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
    }
}

// The floor: the same 320 x 200 masked reads from the 1024 x 1024 map,
// along the ground layer's rows for the same headings (worked out before
// timing), row after row, with nothing else.
void BM_BareTexelLoop(benchmark::State &state) {
    struct Walk {
        std::uint32_t u, v, du, dv;
    };
    static Walk walks[POSE_COUNT][FRAME_H];
    for (int p = 0; p < POSE_COUNT; ++p) {
        const fixed h = pose_heading(p), c = fixcos(h), s = fixsin(h);
        for (int y = 0; y < FRAME_H; ++y) {
            const fixed d = g.row_distance[y], k = g.row_step[y];
            const fixed du = fixmul(-s, k), dv = fixmul(c, k);
            walks[p][y] = {static_cast<std::uint32_t>(START + fixmul(d, c) - 160 * du),
                           static_cast<std::uint32_t>(START + fixmul(d, s) - 160 * dv),
                           static_cast<std::uint32_t>(du), static_cast<std::uint32_t>(dv)};
        }
    }
    const unsigned char *map = g.stage_map->line[0];
    int i = 0;
    for (auto _ : state) {
        const Walk *rows = walks[i++ % POSE_COUNT];
        for (int y = 0; y < FRAME_H; ++y) {
            Walk w = rows[y];
            unsigned char *out = g.back_buffer->line[y];
            for (int x = 0; x < FRAME_W; ++x, w.u += w.du, w.v += w.dv)
                out[x] = map[((w.v >> 6) & 0xFFC00) | ((w.u >> 16) & 0x3FF)];
        }
        benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
    }
}

void BM_StartupLoading(benchmark::State &state) {
    if (!real_art) {
        state.SkipWithError("no generated game data");
        return;
    }
    for (auto _ : state) {
        load_code_table();
        load_graphics();
        load_sound_effects();
        load_colour_tables();
        state.PauseTiming();
        free_sound_effects();
        state.ResumeTiming();
    }
    // Leave the flight's graphics as the other benchmarks found them.
    g.current_stage = 0;
    load_stage_graphics();
}

void BM_StageStart(benchmark::State &state) {
    if (!real_art) {
        state.SkipWithError("no generated game data");
        return;
    }
    int stage = 0;
    for (auto _ : state) {
        g.current_stage = static_cast<int16>(stage);
        load_stage_graphics();
        stage = (stage + 1) % STAGES;
    }
    g.current_stage = 0;
    load_stage_graphics();
}

BENCHMARK(BM_ComposeBusyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorldObjects)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShipHudAndScore)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GroundLayer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CloudLayer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GroundAndCloudsInOnePass)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareTexelLoop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartupLoading)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StageStart)->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    platform::init_headless();
    set_view_params();
    set_start_up_defaults();
    load_art();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    free_sound_effects();
    free_graphics();
    return 0;
}
