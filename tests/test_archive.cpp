// The archive code, the code table file and the in-memory PCX and WAV loads.
#include "core/game_state.h"
#include "support/files_test.h"

#include <cstring>
#include <random>

using namespace qv;
using Bytes = std::vector<std::uint8_t>;

namespace {

using test::expect_refused_naming;
using test::write_bytes;

Bytes random_bytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto &x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

// An 8-bit mono 11025 Hz PCM WAV of `samples`.
Bytes make_wav(const Bytes &samples, int format = 1) {
    return test::wav_file({{"fmt ", test::wav_format(1, 8, format, 11025)}, {"data", samples}});
}

int pattern(int x, int y) { return (x * 7 + y * 13) & 0xFF; }

// A 40x30 picture written by Allegro's own PCX writer.
const Bytes &pcx() {
    static const Bytes bytes = test::pcx_file(40, 30, pattern, 5);
    return bytes;
}

class ArchiveTest : public test::FilesTest {
  protected:
    std::string archive_file(const std::string &name, const Bytes &plain, int k = 7) {
        write_bytes(dir + "/" + name, encipher_archive(plain, k));
        return dir + "/" + name;
    }
};

TEST_F(ArchiveTest, CodeTableFile) {
    write_bytes(dir + "/loader.def", Bytes(&table[0][0], &table[0][0] + sizeof table));
    std::memset(g.cipher_table, 0, sizeof g.cipher_table);
    load_code_table(dir + "/loader.def");
    EXPECT_EQ(std::memcmp(g.cipher_table, table, sizeof table), 0);
    for (int j = 0; j < 256; ++j) EXPECT_EQ(g.decipher_table[5][table[5][j]], j);

    // A table set in memory is taken as it is (a file's is checked): in a
    // row that repeats a byte the later position wins, the lost byte
    // deciphers to 0.
    const std::uint8_t lost = table[3][10];
    table[3][10] = table[3][20];
    set_code_table(table);
    EXPECT_EQ(g.decipher_table[3][table[3][20]], 20);
    EXPECT_EQ(g.decipher_table[3][lost], 0);

    for (std::size_t size : {0u, 4095u, 4097u}) {
        const std::string path = dir + "/table" + std::to_string(size);
        write_bytes(path, Bytes(size, 1));
        expect_refused_naming([&] { load_code_table(path); }, path);
    }
    expect_refused_naming([&] { load_code_table(dir + "/none.def"); }, dir + "/none.def");
}

TEST_F(ArchiveTest, RowDependsOnlyOnPosition) {
    // Start row 15: the first byte uses row 15, the second row 0.
    EXPECT_EQ(decipher_archive({15, table[15][42], table[0][42]}), (Bytes{42, 42}));
    const Bytes stored = encipher_archive(Bytes(40, 99), 5);
    for (int i = 1; i + 16 < 41; ++i) EXPECT_EQ(stored[i], stored[i + 16]);
    EXPECT_TRUE(decipher_archive({9}).empty());
    const Bytes plain = random_bytes(1000, 3);
    for (int k = 0; k < CODE_ROWS; ++k)
        EXPECT_EQ(decipher_archive(encipher_archive(plain, k)), plain);
    EXPECT_THROW(decipher_archive({}), AssetError);
    EXPECT_THROW(decipher_archive({16, 1}), AssetError);
}

TEST_F(ArchiveTest, PictureAndSampleLoadInMemory) {
    PALETTE pal, got;
    test::tinted_palette(pal, 5);
    const std::string picture = archive_file("pic.lmp", pcx(), 11);
    BITMAP *dest = create_bitmap_ex(8, 64, 64);
    clear_to_color(dest, 200);
    load_archive_picture(picture, got, dest, 40, 30);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(getpixel(dest, x, y), x < 40 && y < 30 ? pattern(x, y) : 200) << x << y;
    for (int i = 0; i < 256; ++i) EXPECT_EQ(got[i].g, pal[i].g);
    destroy_bitmap(dest);

    const Bytes sound = random_bytes(300, 9);
    const std::string wav = archive_file("52", make_wav(sound), 0);
    load_archive_sample(wav, 5);
    load_archive_sample(wav, 5); // the first one is freed, not leaked
    ASSERT_NE(g.samples[5], nullptr);
    EXPECT_EQ(g.samples[5]->len, 300u);
    EXPECT_EQ(g.samples[5]->freq, 11025);
    EXPECT_EQ(std::memcmp(g.samples[5]->data, sound.data(), 300), 0);
    destroy_sample(g.samples[5]);
    g.samples[5] = nullptr;
    EXPECT_EQ(test::files_in(dir).size(), 2u); // no scratch file left behind
}

TEST_F(ArchiveTest, BadArchivesNameTheFile) {
    PALETTE pal;
    BITMAP *dest = create_bitmap_ex(8, 64, 64);
    Bytes claims_a_gigabyte = make_wav(Bytes(10, 1));
    claims_a_gigabyte[claims_a_gigabyte.size() - 11] = 0x40; // its data chunk's length
    const std::string garbage = archive_file("garbage", random_bytes(5000, 4));
    const std::string cut_pcx = archive_file("cut.lmp", Bytes(pcx().begin(), pcx().begin() + 300));
    const std::string long_wav = archive_file("53", claims_a_gigabyte);
    const std::string odd_wav = archive_file("54", make_wav(Bytes(10, 1), 3));
    const std::string over = archive_file("over", Bytes(MAX_ARCHIVE_PAYLOAD + 1, 5));
    const std::string at_limit = archive_file("max", Bytes(MAX_ARCHIVE_PAYLOAD, 5));
    EXPECT_EQ(read_archive(at_limit).size(), static_cast<std::size_t>(MAX_ARCHIVE_PAYLOAD));
    expect_refused_naming([&] { read_archive(over); }, over);
    expect_refused_naming([&] { load_archive_picture(garbage, pal, dest, 40, 30); }, garbage);
    expect_refused_naming([&] { load_archive_picture(cut_pcx, pal, dest, 40, 30); }, cut_pcx);
    expect_refused_naming([&] { load_archive_sample(garbage, 1); }, garbage);
    expect_refused_naming([&] { load_archive_sample(long_wav, 1); }, long_wav);
    expect_refused_naming([&] { load_archive_sample(odd_wav, 1); }, odd_wav);
    expect_refused_naming([&] { load_archive_sample(dir + "/hud.lmp", 1); }, dir + "/hud.lmp");
    EXPECT_EQ(g.samples[1], nullptr);
    destroy_bitmap(dest);
}

} // namespace
