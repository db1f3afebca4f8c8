// The game's version, as --version and recordings name it: the project's
// version, from the build.
#pragma once

#ifndef QV_VERSION
#error "QV_VERSION comes from the build (the project's version)"
#endif

namespace qv {

inline constexpr char GAME_VERSION[] = QV_VERSION;

} // namespace qv
