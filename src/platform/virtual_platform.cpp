#include "platform/virtual_platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace qv::platform {

namespace {

constexpr long long TICKS_PER_MS = CLOCK_HZ / 1000;
constexpr int PALETTE_LEVELS = 64;
// A fade step waits for the retrace at each palette change; measured, a
// speed 5 fade (13 steps) takes about 0.4 s, two 70 Hz periods a step.
constexpr int FADE_STEP_PERIODS = 2;

// A fresh keyboard: nothing held.
void release_keys() {
    for (int k = 0; k < KEY_MAX; ++k) __atomic_store_n(&key[k], 0, __ATOMIC_RELAXED);
}

long long fade_length(int speed) {
    const int s = std::max(1, speed);
    const long long steps = (PALETTE_LEVELS + s - 1) / s;
    return steps * FADE_STEP_PERIODS * LOGIC_PERIOD;
}

} // namespace

VirtualBackend::VirtualBackend(VirtualOptions options) : options_(std::move(options)) {}

VirtualBackend::~VirtualBackend() {
    if (last_frame_) destroy_bitmap(last_frame_);
}

bool VirtualBackend::init_display(std::string &) {
    // Tests may have started the library themselves: then it is theirs.
    if (!system_driver) {
        if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return false;
        owns_library_ = true;
    }
    close_requested_ = false;
    timers_.clear();
    release_keys();
    // The script plays first at every tick, like a keyboard driver whose
    // events have all arrived before the game's callbacks run.
    if (options_.input) timers_.push_back({nullptr, LOGIC_PERIOD, now_ + LOGIC_PERIOD, install_count_++});
    return true;
}

void VirtualBackend::install_callback(Callback cb, long period) {
    remove_callback(cb);
    timers_.push_back({cb, period, now_ + period, install_count_++});
}

void VirtualBackend::remove_callback(Callback cb) {
    std::erase_if(timers_, [cb](const Timer &t) { return t.cb == cb && cb != nullptr; });
}

void VirtualBackend::advance(long long dt) {
    const long long end = now_ + dt;
    for (;;) {
        // The earliest deadline within reach; ties go to the first installed.
        Timer *due = nullptr;
        for (Timer &t : timers_)
            if (t.next <= end && (!due || t.next < due->next ||
                                  (t.next == due->next && t.order < due->order)))
                due = &t;
        if (!due) break;
        now_ = due->next;
        due->next += due->period;
        // A callback never installs or removes one (only the main thread
        // does), so `due` stays valid through the call.
        if (due->cb)
            due->cb();
        else
            options_.input();
    }
    now_ = end;
}

void VirtualBackend::present(BITMAP *frame, int sx, int sy, bool) {
    ++frames_;
    if (options_.keep_frames && frame) {
        if (!last_frame_) last_frame_ = create_bitmap_ex(8, FRAME_W, FRAME_H);
        // As on screen: with a shake offset the last column or row keeps
        // what it showed before.
        blit(frame, last_frame_, sx, sy, 0, 0, FRAME_W - sx, FRAME_H - sy);
    }
    // Paced as if waiting for the retrace, whatever the setting: a frame
    // that took no time would let a waiting loop spin for ever.
    advance(LOGIC_PERIOD);
}

void VirtualBackend::fade(int speed) {
    fading_ = true;
    advance(fade_length(speed));
    fading_ = false;
}

void VirtualBackend::fade_in(const PALETTE, int speed) { fade(speed); }

void VirtualBackend::fade_out(int speed) { fade(speed); }

void VirtualBackend::rest_ms(int ms) {
    // rest(0) only yields; here it lasts a millisecond, so that a loop
    // waiting for a key release sees time (and the script) move.
    advance(std::max(1, ms) * TICKS_PER_MS);
}

void VirtualBackend::play(SAMPLE *sample, int, int, int) {
    for (int n = 0; n < SAMPLE_COUNT; ++n)
        if (sample && g.samples[n] == sample) sounds_.push_back(n);
}


void VirtualBackend::shutdown() {
    timers_.clear();
    release_keys();
    if (owns_library_) {
        allegro_exit();
        owns_library_ = false;
    }
}

} // namespace qv::platform
