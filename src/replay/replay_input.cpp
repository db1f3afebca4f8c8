#include "replay/replay_input.h"

#include "core/sim_lock.h"
#include "core/snapshot.h"

#include <cstdio>

namespace qv::replay {

namespace {

enum PadBit : std::uint16_t {
    PAD_LEFT = 1,
    PAD_RIGHT = 2,
    PAD_UP = 4,
    PAD_DOWN = 8,
    PAD_BUTTON0 = 16, // then one bit per button
    PAD_START = PAD_BUTTON0 << PAD_BUTTONS,
    PAD_PRESENT = PAD_START << 1,
};

std::uint32_t world_checksum() {
    SimLock lock;
    return state_checksum();
}

bool real_key_held(platform::Backend &real, int k) {
    return __atomic_load_n(&real.key_state()[k], __ATOMIC_RELAXED) != 0;
}

} // namespace

std::uint16_t pad_bits(const PadState &pad) {
    std::uint16_t b = 0;
    if (pad.left) b |= PAD_LEFT;
    if (pad.right) b |= PAD_RIGHT;
    if (pad.up) b |= PAD_UP;
    if (pad.down) b |= PAD_DOWN;
    for (int i = 0; i < PAD_BUTTONS; ++i)
        if (pad.button[i]) b |= static_cast<std::uint16_t>(PAD_BUTTON0 << i);
    if (pad.start) b |= PAD_START;
    if (pad.present) b |= PAD_PRESENT;
    return b;
}

PadState pad_from_bits(std::uint16_t b) {
    PadState pad{};
    pad.left = (b & PAD_LEFT) ? 1 : 0;
    pad.right = (b & PAD_RIGHT) ? 1 : 0;
    pad.up = (b & PAD_UP) ? 1 : 0;
    pad.down = (b & PAD_DOWN) ? 1 : 0;
    for (int i = 0; i < PAD_BUTTONS; ++i) pad.button[i] = (b & (PAD_BUTTON0 << i)) ? 1 : 0;
    pad.start = (b & PAD_START) ? 1 : 0;
    pad.present = (b & PAD_PRESENT) ? 1 : 0;
    return pad;
}

std::int32_t track_score(std::int32_t last) {
    SimLock lock;
    return g.current_stage != -1 ? g.score : last;
}

// ---- recording ----

Recorder::Recorder(platform::VirtualBackend &game, platform::Backend &real, RecordingWriter &out,
                   const std::string &file)
    : game_(game), real_(real), out_(out), file_(file) {}

void Recorder::tick() {
    const auto t = static_cast<std::uint32_t>(game_.ticks());
    // The world as this tick finds it, before anything of the tick runs.
    if (t % CHECK_EVERY == 0) add({t, EventKind::Check, world_checksum()});
    score_ = track_score(score_);

    // The keyboard is looked through when the driver saw a key move, and
    // once in a while in any case (a driver may clear its keys, on a loss
    // of focus, without telling).
    if (real_.take_key_activity() || t % FULL_KEY_SCAN_EVERY == 0) copy_keys(t);

    PadState pad{};
    real_.poll_joystick(pad);
    const std::uint16_t bits = pad_bits(pad);
    if (bits != pad_) {
        pad_ = bits;
        game_.set_pad(pad);
        add({t, EventKind::Pad, bits});
    }
    if (real_.close_requested() && !game_.close_requested()) {
        game_.request_close();
        add({t, EventKind::Close, 0});
    }
    if (real_.focus_lost()) {
        game_.lose_focus();
        add({t, EventKind::FocusLost, 0});
    }
    // A menu does not take a key held across a window key as a choice: the
    // uses are input like any other.
    for (const long used = real_.window_keys_used(); window_keys_ < used; ++window_keys_) {
        game_.use_window_key();
        add({t, EventKind::WindowKey, 0});
    }
    out_.reached(t);
    // A disk that fills up stops the recording, not the game; the player
    // hears of it at once, not after playing on for nothing.
    if (!out_.error().empty() && !told_failure_) {
        told_failure_ = true;
        std::fprintf(stderr, "quarvell: %s: cannot write the recording any more (%s); it stops at tick %u\n",
                     file_.c_str(), out_.error().c_str(), out_.written_through());
    }
}

void Recorder::copy_keys(std::uint32_t t) {
    const volatile char *real = real_.key_state();
    for (int k = 1; k < KEY_MAX; ++k) {
        const bool held = __atomic_load_n(&real[k], __ATOMIC_RELAXED) != 0;
        if (held == given_[k]) continue;
        given_[k] = held;
        game_.set_key(k, held);
        add(
            {t, held ? EventKind::KeyDown : EventKind::KeyUp, static_cast<std::uint32_t>(k)});
    }
}

void Recorder::finish() {
    out_.finish(static_cast<std::uint32_t>(game_.ticks()), score_, world_checksum());
}

// ---- playing back ----

Playback::Playback(platform::VirtualBackend &game, const Recording &r, platform::Backend *real)
    : game_(game), r_(r), real_(real) {}

void Playback::tick() {
    const auto t = static_cast<std::uint32_t>(game_.ticks());
    score_ = track_score(score_);
    if (real_ && (real_key_held(*real_, KEY_ESC) || real_->close_requested()) &&
        !game_.close_requested()) {
        stopped_by_player_ = true;
        game_.request_close();
    }
    // The recording has nothing more to give: a game that ended here as
    // recorded asks for no further tick.
    if (t > r_.ticks) {
        if (!ran_past_end_ && !game_.close_requested()) game_.request_close();
        ran_past_end_ = true;
        return;
    }
    // Events of earlier ticks can only be left when the game ran ahead of
    // the recording (it departed): they are dropped.
    while (next_ < r_.events.size() && r_.events[next_].tick < t) ++next_;
    for (; next_ < r_.events.size() && r_.events[next_].tick == t; ++next_) {
        const Event &e = r_.events[next_];
        switch (e.kind) {
        case EventKind::KeyDown: game_.set_key(static_cast<int>(e.value), true); break;
        case EventKind::KeyUp: game_.set_key(static_cast<int>(e.value), false); break;
        case EventKind::Pad: game_.set_pad(pad_from_bits(static_cast<std::uint16_t>(e.value))); break;
        case EventKind::Close: game_.request_close(); break;
        case EventKind::FocusLost: game_.lose_focus(); break;
        case EventKind::WindowKey: game_.use_window_key(); break;
        case EventKind::Check:
            if (departed_at_ >= 0) break;
            if (world_checksum() == e.value) {
                agreed_at_ = static_cast<long>(t);
            } else {
                departed_at_ = static_cast<long>(t);
                game_.request_close(); // nothing after this is worth playing
            }
            break;
        }
    }
}

} // namespace qv::replay
