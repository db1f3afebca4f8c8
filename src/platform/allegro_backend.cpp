// The real back end, apart from its window (allegro_display.cpp): the
// library, the timers, the tick's input from the keyboard and joystick
// drivers, the close button and the quit signals, and sound.
#include "platform/allegro_backend.h"

#include "platform/retrace.h"
#include "platform/sound_library_errors.h"
#include "platform/timer_slots.h"
#include "platform/x11_desktop.h"
#include "platform/x11_window.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <poll.h>
#include <unistd.h>

namespace qv::platform {

namespace {

// WM_CLASS: the instance and class that docks group the window by and
// match to the desktop entry's StartupWMClass.
constexpr const char *WINDOW_INSTANCE = "quarvell";
constexpr const char *WINDOW_CLASS = "QUARVELL";

// Set from Allegro's close-button callback and from signal handlers: they
// must be plain lock-free stores.
std::atomic<bool> close_flag{false};
std::atomic<long> close_count{0};
std::atomic<int> interrupts{0};
// True while the main thread waits on something a close request ends.
std::atomic<bool> leavable_wait{false};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<long>::is_always_lock_free &&
              std::atomic<int>::is_always_lock_free);

void request_close_now() {
    close_flag.store(true);
    close_count.fetch_add(1);
}

void on_close_button() { request_close_now(); }

// Logging out (SIGHUP, SIGTERM) and Ctrl+C (SIGINT) end the game the way
// the close button does: the loops see a close request, save the player's
// files and leave with status 0. Allegro's own handlers shut the library
// down inside the signal instead, which aborts when the signal lands while
// the X lock is held, and saves nothing. A second Ctrl+C ends the game at
// once, for a player whose game no longer answers; while the game waits for
// another copy's save, it only leaves that wait, so the player is told what
// was not saved.
void on_quit_signal(int sig) {
    request_close_now();
    if (sig == SIGINT && interrupts.fetch_add(1) >= 1 && !leavable_wait.load()) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

void catch_quit_signals() {
    struct sigaction sa {};
    sa.sa_handler = on_quit_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    // A launcher that stopped reading the game's output (or `quarvell |
    // head`) must not end it: a line that cannot be printed is dropped.
    std::signal(SIGPIPE, SIG_IGN);
}

// While the window cannot be seen, how often the main thread looks whether
// it can again.
constexpr int HIDDEN_LOOK_MS = 250;

// Called on whichever thread finds the display gone.
std::atomic<Callback> save_when_lost{nullptr};

void on_connection_lost_for_good() {
    std::fputs("quarvell: the connection to the display is lost\n", stderr);
    if (const Callback save = save_when_lost.load()) save();
    // Not exit(): the library's exit handlers would wait on its X lock.
    _exit(1);
}

// Keys pressed since the last tick's input was taken: a tap shorter than a
// tick still shows as held for one. Allegro's keyboard driver calls
// on_key_event from its own thread, with the top bit set for a release.
constexpr int RELEASED = 0x80;
std::atomic<bool> pressed_since_sample[KEY_MAX];

void on_key_event(int scancode) {
    if (!(scancode & RELEASED)) pressed_since_sample[scancode % KEY_MAX].store(true);
}

// The back end whose timer takes the input at every tick: Allegro's timer
// callbacks are plain functions.
std::atomic<AllegroBackend *> sampling{nullptr};

void sample_tick() {
    // The retrace hook is set from here, the timer thread, which reads it.
    hook_retrace();
    if (AllegroBackend *b = sampling.load()) b->sample_input();
}

} // namespace

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
    on_connection_lost(on_connection_lost_for_good);
    // After the library has put its own handlers in place.
    catch_quit_signals();
    keyboard_lowlevel_callback = on_key_event;
    return true;
}

bool AllegroBackend::init_sound() {
    // Without a card Allegro "succeeds" with its silent driver: that is a
    // failure for us, which the game reports itself.
    HeldSoundLibraryErrors alsa_lines;
    sound_ok_ = install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) == 0 && digi_card != DIGI_NONE;
    if (sound_ok_) alsa_lines.print();
    if (sound_ok_) set_volume(255, 0);
    return sound_ok_;
}

void AllegroBackend::install_callback(Callback cb, long period) { install_slot(cb, period); }

void AllegroBackend::remove_callback(Callback cb) { remove_slot(cb); }

void AllegroBackend::install_timers(Callback logic, Callback joystick, Callback enemy_ai) {
    // The input first, so that each tick's callbacks find that tick's.
    sampling.store(this);
    install_slot(sample_tick, LOGIC_PERIOD);
    Backend::install_timers(logic, joystick, enemy_ai);
}

void AllegroBackend::on_display_lost(Callback save) { save_when_lost.store(save); }

// Nothing is drawn, ticked or read while the player cannot see the window:
// the timers and the library's input thread stop, and the main thread
// sleeps, looking now and then whether the window is back or the game is
// asked to end. The flight pauses, as it does when the focus goes.
void AllegroBackend::sleep_while_hidden() {
    was_hidden_.store(true);
    suspend_slots();
    pause_library_input(true);
    while (!close_flag.load()) {
        // A signal (logout, Ctrl+C) ends the sleep early.
        poll(nullptr, 0, HIDDEN_LOOK_MS);
        if (take_close_message()) request_close_now();
        if (window_state(fullscreen_).shown) break;
    }
    pause_library_input(false);
    resume_slots();
}

void AllegroBackend::rest_ms(int ms) { rest(ms); }

InputState AllegroBackend::input() {
    std::lock_guard<std::mutex> hold(input_mutex_);
    return input_;
}

InputState AllegroBackend::sample_input() {
    InputState in;
    // The keyboard driver writes key[] from its own thread.
    for (int k = 1; k < KEY_MAX; ++k)
        in.keys[static_cast<std::size_t>(k)] = __atomic_load_n(&key[k], __ATOMIC_RELAXED) != 0 ||
                                               pressed_since_sample[k].exchange(false);
    gamepad_.poll(in.pad);
    in.close = close_flag.load();
    // A stall (the process stopped, the machine asleep) or a window out of
    // sight leaves the player as lost as a switch to another window. (The
    // focus coming back cancels a loss not yet asked about; these stay.)
    // Each flag is taken (cleared) whether or not another one was set.
    const bool focus_lost = take_focus_loss();
    const bool stalled = take_stall();
    const bool was_hidden = was_hidden_.exchange(false);
    const bool lost = focus_lost || stalled || was_hidden;
    WindowKeys::Uses use;
    {
        std::lock_guard<std::mutex> hold(input_mutex_);
        in.focus_losses = input_.focus_losses + (lost ? 1 : 0);
        in.window_keys = input_.window_keys;
        use = window_keys_.take(in);
        input_ = in;
    }
    // Switching the window and saving the picture are the main thread's.
    if (use.fullscreen) want_fullscreen_switch_.store(true);
    if (use.screenshot) want_screenshot_.store(true);
    return in;
}

void AllegroBackend::set_bound_keys(const std::vector<int> &keys) {
    std::lock_guard<std::mutex> hold(input_mutex_);
    window_keys_.set_bound(keys);
}

void AllegroBackend::set_key_capture(bool on) {
    std::lock_guard<std::mutex> hold(input_mutex_);
    window_keys_.set_capturing(on);
}

void AllegroBackend::request_close() { request_close_now(); }

long AllegroBackend::close_requests() { return close_count.load(); }

void AllegroBackend::set_leavable_wait(bool on) { leavable_wait.store(on); }

void AllegroBackend::install_joystick() { gamepad_.install(); }

void AllegroBackend::play(SAMPLE *sample, int volume, int pan, int frequency) {
    if (sound_ok_ && sample) play_sample(sample, volume, pan, frequency, 0);
}

void AllegroBackend::shutdown() {
    remove_slot(sample_tick);
    sampling.store(nullptr);
    gamepad_.shutdown();
    close_window();
    allegro_exit();
}

} // namespace qv::platform
