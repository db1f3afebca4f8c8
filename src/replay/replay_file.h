// Recorded games: the file format. A recording is the state a game started
// from (the player's settings and records files as they were) and every
// input the game read, tick by tick, with a checksum of the world every
// second, so that a replay can tell the first tick where it departs.
//
// Layout (all numbers little-endian):
//   "QVREPLAY"                          magic, 8 bytes
//   u16 format version                  FORMAT_VERSION
//   u8 n, n bytes                       the game's version, as text
//   u8 flags                            bit 0: settings follow; bit 1: records follow
//   [u8 n, n bytes of the settings file] [u8 n, n bytes of the records file]
//   events, each: varint tick delta, u8 kind, payload
//       KeyDown/KeyUp: u8 library key code; Pad: u8 bits; Check: u32;
//       Close, FocusLost, WindowKey: nothing
//   End: varint tick delta, u8 End, i32 final score, u32 final checksum
//   u32 CRC-32 of everything before it
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qv::replay {

inline constexpr std::uint16_t FORMAT_VERSION = 1;
// Ticks between two checksums of the world.
inline constexpr int CHECK_EVERY = 70;

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
    std::uint32_t ticks = 0;   // the tick the game ended at
    std::int32_t final_score = 0;
    std::uint32_t final_checksum = 0;
    bool operator==(const Recording &) const = default;
};

std::vector<std::uint8_t> encode(const Recording &r);
// Refuses (ReplayError) anything but a whole, undamaged recording of this
// format version; never reads past the bytes, never allocates more than
// the bytes can hold.
Recording decode(const std::uint8_t *bytes, std::size_t size);

// The whole file; ReplayError names the problem (not the file).
Recording read_recording(const std::string &path);

std::uint32_t crc32(const std::uint8_t *bytes, std::size_t size);

} // namespace qv::replay
