// The retrace wait's wake-up: a thread plays the library's timer thread,
// calling the retrace hook at 70 Hz, and each wait must end at the first
// retrace after the count it was given, woken by it rather than by giving
// up. (The game against the library's real timer thread, pacing included,
// is standalone_timers.)
#include "platform/platform.h"
#include "platform/retrace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace qv;

namespace {

constexpr int WAITS = 35;
constexpr std::chrono::microseconds RETRACE_PERIOD{platform::LOGIC_PERIOD};

} // namespace

TEST(RetraceWait, EachWaitEndsAtTheNextRetraceAndNotAtTheGiveUp) {
    // Nothing hooked yet: the caller is told, and falls back on vsync().
    EXPECT_FALSE(platform::wait_for_retrace_after(platform::retraces_seen()));

    std::atomic<bool> stop{false};
    std::thread timer([&] {
        platform::hook_retrace(); // from the timer's thread, as the game does
        auto next = std::chrono::steady_clock::now();
        while (!stop.load()) {
            next += RETRACE_PERIOD;
            std::this_thread::sleep_until(next);
            retrace_proc();
        }
    });
    while (platform::retraces_seen() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    unsigned passed = 0;
    for (int i = 0; i < WAITS; ++i) {
        const unsigned seen = platform::retraces_seen();
        EXPECT_TRUE(platform::wait_for_retrace_after(seen));
        passed += platform::retraces_seen() - seen;
    }
    stop.store(true);
    timer.join();
    // At least one retrace a wait; woken at it, not one more each, give or
    // take a late wake-up (giving up instead takes four).
    EXPECT_GE(passed, static_cast<unsigned>(WAITS));
    EXPECT_LE(passed, static_cast<unsigned>(2 * WAITS));
}
