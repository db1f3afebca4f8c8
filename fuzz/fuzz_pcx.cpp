// The picture check and Allegro's PCX reader on any plain bytes, for every
// size the game loads and the size the header claims when it is small (so
// the fuzzer reaches the pixel data quickly). A picture that is taken must
// hold exactly what the file says in every pixel and palette entry, read
// here independently: a pixel the reader left alone would show leftover
// memory.
#include "fuzz_support.h"

#include "assets/archive.h"
#include "assets/picture_files.h"

#include <set>
#include <utility>

using namespace qv;

namespace {

constexpr int SMALL_PICTURE_PIXELS = 4096;
constexpr std::size_t HEADER_SIZE = 128, PALETTE_BYTES = 768;

unsigned le16(const std::vector<std::uint8_t> &b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}

// Decodes the pixels as the PCX format lays them out and compares them and
// the palette with what the reader made.
void compare(const std::vector<std::uint8_t> &b, BITMAP *picture, const PALETTE palette) {
    const unsigned line = le16(b, 66);
    std::size_t at = HEADER_SIZE;
    for (int y = 0; y < picture->h; ++y) {
        unsigned x = 0;
        while (x < line) {
            fuzz::require(at < b.size(), "a picture that is taken has all its pixels");
            unsigned count = 1, value = b[at++];
            if ((value & 0xC0) == 0xC0) {
                count = value & 0x3F;
                fuzz::require(at < b.size(), "a picture that is taken has all its pixels");
                value = b[at++];
            }
            for (; count > 0; --count, ++x)
                if (x < static_cast<unsigned>(picture->w))
                    fuzz::require(static_cast<unsigned>(getpixel(picture, static_cast<int>(x), y)) ==
                                      value,
                                  "every pixel is the file's");
        }
        fuzz::require(x >= static_cast<unsigned>(picture->w), "every pixel of a line is written");
    }
    fuzz::require(at < b.size() && b[at] == 12 && b.size() - at - 1 >= PALETTE_BYTES,
                  "the palette follows the pixels");
    for (int c = 0; c < PAL_SIZE; ++c) {
        const std::size_t p = at + 1 + 3 * static_cast<std::size_t>(c);
        fuzz::require(palette[c].r == b[p] / 4 && palette[c].g == b[p + 1] / 4 &&
                          palette[c].b == b[p + 2] / 4,
                      "every palette entry is the file's");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::start();
    const std::vector<std::uint8_t> bytes = fuzz::bytes_of(data, size);
    std::set<std::pair<int, int>> sizes = {{SHEET_W, SHEET_H},
                                           {GROUND_PICTURE_SIZE, GROUND_PICTURE_SIZE},
                                           {CLOUD_PICTURE_W, CLOUD_PICTURE_H}};
    for (const SheetFile &s : SHEET_FILES) sizes.insert({s.width, s.height});
    if (size >= 12) {
        const int w = static_cast<int>(le16(bytes, 8)) - static_cast<int>(le16(bytes, 4)) + 1;
        const int h = static_cast<int>(le16(bytes, 10)) - static_cast<int>(le16(bytes, 6)) + 1;
        if (w > 0 && h > 0 && w <= SMALL_PICTURE_PIXELS && h <= SMALL_PICTURE_PIXELS &&
            w * h <= SMALL_PICTURE_PIXELS) sizes.insert({w, h});
    }
    for (const auto &[w, h] : sizes) {
        PALETTE palette;
        BITMAP *picture = nullptr;
        try {
            picture = decode_picture(bytes, palette, w, h, "picture");
        } catch (const AssetError &) {
            continue;
        }
        fuzz::require(picture->w == w && picture->h == h, "a picture that is taken has its size");
        compare(bytes, picture, palette);
        destroy_bitmap(picture);
    }
    return 0;
}
