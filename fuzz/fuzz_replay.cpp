// The recordings reader on any bytes, as they are and with their CRC made
// right (so that the fuzzer gets past it to the parser): it refuses or
// gives a recording whose events run in tick order up to its end, whose
// start files fit the game's, and which writes and reads back the same.
#include "fuzz_support.h"

#include "persist/records.h"
#include "persist/settings.h"
#include "replay/replay_file.h"

#include <vector>

using namespace qv;

namespace {

constexpr std::size_t CRC_SIZE = 4;

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
    if (bytes.size() > CRC_SIZE) {
        const std::uint32_t crc = replay::crc32(bytes.data(), bytes.size() - CRC_SIZE);
        for (std::size_t b = 0; b < CRC_SIZE; ++b)
            bytes[bytes.size() - CRC_SIZE + b] = static_cast<std::uint8_t>(crc >> (8 * b));
        check(bytes);
    }
    return 0;
}
