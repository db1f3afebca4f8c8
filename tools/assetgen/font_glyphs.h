// The shapes of the game's two fonts, as pixel art. The large font's shapes
// are the letter body only; outline and shading are added when drawn.
#pragma once

namespace assetgen::ui {

// Rows separated by '/', '#' set, '.' empty; row 0 is the cap line, row 8 the
// baseline, rows 9..10 take descenders.
struct Glyph {
    char ch;
    const char *shape;
};

// Where a large-font glyph sits within one colour variant's three rows.
struct GlyphCell {
    int row; // 0 upper case, 1 lower case, 2 figures
    int x;
};

inline constexpr int LARGE_CELL_W = 10;
inline constexpr int LARGE_CELL_H = 13;
inline constexpr int LARGE_BODY_ROWS = 11;

extern const Glyph LARGE_GLYPHS[];
extern const int LARGE_GLYPH_COUNT;

// False for characters that have no cell.
bool large_cell(char ch, GlyphCell &cell);

// The tiny 3x3 font: rows separated by '/'.
inline constexpr int TINY_W = 3;
extern const Glyph TINY_GLYPHS[];
extern const int TINY_GLYPH_COUNT;
// x of the tiny glyph on its row, or -1.
int tiny_cell_x(char ch);

} // namespace assetgen::ui
