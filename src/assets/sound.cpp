// Placeholder until the sound effects land.
#include "assets/sound.h"

namespace qv {
void load_sound_effects() {}
void free_sound_effects() {}
void play_menu_move() {}
void play_menu_accept() {}
void play_menu_cancel() {}
void play_flight_sound(int, int) {}
} // namespace qv
