// The real back end: Allegro's X11 window, its timer thread, keyboard,
// joystick and sound drivers.
#pragma once

#include "platform/platform.h"

#include <atomic>
#include <mutex>

namespace qv::platform {

class AllegroBackend : public Backend {
  public:
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

  private:
    std::atomic<long long> frames_{0};
    std::atomic<bool> fading_{false};
    bool sound_ok_ = false;
    // install_joystick (main thread) and poll_joystick (timer thread) must
    // not run at once; the timer only tries the lock and skips a poll rather
    // than wait, so it is never held up.
    std::mutex joystick_mutex_;
    bool joystick_installed_ = false;
};

} // namespace qv::platform
