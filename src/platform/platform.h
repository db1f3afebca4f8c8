// The only code that touches the window, the timers, the keyboard and
// joystick drivers and the sound device. Everything else draws into memory
// bitmaps and reads the player's input as one state per tick
// (core/input_state.h), so it runs headless in tests.
//
// Two back ends stand behind the functions below: the real one (Allegro's
// window, timer thread, keyboard, joystick and sound;
// platform/allegro_backend.h) and a virtual one
// (platform/virtual_platform.h) whose clock only moves when the game waits,
// with scripted input, for running the real game loop headless. The program
// puts the one it wants in place (UseBackend); none in place is a back end
// that shows, plays and reads nothing: the one unit tests meet.
#pragma once

#include "core/input_state.h"

#include <allegro.h>

#include <span>
#include <string>
#include <vector>

namespace qv::platform {

// Allegro's timer clock, and the game's periodic callbacks in its ticks.
inline constexpr long CLOCK_HZ = 1193181;
inline constexpr long LOGIC_PERIOD = 17045;    // 70 Hz
inline constexpr long JOYSTICK_PERIOD = 39772; // 30 Hz
inline constexpr long ENEMY_AI_PERIOD = 34090; // 35 Hz
inline constexpr long MENU_PERIOD = 17045;     // 70 Hz

using Callback = void (*)();

// How the player wants the picture shown (the command line), and where
// screenshots go. Back ends without a window ignore it.
struct DisplayOptions {
    int scale = 0;           // window scale; 0: the largest that fits the desktop
    bool fullscreen = false; // start in fullscreen
    bool aspect = false;     // 4:3: every 5 rows shown as 6
    std::string screenshot_dir = ".";
    // The window's icon as _NET_WM_ICON wants it (platform/window_icon.h).
    std::span<const unsigned long> window_icon;
};

// What a back end must do. The game calls it only through the functions
// below, always from the main thread and never while holding the sim lock
// (several of these wait for the timer thread, which may want the lock).
class Backend {
  public:
    virtual ~Backend() = default;

    // Before init_display: how to show the picture.
    virtual void configure_display(const DisplayOptions &) {}
    // Library, timer, keyboard and window; false with a one-line reason.
    virtual bool init_display(std::string &error) = 0;
    // False when sound is wanted and cannot be played (no sound card).
    virtual bool init_sound() = 0;
    virtual void install_callback(Callback cb, long period) = 0;
    virtual void remove_callback(Callback cb) = 0;
    // Shows a 320x200 frame copied from (sx, sy) of `frame` (screen shake).
    virtual void present(BITMAP *frame, int sx, int sy, bool vsync) = 0;
    virtual void clear_screen() = 0;
    virtual void set_palette(const PALETTE pal) = 0;
    virtual void fade_in(const PALETTE pal, int speed) = 0;
    virtual void fade_out(int speed) = 0;
    virtual void rest_ms(int ms) = 0;
    // The run-long periodic callbacks, installed in this order. A back end
    // that reads devices starts reading them at every tick, first.
    virtual void install_timers(Callback logic, Callback joystick, Callback enemy_ai);
    // The input of the tick now running.
    virtual InputState input() = 0;
    // Starts a tick's input: reads the devices (or the script) into what
    // input() returns from now on, and returns it. A back end calls it at
    // every tick of its own clock; a recording calls it on the window it
    // records from, whose clock it is then.
    virtual InputState sample_input() = 0;
    // The keys bound to the game's actions (library indices, KEY_*), told
    // whenever the bindings are loaded or changed: a bound key is not also
    // one of the window's own keys.
    virtual void set_bound_keys(const std::vector<int> &) {}
    // While on, every key goes to the capture of a new binding, and none is
    // a window key.
    virtual void set_key_capture(bool) {}
    virtual void install_joystick() = 0;
    // True when a gamepad is plugged in, asked before any is installed. A
    // back end without real devices has none.
    virtual bool pad_plugged_in() { return false; }
    virtual void play(SAMPLE *sample, int volume, int pan, int frequency) = 0;
    // False when nobody looks at the frames: drawing them may be skipped.
    virtual bool draws_frames() { return true; }
    // True when time passes as on a clock on the wall.
    virtual bool real_time() const { return true; }
    virtual void shutdown() = 0;
    // Close requests so far (the close button, the quit signals): any
    // thread. Headless, the close button's state.
    virtual long close_requests() { return input().close ? 1 : 0; }
    // While on, the main thread waits on something outside the game that a
    // close request ends (see LeavableWait).
    virtual void set_leavable_wait(bool) {}
    // When the display is lost for good (the X server gone), the back end
    // calls `save` on whichever thread found it, then ends the game with
    // status 1. `save` must need nothing of the display.
    virtual void on_display_lost(Callback) {}
};

// The back end in use: the one put in place, else a headless virtual one
// that shows, plays and reads nothing.
Backend &backend();

// Puts a back end in place for its lifetime: the program puts the real one,
// tests and recorded games a virtual one.
class UseBackend {
  public:
    explicit UseBackend(Backend &b);
    ~UseBackend();
    UseBackend(const UseBackend &) = delete;
    UseBackend &operator=(const UseBackend &) = delete;

  private:
    Backend *previous_;
};

// A wait on something outside the game (another copy of the game saving a
// file) that the player may cut short: while one lives, a close request
// (the close button, logging out, Ctrl+C, a second Ctrl+C too) is the
// player leaving it, not ending the game at once.
class LeavableWait {
  public:
    LeavableWait();
    ~LeavableWait();
    LeavableWait(const LeavableWait &) = delete;
    LeavableWait &operator=(const LeavableWait &) = delete;
    // True once a close was requested since the wait began.
    bool left() const { return backend().close_requests() != closes_; }

  private:
    long closes_;
};

// Library without display, timers or input: for unit tests, benchmarks and
// tools that draw into memory bitmaps.
void init_headless();

inline void configure_display(const DisplayOptions &o) { backend().configure_display(o); }
inline bool init_display(std::string &error) { return backend().init_display(error); }
inline bool init_sound() { return backend().init_sound(); }

inline void install_timers(Callback logic, Callback joystick, Callback enemy_ai) {
    backend().install_timers(logic, joystick, enemy_ai);
}
inline void install_menu_tick(Callback tick) { backend().install_callback(tick, MENU_PERIOD); }
inline void remove_menu_tick(Callback tick) { backend().remove_callback(tick); }

inline void present(BITMAP *frame, int sx, int sy, bool vsync) {
    backend().present(frame, sx, sy, vsync);
}
inline void clear_screen() { backend().clear_screen(); }
inline void set_palette(const PALETTE pal) { backend().set_palette(pal); }
inline void fade_in(const PALETTE pal, int speed) { backend().fade_in(pal, speed); }
inline void fade_out(int speed) { backend().fade_out(speed); }
inline void rest_ms(int ms) { backend().rest_ms(ms); }

// The input of the tick now running (see core/input_state.h).
inline InputState input() { return backend().input(); }
inline void set_bound_keys(const std::vector<int> &keys) { backend().set_bound_keys(keys); }
inline void set_key_capture(bool on) { backend().set_key_capture(on); }
inline void install_joystick() { backend().install_joystick(); }

inline void play(SAMPLE *sample, int volume, int pan, int frequency) {
    backend().play(sample, volume, pan, frequency);
}

inline bool draws_frames() { return backend().draws_frames(); }

inline void shutdown() { backend().shutdown(); }
inline void on_display_lost(Callback save) { backend().on_display_lost(save); }

} // namespace qv::platform
