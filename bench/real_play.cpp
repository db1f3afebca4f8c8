#include "real_play.h"

#include "harness/headless_game.h"
#include "harness/pilot.h"
#include "harness/player.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace qv::bench {

namespace {

// The campaign the campaign tests fly on "Hard": the pilot's attention
// lapses now and then, so hits, explosions and continues take part.
constexpr int DIFFICULTY = 2;
constexpr test::GameChoice CHOICE = {0, 0, 0, 0};

} // namespace

std::vector<RecordedFrame> record_real_play(int every_ticks) {
    std::vector<RecordedFrame> frames;
    test::HeadlessGame game("bench-real-play");
    test::Player &p = game.player;
    p.observe([&] {
        // g.snap holds the last frame's snapshot: what the screen shows.
        if (test::screen_shown() != test::Screen::Flight ||
            game.backend().ticks() % every_ticks != 0)
            return;
        RecordedFrame &f = frames.emplace_back();
        f.stage = g.current_stage;
        f.snap = g.snap;
        f.view_x = g.view_x, f.view_y = g.view_y, f.view_heading = g.view_heading;
        f.view_cloud_x = g.view_cloud_x, f.view_cloud_y = g.view_cloud_y;
        f.view_cloud_heading = g.view_cloud_heading;
        std::memcpy(f.detail, g.detail, sizeof f.detail);
    });
    p.set_difficulty(DIFFICULTY)
        .start_game(CHOICE)
        .play_to_title(test::hunter_pilot(test::Dodging::Lapses), "BENCH")
        .quit();
    const int status = game.run();
    if (status != 0 || game.timed_out())
        std::fprintf(stderr, "bench_render: the recorded campaign did not end well (%d%s)\n",
                     status, game.timed_out() ? ", timed out" : "");
    std::error_code ec;
    std::filesystem::remove_all(game.folder(), ec);
    std::stable_sort(frames.begin(), frames.end(),
                     [](const RecordedFrame &a, const RecordedFrame &b) { return a.stage < b.stage; });
    return frames;
}

void restore_frame(const RecordedFrame &f) {
    g.snap = f.snap;
    g.view_x = f.view_x, g.view_y = f.view_y, g.view_heading = f.view_heading;
    g.view_cloud_x = f.view_cloud_x, g.view_cloud_y = f.view_cloud_y;
    g.view_cloud_heading = f.view_cloud_heading;
    std::memcpy(g.detail, f.detail, sizeof g.detail);
    // The damage sparks count down in the live table: each drawing of the
    // frame starts from the same sparks.
    std::memcpy(g.ent.sparks, f.snap.ent.sparks, sizeof g.ent.sparks);
    std::memcpy(g.ent.spark_timer, f.snap.ent.spark_timer, sizeof g.ent.spark_timer);
}

} // namespace qv::bench
