// What a flight frame costs, against a floor measured in the same run: the
// per-pixel work of the two full-screen layers written plainly (floor.h).
// Every render figure is given as a ratio to it: a busy scene, the layers
// and the objects alone, and frames recorded from real play (the harness's
// pilot through all six stages, real_play.h), median and 99th percentile.
// Also the loading at start-up and the whole work of a stage start.
//
// Goals: busy frame within 1.5 x the floor; real play median within 1.3 x
// and 99th percentile within 1.5 x; a stage start under 5 ms of CPU.
// After the benchmarks a summary gives the ratios, and the exit status is 1
// when a goal measured in this run is missed.
#include "floor.h"
#include "real_play.h"
#include "summary.h"

#include "assets/archive.h"
#include "assets/game_data.h"
#include "assets/graphics.h"
#include "assets/sound.h"
#include "core/game_state.h"
#include "loop/game_loop.h"
#include "loop/stage_cycle.h"
#include "persist/saves.h"
#include "platform/platform.h"
#include "render/hud.h"
#include "render/objects.h"
#include "render/render.h"
#include "render/text.h"
#include "render/view.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

using namespace qv;
using bench::LayerPose;
using bench::RecordedFrame;

namespace {

constexpr double P99 = 0.99;

// Real play is kept every so many ticks of flight (two frames a second),
// and every kept frame drawn this many times: its cost is the median.
constexpr int REAL_PLAY_EVERY = 35;
constexpr int REAL_PLAY_PASSES = 7;

const fixed START = itofix(16000);
std::vector<RecordedFrame> real_frames;

bool have_game_data() {
    return std::filesystem::exists(std::string(QV_GAME_DIR) + "/loader.def");
}

// The flight's graphics as the first stage has them.
void load_art() {
    if (chdir(QV_GAME_DIR) != 0)
        throw AssetError(std::string("cannot enter ") + QV_GAME_DIR);
    load_code_table();
    load_graphics();
    g.current_stage = 0;
    load_stage_graphics();
}

// Headings the layer benchmarks cycle through: how well the map's rows
// suit the walk depends on the heading.
constexpr int POSE_COUNT = 64;
fixed pose_heading(int i) {
    return itofix(i % POSE_COUNT * 4) + 0x4CCC;
}

LayerPose start_pose(fixed heading) {
    return {heading, START, START, heading, START, START};
}

double thread_cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The value below which a share q of the sorted values lie (nearest rank).
double quantile(std::vector<double> v, double q) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(v.size())));
    return v[std::clamp<std::size_t>(rank, 1, v.size()) - 1];
}

// ---- a busy scene -------------------------------------------------------

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

// ---- the frame and its parts, each beside the floor ----------------------

using timer = std::chrono::steady_clock;

template <class F> double time_us(F f) {
    const auto t0 = timer::now();
    f();
    return std::chrono::duration<double, std::micro>(timer::now() - t0).count();
}

void floor_at(const LayerPose &pose) {
    bench::draw_floor(g.back_buffer, g.stage_map, g.cloud_map, g.shade_map, pose);
}

// Times work(i) and the floor from the same heading side by side at every
// iteration, alternating which goes first, so that whatever else the
// machine does weighs on both alike. The iteration's time is the work's;
// the ratio is of the two medians.
template <class Work> void beside_floor(benchmark::State &state, Work work) {
    std::vector<double> work_us, floor_us;
    int i = 0;
    for (auto _ : state) {
        const LayerPose pose = start_pose(pose_heading(i));
        double w = 0, f = 0;
        if (i % 2) {
            w = time_us([&] { work(i); });
            f = time_us([&] { floor_at(pose); });
        } else {
            f = time_us([&] { floor_at(pose); });
            w = time_us([&] { work(i); });
        }
        benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
        work_us.push_back(w);
        floor_us.push_back(f);
        state.SetIterationTime(w / 1e6);
        ++i;
    }
    const double work_median = quantile(work_us, 0.5), floor_median = quantile(floor_us, 0.5);
    state.counters["floor_us"] = floor_median;
    state.counters["median_us"] = work_median;
    state.counters["x_floor"] = work_median / floor_median;
}

void BM_Floor(benchmark::State &state) {
    int i = 0;
    for (auto _ : state) {
        floor_at(start_pose(pose_heading(i++)));
        benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
    }
}

void BM_ComposeBusyFrame(benchmark::State &state) {
    build_busy_scene();
    beside_floor(state, [](int i) {
        set_view(pose_heading(i)); // the composition pulls the camera back each time
        compose_flight_frame();
    });
}

// The parts of the frame after the layers.
void BM_WorldObjects(benchmark::State &state) {
    build_busy_scene();
    beside_floor(state, [](int i) {
        set_view(pose_heading(i));
        project_objects();
        build_draw_list();
        sort_draw_list();
        draw_objects();
    });
}

void BM_ShipHudAndScore(benchmark::State &state) {
    build_busy_scene();
    set_view(0);
    beside_floor(state, [](int) {
        draw_player_ship();
        draw_hud();
        draw_text(2, 5, g.back_buffer, "123450");
        draw_small_text(2, 1, g.back_buffer, "SCORE");
    });
}

void BM_GroundLayer(benchmark::State &state) {
    beside_floor(state, [](int i) {
        draw_ground_layer(g.back_buffer, g.stage_map, pose_heading(i), START, START);
    });
}

void BM_GroundAndCloudsInOnePass(benchmark::State &state) {
    beside_floor(state, [](int i) {
        const fixed h = pose_heading(i);
        draw_ground_and_cloud_layers(g.back_buffer, g.stage_map, h, START, START, g.cloud_map, h,
                                     START, START);
    });
}

// ---- real play -------------------------------------------------------------

// Each pass draws every recorded frame once, and the floor from the same
// pose right beside it (first one, then the other, alternating by pass, so
// neither always finds the maps warm). A frame's cost is the median of its
// passes, the floor's the median over all frames.
void BM_RealPlayFrames(benchmark::State &state) {
    if (real_frames.empty()) {
        real_frames = bench::record_real_play(REAL_PLAY_EVERY);
        set_start_up_defaults(); // as the other benchmarks found the state
        load_art();
    }
    const std::size_t n = real_frames.size();
    if (n == 0) {
        state.SkipWithError("no frames recorded");
        return;
    }
    std::vector<std::vector<double>> frame_us(n), floor_us(n);
    int pass = 0, worst_sort = 0;
    for (auto _ : state) {
        double timed = 0;
        int stage = -1;
        for (std::size_t i = 0; i < n; ++i) {
            const RecordedFrame &f = real_frames[i];
            if (f.stage != stage) {
                stage = f.stage;
                g.current_stage = static_cast<int16>(stage);
                load_stage_graphics();
            }
            const LayerPose pose{f.view_heading,       f.view_x,       f.view_y,
                                 f.view_cloud_heading, f.view_cloud_x, f.view_cloud_y};
            auto floor = [&] { floor_us[i].push_back(time_us([&] { floor_at(pose); })); };
            auto frame = [&] {
                bench::restore_frame(f);
                const double us = time_us([] { compose_flight_frame(); });
                frame_us[i].push_back(us);
                timed += us;
            };
            if (pass % 2) {
                frame();
                floor();
            } else {
                floor();
                frame();
            }
            benchmark::DoNotOptimize(g.back_buffer->line[100][160]);
            if (pass == 0) {
                build_draw_list(); // the frame's own projection, sorted again to count
                worst_sort = std::max(worst_sort, sort_draw_list());
            }
        }
        state.SetIterationTime(timed / 1e6);
        ++pass;
    }
    std::vector<double> frames, floors;
    for (std::size_t i = 0; i < n; ++i) {
        frames.push_back(quantile(frame_us[i], 0.5));
        floors.push_back(quantile(floor_us[i], 0.5));
    }
    const double floor_median = quantile(floors, 0.5);
    state.counters["frames"] = static_cast<double>(n);
    state.counters["floor_us"] = floor_median;
    state.counters["median_us"] = quantile(frames, 0.5);
    state.counters["p99_us"] = quantile(frames, P99);
    state.counters["max_us"] = quantile(frames, 1.0);
    state.counters["median_x"] = quantile(frames, 0.5) / floor_median;
    state.counters["p99_x"] = quantile(frames, P99) / floor_median;
    state.counters["sort_cmp_max"] = worst_sort;
    g.current_stage = 0;
    load_stage_graphics();
}

// ---- loading -----------------------------------------------------------

void BM_StartupLoading(benchmark::State &state) {
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

// Everything a stage start does before its banner: both files saved (the
// first time written, then unchanged), the stage's pictures, palette and
// light tables, the world reset. Every stage in turn, twice.
void BM_StageStart(benchmark::State &state) {
    const std::string dir = (std::filesystem::temp_directory_path() /
                             ("qv-bench-stage-start-" + std::to_string(getpid())))
                                .string();
    std::filesystem::create_directories(dir);
    FileSaves files(dir + "/" + SETTINGS_FILE, dir + "/" + RECORDS_FILE);
    const UseSaves use(files);
    int stage = 0;
    double worst = 0;
    for (auto _ : state) {
        const double t0 = thread_cpu_ms();
        g.current_stage = static_cast<int16>(stage);
        prepare_stage();
        worst = std::max(worst, thread_cpu_ms() - t0);
        stage = (stage + 1) % STAGES;
    }
    state.counters["worst_cpu_ms"] = worst;
    std::filesystem::remove_all(dir);
    g.current_stage = 0;
    load_stage_graphics();
}

BENCHMARK(BM_Floor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComposeBusyFrame)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(BM_WorldObjects)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(BM_ShipHudAndScore)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(BM_GroundLayer)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(BM_GroundAndCloudsInOnePass)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(BM_RealPlayFrames)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(REAL_PLAY_PASSES);
BENCHMARK(BM_StartupLoading)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StageStart)->Unit(benchmark::kMillisecond)->Iterations(2 * STAGES);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    platform::init_headless();
    if (!have_game_data()) {
        std::fprintf(stderr, "bench_render: no generated game data in %s\n", QV_GAME_DIR);
        return 2;
    }
    set_view_params();
    set_start_up_defaults();
    try {
        load_art();
    } catch (const AssetError &e) {
        std::fprintf(stderr, "bench_render: %s\n", e.what());
        return 2;
    }
    bench::Keeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    benchmark::Shutdown();
    const bool met = bench::summarise(keeper);
    free_sound_effects();
    free_graphics();
    return met ? 0 : 1;
}
