// Recorded games: the file format refuses what it cannot trust, and a game
// recorded through the real loop replays to the same world, tick for tick.
#include "harness/headless_game.h"

#include "core/game_state.h"
#include "core/version.h"
#include "loop/recorded_games.h"
#include "replay/replay_file.h"
#include "replay/replay_input.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <sys/stat.h>

using namespace qv;
using replay::Event;
using replay::EventKind;
using replay::Recording;

namespace {

using test::read_bytes;
using test::write_bytes;

Recording sample_recording() {
    Recording r;
    r.game_version = GAME_VERSION;
    r.settings = std::vector<std::uint8_t>{1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 107, 105, 26,
                                           103, 4, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    r.records = std::nullopt;
    r.events = {{0, EventKind::Check, 0xDEADBEEF}, {3, EventKind::KeyDown, KEY_UP},
                {5, EventKind::KeyUp, KEY_UP},     {70, EventKind::Check, 7},
                {70, EventKind::Pad, 0x393},       {400, EventKind::Close, 0},
                {20000, EventKind::KeyDown, 126}};
    r.ticks = 20001;
    r.final_score = 123456;
    r.final_checksum = 0x01020304;
    return r;
}

std::string refusal(const std::vector<std::uint8_t> &bytes) {
    try {
        replay::decode(bytes.data(), bytes.size());
    } catch (const replay::ReplayError &e) {
        return e.what();
    }
    return "";
}

// Writes the CRC-32 of the bytes before `at` into the four bytes at `at`.
void put_crc(std::vector<std::uint8_t> &bytes, std::size_t at) {
    const std::uint32_t crc = replay::crc32(bytes.data(), at);
    bytes.resize(std::max(bytes.size(), at + 4));
    for (int b = 0; b < 4; ++b) bytes[at + b] = static_cast<std::uint8_t>(crc >> (8 * b));
}

} // namespace

TEST(ReplayFile, RoundTripsEveryKindOfEventWholeOrCutOff) {
    Recording r = sample_recording();
    std::vector<std::uint8_t> bytes = replay::encode(r);
    EXPECT_EQ(replay::decode(bytes.data(), bytes.size()), r);
    r.complete = false;
    r.final_score = 0;
    r.final_checksum = 0;
    bytes = replay::encode(r);
    EXPECT_EQ(replay::decode(bytes.data(), bytes.size()), r);
}

TEST(ReplayFile, RefusesOtherFilesAndNamesOtherVersions) {
    const Recording whole = sample_recording();
    const std::vector<std::uint8_t> good = replay::encode(whole);
    EXPECT_EQ(refusal(good), "");
    EXPECT_EQ(refusal({'P', 'K', 3, 4}), "not a QUARVELL recording");
    // An older version, told only by an undamaged header (its checksum is
    // the four bytes after it).
    std::vector<std::uint8_t> other = good;
    other[8] = 3;
    put_crc(other, 12 + (good[10] | good[11] << 8));
    const std::string this_game = ", this game reads " + std::to_string(replay::FORMAT_VERSION);
    EXPECT_EQ(refusal(other), "recording format 3" + this_game);
    other = good;
    other[8] ^= 0x02;
    EXPECT_EQ(refusal(other), "damaged (header checksum)");
    // A file of the first format, whose one checksum closes the file.
    std::vector<std::uint8_t> first(good.begin(), good.begin() + 20);
    first[8] = 1;
    first[9] = 0;
    put_crc(first, first.size());
    EXPECT_EQ(refusal(first), "recording format 1" + this_game);
}

// Every cut of a real recording (a game killed while it records) reads to
// its last whole block, or is refused before the first; every flipped bit
// is refused: damage never passes for a cut.
TEST(ReplayFile, EveryCutReadsToItsLastWholeBlockAndEveryFlippedBitIsRefused) {
    for (const char *name : {"closed.qvr", "flight.qvr"}) {
        const auto good = read_bytes(std::string(QV_TESTS_DIR) + "/replays/" + name);
        const Recording whole = replay::decode(good.data(), good.size());
        std::uint32_t reached = 0;
        bool read_one = false;
        for (std::size_t n = 0; n < good.size(); ++n) {
            Recording r;
            try {
                r = replay::decode(good.data(), n);
            } catch (const replay::ReplayError &e) {
                ASSERT_FALSE(read_one) << name << " cut at " << n << ": " << e.what();
                continue;
            }
            read_one = true;
            ASSERT_FALSE(r.complete);
            ASSERT_GE(r.ticks, reached);
            reached = r.ticks;
            const auto held = std::count_if(whole.events.begin(), whole.events.end(),
                                            [&](const Event &e) { return e.tick <= r.ticks; });
            ASSERT_EQ(static_cast<long>(r.events.size()), held) << name << " cut at " << n;
            ASSERT_TRUE(std::equal(r.events.begin(), r.events.end(), whole.events.begin()));
        }
        EXPECT_EQ(reached, whole.ticks) << name << ": cut inside its end";
        for (std::size_t bit = 0; bit < good.size() * 8; ++bit) {
            std::vector<std::uint8_t> bad = good;
            bad[bit / 8] ^= static_cast<std::uint8_t>(1 << (bit % 8));
            EXPECT_NE(refusal(bad), "") << name << " bit " << bit;
        }
    }
}

// ---- games recorded through the real loop ----

namespace {

// The scripted player presses keys on a stand-in for the real keyboard,
// gamepad and close button; the recorder copies them into the game at
// every tick, as it does from the real ones.
class StandInHost : public test::PlayerHost {
  public:
    // Stands in for the real window: never run, and nobody looks at it.
    platform::VirtualBackend window{platform::undrawn()};
    platform::VirtualBackend *game = nullptr;
    long long ticks() const override { return game ? game->ticks() : 0; }
    long long frames() const override { return game ? game->frames_presented() : 0; }
    bool fading() const override { return game && game->fading(); }
    void request_close() override { window.request_close(); }
    void set_pad(const PadState &pad) override { window.set_pad(pad); }
    void hold_key(int index, bool held) override { window.set_key(index, held); }
};

// What a replay printed.
struct Outcome {
    std::string out, err;
};

struct Session {
    std::string folder = test::make_temp_dir("replay");
    std::string file = folder + "/game.qvr";
    StandInHost host;
    test::Player player{host};
    GameOptions options = test::game_options(folder);

    int record() {
        return record_game(options, file, host.window, [this](platform::VirtualBackend &game) {
            host.game = &game;
            player.tick();
            // A script that gets stuck must not hang the test.
            if (game.ticks() > test::HeadlessGame::DEFAULT_LIMIT) host.window.request_close();
        });
    }
    // A stage flown to two kills and left by "Exit Game".
    int record_two_kills(const test::GameChoice &choice) {
        player.start_game(choice)
            .fly(test::hunter_pilot(), [] { return g.stage_kills >= 2; })
            .exit_game();
        return record();
    }
    // Replays the file headless, or shown on `window`, expecting `status`.
    Outcome replay(int status, bool verify, platform::VirtualBackend *window = nullptr) const {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int got = window ? replay_game(options, file, verify, *window)
                               : replay_game(options, file, verify);
        Outcome o{testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
        EXPECT_EQ(got, status) << o.err;
        return o;
    }
};

} // namespace

TEST(RecordedGames, AGameReplaysToTheSameWorldAndScore) {
    Session s;
    // A flight with fire, turns, pods and boost, a switch to another window
    // (the game pauses) and a screenshot, the pad's Start, a lost ship and a
    // continue, then the records table.
    s.player.wait_for(test::Screen::Title).accept().accept().accept().cancel().cancel() // "Gamepad" on
        .start_game({2, 0, 1, 1})
        .fly(test::hunter_pilot(), [] { return g.stage_kills >= 3; })
        .check([&] {
            s.host.window.set_key(KEY_F12, true); // a screenshot
            s.host.window.lose_focus();
        })
        .wait_for(test::Screen::Pause)
        .check([&] { s.host.window.set_key(KEY_F12, false); })
        .accept() // "Resume Play"
        .press_pad([](PadState &pad) { pad.start = 1; })
        .wait_for(test::Screen::Pause)
        .accept()
        .fly(test::unarmed_pilot())
        .play_to_title(test::hunter_pilot(), "REPLAY", 1)
        .quit();
    ASSERT_EQ(s.record(), 0);
    ASSERT_EQ(s.player.log.continues, 1);
    const std::vector<std::uint8_t> settings = read_bytes(s.options.settings_path);
    const std::vector<std::uint8_t> records = read_bytes(s.options.records_path);
    const Recording r = replay::read_recording(s.file);
    EXPECT_GT(r.final_score, 0);
    const auto has = [&](EventKind k) {
        return std::any_of(r.events.begin(), r.events.end(),
                           [k](const Event &e) { return e.kind == k; });
    };
    EXPECT_TRUE(has(EventKind::FocusLost));
    EXPECT_TRUE(has(EventKind::WindowKey));
    EXPECT_FALSE(r.settings.has_value()) << "a first start has no settings file";

    const Outcome verified = s.replay(0, true);
    EXPECT_NE(verified.out.find("verified"), std::string::npos) << verified.out;
    // Playing it back never touches the player's own files.
    EXPECT_EQ(read_bytes(s.options.settings_path), settings);
    EXPECT_EQ(read_bytes(s.options.records_path), records);

    // A recording whose input differs departs, and says at which tick.
    Recording changed = r;
    for (Event &e : changed.events)
        if (e.kind == EventKind::KeyDown && e.value == KEY_LEFT && e.tick > 2000) {
            e.value = KEY_RIGHT;
            break;
        }
    write_bytes(s.file, replay::encode(changed));
    const Outcome departed = s.replay(1, true);
    EXPECT_NE(departed.err.find("departs from the recording at tick"), std::string::npos)
        << departed.err;
}

TEST(RecordedGames, TheStartFilesComeWithTheRecording) {
    // A second game in the same folder starts from the first one's files:
    // its recording must carry them, or its replay would start elsewhere.
    Session first;
    first.player.set_difficulty(3).start_game({0, 0, 0, 1}).play_to_title(test::hunter_pilot(), "ONE").quit();
    ASSERT_EQ(first.record(), 0);
    Session second;
    second.folder = first.folder;
    second.options = first.options;
    second.file = first.folder + "/second.qvr";
    second.player.start_game({0, 0, 0, 1}).play_to_title(test::hunter_pilot(), "TWO").quit();
    ASSERT_EQ(second.record(), 0);
    const Recording r = replay::read_recording(second.file);
    ASSERT_TRUE(r.settings.has_value());
    EXPECT_EQ((*r.settings)[0], 3) << "Toast, as the first game left it";
    ASSERT_TRUE(r.records.has_value());
    EXPECT_EQ(replay_game(second.options, second.file, true), 0);
}

// Another program's file and another version's recording are named as
// such; what cannot be read says the system's reason, a FIFO is not waited
// on, and a 2 GB file is refused by its size.
TEST(RecordedGames, RefusedFilesNameThemselves) {
    Session s;
    const std::string nope = s.folder + "/nope.qvr", old = s.folder + "/old.qvr";
    const std::string big = s.folder + "/big.qvr", fifo = s.folder + "/fifo.qvr";
    write_bytes(nope, {'n', 'o', 'p', 'e'});
    Recording other = sample_recording();
    other.game_version = "0.9";
    write_bytes(old, replay::encode(other));
    write_bytes(big, {});
    std::filesystem::resize_file(big, 2'000'000'000);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const auto &[file, why] :
         {std::pair<std::string, std::string>{nope, "not a QUARVELL recording"},
          {old, std::string("recorded with QUARVELL 0.9, this is ") + GAME_VERSION},
          {s.folder + "/missing.qvr", "No such file or directory"},
          {s.folder, "Is a directory"},
          {fifo, "not a regular file"},
          {big, "too large (2000000000 bytes)"}}) {
        s.file = file;
        EXPECT_EQ(s.replay(1, true).err, "quarvell: " + file + ": " + why + "\n");
    }
}

TEST(RecordedGames, AWholeCampaignStaysSmall) {
    Session s;
    s.player.start_game({1, 1, 2, 0}).play_to_title(test::hunter_pilot(), "BIG").quit();
    ASSERT_EQ(s.record(), 0);
    const std::vector<std::uint8_t> bytes = read_bytes(s.file);
    const Recording r = replay::read_recording(s.file);
    std::printf("a campaign of %u ticks: %zu bytes, %zu events\n", r.ticks, bytes.size(),
                r.events.size());
    EXPECT_GT(r.ticks, 50000u);
    EXPECT_LT(bytes.size(), 1000000u);
    EXPECT_EQ(replay_game(s.options, s.file, true), 0);
}

TEST(RecordedGames, InTheWindowOnlyEscapeReachesAReplay) {
    Session s;
    ASSERT_EQ(s.record_two_kills({0, 1, 2, 1}), 0);

    // Keys held on the window while it replays change nothing.
    platform::VirtualBackend window(platform::undrawn());
    for (int k : {KEY_LEFT, KEY_UP, KEY_ALT, KEY_Z, KEY_C})
        window.set_key(k, true);
    const Outcome shown = s.replay(0, false, &window);
    EXPECT_NE(shown.out.find("replayed as recorded"), std::string::npos) << shown.out;

    // Escape ends it early, and then there is nothing to judge.
    window.set_key(KEY_ESC, true);
    const Outcome ended = s.replay(0, false, &window);
    EXPECT_EQ(ended.out.find("replayed as recorded"), std::string::npos) << ended.out;
    EXPECT_EQ(ended.err.find("departs"), std::string::npos) << ended.err;
}

TEST(RecordedGames, ARecordingEndsWhereItsInputEndsWhetherCutOffOrRunOut) {
    Session s;
    ASSERT_EQ(s.record_two_kills({0, 0, 0, 1}), 0);
    const std::vector<std::uint8_t> whole = read_bytes(s.file);
    const Recording r = replay::read_recording(s.file);

    // The game killed while it recorded: the file stops inside a block.
    write_bytes(s.file, {whole.begin(), whole.begin() + whole.size() * 2 / 3});
    const Outcome killed = s.replay(0, true);
    const Recording cut = replay::read_recording(s.file);
    EXPECT_FALSE(cut.complete);
    EXPECT_NE(killed.out.find("verified up to tick " + std::to_string(cut.ticks) +
                              ", where the recording was cut off"),
              std::string::npos)
        << killed.out;

    // Killed as it wrote its end: the whole game is there.
    write_bytes(s.file, {whole.begin(), whole.end() - 1});
    EXPECT_NE(s.replay(0, true).out.find("verified up to tick " + std::to_string(r.ticks)),
              std::string::npos);

    // Its input runs out before the game ends: the replay stops there.
    Recording run_out = r;
    run_out.events.resize(run_out.events.size() / 2);
    write_bytes(s.file, replay::encode(run_out));
    const Outcome stopped = s.replay(1, true);
    EXPECT_EQ(stopped.err, "quarvell: " + s.file + ": the recording ends at tick " +
                               std::to_string(r.ticks) + "; the game had not ended\n");

    // A difference after the last checksum names where they last agreed.
    Recording late = r;
    late.final_checksum ^= 1;
    write_bytes(s.file, replay::encode(late));
    const Outcome departed = s.replay(1, true);
    std::uint32_t last_check = 0;
    for (const Event &e : r.events)
        if (e.kind == EventKind::Check) last_check = e.tick;
    const std::string said = "departs from the recording after tick " + std::to_string(last_check);
    EXPECT_NE(departed.err.find(said + ", where"), std::string::npos) << departed.err;
}
