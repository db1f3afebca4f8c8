// The desktop side of the game without a display: the command line, the
// window's scale on the desktops players have, where the data and the
// player's files are found, and the player's folders made by the first save.
#include "loop/command_line.h"
#include "loop/paths.h"
#include "core/file_bytes.h"
#include "persist/atomic_file.h"
#include "persist/saves.h"
#include "platform/display_layout.h"
#include "platform/screenshot.h"
#include "support/files_test.h"

#include <algorithm>
#include <cstdlib>
#include <loadpng.h>
#include <pwd.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace qv;
namespace fs = std::filesystem;

namespace {

CommandLine parse(std::vector<const char *> args) {
    args.insert(args.begin(), "quarvell");
    return parse_command_line(static_cast<int>(args.size()), args.data());
}

void touch(const fs::path &p) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
}

} // namespace

TEST(CommandLine, ReadsEveryOptionInBothForms) {
    const CommandLine none = parse({});
    EXPECT_EQ(none.mode, CommandLine::Mode::Play);
    EXPECT_FALSE(none.fullscreen);
    EXPECT_EQ(none.scale, 0);
    EXPECT_FALSE(none.aspect);
    EXPECT_EQ(none.data_dir, "");

    const CommandLine all = parse({"--fullscreen", "--scale", "4", "--aspect", "--data=/opt/q"});
    EXPECT_EQ(all.mode, CommandLine::Mode::Play);
    EXPECT_TRUE(all.fullscreen);
    EXPECT_EQ(all.scale, 4);
    EXPECT_TRUE(all.aspect);
    EXPECT_EQ(all.data_dir, "/opt/q");

    const CommandLine replay = parse({"--replay", "a.qvr", "--verify"});
    EXPECT_EQ(replay.replay, "a.qvr");
    EXPECT_TRUE(replay.verify);
    EXPECT_EQ(parse({"--record=b.qvr"}).record, "b.qvr");

    EXPECT_EQ(parse({"--scale=16"}).scale, 16);
    EXPECT_EQ(parse({"--data", "rel/dir"}).data_dir, "rel/dir");
    // The last of --windowed / --fullscreen wins.
    EXPECT_FALSE(parse({"--fullscreen", "--windowed"}).fullscreen);
    EXPECT_TRUE(parse({"--windowed", "--fullscreen"}).fullscreen);
    // Help and version stop the game whatever else is on the line.
    EXPECT_EQ(parse({"--scale", "2", "--help"}).mode, CommandLine::Mode::Help);
    EXPECT_EQ(parse({"--version"}).mode, CommandLine::Mode::Version);
    EXPECT_EQ(parse({"--help", "--version"}).mode, CommandLine::Mode::Help);
    EXPECT_EQ(parse({"-h"}).mode, CommandLine::Mode::Help);
}

TEST(CommandLine, NamesTheBadOptionOrValue) {
    struct Case {
        std::vector<const char *> args;
        std::string error;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"file.txt"}, "unknown option 'file.txt'"},
        {{"--scale"}, "--scale needs a value (N)"},
        {{"--scale", "0"}, "--scale needs a whole number from 1 to 16, not '0'"},
        {{"--scale", "17"}, "--scale needs a whole number from 1 to 16, not '17'"},
        {{"--scale", "3x"}, "--scale needs a whole number from 1 to 16, not '3x'"},
        {{"--scale="}, "--scale needs a whole number from 1 to 16, not ''"},
        {{"--scale", "-2"}, "--scale needs a whole number from 1 to 16, not '-2'"},
        {{"--data"}, "--data needs a value (DIR)"},
        {{"--data="}, "--data needs a folder"},
        {{"--aspect=1"}, "--aspect takes no value"},
        {{"--record"}, "--record needs a value (FILE)"},
        {{"--replay="}, "--replay needs a file"},
        {{"--verify"}, "--verify needs --replay FILE"},
        // The first problem is the one named.
        {{"--scale", "2", "--nope", "--scale", "99"}, "unknown option '--nope'"},
    };
    for (const Case &c : cases) {
        const CommandLine cl = parse(c.args);
        EXPECT_EQ(cl.mode, CommandLine::Mode::Error) << c.error;
        EXPECT_EQ(cl.error, c.error);
    }
}

TEST(CommandLine, UsageListsEveryOptionAndTheWindowKeys) {
    const std::string usage = usage_text();
    for (const char *s : {"--help", "--version", "--windowed", "--fullscreen", "--scale N",
                          "--aspect", "--data DIR", "Alt+Enter", "F11", "F12"})
        EXPECT_NE(usage.find(s), std::string::npos) << s;
    EXPECT_EQ(version_text().rfind("quarvell ", 0), 0u);
}

TEST(DisplayLayout, TheWindowIsTheLargestScaleThatLeavesRoomOnTheDesktop) {
    struct Case {
        int w, h;
        int scale, aspect_scale;
    };
    const Case desktops[] = {
        {1920, 1080, 5, 4}, {1024, 768, 3, 2}, {1366, 768, 3, 2},  {1280, 800, 3, 3},
        {1280, 1024, 3, 3}, {1600, 900, 4, 3}, {2560, 1440, 6, 5}, {3840, 2160, 10, 8},
        {800, 600, 2, 2},   {640, 480, 1, 1},  {320, 200, 1, 1},   {5120, 2880, 14, 11},
        {0, 0, platform::FALLBACK_SCALE, platform::FALLBACK_SCALE},
    };
    for (const Case &d : desktops) {
        EXPECT_EQ(platform::window_scale(d.w, d.h, false), d.scale) << d.w << "x" << d.h;
        EXPECT_EQ(platform::window_scale(d.w, d.h, true), d.aspect_scale) << d.w << "x" << d.h;
    }
    const platform::Layout five = platform::window_layout(5, false);
    EXPECT_EQ(five.screen_w, 1600);
    EXPECT_EQ(five.screen_h, 1000);
    // 4:3: every 5 rows shown as 6.
    const platform::Layout aspect = platform::window_layout(3, true);
    EXPECT_EQ(aspect.screen_w, 960);
    EXPECT_EQ(aspect.screen_h, 720);
}

TEST(DisplayLayout, FullscreenCentresTheLargestPictureOnTheScreen) {
    struct Case {
        int w, h;
        bool aspect;
        int scale, x, y;
    };
    const Case cases[] = {
        {1024, 768, false, 3, 32, 84},
        {1920, 1080, false, 5, 160, 40},
        {1280, 800, false, 4, 0, 0}, // an exact fit, both ways
        {1920, 1080, true, 4, 320, 60}, // 1280 x 960
        {300, 150, false, 1, 0, 0},
    };
    for (const Case &c : cases) {
        const platform::Layout l = platform::fullscreen_layout(c.w, c.h, c.aspect);
        EXPECT_EQ(l.scale, c.scale) << c.w << "x" << c.h;
        EXPECT_EQ(l.x, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(l.y, c.y) << c.w << "x" << c.h;
    }
}

class Paths : public test::FilesTest {
  protected:
    void SetUp() override {
        env_.home = dir + "/home";
        env_.cwd = dir + "/here";
        fs::create_directories(env_.cwd);
    }
    const fs::path root_{dir};
    Environment env_;
};

TEST_F(Paths, ThePlayersFilesGoToTheXdgFolders) {
    GamePaths p = resolve_paths(env_, "");
    EXPECT_EQ(p.settings, env_.home + "/.config/quarvell/w_config.def");
    EXPECT_EQ(p.records, env_.home + "/.local/share/quarvell/assist.def");
    EXPECT_EQ(p.screenshots, env_.home + "/Pictures/quarvell");

    env_.config_home = "/cfg";
    env_.data_home = "/dat";
    env_.pictures_dir = "/pics";
    p = resolve_paths(env_, "");
    EXPECT_EQ(p.settings, "/cfg/quarvell/w_config.def");
    EXPECT_EQ(p.records, "/dat/quarvell/assist.def");
    EXPECT_EQ(p.screenshots, "/pics/quarvell");

    // Relative XDG folders are not to be used.
    env_.config_home = "cfg";
    env_.data_home = "dat";
    env_.pictures_dir = "";
    p = resolve_paths(env_, "");
    EXPECT_EQ(p.settings, env_.home + "/.config/quarvell/w_config.def");
    EXPECT_EQ(p.records, env_.home + "/.local/share/quarvell/assist.def");
}

TEST_F(Paths, FilesAlreadyInTheCurrentFolderStayThere) {
    touch(fs::path(env_.cwd) / "w_config.def");
    GamePaths p = resolve_paths(env_, "");
    EXPECT_EQ(p.settings, env_.cwd + "/w_config.def");
    EXPECT_EQ(p.records, env_.home + "/.local/share/quarvell/assist.def");
    touch(fs::path(env_.cwd) / "assist.def");
    p = resolve_paths(env_, "");
    EXPECT_EQ(p.records, env_.cwd + "/assist.def");

    // No home at all (HOME unset, and the system names none): nothing goes
    // into whatever folder the game was started in, and the player is told.
    Environment homeless;
    homeless.cwd = (root_ / "elsewhere").string();
    fs::create_directories(homeless.cwd);
    p = resolve_paths(homeless, "");
    EXPECT_EQ(p.settings, "");
    EXPECT_EQ(p.records, "");
    EXPECT_EQ(p.screenshots, "");
    EXPECT_EQ(unsaved_note(p), "no home folder (HOME is not set and the system names none): "
                               "settings, records, screenshots will not be saved");
    FileSaves nowhere(p.settings, p.records);
    EXPECT_FALSE(nowhere.save(SaveFile::Settings, [](const std::optional<Bytes> &) { return Bytes{1}; }));
    EXPECT_TRUE(fs::is_empty(homeless.cwd));

    // HOME unset: the system's home folder for the user, as other programs.
    const char *home = std::getenv("HOME");
    const std::string saved = home ? home : "";
    unsetenv("HOME");
    const std::string from_system = current_environment().home;
    if (!saved.empty()) setenv("HOME", saved.c_str(), 1);
    EXPECT_EQ(from_system, getpwuid(getuid())->pw_dir);
}

TEST_F(Paths, ThePicturesFolderIsTheOneTheDesktopNames) {
    const fs::path dirs = fs::path(env_.home) / ".config" / "user-dirs.dirs";
    fs::create_directories(dirs.parent_path());
    std::ofstream(dirs) << "# written by xdg-user-dirs-update\n"
                        << "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                        << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(resolve_paths(env_, "").screenshots, env_.home + "/Bilder/quarvell");
    // The desktop's file is in its configuration folder, wherever that is.
    env_.config_home = (root_ / "cfg").string();
    fs::create_directories(env_.config_home);
    std::ofstream(fs::path(env_.config_home) / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Fotos\"\n";
    EXPECT_EQ(resolve_paths(env_, "").screenshots, env_.home + "/Fotos/quarvell");
    env_.pictures_dir = "/shots";
    EXPECT_EQ(resolve_paths(env_, "").screenshots, "/shots/quarvell");
}

TEST(Screenshots, NeverWriteThroughALinkAndLeaveNothingOnAFullDisk) {
    const fs::path dir(test::make_temp_dir("shots")), outside = dir / "elsewhere";
    fs::create_directories(outside);
    // A link pointing nowhere, by the first free name.
    fs::create_symlink(outside / "planted.png", dir / "quarvell-0001.png");
    const test::BitmapPtr picture = test::make_bitmap(320, 200, 7);
    PALETTE palette{};
    palette[7] = {63, 32, 0, 0};
    std::string error;
    EXPECT_EQ(platform::save_screenshot(dir.string(), picture.get(), palette, error),
              (dir / "quarvell-0002.png").string());
    EXPECT_TRUE(fs::is_empty(outside));
    BITMAP *back = load_png((dir / "quarvell-0002.png").c_str(), nullptr);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(getpixel(back, 100, 100), 7);
    destroy_bitmap(back);

    fail_writes_after(0);
    EXPECT_EQ(platform::save_screenshot(dir.string(), picture.get(), palette, error), "");
    fail_writes_after(-1);
    EXPECT_EQ(error, "No space left on device");
    EXPECT_FALSE(fs::exists(dir / "quarvell-0003.png"));
}

TEST_F(Paths, TheDataIsBesideTheBinaryOrInstalledInEitherLayout) {
    // The build's game folder: data beside the binary.
    const fs::path build = root_ / "build" / "game";
    touch(build / "loader.def");
    env_.exe_dir = build.string();
    EXPECT_EQ(resolve_paths(env_, "").data_dir, build.string());

    // An install: PREFIX/bin/quarvell and PREFIX/share/quarvell.
    const fs::path prefix = root_ / "prefix";
    fs::create_directories(prefix / "bin");
    touch(prefix / "share" / "quarvell" / "loader.def");
    env_.exe_dir = (prefix / "bin").string();
    EXPECT_EQ(resolve_paths(env_, "").data_dir, (prefix / "share" / "quarvell").string());
    // Debian's games layout: /usr/games/quarvell and /usr/share/games/quarvell.
    const fs::path usr = root_ / "usr";
    fs::create_directories(usr / "games");
    touch(usr / "share" / "games" / "quarvell" / "loader.def");
    env_.exe_dir = (usr / "games").string();
    EXPECT_EQ(resolve_paths(env_, "").data_dir, (usr / "share" / "games" / "quarvell").string());

    // --data wins; with no data anywhere, the current folder.
    EXPECT_EQ(resolve_paths(env_, "/my/data").data_dir, "/my/data");
    env_.exe_dir = (root_ / "nowhere").string();
    EXPECT_EQ(resolve_paths(env_, "").data_dir, env_.cwd);
}

TEST(SaveFolders, TheFirstSaveMakesThePlayersFolderAndABlockedOneWarnsOnce) {
    const fs::path root(test::make_temp_dir("save-folders"));
    const auto bytes = [](const std::optional<Bytes> &) { return Bytes{1, 2, 3}; };
    const fs::path file = root / "config" / "quarvell" / "w_config.def";
    forget_save_warnings();
    ASSERT_TRUE(save_file(file.string(), bytes));
    EXPECT_EQ(fs::file_size(file), 3u);

    // A plain file where the folder should be: one warning for the folder,
    // however many saves and files try it; the game goes on.
    touch(root / "blocked");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(save_file((root / "blocked" / "w_config.def").string(), bytes));
    EXPECT_FALSE(save_file((root / "blocked" / "w_config.def").string(), bytes));
    EXPECT_FALSE(save_file((root / "blocked" / "assist.def").string(), bytes));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find((root / "blocked").string()), std::string::npos) << err;
    forget_save_warnings();
}
