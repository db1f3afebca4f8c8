// The flight against Allegro's real timer thread: logic_tick, enemy_ai_tick
// and joystick_tick arrive on their own thread at the game's rates while
// the main thread releases waves, takes snapshots, steers and flips
// settings, as the flight loop does. Meant for ThreadSanitizer: a shared
// field touched outside the sim lock shows up as a data race.
//
// Allegro's timers need its X11 system driver, so the test runs its own
// virtual display.
#include "harness/flight_harness.h"

#include "core/sim_lock.h"
#include "core/spine.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The game's rates, in ticks of Allegro's 1,193,181 Hz clock.
constexpr long LOGIC_SPEED = 17045;
constexpr long ENEMY_AI_SPEED = 34090;
constexpr long JOYSTICK_SPEED = 39772;

constexpr int FIRST_DISPLAY = 97;
constexpr int DISPLAY_TRIES = 30;
constexpr auto FLIGHT_TIME = std::chrono::seconds(4);
constexpr int FRAME_REST_MS = 10;
constexpr int TOGGLE_EVERY = 40; // frames

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

// Flips a setting the way the flight loop's hot keys do.
void toggle(byte &setting) {
    SimLock lock;
    setting = setting == 1 ? 0 : 1;
}

TEST(RealTimers, FlightRunsAgainstTheTimerThread) {
    if (!on_path("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    VirtualDisplay display;
    ASSERT_TRUE(display.start()) << "no virtual display could be started";
    ASSERT_EQ(install_allegro(SYSTEM_AUTODETECT, &errno, atexit), 0) << allegro_error;
    ASSERT_EQ(install_timer(), 0);

    test::FlightSetup setup;
    setup.stage = 0;
    test::new_game(setup);
    test::FlightRun run(setup);

    install_int_ex(logic_tick, LOGIC_SPEED);
    install_int_ex(enemy_ai_tick, ENEMY_AI_SPEED);
    install_int_ex(joystick_tick, JOYSTICK_SPEED);

    // Between frames the main thread rests without the lock, as it does
    // while presenting a frame.
    run.start_stage([] { rest(FRAME_REST_MS); });
    const test::Pilot pilot = test::hunter_pilot();
    const auto until = std::chrono::steady_clock::now() + FLIGHT_TIME;
    int frames = 0;
    while (std::chrono::steady_clock::now() < until && run.frame(pilot)) {
        if (++frames % TOGGLE_EVERY == 0) {
            toggle(g.vsync_enabled);
            toggle(g.detail[DETAIL_CLOUDS]);
            toggle(g.detail[DETAIL_SHIP_SHADOWS]);
        }
        rest(FRAME_REST_MS);
    }

    remove_int(joystick_tick);
    remove_int(enemy_ai_tick);
    remove_int(logic_tick);
    test::release_all_keys();

    {
        SimLock lock;
        EXPECT_EQ(g.launch_timer, 0); // the glide ran on the timer thread
        EXPECT_GT(g.wave_index, 0);
        EXPECT_FALSE(g.game_over);
        std::printf("%d frames, %d kills, score %d\n", frames, g.stage_kills,
                    static_cast<int>(g.score));
    }
    EXPECT_GT(frames, 100);
    allegro_exit();
}

} // namespace

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
