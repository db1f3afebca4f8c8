// Recorded games: the file format. A recording is the state a game started
// from (the player's settings and records files as they were) and every
// input the game read, tick by tick, with a checksum of the world every
// second, so that a replay can tell the first tick where it departs.
//
// The file is written as the game goes, a block every two seconds, so a
// game killed while recording leaves a recording that replays up to its
// last whole block.
//
// Layout (all numbers little-endian):
//   "QVREPLAY"                          magic, 8 bytes
//   u16 format version                  FORMAT_VERSION
//   u16 n, n header bytes:
//       u8 n, n bytes                   the game's version, as text
//       u8 flags                        bit 0: settings follow; bit 1: records follow
//       [u8 n, n bytes of the settings file] [u8 n, n bytes of the records file]
//   u32 CRC-32 of everything before it
//   blocks, each: u8 kind, u32 n, u32 CRC-32 of kind and n, n payload bytes,
//                 u32 CRC-32 of everything in the block before it
//     'E' events: u32 the last tick the recording covers so far, then events,
//         each: varint tick delta (from the event before), u8 kind, payload
//         KeyDown/KeyUp: u8 library key code; Pad: u16 bits; Check: u32;
//         Close, FocusLost, WindowKey: nothing
//     'Z' the end (the game ended; nothing follows): i32 final score,
//         u32 final checksum
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qv::replay {

// 4: each block's kind and length carry a checksum of their own, so that a
// damaged length is told from a file cut off inside the block.
inline constexpr std::uint16_t FORMAT_VERSION = 4;
// Ticks between two checksums of the world.
inline constexpr int CHECK_EVERY = 70;
// Ticks between two blocks written while recording: what a killed game's
// recording may lose.
inline constexpr std::uint32_t BLOCK_TICKS = 140;

// A recording that cannot be read; the message says why in a few words.
struct ReplayError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class EventKind : std::uint8_t {
    KeyDown = 1,
    KeyUp = 2,
    Pad = 3,       // value: the pad's bits (see pad_bits)
    Close = 4,     // the window's close button
    Check = 5,     // value: the world's checksum at this tick
    FocusLost = 6, // the window lost the input focus
    WindowKey = 7, // one of the window's own keys was used (fullscreen, screenshot)
};

struct Event {
    std::uint32_t tick;
    EventKind kind;
    std::uint32_t value;
    bool operator==(const Event &) const = default;
};

struct Recording {
    std::string game_version;
    // The files' bytes as the game would read them (a missing file: none).
    std::optional<std::vector<std::uint8_t>> settings;
    std::optional<std::vector<std::uint8_t>> records;
    std::vector<Event> events; // in tick order
    // The tick the game ended at; in a recording cut off by a killed game,
    // the last tick it holds.
    std::uint32_t ticks = 0;
    // False when the recording was cut off: the game never reached its end
    // while recording, and there is no final score or checksum.
    bool complete = true;
    std::int32_t final_score = 0;
    std::uint32_t final_checksum = 0;
    bool operator==(const Recording &) const = default;
};

// The whole file at once (for tests and the fuzzer: the game writes as it
// plays, through RecordingWriter), in the same blocks.
std::vector<std::uint8_t> encode(const Recording &r);
// Refuses (ReplayError) anything but an undamaged recording of this format
// version, whole or cut off after a block; never reads past the bytes,
// never allocates more than the bytes can hold.
Recording decode(const std::uint8_t *bytes, std::size_t size);

// The whole file; ReplayError names the problem (not the file): the
// system's reason when it cannot be read, "not a regular file" for a FIFO
// or a device, a size over what a recording can be before reading any.
Recording read_recording(const std::string &path);

std::uint32_t crc32(const std::uint8_t *bytes, std::size_t size);

// Writes a recording into its file as the game goes: the header at once,
// the events in blocks every BLOCK_TICKS ticks, the end when the game ends.
// A write that fails stops the recording (the file keeps what it had) and
// is reported by error().
class RecordingWriter {
  public:
    RecordingWriter() = default;
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter &) = delete;
    RecordingWriter &operator=(const RecordingWriter &) = delete;

    // Starts the file and writes the header of `start` (version and start
    // files); false with the reason. What bears the name (an earlier
    // recording) stays until the first block: the recording is written
    // under a temporary name beside it, which takes the name then.
    bool open(const std::string &path, const Recording &start, std::string &error);
    // Writes the events (of one tick) into the block being filled and
    // returns them as read back from the bytes written: what a replay reads.
    std::vector<Event> add(const std::vector<Event> &events);
    // The game has run through `tick`: a block is written when one is due.
    void reached(std::uint32_t tick);
    // The game ended at `ticks`: the last block and the end, synced to disk.
    void finish(std::uint32_t ticks, std::int32_t score, std::uint32_t checksum);

    // Empty while every write succeeded; else the first failure's reason.
    const std::string &error() const { return error_; }
    // The last tick the file holds.
    std::uint32_t written_through() const { return written_through_; }

  private:
    void write_block(std::uint32_t through);
    void put(const std::vector<std::uint8_t> &bytes);

    int fd_ = -1;
    std::string path_;
    std::string temp_; // until renamed to path_
    std::vector<std::uint8_t> pending_; // the events of the block being filled
    std::uint32_t last_event_tick_ = 0;
    std::uint32_t written_through_ = 0;
    std::uint32_t next_block_ = BLOCK_TICKS;
    std::string error_;
};

} // namespace qv::replay
