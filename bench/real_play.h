// Frames of real play: the harness's pilot flies the whole campaign
// headless through the real game loop, and every so often the frame the
// game would draw is kept, to be drawn again under the clock.
#pragma once

#include "core/game_state.h"

#include <vector>

namespace qv::bench {

struct RecordedFrame {
    int stage;
    FrameSnapshot snap; // what the frame draws
    fixed view_x, view_y, view_heading;
    fixed view_cloud_x, view_cloud_y, view_cloud_heading;
    byte detail[DETAIL_COUNT];
};

// Plays the campaign once (all six stages) and keeps a frame every
// `every_ticks` ticks of flight, ordered by stage. Leaves no graphics
// loaded.
std::vector<RecordedFrame> record_real_play(int every_ticks);

// Puts the recorded frame back into g, as take_snapshot left it.
void restore_frame(const RecordedFrame &f);

} // namespace qv::bench
