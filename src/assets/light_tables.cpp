#include "assets/light_tables.h"

#include "assets/game_data.h"
#include "core/file_bytes.h"

#include <stdexcept>

namespace qv {

namespace {

constexpr int BLACK = 0;
constexpr int WHITE = 63; // in the palette's 6-bit levels

bool same_palette(const std::uint8_t *bytes, const RGB *pal) {
    for (int c = 0; c < PAL_SIZE; ++c, bytes += 3)
        if (bytes[0] != pal[c].r || bytes[1] != pal[c].g || bytes[2] != pal[c].b)
            return false;
    return true;
}

} // namespace

void compute_light_tables(const RGB *pal, COLOR_MAP &shade, COLOR_MAP &glow) {
    // Without rgb_map the library searches the palette itself: slower than
    // its approximate table, but the exact nearest colour.
    RGB_MAP *const saved = rgb_map;
    rgb_map = nullptr;
    create_light_table(&shade, pal, BLACK, BLACK, BLACK, nullptr);
    create_light_table(&glow, pal, WHITE, WHITE, WHITE, nullptr);
    rgb_map = saved;
    keep_colours_at_full_light(shade);
}

void keep_colours_at_full_light(COLOR_MAP &shade) {
    for (int c = 0; c < PAL_SIZE; ++c)
        shade.data[FULL_LIGHT][c] = static_cast<unsigned char>(c);
}

std::vector<std::uint8_t> light_table_pair_bytes(const COLOR_MAP &shade, const COLOR_MAP &glow) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(LIGHT_TABLE_PAIR_BYTES);
    for (int level = 0; level < PAL_SIZE; ++level)
        for (int c = 0; c < PAL_SIZE; ++c) {
            bytes.push_back(shade.data[level][c]);
            bytes.push_back(glow.data[level][c]);
        }
    return bytes;
}

void light_tables_from_pair_bytes(const std::uint8_t *bytes, COLOR_MAP &shade, COLOR_MAP &glow) {
    for (int level = 0; level < PAL_SIZE; ++level)
        for (int c = 0; c < PAL_SIZE; ++c) {
            shade.data[level][c] = *bytes++;
            glow.data[level][c] = *bytes++;
        }
}

std::string stage_light_file(int stage) {
    if (stage < 0 || stage >= STAGES)
        throw std::logic_error("stage_light_file: no stage " + std::to_string(stage));
    return "light_" + std::to_string(stage_map_archive[stage]) + ".dat";
}

std::vector<std::uint8_t> stage_light_bytes(const RGB *pal, const COLOR_MAP &shade,
                                            const COLOR_MAP &glow) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(STAGE_LIGHT_FILE_SIZE);
    for (int c = 0; c < PAL_SIZE; ++c)
        bytes.insert(bytes.end(), {pal[c].r, pal[c].g, pal[c].b});
    const std::vector<std::uint8_t> pairs = light_table_pair_bytes(shade, glow);
    bytes.insert(bytes.end(), pairs.begin(), pairs.end());
    return bytes;
}

bool read_stage_light_file(const std::string &path, const RGB *pal, COLOR_MAP &shade,
                           COLOR_MAP &glow) {
    const auto bytes = read_file_start(path, STAGE_LIGHT_FILE_SIZE + 1);
    if (!bytes || bytes->size() != STAGE_LIGHT_FILE_SIZE || !same_palette(bytes->data(), pal))
        return false;
    light_tables_from_pair_bytes(bytes->data() + PALETTE_BYTES, shade, glow);
    return true;
}

} // namespace qv
