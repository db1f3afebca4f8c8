// What the panel kinds show beyond a list: captions, descriptions, the ship
// and gun ratings, the stage banners, the stage bonus and the name entry.
#include "assets/game_data.h"
#include "assets/texts.h"
#include "render/panel_parts.h"
#include "render/text.h"

#include <cstdio>

namespace qv::panel {

namespace {

constexpr int CAPTION_DY = 5;
constexpr int DESCRIPTION_DX = 8, DESCRIPTION_DY = 4;

// ---- rating panels: four labelled bars, 15 px apart ----
constexpr int RATINGS = 4;
constexpr int RATING_PITCH = 15;
constexpr int LABEL_DY = 5;
constexpr int EMPTY_BAR_DY = 9;
constexpr int BAR_TOP_DY = 12, BAR_BOTTOM_DY = 15;

struct Bar {
    int end; // right end, from the panel's left edge
    int colour;
};
struct RatingLayout {
    int label_dx, empty_bar_dx, bar_start_dx;
    const char *labels[RATINGS];
};

constexpr RatingLayout SHIP_RATINGS = {
    60, 59, 62, {"Armor", "Agility", "Hard Points", "Ammo Loader"}};
constexpr Bar SHIP_BARS[SHIP_COUNT][RATINGS] = {
    {{77, 94}, {100, 90}, {85, 92}, {81, 93}},
    {{90, 92}, {85, 92}, {90, 91}, {86, 92}},
    {{105, 90}, {76, 94}, {101, 90}, {78, 93}},
};
constexpr int SHIP_LINES = 3;
constexpr const char *SHIP_SIDEARMS[SHIP_COUNT][SHIP_LINES] = {
    {"SIDEARM:", "Pulse Laser", "Graviton Gun"},
    {"SIDEARM:", "Ion Cannon", "Reflex Coil"},
    {"SIDEARM:", "Plasma Burst", "Firestorm"},
};
constexpr int SIDEARM_DX = 7;
constexpr int SIDEARM_DY[SHIP_LINES] = {46, 53, 58};

// suits_sheet: the picture behind the ship and the ships one above another.
constexpr int BACKDROP_SRC_X = 275, BACKDROP_SRC_Y = 160, BACKDROP_W = 45, BACKDROP_H = 40;
constexpr int BACKDROP_DX = 10, BACKDROP_DY = 5;
constexpr int SHIP_PIC_W = 41, SHIP_PIC_H = 42;
constexpr int SHIP_PIC_DX = 12, SHIP_PIC_DY = 1;

constexpr int RATED_GUNS = 6; // the player's guns
constexpr RatingLayout GUN_RATINGS = {6, 5, 8, {"Damage", "Heat", "Velocity", "Rate of Fire"}};
// clang-format off
constexpr Bar GUN_BARS[RATED_GUNS][RATINGS] = {
    {{22, 93}, {33, 92}, {44, 91}, {44, 91}},
    {{33, 92}, {22, 93}, {33, 92}, {33, 92}},
    {{33, 92}, {33, 92}, {33, 92}, {33, 92}},
    {{33, 92}, {33, 92}, {22, 93}, {44, 91}},
    {{54, 90}, {44, 91}, {33, 92}, {22, 93}},
    {{33, 92}, {44, 91}, {22, 93}, {12, 94}},
};
// clang-format on

// ---- stage banners on stages_sheet ----
constexpr int BANNER_W = 207, BANNER_H = 35;
constexpr int INTRO_BANNER_SRC_Y = 48;
constexpr int COMPLETE_BANNER_SRC_Y = 90;
constexpr int BANNER_TEXT_DX = 60, BANNER_TEXT_DY = 4;

struct Emblem {
    int src_x, w, h, dx, dy;
};
// One per stage, from row 0 of stages_sheet, chosen by the panel's caption.
constexpr Emblem EMBLEMS[STAGE_COUNT] = {
    {4, 16, 30, 20, 4},  {24, 29, 29, 14, 4}, {54, 31, 28, 15, 4},
    {85, 32, 24, 15, 5}, {118, 42, 28, 8, 4}, {160, 33, 28, 13, 5},
};

// ---- bonus and name entry ----
constexpr int BONUS_LABEL_DX = 6, BONUS_VALUE_DX = 106, BONUS_DY = 5;
constexpr int NAME_COLON_DX = 8, NAME_DX = 14, NAME_CURSOR_DX = 17, NAME_DY = 5;

// Labels and empty bars, then the filled bars when the selection has
// ratings (`bars` null: a selection the panel does not know).
void draw_ratings(const Box &bx, const RatingLayout &layout, const Bar *bars) {
    BITMAP *bb = g.back_buffer;
    for (int k = 0; k < RATINGS; ++k)
        draw_small_text(bx.x + layout.label_dx, bx.y + LABEL_DY + RATING_PITCH * k, bb,
                        layout.labels[k]);
    for (int k = 0; k < RATINGS; ++k)
        masked_blit(g.hud_sheet, bb, EMPTY_BAR_SRC_X, EMPTY_BAR_SRC_Y, bx.x + layout.empty_bar_dx,
                    bx.y + EMPTY_BAR_DY + RATING_PITCH * k, EMPTY_BAR_W, EMPTY_BAR_H);
    if (!bars)
        return;
    for (int k = 0; k < RATINGS; ++k)
        rectfill(bb, bx.x + layout.bar_start_dx, bx.y + BAR_TOP_DY + RATING_PITCH * k,
                 bx.x + bars[k].end, bx.y + BAR_BOTTOM_DY + RATING_PITCH * k, bars[k].colour);
}

} // namespace

void draw_caption_text(const MenuPanels &p, int s) {
    const int caption = p.caption[s];
    if (caption <= 0 || caption >= TEXT_SLOTS)
        return; // 0: an empty box
    const Box bx = box_of(p, s);
    const auto text = slot_text(g.title_text[caption]);
    draw_text(bx.x + bx.width / 2 - text_width(text.s) / 2, bx.y + CAPTION_DY, g.back_buffer,
              text.s);
}

void draw_description_text(const MenuPanels &p, int s) {
    const int line = p.caption[s];
    if (line < 0 || line >= LONG_TEXT_SLOTS)
        return;
    const Box bx = box_of(p, s);
    const auto text = slot_text(g.long_text[line]);
    draw_text(bx.x + DESCRIPTION_DX, bx.y + DESCRIPTION_DY, g.back_buffer, text.s);
}

void draw_ship_data(const MenuPanels &p, int s) {
    BITMAP *bb = g.back_buffer;
    const Box bx = box_of(p, s);
    const int ship = g.ship_type;
    const bool known = ship >= 0 && ship < SHIP_COUNT;
    masked_blit(g.suits_sheet, bb, BACKDROP_SRC_X, BACKDROP_SRC_Y, bx.x + BACKDROP_DX,
                bx.y + BACKDROP_DY, BACKDROP_W, BACKDROP_H);
    // The ships stand one above another; a copy from outside the sheet is
    // clipped away.
    masked_blit(g.suits_sheet, bb, 0, SHIP_PIC_H * ship, bx.x + SHIP_PIC_DX, bx.y + SHIP_PIC_DY,
                SHIP_PIC_W, SHIP_PIC_H);
    draw_ratings(bx, SHIP_RATINGS, known ? SHIP_BARS[ship] : nullptr);
    if (!known)
        return;
    for (int line = 0; line < SHIP_LINES; ++line)
        draw_small_text(bx.x + SIDEARM_DX, bx.y + SIDEARM_DY[line], bb, SHIP_SIDEARMS[ship][line]);
}

void draw_gun_data(const MenuPanels &p, int s) {
    const Box bx = box_of(p, s);
    const int gun = g.gun_type;
    draw_ratings(bx, GUN_RATINGS, gun >= 0 && gun < RATED_GUNS ? GUN_BARS[gun] : nullptr);
}

void draw_stage_intro(const MenuPanels &p, int s) {
    BITMAP *bb = g.back_buffer;
    const Box bx = box_of(p, s);
    masked_blit(g.stages_sheet, bb, 0, INTRO_BANNER_SRC_Y, bx.x, bx.y, BANNER_W, BANNER_H);
    const int name = ITEM_STAGE_NAMES + g.current_stage;
    if (name >= 0 && name < TEXT_SLOTS) {
        const auto text = slot_text(g.item_text[name]);
        draw_text(bx.x + BANNER_TEXT_DX, bx.y + BANNER_TEXT_DY, bb, text.s);
    }
    const int emblem = p.caption[s];
    if (emblem < 0 || emblem >= STAGE_COUNT)
        return;
    const Emblem &e = EMBLEMS[emblem];
    masked_blit(g.stages_sheet, bb, e.src_x, 0, bx.x + e.dx, bx.y + e.dy, e.w, e.h);
}

void draw_stage_complete(const MenuPanels &p, int s) {
    BITMAP *bb = g.back_buffer;
    const Box bx = box_of(p, s);
    masked_blit(g.stages_sheet, bb, 0, COMPLETE_BANNER_SRC_Y, bx.x, bx.y, BANNER_W, BANNER_H);
    draw_text(bx.x + BANNER_TEXT_DX, bx.y + BANNER_TEXT_DY, bb, "STAGE COMPLETE");
}

void draw_bonus(const MenuPanels &p, int s) {
    BITMAP *bb = g.back_buffer;
    const Box bx = box_of(p, s);
    draw_text(bx.x + BONUS_LABEL_DX, bx.y + BONUS_DY, bb, "Stage Bonus :");
    char number[16];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(g.stage_bonus));
    g.font_variant = 2;
    draw_text(bx.x + BONUS_VALUE_DX, bx.y + BONUS_DY, bb, number);
    g.font_variant = 0;
}

void draw_name_entry(const MenuPanels &p, int s, bool blink_on) {
    BITMAP *bb = g.back_buffer;
    const Box bx = box_of(p, s);
    const auto name = slot_text(g.name_buffer);
    draw_text(bx.x + NAME_COLON_DX, bx.y + NAME_DY, bb, ":");
    draw_text(bx.x + NAME_DX, bx.y + NAME_DY, bb, name.s);
    if (!blink_on)
        return;
    // text_width counts an empty name as one character; the cursor of an
    // empty name sits right after the colon.
    const int w = name.s[0] ? text_width(name.s) : 0;
    g.font_variant = 2;
    draw_text(bx.x + NAME_CURSOR_DX + w, bx.y + NAME_DY, bb, "I");
    g.font_variant = 0;
}

} // namespace qv::panel
