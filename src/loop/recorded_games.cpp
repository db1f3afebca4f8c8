#include "loop/recorded_games.h"

#include "core/game_state.h"
#include "core/version.h"
#include "persist/saves.h"
#include "persist/records.h"
#include "persist/settings.h"
#include "platform/allegro_backend.h"
#include "platform/virtual_platform.h"
#include "replay/replay_file.h"
#include "replay/replay_input.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace qv {

namespace {

using replay::Recording;

int refuse(const std::string &file, const std::string &why) {
    std::fprintf(stderr, "quarvell: %s: %s\n", file.c_str(), why.c_str());
    return 1;
}

// Replays in the window (when given) or headless, checking the world at the
// recording's checksums and at its end.
int play_back(const GameOptions &options, const std::string &file, bool verify,
              platform::Backend *window) {
    Recording r;
    try {
        r = replay::read_recording(file);
    } catch (const replay::ReplayError &e) {
        return refuse(file, e.what());
    }
    if (r.game_version != GAME_VERSION)
        return refuse(file, "recorded with QUARVELL " + r.game_version + ", this is " +
                                GAME_VERSION);
    // The game starts from the recording's files and saves into them, in
    // memory: the player's own are never read or written.
    MemorySaves start_files(r.settings, r.records);
    GameOptions o = options;
    o.saves = &start_files;

    // Shown in a window it is checked as well: what the player watches is
    // what was recorded, or they are told.
    std::optional<replay::Playback> playback;
    platform::VirtualOptions vo;
    vo.window_keys = false; // the recording's own
    vo.draw = window && window->draws_frames();
    vo.display = window;
    vo.input = [&] { playback->tick(); };
    platform::VirtualBackend game(vo);
    playback.emplace(game, r, window);
    int status;
    {
        platform::UseBackend use(game);
        status = game_main(o);
    }
    if (playback->stopped_by_player()) return status;

    const auto ticks = static_cast<std::uint32_t>(game.ticks());
    const std::uint32_t checksum = replay::world_checksum();
    const std::string end = std::to_string(r.ticks);
    if (playback->departed_at() >= 0)
        return refuse(file, "the replay departs from the recording at tick " +
                                std::to_string(playback->departed_at()));
    if (!r.complete) {
        // A recording cut off by a killed game holds no end to compare with:
        // the game must merely have run as far as the recording goes (to its
        // last tick, when it was killed as it wrote the end).
        if (ticks < r.ticks)
            return refuse(file, "the replay ends at tick " + std::to_string(ticks) +
                                    ", before the recording stops at tick " + end);
        std::printf("quarvell: %s %s up to tick %u, where the recording was cut off (%s)\n",
                    file.c_str(), verify ? "verified" : "replayed as recorded", r.ticks,
                    playback->ran_past_end() ? "the game did not end while it recorded"
                                             : "the game ended there; its end was not written");
        return 0;
    }
    if (playback->ran_past_end())
        return refuse(file, "the recording ends at tick " + end + "; the game had not ended");
    if (ticks != r.ticks)
        return refuse(file, "the replay ends at tick " + std::to_string(ticks) +
                                ", the recording at tick " + end);
    if (playback->final_score() != r.final_score || checksum != r.final_checksum)
        return refuse(file, "the replay departs from the recording after tick " +
                                std::to_string(std::max(0L, playback->agreed_at())) +
                                ", where they last agreed: it ends at tick " + end + " with score " +
                                std::to_string(playback->final_score()) + ", the recording with " +
                                std::to_string(r.final_score));
    std::printf("quarvell: %s %s: %u ticks, final score %d\n", file.c_str(),
                verify ? "verified" : "replayed as recorded", ticks, static_cast<int>(r.final_score));
    return status;
}

} // namespace

int record_game(const GameOptions &options, const std::string &file) {
    platform::AllegroBackend window;
    return record_game(options, file, window, {});
}

int record_game(const GameOptions &options, const std::string &file, platform::Backend &window,
                const std::function<void(platform::VirtualBackend &)> &each_tick) {
    Recording start;
    start.game_version = GAME_VERSION;
    // The saved files as the game reads them at start-up (no further than
    // their size), or none.
    FileSaves files(options.settings_path, options.records_path);
    Saves &from = options.saves ? *options.saves : files;
    load_start_settings(from, window);
    start.settings = from.read(SaveFile::Settings, SETTINGS_FILE_SIZE);
    start.records = from.read(SaveFile::Records, RECORDS_FILE_SIZE);
    // A file that cannot be made is said before the game starts, not after
    // the player has played a whole session into nothing.
    replay::RecordingWriter writer;
    std::string reason;
    if (!writer.open(file, start, reason)) return refuse(file, "cannot record into it: " + reason);

    std::optional<replay::Recorder> recorder;
    platform::VirtualOptions vo;
    vo.window_keys = false; // the window's, written down
    vo.display = &window;
    vo.draw = window.draws_frames();
    std::optional<platform::VirtualBackend> game_slot;
    vo.input = [&] {
        if (each_tick) each_tick(*game_slot);
        recorder->tick();
    };
    platform::VirtualBackend &game = game_slot.emplace(vo);
    recorder.emplace(game, window, writer, file);
    int status;
    {
        platform::UseBackend use(game);
        status = game_main(options);
    }
    // A game that never ran (no window could be opened) recorded nothing,
    // and an earlier recording of that name stays as it was.
    if (game.ticks() == 0) return status;
    recorder->finish();
    if (!writer.error().empty())
        return refuse(file, "the recording stops at tick " + std::to_string(writer.written_through()) +
                                ": " + writer.error());
    std::printf("quarvell: recorded %u ticks into %s\n", writer.written_through(), file.c_str());
    return status;
}

int replay_game(const GameOptions &options, const std::string &file, bool verify) {
    if (verify) return play_back(options, file, true, nullptr);
    platform::AllegroBackend window;
    return play_back(options, file, false, &window);
}

int replay_game(const GameOptions &options, const std::string &file, bool verify,
                platform::Backend &window) {
    return play_back(options, file, verify, &window);
}

} // namespace qv
