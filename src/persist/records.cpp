// The records file: the ten scores (24 bits each, big-endian), then the ten
// 16-byte name slots, all scrambled with the archive code. The code row
// starts at the file's first byte, moves on one per byte and two more after
// each name.
#include "persist/records.h"

#include "core/game_state.h"
#include "core/sim_lock.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace qv {

namespace {

constexpr int SCORE_BYTES = 3;
constexpr int AT_SCORES = 1;
constexpr int AT_NAMES = AT_SCORES + RECORD_COUNT * SCORE_BYTES;
constexpr int ROWS_SKIPPED_AFTER_NAME = 2;
constexpr int CODE_ROW_COUNT = 16;

static_assert(AT_NAMES + RECORD_COUNT * RECORD_NAME_SIZE == RECORDS_FILE_SIZE);

int32 clamp_score(int32 score) { return std::clamp<int32>(score, 0, MAX_RECORD_SCORE); }

// Walks the code rows in file order.
struct RowCounter {
    int row;
    int take() {
        const int r = row;
        row = (row + 1) % CODE_ROW_COUNT;
        return r;
    }
    void end_name() { row = (row + ROWS_SKIPPED_AFTER_NAME) % CODE_ROW_COUNT; }
};

Bytes to_bytes(const RecordsBytes &b) { return Bytes(b.begin(), b.end()); }

struct Entry {
    int32 score;
    char name[RECORD_NAME_SIZE];
    bool operator==(const Entry &o) const {
        return score == o.score && std::memcmp(name, o.name, RECORD_NAME_SIZE) == 0;
    }
};

// The table as a value: what a file holds, what this copy holds, and what
// a save makes of the two.
using Table = std::array<Entry, RECORD_COUNT>;

Table current_table() {
    Table t;
    for (int i = 0; i < RECORD_COUNT; ++i) {
        t[i].score = g.record_score[i];
        std::memcpy(t[i].name, g.record_name[i], RECORD_NAME_SIZE);
    }
    return t;
}

void make_current(const Table &t) {
    for (int i = 0; i < RECORD_COUNT; ++i) {
        g.record_score[i] = t[i].score;
        std::memcpy(g.record_name[i], t[i].name, RECORD_NAME_SIZE);
    }
}

// Highest first, equal scores in the order given (the older one ahead),
// the best ten kept.
Table table_of(std::vector<Entry> e) {
    std::stable_sort(e.begin(), e.end(), [](const Entry &a, const Entry &b) { return a.score > b.score; });
    Table t{};
    std::copy_n(e.begin(), std::min<std::size_t>(e.size(), RECORD_COUNT), t.begin());
    return t;
}

RecordsBytes encode(const Table &t, int start_row) {
    RecordsBytes b{};
    RowCounter rows{((start_row % CODE_ROW_COUNT) + CODE_ROW_COUNT) % CODE_ROW_COUNT};
    b[0] = static_cast<std::uint8_t>(rows.row);
    int at = AT_SCORES;
    for (int i = 0; i < RECORD_COUNT; ++i) {
        const int32 s = clamp_score(t[i].score);
        const std::uint8_t plain[SCORE_BYTES] = {static_cast<std::uint8_t>(s >> 16),
                                                 static_cast<std::uint8_t>(s >> 8),
                                                 static_cast<std::uint8_t>(s)};
        for (std::uint8_t p : plain) b[at++] = g.cipher_table[rows.take()][p];
    }
    for (int i = 0; i < RECORD_COUNT; ++i) {
        for (int j = 0; j < RECORD_NAME_SIZE; ++j) {
            const auto p = static_cast<std::uint8_t>(t[i].name[j]);
            b[at++] = g.cipher_table[rows.take()][p];
        }
        rows.end_name();
    }
    return b;
}

Table decode(const std::uint8_t *bytes, int length) {
    // What the file does not supply stays a zero score and an empty name.
    Table t{};
    const int n = bytes ? std::clamp(length, 0, RECORDS_FILE_SIZE) : 0;
    if (n > 0) {
        // A damaged start row still picks one of the sixteen rows.
        RowCounter rows{bytes[0] % CODE_ROW_COUNT};
        int at = AT_SCORES;
        for (int i = 0; i < RECORD_COUNT; ++i) {
            int32 s = 0;
            for (int k = 0; k < SCORE_BYTES; ++k, ++at)
                s = s * 256 + (at < n ? g.decipher_table[rows.take()][bytes[at]] : 0);
            // A score cut short by the end of the file is not trusted.
            if (at <= n) t[i].score = s;
        }
        for (int i = 0; i < RECORD_COUNT; ++i) {
            for (int j = 0; j < RECORD_NAME_SIZE && at < n; ++j, ++at)
                t[i].name[j] = static_cast<char>(g.decipher_table[rows.take()][bytes[at]]);
            rows.end_name();
        }
    }
    // Whatever the file held, a name is at most what the name entry accepts
    // (a longer one runs into the score column) and nothing follows it.
    for (Entry &e : t) {
        char *name = e.name;
        const auto *end = static_cast<const char *>(std::memchr(name, 0, NAME_MAX_CHARS));
        const int used = end ? static_cast<int>(end - name) : NAME_MAX_CHARS;
        std::memset(name + used, 0, RECORD_NAME_SIZE - static_cast<std::size_t>(used));
    }
    // A damaged file may hold the scores in any order; the table is kept
    // highest first (a new score is placed by comparing from the top).
    return table_of({t.begin(), t.end()});
}

// The table as this copy last read or wrote it: what it holds beyond that
// are the records made here since.
struct Baseline {
    std::string path;
    Table table{};
};
Baseline baseline;

// The file's table with this copy's new records added: nothing that another
// copy saved meanwhile is lost, and an entry both copies had counts once.
Table merge_with(const Table &mine, const Table &held) {
    std::vector<Entry> all(held.begin(), held.end()), before(baseline.table.begin(), baseline.table.end());
    for (const Entry &e : mine) {
        const auto known = std::find(before.begin(), before.end(), e);
        if (known != before.end())
            before.erase(known);
        else
            all.push_back(e);
    }
    return table_of(std::move(all));
}

} // namespace

void records_from_bytes(const std::uint8_t *bytes, int length) {
    make_current(decode(bytes, length));
}

void load_records(Saves &from) {
    from.clean(SaveFile::Records);
    // A missing or unreadable file is a first start: an empty table.
    const Bytes b = from.read(SaveFile::Records, RECORDS_FILE_SIZE).value_or(Bytes{});
    // The disk is read before the lock is taken: a timer never waits on it.
    SimLock lock;
    records_from_bytes(b.data(), static_cast<int>(b.size()));
    baseline = {from.name(SaveFile::Records), current_table()};
}

bool save_records(Saves &to) {
    // Drawn at every save, written or not: how a game plays must never
    // depend on what the disk holds.
    const int row = std::rand() % CODE_ROW_COUNT;
    const Table mine = current_table();
    const std::string name = to.name(SaveFile::Records);
    Table saved = mine;
    const bool ok = to.save(SaveFile::Records, [&](const std::optional<Bytes> &held) {
        if (!held || baseline.path != name) return to_bytes(encode(mine, row));
        saved = merge_with(mine, decode(held->data(), static_cast<int>(held->size())));
        // Each save scrambles from a fresh start row, so an unchanged table
        // would still give new bytes: when the file already holds this
        // table (from whatever row), it is left as it is.
        if (held->size() == RECORDS_FILE_SIZE && (*held)[0] < CODE_ROW_COUNT &&
            to_bytes(encode(saved, (*held)[0])) == *held)
            return *held;
        return to_bytes(encode(saved, row));
    });
    if (!ok) return false;
    // The table shown from now on holds the other copies' records too.
    make_current(saved);
    baseline = {name, saved};
    return true;
}

int record_position(int32 score) {
    const int32 s = clamp_score(score);
    for (int i = 0; i < RECORD_COUNT; ++i)
        if (s > g.record_score[i]) return i;
    return -1;
}

void insert_record(int position, int32 score, const char *name) {
    if (position < 0 || position >= RECORD_COUNT) return;
    for (int i = RECORD_COUNT - 1; i > position; --i) {
        g.record_score[i] = g.record_score[i - 1];
        std::memcpy(g.record_name[i], g.record_name[i - 1], RECORD_NAME_SIZE);
    }
    g.record_score[position] = clamp_score(score);
    // Like the name entry's buffer: up to 11 characters, zero-filled to 12
    // bytes; the slot's last bytes carry no meaning.
    char *slot = g.record_name[position];
    std::memset(slot, 0, NAME_BUFFER_SIZE);
    for (int j = 0; name && j < NAME_MAX_CHARS && name[j] != 0; ++j) slot[j] = name[j];
}

} // namespace qv
