// Placeholder until the asset loaders land: blank sheets.
#include "assets/graphics.h"

#include "core/game_state.h"

namespace qv {
void load_graphics() {
    BITMAP **sheets[] = {&g.tex40_sheet, &g.tex32_sheet, &g.enemy_sheet, &g.shadow_sheet,
                         &g.suits_sheet, &g.stages_sheet, &g.font_sheet, &g.ships_sheet,
                         &g.gunfire_sheet, &g.hud_sheet, &g.logos_sheet, &g.title_sheet};
    for (BITMAP **b : sheets) {
        *b = create_bitmap(320, 200);
        clear_bitmap(*b);
    }
    g.stage_map = create_bitmap(1024, 1024);
    g.back_buffer = create_bitmap(320, 200);
    g.suit_shadow = create_bitmap(41, 16);
    for (int i = 0; i < 256; ++i) g.title_palette[i] = RGB{(unsigned char)(i / 4), (unsigned char)(i / 4), (unsigned char)(i / 4), 0};
}
void load_colour_tables() {}
void load_stage_graphics() {}
void free_graphics() {}
void use_title_colour_maps() {}
} // namespace qv
