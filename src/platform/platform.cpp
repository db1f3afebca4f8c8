#include "platform/platform.h"

#include "platform/allegro_backend.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace qv::platform {

namespace {

std::atomic<bool> close_flag{false};
// Set from a signal handler: it must be a plain lock-free store.
static_assert(std::atomic<bool>::is_always_lock_free);

void on_close_button() { close_flag.store(true); }

// Logging out (SIGHUP, SIGTERM) and Ctrl+C (SIGINT) end the game the way
// the close button does: the loops see a close request, save the player's
// files and leave with status 0. Allegro's own handlers shut the library
// down inside the signal instead, which aborts when the signal lands while
// the X lock is held, and saves nothing. A second Ctrl+C ends the game at
// once, for a player whose game no longer answers.
void on_quit_signal(int) { close_flag.store(true); }

void catch_quit_signals() {
    struct sigaction sa {};
    sa.sa_handler = on_quit_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    sa.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &sa, nullptr);
}

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
    // After the library has put its own handlers in place.
    catch_quit_signals();
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

void AllegroBackend::install_joystick() { gamepad_.install(); }

void AllegroBackend::poll_joystick(PadState &pad) { gamepad_.poll(pad); }

void AllegroBackend::play(SAMPLE *sample, int volume, int pan, int frequency) {
    if (sound_ok_ && sample) play_sample(sample, volume, pan, frequency, 0);
}

void AllegroBackend::shutdown() {
    gamepad_.shutdown();
    close_window();
    allegro_exit();
}

} // namespace qv::platform
