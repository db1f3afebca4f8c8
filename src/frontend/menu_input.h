// The pieces every front-end screen is built from: panel set-up, the
// accept/cancel and cursor latches, waiting for slides, screen entry/exit.
#pragma once

#include "core/game_state.h"

#include <initializer_list>

namespace qv {

// The speed of the fades into and out of every screen.
inline constexpr int FADE_SPEED = 5;

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

// Fills a panel slot and makes it active (takes the sim lock).
void set_panel(int slot, const PanelSetup &setup);
// A slide (takes the sim lock).
void slide(int slot, int direction, int steps, int speed);
// Panel fields read or written from a screen loop (take the sim lock).
int panel_cursor(int slot);
void set_panel_caption(int slot, int caption);
void set_panel_active(int slot, bool active);

enum SlideDirection { SLIDE_UP = 0, SLIDE_RIGHT = 2, SLIDE_DOWN = 4, SLIDE_LEFT = 6 };

// Where a front-end screen draws: background and the two logo views.
struct Backdrop {
    BITMAP *background;
    BITMAP *logo_a;
    BITMAP *logo_b;
};

void draw_backdrop(const Backdrop &b);

// Draws frames without reading input until the panels' slides are over.
void wait_slides(const Backdrop &b, std::initializer_list<int> slots);

enum class MenuEvent { None, Accept, Cancel };

// True while the gamepad's Start button is held (takes the sim lock).
bool start_held();

// The accept/cancel latch: a choice is taken on release, never on press.
// The gamepad's Start button accepts too.
class ChoiceLatch {
  public:
    explicit ChoiceLatch(bool cancellable) : cancellable_(cancellable) {}
    MenuEvent step();
    // The last accept came from Start.
    bool by_start() const { return by_start_; }

  private:
    enum class State { Idle, ArmedAccept, ArmedStart, ArmedCancel } state_ = State::Idle;
    bool cancellable_;
    bool by_start_ = false;
    std::uint32_t window_keys_at_arming_ = 0;
};

// The cursor latch: a tap moves one row on release; a held direction
// repeats at the pace menu_tick sets.
class CursorLatch {
  public:
    CursorLatch(bool repeat, bool sounds) : repeat_(repeat), sounds_(sounds) {}
    // Moves the cursor of `slot` (0..item_count-1, no wrap-around).
    void step(int slot);

  private:
    int latched_ = 0; // -1 up, +1 down
    bool repeat_;
    bool sounds_;
};

// What one pass of a menu's input gives: the event and, with an accept,
// the row chosen.
struct MenuInput {
    MenuEvent event = MenuEvent::None;
    int row = -1;
    bool by_start = false; // the accept came from the gamepad's Start
};

// Every menu's input, in one order: the accept/cancel latch, then the
// cursor of the list in `slot`. The row an accept chooses is the one under
// the cursor as the accept comes; a direction let go in the same pass (or a
// key repeat falling due then) moves the cursor only after it.
class MenuControls {
  public:
    MenuControls(int slot, bool cancellable, bool repeat = true, bool sounds = true)
        : slot_(slot), choice_(cancellable), cursor_(repeat, sounds) {}
    MenuInput step();
    int slot() const { return slot_; }

  private:
    int slot_;
    ChoiceLatch choice_;
    CursorLatch cursor_;
};

// The title, stage-complete and game-end screens own the logo views and
// menu_tick; the screens they open borrow them.
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
