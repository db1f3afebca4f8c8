#include "platform/timer_slots.h"

#include <allegro.h>

#include <array>
#include <atomic>
#include <chrono>
#include <utility>

namespace qv::platform {

namespace {

// A gap this long between two calls of one callback is a stall: no busy
// machine holds the timer thread back so long, and a player notices it.
constexpr long long STALL_NS = 200'000'000;
constexpr long long NS_PER_S = 1'000'000'000;
constexpr int SLOT_COUNT = 8;

long long now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::atomic<bool> stall_seen{false};

struct Slot {
    // Set by the main thread while the slot is off the library's timer;
    // read by the timer thread.
    std::atomic<Callback> cb{nullptr};
    std::atomic<long> period{0};
    bool on_timer = false; // main thread only
    // The timer thread's own: when the callback last ran, and how many
    // calls of a caught-up stall are still to come.
    long long last_ns = 0;
    long long to_drop = 0;

    void tick() {
        const Callback f = cb.load();
        if (!f) return;
        const long long now = now_ns();
        if (to_drop > 0) {
            --to_drop;
            return;
        }
        if (last_ns != 0 && now - last_ns > STALL_NS) {
            // The library will call again at once for each period missed
            // but this one.
            const long long period_ns = period.load() * NS_PER_S / CLOCK_HZ;
            to_drop = (now - last_ns) / period_ns - 1;
            stall_seen.store(true);
        }
        last_ns = now;
        f();
    }
};

std::array<Slot, SLOT_COUNT> slots;

// Allegro's callbacks are plain functions: one per slot.
template <std::size_t I> void run_slot() { slots[I].tick(); }

template <std::size_t... I>
constexpr std::array<Callback, SLOT_COUNT> make_runners(std::index_sequence<I...>) {
    return {run_slot<I>...};
}
constexpr std::array<Callback, SLOT_COUNT> runners = make_runners(std::make_index_sequence<SLOT_COUNT>());

// On the library's timer from now, counting from now (and not from before
// a suspension): the slot's own clock starts again too.
void put_on_timer(std::size_t i) {
    // install_int_ex takes the timer's lock, after which the timer thread
    // sees the reset clock.
    slots[i].last_ns = 0;
    slots[i].to_drop = 0;
    install_int_ex(runners[i], slots[i].period.load());
    slots[i].on_timer = true;
}

void take_off_timer(std::size_t i) {
    // remove_int returns once a call in progress is over.
    remove_int(runners[i]);
    slots[i].on_timer = false;
}

} // namespace

void install_slot(Callback cb, long period) {
    std::size_t free = SLOT_COUNT;
    for (std::size_t i = 0; i < SLOT_COUNT; ++i) {
        if (slots[i].cb.load() == cb) {
            free = i;
            break;
        }
        if (free == SLOT_COUNT && !slots[i].cb.load()) free = i;
    }
    if (free == SLOT_COUNT) return;
    Slot &s = slots[free];
    if (s.on_timer) take_off_timer(free);
    s.cb.store(cb);
    s.period.store(period);
    put_on_timer(free);
}

void remove_slot(Callback cb) {
    for (std::size_t i = 0; i < SLOT_COUNT; ++i)
        if (slots[i].cb.load() == cb) {
            if (slots[i].on_timer) take_off_timer(i);
            slots[i].cb.store(nullptr);
        }
}

void suspend_slots() {
    for (std::size_t i = 0; i < SLOT_COUNT; ++i)
        if (slots[i].on_timer) take_off_timer(i);
}

void resume_slots() {
    for (std::size_t i = 0; i < SLOT_COUNT; ++i)
        if (slots[i].cb.load() && !slots[i].on_timer) put_on_timer(i);
}

bool take_stall() { return stall_seen.exchange(false); }

} // namespace qv::platform
