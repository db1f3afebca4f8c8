#include "frontend/front_end_screen.h"

#include "assets/graphics.h"
#include "core/game_state.h"
#include "core/sim_lock.h"
#include "frontend/menu_engine.h"
#include "input/input.h"
#include "platform/platform.h"

namespace qv {

namespace {
constexpr int LOGO_W = 298;
constexpr int LOGO_H = 37;
constexpr int LOGO_B_Y = 42;
} // namespace

void draw_backdrop(const Backdrop &b) { draw_menu_screen(b.background, b.logo_a, b.logo_b); }

void wait_slides(const Backdrop &b, std::initializer_list<int> slots) {
    while (sliding(slots) && !close_requested()) draw_backdrop(b);
}

FrontEndScreen::FrontEndScreen() {
    backdrop_.background = g.title_sheet;
    backdrop_.logo_a = create_sub_bitmap(g.logos_sheet, 0, 0, LOGO_W, LOGO_H);
    backdrop_.logo_b = create_sub_bitmap(g.logos_sheet, 0, LOGO_B_Y, LOGO_W, LOGO_H);
    use_title_colour_maps();
    SimLock lock;
    g.game_running = 0;
    g.shake_frames = 0;
    scatter_stars();
}

FrontEndScreen::~FrontEndScreen() {
    close();
    destroy_bitmap(backdrop_.logo_a);
    destroy_bitmap(backdrop_.logo_b);
}

void FrontEndScreen::draw() {
    draw_backdrop(backdrop_);
    if (!shown_) {
        shown_ = true;
        platform::fade_in(g.title_palette, FADE_SPEED);
        platform::install_menu_tick(menu_tick);
    }
}

void FrontEndScreen::close() {
    if (shown_ && !closed_) platform::remove_menu_tick(menu_tick);
    closed_ = true;
}

} // namespace qv
