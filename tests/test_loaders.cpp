// Loading pictures, palettes, colour maps and sounds from archives on disk:
// a data folder of known patterns built here, and the generated one.
#include "assets/game_data.h"
#include "assets/light_tables.h"
#include "assets/picture_files.h"
#include "core/game_state.h"
#include "support/files_test.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace qv;
namespace fs = std::filesystem;

namespace {

using test::expect_refused_naming;
using test::tinted_palette;
using test::write_bytes;

constexpr int GUNFIRE = 8, HUD = 9, TITLE = 11;
constexpr int CLOUD_ARCHIVES[] = {100, 101, 200, 201, 300, 301};
constexpr long TABLE_SIZE = 131072;

// Patterns where neighbouring pixels differ, different for every picture.
int sheet_pixel(int i, int x, int y) {
    return (x * 3 + y * 5 + i * 17) & 255;
}
int ground_pixel(int s, int x, int y) {
    return 128 + ((x * 7 + y * 13 + s * 11) & 127);
}
int cloud_pixel(int a, int x, int y) {
    return (x + 2 * y + a) & 255;
}

bool same_rgb(const RGB &a, const RGB &b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

void write_picture(const std::string &path, int w, int h, int tint,
                   const std::function<int(int, int)> &px) {
    write_bytes(path, encipher_archive(test::pcx_file(w, h, px, tint), tint % CODE_ROWS));
}

std::uint8_t table_byte(long i) {
    return static_cast<std::uint8_t>(i * 7 + (i >> 9));
}

COLOR_MAP light_table(const PALETTE pal, int r, int g_, int b) {
    COLOR_MAP map;
    RGB_MAP *saved = rgb_map;
    rgb_map = nullptr;
    create_light_table(&map, pal, r, g_, b, nullptr);
    rgb_map = saved;
    return map;
}

// A data folder of known patterns, the current folder while a test runs.
class LoaderTest : public test::FilesTest {
  protected:
    const test::InFolder in_dir{dir};

    void SetUp() override {
        FilesTest::SetUp();
        fs::create_directory("graphics");
        fs::create_directory("sfx");
        for (int i = 0; i < SHEET_FILE_COUNT; ++i)
            write_picture(std::string("graphics/") + SHEET_FILES[i].archive, SHEET_FILES[i].width,
                          SHEET_FILES[i].height, i,
                          [i](int x, int y) { return sheet_pixel(i, x, y); });
        for (int s = 0; s < STAGES; ++s)
            write_picture("graphics/" + std::to_string(stage_map_archive[s]), GROUND_PICTURE_SIZE,
                          GROUND_PICTURE_SIZE, 20 + s,
                          [s](int x, int y) { return ground_pixel(s, x, y); });
        for (int a : CLOUD_ARCHIVES)
            write_picture("graphics/" + std::to_string(a), CLOUD_PICTURE_W, CLOUD_PICTURE_H, a,
                          [a](int x, int y) { return cloud_pixel(a, x, y); });
        for (int n : loaded_sounds) {
            const std::vector<std::uint8_t> silence(2 * static_cast<std::size_t>(100 + n));
            const auto wav = test::wav_file({{"fmt ", test::wav_format(1, 16)}, {"data", silence}});
            write_bytes("sfx/" + std::to_string(n), encipher_archive(wav, n % 16));
        }
        std::vector<std::uint8_t> t(TABLE_SIZE);
        for (long i = 0; i < TABLE_SIZE; ++i)
            t[static_cast<size_t>(i)] = table_byte(i);
        write_bytes("table.dat", t);
    }
};

TEST_F(LoaderTest, SheetsLoadInOrderWithTheirPalettes) {
    load_graphics();
    for (int i = 0; i < SHEET_FILE_COUNT; ++i) {
        const char *name = SHEET_FILES[i].archive;
        BITMAP *sheet = g.*SHEET_FILES[i].bitmap;
        ASSERT_NE(sheet, nullptr) << name;
        EXPECT_EQ(bitmap_color_depth(sheet), 8);
        EXPECT_EQ(getpixel(sheet, 319, 199), sheet_pixel(i, 319, 199)) << name;
    }
    // Each palette holds the last archive loaded into it.
    PALETTE gunfire, hud, title;
    tinted_palette(gunfire, GUNFIRE), tinted_palette(hud, HUD), tinted_palette(title, TITLE);
    for (int c = 0; c < PAL_SIZE; ++c) {
        EXPECT_TRUE(same_rgb(g.game_palette[c], gunfire[c])) << c;
        EXPECT_TRUE(same_rgb(g.hud_palette[c], hud[c])) << c;
        EXPECT_TRUE(same_rgb(g.title_palette[c], title[c])) << c;
    }
    EXPECT_EQ(g.stage_map->w, GROUND_PICTURE_SIZE);
    EXPECT_EQ(g.back_buffer->h, 200);
    ASSERT_EQ(g.suit_shadow->w, 41);
    ASSERT_EQ(g.suit_shadow->h, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 41; ++x)
            ASSERT_EQ(getpixel(g.suit_shadow, x, y), sheet_pixel(4, x, 153 + y));
}

// A stage's palette is the interface's colours over its ground's. The light
// tables made for that palette are read, not computed; with none, or made
// for other colours, or damaged, the library's are computed.
TEST_F(LoaderTest, StageStartBuildsItsPaletteAndReadsTheLightTablesMadeForIt) {
    load_graphics();
    // A global rgb_map must neither change the tables nor be lost.
    RGB_MAP *stray = new RGB_MAP;
    create_rgb_table(stray, g.title_palette, nullptr);
    rgb_map = stray;
    g.current_stage = 2;
    load_stage_graphics(); // no file yet: computed
    EXPECT_EQ(rgb_map, stray);
    rgb_map = nullptr;
    delete stray;
    PALETTE flight, ground;
    std::memcpy(flight, g.game_palette, sizeof flight);
    tinted_palette(ground, 22);
    for (int c = 0; c < PAL_SIZE; ++c)
        EXPECT_TRUE(same_rgb(flight[c], c < 128 ? g.hud_palette[c] : ground[c])) << c;
    const COLOR_MAP shade = light_table(flight, 0, 0, 0);
    const COLOR_MAP glow = light_table(flight, 63, 63, 63);
    EXPECT_EQ(std::memcmp(glow.data, g.glow_map.data, sizeof glow.data), 0);
    EXPECT_EQ(std::memcmp(shade.data, g.shade_map.data, 255 * PAL_SIZE), 0);

    // Tables unlike any the library makes, to tell which were used.
    auto marked_shade = std::make_unique<COLOR_MAP>(), marked_glow = std::make_unique<COLOR_MAP>();
    for (int l = 0; l < PAL_SIZE; ++l)
        for (int c = 0; c < PAL_SIZE; ++c) {
            marked_shade->data[l][c] = static_cast<unsigned char>(test::hashed(l, c, 31));
            marked_glow->data[l][c] = static_cast<unsigned char>(test::hashed(l, c, 32));
        }
    const std::string file = stage_light_file(2);
    EXPECT_EQ(file, "light_3.dat"); // named after the ground archive
    write_bytes(file, stage_light_bytes(flight, *marked_shade, *marked_glow));
    load_stage_graphics();
    EXPECT_EQ(std::memcmp(marked_glow->data, g.glow_map.data, sizeof glow.data), 0);
    EXPECT_EQ(std::memcmp(marked_shade->data, g.shade_map.data, 255 * PAL_SIZE), 0);
    for (int c = 0; c < PAL_SIZE; ++c)
        ASSERT_EQ(g.shade_map.data[255][c], c);

    // Made for a palette that differs in one colour: computed again.
    PALETTE other;
    std::memcpy(other, flight, sizeof other);
    other[200].g = static_cast<unsigned char>((other[200].g + 1) % 64);
    write_bytes(file, stage_light_bytes(other, *marked_shade, *marked_glow));
    load_stage_graphics();
    EXPECT_EQ(std::memcmp(glow.data, g.glow_map.data, sizeof glow.data), 0);
    EXPECT_EQ(std::memcmp(shade.data, g.shade_map.data, 255 * PAL_SIZE), 0);

    // Cut short, or longer than it should be: computed again.
    for (long size : {STAGE_LIGHT_FILE_SIZE - 1, STAGE_LIGHT_FILE_SIZE + 1}) {
        std::vector<std::uint8_t> bytes = stage_light_bytes(flight, *marked_shade, *marked_glow);
        bytes.resize(static_cast<size_t>(size));
        write_bytes(file, bytes);
        load_stage_graphics();
        EXPECT_EQ(std::memcmp(glow.data, g.glow_map.data, sizeof glow.data), 0) << size;
    }
}

TEST_F(LoaderTest, EveryStageGetsItsGroundAndItsClouds) {
    load_graphics();
    for (int s = 0; s < STAGES; ++s) {
        SCOPED_TRACE("stage " + std::to_string(s));
        g.current_stage = static_cast<int16>(s);
        load_stage_graphics();
        int wrong = 0;
        for (int y = 0; y < GROUND_PICTURE_SIZE; ++y)
            for (int x = 0; x < GROUND_PICTURE_SIZE; ++x)
                wrong += getpixel(g.stage_map, x, y) != ground_pixel(s, x, y);
        EXPECT_EQ(wrong, 0) << "ground pixels not the archive's";
        const int a = stage_cloud_archive[s];
        ASSERT_EQ(g.cloud_map->w, 256);
        ASSERT_EQ(g.cloud_map->h, 256);
        wrong = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                wrong += getpixel(g.cloud_map, x, y) !=
                         (y < 128 ? cloud_pixel(a, x, y) : cloud_pixel(a + 1, x, y - 128));
        EXPECT_EQ(wrong, 0) << "cloud pixels not from archives " << a << " and " << a + 1;
        for (int c = 0; c < PAL_SIZE; ++c)
            ASSERT_EQ(g.shade_map.data[255][c], c);
    }
    // Stages 2..5 share the clouds "200" and "201".
    EXPECT_EQ(stage_cloud_archive[2], 200);
    EXPECT_EQ(stage_cloud_archive[5], 200);
}

TEST_F(LoaderTest, TitleColourMapsLoadAndReplaceTheFlightMaps) {
    load_colour_tables();
    EXPECT_EQ(g.title_shade_map.data[0][0], table_byte(0));
    EXPECT_EQ(g.title_glow_map.data[0][0], table_byte(1));
    EXPECT_EQ(g.title_shade_map.data[200][17], table_byte(2 * (256 * 200 + 17)));
    EXPECT_EQ(g.title_glow_map.data[255][255], table_byte(TABLE_SIZE - 1));
    use_title_colour_maps();
    EXPECT_EQ(std::memcmp(&g.shade_map, &g.title_shade_map, sizeof(COLOR_MAP)), 0);
    EXPECT_EQ(std::memcmp(&g.glow_map, &g.title_glow_map, sizeof(COLOR_MAP)), 0);

    // A short file is refused and leaves the maps as they were.
    const COLOR_MAP before = g.title_shade_map;
    fs::resize_file("table.dat", TABLE_SIZE - 1);
    expect_refused_naming(load_colour_tables, "table.dat");
    EXPECT_EQ(std::memcmp(&before, &g.title_shade_map, sizeof(COLOR_MAP)), 0);
    fs::remove("table.dat");
    expect_refused_naming(load_colour_tables, "table.dat");
}

// Missing, damaged, or of another size than the table's.
TEST_F(LoaderTest, ArchivesThatCannotBeUsedNameTheFile) {
    const auto blank = [](int, int) { return 0; };
    fs::remove("graphics/hud.lmp");
    expect_refused_naming(load_graphics, "graphics/hud.lmp");
    free_graphics(); // after a partial load, and again
    free_graphics();
    EXPECT_EQ(g.tex40_sheet, nullptr);
    EXPECT_EQ(g.hud_sheet, nullptr);
    write_picture("graphics/hud.lmp", SHEET_W, SHEET_H - 1, HUD, blank);
    expect_refused_naming(load_graphics, "graphics/hud.lmp");

    write_picture("graphics/hud.lmp", SHEET_W, SHEET_H, HUD, blank);
    load_graphics();
    fs::remove("graphics/201");
    g.current_stage = 3;
    expect_refused_naming(load_stage_graphics, "graphics/201");
    write_picture("graphics/201", CLOUD_SIZE, CLOUD_HALF_H, 201, blank);
    expect_refused_naming(load_stage_graphics, "graphics/201");
    write_picture("graphics/201", CLOUD_PICTURE_W, CLOUD_PICTURE_H, 201, blank);
    write_bytes("graphics/4", {7}); // a start row and no picture
    expect_refused_naming(load_stage_graphics, "graphics/4");
    write_picture("graphics/4", GROUND_PICTURE_SIZE, GROUND_PICTURE_SIZE / 2, 23, blank);
    expect_refused_naming(load_stage_graphics, "graphics/4");
    g.current_stage = 0;
    load_stage_graphics();
    free_graphics();
    EXPECT_EQ(g.cloud_map, nullptr);
    EXPECT_EQ(g.stage_map, nullptr);

    fs::remove("sfx/33");
    expect_refused_naming(load_sound_effects, "sfx/33");
}

TEST_F(LoaderTest, SoundsFillTheirOwnSlots) {
    load_sound_effects();
    int loaded = 0;
    for (int n = 0; n < SAMPLE_COUNT; ++n) {
        if (!g.samples[n])
            continue;
        ++loaded;
        EXPECT_EQ(g.samples[n]->len, static_cast<unsigned long>(100 + n)) << n;
        EXPECT_EQ(g.samples[n]->freq, 22050);
    }
    EXPECT_EQ(loaded, 22);
    EXPECT_EQ(g.samples[57], nullptr);
    // Playback without a sound device, or of a slot never loaded, is harmless.
    set_sound_volume(252);
    play_menu_move();
    play_flight_sound(57, 1000);
    play_flight_sound(-1, 1000);
    play_flight_sound(SAMPLE_COUNT, 1000);
    free_sound_effects();
    for (SAMPLE *s : g.samples)
        EXPECT_EQ(s, nullptr);
    play_menu_accept();
}

// The data folder the build generated: everything loads, every stage builds.
using GeneratedData = test::FilesTest;
TEST_F(GeneratedData, LoadsCompletelyForEveryStage) {
    const test::InFolder in_game_dir(test::game_dir());
    if (!fs::exists("loader.def"))
        GTEST_SKIP() << "no generated data in " << test::game_dir();
    load_code_table();
    load_graphics();
    load_sound_effects();
    load_colour_tables();
    for (int n : loaded_sounds) {
        ASSERT_NE(g.samples[n], nullptr) << n;
        EXPECT_EQ(g.samples[n]->freq, 22050);
        EXPECT_LT(g.samples[n]->len, 33075u); // 1.5 s
    }
    for (int s = 0; s < STAGES; ++s) {
        g.current_stage = static_cast<int16>(s);
        load_stage_graphics();
        // The generator made this stage's light tables for this very
        // palette (so the stage start reads them), and they are what the
        // library computes for it.
        auto shade_file = std::make_unique<COLOR_MAP>(), glow_file = std::make_unique<COLOR_MAP>();
        ASSERT_TRUE(read_stage_light_file(stage_light_file(s), g.game_palette, *shade_file,
                                          *glow_file));
        const COLOR_MAP shade = light_table(g.game_palette, 0, 0, 0);
        const COLOR_MAP glow = light_table(g.game_palette, 63, 63, 63);
        EXPECT_EQ(std::memcmp(shade.data, g.shade_map.data, 255 * PAL_SIZE), 0);
        EXPECT_EQ(std::memcmp(glow.data, g.glow_map.data, sizeof glow.data), 0);
        EXPECT_EQ(std::memcmp(g.shade_map.data, shade_file->data, sizeof shade.data), 0);
        EXPECT_EQ(std::memcmp(g.glow_map.data, glow_file->data, sizeof glow.data), 0);
    }
    // The generator builds the title maps as the game builds its own.
    const COLOR_MAP shade = light_table(g.title_palette, 0, 0, 0);
    const COLOR_MAP glow = light_table(g.title_palette, 63, 63, 63);
    EXPECT_EQ(std::memcmp(shade.data, g.title_shade_map.data, 255 * PAL_SIZE), 0);
    EXPECT_EQ(std::memcmp(glow.data, g.title_glow_map.data, sizeof glow.data), 0);
    for (int c = 0; c < PAL_SIZE; ++c)
        ASSERT_EQ(g.title_shade_map.data[255][c], c);
}

} // namespace
