// The recordings reader on any bytes, as they are and with their checksums
// made right (so that the fuzzer gets past them to the parser): it refuses
// or gives a recording whose events run in tick order up to its end, whose
// start files fit the game's, and which writes and reads back the same.
#include "fuzz_support.h"

#include "persist/records.h"
#include "persist/settings.h"
#include "replay/replay_file.h"

#include <vector>

using namespace qv;

namespace {

constexpr std::size_t CRC_SIZE = 4, KIND_AND_SIZE = 5, BLOCK_HEAD = 9, FIXED_HEAD = 12;

std::uint32_t u32_at(const std::vector<std::uint8_t> &b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    return v;
}

// Writes the right checksum at `at` for the bytes [from, at).
void fix_crc(std::vector<std::uint8_t> &b, std::size_t from, std::size_t at) {
    const std::uint32_t crc = replay::crc32(b.data() + from, at - from);
    for (std::size_t i = 0; i < CRC_SIZE; ++i) b[at + i] = static_cast<std::uint8_t>(crc >> (8 * i));
}

// The header's, and every whole block's head and block checksums, made right.
void fix_checksums(std::vector<std::uint8_t> &b) {
    if (b.size() < FIXED_HEAD) return;
    std::size_t at = FIXED_HEAD + (b[10] | b[11] << 8);
    if (b.size() < at + CRC_SIZE) return;
    fix_crc(b, 0, at);
    for (at += CRC_SIZE; b.size() - at >= BLOCK_HEAD + CRC_SIZE;) {
        const std::size_t n = u32_at(b, at + 1);
        fix_crc(b, at, at + KIND_AND_SIZE);
        if (n > b.size() - at - BLOCK_HEAD - CRC_SIZE) return;
        fix_crc(b, at, at + BLOCK_HEAD + n);
        at += BLOCK_HEAD + n + CRC_SIZE;
    }
}

void check(const std::vector<std::uint8_t> &bytes) {
    replay::Recording r;
    try {
        r = replay::decode(bytes.data(), bytes.size());
    } catch (const replay::ReplayError &) {
        return;
    }
    std::uint32_t last = 0;
    for (const replay::Event &e : r.events) {
        fuzz::require(e.tick >= last, "events in tick order");
        last = e.tick;
    }
    fuzz::require(last <= r.ticks, "no event after the end");
    fuzz::require(!r.settings || r.settings->size() <= SETTINGS_FILE_SIZE, "settings fit");
    fuzz::require(!r.records || r.records->size() <= RECORDS_FILE_SIZE, "records fit");
    const std::vector<std::uint8_t> again = replay::encode(r);
    fuzz::require(replay::decode(again.data(), again.size()) == r, "a recording reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::start();
    std::vector<std::uint8_t> bytes = fuzz::bytes_of(data, size);
    check(bytes);
    fix_checksums(bytes);
    check(bytes);
    return 0;
}
