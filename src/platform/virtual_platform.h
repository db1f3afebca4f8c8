// The virtual back end: the real game loop, headless and deterministic.
//
// Its clock moves only when the game waits: presenting a frame takes one
// 70 Hz period, rest(ms) takes ms, a fade takes its length. The periodic
// callbacks that fall due meanwhile run at once, on the calling thread, in
// deadline order (ties in install order). Input comes from a script called
// at every 70 Hz tick before the game's own callbacks of that instant; it
// sets key[] and the gamepad like the real drivers would.
#pragma once

#include "platform/gamepad.h"
#include "platform/platform.h"
#include "platform/window_keys.h"

#include <chrono>
#include <functional>
#include <utility>
#include <vector>

namespace qv::platform {

struct VirtualOptions {
    // False: frames are still presented (time passes, the snapshot is
    // taken) but not drawn, which makes long headless runs fast.
    bool draw = true;
    // Keeps a copy of every presented frame in last_frame().
    bool keep_frames = false;
    // The player: called at every 70 Hz tick.
    std::function<void()> input;
    // A real back end to show the game on: frames, palette, fades and sounds
    // go to it as well, and the virtual clock is held back to the display's
    // time when that is real time.
    // The game still runs on the virtual clock alone and reads only the
    // virtual keyboard; the script may read the real one.
    Backend *display = nullptr;
    // The script's keys work the window's own keys (Alt+Enter, F11, F12)
    // as on the real window, counted in window_keys_used(). Off for
    // recorded games: their uses are input of their own, written down from
    // the real window.
    bool window_keys = true;
    // A real pad to read (Allegro's driver on the kernel's joystick device)
    // in place of the script's: installed, polled and looked after as the
    // real back end does.
    Gamepad *gamepad = nullptr;
};

class VirtualBackend : public Backend {
  public:
    explicit VirtualBackend(VirtualOptions options = {});
    ~VirtualBackend() override;

    // The window's size, fullscreen and screenshots are the display's.
    void configure_display(const DisplayOptions &o) override {
        if (options_.display) options_.display->configure_display(o);
    }
    bool init_display(std::string &error) override;
    // Headless, no sound is wanted: that is no failure to report.
    bool init_sound() override { return !options_.display || options_.display->init_sound(); }
    void install_callback(Callback cb, long period) override;
    void remove_callback(Callback cb) override;
    void present(BITMAP *frame, int sx, int sy, bool vsync) override;
    void clear_screen() override;
    void set_palette(const PALETTE pal) override;
    void fade_in(const PALETTE pal, int speed) override;
    void fade_out(int speed) override;
    void rest_ms(int ms) override;
    bool close_requested() override { return close_requested_; }
    bool focus_lost() override {
        const bool lost = focus_lost_;
        focus_lost_ = false;
        return lost;
    }
    long window_keys_used() override { return window_keys_used_; }
    void set_bound_keys(const std::vector<int> &keys) override;
    void set_key_capture(bool on) override;
    void install_joystick() override;
    void poll_joystick(PadState &pad) override;
    void play(SAMPLE *sample, int volume, int pan, int frequency) override;
    bool draws_frames() override { return options_.draw; }
    bool real_time() const override { return false; }
    const volatile char *key_state() override { return keys_; }
    void shutdown() override;

    // ---- for the script and the tests ----
    // Virtual time in ticks of Allegro's clock, and in 70 Hz ticks.
    long long now() const { return now_; }
    long long ticks() const { return now_ / LOGIC_PERIOD; }
    long frames_presented() const { return frames_; }
    // True while a fade runs: the game reads no input meanwhile.
    bool fading() const { return fading_; }
    // The last presented frame (keep_frames), or nullptr.
    BITMAP *last_frame() const { return last_frame_; }
    // The window's close button.
    void request_close() { close_requested_ = true; }
    // The player switches to another window.
    void lose_focus() { focus_lost_ = true; }
    // The player uses one of the window's own keys (fullscreen, screenshot).
    void use_window_key() { ++window_keys_used_; }
    // What the script's window keys asked for (window_keys on).
    long fullscreen_switches() const { return fullscreen_switches_; }
    long screenshots() const { return screenshots_; }
    // What the gamepad shows at the next poll (without a real one).
    void set_pad(const PadState &pad) { pad_ = pad; }
    // Holds or lets go of a key by its library code (KEY_*).
    void set_key(int index, bool held) {
        if (index > 0 && index < KEY_MAX) keys_[index] = held ? -1 : 0;
        key_activity_ = true;
    }
    bool take_key_activity() override { return std::exchange(key_activity_, false); }
    bool key_held(int index) const { return index > 0 && index < KEY_MAX && keys_[index]; }
    void release_keys();
    int joystick_installs() const { return joystick_installs_; }
    // Sample numbers (index into g.samples) in the order they were played.
    const std::vector<int> &sounds_played() const { return sounds_; }
    // Menu callbacks installed right now (menu_tick runs while a front-end
    // screen is shown).
    int callbacks_installed() const { return static_cast<int>(timers_.size()); }

  private:
    struct Timer {
        Callback cb;                // nullptr for the input script
        long period;
        long long next;             // deadline
        long order;                 // install order, breaks ties
    };
    void advance(long long dt);
    void fade(int speed);
    // With a display: waits until real time has caught up with the clock.
    void pace();

    VirtualOptions options_;
    long long now_ = 0;
    long install_count_ = 0;
    std::vector<Timer> timers_;
    bool close_requested_ = false;
    bool focus_lost_ = false;
    long window_keys_used_ = 0;
    WindowKeys window_keys_;
    long fullscreen_switches_ = 0;
    long screenshots_ = 0;
    bool fading_ = false;
    bool owns_library_ = false;
    PadState pad_{};
    volatile char keys_[KEY_MAX] = {};
    bool key_activity_ = true;
    int joystick_installs_ = 0;
    long frames_ = 0;
    BITMAP *last_frame_ = nullptr;
    std::chrono::steady_clock::time_point real_start_;
    long long real_start_tick_ = 0;
    std::vector<int> sounds_;
};

} // namespace qv::platform
