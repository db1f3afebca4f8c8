// Writing the data directory: every archive, the code table and the title
// colour maps, all from fixed seeds so two runs give identical bytes.
#pragma once

#include <allegro.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// One generated picture kept for the review sheet.
struct Picture {
    std::string name;
    BITMAP *bmp = nullptr;
    std::array<RGB, 256> pal{};
    bool light_levels = false; // pixel values are light levels, shown as grey
};

// Writes DATA_DIR/loader.def, graphics/, sfx/, table.dat and each stage's
// light tables (light_N.dat). When
// `contact_png` is not empty, also writes a review picture of every sheet,
// ground and cloud there. Throws std::runtime_error on any failure.
void generate_data_dir(const std::string &dir, const std::string &contact_png);

// Writes the desktop icon as DIR/quarvell-N.png for every size in
// ICON_SIZES (RGBA, transparent around a dark disc), and the window's icon
// as C++ source, DIR/WINDOW_ICON_SOURCE (see platform/window_icon.h).
inline constexpr int ICON_SIZES[] = {32, 64, 128, 256};
inline constexpr const char *WINDOW_ICON_SOURCE = "window_icon.cpp";
void write_icons(const std::string &dir);

// The bytes of a PCX file of the bitmap with the palette.
std::vector<std::uint8_t> pcx_bytes(BITMAP *bmp, const RGB *pal);

// Every picture at 2x beside a swatch of its palette, as a PNG.
void write_contact_sheet(const std::vector<Picture> &pictures, const std::string &png);

} // namespace assetgen
