// An archive file on disk, as the game reads pictures and sounds from it:
// refused by name, or loaded with nothing leaked. The fuzzer's bytes are the
// enciphered file; the pcx and wav targets reach the checks behind it faster.
#include "fuzz_support.h"

#include "assets/archive.h"
#include "assets/picture_files.h"
#include "core/game_state.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace qv;

namespace {

constexpr int SLOT = 0;

const std::string &archive_path() {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("quarvell-fuzz-archive-" + std::to_string(::getpid())))
                                        .string();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::start();
    const std::string &path = archive_path();
    if (std::FILE *f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        fuzz::broken("the scratch archive can be written");
    }
    static BITMAP *const dest = create_bitmap_ex(8, SHEET_W, SHEET_H);
    PALETTE palette;
    try {
        load_archive_picture(path, palette, dest, SHEET_W, SHEET_H);
    } catch (const AssetError &) {
    }
    try {
        load_archive_sample(path, SLOT);
        fuzz::require(g.samples[SLOT] != nullptr, "a loaded sample is there");
    } catch (const AssetError &) {
    }
    if (g.samples[SLOT]) destroy_sample(g.samples[SLOT]);
    g.samples[SLOT] = nullptr;
    std::remove(path.c_str());
    return 0;
}
