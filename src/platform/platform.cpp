#include "platform/platform.h"

#include "platform/allegro_backend.h"
#include "platform/x11_window.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace qv::platform {

namespace {

// WM_CLASS: the instance and class that docks group the window by and
// match to the desktop entry's StartupWMClass.
constexpr const char *WINDOW_INSTANCE = "quarvell";
constexpr const char *WINDOW_CLASS = "QUARVELL";

std::atomic<bool> close_flag{false};

void on_close_button() { close_flag.store(true); }

// Allegro's keyboard driver calls this for every key pressed or let go.
std::atomic<bool> key_activity{true};
void on_key_event(int) { key_activity.store(true); }

AllegroBackend &real_backend() {
    static AllegroBackend real;
    return real;
}

Backend *current = nullptr;

} // namespace

Backend &backend() { return current ? *current : real_backend(); }

UseBackend::UseBackend(Backend &b) : previous_(current) { current = &b; }
UseBackend::~UseBackend() { current = previous_; }

void init_headless() { install_allegro(SYSTEM_NONE, &errno, atexit); }

void install_timers(Callback logic, Callback joystick, Callback enemy_ai) {
    Backend &b = backend();
    b.install_callback(logic, LOGIC_PERIOD);
    b.install_callback(joystick, JOYSTICK_PERIOD);
    b.install_callback(enemy_ai, ENEMY_AI_PERIOD);
}

// ---- the real back end ----

bool AllegroBackend::init_display(std::string &error) {
    close_flag.store(false);
    // The library makes its window as it starts: name it first.
    name_windows(WINDOW_INSTANCE, WINDOW_CLASS);
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
    if (!open_window(error)) return false;
    set_close_button_callback(on_close_button);
    keyboard_lowlevel_callback = on_key_event;
    return true;
}

bool AllegroBackend::init_sound() {
    // Without a card Allegro "succeeds" with its silent driver: that is a
    // failure for us.
    sound_ok_ = install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) == 0 && digi_card != DIGI_NONE;
    if (sound_ok_) set_volume(255, 0);
    return sound_ok_;
}

void AllegroBackend::install_callback(Callback cb, long period) { install_int_ex(cb, period); }

void AllegroBackend::remove_callback(Callback cb) { remove_int(cb); }

void AllegroBackend::rest_ms(int ms) { rest(ms); }

bool AllegroBackend::close_requested() { return close_flag.load(); }

bool AllegroBackend::take_key_activity() { return key_activity.exchange(false); }

void AllegroBackend::request_close() { close_flag.store(true); }

void AllegroBackend::install_joystick() {
    std::lock_guard<std::mutex> hold(joystick_mutex_);
    if (joystick_installed_) remove_joystick();
    joystick_installed_ = ::install_joystick(JOY_TYPE_AUTODETECT) == 0 && num_joysticks > 0;
}

void AllegroBackend::poll_joystick(PadState &pad) {
    std::unique_lock<std::mutex> hold(joystick_mutex_, std::try_to_lock);
    if (!hold.owns_lock() || !joystick_installed_) {
        pad = PadState{};
        return;
    }
    ::poll_joystick();
    const JOYSTICK_INFO &j = joy[0];
    pad.left = j.stick[0].axis[0].d1 ? 1 : 0;
    pad.right = j.stick[0].axis[0].d2 ? 1 : 0;
    pad.up = j.stick[0].axis[1].d1 ? 1 : 0;
    pad.down = j.stick[0].axis[1].d2 ? 1 : 0;
    for (int b = 0; b < PAD_BUTTONS; ++b)
        pad.button[b] = b < j.num_buttons && j.button[b].b ? 1 : 0;
}

void AllegroBackend::play(SAMPLE *sample, int volume, int pan, int frequency) {
    if (sound_ok_ && sample) play_sample(sample, volume, pan, frequency, 0);
}

void AllegroBackend::shutdown() {
    {
        std::lock_guard<std::mutex> hold(joystick_mutex_);
        joystick_installed_ = false;
    }
    close_window();
    allegro_exit();
}

} // namespace qv::platform
