// The pieces panels are made of, shared by the panel kinds. Internal to the
// panel drawing (render/panels.cpp and render/panel_kinds.cpp).
#pragma once

#include "core/game_state.h"

#include <cstddef>
#include <cstring>

namespace qv::panel {

// A panel's corners: x, y the top left, r = x + width, b = y + height.
struct Box {
    int x, y, r, b;
    int width, height;
};
Box box_of(const MenuPanels &p, int s);

// A fixed-size text slot as a terminated string, whatever the slot holds.
template <std::size_t N> struct SlotText { char s[N + 1]; };
template <std::size_t N> SlotText<N> slot_text(const char (&slot)[N]) {
    SlotText<N> t{};
    std::memcpy(t.s, slot, N);
    return t;
}

// Slots of the text tables.
inline constexpr int TEXT_SLOTS = 64;       // title_text and item_text
inline constexpr int LONG_TEXT_SLOTS = 256; // long_text

// Picture sizes and places on hud_sheet shared by several pieces.
inline constexpr int EMPTY_BAR_SRC_X = 54, EMPTY_BAR_SRC_Y = 123;
inline constexpr int EMPTY_BAR_W = 54, EMPTY_BAR_H = 10;

// Drawing steps (each restores the solid drawing mode and font variant 0).
void draw_panel_body(const MenuPanels &p, int s);
void draw_panel_frame(const MenuPanels &p, int s);
void draw_panel_trim(const MenuPanels &p, int s);
void draw_cursor_bar(const MenuPanels &p, int s);
void draw_item_texts(const MenuPanels &p, int s);
void draw_toggle_icons(const MenuPanels &p, int s);
void draw_binding_names(const MenuPanels &p, int s);

// Contents of the kinds that show more than a list.
void draw_caption_text(const MenuPanels &p, int s);
void draw_description_text(const MenuPanels &p, int s);
void draw_ship_data(const MenuPanels &p, int s);
void draw_gun_data(const MenuPanels &p, int s);
void draw_stage_intro(const MenuPanels &p, int s);
void draw_stage_complete(const MenuPanels &p, int s);
void draw_bonus(const MenuPanels &p, int s);
void draw_name_entry(const MenuPanels &p, int s, bool blink_on);

} // namespace qv::panel
