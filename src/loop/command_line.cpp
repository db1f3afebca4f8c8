#include "loop/command_line.h"

#include "core/version.h"
#include "platform/display_layout.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace qv {

namespace {

using Apply = void (*)(CommandLine &cl, std::string_view value);

struct Option {
    const char *name;
    const char *short_name; // nullptr: none
    const char *value; // nullptr: takes no value
    const char *help;
    Apply apply;
};

void fail(CommandLine &cl, std::string message) {
    cl.mode = CommandLine::Mode::Error;
    cl.error = std::move(message);
}

void set_scale(CommandLine &cl, std::string_view value) {
    int n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size() || n < platform::MIN_SCALE ||
        n > platform::MAX_SCALE) {
        fail(cl, "--scale needs a whole number from " + std::to_string(platform::MIN_SCALE) +
                     " to " + std::to_string(platform::MAX_SCALE) + ", not '" +
                     std::string(value) + "'");
        return;
    }
    cl.scale = n;
}

// A value that must not be empty: --data DIR, --record FILE...
bool named(CommandLine &cl, std::string_view value, const char *option, const char *what) {
    if (value.empty()) fail(cl, std::string(option) + " needs " + what);
    return !value.empty();
}

void set_data(CommandLine &cl, std::string_view value) {
    if (named(cl, value, "--data", "a folder")) cl.data_dir = value;
}

void set_record(CommandLine &cl, std::string_view value) {
    if (named(cl, value, "--record", "a file")) cl.record = value;
}

void set_replay(CommandLine &cl, std::string_view value) {
    if (named(cl, value, "--replay", "a file")) cl.replay = value;
}

// Help and version win over everything else on the line, as players expect.
constexpr Option OPTIONS[] = {
    {"--help", "-h", nullptr, "show this text and stop",
     [](CommandLine &cl, std::string_view) { cl.mode = CommandLine::Mode::Help; }},
    {"--version", nullptr, nullptr, "show the version and stop",
     [](CommandLine &cl, std::string_view) {
         if (cl.mode != CommandLine::Mode::Help) cl.mode = CommandLine::Mode::Version;
     }},
    {"--windowed", nullptr, nullptr, "start in a window (the default)",
     [](CommandLine &cl, std::string_view) { cl.fullscreen = false; }},
    {"--fullscreen", nullptr, nullptr, "start in fullscreen",
     [](CommandLine &cl, std::string_view) { cl.fullscreen = true; }},
    {"--scale", nullptr, "N", "window at N times 320 x 200 (default: the largest that fits)", set_scale},
    {"--aspect", nullptr, nullptr, "the 4:3 shape of the displays the game was drawn for",
     [](CommandLine &cl, std::string_view) { cl.aspect = true; }},
    {"--data", nullptr, "DIR", "read the game's data from DIR", set_data},
    {"--record", nullptr, "FILE", "play, and record every input into FILE", set_record},
    {"--replay", nullptr, "FILE", "show the game recorded in FILE (Escape ends it)", set_replay},
    {"--verify", nullptr, nullptr, "with --replay: check the recording headless, fast",
     [](CommandLine &cl, std::string_view) { cl.verify = true; }},
};

const Option *find_option(std::string_view name) {
    for (const Option &o : OPTIONS)
        if (name == o.name || (o.short_name && name == o.short_name)) return &o;
    return nullptr;
}

} // namespace

CommandLine parse_command_line(int argc, const char *const *argv) {
    CommandLine cl;
    for (int i = 1; i < argc && cl.mode != CommandLine::Mode::Error; ++i) {
        std::string_view arg = argv[i];
        std::string_view value;
        bool has_value = false;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            has_value = true;
        }
        const Option *o = find_option(arg);
        if (!o) {
            fail(cl, "unknown option '" + std::string(argv[i]) + "'");
            break;
        }
        if (!o->value && has_value) {
            fail(cl, std::string(o->name) + " takes no value");
            break;
        }
        if (o->value && !has_value) {
            if (i + 1 >= argc) {
                fail(cl, std::string(o->name) + " needs a value (" + o->value + ")");
                break;
            }
            value = argv[++i];
        }
        o->apply(cl, value);
    }
    // Checking a recording is something done to a replay; alone it would be
    // a game started as if the option were not there.
    if (cl.mode == CommandLine::Mode::Play && cl.verify && cl.replay.empty())
        fail(cl, "--verify needs --replay FILE");
    return cl;
}

std::string usage_text() {
    std::string s = "Usage: quarvell [OPTION]...\n"
                    "QUARVELL, an arcade flying shooter.\n\nOptions:\n";
    for (const Option &o : OPTIONS) {
        std::string left = std::string("  ") + (o.short_name ? std::string(o.short_name) + ", " : "") +
                           o.name + (o.value ? std::string(" ") + o.value : "");
        constexpr std::size_t HELP_COLUMN = 20;
        left.resize(std::max(left.size() + 2, HELP_COLUMN), ' ');
        s += left + o.help + "\n";
    }
    s += "\nKeys (the flight keys can be changed in Setup):\n"
         "  arrows              turn, thrust; move in menus\n"
         "  Left Alt            fire; select in menus\n"
         "  Left Ctrl           strafe; back in menus\n"
         "  Z                   launch a pod\n"
         "  Left Shift          booster\n"
         "  Escape              pause\n"
         "  V, C, S             in flight: retrace wait, clouds, ship shadows\n"
         "  Alt+Enter, F11      fullscreen on and off\n"
         "  F12                 screenshot\n"
         "A key bound to an action in Setup does only that: it is then none of\n"
         "V, C, S, F11, F12 or the Enter of Alt+Enter.\n"
         "\nGamepad (switch it on in Setup, Controls; a first start with a pad plugged\n"
         "in has it on): the left stick or the D-pad to turn, thrust and move;\n"
         "buttons 4, 3, 2, 1 (Y, X, B, A where the driver names them) fire, strafe,\n"
         "launch a pod and boost (select and back in menus); Start pauses, and\n"
         "selects in menus.\n";
    return s;
}

std::string usage_hint() { return "Try 'quarvell --help' for more information."; }

std::string version_text() { return std::string("quarvell ") + GAME_VERSION; }

} // namespace qv
