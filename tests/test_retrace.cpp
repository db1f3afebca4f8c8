// The retrace wait's wake-up: a thread plays the library's timer thread,
// calling the retrace hook, and each wait must end at the first
// retrace after the count it was given, woken by it rather than by giving
// up. (The game against the library's real timer thread, pacing included,
// is standalone_timers.)
#include "platform/retrace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace qv;

namespace {

constexpr int WAITS = 35;
// Far more often than the game's 70 Hz, so that the 57 ms give-up is a dozen
// retraces away: a busy machine may delay the thread now and then, but
// cannot make it miss a dozen.
constexpr std::chrono::milliseconds RETRACE_PERIOD{5};
constexpr unsigned PROMPT_RETRACES = 4;

} // namespace

TEST(RetraceWait, EachWaitEndsAtTheNextRetraceAndNotAtTheGiveUp) {
    // Nothing hooked yet: the caller is told, and falls back on vsync().
    EXPECT_EQ(platform::wait_for_retrace_after(platform::retraces_seen()), platform::RetraceWait::NotHooked);

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

    // Prompt: ended by a retrace, within a few of them (a waiter nobody
    // wakes sleeps out the give-up, a dozen retraces).
    int prompt = 0;
    for (int i = 0; i < WAITS; ++i) {
        const unsigned seen = platform::retraces_seen();
        const platform::RetraceWait how = platform::wait_for_retrace_after(seen);
        const unsigned passed = platform::retraces_seen() - seen;
        EXPECT_GT(passed, 0u) << "wait " << i << " ended before any retrace";
        prompt += how == platform::RetraceWait::Retrace && passed <= PROMPT_RETRACES;
    }
    stop.store(true);
    timer.join();
    // A busy machine may hold up the odd wait, never most of them.
    EXPECT_GT(prompt, WAITS * 3 / 4);

    // The timer stopped: the wait gives up and says so.
    EXPECT_EQ(platform::wait_for_retrace_after(platform::retraces_seen()), platform::RetraceWait::GaveUp);
}
