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

void load_sound_effects();
void free_sound_effects();

void play_menu_move();
void play_menu_accept();
void play_menu_cancel();
// An in-flight sound at a pitch in per mille of natural (900..1099).
void play_flight_sound(int number, int frequency);

} // namespace qv
