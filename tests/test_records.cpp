// The records file: its scrambled layout, damaged files, the table order and
// saves that fail.
#include "assets/archive.h"
#include "core/game_state.h"
#include "core/file_bytes.h"
#include "persist/atomic_file.h"
#include "persist/records.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <numeric>
#include <random>
#include <sys/stat.h>

using namespace qv;
namespace fs = std::filesystem;

namespace {

struct Table {
    int32 score[RECORD_COUNT];
    char name[RECORD_COUNT][RECORD_NAME_SIZE];
    static Table current() {
        Table t;
        std::memcpy(t.score, g.record_score, sizeof t.score);
        std::memcpy(t.name, g.record_name, sizeof t.name);
        return t;
    }
    bool operator==(const Table &o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};

class RecordsTest : public ::testing::Test {
  protected:
    std::string dir = test::make_temp_dir("records");
    std::string path = dir + "/assist.def";
    std::mt19937 rng{99};

    void SetUp() override {
        test::reset_state();
        std::uint8_t table[CODE_ROWS][256];
        test::use_shuffled_code_table(table, 99);
    }
    void TearDown() override {
        fail_writes_after(-1);
        fs::remove_all(dir);
    }

    // A table the game could have saved: random in-range scores, highest
    // first, and names of up to 11 characters of any byte but 0.
    Table fill_random_table() {
        std::memset(g.record_name, 0, sizeof g.record_name);
        for (int i = 0; i < RECORD_COUNT; ++i) {
            g.record_score[i] = static_cast<int32>(rng() % (MAX_RECORD_SCORE + 1u));
            const int length = static_cast<int>(rng() % NAME_BUFFER_SIZE);
            for (int j = 0; j < length; ++j) g.record_name[i][j] = static_cast<char>(1 + rng() % 255);
        }
        std::sort(g.record_score, g.record_score + RECORD_COUNT, std::greater<>());
        return Table::current();
    }

    std::vector<std::uint8_t> read_file() const { return test::read_bytes(path); }
};

std::uint8_t stored(int row, char plain) {
    return g.cipher_table[row % 16][static_cast<std::uint8_t>(plain)];
}

TEST_F(RecordsTest, FileLayoutAndRoundTrips) {
    for (int k = 0; k < CODE_ROWS; ++k) {
        const Table t = fill_random_table();
        const RecordsBytes b = records_to_bytes(k);
        EXPECT_EQ(b[0], k);
        records_from_bytes(b.data(), RECORDS_FILE_SIZE);
        EXPECT_TRUE(Table::current() == t) << k;
    }
    // 70,000 is stored as 1, 17, 112; with start row 14 the first name
    // starts on row 12 and the second on row 14.
    g.record_score[0] = 70000;
    const RecordsBytes b = records_to_bytes(14);
    EXPECT_EQ(b[1], g.cipher_table[14][1]);
    EXPECT_EQ(b[2], g.cipher_table[15][17]);
    EXPECT_EQ(b[3], g.cipher_table[0][112]);
    EXPECT_EQ(b[31], stored(12, g.record_name[0][0]));
    EXPECT_EQ(b[47], stored(14, g.record_name[1][0]));

    const Table t = fill_random_table();
    ASSERT_TRUE(save_records(path));
    const auto file = read_file();
    const int k = file[0];
    for (int n = 0; n < RECORD_COUNT; ++n)
        for (int j = 0; j < RECORD_NAME_SIZE; ++j)
            ASSERT_EQ(file[31 + 16 * n + j], stored(k + 30 + 18 * n + j, t.name[n][j]));
    fill_random_table();
    load_records(path);
    EXPECT_TRUE(Table::current() == t);
}

TEST_F(RecordsTest, ShortAndDamagedFilesGiveASaneTable) {
    const Table t = fill_random_table();
    const RecordsBytes full = records_to_bytes(5);
    // What the file supplies is read; a cut score is 0, a cut name ends in
    // zero bytes.
    for (int length = 0; length <= RECORDS_FILE_SIZE; ++length) {
        test::write_bytes(path, {full.begin(), full.begin() + length});
        load_records(path);
        for (int i = 0; i < RECORD_COUNT; ++i) {
            ASSERT_EQ(g.record_score[i], length >= 4 + 3 * i ? t.score[i] : 0) << length;
            for (int j = 0; j < RECORD_NAME_SIZE; ++j)
                ASSERT_EQ(g.record_name[i][j], length > 31 + 16 * i + j ? t.name[i][j] : 0);
        }
    }
    for (int n = 0; n < 300; ++n) {
        RecordsBytes b;
        for (auto &x : b) x = static_cast<std::uint8_t>(rng());
        records_from_bytes(b.data(), RECORDS_FILE_SIZE);
        for (int i = 0; i < RECORD_COUNT; ++i) {
            ASSERT_LE(g.record_score[i], MAX_RECORD_SCORE);
            ASSERT_NE(std::memchr(g.record_name[i], 0, RECORD_NAME_SIZE), nullptr);
        }
    }
}

TEST_F(RecordsTest, NewScoresEnterInOrder) {
    for (int i = 0; i < RECORD_COUNT; ++i) {
        g.record_score[i] = 1000 - 100 * i;
        for (int j = 0; j < RECORD_NAME_SIZE; ++j) g.record_name[i][j] = char('A' + i + j);
        g.record_name[i][5] = 0; // the bytes after it move with the name too
    }
    EXPECT_EQ(record_position(100), -1); // equal to the tenth
    EXPECT_EQ(record_position(101), 9);
    EXPECT_EQ(record_position(1000), 1); // equal to the first: the older stays ahead
    EXPECT_EQ(record_position(1001), 0);
    EXPECT_EQ(record_position(-5), -1);

    const Table before = Table::current();
    insert_record(1, 950, "A VERY LONG NAME");
    EXPECT_EQ(g.record_score[1], 950);
    EXPECT_STREQ(g.record_name[1], "A VERY LONG"); // 11 characters kept
    EXPECT_EQ(g.record_score[2], 900);
    EXPECT_EQ(std::memcmp(g.record_name[2], before.name[1], RECORD_NAME_SIZE), 0);
    EXPECT_EQ(g.record_score[9], 200); // 100 dropped out

    insert_record(0, 20000000, "MAX");
    insert_record(9, -7, "NEG");
    EXPECT_EQ(g.record_score[0], MAX_RECORD_SCORE);
    EXPECT_EQ(g.record_score[9], 0);
    g.record_score[8] = 30000000; // whatever is in memory, the file holds 24 bits
    g.record_score[9] = -50;
    records_from_bytes(records_to_bytes(3).data(), RECORDS_FILE_SIZE);
    EXPECT_EQ(g.record_score[0], MAX_RECORD_SCORE);
    EXPECT_EQ(g.record_score[1], MAX_RECORD_SCORE); // the 8th, in order again
    EXPECT_EQ(g.record_score[9], 0);
}

TEST_F(RecordsTest, FailedSaveKeepsTheOldFile) {
    fill_random_table();
    ASSERT_TRUE(save_records(path));
    const auto old = read_file();
    insert_record(0, MAX_RECORD_SCORE, "NEW"); // something to write
    fail_writes_after(100);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(save_records(path));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quarvell: could not save " + path + ": No space left on device\n");
    EXPECT_EQ(read_file(), old);
    EXPECT_EQ(test::files_in(dir), (std::set<std::string>{"assist.def", "assist.def.lock"}));
    fail_writes_after(-1);
    // A missing folder is made; one with a plain file in its way cannot be.
    test::write_bytes(dir + "/gone", {'x'});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(save_records(dir + "/gone/assist.def"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quarvell: could not save " + dir + "/gone/assist.def: cannot make the folder " + dir +
                  "/gone: Not a directory\n");
}

// Every save scrambles from a fresh start row; an unchanged table must
// still leave the file alone, and draw from rand() as a writing save does.
TEST_F(RecordsTest, AnUnchangedTableIsNotWrittenAgain) {
    fill_random_table();
    ASSERT_TRUE(save_records(path));
    const auto first = read_file();
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    fail_writes_after(0); // any write would fail, and say so
    for (int i = 0; i < 20; ++i) {
        std::srand(static_cast<unsigned>(i));
        testing::internal::CaptureStderr();
        EXPECT_TRUE(save_records(path));
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        const int after_save = std::rand();
        std::srand(static_cast<unsigned>(i));
        std::rand();
        EXPECT_EQ(after_save, std::rand()) << "a skipped save must draw one value";
    }
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(read_file(), first);

    // A new record is written (and here fails on the full disk).
    insert_record(3, g.record_score[3] + 1, "NEW");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(save_records(path));
    testing::internal::GetCapturedStderr();
    fail_writes_after(-1);
    const Table changed = Table::current();
    ASSERT_TRUE(save_records(path));
    fill_random_table();
    load_records(path);
    EXPECT_TRUE(Table::current() == changed);
}

} // namespace

namespace {

// What another copy of the game, sharing the file, saves meanwhile: the
// table both loaded, with its own record entered the game's way.
void other_copy_saves(const std::string &path, int at, int32 score, const char *name, int row) {
    const Table mine = Table::current();
    insert_record(at, score, name);
    const RecordsBytes b = records_to_bytes(row);
    test::write_bytes(path, {b.begin(), b.end()});
    std::memcpy(g.record_score, mine.score, sizeof mine.score);
    std::memcpy(g.record_name, mine.name, sizeof mine.name);
}

std::string names(const Table &t) {
    std::string s;
    for (const auto &n : t.name) s += std::string(n) + ",";
    return s;
}

} // namespace

TEST_F(RecordsTest, TwoCopiesSavingOneFileKeepEachOthersRecords) {
    for (int i = 0; i < RECORD_COUNT; ++i) insert_record(i, 1000 - 100 * i, std::string(1, char('A' + i)).c_str());
    ASSERT_TRUE(save_records(path));
    load_records(path); // both copies start from this table

    // The other copy enters a record at the top and saves first.
    other_copy_saves(path, 0, 5000, "OTHER", 7);

    // This copy enters its own, equal to an entry it had, and saves later.
    insert_record(record_position(800), 800, "C");
    ASSERT_TRUE(save_records(path));
    load_records(path);
    EXPECT_EQ(names(Table::current()), "OTHER,A,B,C,C,D,E,F,G,H,");
    EXPECT_EQ(g.record_score[0], 5000);

    // Nothing new: saving again adds no copy of any entry.
    const auto before = read_file();
    ASSERT_TRUE(save_records(path));
    EXPECT_EQ(read_file(), before);
}
