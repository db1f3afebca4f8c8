// The game's own icon for its window, made by the asset generator from the
// desktop icon at build time and compiled into the game binary only
// (tests and tools have none). The same source defines `allegro_icon`, the
// XPM picture Allegro's X driver puts in the window's WM_HINTS.
#pragma once

#include <span>

namespace qv::platform {

// _NET_WM_ICON's cardinals: width, height, then width x height ARGB
// pixels, for each size in turn (32 and 64).
extern const std::span<const unsigned long> WINDOW_ICON;

} // namespace qv::platform
