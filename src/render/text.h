// Text from the glyph sheet: the large proportional font (three colour
// variants) and the tiny 3x3 font. g.font_variant picks the variant.
#pragma once

#include <allegro.h>

namespace qv {

void draw_text(int x, int y, BITMAP *dest, const char *text);
void draw_small_text(int x, int y, BITMAP *dest, const char *text);
// Width used to centre titles (its own table, not the drawing advances).
int text_width(const char *text);

} // namespace qv
