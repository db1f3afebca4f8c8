// The records reader on any bytes: a table highest first, scores of 24 bits,
// names of at most 11 characters with nothing after them, and what would be
// saved reads back the same.
#include "fuzz_support.h"

#include "core/game_state.h"
#include "persist/records.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::start();
    records_from_bytes(data, static_cast<int>(std::min<std::size_t>(size, 1 << 20)));
    for (int i = 0; i < RECORD_COUNT; ++i) {
        fuzz::require(g.record_score[i] >= 0 && g.record_score[i] <= MAX_RECORD_SCORE,
                      "scores of 24 bits");
        if (i > 0)
            fuzz::require(g.record_score[i - 1] >= g.record_score[i], "highest score first");
        const char *name = g.record_name[i];
        const std::size_t length = strnlen(name, RECORD_NAME_SIZE);
        fuzz::require(length < NAME_BUFFER_SIZE, "names of at most 11 characters");
        for (std::size_t j = length; j < RECORD_NAME_SIZE; ++j)
            fuzz::require(name[j] == 0, "nothing after a name");
    }
    int32 scores[RECORD_COUNT];
    char names[RECORD_COUNT][RECORD_NAME_SIZE];
    std::memcpy(scores, g.record_score, sizeof scores);
    std::memcpy(names, g.record_name, sizeof names);
    std::srand(size > 0 ? data[0] : 0); // the save draws its start row from here
    const std::vector<std::uint8_t> saved = fuzz::saved_records();
    records_from_bytes(saved.data(), RECORDS_FILE_SIZE);
    fuzz::require(std::memcmp(scores, g.record_score, sizeof scores) == 0 &&
                      std::memcmp(names, g.record_name, sizeof names) == 0,
                  "saved records read back the same");
    return 0;
}
