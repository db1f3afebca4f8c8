// Writes each fuzz target's seed inputs from the generated data folder:
// real settings and records files, the code table, archives, and the plain
// pictures and sounds inside them, plus a few small pictures and sounds made
// by Allegro's own writer, so the fuzzer starts from files the game reads.
// Usage: make_seeds <game data folder> <seed folder>
#include "fuzz_support.h"

#include "assets/archive.h"
#include "assets/picture_files.h"
#include "assets/sound.h"
#include "assets/texts.h"
#include "core/game_state.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "platform/platform.h"
#include "render/view.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace qv;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Keeps the corpus quick to mutate: the sounds and pictures below this size.
constexpr std::uintmax_t LARGEST_SEED = 16 * 1024;

Bytes read_file(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_seed(const fs::path &dir, const std::string &name, const Bytes &b) {
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char *>(b.data()), static_cast<std::streamsize>(b.size()));
    if (!out) throw std::runtime_error("cannot write " + (dir / name).string());
}

Bytes pcx_of(int w, int h, const fs::path &scratch) {
    BITMAP *b = create_bitmap_ex(8, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) putpixel(b, x, y, (x * 37 + y * 11) & 255);
    PALETTE pal;
    for (int c = 0; c < PAL_SIZE; ++c)
        pal[c] = RGB{static_cast<unsigned char>(c & 63), static_cast<unsigned char>(c / 4),
                     static_cast<unsigned char>((c * 3) & 63), 0};
    save_pcx(scratch.c_str(), b, pal);
    destroy_bitmap(b);
    Bytes bytes = read_file(scratch);
    fs::remove(scratch);
    return bytes;
}

Bytes small_wav(int channels, int bits, int frames) {
    Bytes w;
    const auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) w.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const auto tag = [&](const char *t) { w.insert(w.end(), t, t + 4); };
    const std::uint32_t data = static_cast<std::uint32_t>(frames * channels * bits / 8);
    tag("RIFF"), put(36 + data, 4), tag("WAVE"), tag("fmt "), put(16, 4);
    put(1, 2), put(static_cast<std::uint32_t>(channels), 2), put(11025, 4);
    put(static_cast<std::uint32_t>(11025 * channels * bits / 8), 4);
    put(static_cast<std::uint32_t>(channels * bits / 8), 2), put(static_cast<std::uint32_t>(bits), 2);
    tag("data"), put(data, 4);
    for (std::uint32_t i = 0; i < data; ++i) w.push_back(static_cast<std::uint8_t>(i * 29));
    return w;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <game data folder> <seed folder>\n", argv[0]);
        return 2;
    }
    const fs::path game(argv[1]), seeds(argv[2]);
    platform::init_headless();
    set_view_params();
    init_texts();
    try {
        load_code_table((game / "loader.def").string());
        write_seed(seeds / "code_table", "loader.def", read_file(game / "loader.def"));

        const SettingsBytes defaults = settings_to_bytes();
        write_seed(seeds / "settings", "defaults", Bytes(defaults.begin(), defaults.end()));
        write_seed(seeds / "settings", "short", Bytes(defaults.begin(), defaults.begin() + 13));

        write_seed(seeds / "records", "empty", fuzz::saved_records());
        const char *names[] = {"ACE", "BLUE LEADER", "X", "NOVA", "ORBIT", "QUASAR"};
        for (int i = 0; i < 6; ++i) insert_record(i, 90000 - 12345 * i, names[i]);
        write_seed(seeds / "records", "six", fuzz::saved_records());

        // The sounds and pictures of the data folder: the archives as they
        // are for the archive target, deciphered for the pcx and wav ones.
        for (int n : loaded_sounds) {
            const fs::path archive = game / "sfx" / std::to_string(n);
            if (fs::file_size(archive) > LARGEST_SEED) continue;
            write_seed(seeds / "archive", "sfx-" + std::to_string(n), read_file(archive));
            write_seed(seeds / "wav", "sfx-" + std::to_string(n), read_archive(archive.string()));
        }
        for (const SheetFile &s : SHEET_FILES) {
            const fs::path archive = game / "graphics" / s.archive;
            if (fs::file_size(archive) > LARGEST_SEED) continue;
            write_seed(seeds / "archive", s.archive, read_file(archive));
            write_seed(seeds / "pcx", s.archive, read_archive(archive.string()));
        }
        const fs::path scratch = seeds / "scratch.pcx";
        for (auto [w, h] : {std::pair{16, 8}, {7, 3}, {64, 64}, {1, 1}})
            write_seed(seeds / "pcx", "small-" + std::to_string(w) + "x" + std::to_string(h),
                       pcx_of(w, h, scratch));
        for (auto [channels, bits] : {std::pair{1, 8}, {2, 8}, {1, 16}, {2, 16}})
            write_seed(seeds / "wav",
                       "small-" + std::to_string(channels) + "x" + std::to_string(bits),
                       small_wav(channels, bits, 24));
        write_seed(seeds / "archive", "small-wav", encipher_archive(small_wav(1, 16, 24), 5));
        write_seed(seeds / "archive", "small-pcx", encipher_archive(pcx_of(16, 8, scratch), 9));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
