// A front-end screen's frame and lifetime: the backdrop every menu draws
// on, the fade in after its first frame, and menu_tick while it is shown.
#pragma once

#include <allegro.h>

#include <initializer_list>

namespace qv {

// The speed of the fades into and out of every screen.
inline constexpr int FADE_SPEED = 5;

// Where a front-end screen draws: background and the two logo views.
struct Backdrop {
    BITMAP *background;
    BITMAP *logo_a;
    BITMAP *logo_b;
};

void draw_backdrop(const Backdrop &b);

// Draws frames without reading input until the panels' slides are over.
void wait_slides(const Backdrop &b, std::initializer_list<int> slots);

// The title, stage-complete and game-end screens own the logo views and
// menu_tick; the screens they open borrow them. Opening one stops the
// flight and scatters the stars afresh.
class FrontEndScreen {
  public:
    FrontEndScreen();
    ~FrontEndScreen();
    FrontEndScreen(const FrontEndScreen &) = delete;
    FrontEndScreen &operator=(const FrontEndScreen &) = delete;

    const Backdrop &backdrop() const { return backdrop_; }
    // Draws a frame; after the first one, fades in and starts menu_tick.
    void draw();
    // Stops menu_tick (before fading out).
    void close();

  private:
    Backdrop backdrop_;
    bool shown_ = false;
    bool closed_ = false;
};

} // namespace qv
