#include "replay/replay_file.h"

#include "core/file_bytes.h"
#include "persist/atomic_file.h"
#include "persist/records.h"
#include "persist/settings.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace qv::replay {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char MAGIC[8] = {'Q', 'V', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr std::uint8_t HAS_SETTINGS = 1, HAS_RECORDS = 2;
constexpr std::uint8_t EVENTS_BLOCK = 'E', END_BLOCK = 'Z';
constexpr std::size_t CRC_SIZE = 4;
constexpr std::size_t KIND_AND_SIZE = 1 + 4;
constexpr std::size_t BLOCK_HEAD = KIND_AND_SIZE + CRC_SIZE;
constexpr int VARINT_MAX_BYTES = 5;
// The first format kept its one checksum at the very end of the file.
constexpr std::uint16_t FIRST_FORMAT = 1;
// A recording of more than a day of play is not one this game made.
constexpr std::uint32_t MAX_TICKS = 70u * 60 * 60 * 24;
constexpr std::size_t MAX_FILE = 64u << 20;

struct Writer {
    Bytes out;
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
    void bytes(const Bytes &b) {
        u8(static_cast<std::uint8_t>(b.size()));
        out.insert(out.end(), b.begin(), b.end());
    }
};

struct Reader {
    const std::uint8_t *p;
    std::size_t left;
    std::uint8_t u8() {
        if (left == 0) throw ReplayError("damaged (a block runs short)");
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
    Bytes bytes(std::size_t most) {
        const std::size_t n = u8();
        if (n > most) throw ReplayError("damaged (a saved file is too long)");
        if (n > left) throw ReplayError("damaged (a block runs short)");
        Bytes b(p, p + n);
        p += n;
        left -= n;
        return b;
    }
};

std::uint32_t u32_at(const std::uint8_t *p) {
    std::uint32_t v = 0;
    for (std::size_t b = 0; b < 4; ++b) v |= static_cast<std::uint32_t>(p[b]) << (8 * b);
    return v;
}

bool has_key(EventKind k) { return k == EventKind::KeyDown || k == EventKind::KeyUp; }

bool known(std::uint8_t k) {
    return k >= static_cast<std::uint8_t>(EventKind::KeyDown) &&
           k <= static_cast<std::uint8_t>(EventKind::WindowKey);
}

// Everything before the first block: magic, version, header, its checksum.
Bytes header_bytes(const Recording &r) {
    Writer h;
    h.bytes(Bytes(r.game_version.begin(), r.game_version.end()));
    h.u8(static_cast<std::uint8_t>((r.settings ? HAS_SETTINGS : 0) | (r.records ? HAS_RECORDS : 0)));
    if (r.settings) h.bytes(*r.settings);
    if (r.records) h.bytes(*r.records);
    Writer w;
    for (char c : MAGIC) w.u8(static_cast<std::uint8_t>(c));
    w.u16(FORMAT_VERSION);
    w.u16(static_cast<std::uint16_t>(h.out.size()));
    w.out.insert(w.out.end(), h.out.begin(), h.out.end());
    w.u32(crc32(w.out.data(), w.out.size()));
    return w.out;
}

Bytes block(std::uint8_t kind, const Bytes &payload) {
    Writer w;
    w.u8(kind);
    w.u32(static_cast<std::uint32_t>(payload.size()));
    w.u32(crc32(w.out.data(), w.out.size()));
    w.out.insert(w.out.end(), payload.begin(), payload.end());
    w.u32(crc32(w.out.data(), w.out.size()));
    return w.out;
}

// One event after the one at `last_tick`.
void write_event(Writer &w, const Event &e, std::uint32_t &last_tick) {
    w.varint(e.tick - last_tick);
    last_tick = e.tick;
    w.u8(static_cast<std::uint8_t>(e.kind));
    if (e.kind == EventKind::Check)
        w.u32(e.value);
    else if (e.kind == EventKind::Pad)
        w.u16(static_cast<std::uint16_t>(e.value));
    else if (has_key(e.kind))
        w.u8(static_cast<std::uint8_t>(e.value));
}

// One event after the one at `last_tick`, no later than `through`.
Event read_event(Reader &in, std::uint32_t &last_tick, std::uint32_t through) {
    const std::uint32_t delta = in.varint();
    if (delta > through - last_tick) throw ReplayError("damaged (an event past its block)");
    last_tick += delta;
    const std::uint8_t kind = in.u8();
    if (!known(kind)) throw ReplayError("damaged (unknown event " + std::to_string(kind) + ")");
    Event e{last_tick, static_cast<EventKind>(kind), 0};
    if (e.kind == EventKind::Check)
        e.value = in.u32();
    else if (e.kind == EventKind::Pad)
        e.value = in.u16();
    else if (has_key(e.kind))
        e.value = in.u8();
    return e;
}

// An events block: the last tick it covers, then its events' bytes.
Bytes events_block(const Bytes &events, std::uint32_t through) {
    Writer w;
    w.u32(through);
    w.out.insert(w.out.end(), events.begin(), events.end());
    return block(EVENTS_BLOCK, w.out);
}

Bytes end_block(std::int32_t score, std::uint32_t checksum) {
    Writer w;
    w.u32(static_cast<std::uint32_t>(score));
    w.u32(checksum);
    return block(END_BLOCK, w.out);
}

// A file of the first format, undamaged: refused by its version, since it
// is no damage.
bool first_format(const std::uint8_t *bytes, std::size_t size) {
    return size > sizeof MAGIC + 2 + CRC_SIZE && bytes[sizeof MAGIC] == FIRST_FORMAT &&
           bytes[sizeof MAGIC + 1] == 0 &&
           u32_at(bytes + size - CRC_SIZE) == crc32(bytes, size - CRC_SIZE);
}

void read_header(Reader in, Recording &r) {
    const Bytes version_text = in.bytes(255);
    r.game_version.assign(version_text.begin(), version_text.end());
    const std::uint8_t flags = in.u8();
    if (flags & ~(HAS_SETTINGS | HAS_RECORDS)) throw ReplayError("damaged (unknown header flags)");
    if (flags & HAS_SETTINGS) r.settings = in.bytes(SETTINGS_FILE_SIZE);
    if (flags & HAS_RECORDS) r.records = in.bytes(RECORDS_FILE_SIZE);
    if (in.left != 0) throw ReplayError("damaged (header)");
}

// One events block's payload, appended to r.events.
void read_events(Reader in, Recording &r, std::uint32_t &last_tick, bool first_block) {
    const std::uint32_t through = in.u32();
    if (through > MAX_TICKS) throw ReplayError("damaged (time runs past a day)");
    if (through < r.ticks) throw ReplayError("damaged (time runs backwards)");
    const std::uint32_t previous_through = r.ticks;
    while (in.left > 0) {
        // Every event takes at least two bytes: the list never outgrows the file.
        r.events.push_back(read_event(in, last_tick, through));
        if (!first_block && last_tick <= previous_through)
            throw ReplayError("damaged (an event before its block)");
    }
    r.ticks = through;
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
    Bytes out = header_bytes(r);
    std::uint32_t last_tick = 0;
    const Event *e = r.events.data(), *end = e + r.events.size();
    // A block every BLOCK_TICKS ticks, then the rest, as the recorder writes
    // them (which may also end on an empty block: it reads the same).
    for (std::uint32_t through = BLOCK_TICKS;; through += BLOCK_TICKS) {
        through = std::min(through, r.ticks);
        Writer events;
        for (; e != end && e->tick <= through; ++e) write_event(events, *e, last_tick);
        const Bytes b = events_block(events.out, through);
        out.insert(out.end(), b.begin(), b.end());
        if (through == r.ticks) break;
    }
    if (r.complete) {
        const Bytes z = end_block(r.final_score, r.final_checksum);
        out.insert(out.end(), z.begin(), z.end());
    }
    return out;
}

Recording decode(const std::uint8_t *bytes, std::size_t size) {
    if (size < sizeof MAGIC || std::memcmp(bytes, MAGIC, sizeof MAGIC) != 0)
        throw ReplayError("not a QUARVELL recording");
    constexpr std::size_t fixed_head = sizeof MAGIC + 2 + 2;
    if (size < fixed_head) throw ReplayError("truncated");
    Reader in{bytes + sizeof MAGIC, size - sizeof MAGIC};
    const std::uint16_t version = in.u16();
    const std::size_t header_size = in.u16();
    // The checksum comes first: a damaged version number is damage, not a
    // recording of another version.
    const std::size_t header_end = fixed_head + header_size;
    if (size < header_end + CRC_SIZE || u32_at(bytes + header_end) != crc32(bytes, header_end)) {
        if (first_format(bytes, size))
            throw ReplayError("recording format 1, this game reads " + std::to_string(FORMAT_VERSION));
        throw ReplayError(size < header_end + CRC_SIZE ? "truncated" : "damaged (header checksum)");
    }
    if (version != FORMAT_VERSION)
        throw ReplayError("recording format " + std::to_string(version) + ", this game reads " +
                          std::to_string(FORMAT_VERSION));
    Recording r;
    read_header(Reader{bytes + fixed_head, header_size}, r);

    // Blocks until the end block; a file that stops before one (or inside
    // one: the game was killed while it was written) was cut off. A block's
    // head is checked before its length is believed: a damaged length must
    // not pass for a file that stops early.
    r.complete = false;
    std::uint32_t last_tick = 0;
    bool first_block = true;
    for (std::size_t at = header_end + CRC_SIZE; at < size;) {
        if (size - at < BLOCK_HEAD) break;
        if (u32_at(bytes + at + KIND_AND_SIZE) != crc32(bytes + at, KIND_AND_SIZE))
            throw ReplayError("damaged (block head checksum)");
        const std::size_t n = u32_at(bytes + at + 1);
        if (n + CRC_SIZE > size - at - BLOCK_HEAD) break;
        const std::size_t crc_at = at + BLOCK_HEAD + n;
        if (u32_at(bytes + crc_at) != crc32(bytes + at, BLOCK_HEAD + n))
            throw ReplayError("damaged (block checksum)");
        const Reader payload{bytes + at + BLOCK_HEAD, n};
        const std::uint8_t kind = bytes[at];
        at = crc_at + CRC_SIZE;
        if (kind == EVENTS_BLOCK && !r.complete) {
            read_events(payload, r, last_tick, first_block);
            first_block = false;
        } else if (kind == END_BLOCK && !r.complete && !first_block) {
            Reader end = payload;
            r.final_score = static_cast<std::int32_t>(end.u32());
            r.final_checksum = end.u32();
            if (end.left != 0) throw ReplayError("damaged (end)");
            r.complete = true;
        } else {
            throw ReplayError(r.complete ? "damaged (bytes after the end)" : "damaged (unknown block)");
        }
    }
    if (first_block) throw ReplayError("truncated (no block of events)");
    return r;
}

Recording read_recording(const std::string &path) {
    std::string why;
    const auto bytes = read_whole_file(path, MAX_FILE, &why);
    if (!bytes) throw ReplayError(why);
    return decode(bytes->data(), bytes->size());
}

// ---- writing as the game goes ----

RecordingWriter::~RecordingWriter() {
    if (fd_ >= 0) ::close(fd_);
    // A game that never got as far as a block leaves the old file as it was.
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool RecordingWriter::open(const std::string &path, const Recording &start, std::string &error) {
    // The rename at the first block would replace whatever bears the name:
    // only a file is replaced, and a folder or a device is said at once.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : NOT_A_REGULAR_FILE;
        return false;
    }
    fd_ = create_temporary(path, temp_);
    if (fd_ < 0) {
        temp_.clear();
        error = std::strerror(errno);
        return false;
    }
    path_ = path;
    put(header_bytes(start));
    error = error_;
    return error_.empty();
}

std::vector<Event> RecordingWriter::add(const std::vector<Event> &events) {
    Writer w;
    std::uint32_t tick = last_event_tick_;
    for (const Event &e : events) write_event(w, e, last_event_tick_);
    pending_.insert(pending_.end(), w.out.begin(), w.out.end());
    std::vector<Event> written;
    for (Reader in{w.out.data(), w.out.size()}; in.left > 0;)
        written.push_back(read_event(in, tick, last_event_tick_));
    return written;
}

void RecordingWriter::reached(std::uint32_t tick) {
    if (tick < next_block_) return;
    write_block(tick);
    next_block_ = tick + BLOCK_TICKS;
}

void RecordingWriter::finish(std::uint32_t ticks, std::int32_t score, std::uint32_t checksum) {
    write_block(ticks);
    put(end_block(score, checksum));
    // The end of a recording is worth waiting for the disk; the blocks
    // before it are safe from a killed game once written.
    if (fd_ >= 0 && error_.empty() && ::fsync(fd_) != 0) error_ = std::strerror(errno);
}

void RecordingWriter::write_block(std::uint32_t through) {
    put(events_block(pending_, through));
    pending_.clear();
    // The game has really started: the recording takes its name.
    if (error_.empty() && !temp_.empty()) {
        if (::rename(temp_.c_str(), path_.c_str()) == 0)
            temp_.clear();
        else
            error_ = std::strerror(errno);
    }
    if (error_.empty()) written_through_ = through;
}

void RecordingWriter::put(const std::vector<std::uint8_t> &bytes) {
    if (fd_ < 0 || !error_.empty()) return;
    if (!write_all(fd_, bytes.data(), bytes.size())) error_ = std::strerror(errno);
}

} // namespace qv::replay
