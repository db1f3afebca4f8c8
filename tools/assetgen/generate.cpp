#include "generate.h"

#include "assetgen.h"
#include "ui_util.h"

#include "assets/archive.h"
#include "assets/game_data.h"
#include "assets/graphics.h"
#include "assets/light_tables.h"
#include "assets/picture_files.h"
#include "assets/sound.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace assetgen {

namespace {

namespace fs = std::filesystem;

// One seed for the code table and the archives' start rows; the pictures
// and sounds keep seeds of their own, so changing one never shifts another.
constexpr std::uint64_t ARCHIVE_SEED = 0x51A7C0DE0F0A11ull;

// Every cloud archive a stage reads: each stage's pair (its number and the
// one after it), each pair once, in increasing order.
std::vector<int> cloud_archives() {
    std::vector<int> first(std::begin(qv::stage_cloud_archive), std::end(qv::stage_cloud_archive));
    std::sort(first.begin(), first.end());
    first.erase(std::unique(first.begin(), first.end()), first.end());
    std::vector<int> all;
    for (int n : first) {
        all.push_back(n);
        all.push_back(n + 1);
    }
    return all;
}

// Which drawing makes each sheet of qv::SHEET_FILES, by the game's bitmap
// it becomes (the list of files, their sizes and order are the game's).
struct SheetMaker {
    BITMAP *qv::GameState::*bitmap;
    BITMAP *(*make)(PALETTE);
};

constexpr SheetMaker SHEET_MAKERS[] = {
    {&qv::GameState::tex40_sheet, make_tex40_sheet},
    {&qv::GameState::tex32_sheet, make_tex32_sheet},
    {&qv::GameState::enemy_sheet, make_enemy_sheet},
    {&qv::GameState::shadow_sheet, make_shadow_sheet},
    {&qv::GameState::suits_sheet, make_suits_sheet},
    {&qv::GameState::stages_sheet, make_stages_sheet},
    {&qv::GameState::font_sheet, make_font_sheet},
    {&qv::GameState::ships_sheet, make_ships_sheet},
    {&qv::GameState::gunfire_sheet, make_gunfire_sheet},
    {&qv::GameState::hud_sheet, make_hud_sheet},
    {&qv::GameState::logos_sheet, make_logos_sheet},
    {&qv::GameState::title_sheet, make_title_sheet},
};

BITMAP *make_sheet(const qv::SheetFile &sheet, PALETTE pal) {
    for (const SheetMaker &m : SHEET_MAKERS)
        if (m.bitmap == sheet.bitmap) return m.make(pal);
    throw std::logic_error(std::string("no drawing for ") + sheet.archive);
}

// ---- PCX into memory through a packfile of our own ----
struct MemorySink {
    std::vector<std::uint8_t> bytes;
};

int sink_close(void *) { return 0; }
int sink_getc(void *) { return EOF; }
int sink_ungetc(int, void *) { return EOF; }
long sink_fread(void *, long, void *) { return 0; }
int sink_putc(int c, void *user) {
    static_cast<MemorySink *>(user)->bytes.push_back(static_cast<std::uint8_t>(c));
    return c;
}
long sink_fwrite(const void *p, long n, void *user) {
    auto *s = static_cast<MemorySink *>(user);
    const auto *b = static_cast<const std::uint8_t *>(p);
    s->bytes.insert(s->bytes.end(), b, b + n);
    return n;
}
int sink_fseek(void *, int) { return -1; }
int sink_feof(void *) { return 0; }
int sink_ferror(void *) { return 0; }

PACKFILE_VTABLE sink_vtable = {sink_close, sink_getc,  sink_ungetc, sink_fread, sink_putc,
                               sink_fwrite, sink_fseek, sink_feof,   sink_ferror};

void write_file(const fs::path &path, const std::vector<std::uint8_t> &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

class Writer {
public:
    explicit Writer(const fs::path &dir) : dir_(dir), rng_(ARCHIVE_SEED) {}

    void code_table() {
        std::uint8_t table[qv::CODE_ROWS][256];
        for (auto &row : table) {
            for (int j = 0; j < 256; ++j) row[j] = static_cast<std::uint8_t>(j);
            for (int j = 255; j > 0; --j) std::swap(row[j], row[rng_.below(j + 1)]);
        }
        qv::set_code_table(table);
        write_file(dir_ / "loader.def",
                   std::vector<std::uint8_t>(&table[0][0], &table[0][0] + sizeof table));
    }

    void archive(const fs::path &path, const std::vector<std::uint8_t> &plain) {
        if (static_cast<long>(plain.size()) > qv::MAX_ARCHIVE_PAYLOAD)
            throw std::runtime_error(path.string() + ": payload too large");
        write_file(path, qv::encipher_archive(plain, rng_.below(qv::CODE_ROWS)));
    }

    // Writes the picture and, when a review sheet is wanted, keeps it.
    void picture(const fs::path &path, BITMAP *bmp, const RGB *pal, int w, int h,
                 std::vector<Picture> *keep, bool light_levels = false) {
        if (!bmp || bmp->w != w || bmp->h != h || bitmap_color_depth(bmp) != 8)
            throw std::runtime_error(path.string() + ": picture of the wrong size or depth");
        archive(path, pcx_bytes(bmp, pal));
        if (keep) {
            Picture p;
            p.name = path.filename().string();
            p.bmp = bmp;
            std::copy(pal, pal + 256, p.pal.begin());
            p.light_levels = light_levels;
            keep->push_back(p);
        } else {
            destroy_bitmap(bmp);
        }
    }

private:
    fs::path dir_;
    ui::Rng rng_;
};

// The title's light tables, and each stage's for its flight palette (the
// HUD's colours and the ground's): the game reads them rather than spend
// some 30 ms of every stage start computing them.
void write_title_light_tables(const fs::path &path, const RGB *title_pal) {
    auto shade = std::make_unique<COLOR_MAP>(), glow = std::make_unique<COLOR_MAP>();
    qv::compute_light_tables(title_pal, *shade, *glow);
    write_file(path, qv::light_table_pair_bytes(*shade, *glow));
}

void write_stage_light_tables(const fs::path &path, const RGB *ground_pal, const RGB *hud_pal) {
    PALETTE flight;
    std::memcpy(flight, ground_pal, sizeof flight);
    qv::use_hud_colours(flight, hud_pal);
    auto shade = std::make_unique<COLOR_MAP>(), glow = std::make_unique<COLOR_MAP>();
    qv::compute_light_tables(flight, *shade, *glow);
    write_file(path, qv::stage_light_bytes(flight, *shade, *glow));
}

} // namespace

std::vector<std::uint8_t> pcx_bytes(BITMAP *bmp, const RGB *pal) {
    MemorySink sink;
    PACKFILE *f = pack_fopen_vtable(&sink_vtable, &sink);
    if (!f) throw std::runtime_error("cannot open a memory packfile");
    const int failed = save_pcx_pf(f, bmp, pal);
    pack_fclose(f);
    if (failed) throw std::runtime_error("cannot encode a PCX picture");
    return sink.bytes;
}

void generate_data_dir(const std::string &dir_name, const std::string &contact_png) {
    const fs::path dir(dir_name);
    fs::create_directories(dir / "graphics");
    fs::create_directories(dir / "sfx");
    const bool review = !contact_png.empty();
    std::vector<Picture> kept;
    std::vector<Picture> *keep = review ? &kept : nullptr;

    Writer w(dir);
    w.code_table();

    PALETTE pal;
    PALETTE title_pal, hud_pal;
    for (const qv::SheetFile &s : qv::SHEET_FILES) {
        std::memset(pal, 0, sizeof pal);
        BITMAP *bmp = make_sheet(s, pal);
        if (s.bitmap == &qv::GameState::title_sheet) std::memcpy(title_pal, pal, sizeof pal);
        if (s.bitmap == &qv::GameState::hud_sheet) std::memcpy(hud_pal, pal, sizeof pal);
        w.picture(dir / "graphics" / s.archive, bmp, pal, s.width, s.height, keep);
    }
    for (int stage = 0; stage < qv::STAGES; ++stage) {
        std::memset(pal, 0, sizeof pal);
        BITMAP *bmp = make_ground(stage, pal);
        write_stage_light_tables(dir / qv::stage_light_file(stage), pal, hud_pal);
        w.picture(dir / "graphics" / std::to_string(qv::stage_map_archive[stage]), bmp, pal,
                  qv::GROUND_PICTURE_SIZE, qv::GROUND_PICTURE_SIZE, keep);
    }
    for (int number : cloud_archives()) {
        std::memset(pal, 0, sizeof pal);
        BITMAP *bmp = make_clouds(number, pal);
        w.picture(dir / "graphics" / std::to_string(number), bmp, pal, qv::CLOUD_PICTURE_W,
                  qv::CLOUD_PICTURE_H, keep, true);
    }
    for (int number : qv::loaded_sounds)
        w.archive(dir / "sfx" / std::to_string(number), wav_file(make_sound(number)));

    write_title_light_tables(dir / "table.dat", title_pal);

    if (review) {
        write_contact_sheet(kept, contact_png);
        for (Picture &p : kept) destroy_bitmap(p.bmp);
    }
}

} // namespace assetgen
