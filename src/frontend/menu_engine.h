// The menu engine: panel slots, their set-up, slides and animation, the
// front-end frame (background, records, logo, stars, panels, legend),
// menu_tick.
#pragma once

#include "core/game_state.h"

#include <initializer_list>

namespace qv {

// Start-up values of the panels, stars, records scroll, logo, key repeat,
// blink, name entry and the records table.
void reset_front_end();

// Everything a panel set-up names; fields not named here are left alone.
struct PanelSetup {
    int16 kind;
    int x, y, width, height;
    std::initializer_list<int16> items = {};
    int16 tab_text = 0;
    int16 caption = 0;
    int16 cursor = 0;
    int16 highlight_width = 0;
    int16 scan_enabled = 1;
};

enum SlideDirection { SLIDE_UP = 0, SLIDE_RIGHT = 2, SLIDE_DOWN = 4, SLIDE_LEFT = 6 };

// A panel's slide: `steps` ticks of `speed` pixels toward `direction`.
struct Slide {
    int slot, direction, steps, speed;
};

// ---- with the sim lock held (the timer callbacks, or a caller holding it) ----
void clear_panel(int slot);
// Fills a panel slot and makes it active.
void fill_panel(int slot, const PanelSetup &setup);
void move_panel(int slot, int direction, int steps, int speed);
void move_panels(std::initializer_list<Slide> slides); // together
void animate_panels(); // every logic tick
void scatter_stars();

// ---- from a screen's loop (each takes the sim lock) ----
void set_panel(int slot, const PanelSetup &setup);
// Starts the slides together.
void slide(std::initializer_list<Slide> slides);
// True while one of the panels still slides.
bool sliding(std::initializer_list<int> slots);

void menu_tick(); // 70 Hz while a front-end screen is shown

// Draws one front-end frame into back_buffer and presents it.
void draw_menu_screen(BITMAP *background, BITMAP *logo_a, BITMAP *logo_b);
// The frame's legend in the bottom corners: the version and the menu keys.
void draw_menu_legend(BITMAP *bb);

} // namespace qv
