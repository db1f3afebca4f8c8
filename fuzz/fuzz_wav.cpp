// The sound check and Allegro's WAV reader on any plain bytes. A sample that
// is taken must be the one data chunk of the file, frame for frame, in the
// format its format chunk gives (read here independently); a second sample
// made and dropped by the reader shows as a leak.
#include "fuzz_support.h"

#include "assets/archive.h"

#include <cstring>

using namespace qv;

namespace {

std::uint32_t le(const std::vector<std::uint8_t> &b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | b[at + static_cast<std::size_t>(i)];
    return v;
}

void compare(const std::vector<std::uint8_t> &b, const SAMPLE *s) {
    std::size_t at = 12, data_at = 0;
    std::uint32_t data_length = 0, channels = 0, bits = 0, rate = 0;
    int data_chunks = 0;
    while (at + 8 <= b.size()) {
        const std::uint32_t length = le(b, at + 4, 4);
        if (std::memcmp(&b[at], "fmt ", 4) == 0) {
            channels = le(b, at + 10, 2);
            rate = le(b, at + 12, 4);
            bits = le(b, at + 22, 2);
        } else if (std::memcmp(&b[at], "data", 4) == 0) {
            ++data_chunks;
            data_at = at + 8;
            data_length = length;
        }
        at += 8 + length;
    }
    fuzz::require(data_chunks == 1 && at == b.size(), "a sample that is taken has one data chunk");
    fuzz::require(s->bits == static_cast<int>(bits) && (s->stereo != 0) == (channels == 2) &&
                      s->freq == static_cast<int>(rate),
                  "the sample has the format of its format chunk");
    const std::uint32_t frame = channels * bits / 8;
    fuzz::require(s->len == data_length / frame, "the sample has every frame of its data");
    if (bits == 8) {
        fuzz::require(std::memcmp(s->data, &b[data_at], data_length) == 0,
                      "every sample value is the file's");
    } else {
        const auto *values = static_cast<const std::uint16_t *>(s->data);
        for (std::uint32_t i = 0; i < data_length / 2; ++i)
            fuzz::require(values[i] == (le(b, data_at + 2 * i, 2) ^ 0x8000),
                          "every sample value is the file's");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::start();
    const std::vector<std::uint8_t> bytes = fuzz::bytes_of(data, size);
    SAMPLE *sample = nullptr;
    try {
        sample = decode_sample(bytes, "sound");
    } catch (const AssetError &) {
        return 0;
    }
    compare(bytes, sample);
    destroy_sample(sample);
    return 0;
}
