// The glyph sheet's two fonts. Cells are masked-copied, so colour 0 of the
// sheet is transparent and the sheet's own colours are the text colours.
#include "render/text.h"

#include "core/game_state.h"

#include <cctype>

namespace qv {

namespace {

// ---- large proportional font: 10x13 cells, three rows per colour variant ----
constexpr int LARGE_W = 10;
constexpr int LARGE_H = 13;
constexpr int VARIANT_COUNT = 3;
// Top of the upper-case row of each variant; lower case and figures follow
// one and two cell heights below.
constexpr int VARIANT_BASE[VARIANT_COUNT] = {0, 117, 39};
enum CellRow { ROW_UPPER = 0, ROW_LOWER = 1, ROW_FIGURES = 2 };
// The apostrophe has no cell: it is the comma drawn this much higher.
constexpr int APOSTROPHE_RAISE = 8;

struct CellAt {
    char c;
    int x;
};
constexpr CellAt LOWER_EXTRAS[] = {{'$', 310}};
constexpr CellAt FIGURE_CELLS[] = {
    {'1', 0},   {'2', 10},  {'3', 20},  {'4', 30},  {'5', 40},  {'6', 50},  {'7', 60},  {'8', 70},
    {'9', 80},  {'0', 90},  {'.', 100}, {'!', 110}, {'?', 120}, {'*', 130}, {'[', 140}, {']', 150},
    {'(', 160}, {')', 170}, {'+', 180}, {'`', 190}, {',', 200}, {':', 210}, {'/', 220}, {'{', 230},
    {'|', 240}, {'^', 260}, {'<', 290}, {'>', 300}, {'%', 310},
};

// Pixels the pen moves after a character. Glyphs not listed move
// GLYPH_ADVANCE, characters without a glyph (space included) NO_GLYPH_ADVANCE.
struct AdvanceGroup {
    int advance;
    const char *chars;
};
constexpr int GLYPH_ADVANCE = 8;
constexpr int NO_GLYPH_ADVANCE = 6;
constexpr AdvanceGroup DRAW_ADVANCES[] = {
    {4, "i'"}, {5, "Il["}, {6, "t"}, {7, "1EFLcfrs"}, {9, "023456789KMN<>^{|"}, {10, "Wmw"},
};

// text_width's own table, used to centre titles; every other character,
// the space included, counts WIDTH_DEFAULT.
constexpr int WIDTH_DEFAULT = 8;
constexpr AdvanceGroup WIDTHS[] = {
    {4, "i"}, {5, "Il"}, {6, "t"}, {7, "1EFLcfrs"}, {9, "023456789KMN"}, {10, "Wmw"},
};

struct LargeGlyph {
    bool drawn;
    int row; // CellRow
    int x;
    int dy; // vertical offset of the copy
    int advance;
    int width; // text_width's count
};

struct LargeFont {
    LargeGlyph glyph[256];
};

constexpr LargeFont make_large_font() {
    LargeFont f{};
    for (int c = 'A'; c <= 'Z'; ++c)
        f.glyph[c] = {true, ROW_UPPER, LARGE_W * (c - 'A'), 0, 0, 0};
    for (int c = 'a'; c <= 'z'; ++c)
        f.glyph[c] = {true, ROW_LOWER, LARGE_W * (c - 'a'), 0, 0, 0};
    for (const CellAt &e : LOWER_EXTRAS)
        f.glyph[static_cast<unsigned char>(e.c)] = {true, ROW_LOWER, e.x, 0, 0, 0};
    for (const CellAt &e : FIGURE_CELLS)
        f.glyph[static_cast<unsigned char>(e.c)] = {true, ROW_FIGURES, e.x, 0, 0, 0};
    LargeGlyph apostrophe = f.glyph[static_cast<unsigned char>(',')];
    apostrophe.dy = -APOSTROPHE_RAISE;
    f.glyph[static_cast<unsigned char>('\'')] = apostrophe;

    for (LargeGlyph &gl : f.glyph) {
        gl.advance = gl.drawn ? GLYPH_ADVANCE : NO_GLYPH_ADVANCE;
        gl.width = WIDTH_DEFAULT;
    }
    for (const AdvanceGroup &grp : DRAW_ADVANCES)
        for (const char *p = grp.chars; *p; ++p)
            f.glyph[static_cast<unsigned char>(*p)].advance = grp.advance;
    for (const AdvanceGroup &grp : WIDTHS)
        for (const char *p = grp.chars; *p; ++p)
            f.glyph[static_cast<unsigned char>(*p)].width = grp.advance;
    return f;
}
constexpr LargeFont LARGE = make_large_font();

// ---- tiny font: 3x3 capitals and digits on one row, fixed 4 px advance ----
constexpr int SMALL_SIZE = 3;
constexpr int SMALL_ADVANCE = 4;
constexpr int SMALL_ROW_Y = 78;
constexpr int SMALL_ALT_ROW_Y = 82; // font_variant 1
constexpr int SMALL_LETTERS_X = 40;
constexpr int SMALL_DIGITS_X = 148;
constexpr CellAt SMALL_EXTRAS[] = {{'%', 192}, {'.', 196}, {':', 200}};

struct SmallFont {
    int x[256]; // -1: no glyph
};

constexpr SmallFont make_small_font() {
    SmallFont f{};
    for (int &x : f.x)
        x = -1;
    for (int c = 'A'; c <= 'Z'; ++c)
        f.x[c] = SMALL_LETTERS_X + SMALL_ADVANCE * (c - 'A');
    for (int c = '0'; c <= '9'; ++c)
        f.x[c] = SMALL_DIGITS_X + SMALL_ADVANCE * (c - '0');
    for (const CellAt &e : SMALL_EXTRAS)
        f.x[static_cast<unsigned char>(e.c)] = e.x;
    return f;
}
constexpr SmallFont SMALL = make_small_font();

// No caller sets a variant outside 0..2; treat any other as the normal one.
int variant() {
    const int v = g.font_variant;
    return (v >= 0 && v < VARIANT_COUNT) ? v : 0;
}

} // namespace

void draw_text(int x, int y, BITMAP *dest, const char *text) {
    if (!text || !dest || !g.font_sheet)
        return;
    const int base = VARIANT_BASE[variant()];
    for (const char *p = text; *p; ++p) {
        const LargeGlyph &gl = LARGE.glyph[static_cast<unsigned char>(*p)];
        if (gl.drawn)
            masked_blit(g.font_sheet, dest, gl.x, base + gl.row * LARGE_H, x, y + gl.dy, LARGE_W,
                        LARGE_H);
        x += gl.advance;
    }
}

void draw_small_text(int x, int y, BITMAP *dest, const char *text) {
    if (!text || !dest || !g.font_sheet)
        return;
    const int row_y = variant() == 1 ? SMALL_ALT_ROW_Y : SMALL_ROW_Y;
    for (const char *p = text; *p; ++p) {
        const int c = std::toupper(static_cast<unsigned char>(*p));
        const int sx = SMALL.x[c & 0xFF];
        if (sx >= 0)
            masked_blit(g.font_sheet, dest, sx, row_y, x, y, SMALL_SIZE, SMALL_SIZE);
        x += SMALL_ADVANCE;
    }
}

int text_width(const char *text) {
    // The first character is counted before the end is tested, so the empty
    // string measures as its terminator: one default-width character.
    if (!text || !*text)
        return WIDTH_DEFAULT;
    int w = 0;
    for (const char *p = text; *p; ++p)
        w += LARGE.glyph[static_cast<unsigned char>(*p)].width;
    return w;
}

} // namespace qv
