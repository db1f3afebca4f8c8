// Placeholder until panel drawing lands.
#include "render/panels.h"

namespace qv {
void draw_panels(const MenuPanels &, bool) {}
} // namespace qv
