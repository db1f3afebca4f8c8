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

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>

using namespace qv;
using replay::Event;
using replay::EventKind;
using replay::Recording;

namespace {

Recording sample_recording() {
    Recording r;
    r.game_version = GAME_VERSION;
    r.settings = std::vector<std::uint8_t>{1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 107, 105, 26,
                                           103, 4, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    r.records = std::nullopt;
    r.events = {{0, EventKind::Check, 0xDEADBEEF}, {3, EventKind::KeyDown, KEY_UP},
                {5, EventKind::KeyUp, KEY_UP},     {70, EventKind::Check, 7},
                {70, EventKind::Pad, 0x93},        {400, EventKind::Close, 0},
                {100000, EventKind::KeyDown, 126}};
    r.ticks = 100001;
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

void write_bytes(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<long>(bytes.size()));
}

} // namespace

TEST(ReplayFile, RoundTripsEveryKindOfEvent) {
    const Recording r = sample_recording();
    const std::vector<std::uint8_t> bytes = replay::encode(r);
    EXPECT_EQ(replay::decode(bytes.data(), bytes.size()), r);
    // Small: a tick delta under 128 and a key take three bytes.
    EXPECT_LT(bytes.size(), 100u);
}

TEST(ReplayFile, RefusesOtherFilesVersionsCutsAndDamage) {
    const std::vector<std::uint8_t> good = replay::encode(sample_recording());
    EXPECT_EQ(refusal(good), "");
    EXPECT_EQ(refusal({'P', 'K', 3, 4}), "not a QUARVELL recording");
    std::vector<std::uint8_t> other = good;
    other[8] = 2; // format version 2
    EXPECT_EQ(refusal(other), "recording format 2, this game reads 1");
    // Every shorter file is refused, never read past its end.
    for (size_t n = 0; n < good.size(); ++n) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
        EXPECT_NE(refusal(cut), "") << "cut at " << n;
    }
    // Any changed byte past the magic and version is caught.
    for (size_t at = 10; at < good.size(); ++at) {
        std::vector<std::uint8_t> bad = good;
        bad[at] ^= 0x10;
        EXPECT_NE(refusal(bad), "") << "byte " << at;
    }
}

TEST(ReplayFile, RandomDamageNeverCrashesTheReader) {
    // Damage that keeps the checksum right reaches the parser itself.
    const std::vector<std::uint8_t> good = replay::encode(sample_recording());
    std::mt19937 rng(7);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::uint8_t> bad = good;
        const int changes = 1 + static_cast<int>(rng() % 4);
        for (int c = 0; c < changes; ++c)
            bad[10 + rng() % (bad.size() - 14)] = static_cast<std::uint8_t>(rng());
        if (rng() % 3 == 0) bad.resize(10 + rng() % (bad.size() - 10));
        if (bad.size() >= 4) {
            const std::uint32_t crc = replay::crc32(bad.data(), bad.size() - 4);
            for (int b = 0; b < 4; ++b)
                bad[bad.size() - 4 + b] = static_cast<std::uint8_t>(crc >> (8 * b));
        }
        accepted += refusal(bad).empty();
    }
    std::printf("%d of 20000 damaged files still parsed\n", accepted);
}

// ---- games recorded through the real loop ----

namespace {

// The scripted player presses keys on a stand-in for the real keyboard,
// gamepad and close button; the recorder copies them into the game at
// every tick, as it does from the real ones.
class StandInHost : public test::PlayerHost {
  public:
    // Stands in for the real window: never run, and nobody looks at it.
    platform::VirtualBackend window{platform::VirtualOptions{false, false, {}, nullptr}};
    platform::VirtualBackend *game = nullptr;
    long long ticks() const override { return game ? game->ticks() : 0; }
    long long frames() const override { return game ? game->frames_presented() : 0; }
    bool fading() const override { return game && game->fading(); }
    void request_close() override { window.request_close(); }
    void set_pad(const PadState &pad) override { window.set_pad(pad); }
    void hold_key(int index, bool held) override { window.set_key(index, held); }
};

struct Session {
    std::string folder = test::make_temp_dir("replay");
    std::string file = folder + "/game.qvr";
    StandInHost host;
    test::Player player{host};
    GameOptions options;

    Session() {
        options.data_dir = test::game_dir();
        options.settings_path = folder + "/w_config.def";
        options.records_path = folder + "/assist.def";
    }
    int record() {
        return record_game(options, file, host.window, [this](platform::VirtualBackend &game) {
            host.game = &game;
            player.tick();
        });
    }
    std::vector<std::uint8_t> bytes() const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

std::vector<std::uint8_t> read_all(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(RecordedGames, AGameReplaysToTheSameWorldAndScore) {
    Session s;
    // A flight with fire, turns, pods and boost, a switch to another window
    // (the game pauses) and a screenshot, a lost ship and a continue, then
    // the records table.
    s.player.start_game({2, 0, 1, 1})
        .fly(test::hunter_pilot(), [] { return g.stage_kills >= 3; })
        .check([&] {
            s.host.window.use_window_key();
            s.host.window.lose_focus();
        })
        .wait_for(test::Screen::Pause)
        .accept() // "Resume Play"
        .fly(test::unarmed_pilot())
        .play_to_title(test::hunter_pilot(), "REPLAY", 1)
        .quit();
    ASSERT_EQ(s.record(), 0);
    ASSERT_EQ(s.player.log.continues, 1);
    const std::vector<std::uint8_t> settings = read_all(s.options.settings_path);
    const std::vector<std::uint8_t> records = read_all(s.options.records_path);
    const Recording r = replay::read_recording(s.file);
    EXPECT_GT(r.final_score, 0);
    const auto has = [&](EventKind k) {
        for (const Event &e : r.events)
            if (e.kind == k) return true;
        return false;
    };
    EXPECT_TRUE(has(EventKind::FocusLost));
    EXPECT_TRUE(has(EventKind::WindowKey));
    EXPECT_FALSE(r.settings.has_value()) << "a first start has no settings file";

    testing::internal::CaptureStdout();
    EXPECT_EQ(replay_game(s.options, s.file, true), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("verified"), std::string::npos) << out;
    // Playing it back never touches the player's own files.
    EXPECT_EQ(read_all(s.options.settings_path), settings);
    EXPECT_EQ(read_all(s.options.records_path), records);

    // A recording whose input differs departs, and says at which tick.
    Recording changed = r;
    for (Event &e : changed.events)
        if (e.kind == EventKind::KeyDown && e.value == KEY_LEFT && e.tick > 2000) {
            e.value = KEY_RIGHT;
            break;
        }
    const std::vector<std::uint8_t> bytes = replay::encode(changed);
    write_bytes(s.file, bytes);
    testing::internal::CaptureStderr();
    EXPECT_EQ(replay_game(s.options, s.file, true), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("departs from the recording at tick"), std::string::npos) << err;
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

TEST(RecordedGames, RefusedFilesNameThemselves) {
    Session s;
    write_bytes(s.file, {'n', 'o', 'p', 'e'});
    testing::internal::CaptureStderr();
    EXPECT_EQ(replay_game(s.options, s.file, true), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "quarvell: " + s.file + ": not a QUARVELL recording\n");

    Recording other = sample_recording();
    other.game_version = "0.9";
    write_bytes(s.file, replay::encode(other));
    testing::internal::CaptureStderr();
    EXPECT_EQ(replay_game(s.options, s.file, true), 1);
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "quarvell: " + s.file + ": recorded with QUARVELL 0.9, this is " +
                       std::string(GAME_VERSION) + "\n");

    testing::internal::CaptureStderr();
    EXPECT_EQ(replay_game(s.options, s.folder + "/missing.qvr", true), 1);
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "quarvell: " + s.folder + "/missing.qvr: cannot open it\n");
}

TEST(RecordedGames, AWholeCampaignStaysSmall) {
    Session s;
    s.player.start_game({1, 1, 2, 0}).play_to_title(test::hunter_pilot(), "BIG").quit();
    ASSERT_EQ(s.record(), 0);
    const std::vector<std::uint8_t> bytes = s.bytes();
    const Recording r = replay::read_recording(s.file);
    std::printf("a campaign of %u ticks: %zu bytes, %zu events\n", r.ticks, bytes.size(),
                r.events.size());
    EXPECT_GT(r.ticks, 50000u);
    EXPECT_LT(bytes.size(), 1000000u);
    EXPECT_EQ(replay_game(s.options, s.file, true), 0);
}

TEST(RecordedGames, InTheWindowOnlyEscapeReachesAReplay) {
    Session s;
    s.player.start_game({0, 1, 2, 1})
        .fly(test::hunter_pilot(), [] { return g.stage_kills >= 2; })
        .exit_game();
    ASSERT_EQ(s.record(), 0);

    // Keys held on the window while it replays change nothing.
    platform::VirtualBackend window(platform::VirtualOptions{false, false, {}, nullptr});
    for (int k : {KEY_LEFT, KEY_UP, KEY_ALT, KEY_Z, KEY_C})
        window.set_key(k, true);
    testing::internal::CaptureStdout();
    EXPECT_EQ(replay_game(s.options, s.file, false, window), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("replayed as recorded"), std::string::npos) << out;

    // Escape ends it early, and then there is nothing to judge.
    window.set_key(KEY_ESC, true);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(replay_game(s.options, s.file, false, window), 0);
    out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out.find("replayed as recorded"), std::string::npos) << out;
    EXPECT_EQ(err.find("departs"), std::string::npos) << err;
}
