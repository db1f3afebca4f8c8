// Placeholder until text drawing lands.
#include "render/text.h"

namespace qv {
void draw_text(int, int, BITMAP *, const char *) {}
void draw_small_text(int, int, BITMAP *, const char *) {}
int text_width(const char *) { return 8; }
} // namespace qv
