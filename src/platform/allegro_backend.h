// The real back end: Allegro's X11 window, its timer thread, keyboard,
// joystick and sound drivers.
#pragma once

#include "platform/display_layout.h"
#include "platform/gamepad.h"
#include "platform/platform.h"
#include "platform/window_keys.h"

#include <atomic>
#include <cstdint>
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
    bool close_requested() override;
    bool focus_lost() override;
    long window_keys_used() override { return window_keys_used_; }
    void set_bound_keys(const std::vector<int> &keys) override { window_keys_.set_bound(keys); }
    void set_key_capture(bool on) override { window_keys_.set_capturing(on); }
    void install_joystick() override;
    void poll_joystick(PadState &pad) override;
    void play(SAMPLE *sample, int volume, int pan, int frequency) override;
    void shutdown() override;
    bool take_key_activity() override;

    // As if the window's close button had been pressed.
    void request_close();
    // True while a palette fade runs (the main thread is inside it).
    bool fading() const { return fading_.load(); }
    // Frames presented so far.
    long long frames() const { return frames_.load(); }
    // Where the picture is on the screen right now.
    const Layout &layout() const { return layout_; }
    bool fullscreen() const { return fullscreen_; }

  private:
    // ---- the window (allegro_display.cpp); main thread only ----
    // The window (or fullscreen) at start-up, sized to the desktop.
    bool open_window(std::string &error);
    void close_window();
    // Sets the window or fullscreen mode; false (and no screen) on failure.
    bool set_mode(bool fullscreen);
    // Alt+Enter / F11 and F12, once per press.
    void poll_window_keys();
    void toggle_fullscreen();
    void save_screenshot();
    // Takes the palette in use and shows the picture in it.
    void show_palette(const PALETTE pal);
    void fade(const PALETTE from, const PALETTE to, int speed);
    // The picture in its palette, scaled, onto the screen.
    void draw_shown();

    // The screen is in the desktop's true colour, not 8-bit: the X driver
    // would otherwise convert every scaled pixel of every frame. What an
    // 8-bit screen would hold is kept here at 320x200, and palette changes
    // (fades included) redraw it, as they would recolour an 8-bit screen.
    BITMAP *shown_ = nullptr;
    PALETTE palette_{};
    std::uint32_t colour_[PAL_SIZE]{}; // palette index to screen pixel
    std::vector<std::uint32_t> row_;   // one widened row of the picture

    DisplayOptions display_;
    Layout layout_;
    bool fullscreen_ = false;
    int window_scale_ = FALLBACK_SCALE;
    int desktop_w_ = 0, desktop_h_ = 0;
    bool switch_warned_ = false;
    WindowKeys window_keys_;
    long window_keys_used_ = 0;

    std::atomic<long long> frames_{0};
    std::atomic<bool> fading_{false};
    bool sound_ok_ = false;
    Gamepad gamepad_;
};

} // namespace qv::platform
