// The asset generator's pieces. Every picture is drawn by code here, with
// fixed seeds, so the same source always gives byte-identical data.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <vector>

namespace assetgen {

// ---- interface pictures (ui_art.cpp, font_art.cpp, title_art.cpp) ----
// Each returns a new 320x200 bitmap and fills `pal` with its palette.
BITMAP *make_tex40_sheet(PALETTE pal);  // "40_x_tex.lmp": panel texture
BITMAP *make_tex32_sheet(PALETTE pal);  // "32_x_tex.lmp": cursor bar and glow tiles
BITMAP *make_font_sheet(PALETTE pal);   // "qv_text.lmp": both fonts
BITMAP *make_hud_sheet(PALETTE pal);    // "hud.lmp": instruments; its palette is the master
BITMAP *make_stages_sheet(PALETTE pal); // "stages.lmp": emblems and banners
BITMAP *make_logos_sheet(PALETTE pal);  // "logos.lmp": the two logo pictures
BITMAP *make_title_sheet(PALETTE pal);  // "title.lmp": the menu background

// ---- world pictures (world_art.cpp, ground_art.cpp) ----
BITMAP *make_enemy_sheet(PALETTE pal);   // "enemy_1.lmp"
BITMAP *make_shadow_sheet(PALETTE pal);  // "shadow_1.lmp"
BITMAP *make_suits_sheet(PALETTE pal);   // "suits.lmp": player ships, flames, shadow, backdrop
BITMAP *make_ships_sheet(PALETTE pal);   // "ships.lmp": spark pictures in row 3
BITMAP *make_gunfire_sheet(PALETTE pal); // "gunfire.lmp": projectiles
// The desktop icon's craft: the first ship rendered at size x size,
// index 0 where it does not cover.
BITMAP *make_ship_icon(int size, PALETTE pal);
// A 512x512 ground for stage 0..5 (archive "1".."6"), indices 128..255 only.
BITMAP *make_ground(int stage, PALETTE pal);
// A 320x200 cloud picture for archive 100, 101, 200, 201, 300 or 301:
// light levels (255 = no shade) in its top-left 256x128.
BITMAP *make_clouds(int archive, PALETTE pal);

// ---- sounds (sound_art.cpp) ----
inline constexpr int SAMPLE_RATE = 22050;
// The 16-bit mono samples of sound `number`, normalised, under 1.5 s.
std::vector<std::int16_t> make_sound(int number);
// A complete WAV file (16-bit signed mono PCM, 22050 Hz) of the samples.
std::vector<std::uint8_t> wav_file(const std::vector<std::int16_t> &samples);

} // namespace assetgen
