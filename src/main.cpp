// QUARVELL: an arcade flying shooter.
#include "loop/command_line.h"
#include "loop/game_loop.h"
#include "loop/paths.h"
#include "loop/recorded_games.h"
#include "platform/allegro_backend.h"
#include "platform/window_icon.h"

#include <allegro.h>

#include <cstdio>

int main(int argc, char **argv) {
    const qv::CommandLine cl = qv::parse_command_line(argc, argv);
    switch (cl.mode) {
    case qv::CommandLine::Mode::Help:
        std::fputs(qv::usage_text().c_str(), stdout);
        return 0;
    case qv::CommandLine::Mode::Version:
        std::puts(qv::version_text().c_str());
        return 0;
    case qv::CommandLine::Mode::Error:
        std::fprintf(stderr, "quarvell: %s\n%s\n", cl.error.c_str(), qv::usage_hint().c_str());
        return qv::USAGE_ERROR;
    case qv::CommandLine::Mode::Play:
        break;
    }
    const qv::GamePaths paths = qv::resolve_paths(qv::current_environment(), cl.data_dir);
    if (const std::string note = qv::unsaved_note(paths); !note.empty() && cl.replay.empty())
        std::fprintf(stderr, "quarvell: %s\n", note.c_str());
    qv::GameOptions options;
    options.data_dir = paths.data_dir;
    options.settings_path = paths.settings;
    options.records_path = paths.records;
    options.display.scale = cl.scale;
    options.display.fullscreen = cl.fullscreen;
    options.display.aspect = cl.aspect;
    options.display.screenshot_dir = paths.screenshots;
    options.display.window_icon = qv::platform::WINDOW_ICON;
    if (!cl.replay.empty()) return qv::replay_game(options, cl.replay, cl.verify);
    if (!cl.record.empty()) return qv::record_game(options, cl.record);
    qv::platform::AllegroBackend window;
    qv::platform::UseBackend use(window);
    return qv::game_main(options);
}
END_OF_MAIN()
