#include "palette.h"

namespace assetgen {

void ramp(PALETTE pal, int first, int n, RGB a, RGB b) {
    for (int i = 0; i < n; ++i) {
        const double t = n > 1 ? static_cast<double>(i) / (n - 1) : 0.0;
        pal[first + i].r = static_cast<unsigned char>(a.r + (b.r - a.r) * t + 0.5);
        pal[first + i].g = static_cast<unsigned char>(a.g + (b.g - a.g) * t + 0.5);
        pal[first + i].b = static_cast<unsigned char>(a.b + (b.b - a.b) * t + 0.5);
        pal[first + i].filler = 0;
    }
}

static void set(PALETTE pal, int i, int r, int g, int b) {
    pal[i] = RGB{static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                 static_cast<unsigned char>(b), 0};
}

void make_master_palette(PALETTE pal) {
    for (int i = 0; i < 256; ++i) set(pal, i, 0, 0, 0);
    ramp(pal, GREY, GREY_N, RGB{4, 4, 5, 0}, RGB{63, 63, 63, 0});
    // Armour tube: 17 highlight, 19 body, 21 rim.
    ramp(pal, ARMOUR, 8, RGB{44, 63, 40, 0}, RGB{2, 14, 4, 0});
    ramp(pal, STEEL, STEEL_N, RGB{3, 5, 10, 0}, RGB{50, 56, 63, 0});
    // Fire runs dark red, red, orange, yellow, near white.
    ramp(pal, FIRE, 6, RGB{14, 1, 0, 0}, RGB{63, 14, 2, 0});
    ramp(pal, FIRE + 6, 6, RGB{63, 20, 2, 0}, RGB{63, 50, 8, 0});
    ramp(pal, FIRE + 12, 4, RGB{63, 56, 20, 0}, RGB{63, 63, 52, 0});
    ramp(pal, GOLD, GOLD_N, RGB{12, 7, 1, 0}, RGB{63, 58, 34, 0});
    ramp(pal, VIOLET, VIOLET_N, RGB{8, 1, 14, 0}, RGB{60, 40, 63, 0});
    set(pal, ACCENT_A, 20, 63, 24);
    set(pal, ACCENT_B, 24, 60, 63);
    // Rating bars, best to worst.
    set(pal, 90, 12, 58, 16);
    set(pal, 91, 38, 60, 10);
    set(pal, 92, 62, 58, 10);
    set(pal, 93, 63, 36, 6);
    set(pal, 94, 60, 10, 8);
    set(pal, RADAR_BLIP_EDGE, 40, 4, 4);
    set(pal, TAB_LINE, 40, 52, 63);
    set(pal, 97, 20, 28, 40);
    // Heat tube: 98 highlight, 100 body, 102 rim.
    ramp(pal, HEAT, 6, RGB{63, 60, 36, 0}, RGB{30, 3, 0, 0});
    // Panel metal: 104 frame shadow .. 111; 127 frame light.
    ramp(pal, PANEL_DARK, 8, RGB{6, 8, 14, 0}, RGB{36, 42, 54, 0});
    // Deep enough under the tab's ice-white text (the tiny font's second
    // colour) for better than 4.5:1.
    set(pal, TAB_FILL, 12, 20, 36);
    ramp(pal, CYAN, CYAN_N, RGB{0, 8, 12, 0}, RGB{52, 63, 63, 0});
    set(pal, PANEL_LIGHT, 56, 60, 63);
}

} // namespace assetgen
