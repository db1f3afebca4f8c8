#include "replay/replay_file.h"

#include "core/file_bytes.h"
#include "persist/records.h"
#include "persist/settings.h"

#include <array>
#include <cstring>

namespace qv::replay {

namespace {

constexpr char MAGIC[8] = {'Q', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr std::uint8_t HAS_SETTINGS = 1, HAS_RECORDS = 2;
constexpr std::uint8_t END_KIND = 0x7F;
constexpr int CRC_SIZE = 4;
constexpr int VARINT_MAX_BYTES = 5;
// A recording of more than a day of play is not one this game made.
constexpr std::uint32_t MAX_TICKS = 70u * 60 * 60 * 24;
constexpr std::size_t MAX_FILE = 64u << 20;

struct Writer {
    std::vector<std::uint8_t> out;
    void u8(std::uint8_t v) { out.push_back(v); }
    void u16(std::uint16_t v) {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        for (int b = 0; b < 4; ++b) u8(static_cast<std::uint8_t>(v >> (8 * b)));
    }
    void varint(std::uint32_t v) {
        while (v >= 0x80) {
            u8(static_cast<std::uint8_t>(v | 0x80));
            v >>= 7;
        }
        u8(static_cast<std::uint8_t>(v));
    }
    void bytes(const std::vector<std::uint8_t> &b) {
        u8(static_cast<std::uint8_t>(b.size()));
        out.insert(out.end(), b.begin(), b.end());
    }
};

struct Reader {
    const std::uint8_t *p;
    std::size_t left;
    std::uint8_t u8() {
        if (left == 0) throw ReplayError("truncated");
        --left;
        return *p++;
    }
    std::uint16_t u16() {
        const std::uint16_t lo = u8();
        return static_cast<std::uint16_t>(lo | (u8() << 8));
    }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int b = 0; b < 4; ++b) v |= static_cast<std::uint32_t>(u8()) << (8 * b);
        return v;
    }
    std::uint32_t varint() {
        std::uint32_t v = 0;
        for (int i = 0; i < VARINT_MAX_BYTES; ++i) {
            const std::uint8_t b = u8();
            v |= static_cast<std::uint32_t>(b & 0x7F) << (7 * i);
            if (!(b & 0x80)) return v;
        }
        throw ReplayError("damaged (a number runs on)");
    }
    std::vector<std::uint8_t> bytes(std::size_t most) {
        const std::size_t n = u8();
        if (n > most) throw ReplayError("damaged (a saved file is too long)");
        if (n > left) throw ReplayError("truncated");
        std::vector<std::uint8_t> b(p, p + n);
        p += n;
        left -= n;
        return b;
    }
};

bool has_payload(EventKind k) {
    return k == EventKind::KeyDown || k == EventKind::KeyUp || k == EventKind::Pad ||
           k == EventKind::Check;
}

bool known(std::uint8_t k) {
    return k >= static_cast<std::uint8_t>(EventKind::KeyDown) &&
           k <= static_cast<std::uint8_t>(EventKind::WindowKey);
}

} // namespace

std::uint32_t crc32(const std::uint8_t *bytes, std::size_t size) {
    // The usual reflected CRC-32 (as zip and PNG use), a table built once.
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<std::uint8_t> encode(const Recording &r) {
    Writer w;
    for (char c : MAGIC) w.u8(static_cast<std::uint8_t>(c));
    w.u16(FORMAT_VERSION);
    w.bytes(std::vector<std::uint8_t>(r.game_version.begin(), r.game_version.end()));
    w.u8(static_cast<std::uint8_t>((r.settings ? HAS_SETTINGS : 0) | (r.records ? HAS_RECORDS : 0)));
    if (r.settings) w.bytes(*r.settings);
    if (r.records) w.bytes(*r.records);
    std::uint32_t tick = 0;
    for (const Event &e : r.events) {
        w.varint(e.tick - tick);
        tick = e.tick;
        w.u8(static_cast<std::uint8_t>(e.kind));
        if (e.kind == EventKind::Check)
            w.u32(e.value);
        else if (has_payload(e.kind))
            w.u8(static_cast<std::uint8_t>(e.value));
    }
    w.varint(r.ticks - tick);
    w.u8(END_KIND);
    w.u32(static_cast<std::uint32_t>(r.final_score));
    w.u32(r.final_checksum);
    w.u32(crc32(w.out.data(), w.out.size()));
    return w.out;
}

Recording decode(const std::uint8_t *bytes, std::size_t size) {
    if (size < sizeof MAGIC || std::memcmp(bytes, MAGIC, sizeof MAGIC) != 0)
        throw ReplayError("not a QUARVELL recording");
    if (size < sizeof MAGIC + 2 + CRC_SIZE) throw ReplayError("truncated");
    Reader in{bytes + sizeof MAGIC, size - sizeof MAGIC - CRC_SIZE};
    const std::uint16_t version = in.u16();
    if (version != FORMAT_VERSION)
        throw ReplayError("recording format " + std::to_string(version) + ", this game reads " +
                          std::to_string(FORMAT_VERSION));
    // The checksum over the whole file comes first: damage anywhere,
    // including a cut-off end, shows here rather than as odd play.
    std::uint32_t stored = 0;
    for (int b = 0; b < CRC_SIZE; ++b)
        stored |= static_cast<std::uint32_t>(bytes[size - CRC_SIZE + b]) << (8 * b);
    if (stored != crc32(bytes, size - CRC_SIZE)) throw ReplayError("damaged or truncated (checksum)");

    Recording r;
    const std::vector<std::uint8_t> version_text = in.bytes(255);
    r.game_version.assign(version_text.begin(), version_text.end());
    const std::uint8_t flags = in.u8();
    if (flags & ~(HAS_SETTINGS | HAS_RECORDS)) throw ReplayError("damaged (unknown header flags)");
    if (flags & HAS_SETTINGS) r.settings = in.bytes(SETTINGS_FILE_SIZE);
    if (flags & HAS_RECORDS) r.records = in.bytes(RECORDS_FILE_SIZE);
    std::uint32_t tick = 0;
    for (;;) {
        const std::uint32_t delta = in.varint();
        if (delta > MAX_TICKS - tick) throw ReplayError("damaged (time runs past a day)");
        tick += delta;
        const std::uint8_t kind = in.u8();
        if (kind == END_KIND) break;
        if (!known(kind)) throw ReplayError("damaged (unknown event " + std::to_string(kind) + ")");
        Event e{tick, static_cast<EventKind>(kind), 0};
        if (e.kind == EventKind::Check)
            e.value = in.u32();
        else if (has_payload(e.kind))
            e.value = in.u8();
        // Every event takes at least two bytes: the list never outgrows the file.
        r.events.push_back(e);
    }
    r.ticks = tick;
    r.final_score = static_cast<std::int32_t>(in.u32());
    r.final_checksum = in.u32();
    if (in.left != 0) throw ReplayError("damaged (bytes after the end)");
    return r;
}

Recording read_recording(const std::string &path) {
    const auto bytes = read_file_start(path, MAX_FILE + 1);
    if (!bytes) throw ReplayError("cannot open it");
    if (bytes->size() > MAX_FILE) throw ReplayError("too large for a recording");
    return decode(bytes->data(), bytes->size());
}

} // namespace qv::replay
