#include "assets/sound.h"

#include "assets/archive.h"
#include "core/game_state.h"
#include "platform/platform.h"

#include <atomic>
#include <mutex>
#include <string>

namespace qv {

namespace {

constexpr char SFX_DIR[] = "sfx/";
constexpr int CENTRE_PAN = 128;
constexpr int NATURAL_PITCH = 1000; // per mille

// The volume of in-flight sounds. They are started on the timer thread,
// outside the sim lock, so they cannot read g.sfx_volume; the main thread
// copies it here whenever it changes.
std::atomic<int> flight_volume{0};

// Guards g.samples and the library's playback: flight sounds start on the
// timer thread and menu sounds on the main thread, and Allegro's voice
// allocation is not safe from two threads at once; shutdown must not free a
// sample the timer thread is starting. Held only around calls that never
// wait for the timer thread (playback, loading, freeing a sample).
std::mutex sample_mutex;

void play_locked(int number, int volume, int frequency) {
    if (number < 0 || number >= SAMPLE_COUNT)
        return;
    std::lock_guard<std::mutex> lock(sample_mutex);
    platform::play(g.samples[number], volume, CENTRE_PAN, frequency);
}

} // namespace

void load_sound_effects() {
    free_sound_effects();
    for (int number : loaded_sounds) {
        std::lock_guard<std::mutex> lock(sample_mutex);
        load_archive_sample(data_path(SFX_DIR + std::to_string(number)), number);
    }
}

void free_sound_effects() {
    std::lock_guard<std::mutex> lock(sample_mutex);
    for (SAMPLE *&s : g.samples) {
        if (s)
            destroy_sample(s);
        s = nullptr;
    }
}

void set_sound_volume(int volume) {
    flight_volume.store(volume);
}

// Menu sounds come from the main thread, which owns g.sfx_volume.
void play_menu_move() {
    play_locked(SOUND_MENU_MOVE, g.sfx_volume, NATURAL_PITCH);
}
void play_menu_accept() {
    play_locked(SOUND_MENU_ACCEPT, g.sfx_volume, NATURAL_PITCH);
}
void play_menu_cancel() {
    play_locked(SOUND_MENU_CANCEL, g.sfx_volume, NATURAL_PITCH);
}

void play_flight_sound(int number, int frequency) {
    play_locked(number, flight_volume.load(), frequency);
}

} // namespace qv
