// The only code that touches the window, the timers, the keyboard and
// joystick drivers and the sound device. Everything else draws into memory
// bitmaps and reads key[] / joy[], so it runs headless in tests.
#pragma once

#include <allegro.h>

#include <string>

namespace qv::platform {

// Library without display, timers or input: for tests, benchmarks and tools.
void init_headless();

// Library, timer, keyboard and an 8-bit window. On failure returns false and
// says why in `error` (one line).
bool init_display(std::string &error);

// Sound device. Returns false when there is no real sound output.
bool init_sound();

// The run-long periodic callbacks at their rates in Hz.
void install_timers(void (*logic)(), void (*joystick)(), void (*enemy_ai)());
void install_menu_tick(void (*tick)());
void remove_menu_tick(void (*tick)());

bool headless();

// Shows a 320x200 frame: optional retrace wait, then the copy from the
// source offset (sx, sy) (screen shake).
void present(BITMAP *frame, int sx, int sy, bool vsync);
void clear_screen();
void set_palette(const PALETTE pal);
void fade_in(const PALETTE pal, int speed);
void fade_out(int speed);
void rest_ms(int ms);

// True once the window's close button has been pressed.
bool close_requested();

void install_joystick();
void poll_joystick();

void play(SAMPLE *sample, int volume, int pan, int frequency);

void shutdown();

} // namespace qv::platform
