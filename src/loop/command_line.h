// The game's command line: a table of options (adding one is adding a row
// in command_line.cpp) read into a plain struct.
#pragma once

#include <string>

namespace qv {

struct CommandLine {
    enum class Mode {
        Play,    // start the game
        Help,    // print usage_text() and stop
        Version, // print version_text() and stop
        Error,   // print `error`, then usage_hint(), and exit with USAGE_ERROR
    };
    Mode mode = Mode::Play;
    std::string error; // one line naming the bad option or value

    bool fullscreen = false; // --fullscreen / --windowed, the last one wins
    int scale = 0;           // --scale N; 0: the largest that fits the desktop
    bool aspect = false;     // --aspect: the 4:3 shape
    std::string data_dir;    // --data DIR; empty: found beside the binary
    std::string record;      // --record FILE: play, and record into FILE
    std::string replay;      // --replay FILE: show a recorded game
    bool verify = false;     // --verify: check the --replay headless instead
};

// Exit status for a command line the game cannot use.
inline constexpr int USAGE_ERROR = 2;

// Reads argv[1..argc-1]. Options take their value as the next argument or
// after '=' (--scale 3, --scale=3).
CommandLine parse_command_line(int argc, const char *const *argv);

// The options and the keys, for --help.
std::string usage_text();
// The line after a usage error that says where the options are listed.
std::string usage_hint();
// "quarvell VERSION".
std::string version_text();

} // namespace qv
