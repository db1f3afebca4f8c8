// Light tables: the shade map (toward black) and the glow map (toward
// white) of a palette, and the files that hold them. Computing a pair means
// searching the palette for each of 131,072 entries, some 30 ms, so the
// generator computes them once per palette (the title's, and each stage's)
// and the game reads them.
#pragma once

#include <allegro.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// Light level 255 of the shade map leaves every colour as it is: clouds
// and smoke at full strength must not tint the ground.
inline constexpr int FULL_LIGHT = 255;
void keep_colours_at_full_light(COLOR_MAP &shade);

// Allegro's create_light_table for `pal` toward black and toward white,
// with its exact palette search whatever rgb_map is set; the shade map's
// full-light row is then made the identity, as the game uses it.
void compute_light_tables(const RGB *pal, COLOR_MAP &shade, COLOR_MAP &glow);

// The two maps as the files hold them: for level L and colour C, at pair
// 256 L + C, the shade map's byte, then the glow map's. "table.dat" (the
// title's) is exactly this.
inline constexpr long LIGHT_TABLE_PAIR_BYTES = 2L * PAL_SIZE * PAL_SIZE;
std::vector<std::uint8_t> light_table_pair_bytes(const COLOR_MAP &shade, const COLOR_MAP &glow);
void light_tables_from_pair_bytes(const std::uint8_t *bytes, COLOR_MAP &shade, COLOR_MAP &glow);

// A stage's light tables: the palette they were computed for (red, green,
// blue of each colour, 0..63), then the pairs above. Named after the
// stage's ground archive, whose palette they follow: "light_1.dat"...
inline constexpr long PALETTE_BYTES = 3L * PAL_SIZE;
inline constexpr long STAGE_LIGHT_FILE_SIZE = PALETTE_BYTES + LIGHT_TABLE_PAIR_BYTES;
std::string stage_light_file(int stage);
std::vector<std::uint8_t> stage_light_bytes(const RGB *pal, const COLOR_MAP &shade,
                                            const COLOR_MAP &glow);
// Fills the maps from the file when it was made for exactly this palette;
// false, maps untouched, when it is missing, of another size, or made for
// other colours.
bool read_stage_light_file(const std::string &path, const RGB *pal, COLOR_MAP &shade,
                           COLOR_MAP &glow);

} // namespace qv
