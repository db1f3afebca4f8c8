// Menu windows and in-flight banners: every panel kind of the panel table.
#pragma once

#include "core/game_state.h"

namespace qv {

// Draws the active panels of `panels` into back_buffer, slot 0 first;
// `blink_on` is the name-entry cursor's blink phase.
void draw_panels(const MenuPanels &panels, bool blink_on);

// The width of the Controls panel: the longest key names ("PAD DELETE",
// "BACKSLASH") fit between its column of bindings and its right frame.
constexpr int CONTROLS_PANEL_W = 208;

} // namespace qv
