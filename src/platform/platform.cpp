#include "platform/platform.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace qv::platform {

// The window shows the 320x200 picture at this integer scale.
static constexpr int WINDOW_SCALE = 2;
static constexpr int FRAME_W = 320;
static constexpr int FRAME_H = 200;
// Rates given to install_int_ex, in ticks of the 1,193,181 Hz clock.
static constexpr long LOGIC_SPEED = 17045;    // 70 Hz
static constexpr long JOYSTICK_SPEED = 39772; // 30 Hz
static constexpr long ENEMY_AI_SPEED = 34090; // 35 Hz
static constexpr long MENU_SPEED = 17045;     // 70 Hz

static bool headless_mode = true;
static bool sound_ok = false;
static std::atomic<bool> close_flag{false};

static void on_close_button() { close_flag.store(true); }

void init_headless() {
    headless_mode = true;
    install_allegro(SYSTEM_NONE, &errno, atexit);
}

bool init_display(std::string &error) {
    headless_mode = false;
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
        error = "cannot start the game library: no display available (is DISPLAY set?)";
        return false;
    }
    // Keep Allegro from writing allegro.cfg beside the binary.
    override_config_data("", 0);
    if (install_timer() != 0) {
        error = "cannot install the timer";
        return false;
    }
    if (install_keyboard() != 0) {
        error = "cannot install the keyboard";
        return false;
    }
    set_color_depth(8);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, FRAME_W * WINDOW_SCALE, FRAME_H * WINDOW_SCALE, 0,
                     0) != 0) {
        error = std::string("cannot open a 320x200 8-bit window: ") + allegro_error;
        return false;
    }
    set_window_title("QUARVELL");
    set_close_button_callback(on_close_button);
    return true;
}

bool init_sound() {
    if (headless_mode) return false;
    // Without a card Allegro "succeeds" with its silent driver: that is a
    // failure for us.
    sound_ok = install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) == 0 && digi_card != DIGI_NONE;
    if (sound_ok) set_volume(255, 0);
    return sound_ok;
}

void install_timers(void (*logic)(), void (*joystick)(), void (*enemy_ai)()) {
    if (headless_mode) return;
    install_int_ex(logic, LOGIC_SPEED);
    install_int_ex(joystick, JOYSTICK_SPEED);
    install_int_ex(enemy_ai, ENEMY_AI_SPEED);
}

void install_menu_tick(void (*tick)()) {
    if (!headless_mode) install_int_ex(tick, MENU_SPEED);
}

void remove_menu_tick(void (*tick)()) {
    if (!headless_mode) remove_int(tick);
}

bool headless() { return headless_mode; }

void present(BITMAP *frame, int sx, int sy, bool vsync) {
    if (headless_mode || !screen) return;
    if (vsync) ::vsync();
    // Clipped to the source: with an offset the last column or row keeps
    // what it showed before.
    const int w = FRAME_W - sx, h = FRAME_H - sy;
    acquire_screen();
    stretch_blit(frame, screen, sx, sy, w, h, 0, 0, w * WINDOW_SCALE, h * WINDOW_SCALE);
    release_screen();
}

void clear_screen() {
    if (!headless_mode && screen) clear_bitmap(screen);
}

void set_palette(const PALETTE pal) {
    if (!headless_mode) set_palette_range(pal, 0, 255, FALSE);
}

void fade_in(const PALETTE pal, int speed) {
    if (!headless_mode) ::fade_in(pal, speed);
}

void fade_out(int speed) {
    if (!headless_mode) ::fade_out(speed);
}

void rest_ms(int ms) {
    if (!headless_mode) rest(ms);
}

bool close_requested() { return close_flag.load(); }

void install_joystick() {
    if (!headless_mode) ::install_joystick(JOY_TYPE_AUTODETECT);
}

void poll_joystick() {
    if (!headless_mode && num_joysticks > 0) ::poll_joystick();
}

void play(SAMPLE *sample, int volume, int pan, int frequency) {
    if (sound_ok && sample) play_sample(sample, volume, pan, frequency, 0);
}

void shutdown() { allegro_exit(); }

} // namespace qv::platform
