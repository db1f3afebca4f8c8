// Menu windows: the textured body, the bevelled frame with its tab, the
// trim and scan line, the cursor bar and the list rows, and the dispatch
// over the panel kinds.
#include "render/panels.h"

#include "core/sim_lock.h"
#include "input/input.h"
#include "render/objects.h"
#include "render/panel_parts.h"
#include "render/text.h"

#include <algorithm>

namespace qv {

namespace panel {

namespace {

// ---- body ----
constexpr int BODY_INSET = 3; // (X+3, Y+3)-(R-6, B-6)
constexpr int BODY_FAR_INSET = 6;
constexpr int BODY_TILE = 64;        // pattern window on tex40_sheet
constexpr int BODY_ROW_STRIDE = 128; // texture_row steps across the sheet

// ---- frame: a bevel with cut corners in three shades ----
constexpr int FRAME_COLOURS[3] = {104, 108, 127};
enum Shade { C0, C1, C2 };
enum Edge { EDGE_X, EDGE_R, EDGE_Y, EDGE_B };
struct At {
    Edge edge;
    int off;
};
// clang-format off
constexpr At X(int n) { return {EDGE_X, n}; }
constexpr At R(int n) { return {EDGE_R, n}; }
constexpr At Y(int n) { return {EDGE_Y, n}; }
constexpr At B(int n) { return {EDGE_B, n}; }
// clang-format on
enum PrimKind { HLINE, VLINE, PIXEL };
// HLINE (x1, y, x2); VLINE (x, y1, y2); PIXEL (x, y).
struct Prim {
    PrimKind kind;
    At a, b, c;
    Shade shade;
};
// clang-format off
constexpr Prim FRAME_PRIMS[] = {
    {HLINE, X(3), Y(0), R(-6), C0},  {HLINE, X(3), B(-3), R(-6), C0},
    {HLINE, X(4), Y(1), R(-7), C1},  {HLINE, X(4), B(-4), R(-7), C1},
    {HLINE, X(4), Y(2), R(-7), C2},  {HLINE, X(4), B(-5), R(-7), C2},
    {VLINE, X(0), Y(4), B(-7), C0},  {VLINE, R(-3), Y(4), B(-7), C0},
    {VLINE, X(1), Y(4), B(-7), C1},  {VLINE, R(-4), Y(4), B(-7), C1},
    {VLINE, X(2), Y(4), B(-7), C2},  {VLINE, R(-5), Y(4), B(-7), C2},
    // corner steps
    {HLINE, X(2), Y(1), X(3), C0},   {HLINE, X(1), Y(2), X(2), C0},
    {HLINE, X(0), Y(3), X(1), C0},   {HLINE, R(-6), Y(1), R(-5), C0},
    {HLINE, R(-5), Y(2), R(-4), C0}, {HLINE, R(-4), Y(3), R(-3), C0},
    {HLINE, X(0), B(-6), X(1), C0},  {HLINE, X(1), B(-5), X(2), C0},
    {HLINE, X(2), B(-4), X(3), C0},  {HLINE, R(-4), B(-6), R(-3), C0},
    {HLINE, R(-5), B(-5), R(-4), C0}, {HLINE, R(-6), B(-4), R(-5), C0},
    // corner pixels
    {PIXEL, X(3), Y(2), {}, C1},     {PIXEL, X(2), Y(3), {}, C1},
    {PIXEL, R(-6), B(-5), {}, C1},   {PIXEL, R(-5), B(-6), {}, C1},
    {PIXEL, X(3), B(-5), {}, C1},    {PIXEL, X(2), B(-6), {}, C1},
    {PIXEL, R(-6), Y(2), {}, C1},    {PIXEL, R(-5), Y(3), {}, C1},
    {PIXEL, X(3), Y(3), {}, C2},     {PIXEL, R(-6), B(-6), {}, C2},
    {PIXEL, X(3), B(-6), {}, C2},    {PIXEL, R(-6), Y(3), {}, C2},
};
// clang-format on

int resolve(const Box &bx, At at) {
    switch (at.edge) {
    case EDGE_X:
        return bx.x + at.off;
    case EDGE_R:
        return bx.r + at.off;
    case EDGE_Y:
        return bx.y + at.off;
    case EDGE_B:
        return bx.b + at.off;
    }
    return 0;
}

// ---- tab on the top edge ----
constexpr int TAB_CHAR_W = 4;
constexpr int TAB_PAD = 2;
constexpr int TAB_END_SRC_X = 0, TAB_END_SRC_Y = 131, TAB_END_SIZE = 5;
constexpr int TAB_FILL = 112;
constexpr int TAB_EDGE = 96;

// ---- trim: masked pieces of hud_sheet, relative to the corners ----
struct TrimPiece {
    int src_x, src_y, w, h;
    At dx, dy;
};
constexpr TrimPiece TRIM_PIECES[] = {
    {0, 123, 9, 3, X(8), Y(0)},
    {0, 127, 9, 3, R(-18), B(-5)},
    {12, 123, 6, 16, X(-4), B(-18)},
    {19, 123, 6, 27, R(-4), Y(0)},
};
constexpr int TRIM_DOT = 112;
constexpr int SCAN_LEVEL = 232;

// ---- cursor bar ----
constexpr int ROW_PITCH = 14;
constexpr int BAR_TOP = 4;          // T = Y + 4 + 14c
constexpr int BAR_BOTTOM = 17;      // Y + 17 + 14c
constexpr int BAR_RIGHT_INSET = 6;  // X + w - 6
constexpr int BAR_GLOW_W_INSET = 8; // overlay is (w - 8) x 14
constexpr int BAR_GLOW_H = 14;
constexpr int BAR_TILE = 32;
constexpr int BAR_TILE_SRC_X = 0;  // tex32_sheet (0, 0): the bar itself
constexpr int BAR_GLOW_SRC_X = 32; // tex32_sheet (32, 0): its shimmer
constexpr int BAR_LIT_LEVEL = 232;
constexpr int BAR_SHADE_LEVEL = 208;

// ---- rows ----
constexpr int ITEM_TEXT_DX = 8, ITEM_TEXT_DY = 6;
constexpr int TOGGLE_ON_SRC_X = 26, TOGGLE_OFF_SRC_X = 40, TOGGLE_SRC_Y = 123;
constexpr int TOGGLE_W = 13, TOGGLE_H = 11;
constexpr int TOGGLE_DX = -20, TOGGLE_DY = 5;
// The binding column sits at x + 126 of the Controls panel, clear of the
// longest action name ("Strafe / Cancel").
constexpr int BINDING_DX = 126 - CONTROLS_PANEL_W, GAMEPAD_DY = 5, BINDING_DY = 19;

void fill_with_pattern(BITMAP *dest, BITMAP *pattern, int ax, int ay, int x1, int y1, int x2,
                       int y2) {
    drawing_mode(DRAW_MODE_COPY_PATTERN, pattern, ax, ay);
    rectfill(dest, x1, y1, x2, y2, 0);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
}

} // namespace

Box box_of(const MenuPanels &p, int s) {
    const int x = p.x[s], y = p.y[s], w = p.width[s], h = p.height[s];
    return {x, y, x + w, y + h, w, h};
}

void draw_panel_body(const MenuPanels &p, int s) {
    const Box bx = box_of(p, s);
    // The window follows the panel's position, so a sliding panel carries
    // its texture with it. Rows the sheet has no room for fall back to row 0.
    int row = p.texture_row[s];
    if (row < 0 || BODY_ROW_STRIDE * row + 2 * BODY_TILE > g.tex40_sheet->w)
        row = 0;
    const int sx = BODY_ROW_STRIDE * row + (BODY_TILE - 1) - (bx.x & (BODY_TILE - 1));
    const int sy = (BODY_TILE - 1) - (bx.y & (BODY_TILE - 1));
    BITMAP *window = create_sub_bitmap(g.tex40_sheet, sx, sy, BODY_TILE, BODY_TILE);
    if (!window)
        return;
    fill_with_pattern(g.back_buffer, window, 0, 0, bx.x + BODY_INSET, bx.y + BODY_INSET,
                      bx.r - BODY_FAR_INSET, bx.b - BODY_FAR_INSET);
    destroy_bitmap(window);
}

void draw_panel_frame(const MenuPanels &p, int s) {
    BITMAP *bb = g.back_buffer;
    const Box bx = box_of(p, s);
    for (const Prim &pr : FRAME_PRIMS) {
        const int colour = FRAME_COLOURS[pr.shade];
        const int a = resolve(bx, pr.a), b = resolve(bx, pr.b);
        switch (pr.kind) {
        case HLINE:
            hline(bb, a, b, resolve(bx, pr.c), colour);
            break;
        case VLINE:
            vline(bb, a, b, resolve(bx, pr.c), colour);
            break;
        case PIXEL:
            putpixel(bb, a, b, colour);
            break;
        }
    }

    const int tab = p.tab_text[s];
    if (tab <= 0 || tab >= TEXT_SLOTS)
        return;
    const auto label = slot_text(g.title_text[tab]);
    const int t = TAB_CHAR_W * static_cast<int>(std::strlen(label.s)) + TAB_PAD;
    masked_blit(g.hud_sheet, bb, TAB_END_SRC_X, TAB_END_SRC_Y, bx.r - 4, bx.y - 3, TAB_END_SIZE,
                TAB_END_SIZE);
    rectfill(bb, bx.r - t - 4, bx.y - 2, bx.r - 4, bx.y - 1, TAB_FILL);
    hline(bb, bx.r - t - 4, bx.y - 3, bx.r - 4, TAB_EDGE);
    putpixel(bb, bx.r - t - 5, bx.y - 2, TAB_EDGE);
    putpixel(bb, bx.r - t - 6, bx.y - 1, TAB_EDGE);
    putpixel(bb, bx.r - t - 5, bx.y - 1, TAB_FILL);
    g.font_variant = 1;
    draw_small_text(bx.r - t - 3, bx.y - 2, bb, label.s);
    g.font_variant = 0;
}

void draw_panel_trim(const MenuPanels &p, int s) {
    BITMAP *bb = g.back_buffer;
    const Box bx = box_of(p, s);
    for (const TrimPiece &t : TRIM_PIECES)
        masked_blit(g.hud_sheet, bb, t.src_x, t.src_y, resolve(bx, t.dx), resolve(bx, t.dy), t.w,
                    t.h);
    putpixel(bb, bx.x + 2, bx.b - 3, TRIM_DOT);
    putpixel(bb, bx.r - 5, bx.y, TRIM_DOT);

    // Drawn whether or not the line is moving; the animation only moves it.
    color_map = &g.glow_map;
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    const int row = bx.y + p.scan_row[s];
    rectfill(bb, bx.x + 3, row, bx.r - 6, row + 1, SCAN_LEVEL);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
}

void draw_cursor_bar(const MenuPanels &p, int s) {
    const int c = p.cursor[s];
    if (c == -1)
        return;
    BITMAP *bb = g.back_buffer;
    const Box bx = box_of(p, s);
    const int w = p.highlight_width[s] != 0 ? p.highlight_width[s] : bx.width;
    const int phase = p.highlight_phase[s];
    const int top = bx.y + BAR_TOP + ROW_PITCH * c;
    const int bottom = bx.y + BAR_BOTTOM + ROW_PITCH * c;
    const int left = bx.x + 3;
    const int right = bx.x + w - BAR_RIGHT_INSET;

    // The bar's texture drifts diagonally as the phase advances.
    if (BITMAP *tile = create_sub_bitmap(g.tex32_sheet, BAR_TILE_SRC_X, 0, BAR_TILE, BAR_TILE)) {
        fill_with_pattern(bb, tile, phase, phase, left, top, right, bottom);
        destroy_bitmap(tile);
    }

    // A shimmer scrolling sideways, added through the glow table.
    const int glow_w = w - BAR_GLOW_W_INSET;
    if (glow_w > 0) {
        BITMAP *glow = create_bitmap_ex(bitmap_color_depth(bb), glow_w, BAR_GLOW_H);
        BITMAP *tile = create_sub_bitmap(g.tex32_sheet, BAR_GLOW_SRC_X, 0, BAR_TILE, BAR_TILE);
        if (glow && tile) {
            fill_with_pattern(glow, tile, phase, 0, 0, 0, glow_w - 1, BAR_GLOW_H - 1);
            // Colour 0 of the shimmer must leave the bar as it is, which
            // Allegro's 8-bit translucent sprite does not do.
            draw_mapped_sprite(bb, glow, left, top, g.glow_map);
        }
        if (tile)
            destroy_bitmap(tile);
        if (glow)
            destroy_bitmap(glow);
    }

    // Lit upper and left edges, shaded lower and right edges.
    color_map = &g.glow_map;
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    hline(bb, left, top, right, BAR_LIT_LEVEL);
    vline(bb, left, top, bottom - 1, BAR_LIT_LEVEL);
    color_map = &g.shade_map;
    hline(bb, left, bottom, right, BAR_SHADE_LEVEL);
    vline(bb, right, top + 1, bottom - 1, BAR_SHADE_LEVEL);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
}

void draw_item_texts(const MenuPanels &p, int s) {
    const Box bx = box_of(p, s);
    const int count = std::min<int>(p.item_count[s], PANEL_ITEMS);
    for (int i = 0; i < count; ++i) {
        g.font_variant = i == p.cursor[s] ? 2 : 0;
        const int item = p.items[s][i];
        if (item < 0 || item >= TEXT_SLOTS)
            continue;
        const auto text = slot_text(g.item_text[item]);
        if (text.s[0])
            draw_text(bx.x + ITEM_TEXT_DX, bx.y + ITEM_TEXT_DY + ROW_PITCH * i, g.back_buffer,
                      text.s);
    }
    g.font_variant = 0;
}

void draw_toggle_icons(const MenuPanels &p, int s) {
    const Box bx = box_of(p, s);
    // Rows past the detail settings have no setting to show.
    const int count = std::min<int>({p.item_count[s], PANEL_ITEMS, DETAIL_COUNT});
    for (int i = 0; i < count; ++i)
        masked_blit(g.hud_sheet, g.back_buffer, g.detail[i] ? TOGGLE_ON_SRC_X : TOGGLE_OFF_SRC_X,
                    TOGGLE_SRC_Y, bx.r + TOGGLE_DX, bx.y + TOGGLE_DY + ROW_PITCH * i, TOGGLE_W,
                    TOGGLE_H);
}

void draw_binding_names(const MenuPanels &p, int s) {
    BITMAP *bb = g.back_buffer;
    const Box bx = box_of(p, s);
    const bool pad = g.joystick_enabled != 0;
    bool found;
    {
        SimLock lock; // the timer thread polls the pad
        found = pad_present();
    }
    g.font_variant = 2;
    draw_text(bx.r + BINDING_DX, bx.y + GAMEPAD_DY, bb, pad ? "ENABLED" : "DISABLED");
    // One name per action; rows past the four bindings have none. Buttons
    // of a pad that is not there are no use: the rows say so instead.
    const int count = std::min<int>(p.item_count[s], ACTION_COUNT);
    for (int i = 0; i < count; ++i) {
        const char *name = !pad     ? key_name(g.key_binding[i])
                           : found ? button_name(g.button_binding[i])
                                   : "NO PAD";
        draw_text(bx.r + BINDING_DX, bx.y + BINDING_DY + ROW_PITCH * i, bb, name);
    }
    g.font_variant = 0;
}

} // namespace panel

void draw_panels(const MenuPanels &panels, bool blink_on) {
    using namespace panel;
    // Slot order: a higher slot covers a lower one.
    for (int s = 0; s < PANEL_COUNT; ++s) {
        if (!panels.active[s])
            continue;
        const MenuPanels &p = panels;
        switch (p.kind[s]) {
        case PANEL_CAPTION:
            draw_panel_body(p, s);
            draw_panel_frame(p, s);
            draw_caption_text(p, s);
            break;
        case PANEL_LIST:
            draw_panel_body(p, s);
            draw_panel_frame(p, s);
            draw_panel_trim(p, s);
            draw_cursor_bar(p, s);
            draw_item_texts(p, s);
            break;
        case PANEL_TOGGLES:
            draw_panel_body(p, s);
            draw_panel_frame(p, s);
            draw_panel_trim(p, s);
            draw_toggle_icons(p, s);
            draw_cursor_bar(p, s);
            draw_item_texts(p, s);
            break;
        case PANEL_DESCRIPTION:
            draw_panel_body(p, s);
            draw_panel_frame(p, s);
            draw_description_text(p, s);
            break;
        case PANEL_CONTROLS:
            draw_panel_body(p, s);
            draw_panel_frame(p, s);
            draw_panel_trim(p, s);
            draw_binding_names(p, s);
            draw_cursor_bar(p, s);
            draw_item_texts(p, s);
            break;
        case PANEL_SHIP_DATA:
            draw_panel_body(p, s);
            draw_panel_frame(p, s);
            draw_panel_trim(p, s);
            draw_ship_data(p, s);
            break;
        case PANEL_GUN_DATA:
            draw_panel_body(p, s);
            draw_panel_frame(p, s);
            draw_panel_trim(p, s);
            draw_gun_data(p, s);
            break;
        case PANEL_STAGE_INTRO:
            draw_stage_intro(p, s);
            break;
        case PANEL_STAGE_COMPLETE:
            draw_stage_complete(p, s);
            break;
        case PANEL_BONUS:
            draw_panel_body(p, s);
            draw_panel_frame(p, s);
            draw_bonus(p, s);
            break;
        case PANEL_NAME_ENTRY:
            draw_panel_body(p, s);
            draw_panel_frame(p, s);
            draw_name_entry(p, s, blink_on);
            break;
        default:
            break; // other kinds draw nothing
        }
    }
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
    g.font_variant = 0;
}

} // namespace qv
