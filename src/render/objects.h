// World objects on the ground: projection, depth order, sprites, shadows,
// glow and shade discs, damage sparks, and the player's ship.
#pragma once

#include "core/game_state.h"

namespace qv {

void project_objects();
// Puts an entry (ground row, slot) for every active slot at the front of
// g.draw_list, in slot order, and sets g.draw_count.
void build_draw_list();
// Sorts the filled entries far to near: ascending ground row, equal rows by
// slot number. Returns the comparisons it made (the tests and the benchmark
// watch the worst case).
int sort_draw_list();
void draw_objects();
void draw_glow_disc(int slot, BITMAP *dest, ViewParams view);
void draw_shade_disc(int slot, BITMAP *dest, ViewParams view);
void draw_damage_sparks(int slot, BITMAP *dest);
void draw_player_ship();

// Restarts the damage sparks' own random sequence (start-up; tests).
void seed_sparks(unsigned seed);

// Puts `sprite` at (x, y) of `dest` through a colour map: each pixel p under
// a sprite pixel t becomes map[t][p]; sprite pixels of colour 0 are skipped.
// (Allegro 4.4's 8-bit draw_trans_sprite maps colour 0 as well.)
void draw_mapped_sprite(BITMAP *dest, BITMAP *sprite, int x, int y, const COLOR_MAP &map);
// The same for the rectangle `part` of `sprite` only, the sprite's top left
// corner still at (x, y).
struct SpritePart {
    int x, y, w, h;
};
void draw_mapped_part(BITMAP *dest, BITMAP *sprite, const SpritePart &part, int x, int y,
                      const COLOR_MAP &map);

} // namespace qv
