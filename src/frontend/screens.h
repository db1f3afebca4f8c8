// The screens around the flying: title, pause, stage complete, game end.
#pragma once

namespace qv {

inline constexpr int TITLE_START = 0;
inline constexpr int TITLE_QUIT = 3;

int run_title_menu();
void run_pause_menu();
void run_stage_complete_screen();
void run_game_end_screen();

} // namespace qv
