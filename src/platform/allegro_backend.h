// The real back end: Allegro's X11 window, its timer thread, keyboard,
// joystick and sound drivers.
#pragma once

#include "platform/display_layout.h"
#include "platform/gamepad.h"
#include "platform/platform.h"
#include "platform/window_keys.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace qv::platform {

class AllegroBackend : public Backend {
  public:
    void configure_display(const DisplayOptions &options) override { display_ = options; }
    bool init_display(std::string &error) override;
    bool init_sound() override;
    void install_callback(Callback cb, long period) override;
    void remove_callback(Callback cb) override;
    void present(BITMAP *frame, int sx, int sy, bool vsync) override;
    void clear_screen() override;
    void set_palette(const PALETTE pal) override;
    void fade_in(const PALETTE pal, int speed) override;
    void fade_out(int speed) override;
    void rest_ms(int ms) override;
    void install_timers(Callback logic, Callback joystick, Callback enemy_ai) override;
    InputState input() override;
    // Any thread, one at a time: the timer's at every tick, or a recording's.
    InputState sample_input() override;
    void set_bound_keys(const std::vector<int> &keys) override;
    void set_key_capture(bool on) override;
    void install_joystick() override;
    bool pad_plugged_in() override { return first_pad_device() != nullptr; }
    void play(SAMPLE *sample, int volume, int pan, int frequency) override;
    void shutdown() override;
    long close_requests() override;
    void set_leavable_wait(bool on) override;

    void on_display_lost(Callback save) override;

    // As if the window's close button had been pressed.
    void request_close();
    // True while a palette fade runs (the main thread is inside it).
    bool fading() const { return fading_.load(); }
    // Frames presented so far.
    long long frames() const { return frames_.load(); }

  private:
    // ---- the window (allegro_display.cpp); main thread only ----
    // The window (or fullscreen) at start-up, sized to the desktop.
    bool open_window(std::string &error);
    void close_window();
    // Sets the window or fullscreen mode; false (and no screen) on failure.
    bool set_mode(bool fullscreen);
    // Does what the window keys asked for since the last frame.
    void answer_window_keys();
    void toggle_fullscreen();
    void save_screenshot();
    // Takes the palette in use and shows the picture in it.
    void show_palette(const PALETTE pal);
    void fade(const PALETTE from, const PALETTE to, int speed);
    // The picture in its palette, scaled, onto the screen.
    void draw_shown();
    // The next retrace, with the X server caught up.
    void wait_for_retrace();
    // Looks now and then (not at every frame) at what the desktop did to
    // the window: out of sight, or made fullscreen by the window manager.
    void watch_window();
    // Sleeps, drawing and ticking nothing, until the window can be seen
    // again or the game is asked to end (allegro_backend.cpp).
    void sleep_while_hidden();

    // The screen is in the desktop's true colour, not 8-bit: the X driver
    // would otherwise convert every scaled pixel of every frame. What an
    // 8-bit screen would hold is kept here at 320x200, and palette changes
    // (fades included) redraw it, as they would recolour an 8-bit screen.
    BITMAP *shown_ = nullptr;
    PALETTE palette_{};
    std::uint32_t colour_[PAL_SIZE]{}; // palette index to screen pixel

    DisplayOptions display_;
    Layout layout_;
    bool fullscreen_ = false;
    int window_scale_ = FALLBACK_SCALE;
    int desktop_w_ = 0, desktop_h_ = 0;
    bool switch_warned_ = false;

    // ---- the tick's input (allegro_backend.cpp) ----
    // True when the window lost the input focus since the last call (any
    // thread; allegro_display.cpp, which follows the focus).
    bool take_focus_loss();
    // The last tick's input and the window keys' state, shared by the
    // sampling thread and the main thread, each holding it for a copy only.
    std::mutex input_mutex_;
    InputState input_;
    WindowKeys window_keys_;
    // Set when the window keys ask, done by the main thread at a frame.
    std::atomic<bool> want_fullscreen_switch_{false};
    std::atomic<bool> want_screenshot_{false};

    // When the window was last looked at (steady clock, ns); main thread.
    long long watched_ns_ = 0;
    // Set when the window was out of sight, taken by the next tick's input.
    std::atomic<bool> was_hidden_{false};

    std::atomic<long long> frames_{0};
    std::atomic<bool> fading_{false};
    bool sound_ok_ = false;
    // Installed by the main thread, polled by the sampling thread.
    Gamepad gamepad_;
};

} // namespace qv::platform
