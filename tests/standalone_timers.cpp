// The real game against Allegro's real timer thread: game_main in a window
// on a private X server, its callbacks on Allegro's own thread at the
// game's rates, and a scripted player on that thread too (an extra 70 Hz
// callback) that goes through the menus, flies, flips the hot keys, pauses
// and quits. Meant for ThreadSanitizer: a shared field touched outside the
// sim lock shows up as a data race.
#include "harness/headless_game.h"
#include "harness/player.h"

#include "core/sim_lock.h"
#include "input/input.h"
#include "loop/game_loop.h"
#include "persist/records.h"
#include "platform/allegro_backend.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using namespace qv;
namespace fs = std::filesystem;

constexpr int FIRST_DISPLAY = 97;
constexpr int DISPLAY_TRIES = 30;
// Real seconds are precious: fly a while, not a whole stage.
constexpr long FLIGHT_TICKS = 70L * 12;
constexpr long GIVE_UP_TICKS = 70L * 120;

bool on_path(const std::string &program) {
    const char *path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= dirs.size();) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        if (access((dirs.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// An Xvfb server on the first free display number, stopped by its pid.
class VirtualDisplay {
  public:
    bool start() {
        for (int n = FIRST_DISPLAY; n < FIRST_DISPLAY + DISPLAY_TRIES; ++n) {
            const std::string socket = std::string("/tmp/.X11-unix/X") + std::to_string(n);
            if (fs::exists(socket) || fs::exists(std::string("/tmp/.X") + std::to_string(n) + "-lock"))
                continue;
            if (launch(n, socket)) {
                display_ = std::string(":") + std::to_string(n);
                setenv("DISPLAY", display_.c_str(), 1);
                return true;
            }
        }
        return false;
    }

    ~VirtualDisplay() {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }

  private:
    bool launch(int n, const std::string &socket) {
        const std::string name = std::string(":") + std::to_string(n);
        char *const argv[] = {const_cast<char *>("Xvfb"),       const_cast<char *>(name.c_str()),
                              const_cast<char *>("-screen"),    const_cast<char *>("0"),
                              const_cast<char *>("640x480x24"), const_cast<char *>("-nolisten"),
                              const_cast<char *>("tcp"),        nullptr};
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        const int err = posix_spawnp(&pid, "Xvfb", &quiet, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&quiet);
        if (err != 0)
            return false;
        // Ready once its socket shows; gone if another server took the number.
        for (int wait = 0; wait < 100; ++wait) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                return false;
            if (fs::exists(socket)) {
                pid_ = pid;
                return true;
            }
            usleep(50000);
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return false;
    }

    pid_t pid_ = -1;
    std::string display_;
};

// The real back end, with the player's callback beside the game's own.
class ScriptedAllegro : public platform::AllegroBackend, public test::PlayerHost {
  public:
    bool init_display(std::string &error) override {
        if (!AllegroBackend::init_display(error))
            return false;
        active = this;
        install_int_ex(script_tick, platform::LOGIC_PERIOD);
        return true;
    }
    // No sound device: with no card here it would be the silent driver
    // anyway, and ALSA's configuration memory would show as leaks.
    bool init_sound() override { return false; }
    void shutdown() override {
        remove_int(script_tick);
        active = nullptr;
        AllegroBackend::shutdown();
    }
    long long ticks() const override { return ticks_.load(); }
    long long frames() const override { return AllegroBackend::frames(); }
    bool fading() const override { return AllegroBackend::fading(); }
    void request_close() override { AllegroBackend::request_close(); }
    void set_pad(const PadState &) override {}
    // The game reads Allegro's key[] here, as from the keyboard driver.
    void hold_key(int index, bool held) override {
        if (index > 0 && index < KEY_MAX) __atomic_store_n(&key[index], held ? -1 : 0, __ATOMIC_RELAXED);
    }

    test::Player *player = nullptr;

  private:
    static void script_tick() {
        ScriptedAllegro *self = active.load();
        if (!self || !self->player)
            return;
        const long long t = ++self->ticks_;
        self->player->tick();
        if (t > GIVE_UP_TICKS || (self->player->finished() && t > self->done_at_ + GIVE_UP_TICKS)) {
            self->timed_out.store(true);
            self->request_close();
        }
        if (!self->player->finished())
            self->done_at_ = t;
    }
    static inline std::atomic<ScriptedAllegro *> active{nullptr};
    std::atomic<long long> ticks_{0};
    long long done_at_ = 0;

  public:
    std::atomic<bool> timed_out{false};
};

TEST(RealTimers, TheGameRunsAgainstTheTimerThread) {
    if (!on_path("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    VirtualDisplay display;
    ASSERT_TRUE(display.start()) << "no virtual display could be started";

    ScriptedAllegro real;
    // Frames come at the pace the machine manages: long presses.
    test::Player player(real, {8, 70, 20});
    real.player = &player;
    std::atomic<long> kills{0};
    std::atomic<long long> frames_with_vsync{0}, ticks_with_vsync{0};
    player.start_game({0, 0, 1, 1}) // "Delian Mesas" alone
        .wait_for(test::Screen::Flight)
        .fly(test::hunter_pilot(), [&] { return real.ticks() > FLIGHT_TICKS; })
        .check([&] {
            frames_with_vsync.store(real.frames());
            ticks_with_vsync.store(real.ticks());
        })
        .press(KEY_V) // the retrace wait off from here
        .press(KEY_C)
        .press(KEY_S)
        .fly(test::hunter_pilot(), [&] { return real.ticks() > 2 * FLIGHT_TICKS; })
        .check([&] {
            SimLock lock;
            kills.store(g.stage_kills);
        })
        .press(KEY_ESC)
        .wait_for(test::Screen::Pause)
        .accept() // "Resume Play"
        .wait_for(test::Screen::Flight)
        .press(KEY_ESC)
        .wait_for(test::Screen::Pause)
        .down(1) // "Main Menu"
        .accept()
        .play_to_title(test::hunter_pilot(), "REAL")
        .quit();

    const std::string folder = test::make_temp_dir("real-timers");
    const GameOptions options = test::game_options(folder);
    int status;
    {
        platform::UseBackend use(real);
        status = game_main(options);
    }
    real.release_all_keys();
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(real.timed_out.load());
    EXPECT_GT(kills.load(), 0);
    // Until V, with the retrace wait on (the default), at most a frame a
    // retrace: the menus, the fades and the flight all waited for it. (The
    // ticks and the retraces both come at 70 Hz; a frame or two of slack
    // for their phases.)
    EXPECT_GT(frames_with_vsync.load(), 0);
    EXPECT_LE(frames_with_vsync.load(), ticks_with_vsync.load() + 2);
    std::printf("%lld ticks, %ld kills before the pause\n", real.ticks(), kills.load());
    // The game went all the way to the records table and out by "QUIT!".
    test::load_records(options.records_path);
    EXPECT_STREQ(g.record_name[0], "REAL");
}

} // namespace

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
