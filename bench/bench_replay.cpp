// What recording a game costs per tick: the game's own callbacks on the
// virtual clock over a busy flight, with and without the recorder taking the
// input at every tick (and a checksum of the world every 70). Goal: the
// recorder adds under 2 % to a tick.
//
// Timings on a shared machine wander by more than that; the instruction
// counts do not:
//   valgrind --tool=callgrind build/release/bench/bench_replay --benchmark_filter=Playing
//   valgrind --tool=callgrind build/release/bench/bench_replay --benchmark_filter=Recording
#include "assets/game_data.h"
#include "core/game_state.h"
#include "core/sim_lock.h"
#include "loop/game_loop.h"
#include "platform/platform.h"
#include "platform/virtual_platform.h"
#include "replay/replay_input.h"
#include "sim/sim.h"

#include <benchmark/benchmark.h>

#include <optional>

using namespace qv;

namespace {

constexpr long TICKS_PER_WORLD = 7000; // a fresh busy world this often
constexpr fixed START = 16000 << 16;

// A stage in full swing: three waves of enemies around the ship, the guns
// firing (Fire held, and a turn).
void busy_world(platform::VirtualBackend &keys_from) {
    SimLock lock;
    set_start_up_defaults();
    g.current_stage = 2;
    g.player_x = g.player_y = g.cloud_x = g.cloud_y = START;
    EntityTable &e = g.ent;
    e.kind[0] = KIND_PLAYER;
    e.active[0] = 1;
    e.hp[0] = 30000;
    e.gun[0] = 5;
    e.x[0] = e.y[0] = START;
    for (int w = 0; w < 3; ++w) spawn_wave();
    g.game_running = 1;
    keys_from.set_key(KEY_ALT, true);
    keys_from.set_key(KEY_LEFT, true);
}

void run_ticks(benchmark::State &state, bool recording) {
    platform::VirtualBackend real(platform::undrawn());
    // Written as when recording for real, into a file nobody keeps.
    replay::RecordingWriter out;
    std::string error;
    out.open("/dev/null", replay::Recording{}, error);
    std::optional<replay::Recorder> recorder;
    platform::VirtualOptions vo = platform::undrawn();
    std::optional<platform::VirtualBackend> game;
    // Without recording the game reads the keyboard itself; with it, the
    // recorder hands the keys on at every tick.
    if (recording) vo.input = [&] { recorder->tick(); };
    game.emplace(vo);
    recorder.emplace(*game, real, out, "/dev/null");
    game->init_display(error);
    platform::UseBackend use(*game);
    platform::install_timers(logic_tick, joystick_tick, enemy_ai_tick);
    long ticks = 0;
    for (auto _ : state) {
        if (ticks++ % TICKS_PER_WORLD == 0) {
            state.PauseTiming();
            busy_world(recording ? real : *game);
            state.ResumeTiming();
        }
        game->rest_ms(14); // about one 70 Hz tick of every callback
    }
    game->shutdown();
}

void BM_TicksPlaying(benchmark::State &state) { run_ticks(state, false); }
void BM_TicksRecording(benchmark::State &state) { run_ticks(state, true); }

BENCHMARK(BM_TicksPlaying)->Iterations(70000);
BENCHMARK(BM_TicksRecording)->Iterations(70000);

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    platform::init_headless();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
