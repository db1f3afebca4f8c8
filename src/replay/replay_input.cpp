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

} // namespace

std::uint32_t world_checksum() {
    SimLock lock;
    return state_checksum();
}

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

void input_changes(const InputState &from, const InputState &to, std::uint32_t t,
                   std::vector<Event> &out) {
    for (int k = 1; k < KEY_MAX; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (from.keys[i] != to.keys[i])
            out.push_back({t, to.keys[i] ? EventKind::KeyDown : EventKind::KeyUp,
                           static_cast<std::uint32_t>(k)});
    }
    if (pad_bits(from.pad) != pad_bits(to.pad)) out.push_back({t, EventKind::Pad, pad_bits(to.pad)});
    if (to.close && !from.close) out.push_back({t, EventKind::Close, 0});
    for (std::uint32_t n = from.focus_losses; n != to.focus_losses; ++n)
        out.push_back({t, EventKind::FocusLost, 0});
    for (std::uint32_t n = from.window_keys; n != to.window_keys; ++n)
        out.push_back({t, EventKind::WindowKey, 0});
}

void apply_event(const Event &e, InputState &input) {
    switch (e.kind) {
    case EventKind::KeyDown:
    case EventKind::KeyUp:
        if (e.value > 0 && e.value < KEY_MAX) input.keys[e.value] = e.kind == EventKind::KeyDown;
        break;
    case EventKind::Pad: input.pad = pad_from_bits(static_cast<std::uint16_t>(e.value)); break;
    case EventKind::Close: input.close = true; break;
    case EventKind::FocusLost: ++input.focus_losses; break;
    case EventKind::WindowKey: ++input.window_keys; break;
    case EventKind::Check: break;
    }
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
    if (t % CHECK_EVERY == 0) out_.add({{t, EventKind::Check, world_checksum()}});
    score_ = track_score(score_);

    std::vector<Event> changes;
    input_changes(given_, real_.sample_input(), t, changes);
    for (const Event &e : out_.add(changes)) apply_event(e, given_);
    game_.set_input(given_);
    out_.reached(t);
    // A disk that fills up stops the recording, not the game; the player
    // hears of it at once, not after playing on for nothing.
    if (!out_.error().empty() && !told_failure_) {
        told_failure_ = true;
        std::fprintf(stderr, "quarvell: %s: cannot write the recording any more (%s); it stops at tick %u\n",
                     file_.c_str(), out_.error().c_str(), out_.written_through());
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
    if (real_) {
        const InputState window = real_->sample_input();
        // Once closed, the input stays closed: no event opens it again.
        if ((window.keys[KEY_ESC] || window.close) && !input_.close) {
            stopped_by_player_ = true;
            input_.close = true;
        }
    }
    // The recording has nothing more to give: a game that ended here as
    // recorded asks for no further tick.
    if (t > r_.ticks) {
        ran_past_end_ = true;
        input_.close = true;
        game_.set_input(input_);
        return;
    }
    // Events of earlier ticks can only be left when the game ran ahead of
    // the recording (it departed): they are dropped.
    while (next_ < r_.events.size() && r_.events[next_].tick < t) ++next_;
    for (; next_ < r_.events.size() && r_.events[next_].tick == t; ++next_) {
        const Event &e = r_.events[next_];
        if (e.kind != EventKind::Check) {
            apply_event(e, input_);
        } else if (departed_at_ < 0) {
            if (world_checksum() == e.value) {
                agreed_at_ = static_cast<long>(t);
            } else {
                departed_at_ = static_cast<long>(t);
                input_.close = true; // nothing after this is worth playing
            }
        }
    }
    game_.set_input(input_);
}

} // namespace qv::replay
