#include "platform/virtual_platform.h"

#include "core/frame.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace qv::platform {

namespace {

constexpr long long TICKS_PER_MS = CLOCK_HZ / 1000;
constexpr int PALETTE_LEVELS = 64;
// A fade step waits for the retrace at each palette change; measured, a
// speed 5 fade (13 steps) takes about 0.4 s, two 70 Hz periods a step.
constexpr int FADE_STEP_PERIODS = 2;

long long fade_length(int speed) {
    const int s = std::max(1, speed);
    const long long steps = (PALETTE_LEVELS + s - 1) / s;
    return steps * FADE_STEP_PERIODS * LOGIC_PERIOD;
}

} // namespace

VirtualBackend::VirtualBackend(VirtualOptions options) : options_(std::move(options)) {}

VirtualBackend::~VirtualBackend() {
    // After the library's exit its bitmaps may no longer be freed.
    if (last_frame_ && system_driver) destroy_bitmap(last_frame_);
}

bool VirtualBackend::init_display(std::string &error) {
    if (options_.display) {
        if (!options_.display->init_display(error)) return false;
    } else if (!system_driver) {
        // Tests may have started the library themselves: then it is theirs.
        if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return false;
        owns_library_ = true;
    }
    real_start_ = std::chrono::steady_clock::now();
    real_start_tick_ = now_;
    input_.close = false;
    timers_.clear();
    // The tick's input comes first, like a keyboard driver whose events have
    // all arrived before the game's callbacks run.
    timers_.push_back({nullptr, LOGIC_PERIOD, now_ + LOGIC_PERIOD, install_count_++});
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
        if (due->cb) {
            due->cb();
        } else {
            if (options_.input) options_.input();
            sample_input();
        }
    }
    now_ = end;
}

void VirtualBackend::pace() {
    if (!options_.display || !options_.display->real_time()) return;
    using namespace std::chrono;
    const auto due = real_start_ + microseconds((now_ - real_start_tick_) * 1000000 / CLOCK_HZ);
    const auto now = steady_clock::now();
    // Far behind (a slow machine, a stop in a debugger): start counting
    // afresh rather than rush to catch up.
    constexpr auto MOST_BEHIND = milliseconds(250);
    if (now - due > MOST_BEHIND) {
        real_start_ = now;
        real_start_tick_ = now_;
        return;
    }
    if (due > now) std::this_thread::sleep_until(due);
}

void VirtualBackend::clear_screen() {
    if (options_.display) options_.display->clear_screen();
}

void VirtualBackend::set_palette(const PALETTE pal) {
    std::memcpy(palette_, pal, sizeof(PALETTE));
    if (options_.display) options_.display->set_palette(pal);
}

void VirtualBackend::install_joystick() {
    ++joystick_installs_;
    if (options_.display) options_.display->install_joystick();
    if (options_.gamepad) options_.gamepad->install();
}

void VirtualBackend::set_bound_keys(const std::vector<int> &keys) {
    window_keys_.set_bound(keys);
    if (options_.display) options_.display->set_bound_keys(keys);
}

void VirtualBackend::set_key_capture(bool on) {
    window_keys_.set_capturing(on);
    if (options_.display) options_.display->set_key_capture(on);
}

InputState VirtualBackend::sample_input() {
    // A real pad, when given, stands in for the script's.
    if (options_.gamepad) options_.gamepad->poll(input_.pad);
    // The window's own keys are taken out as the real window takes them.
    if (options_.window_keys) {
        const WindowKeys::Uses use = window_keys_.take(input_);
        fullscreen_switches_ += use.fullscreen;
        screenshots_ += use.screenshot;
    }
    return input_;
}

void VirtualBackend::present(BITMAP *frame, int sx, int sy, bool) {
    ++frames_;
    if (options_.gamepad) options_.gamepad->look_after();
    // The pace is kept here, not by the retrace.
    if (options_.display) options_.display->present(frame, sx, sy, false);
    if (options_.keep_frames && frame) {
        if (!last_frame_) last_frame_ = create_bitmap_ex(8, FRAME_W, FRAME_H);
        // As on screen: with a shake offset the last column or row keeps
        // what it showed before.
        blit(frame, last_frame_, sx, sy, 0, 0, FRAME_W - sx, FRAME_H - sy);
    }
    // Paced as if waiting for the retrace, whatever the setting: a frame
    // that took no time would let a waiting loop spin for ever.
    advance(LOGIC_PERIOD);
    pace();
}

void VirtualBackend::fade(int speed) {
    fading_ = true;
    advance(fade_length(speed));
    fading_ = false;
    pace();
}

void VirtualBackend::fade_in(const PALETTE pal, int speed) {
    std::memcpy(palette_, pal, sizeof(PALETTE));
    if (options_.display) options_.display->fade_in(pal, speed);
    fade(speed);
}

void VirtualBackend::fade_out(int speed) {
    std::memcpy(palette_, black_palette, sizeof(PALETTE));
    if (options_.display) options_.display->fade_out(speed);
    fade(speed);
}

void VirtualBackend::rest_ms(int ms) {
    // rest(0) only yields; here it lasts a millisecond, so that a loop
    // waiting for a key release sees time (and the script) move.
    advance(std::max(1, ms) * TICKS_PER_MS);
    pace();
}

void VirtualBackend::play(SAMPLE *sample, int volume, int pan, int frequency) {
    if (options_.display) options_.display->play(sample, volume, pan, frequency);
}

void VirtualBackend::shutdown() {
    timers_.clear();
    input_.keys = {};
    if (last_frame_) destroy_bitmap(last_frame_);
    last_frame_ = nullptr;
    if (options_.display) options_.display->shutdown();
    if (options_.gamepad) options_.gamepad->shutdown();
    if (owns_library_) {
        allegro_exit();
        owns_library_ = false;
    }
}

} // namespace qv::platform
