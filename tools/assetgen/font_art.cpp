// "qv_text.lmp": the large font in three colour variants and the tiny font
// in two. Each large glyph gets a one-pixel dark outline, so text stays
// readable over the busy ground as well as over the panels, and a vertical
// metal shading: light at the cap line, darker toward the baseline.
#include "assetgen.h"
#include "font_glyphs.h"
#include "palette.h"
#include "ui_util.h"

#include <cstring>

namespace assetgen {

namespace {

using namespace ui;

struct LargeStyle {
    int base_y;
    int outline;
    int lightest; // the ramp's top, which the lit edge may not pass
    int body[LARGE_BODY_ROWS]; // colour by body row, top to bottom
};

// Variant 0 silver, 1 ice cyan, 2 warm gold (the selected menu row).
const LargeStyle LARGE_STYLES[] = {
    {0, GREY, GREY + GREY_N - 1, {GREY + 14, GREY + 14, GREY + 13, GREY + 13, GREY + 12, GREY + 12, GREY + 11,
               GREY + 11, GREY + 10, GREY + 9, GREY + 8}},
    {117, CYAN, CYAN + CYAN_N - 1, {CYAN + 13, CYAN + 13, CYAN + 12, CYAN + 11, CYAN + 10, CYAN + 10, CYAN + 9,
                 CYAN + 8, CYAN + 7, CYAN + 6, CYAN + 5}},
    {39, GOLD, GOLD + GOLD_N - 1, {GOLD + 15, GOLD + 15, GOLD + 14, GOLD + 13, GOLD + 12, GOLD + 11, GOLD + 10,
                GOLD + 9, GOLD + 8, GOLD + 7, GOLD + 6}},
};

struct TinyStyle {
    int y;
    int colour;
};
// Variant 1 writes the panel tabs and the title's legend: ice white, to
// stand out on the tab's deep blue.
const TinyStyle TINY_STYLES[] = {{78, GREY + 13}, {82, CYAN + CYAN_N - 1}};

// Splits a '/'-separated shape into rows (at most `max` rows).
int split_rows(const char *shape, char rows[][16], int max) {
    int n = 0, c = 0;
    rows[0][0] = '\0';
    for (const char *p = shape; *p && n < max; ++p) {
        if (*p == '/') {
            rows[n][c] = '\0';
            ++n;
            c = 0;
            if (n < max) rows[n][0] = '\0';
        } else if (c < 15) {
            rows[n][c++] = *p;
        }
    }
    if (n < max) rows[n][c] = '\0';
    return n < max ? n + 1 : max;
}

void draw_large_glyph(BITMAP *sheet, const Glyph &g, const LargeStyle &style) {
    GlyphCell cell{};
    if (!large_cell(g.ch, cell)) return;
    char rows[LARGE_BODY_ROWS][16];
    const int n = split_rows(g.shape, rows, LARGE_BODY_ROWS);
    const char *ptrs[LARGE_BODY_ROWS];
    for (int i = 0; i < n; ++i) ptrs[i] = rows[i];

    Mask m(LARGE_CELL_W, LARGE_CELL_H);
    mask_from_rows(m, 1, 1, ptrs, n);
    const int x0 = cell.x;
    const int y0 = style.base_y + LARGE_CELL_H * cell.row;
    for (int y = 0; y < LARGE_CELL_H; ++y)
        for (int x = 0; x < LARGE_CELL_W; ++x) {
            if (outline_at(m, x, y)) {
                putpixel(sheet, x0 + x, y0 + y, style.outline);
            } else if (m.at(x, y)) {
                const int r = clampi(y - 1, 0, LARGE_BODY_ROWS - 1);
                int c = style.body[r];
                // A lit top edge and a shaded lower edge on every stroke.
                if (!m.at(x, y - 1)) c = c < style.lightest ? c + 1 : c;
                else if (!m.at(x, y + 1)) c -= 1;
                putpixel(sheet, x0 + x, y0 + y, c);
            }
        }
}

void draw_tiny_glyph(BITMAP *sheet, const Glyph &g, const TinyStyle &style) {
    const int x = tiny_cell_x(g.ch);
    if (x < 0) return;
    char rows[TINY_W][16];
    const int n = split_rows(g.shape, rows, TINY_W);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < TINY_W && rows[r][c]; ++c)
            if (rows[r][c] == '#') putpixel(sheet, x + c, style.y + r, style.colour);
}

} // namespace

BITMAP *make_font_sheet(PALETTE pal) {
    make_master_palette(pal);
    BITMAP *sheet = new_sheet(320, 200);
    for (const LargeStyle &style : LARGE_STYLES)
        for (int i = 0; i < LARGE_GLYPH_COUNT; ++i) draw_large_glyph(sheet, LARGE_GLYPHS[i], style);
    for (const TinyStyle &style : TINY_STYLES)
        for (int i = 0; i < TINY_GLYPH_COUNT; ++i) draw_tiny_glyph(sheet, TINY_GLYPHS[i], style);
    return sheet;
}

} // namespace assetgen
