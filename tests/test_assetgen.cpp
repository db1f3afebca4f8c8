// The generated data directory, read back the way the game reads it (that
// the game loads all of it is checked with the loaders): the master colours
// agree across sheets, each interface piece sits where the renderer cuts it
// out, and the font fits its advances. Generation itself must be repeatable
// byte for byte.
#include "assets/archive.h"
#include "assets/game_data.h"
#include "assets/picture_files.h"
#include "assets/sound.h"
#include "support/test_support.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using qv::test::read_bytes;
using qv::test::write_bytes;

struct BitmapDeleter {
    void operator()(BITMAP *b) const { destroy_bitmap(b); }
};
using Bitmap = std::unique_ptr<BITMAP, BitmapDeleter>;

struct Picture {
    Bitmap bmp;
    PALETTE pal;
};

// Deciphers a picture archive of the build's data directory with the
// game's own code and hands the PCX to the library's reader.
Picture &picture(const std::string &name) {
    static std::map<std::string, Picture> cache;
    auto it = cache.find(name);
    if (it != cache.end()) return it->second;
    static const std::string scratch = qv::test::make_temp_dir("assetgen-pcx");
    qv::load_code_table(std::string(QV_GAME_DIR) + "/loader.def");
    const auto plain = qv::read_archive(std::string(QV_GAME_DIR) + "/graphics/" + name);
    const std::string pcx = scratch + "/" + name + ".pcx";
    write_bytes(pcx, plain);
    Picture &p = cache[name];
    p.bmp.reset(load_pcx(pcx.c_str(), p.pal));
    return p;
}

BITMAP *sheet(const std::string &name) { return picture(name).bmp.get(); }

int run_generator(const std::string &dir) {
    const std::string cmd = std::string("'") + QV_BINARY_DIR + "/tools/assetgen/assetgen' '" + dir + "'";
    return std::system(cmd.c_str());
}

struct Rect {
    const char *what;
    int x, y, w, h;
};

bool empty_rect(BITMAP *b, int x, int y, int w, int h) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (getpixel(b, i, j) > 0) return false;
    return true;
}

int set_pixels(BITMAP *b, int x, int y, int w, int h) {
    int n = 0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) n += getpixel(b, i, j) > 0;
    return n;
}

bool inside(const Rect &r, int x, int y) { return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h; }

// Every piece is non-empty, and the ring of pixels around it is colour 0
// wherever that ring does not belong to a neighbouring piece: a masked copy
// of the piece then shows nothing of its neighbours.
void expect_pieces_stand_alone(BITMAP *b, const std::vector<Rect> &pieces) {
    for (const Rect &r : pieces) {
        SCOPED_TRACE(r.what);
        EXPECT_GT(set_pixels(b, r.x, r.y, r.w, r.h), r.w * r.h / 8);
        for (int y = r.y - 1; y <= r.y + r.h; ++y)
            for (int x = r.x - 1; x <= r.x + r.w; ++x) {
                if (inside(r, x, y) || x < 0 || y < 0 || x >= b->w || y >= b->h) continue;
                bool other = false;
                for (const Rect &o : pieces) other = other || inside(o, x, y);
                if (!other) {
                    EXPECT_EQ(getpixel(b, x, y), 0) << "at " << x << "," << y;
                }
            }
    }
}

} // namespace

TEST(GeneratedData, GenerationIsRepeatableByteForByte) {
    QV_SKIP_DETERMINISM_UNDER_SANITIZERS();
    const std::string a = qv::test::make_temp_dir("assetgen-a");
    const std::string b = qv::test::make_temp_dir("assetgen-b");
    ASSERT_EQ(run_generator(a), 0);
    ASSERT_EQ(run_generator(b), 0);
    int files = 0;
    for (const auto &e : fs::recursive_directory_iterator(a)) {
        if (!e.is_regular_file()) continue;
        const fs::path rel = fs::relative(e.path(), a);
        SCOPED_TRACE(rel.string());
        ASSERT_TRUE(fs::exists(fs::path(b) / rel));
        EXPECT_TRUE(read_bytes(e.path()) == read_bytes(fs::path(b) / rel));
        ++files;
    }
    // Code table, title colour maps, 6 stage light tables, 12 sheets, 6
    // grounds, 6 cloud pictures, 22 sounds.
    EXPECT_EQ(files, 2 + 6 + 12 + 6 + 6 + static_cast<int>(std::size(qv::loaded_sounds)));
    fs::remove_all(a);
    fs::remove_all(b);
}

TEST(GeneratedData, MasterColoursAgreeAndFlightSheetsKeepToThem) {
    const Picture &hud = picture("hud.lmp");
    for (const qv::SheetFile &s : qv::SHEET_FILES) {
        const char *name = s.archive;
        const Picture &p = picture(name);
        for (int i = 0; i < 128; ++i) {
            EXPECT_EQ(p.pal[i].r, hud.pal[i].r) << name << " colour " << i;
            EXPECT_EQ(p.pal[i].g, hud.pal[i].g) << name << " colour " << i;
            EXPECT_EQ(p.pal[i].b, hud.pal[i].b) << name << " colour " << i;
        }
    }
    // Drawn over a stage's ground, whose colours own 128..255 in flight.
    for (const char *name : {"hud.lmp", "stages.lmp", "qv_text.lmp", "40_x_tex.lmp"}) {
        BITMAP *b = sheet(name);
        for (int y = 0; y < b->h; ++y)
            for (int x = 0; x < b->w; ++x) ASSERT_LT(getpixel(b, x, y), 128) << name << " " << x << "," << y;
    }
    // The front end fades to the title picture's palette, which the logos share.
    EXPECT_EQ(std::memcmp(picture("logos.lmp").pal, picture("title.lmp").pal, sizeof(PALETTE)), 0);
}

TEST(InterfaceArt, PiecesStandAlone) {
    BITMAP *hud = sheet("hud.lmp");
    expect_pieces_stand_alone(hud, {{"gauge frame", 0, 0, 19, 58},
                                    {"radar bezel", 19, 0, 51, 51},
                                    {"bomb", 0, 58, 6, 7},
                                    {"empty armour tube", 0, 68, 4, 52},
                                    {"empty heat tube", 6, 68, 4, 52},
                                    {"top trim", 0, 123, 9, 3},
                                    {"bottom trim", 0, 127, 9, 3},
                                    {"left trim", 12, 123, 6, 16},
                                    {"right trim", 19, 123, 6, 27},
                                    {"toggle on", 26, 123, 13, 11},
                                    {"toggle off", 40, 123, 13, 11},
                                    {"rating bar", 54, 123, 54, 10},
                                    {"tab end", 0, 131, 5, 5}});
    expect_pieces_stand_alone(sheet("stages.lmp"), {{"mesas", 4, 0, 16, 30},
                                                    {"aurora", 24, 0, 29, 29},
                                                    {"desert sun", 54, 0, 31, 28},
                                                    {"nebula", 85, 0, 32, 24},
                                                    {"wormhole", 118, 0, 42, 28},
                                                    {"galactic core", 160, 0, 33, 28},
                                                    {"intro banner", 0, 48, 207, 35},
                                                    {"complete banner", 0, 90, 207, 35}});
    expect_pieces_stand_alone(sheet("logos.lmp"),
                              {{"logo a", 0, 0, 298, 37}, {"logo b", 0, 42, 298, 37}});
    // Under the stage name the banner is solid, so the text never sits on the ground.
    for (int by : {48, 90})
        EXPECT_EQ(set_pixels(sheet("stages.lmp"), 60, by + 4, 120, 13), 120 * 13) << by;
    // Copied opaque over the tubes: no hole may let the fill show through.
    EXPECT_EQ(set_pixels(hud, 0, 68, 4, 52), 4 * 52);
    EXPECT_EQ(set_pixels(hud, 6, 68, 4, 52), 4 * 52);
    // The two toggle states must differ.
    int differ = 0;
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 13; ++x) differ += getpixel(hud, 26 + x, 123 + y) != getpixel(hud, 40 + x, 123 + y);
    EXPECT_GT(differ, 10);
}

TEST(InterfaceArt, GaugeFrameLeavesExactlyTheTubesOpen) {
    BITMAP *hud = sheet("hud.lmp");
    // The renderer's fill rectangles, in frame coordinates (screen - (3, 140)).
    const int fills[][4] = {{3, 3, 6, 23},  {3, 24, 5, 24},  {3, 25, 4, 54},
                            {12, 34, 15, 54}, {13, 33, 15, 33}, {14, 3, 15, 32}};
    auto filled = [&](int x, int y) {
        for (const auto &f : fills)
            if (x >= f[0] && x <= f[2] && y >= f[1] && y <= f[3]) return true;
        return false;
    };
    for (int y = 0; y < 58; ++y)
        for (int x = 0; x < 19; ++x) {
            if (filled(x, y)) {
                EXPECT_EQ(getpixel(hud, x, y), 0) << x << "," << y;
            } else if (x >= 2 && x <= 16 && y >= 2 && y <= 55) {
                EXPECT_NE(getpixel(hud, x, y), 0) << "frame missing at " << x << "," << y;
            }
        }
}

TEST(InterfaceArt, RadarBezelHasAnOpenCentreAndARing) {
    BITMAP *hud = sheet("hud.lmp");
    int ring = 0;
    for (int y = 0; y < 51; ++y)
        for (int x = 0; x < 51; ++x) {
            const double r = std::hypot(x - 24, y - 25);
            const int c = getpixel(hud, 19 + x, y);
            if (r < 22.5) {
                EXPECT_EQ(c, 0) << x << "," << y;
            }
            if (r > 23.5 && r < 24.5) ring += c != 0;
        }
    EXPECT_GT(ring, 120); // the ring goes all the way round
}

TEST(InterfaceArt, PanelTexturesTile) {
    BITMAP *t40 = sheet("40_x_tex.lmp");
    // Any 64x64 window at (0..127, 0..63) must be a seamless repeat.
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 192; ++x) ASSERT_EQ(getpixel(t40, x, y), getpixel(t40, x % 64, y % 64)) << x << "," << y;
    EXPECT_EQ(set_pixels(t40, 0, 0, 64, 64), 64 * 64);

    BITMAP *t32 = sheet("32_x_tex.lmp");
    EXPECT_EQ(set_pixels(t32, 0, 0, 32, 32), 32 * 32);
    int lit = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int level = getpixel(t32, 32 + x, y);
            // A gentle glow: no level near 0, which would turn the bar white.
            EXPECT_TRUE(level == 0 || level >= 128) << x << "," << y;
            lit += level > 0 && level < 255;
        }
    EXPECT_GT(lit, 32);
}

TEST(InterfaceArt, TitleStarsAreDimAndBright) {
    const Picture &title = picture("title.lmp");
    auto sum = [&](int i) { return title.pal[i].r + title.pal[i].g + title.pal[i].b; };
    EXPECT_GT(sum(136), 170);
    EXPECT_GT(sum(132), 60);
    EXPECT_LT(sum(132), sum(136) - 40);
}

// ---- the fonts ----
namespace {

constexpr int FONT_BASES[] = {0, 117, 39}; // variants 0, 1, 2
constexpr char FIGURES[] = "1234567890.!?*[]()+`,:/{|\1^\1\1<>%"; // \1: no glyph

struct FontCell {
    char ch;
    int row, x;
};

std::vector<FontCell> font_cells() {
    std::vector<FontCell> cells;
    for (int i = 0; i < 26; ++i) {
        cells.push_back({static_cast<char>('A' + i), 0, 10 * i});
        cells.push_back({static_cast<char>('a' + i), 13, 10 * i});
    }
    cells.push_back({'$', 13, 310});
    for (int i = 0; FIGURES[i]; ++i)
        if (FIGURES[i] != '\1') cells.push_back({FIGURES[i], 26, 10 * i});
    return cells;
}

// The drawing advances.
int advance(char c) {
    if (c == 'i') return 4;
    if (std::strchr("Il[", c)) return 5;
    if (c == 't') return 6;
    if (std::strchr("1EFLcfrs", c)) return 7;
    if (std::strchr("023456789KMN<>^{|", c)) return 9;
    if (std::strchr("Wmw", c)) return 10;
    return 8;
}

// Which pixels are set; with `colours`, what each one looks like.
std::string cell_shape(BITMAP *b, int x, int y, int w, int h, bool colours = false) {
    std::string s;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int c = getpixel(b, x + i, y + j);
            s += colours ? static_cast<char>(c) : (c ? '#' : '.');
        }
    return s;
}

} // namespace

TEST(FontArt, EveryGlyphIsDrawnAndFitsItsAdvance) {
    BITMAP *f = sheet("qv_text.lmp");
    for (int base : FONT_BASES)
        for (const FontCell &c : font_cells()) {
            SCOPED_TRACE(std::string("variant base ") + std::to_string(base) + " glyph " + c.ch);
            const int y = base + c.row;
            EXPECT_GT(set_pixels(f, c.x, y, 10, 13), 4);
            // Nothing at or past the advance, or it would touch the next glyph.
            EXPECT_TRUE(empty_rect(f, c.x + advance(c.ch), y, 10 - advance(c.ch), 13));
        }
}

TEST(FontArt, VariantsShareShapesInDistinctColours) {
    BITMAP *f = sheet("qv_text.lmp");
    for (const FontCell &c : font_cells()) {
        const std::string shape = cell_shape(f, c.x, c.row, 10, 13);
        EXPECT_EQ(cell_shape(f, c.x, 117 + c.row, 10, 13), shape) << c.ch;
        EXPECT_EQ(cell_shape(f, c.x, 39 + c.row, 10, 13), shape) << c.ch;
    }
    // The letter body's colour at the same spot differs in each variant.
    const int x = 2, y = 5; // inside the left stem of 'H'
    const int h = 7 * 10;
    EXPECT_NE(getpixel(f, h + x, y), getpixel(f, h + x, 117 + y));
    EXPECT_NE(getpixel(f, h + x, y), getpixel(f, h + x, 39 + y));
    EXPECT_NE(getpixel(f, h + x, 117 + y), getpixel(f, h + x, 39 + y));
}

TEST(FontArt, GlyphsAreDistinctAndTheCommaSitsLow) {
    BITMAP *f = sheet("qv_text.lmp");
    std::map<std::string, char> seen;
    for (const FontCell &c : font_cells()) {
        const auto [it, fresh] = seen.emplace(cell_shape(f, c.x, c.row, 10, 13, true), c.ch);
        EXPECT_TRUE(fresh) << c.ch << " looks like " << it->second;
    }
    // The apostrophe is the comma drawn 8 rows higher: it must then sit at
    // the top of the line, so the comma keeps to the lower rows.
    EXPECT_TRUE(empty_rect(f, 200, 26, 10, 7));
}

TEST(FontArt, TinyFontIsComplete) {
    BITMAP *f = sheet("qv_text.lmp");
    std::string chars;
    for (char c = 'A'; c <= 'Z'; ++c) chars += c;
    for (char c = '0'; c <= '9'; ++c) chars += c;
    chars += "%.:";
    auto tiny_x = [](char c) {
        if (c >= 'A' && c <= 'Z') return 40 + 4 * (c - 'A');
        if (c >= '0' && c <= '9') return 148 + 4 * (c - '0');
        return c == '%' ? 192 : (c == '.' ? 196 : 200);
    };
    for (int y : {78, 82}) {
        std::map<std::string, char> seen;
        for (char c : chars) {
            const int x = tiny_x(c);
            EXPECT_GT(set_pixels(f, x, y, 3, 3), 0) << c;
            EXPECT_TRUE(empty_rect(f, x + 3, y, 1, 3)) << c; // the gap to the next glyph
            const auto [it, fresh] = seen.emplace(cell_shape(f, x, y, 3, 3), c);
            EXPECT_TRUE(fresh) << c << " looks like " << it->second;
        }
        EXPECT_TRUE(empty_rect(f, 40, y + 3, 163, 1)); // rows 81 and 85 stay clear
    }
}
