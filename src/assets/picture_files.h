// The picture archives in "graphics/" and the size each one must have. The
// loader refuses any other size, the generator draws these and the tests
// check against them: one list for all three.
#pragma once

#include "core/game_state.h"

#include <allegro.h>

namespace qv {

struct SheetFile {
    const char *archive;         // in graphics/
    int width, height;           // the picture's exact size
    BITMAP *GameState::*bitmap;  // where the game keeps it
    PALETTE GameState::*palette; // receives the archive's palette
};

inline constexpr int SHEET_W = 320, SHEET_H = 200;

// The load order matters: later sheets overwrite the palettes of earlier
// ones, so title_palette ends up as the title picture's.
inline constexpr SheetFile SHEET_FILES[] = {
    {"40_x_tex.lmp", SHEET_W, SHEET_H, &GameState::tex40_sheet, &GameState::game_palette},
    {"32_x_tex.lmp", SHEET_W, SHEET_H, &GameState::tex32_sheet, &GameState::game_palette},
    {"enemy_1.lmp", SHEET_W, SHEET_H, &GameState::enemy_sheet, &GameState::game_palette},
    {"shadow_1.lmp", SHEET_W, SHEET_H, &GameState::shadow_sheet, &GameState::game_palette},
    {"suits.lmp", SHEET_W, SHEET_H, &GameState::suits_sheet, &GameState::game_palette},
    {"stages.lmp", SHEET_W, SHEET_H, &GameState::stages_sheet, &GameState::game_palette},
    {"qv_text.lmp", SHEET_W, SHEET_H, &GameState::font_sheet, &GameState::game_palette},
    {"ships.lmp", SHEET_W, SHEET_H, &GameState::ships_sheet, &GameState::game_palette},
    {"gunfire.lmp", SHEET_W, SHEET_H, &GameState::gunfire_sheet, &GameState::game_palette},
    {"hud.lmp", SHEET_W, SHEET_H, &GameState::hud_sheet, &GameState::hud_palette},
    {"logos.lmp", SHEET_W, SHEET_H, &GameState::logos_sheet, &GameState::title_palette},
    {"title.lmp", SHEET_W, SHEET_H, &GameState::title_sheet, &GameState::title_palette},
};
inline constexpr int SHEET_FILE_COUNT = sizeof SHEET_FILES / sizeof SHEET_FILES[0];

// A stage's ground, archive "1".."6" (stage_map_archive), is
// GROUND_PICTURE_SIZE a side. A cloud archive (stage_cloud_archive and the
// one after it) is a full sheet, of which the top-left CLOUD_SIZE x
// CLOUD_HALF_H is used.
inline constexpr int CLOUD_PICTURE_W = SHEET_W, CLOUD_PICTURE_H = SHEET_H;
inline constexpr int CLOUD_HALF_H = CLOUD_SIZE / 2;

} // namespace qv
