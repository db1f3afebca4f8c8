// The settings file: its bytes, damaged files, and saves that fail.
#include "core/game_state.h"
#include "input/input.h"
#include "persist/settings.h"
#include "support/files_test.h"

#include <cstring>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace qv;
namespace fs = std::filesystem;

namespace {

const SettingsBytes default_file = {1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 107, 105, 26,
                                    103, 4, 3, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1};
// Every value changed, every one in range.
const SettingsBytes custom_file = {3, 0, 77, 2, 1, 1, 1, 1, 0, 1, 0, 1, 2, 3,
                                   4, 1, 2, 3, 4, 0, 1, 0, 1, 0, 1, 0, 1};

std::vector<std::uint8_t> bytes(const SettingsBytes &b) { return {b.begin(), b.end()}; }

class SettingsTest : public test::FilesTest {
  protected:
    const std::string &path = settings_path;
};

// The file's inode: a save writes a new file and renames it over the old
// one, so a save that wrote anything shows as a new inode.
ino_t inode_of(const std::string &path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

void expect_in_range() {
    EXPECT_LE(g.difficulty, 3);
    EXPECT_LE(g.sound_volume, 4);
    EXPECT_EQ(g.sfx_volume, g.sound_volume * 63);
    for (int a = 0; a < 4; ++a) {
        EXPECT_STRNE(key_name(g.key_binding[a]), "?");
        EXPECT_EQ(std::count(g.button_binding, g.button_binding + 4, g.button_binding[a]), 1);
    }
    for (byte b : g.stage_unlocked) EXPECT_LE(b, 1);
    for (byte b : g.detail) EXPECT_LE(b, 1);
    EXPECT_LE(g.vsync_enabled, 1);
    EXPECT_LE(g.joystick_enabled, 1);
}

TEST_F(SettingsTest, FileBytesRoundTrip) {
    EXPECT_EQ(settings_to_bytes(), default_file);
    ASSERT_TRUE(test::save_settings(path));
    EXPECT_EQ(test::read_bytes(path), bytes(default_file));

    test::write_bytes(path, bytes(custom_file));
    test::load_settings(path);
    EXPECT_EQ(settings_to_bytes(), custom_file);
    EXPECT_EQ(g.spare_setting, 77);
    fs::remove(path);
    ASSERT_TRUE(test::save_settings(path));
    EXPECT_EQ(test::read_bytes(path), bytes(custom_file));
    // Only the save's own file is left beside it, and the lock saves take.
    EXPECT_EQ(test::files_in(dir), (std::set<std::string>{"w_config.def", "w_config.def.lock"}));
}

TEST_F(SettingsTest, ReadingNormalisesValues) {
    SettingsBytes b = default_file;
    // Difficulty 4 and volume 5 do not exist; keys 121, 127 and 200 have no
    // name and 120 is named "x" (no key anyone can press), so each takes its
    // default; buttons are kept as read; any non-zero flag is 1.
    const std::uint8_t odd[][2] = {{0, 4}, {1, 5},   {3, 5},   {11, 121}, {12, 127},
                                   {13, 200}, {14, 120}, {15, 0}, {16, 9}};
    for (const auto &[at, v] : odd) b[at] = v;
    settings_from_bytes(b.data(), SETTINGS_FILE_SIZE);
    const SettingsBytes expected = {1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 107, 105, 26,
                                    103, 0, 9, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(settings_to_bytes(), expected);

    for (int v = 0; v <= 4; ++v) {
        b[3] = static_cast<std::uint8_t>(v);
        test::write_bytes(path, bytes(b));
        test::load_settings(path);
        EXPECT_EQ(g.sfx_volume, v * 63);
    }
}

TEST_F(SettingsTest, ShortAndDamagedFilesKeepDefaults) {
    for (int length = 0; length <= SETTINGS_FILE_SIZE; ++length) {
        g.difficulty = 2; // a file is read over the defaults, not over this
        test::write_bytes(path, {custom_file.begin(), custom_file.begin() + length});
        test::load_settings(path);
        const SettingsBytes got = settings_to_bytes();
        // Cut among the buttons (15..18), the file's and the defaults would
        // bind one button twice: a later one falls back (expect_in_range).
        const bool among_buttons = length > 15 && length < 19;
        for (int i = 0; i < SETTINGS_FILE_SIZE; ++i) {
            if (among_buttons && i >= 15 && i <= 18) continue;
            EXPECT_EQ(got[i], i < length ? custom_file[i] : default_file[i])
                << "length " << length << " byte " << i;
        }
        expect_in_range();
    }
    fs::remove(path);
    test::load_settings(path);
    EXPECT_EQ(settings_to_bytes(), default_file);

    std::mt19937 rng(7);
    for (int n = 0; n < 500; ++n) {
        SettingsBytes b;
        for (auto &x : b) x = static_cast<std::uint8_t>(rng());
        settings_from_bytes(b.data(), static_cast<int>(rng() % 28));
        expect_in_range();
    }
}

TEST_F(SettingsTest, FailedSaveKeepsTheOldFile) {
    test::write_bytes(path, bytes(custom_file));
    fail_writes_after(10);
    EXPECT_EQ(test::stderr_of([&] { EXPECT_FALSE(test::save_settings(path)); }),
              "quarvell: could not save " + path + ": No space left on device\n");
    EXPECT_EQ(test::read_bytes(path), bytes(custom_file));
    EXPECT_EQ(test::files_in(dir), (std::set<std::string>{"w_config.def", "w_config.def.lock"}));

    fail_writes_after(-1);
    // A missing folder is made; one with a plain file in its way cannot be.
    test::write_bytes(dir + "/missing", {'x'});
    const std::string nowhere = dir + "/missing/w_config.def";
    EXPECT_EQ(test::stderr_of([&] { EXPECT_FALSE(test::save_settings(nowhere)); }),
              "quarvell: could not save " + nowhere + ": cannot make the folder " + dir +
                  "/missing: Not a directory\n");
    EXPECT_TRUE(test::save_settings(path));
}

TEST_F(SettingsTest, AnUnchangedSaveWritesNothing) {
    ASSERT_TRUE(test::save_settings(path));
    const ino_t first = inode_of(path);
    ASSERT_NE(first, 0u);
    // Any write would now fail as on a full disk, and say so.
    fail_writes_after(0);
    EXPECT_EQ(test::stderr_of([&] { EXPECT_TRUE(test::save_settings(path)); }), "");
    EXPECT_EQ(inode_of(path), first);
    EXPECT_EQ(test::read_bytes(path), bytes(default_file));

    // A changed setting is written.
    g.difficulty = 3;
    test::stderr_of([&] { EXPECT_FALSE(test::save_settings(path)); });
    fail_writes_after(-1);
    ASSERT_TRUE(test::save_settings(path));
    EXPECT_NE(inode_of(path), first);

    // So is a file that only begins with the right bytes.
    std::vector<std::uint8_t> longer = bytes(settings_to_bytes());
    longer.push_back(9);
    test::write_bytes(path, longer);
    ASSERT_TRUE(test::save_settings(path));
    EXPECT_EQ(fs::file_size(path), static_cast<std::uintmax_t>(SETTINGS_FILE_SIZE));
}

} // namespace

TEST_F(SettingsTest, ASettingsFileKeptAsALinkStaysALink) {
    // Kept in a dotfiles folder, linked (relatively) from where the game
    // looks; the first save finds the link pointing at nothing yet.
    fs::create_directories(dir + "/dotfiles");
    fs::create_symlink("dotfiles/w_config.def", path);
    test::load_settings(path);
    g.difficulty = 3;
    ASSERT_TRUE(test::save_settings(path));
    g.detail[DETAIL_CLOUDS] = 0;
    ASSERT_TRUE(test::save_settings(path));
    EXPECT_TRUE(fs::is_symlink(path));
    test::reset_state();
    test::load_settings(dir + "/dotfiles/w_config.def");
    EXPECT_EQ(g.difficulty, 3);
    EXPECT_EQ(g.detail[DETAIL_CLOUDS], 0);
}

// Two copies rebinding: each action's key and button merge on their own,
// and when both copies bound one key or button, this copy's binding stands
// and the other copy's action falls back to its default.
TEST_F(SettingsTest, TwoCopiesKeepEachOthersChangesAndNeverBindOneKeyOrButtonTwice) {
    constexpr int16 Q = 17, W = 23;
    using Bound = std::array<int16, 8>; // four keys, four buttons
    // The other copy's bindings, this copy's, and the file's at the end.
    const Bound cases[][3] = {
        {{107, 105, Q, 103, 1, 3, 2, 4}, {107, 105, 26, W, 4, 2, 3, 1}, {107, 105, Q, W, 1, 2, 3, 4}},
        {{107, 105, Q, 103, 3, 4, 2, 1}, {107, 105, 26, Q, 4, 2, 3, 1}, {107, 105, 26, Q, 4, 2, 3, 1}}};
    const auto bind = [](const Bound &b) {
        std::copy_n(b.begin(), 4, g.key_binding);
        std::copy_n(b.begin() + 4, 4, g.button_binding);
    };
    for (const auto &[theirs, mine, saved] : cases) {
        fs::remove(path);
        test::reset_state();
        ASSERT_TRUE(test::save_settings(path));
        g.difficulty = 3; // the other copy, meanwhile
        bind(theirs);
        test::write_bytes(path, bytes(settings_to_bytes()));
        test::reset_state(); // this copy
        g.detail[DETAIL_CLOUDS] = 0;
        bind(mine);
        ASSERT_TRUE(test::save_settings(path));
        const std::vector<std::uint8_t> file = test::read_bytes(path);
        EXPECT_EQ(file[0], 3);
        EXPECT_EQ(file[19], 0);
        EXPECT_TRUE(std::equal(saved.begin(), saved.end(), file.begin() + 11));
    }
}

// A FIFO, a device, or a link to one, where the settings file should be:
// never waited on nor replaced, and said once. A lock file that is a link
// makes no file where it points.
TEST_F(SettingsTest, WhatIsNotAFileIsLeftAlone) {
    const std::string fifo = dir + "/fifo", device = dir + "/null", link = dir + "/link";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    // The null device's numbers, made here (only root may).
    const bool device_made = ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    fs::create_symlink(device_made ? device : fifo, link);
    fs::create_symlink(dir + "/elsewhere", path + ".lock");
    const std::set<std::string> made = test::files_in(dir);
    for (const std::string &p : {fifo, link, device, path}) {
        if (p == device && !device_made) continue;
        testing::internal::CaptureStderr();
        test::load_settings(p);
        g.difficulty = 3;
        EXPECT_FALSE(test::save_settings(p));
        const std::string said = p == path ? "could not save " + p + ": its lock file " + p + ".lock" : p;
        const std::string more = p == path ? "" : "; the game neither reads nor saves it";
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "quarvell: " + said + " is not a regular file" + more + "\n");
    }
    EXPECT_TRUE(fs::is_fifo(fifo) && fs::is_symlink(link));
    EXPECT_TRUE(!device_made || fs::is_character_file(device));
    EXPECT_EQ(test::files_in(dir), made);
}
