#include "assets/file_checks.h"

#include <cstring>

namespace qv {

namespace {

// PCX header fields, as Allegro's reader takes them.
constexpr std::size_t PCX_HEADER_SIZE = 128;
constexpr std::uint8_t PCX_MANUFACTURER = 10;
constexpr std::uint8_t PCX_RUN_LENGTH_ENCODED = 1;
constexpr std::size_t PCX_ENCODING_AT = 2, PCX_BITS_AT = 3;
constexpr std::size_t PCX_XMIN_AT = 4, PCX_YMIN_AT = 6, PCX_XMAX_AT = 8, PCX_YMAX_AT = 10;
constexpr std::size_t PCX_PLANES_AT = 65, PCX_BYTES_PER_LINE_AT = 66;
// A byte with both top bits set starts a run of (byte & 63) copies of the
// next byte.
constexpr std::uint8_t PCX_RUN_FLAGS = 0xC0, PCX_RUN_COUNT = 0x3F;
// After the pixels: a marker byte, then 256 colours of three bytes.
constexpr std::uint8_t PCX_PALETTE_MARKER = 12;
constexpr std::size_t PCX_PALETTE_BYTES = 256 * 3;

// WAV layout as Allegro's reader walks it.
constexpr std::size_t RIFF_HEADER_SIZE = 12;
constexpr std::size_t CHUNK_HEADER_SIZE = 8;
constexpr std::uint32_t FMT_FIELDS_READ = 16; // read even when the chunk says less
constexpr unsigned WAV_PCM = 1;
constexpr std::size_t FMT_CHANNELS_AT = 2, FMT_RATE_AT = 4, FMT_BITS_AT = 14;

unsigned read_le16(const std::vector<std::uint8_t> &b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}

std::uint32_t read_le32(const std::vector<std::uint8_t> &b, std::size_t at) {
    return static_cast<std::uint32_t>(read_le16(b, at)) |
           (static_cast<std::uint32_t>(read_le16(b, at + 2)) << 16);
}

std::string size_text(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

std::string chunk_name(const std::uint8_t *id) {
    std::string name;
    for (int i = 0; i < 4; ++i)
        name += id[i] >= ' ' && id[i] < 127 ? static_cast<char>(id[i]) : '?';
    return "\"" + name + "\"";
}

} // namespace

std::string pcx_fault(const std::vector<std::uint8_t> &b, int width, int height) {
    if (b.size() < PCX_HEADER_SIZE || b[0] != PCX_MANUFACTURER || b[PCX_BITS_AT] != 8 ||
        b[PCX_PLANES_AT] != 1)
        return "not an 8-bit PCX picture";
    if (b[PCX_ENCODING_AT] != PCX_RUN_LENGTH_ENCODED) return "PCX picture is not run-length encoded";
    const int w = static_cast<int>(read_le16(b, PCX_XMAX_AT)) -
                  static_cast<int>(read_le16(b, PCX_XMIN_AT)) + 1;
    const int h = static_cast<int>(read_le16(b, PCX_YMAX_AT)) -
                  static_cast<int>(read_le16(b, PCX_YMIN_AT)) + 1;
    if (w != width || h != height)
        return "PCX picture is " + size_text(w, h) + ", not " + size_text(width, height);
    // A line holds the width's bytes, at most one more to pad it to an even
    // length; a shorter line would leave pixels the reader never writes.
    const unsigned line = read_le16(b, PCX_BYTES_PER_LINE_AT);
    if (line < static_cast<unsigned>(w) || line > static_cast<unsigned>(w + 1))
        return "PCX header gives " + std::to_string(line) + " bytes per line for a width of " +
               std::to_string(w);

    // The reader decodes each line until it has that many bytes, then looks
    // for the palette marker: the pixels must end exactly there.
    std::size_t at = PCX_HEADER_SIZE;
    for (int y = 0; y < h; ++y) {
        for (unsigned x = 0; x < line;) {
            if (at >= b.size()) return "PCX pixels cut short at line " + std::to_string(y);
            const std::uint8_t code = b[at++];
            unsigned count = 1;
            if ((code & PCX_RUN_FLAGS) == PCX_RUN_FLAGS) {
                count = code & PCX_RUN_COUNT;
                if (at++ >= b.size()) return "PCX pixels cut short at line " + std::to_string(y);
            }
            x += count;
        }
    }
    if (at >= b.size() || b[at] != PCX_PALETTE_MARKER)
        return "PCX pixels do not end at the palette";
    if (b.size() - at - 1 < PCX_PALETTE_BYTES) return "PCX palette cut short";
    return "";
}

std::string wav_fault(const std::vector<std::uint8_t> &b) {
    if (b.size() < RIFF_HEADER_SIZE || std::memcmp(b.data(), "RIFF", 4) != 0 ||
        std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return "not a WAV file";
    bool have_format = false, have_data = false;
    unsigned frame_bytes = 0;
    // The reader goes on reading chunks until the bytes run out, and makes a
    // new sample for every data chunk it meets, so every chunk counts.
    std::size_t at = RIFF_HEADER_SIZE;
    while (at < b.size()) {
        if (b.size() - at < CHUNK_HEADER_SIZE) return "WAV chunk header cut short";
        const std::uint8_t *id = b.data() + at;
        const std::string name = chunk_name(id);
        const std::uint32_t length = read_le32(b, at + 4);
        at += CHUNK_HEADER_SIZE;
        // Files are far below 2 GB, so this also refuses the lengths the
        // reader would take as negative.
        if (length > b.size() - at)
            return "WAV chunk " + name + " claims " + std::to_string(length) +
                   " bytes, more than the file holds";
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (have_format) return "WAV file has a second format chunk";
            if (length < FMT_FIELDS_READ) return "WAV format chunk is too short";
            const unsigned channels = read_le16(b, at + FMT_CHANNELS_AT);
            const unsigned bits = read_le16(b, at + FMT_BITS_AT);
            const auto rate = static_cast<std::int32_t>(read_le32(b, at + FMT_RATE_AT));
            if (read_le16(b, at) != WAV_PCM || (channels != 1 && channels != 2) ||
                (bits != 8 && bits != 16) || rate <= 0)
                return "WAV format is not 8- or 16-bit PCM, mono or stereo";
            have_format = true;
            frame_bytes = channels * bits / 8;
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (!have_format) return "WAV data comes before its format";
            if (have_data) return "WAV file has a second data chunk";
            // The reader takes whole frames only and then reads the next
            // chunk header from where it stopped.
            if (length == 0 || length % frame_bytes != 0)
                return "WAV data is not a whole number of frames";
            have_data = true;
        }
        at += length;
    }
    if (!have_data) return "WAV file has no data chunk";
    return "";
}

} // namespace qv
