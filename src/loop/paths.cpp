#include "loop/paths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace qv {

namespace fs = std::filesystem;

namespace {

constexpr const char *DEFAULT_CONFIG = ".config";
constexpr const char *DEFAULT_DATA = ".local/share";
constexpr const char *DEFAULT_PICTURES = "Pictures";
constexpr const char *USER_DIRS_FILE = "user-dirs.dirs";
constexpr const char *USER_DIRS_PICTURES = "XDG_PICTURES_DIR=";

std::string env_or_empty(const char *name) {
    const char *v = std::getenv(name);
    return v ? v : "";
}

bool present(const fs::path &p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// XDG folders must be absolute; anything else is ignored.
bool usable(const std::string &dir) { return !dir.empty() && dir[0] == '/'; }

// $XDG_CONFIG_HOME, else HOME/.config; "" without either.
std::string config_home(const Environment &env) {
    if (usable(env.config_home)) return env.config_home;
    return usable(env.home) ? (fs::path(env.home) / DEFAULT_CONFIG).string() : "";
}

std::string data_home(const Environment &env) {
    if (usable(env.data_home)) return env.data_home;
    return usable(env.home) ? (fs::path(env.home) / DEFAULT_DATA).string() : "";
}

// The desktop names its pictures folder in user-dirs.dirs, as a line
// XDG_PICTURES_DIR="$HOME/Pictures" (it may be in the player's language).
std::string pictures_from_user_dirs(const Environment &env) {
    const std::string config = config_home(env);
    if (config.empty()) return "";
    std::ifstream in(fs::path(config) / USER_DIRS_FILE);
    std::string line;
    const std::string key = USER_DIRS_PICTURES;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string v = line.substr(key.size());
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        const std::string home_var = "$HOME";
        if (v.rfind(home_var, 0) == 0) {
            if (!usable(env.home)) return "";
            v = env.home + v.substr(home_var.size());
        }
        return usable(v) ? v : "";
    }
    return "";
}

std::string pictures_home(const Environment &env) {
    if (usable(env.pictures_dir)) return env.pictures_dir;
    if (std::string named = pictures_from_user_dirs(env); !named.empty()) return named;
    return usable(env.home) ? (fs::path(env.home) / DEFAULT_PICTURES).string() : "";
}

std::string find_data(const Environment &env) {
    if (!env.exe_dir.empty()) {
        const fs::path exe(env.exe_dir);
        if (present(exe / DATA_MARKER)) return exe.string();
        for (const char *below_prefix : INSTALLED_DATA) {
            const fs::path installed = (exe.parent_path() / below_prefix).lexically_normal();
            if (present(installed / DATA_MARKER)) return installed.string();
        }
    }
    return env.cwd.empty() ? "." : env.cwd;
}

// The file in the current folder when it is already there; else in the
// player's folder `home`; "" (kept in memory only) when there is neither:
// a game started without a home must not litter whatever folder it was
// started in.
std::string player_file(const Environment &env, const std::string &home, const char *name) {
    const fs::path here = fs::path(env.cwd.empty() ? "." : env.cwd) / name;
    if (present(here)) return here.string();
    return home.empty() ? "" : (fs::path(home) / APP_FOLDER / name).string();
}

// The home folder the system names for this user, as other desktop programs
// fall back to when HOME is not set (some service managers, env -i).
std::string home_from_passwd() {
    std::vector<char> buffer(16384);
    passwd entry{}, *found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir)
        return "";
    return found->pw_dir;
}

} // namespace

Environment current_environment() {
    Environment env;
    std::error_code ec;
    env.cwd = fs::current_path(ec).string();
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) env.exe_dir = exe.parent_path().string();
    env.home = env_or_empty("HOME");
    if (!usable(env.home)) env.home = home_from_passwd();
    env.config_home = env_or_empty("XDG_CONFIG_HOME");
    env.data_home = env_or_empty("XDG_DATA_HOME");
    env.pictures_dir = env_or_empty("XDG_PICTURES_DIR");
    return env;
}

GamePaths resolve_paths(const Environment &env, const std::string &data_override) {
    GamePaths p;
    p.data_dir = data_override.empty() ? find_data(env) : data_override;
    p.settings = player_file(env, config_home(env), SETTINGS_FILE);
    p.records = player_file(env, data_home(env), RECORDS_FILE);
    const std::string pictures = pictures_home(env);
    p.screenshots = pictures.empty() ? "" : (fs::path(pictures) / APP_FOLDER).string();
    return p;
}

std::string unsaved_note(const GamePaths &p) {
    std::string what;
    const auto add = [&what](const std::string &path, const char *name) {
        if (!path.empty()) return;
        what += what.empty() ? name : std::string(", ") + name;
    };
    add(p.settings, "settings");
    add(p.records, "records");
    add(p.screenshots, "screenshots");
    if (what.empty()) return "";
    return "no home folder (HOME is not set and the system names none): " + what +
           " will not be saved";
}

} // namespace qv
