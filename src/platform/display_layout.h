// Where the 320x200 picture goes on the player's screen: a whole-number
// scale (nearest neighbour keeps every pixel sharp), optionally stretched to
// the 4:3 shape it had on the displays it was drawn for, centred on black.
// Pure arithmetic, so it is checked without a display.
#pragma once

namespace qv::platform {

// A window is kept this much smaller than the desktop, leaving room for the
// desktop's panels and the window's title bar.
inline constexpr int DESKTOP_ROOM_W = 32;
inline constexpr int DESKTOP_ROOM_H = 80;
// The 4:3 option shows every 5 rows of the picture as 6.
inline constexpr int ASPECT_ROWS_IN = 5;
inline constexpr int ASPECT_ROWS_OUT = 6;
// What --scale accepts, and the scale used when the desktop size is unknown.
inline constexpr int MIN_SCALE = 1;
inline constexpr int MAX_SCALE = 16;
inline constexpr int FALLBACK_SCALE = 2;

// Height in screen pixels of `rows` picture rows at `scale`.
int shown_height(int rows, int scale, bool aspect);

// The largest scale whose picture fits in w x h, at least MIN_SCALE.
int largest_scale(int w, int h, bool aspect);
// The window's scale on a desktop of w x h (room left for panels and title
// bar); a desktop size of 0 or less means unknown.
int window_scale(int desktop_w, int desktop_h, bool aspect);

struct Layout {
    int screen_w = 0, screen_h = 0; // the window or the full screen
    int x = 0, y = 0;               // top left of the picture
    int scale = 1;
    bool aspect = false;
};

// A window exactly the size of the picture.
Layout window_layout(int scale, bool aspect);
// The whole screen, the largest picture that fits, centred.
Layout fullscreen_layout(int screen_w, int screen_h, bool aspect);

} // namespace qv::platform
