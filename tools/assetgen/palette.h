// The palette plan every generated picture follows.
//
// Colours 0..127 are one master palette, shared by every sheet drawn in
// flight or in the menus (it is stored as the palette of "hud.lmp", and the
// game copies it into entries 0..127 at every stage start). Entries 128..255
// belong to each picture on its own: a stage ground's 128-colour ramp, or
// the title picture's sky. Colour 0 is transparent wherever a picture is
// drawn masked. Allegro palettes use 6-bit levels (0..63).
#pragma once

#include <allegro.h>

namespace assetgen {

// ---- ranges of the master palette ----
inline constexpr int TRANSPARENT = 0;
inline constexpr int GREY = 1;        // 1..15 neutral grey, dark to white
inline constexpr int GREY_N = 15;
inline constexpr int ARMOUR = 16;     // 16..23 green, 16 brightest .. 23 darkest
inline constexpr int STEEL = 24;      // 24..39 cool steel blue, dark to light
inline constexpr int STEEL_N = 16;
inline constexpr int FIRE = 40;       // 40..55 red to orange to yellow-white
inline constexpr int FIRE_N = 16;
inline constexpr int GOLD = 56;       // 56..71 dark bronze to pale gold
inline constexpr int GOLD_N = 16;
inline constexpr int VIOLET = 72;     // 72..87 deep purple to pink-lilac
inline constexpr int VIOLET_N = 16;
inline constexpr int RATING_BEST = 90; // 90 green, 91 lime, 92 yellow, 93 orange, 94 red
inline constexpr int RADAR_BLIP = 93;  // blip centre
inline constexpr int RADAR_BLIP_EDGE = 95;
inline constexpr int TAB_LINE = 96;
inline constexpr int HEAT = 98;        // 98 hottest white-yellow .. 103 dark red
inline constexpr int PANEL_DARK = 104; // 104..111 panel metal, dark to light
inline constexpr int PANEL_MID = 108;
inline constexpr int TAB_FILL = 112;
inline constexpr int CYAN = 113;       // 113..126 deep teal to ice white
inline constexpr int CYAN_N = 14;
inline constexpr int PANEL_LIGHT = 127;
inline constexpr int ACCENT_A = 88;    // bright green accent
inline constexpr int ACCENT_B = 89;    // bright cyan accent
inline constexpr int WHITE = 15;

// ---- the title picture's own entries ----
inline constexpr int TITLE_STAR_SLOW = 132; // dim star
inline constexpr int TITLE_STAR_FAST = 136; // bright star
inline constexpr int TITLE_SKY = 140;       // 140..255 sky, nebula and planet ramps

// Fills entries 0..127 with the master palette; 128..255 are set to black.
void make_master_palette(PALETTE pal);

// Linear ramp of n entries from colour a to colour b (6-bit levels).
void ramp(PALETTE pal, int first, int n, RGB a, RGB b);

// The index in [first, first + n) whose brightness step is t in 0..1.
inline int ramp_index(int first, int n, double t) {
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    return first + static_cast<int>(t * (n - 1) + 0.5);
}

} // namespace assetgen
