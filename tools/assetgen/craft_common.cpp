#include "craft_common.h"

#include <algorithm>
#include <cmath>

namespace assetgen::world {

bool place_craft(BITMAP *dst, int cx, int cy, int cw, int ch, float ax, float ay, const Model &model,
                 const Camera &cam) {
    const int sw = cw * 2;
    const int sh = ch * 2;
    BITMAP *scratch = create_bitmap_ex(8, sw, sh);
    clear_to_color(scratch, 0);
    Camera centred = cam;
    centred.cx = sw / 2.0f;
    centred.cy = sh / 2.0f;
    render_model(scratch, 0, 0, sw, sh, model, centred);
    int x0 = sw, y0 = sh, x1 = -1, y1 = -1;
    for (int y = 0; y < sh; ++y) {
        for (int x = 0; x < sw; ++x) {
            if (getpixel(scratch, x, y) == 0) continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    const bool fits = x1 >= 0 && x1 - x0 + 1 <= cw - 2 && y1 - y0 + 1 <= ch - 2;
    if (fits) {
        // Offset so the picture's box is centred on (ax, ay), then pushed
        // back inside the cell's border if needed.
        int ox = static_cast<int>(std::lround(ax - (x0 + x1 + 1) / 2.0f));
        int oy = static_cast<int>(std::lround(ay - (y0 + y1 + 1) / 2.0f));
        ox = std::clamp(ox, 1 - x0, cw - 2 - x1);
        oy = std::clamp(oy, 1 - y0, ch - 2 - y1);
        masked_blit(scratch, dst, x0, y0, cx + x0 + ox, cy + y0 + oy, x1 - x0 + 1, y1 - y0 + 1);
    }
    destroy_bitmap(scratch);
    return fits;
}

} // namespace assetgen::world
