// The stage cycle: stage start, the flight loop, and the end-of-stage
// screens, until the game goes back to the title menu.
#pragma once

namespace qv {

enum class CycleEnd {
    TitleMenu, // the game is over (or abandoned): back to the title
    Quit,      // the window was closed, or "Exit Game" chosen: save and stop
};

// Plays stages from g.current_stage on, as the selection chain chose.
CycleEnd run_stage_cycle();

// The work of a stage start before the intro banner: the player's files
// saved, the stage's pictures, palette and light tables loaded, the world
// reset with the ship at the start point.
void prepare_stage();

} // namespace qv
