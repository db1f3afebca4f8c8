// The records file: its scrambled layout, damaged files, the table order and
// saves that fail.
#include "core/game_state.h"
#include "persist/records.h"
#include "support/files_test.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <sys/stat.h>

using namespace qv;

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

class RecordsTest : public test::FilesTest {
  protected:
    const std::string &path = records_path;
    std::mt19937 rng{99};

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
    // Each save draws its start row: over these saves, every row is met.
    std::set<int> rows;
    for (int n = 0; n < 200; ++n) {
        const Table t = fill_random_table();
        const auto b = test::saved_records();
        const int k = b[0];
        rows.insert(k);
        // The scores, high byte first, in the rows from the start row on;
        // the first name starts 30 rows on, each next one 18 rows further.
        for (int i = 0; i < RECORD_COUNT; ++i) {
            for (int d = 0; d < 3; ++d)
                ASSERT_EQ(b[1 + 3 * i + d], stored(k + 3 * i + d, static_cast<char>(t.score[i] >> (16 - 8 * d))));
            for (int j = 0; j < RECORD_NAME_SIZE; ++j)
                ASSERT_EQ(b[31 + 16 * i + j], stored(k + 30 + 18 * i + j, t.name[i][j]));
        }
        fill_random_table();
        records_from_bytes(b.data(), RECORDS_FILE_SIZE);
        ASSERT_TRUE(Table::current() == t) << k;
    }
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(CODE_ROWS));
}

TEST_F(RecordsTest, ShortAndDamagedFilesGiveASaneTable) {
    const Table t = fill_random_table();
    const auto full = test::saved_records();
    // What the file supplies is read; a cut score is 0, a cut name ends in
    // zero bytes.
    for (int length = 0; length <= RECORDS_FILE_SIZE; ++length) {
        test::write_bytes(path, {full.begin(), full.begin() + length});
        test::load_records(path);
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
    records_from_bytes(test::saved_records().data(), RECORDS_FILE_SIZE);
    EXPECT_EQ(g.record_score[0], MAX_RECORD_SCORE);
    EXPECT_EQ(g.record_score[1], MAX_RECORD_SCORE); // the 8th, in order again
    EXPECT_EQ(g.record_score[9], 0);
}

TEST_F(RecordsTest, FailedSaveKeepsTheOldFile) {
    fill_random_table();
    ASSERT_TRUE(test::save_records(path));
    const auto old = read_file();
    insert_record(0, MAX_RECORD_SCORE, "NEW"); // something to write
    fail_writes_after(100);
    EXPECT_EQ(test::stderr_of([&] { EXPECT_FALSE(test::save_records(path)); }),
              "quarvell: could not save " + path + ": No space left on device\n");
    EXPECT_EQ(read_file(), old);
    EXPECT_EQ(test::files_in(dir), (std::set<std::string>{"assist.def", "assist.def.lock"}));
    fail_writes_after(-1);
    // A missing folder is made; one with a plain file in its way cannot be.
    test::write_bytes(dir + "/gone", {'x'});
    EXPECT_EQ(test::stderr_of([&] { EXPECT_FALSE(test::save_records(dir + "/gone/assist.def")); }),
              "quarvell: could not save " + dir + "/gone/assist.def: cannot make the folder " + dir +
                  "/gone: Not a directory\n");
}

// Every save scrambles from a fresh start row; an unchanged table must
// still leave the file alone, and draw from rand() as a writing save does.
TEST_F(RecordsTest, AnUnchangedTableIsNotWrittenAgain) {
    fill_random_table();
    ASSERT_TRUE(test::save_records(path));
    const auto first = read_file();
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    fail_writes_after(0); // any write would fail, and say so
    for (int i = 0; i < 20; ++i) {
        std::srand(static_cast<unsigned>(i));
        EXPECT_EQ(test::stderr_of([&] { EXPECT_TRUE(test::save_records(path)); }), "");
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
    test::stderr_of([&] { EXPECT_FALSE(test::save_records(path)); });
    fail_writes_after(-1);
    const Table changed = Table::current();
    ASSERT_TRUE(test::save_records(path));
    fill_random_table();
    test::load_records(path);
    EXPECT_TRUE(Table::current() == changed);
}

std::string names(const Table &t) {
    std::string s;
    for (const auto &n : t.name) s += std::string(n) + ",";
    return s;
}

TEST_F(RecordsTest, TwoCopiesSavingOneFileKeepEachOthersRecords) {
    for (int i = 0; i < RECORD_COUNT; ++i) insert_record(i, 1000 - 100 * i, std::string(1, char('A' + i)).c_str());
    // What the other copy will save: the table both load, with its own
    // record entered at the top the game's way.
    const Table start = Table::current();
    insert_record(0, 5000, "OTHER");
    const auto others = test::saved_records();
    std::memcpy(g.record_score, start.score, sizeof start.score);
    std::memcpy(g.record_name, start.name, sizeof start.name);
    ASSERT_TRUE(test::save_records(path));
    test::load_records(path); // both copies start from this table

    // The other copy saves first.
    test::write_bytes(path, others);

    // This copy enters its own, equal to an entry it had, and saves later:
    // as in the game, the new score goes below the equal one.
    insert_record(record_position(800), 800, "N");
    ASSERT_TRUE(test::save_records(path));
    test::load_records(path);
    EXPECT_EQ(names(Table::current()), "OTHER,A,B,C,N,D,E,F,G,H,");
    EXPECT_EQ(g.record_score[0], 5000);

    // Nothing new: saving again adds no copy of any entry.
    const auto before = read_file();
    ASSERT_TRUE(test::save_records(path));
    EXPECT_EQ(read_file(), before);
}

} // namespace
