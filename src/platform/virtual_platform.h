// The virtual back end: the real game loop, headless and deterministic.
//
// Its clock moves only when the game waits: presenting a frame takes one
// 70 Hz period, rest(ms) takes ms, a fade takes its length. The periodic
// callbacks that fall due meanwhile run at once, on the calling thread, in
// deadline order (ties in install order). The tick's input comes from a
// script called at every 70 Hz tick before the game's own callbacks of that
// instant; it holds keys, the gamepad and the close button as a player
// would.
#pragma once

#include "platform/gamepad.h"
#include "platform/platform.h"
#include "platform/window_keys.h"

#include <chrono>
#include <functional>
#include <vector>

namespace qv::platform {

struct VirtualOptions {
    // False: frames are still presented (time passes, the snapshot is
    // taken) but not drawn, which makes long headless runs fast.
    bool draw = true;
    // Keeps a copy of every presented frame in last_frame() (pictures of
    // the game taken headless).
    bool keep_frames = false;
    // The player: called at every 70 Hz tick, before the tick's input is
    // taken (sample_input).
    std::function<void()> input;
    // A real back end to show the game on: frames, palette, fades and sounds
    // go to it as well, and the virtual clock is held back to the display's
    // time when that is real time.
    // The game still runs on the virtual clock alone and reads only the
    // virtual input; the script may read the real one.
    Backend *display = nullptr;
    // The script's keys work the window's own keys (Alt+Enter, F11, F12)
    // as on the real window. Off for recorded games: their input comes
    // whole from the real window, window-key uses included.
    bool window_keys = true;
    // A real pad to read (Allegro's driver on the kernel's joystick device)
    // in place of the script's: installed, polled and looked after as the
    // real back end does.
    Gamepad *gamepad = nullptr;
};

// A back end nobody looks at: frames are not drawn.
inline VirtualOptions undrawn() {
    VirtualOptions o;
    o.draw = false;
    return o;
}

class VirtualBackend : public Backend {
  public:
    explicit VirtualBackend(VirtualOptions options = {});
    ~VirtualBackend() override;
    VirtualBackend(const VirtualBackend &) = delete;
    VirtualBackend &operator=(const VirtualBackend &) = delete;

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
    InputState input() override { return input_; }
    InputState sample_input() override;
    void set_bound_keys(const std::vector<int> &keys) override;
    void set_key_capture(bool on) override;
    void install_joystick() override;
    // Only a real pad (the gamepad option): a script's pad, or a recording's,
    // is never plugged in before the game starts.
    bool pad_plugged_in() override { return options_.gamepad && first_pad_device(); }
    void play(SAMPLE *sample, int volume, int pan, int frequency) override;
    bool draws_frames() override { return options_.draw; }
    bool real_time() const override { return false; }
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
    // The palette the screen shows, once any fade is over.
    const RGB *palette() const { return palette_; }
    // The whole input of the tick (a recording's).
    void set_input(const InputState &input) { input_ = input; }
    // The window's close button.
    void request_close() { input_.close = true; }
    // The player switches to another window.
    void lose_focus() { ++input_.focus_losses; }
    // What the gamepad shows (without a real one).
    void set_pad(const PadState &pad) { input_.pad = pad; }
    // Holds or lets go of a key by its library code (KEY_*).
    void set_key(int index, bool held) {
        if (index > 0 && index < KEY_MAX) input_.keys[static_cast<std::size_t>(index)] = held;
    }
    // What the script's window keys asked for (window_keys on).
    long fullscreen_switches() const { return fullscreen_switches_; }
    long screenshots() const { return screenshots_; }
    int joystick_installs() const { return joystick_installs_; }

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
    InputState input_;
    WindowKeys window_keys_;
    long fullscreen_switches_ = 0;
    long screenshots_ = 0;
    bool fading_ = false;
    bool owns_library_ = false;
    int joystick_installs_ = 0;
    long frames_ = 0;
    BITMAP *last_frame_ = nullptr;
    PALETTE palette_{};
    std::chrono::steady_clock::time_point real_start_;
    long long real_start_tick_ = 0;
};

} // namespace qv::platform
