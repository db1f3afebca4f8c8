// Menu windows and in-flight banners: every panel kind of the panel table.
#pragma once

#include "core/game_state.h"

namespace qv {

// Draws the active panels of `panels` into back_buffer, slot 0 first;
// `blink_on` is the name-entry cursor's blink phase.
void draw_panels(const MenuPanels &panels, bool blink_on);

} // namespace qv
