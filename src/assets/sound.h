// Sound effects: loading the 22 samples and playing them.
#pragma once

namespace qv {

inline constexpr int SOUND_MENU_MOVE = 0;
inline constexpr int SOUND_MENU_ACCEPT = 1;
inline constexpr int SOUND_MENU_CANCEL = 2;
inline constexpr int SOUND_HIT = 50;
inline constexpr int SOUND_BURST_A = 51;
inline constexpr int SOUND_BURST_B = 52;
inline constexpr int SOUND_ROCKET = 54;
inline constexpr int SOUND_RING = 55;
inline constexpr int SOUND_BOOSTER = 56;

// The sound numbers loaded at start-up, in load order.
inline constexpr int loaded_sounds[] = {0,  1,  2,  10, 11, 12, 13, 14, 15, 30, 31,
                                        32, 33, 50, 51, 52, 53, 54, 55, 56, 58, 59};

// Loads "sfx/<n>" for every n of loaded_sounds into g.samples[n]; throws
// AssetError naming a missing or damaged archive.
void load_sound_effects();
void free_sound_effects();

// The volume (0..255) of in-flight sounds; call with g.sfx_volume whenever
// it changes. Those sounds start on the timer thread, outside the sim lock,
// so they cannot read g.sfx_volume; menu sounds (main thread) read it.
void set_sound_volume(int volume);

void play_menu_move();
void play_menu_accept();
void play_menu_cancel();
// An in-flight sound at a pitch in per mille of natural (900..1099), at the
// volume last given to set_sound_volume. Safe from the timer thread.
void play_flight_sound(int number, int frequency);

} // namespace qv
