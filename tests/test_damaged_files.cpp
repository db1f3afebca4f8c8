// Files damaged the ordinary ways (a crash mid-write, a bad disk, a hand
// edit): the game refuses them with the file's name or loads them with
// defaults, and never traps the player or shows leftover memory. (The
// damaged files found, in tests/data/repro/, run through the fuzz targets.)
#include "assets/file_checks.h"
#include "assets/game_data.h"
#include "assets/picture_files.h"
#include "core/game_state.h"
#include "input/input.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "support/files_test.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qv;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

using test::expect_refused_naming;
using test::write_bytes;

using DamagedFiles = test::FilesTest;

// ---- settings ----

// Every action can be pressed on its own: its key is one the library
// reports, shows a name in the controls screen, and triggers that action
// and no other. With Fire/Accept or Strafe/Cancel unpressable the title
// menu cannot be left.
void expect_every_action_pressable(const std::string &what) {
    SCOPED_TRACE(what);
    for (int a = 0; a < 4; ++a) {
        const int code = g.key_binding[a];
        const char *name = key_name(code);
        EXPECT_STRNE(name, "") << "action " << a << " key " << code;
        EXPECT_STRNE(name, "x") << "action " << a << " key " << code;
        EXPECT_STRNE(name, "?") << "action " << a << " key " << code;
        const int index = library_key_index(code);
        ASSERT_GT(index, 0) << "action " << a << " key " << code;
        test::release_all_keys();
        test::hold_library_key(index);
        const PlayerCommand c = player_command();
        for (int b = 0; b < 4; ++b)
            EXPECT_EQ(c.action[b], b == a) << "key of action " << a << ", action " << b;
    }
    test::release_all_keys();
}

int16 default_key(int action) {
    test::reset_state();
    return g.key_binding[action];
}

TEST_F(DamagedFiles, KeyBindingsEndFourDistinctAndPressable) {
    const int16 fire = default_key(ACT_FIRE), strafe = default_key(ACT_STRAFE);
    const int16 bomb = default_key(ACT_BOMB), booster = default_key(ACT_BOOSTER);
    constexpr int A = KEYCODE_A, B = KEYCODE_A + 1, C = KEYCODE_A + 2;
    constexpr int CAPSLOCK = 114, MENU = 111, NO_NAME = 121;
    struct Case {
        std::uint8_t file[4];
        int16 want[4];
    } cases[] = {
        {{A, B, C, KEYCODE_SPACE}, {A, B, C, KEYCODE_SPACE}}, // kept as read
        {{A, A, B, C}, {A, strafe, B, C}},                    // a repeat takes its default
        {{A, B, A, A}, {A, B, bomb, booster}},
        // A default an earlier action already holds: the first free one.
        {{static_cast<std::uint8_t>(strafe), 0, C, A}, {strafe, fire, C, A}},
        {{static_cast<std::uint8_t>(bomb), static_cast<std::uint8_t>(fire), 0, 0},
         {bomb, fire, strafe, booster}},
        {{static_cast<std::uint8_t>(booster), static_cast<std::uint8_t>(bomb),
          static_cast<std::uint8_t>(fire), static_cast<std::uint8_t>(fire)},
         {booster, bomb, fire, strafe}},
        // Named "x" though the library has an index; no index; no name.
        {{CAPSLOCK, MENU, NO_NAME, 200}, {fire, strafe, bomb, booster}},
    };
    for (const Case &c : cases) {
        test::reset_state();
        SettingsBytes bytes = settings_to_bytes();
        std::copy(std::begin(c.file), std::end(c.file), bytes.begin() + 11);
        settings_from_bytes(bytes.data(), SETTINGS_FILE_SIZE);
        const std::string what = "case " + std::to_string(&c - cases);
        for (int a = 0; a < 4; ++a) EXPECT_EQ(g.key_binding[a], c.want[a]) << what << " action " << a;
        expect_every_action_pressable(what);
    }
    // Whatever four bytes a file holds.
    std::mt19937 rng(5);
    for (int n = 0; n < 2000; ++n) {
        test::reset_state();
        SettingsBytes bytes = settings_to_bytes();
        for (int a = 0; a < 4; ++a)
            bytes[11 + a] = static_cast<std::uint8_t>(rng() % 4 == 0 ? rng() % 4 + 103 : rng());
        settings_from_bytes(bytes.data(), SETTINGS_FILE_SIZE);
        expect_every_action_pressable("random file " + std::to_string(n));
        if (HasFailure()) break;
    }
}

// ---- pictures ----

// An Allegro-written picture, then altered one header field or byte at a
// time.
Bytes pcx(int w, int h) {
    return test::pcx_file(w, h, [](int x, int y) { return test::hashed(x, y, 7); });
}

TEST_F(DamagedFiles, EverySizeButTheExpectedOneIsRefused) {
    const Bytes good = pcx(SHEET_W, SHEET_H);
    PALETTE pal;
    BITMAP *p = decode_picture(good, pal, SHEET_W, SHEET_H, "good");
    EXPECT_EQ(p->w, SHEET_W);
    EXPECT_EQ(getpixel(p, 319, 199), test::hashed(319, 199, 7));
    destroy_bitmap(p);
    EXPECT_EQ(pcx_fault(pcx(CLOUD_SIZE, CLOUD_HALF_H), CLOUD_SIZE, CLOUD_HALF_H), "");
    EXPECT_EQ(pcx_fault(pcx(3, 5), 3, 5), ""); // an odd width
    Bytes padded = pcx(4, 5);                  // and one padded to even
    padded[8] = 2;                              // x up to 2: 3 wide, 4 bytes a line
    EXPECT_EQ(pcx_fault(padded, 3, 5), "");

    struct Wrong {
        int w, h;
    } wrong[] = {{1, 1}, {SHEET_W - 1, SHEET_H}, {SHEET_W, SHEET_H + 1}, {GROUND_PICTURE_SIZE, GROUND_PICTURE_SIZE}};
    for (const Wrong &s : wrong) {
        const std::string name = "picture " + std::to_string(s.w) + "x" + std::to_string(s.h);
        expect_refused_naming([&] { decode_picture(pcx(s.w, s.h), pal, SHEET_W, SHEET_H, name); },
                              name);
    }
}

TEST_F(DamagedFiles, HeadersThatDisagreeWithThemselvesAreRefused) {
    const Bytes good = pcx(40, 30);
    ASSERT_EQ(pcx_fault(good, 40, 30), "");
    const auto altered = [&](std::size_t at, std::uint8_t v) {
        Bytes b = good;
        b[at] = v;
        return b;
    };
    EXPECT_NE(pcx_fault(altered(66, 0), 40, 30), "");  // bytes per line 0
    EXPECT_NE(pcx_fault(altered(66, 38), 40, 30), ""); // shorter than a line
    EXPECT_NE(pcx_fault(altered(66, 42), 40, 30), ""); // longer than any padding
    EXPECT_NE(pcx_fault(altered(2, 0), 40, 30), "");   // not run-length encoded
    EXPECT_NE(pcx_fault(altered(65, 3), 40, 30), "");  // three planes
    EXPECT_NE(pcx_fault(altered(4, 1), 40, 30), "");   // x from 1: 39 wide
    EXPECT_NE(pcx_fault(altered(good.size() - 769, 0), 40, 30), ""); // no palette marker
    // Lines shorter than the width, the pixels stored to match: each line
    // would keep leftover memory at its end.
    Bytes narrow = pcx(38, 30);
    narrow[8] = 39; // x up to 39: 40 wide
    EXPECT_NE(pcx_fault(narrow, 40, 30), "");
    Bytes no_lines = altered(66, 0);
    no_lines.erase(no_lines.begin() + 128, no_lines.end() - 769);
    EXPECT_NE(pcx_fault(no_lines, 40, 30), "");
    // A run longer than its line pushes the rest of the pixels along.
    Bytes longer = good;
    longer.insert(longer.begin() + 128, {0xC2, 0x11});
    EXPECT_NE(pcx_fault(longer, 40, 30), "");
    for (std::size_t cut : {std::size_t{100}, std::size_t{500}, good.size() - 1})
        EXPECT_NE(pcx_fault(Bytes(good.begin(), good.begin() + static_cast<long>(cut)), 40, 30), "")
            << cut;
}

// ---- sounds ----

TEST_F(DamagedFiles, WavChecksWalkEveryChunkAsTheReaderDoes) {
    const auto wav = test::wav_file;
    const auto fmt = [](int channels, int bits, int format = 1, int rate = 22050) {
        return test::wav_format(channels, bits, format, rate);
    };
    const Bytes pcm(40, 0x55);
    const Bytes good = wav({{"fmt ", fmt(1, 16)}, {"LIST", Bytes(5, 1)}, {"data", pcm}});
    ASSERT_EQ(wav_fault(good), "");
    SAMPLE *s = decode_sample(good, "good");
    EXPECT_EQ(s->len, 20u);
    destroy_sample(s);
    EXPECT_EQ(wav_fault(wav({{"fmt ", fmt(2, 8)}, {"data", pcm}})), "");

    Bytes short_fmt = fmt(1, 16);
    short_fmt.resize(14);
    Bytes trailing = good;
    trailing.insert(trailing.end(), {'d', 'a', 't', 'a'});
    const std::pair<const char *, Bytes> refused[] = {
        {"two data chunks", wav({{"fmt ", fmt(1, 8)}, {"data", pcm}, {"data", pcm}})},
        {"two format chunks", wav({{"fmt ", fmt(1, 8)}, {"fmt ", fmt(1, 16)}, {"data", pcm}})},
        {"data before format", wav({{"data", pcm}, {"fmt ", fmt(1, 8)}})},
        {"no format", wav({{"data", pcm}})},
        {"no data", wav({{"fmt ", fmt(1, 8)}})},
        {"empty data", wav({{"fmt ", fmt(1, 8)}, {"data", {}}})},
        {"half a frame", wav({{"fmt ", fmt(2, 16)}, {"data", Bytes(42, 0)}})},
        {"short format chunk", wav({{"fmt ", short_fmt}, {"data", pcm}})},
        {"not PCM", wav({{"fmt ", fmt(1, 16, 3)}, {"data", pcm}})},
        {"24-bit", wav({{"fmt ", fmt(1, 24)}, {"data", Bytes(42, 0)}})},
        {"three channels", wav({{"fmt ", fmt(3, 8)}, {"data", Bytes(42, 0)}})},
        {"no rate", wav({{"fmt ", fmt(1, 8, 1, 0)}, {"data", pcm}})},
        {"a chunk header after the data", trailing},
        {"cut short", Bytes(good.begin(), good.end() - 1)},
    };
    for (const auto &item : refused) {
        const std::string what = item.first;
        const Bytes &bytes = item.second;
        EXPECT_NE(wav_fault(bytes), "") << what;
        expect_refused_naming([&] { decode_sample(bytes, what); }, what);
    }
    // A length over 2 GB reads as negative in the reader.
    Bytes negative = good;
    negative[good.size() - pcm.size() - 1] = 0xFF;
    EXPECT_NE(wav_fault(negative), "");
}

// ---- records ----

TEST_F(DamagedFiles, RecordsOutOfOrderAreSortedAndLongNamesCut) {
    const int32 scores[RECORD_COUNT] = {100, 500, 300, 500, 0, 900, 20, 20, 700, 1};
    for (int i = 0; i < RECORD_COUNT; ++i) {
        g.record_score[i] = scores[i];
        std::memset(g.record_name[i], 'A' + i, RECORD_NAME_SIZE); // 16 letters, no end
        g.record_name[i][RECORD_NAME_SIZE - 1] = 0;
    }
    write_bytes(records_path, test::saved_records());
    test::load_records(records_path);
    const int32 sorted[RECORD_COUNT] = {900, 700, 500, 500, 300, 100, 20, 20, 1, 0};
    const char first[RECORD_COUNT] = {'F', 'I', 'B', 'D', 'C', 'A', 'G', 'H', 'J', 'E'};
    for (int i = 0; i < RECORD_COUNT; ++i) {
        EXPECT_EQ(g.record_score[i], sorted[i]) << i;
        // Equal scores keep the file's order; every name ends at 11.
        EXPECT_EQ(g.record_name[i][0], first[i]) << i;
        EXPECT_EQ(std::strlen(g.record_name[i]), static_cast<std::size_t>(NAME_BUFFER_SIZE - 1)) << i;
        for (int j = NAME_BUFFER_SIZE - 1; j < RECORD_NAME_SIZE; ++j)
            EXPECT_EQ(g.record_name[i][j], 0) << i << " " << j;
    }
}

// ---- temporary files left by a killed save ----

// A process id that no process has now.
pid_t finished_process() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// Another copy of the game in the middle of a save: it holds the file's
// lock (here through flock(1)) in a process namespace of its own, where its
// process id means nothing to us. Empty when this machine allows no such
// namespace.
class SaveInOtherNamespace {
  public:
    explicit SaveInOtherNamespace(const std::string &file) {
        const std::string lock = file + ".lock", ready = file + ".ready";
        const std::string script = "touch '" + ready + "'; exec sleep 60";
        const char *argv[] = {"unshare", "--pid", "--fork", "--kill-child", "flock", "-x",
                              lock.c_str(), "sh", "-c", script.c_str(), nullptr};
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "unshare", &quiet, nullptr, const_cast<char **>(argv), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&quiet);
        for (int i = 0; pid_ > 0 && i < 500 && !fs::exists(ready); ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1; // not allowed here
            usleep(10000);
        }
    }
    ~SaveInOtherNamespace() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL); // and with it the copy inside
        waitpid(pid_, nullptr, 0);
    }
    bool started() const { return pid_ > 0; }

  private:
    pid_t pid_ = -1;
};

TEST_F(DamagedFiles, StartUpRemovesTemporaryFilesOnlyWhenNoSaveIsWritingThem) {
    const pid_t gone = finished_process();
    const std::string dead = std::to_string(gone), mine = std::to_string(getpid());
    const std::string alive = std::to_string(getppid());
    // Left by killed saves, whatever process ids they bear: nobody holds the
    // lock, so nobody is writing them.
    const std::string stale[] = {"assist.def." + dead + ".tmp", "assist.def." + mine + "-1.tmp",
                                 "assist.def." + alive + ".tmp", "w_config.def." + dead + "-7.tmp"};
    const std::string kept[] = {"assist.def.tmp", "assist.def.x" + dead + ".tmp",
                                "assist.def." + dead + ".tmp.bak", "other." + dead + ".tmp",
                                "assist.def"};
    for (const std::string &f : stale) write_bytes(dir + "/" + f, {1, 2, 3});
    for (const std::string &f : kept) write_bytes(dir + "/" + f, {1, 2, 3});
    test::load_records(records_path);
    test::load_settings(settings_path);
    for (const std::string &f : stale) EXPECT_FALSE(fs::exists(dir + "/" + f)) << f;
    for (const std::string &f : kept) EXPECT_TRUE(fs::exists(dir + "/" + f)) << f;

    // A copy sandboxed in its own process namespace is inside its save, its
    // temporary file named by an id that no process here has: it stays.
    const SaveInOtherNamespace other(settings_path);
    if (!other.started()) GTEST_SKIP() << "this machine allows no process namespace (unshare --pid)";
    const std::string in_flight = settings_path + "." + dead + "-1.tmp";
    write_bytes(in_flight, {1, 2, 3});
    test::load_settings(settings_path);
    EXPECT_TRUE(fs::exists(in_flight));
}

// ---- the code table ----

TEST_F(DamagedFiles, ACodeTableRowThatIsNoPermutationIsReportedAgainstTheTable) {
    const std::string path = dir + "/loader.def";
    const Bytes good(&table[0][0], &table[0][0] + sizeof table);
    write_bytes(path, good);
    load_code_table(path);
    for (int r : {0, 5, 15}) {
        Bytes damaged = good;
        damaged[static_cast<std::size_t>(r * 256 + 17)] = damaged[static_cast<std::size_t>(r * 256 + 18)];
        write_bytes(path, damaged);
        expect_refused_naming([&] { load_code_table(path); }, path);
        expect_refused_naming([&] { load_code_table(path); }, "row " + std::to_string(r));
    }
}

} // namespace
