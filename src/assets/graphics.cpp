#include "assets/graphics.h"

#include "assets/archive.h"
#include "assets/game_data.h"
#include "assets/light_tables.h"
#include "assets/picture_files.h"
#include "core/file_bytes.h"
#include "core/game_state.h"
#include "platform/platform.h"

#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace qv {

namespace {

constexpr char GRAPHICS_DIR[] = "graphics/";
constexpr char COLOUR_TABLE_FILE[] = "table.dat";

constexpr int COLOUR_DEPTH = 8;

// The ship's shadow is cut out of the suits sheet.
constexpr int SUIT_SHADOW_X = 0, SUIT_SHADOW_Y = 153;
constexpr int SUIT_SHADOW_W = 41, SUIT_SHADOW_H = 16;

// In flight, colours below this come from the HUD's palette, the rest from
// the stage's ground.
constexpr int HUD_COLOURS = 128;

// Every bitmap the game keeps between calls (cloud_map included).
constexpr BITMAP *GameState::*OWNED_BITMAPS[] = {
    &GameState::tex40_sheet,  &GameState::tex32_sheet, &GameState::enemy_sheet,
    &GameState::shadow_sheet, &GameState::suits_sheet, &GameState::stages_sheet,
    &GameState::font_sheet,   &GameState::ships_sheet, &GameState::gunfire_sheet,
    &GameState::hud_sheet,    &GameState::logos_sheet, &GameState::title_sheet,
    &GameState::suit_shadow,  &GameState::back_buffer, &GameState::stage_map,
    &GameState::cloud_map,
};

struct BitmapDeleter {
    void operator()(BITMAP *b) const { destroy_bitmap(b); }
};
using TempBitmap = std::unique_ptr<BITMAP, BitmapDeleter>;

BITMAP *new_bitmap(int w, int h) {
    BITMAP *b = create_bitmap_ex(COLOUR_DEPTH, w, h);
    if (!b)
        throw std::bad_alloc();
    return b;
}

// Replaces a kept bitmap, so a second load never leaks the first.
void replace(BITMAP *&slot, int w, int h) {
    if (slot)
        destroy_bitmap(slot);
    slot = nullptr;
    slot = new_bitmap(w, h);
}

// Copies the top-left CLOUD_SIZE x CLOUD_HALF_H of a cloud archive into
// cloud_map at row `dest_y`.
void load_cloud_half(int archive, int dest_y) {
    TempBitmap scratch(new_bitmap(CLOUD_PICTURE_W, CLOUD_PICTURE_H));
    load_archive_picture(picture_path(std::to_string(archive)), g.game_palette, scratch.get(),
                         CLOUD_PICTURE_W, CLOUD_PICTURE_H);
    blit(scratch.get(), g.cloud_map, 0, 0, 0, dest_y, CLOUD_SIZE, CLOUD_HALF_H);
}

} // namespace

std::string picture_path(const std::string &name) {
    return data_path(GRAPHICS_DIR + name);
}

void reset_light_tables() { keep_colours_at_full_light(g.shade_map); }

void load_graphics() {
    free_graphics();
    for (const SheetFile &sheet : SHEET_FILES) {
        BITMAP *&bmp = g.*sheet.bitmap;
        bmp = new_bitmap(sheet.width, sheet.height);
        load_archive_picture(picture_path(sheet.archive), g.*sheet.palette, bmp, sheet.width,
                             sheet.height);
    }
    g.stage_map = new_bitmap(GROUND_PICTURE_SIZE, GROUND_PICTURE_SIZE);
    g.back_buffer = new_bitmap(SHEET_W, SHEET_H);
    g.suit_shadow = new_bitmap(SUIT_SHADOW_W, SUIT_SHADOW_H);
    blit(g.suits_sheet, g.suit_shadow, SUIT_SHADOW_X, SUIT_SHADOW_Y, 0, 0, SUIT_SHADOW_W,
         SUIT_SHADOW_H);
}

void load_colour_tables() {
    // Read the whole file first: a short one leaves the maps untouched.
    const std::string path = data_path(COLOUR_TABLE_FILE);
    const auto data = read_file_start(path, LIGHT_TABLE_PAIR_BYTES);
    if (!data)
        throw AssetError(path + ": cannot open the colour maps");
    if (data->size() != LIGHT_TABLE_PAIR_BYTES)
        throw AssetError(path + ": " + std::to_string(data->size()) +
                         " bytes, expected " + std::to_string(LIGHT_TABLE_PAIR_BYTES));
    light_tables_from_pair_bytes(data->data(), g.title_shade_map, g.title_glow_map);
}

void load_stage_graphics() {
    const int stage = g.current_stage;
    if (stage < 0 || stage >= STAGES)
        throw std::logic_error("load_stage_graphics: no stage " + std::to_string(stage));

    replace(g.cloud_map, CLOUD_SIZE, CLOUD_SIZE);
    load_cloud_half(stage_cloud_archive[stage], 0);
    load_cloud_half(stage_cloud_archive[stage] + 1, CLOUD_HALF_H);

    // The ground's palette lands in game_palette and supplies the stage's
    // colours 128..255. The ground is kept at its own size: the layer draws
    // it at twice that.
    if (!g.stage_map || g.stage_map->w != GROUND_PICTURE_SIZE ||
        g.stage_map->h != GROUND_PICTURE_SIZE)
        replace(g.stage_map, GROUND_PICTURE_SIZE, GROUND_PICTURE_SIZE);
    load_archive_picture(picture_path(std::to_string(stage_map_archive[stage])), g.game_palette,
                         g.stage_map, GROUND_PICTURE_SIZE, GROUND_PICTURE_SIZE);

    platform::clear_screen();
    use_hud_colours(g.game_palette, g.hud_palette);
    platform::set_palette(g.game_palette);
    // The generator computed this stage's light tables; computing them here
    // is the way out for a data folder made before it did (or for other
    // colours), and costs some 30 ms.
    if (!read_stage_light_file(data_path(stage_light_file(stage)), g.game_palette, g.shade_map,
                               g.glow_map))
        compute_light_tables(g.game_palette, g.shade_map, g.glow_map);
    reset_light_tables();
}

void use_hud_colours(RGB *pal, const RGB *hud) {
    for (int i = 0; i < HUD_COLOURS; ++i) {
        pal[i].r = hud[i].r;
        pal[i].g = hud[i].g;
        pal[i].b = hud[i].b;
    }
}

void free_graphics() {
    for (BITMAP *GameState::*member : OWNED_BITMAPS) {
        BITMAP *&bmp = g.*member;
        if (bmp)
            destroy_bitmap(bmp);
        bmp = nullptr;
    }
}

void use_title_colour_maps() {
    g.shade_map = g.title_shade_map;
    g.glow_map = g.title_glow_map;
}

} // namespace qv
