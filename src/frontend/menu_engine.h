// The menu engine: panel slots and their animation, the front-end frame
// (background, records, logo, stars, panels, legend), menu_tick.
#pragma once

#include "core/game_state.h"

namespace qv {

// Start-up values of the panels, stars, records scroll, logo, key repeat,
// blink, name entry and the records table.
void reset_front_end();

void clear_panel(int slot);
void move_panel(int slot, int direction, int steps, int speed);
void animate_panels(); // every logic tick, sim lock held
void menu_tick();      // 70 Hz while a front-end screen is shown
void scatter_stars();

// Draws one front-end frame into back_buffer and presents it.
void draw_menu_screen(BITMAP *background, BITMAP *logo_a, BITMAP *logo_b);
// The frame's legend in the bottom corners: the version and the menu keys.
void draw_menu_legend(BITMAP *bb);

} // namespace qv
