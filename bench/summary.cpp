#include "summary.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace qv::bench {

namespace {

constexpr double BUSY_FRAME_GOAL = 1.5;   // x the floor
constexpr double REAL_MEDIAN_GOAL = 1.3;  // x the floor
constexpr double REAL_P99_GOAL = 1.5;     // x the floor
constexpr double STAGE_START_GOAL_MS = 5; // CPU, the slowest stage start

const char *verdict(bool met) {
    return met ? "goal met" : "OVER THE GOAL";
}

} // namespace

bool summarise(const Keeper &k) {
    bool met = true;
    auto find = [&](const char *name) {
        const auto it = k.results.find(name);
        return it == k.results.end() ? nullptr : &it->second;
    };
    std::printf("\nSummary\n");
    if (const auto *floor = find("BM_Floor"))
        std::printf("  floor (ground + cloud texel, colour map, 64,000 pixels): %.1f us\n",
                    floor->real_us);
    std::printf("  each beside the floor from the same pose (median, ratio of medians):\n");
    const std::pair<const char *, const char *> parts[] = {
        {"BM_ComposeBusyFrame", "busy frame"},
        {"BM_GroundAndCloudsInOnePass", "ground and clouds"},
        {"BM_GroundLayer", "ground layer"},
        {"BM_WorldObjects", "busy scene's objects"},
        {"BM_ShipHudAndScore", "ship, HUD and score"},
    };
    for (const auto &[name, label] : parts) {
        const auto *r = find(name);
        if (!r)
            continue;
        const double x = r->counters.at("x_floor");
        std::printf("    %-22s %7.1f us  %5.2f x floor (%.1f us)", label,
                    r->counters.at("median_us"), x, r->counters.at("floor_us"));
        if (std::strcmp(name, "BM_ComposeBusyFrame") == 0) {
            std::printf("   goal <= %.1f: %s", BUSY_FRAME_GOAL, verdict(x <= BUSY_FRAME_GOAL));
            met = met && x <= BUSY_FRAME_GOAL;
        }
        std::printf("\n");
    }
    if (const auto *r = find("BM_RealPlayFrames")) {
        const auto &c = r->counters;
        const double median = c.at("median_x"), p99 = c.at("p99_x");
        std::printf("  real play, %.0f frames of six stages, floor beside each: %.1f us\n",
                    c.at("frames"), c.at("floor_us"));
        std::printf("    median %7.1f us  %5.2f x floor   goal <= %.1f: %s\n", c.at("median_us"),
                    median, REAL_MEDIAN_GOAL, verdict(median <= REAL_MEDIAN_GOAL));
        std::printf("    p99    %7.1f us  %5.2f x floor   goal <= %.1f: %s\n", c.at("p99_us"), p99,
                    REAL_P99_GOAL, verdict(p99 <= REAL_P99_GOAL));
        std::printf("    slowest %6.1f us; most sort comparisons in a frame: %.0f\n",
                    c.at("max_us"), c.at("sort_cmp_max"));
        met = met && median <= REAL_MEDIAN_GOAL && p99 <= REAL_P99_GOAL;
    }
    if (const auto *r = find("BM_StageStart")) {
        const double worst = r->counters.at("worst_cpu_ms");
        std::printf(
            "  stage start: %.2f ms CPU on average, %.2f ms the slowest   goal < %.0f: %s\n",
            r->cpu_us / 1e3, worst, STAGE_START_GOAL_MS, verdict(worst < STAGE_START_GOAL_MS));
        met = met && worst < STAGE_START_GOAL_MS;
    }
    if (const auto *r = find("BM_StartupLoading"))
        std::printf("  start-up loading: %.1f ms\n", r->real_us / 1e3);
    return met;
}

} // namespace qv::bench
