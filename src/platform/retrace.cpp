#include "platform/retrace.h"

#include <allegro.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <ctime>

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qv::platform {

namespace {

// Four retraces at 70 Hz: a wait that outlasts this has lost its timer.
constexpr long GIVE_UP_NS = 57'000'000;
constexpr long NS_PER_S = 1'000'000'000;

// Counted on the timer thread at each retrace: the word the waiter sleeps
// on (a futex, so it must be a plain 32-bit word).
std::atomic<unsigned> retraces{0};
static_assert(sizeof(retraces) == sizeof(unsigned) && decltype(retraces)::is_always_lock_free);
// True while the main thread sleeps on `retraces`, so that the timer thread
// only makes the wake-up call when somebody waits. Both sides store their
// own word before reading the other's (sequentially consistent): either
// the timer sees the waiter, or the waiter sees the new count.
std::atomic<bool> waiting{false};

void on_retrace() {
    retraces.fetch_add(1);
    if (waiting.load())
        syscall(SYS_futex, reinterpret_cast<unsigned *>(&retraces), FUTEX_WAKE_PRIVATE, INT_MAX,
                nullptr, nullptr, 0);
}

// Sleeps while the count is still `seen`, until the absolute monotonic
// time `until`; false once that has passed.
bool sleep_while(unsigned seen, const timespec &until) {
    const long rc = syscall(SYS_futex, reinterpret_cast<unsigned *>(&retraces),
                            FUTEX_WAIT_BITSET_PRIVATE, seen, &until, nullptr, FUTEX_BITSET_MATCH_ANY);
    return rc == 0 || errno != ETIMEDOUT;
}

} // namespace

void hook_retrace() {
    if (retrace_proc != on_retrace) retrace_proc = on_retrace;
}

unsigned retraces_seen() { return retraces.load(); }

RetraceWait wait_for_retrace_after(unsigned seen) {
    if (retraces.load() == 0) return RetraceWait::NotHooked;
    timespec until{};
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_nsec += GIVE_UP_NS;
    until.tv_sec += until.tv_nsec / NS_PER_S;
    until.tv_nsec %= NS_PER_S;
    waiting.store(true);
    // A signal or a spurious wake-up comes round the loop again.
    while (retraces.load() == seen && sleep_while(seen, until)) {
    }
    waiting.store(false);
    return retraces.load() == seen ? RetraceWait::GaveUp : RetraceWait::Retrace;
}

} // namespace qv::platform
