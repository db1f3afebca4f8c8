// The game's version, as the title screen's legend and recordings name it.
#pragma once

namespace qv {

inline constexpr char GAME_VERSION[] = "1.0";

} // namespace qv
