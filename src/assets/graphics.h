// Pictures, palettes and colour maps: the twelve sheets at start-up, the
// title colour maps, and each stage's ground, clouds, palette and light
// tables. Paths are relative to the data folder (set_data_dir, assets/archive.h).
#pragma once

#include <allegro.h>

#include <string>

namespace qv {

// The path of a picture archive of the data folder's "graphics/".
std::string picture_path(const std::string &name);

void load_graphics();       // twelve sheets, suit_shadow, back_buffer, stage_map
void load_colour_tables();  // "table.dat": title_shade_map, title_glow_map
void load_stage_graphics(); // for g.current_stage
void free_graphics();       // destroys every bitmap load_graphics made

// Makes the shade map's full-light row the identity, as it must be before
// any stage has built its light tables.
void reset_light_tables();

// In flight, colours 0..127 are the HUD's and the rest the stage ground's:
// copies red, green and blue of the HUD's 0..127 into `pal`.
void use_hud_colours(RGB *pal, const RGB *hud);

// Copies the title colour maps over shade_map and glow_map (menu screens).
void use_title_colour_maps();

} // namespace qv
