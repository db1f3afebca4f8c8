#include "frontend/menu_engine.h"

#include "core/sim_lock.h"
#include "input/input.h"
#include "platform/platform.h"
#include "render/panels.h"
#include "render/render.h"
#include "render/text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qv {

namespace {

// Slide steps by direction: 0 up, then clockwise in 45 degree steps.
constexpr int DX[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int DY[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

constexpr int HIGHLIGHT_STEP_TICKS = 6;
constexpr int SCAN_STEP_TICKS = 4;
constexpr int BLINK_TICKS = 30;
constexpr int RECORDS_WRAP = 5950;
constexpr int RECORDS_AT_START_UP = -420;
constexpr int LOGO_FULL = 34;
constexpr int LOGO_FLAT = 2;
constexpr int LOGO_HOLD_TICKS = 25;
constexpr int REPEAT_TICKS = 12;
constexpr int STAR_COLOUR[2] = {132, 136};

int16 random_speed_class() { return (std::rand() % 100) % 2 == 1 ? 1 : 0; }

} // namespace

void reset_front_end() {
    std::memset(&g.panels, 0, sizeof g.panels);
    std::memset(g.stars, 0, sizeof g.stars);
    g.records_scroll = RECORDS_AT_START_UP;
    g.records_hidden = 0;
    g.logo_height = g.logo_phase = g.logo_hold = g.logo_holding = 0;
    g.repeat_countdown = 0;
    g.repeat_due = 0;
    g.blink_on = 0;
    g.blink_timer = 0;
    std::memset(g.name_buffer, 0, sizeof g.name_buffer);
    g.stage_bonus = 0;
    g.font_variant = 0;
    for (int i = 0; i < RECORD_COUNT; ++i) g.record_score[i] = 0;
    std::memset(g.record_name, 0, sizeof g.record_name);
}

void clear_panel(int s) {
    MenuPanels &p = g.panels;
    const int16 tab = p.tab_text[s];
    p.kind[s] = p.x[s] = p.y[s] = p.width[s] = p.height[s] = 0;
    p.texture_row[s] = p.frame_style[s] = 0;
    p.motion_speed[s] = p.motion_direction[s] = p.motion_steps[s] = 0;
    p.active[s] = p.cursor[s] = 0;
    p.highlight_phase[s] = p.highlight_timer[s] = p.highlight_width[s] = 0;
    p.item_count[s] = p.caption[s] = 0;
    std::memset(p.items[s], 0, sizeof p.items[s]);
    p.scan_enabled[s] = p.scan_row[s] = p.scan_timer[s] = 0;
    p.tab_text[s] = tab;
}

void fill_panel(int s, const PanelSetup &p) {
    MenuPanels &m = g.panels;
    m.kind[s] = p.kind;
    m.x[s] = static_cast<int16>(p.x);
    m.y[s] = static_cast<int16>(p.y);
    m.width[s] = static_cast<int16>(p.width);
    m.height[s] = static_cast<int16>(p.height);
    m.caption[s] = p.caption;
    m.item_count[s] = static_cast<int16>(p.items.size());
    int i = 0;
    for (int16 item : p.items)
        if (i < PANEL_ITEMS) m.items[s][i++] = item;
    m.tab_text[s] = p.tab_text;
    m.scan_enabled[s] = p.scan_enabled;
    m.cursor[s] = p.cursor;
    m.highlight_width[s] = p.highlight_width;
    m.active[s] = 1;
}

void set_panel(int slot, const PanelSetup &setup) {
    SimLock lock;
    fill_panel(slot, setup);
}

void slide(std::initializer_list<Slide> slides) {
    SimLock lock;
    move_panels(slides);
}

bool sliding(std::initializer_list<int> slots) {
    SimLock lock;
    for (int s : slots)
        if (g.panels.motion_steps[s] != 0) return true;
    return false;
}

void move_panel(int s, int direction, int steps, int speed) {
    g.panels.motion_direction[s] = static_cast<int16>(direction);
    g.panels.motion_steps[s] = static_cast<int16>(steps);
    g.panels.motion_speed[s] = static_cast<int16>(speed);
}

void move_panels(std::initializer_list<Slide> slides) {
    for (const Slide &s : slides) move_panel(s.slot, s.direction, s.steps, s.speed);
}

void animate_panels() {
    MenuPanels &p = g.panels;
    for (int s = 0; s < PANEL_COUNT; ++s) {
        if (!p.active[s] || p.kind[s] > PANEL_NAME_ENTRY) continue;
        if (p.motion_speed[s] != 0) {
            const int d = p.motion_direction[s] & 7;
            p.x[s] = static_cast<int16>(p.x[s] + p.motion_speed[s] * DX[d]);
            p.y[s] = static_cast<int16>(p.y[s] + p.motion_speed[s] * DY[d]);
            if (--p.motion_steps[s] <= 0) {
                p.motion_speed[s] = 0;
                p.motion_direction[s] = 0;
            }
        }
        if (p.cursor[s] != -1 && ++p.highlight_timer[s] > HIGHLIGHT_STEP_TICKS) {
            p.highlight_timer[s] = 0;
            p.highlight_phase[s] = (p.highlight_phase[s] + 1) & 63;
        }
        if (p.scan_enabled[s] && --p.scan_timer[s] <= 0) {
            p.scan_timer[s] = SCAN_STEP_TICKS;
            if (--p.scan_row[s] <= 3) p.scan_row[s] = static_cast<int16>(p.height[s] - 8);
        }
    }
    if (--g.blink_timer < 0) {
        g.blink_timer = BLINK_TICKS;
        g.blink_on = !g.blink_on;
    }
}

void menu_tick() {
    SimLock lock;
    if (++g.records_scroll > RECORDS_WRAP) g.records_scroll = 0;

    if (g.logo_holding) {
        if (++g.logo_hold > LOGO_HOLD_TICKS) g.logo_holding = 0;
    } else {
        // The four phases are applied one after another, each seeing the
        // result of the one before.
        if (g.logo_phase == 0 && ++g.logo_height > LOGO_FULL) {
            g.logo_phase = 1;
            g.logo_hold = 0;
            g.logo_holding = 0;
        }
        if (g.logo_phase == 1 && --g.logo_height <= LOGO_FLAT) {
            g.logo_phase = 2;
            g.logo_hold = 0;
            g.logo_holding = 1;
        }
        if (g.logo_phase == 2 && ++g.logo_height > LOGO_FULL) {
            g.logo_phase = 3;
            g.logo_hold = 0;
            g.logo_holding = 0;
        }
        if (g.logo_phase == 3 && --g.logo_height <= LOGO_FLAT) {
            g.logo_phase = 0;
            g.logo_hold = 0;
            g.logo_holding = 1;
        }
    }

    for (Star &s : g.stars) {
        s.x = static_cast<int16>(s.x + (s.speed_class ? 2 : 1));
        if (s.x > FRAME_W - 1) {
            s.x = 0;
            s.y = static_cast<int16>(std::rand() % FRAME_H);
            s.speed_class = random_speed_class();
        }
    }

    if (g.repeat_countdown > 0 && --g.repeat_countdown <= 0) {
        g.repeat_due = 1;
        g.repeat_countdown = REPEAT_TICKS;
    }
}

void scatter_stars() {
    for (Star &s : g.stars) {
        s.x = static_cast<int16>(std::rand() % FRAME_W);
        s.y = static_cast<int16>(std::rand() % FRAME_H);
        s.speed_class = random_speed_class();
    }
}

void draw_menu_screen(BITMAP *background, BITMAP *logo_a, BITMAP *logo_b) {
    if (!platform::draws_frames()) {
        present_frame();
        return;
    }
    // Everything the timers move is copied under the lock, then drawn.
    MenuPanels panels;
    Star stars[STAR_COUNT];
    int16 scroll, logo_height, logo_phase, logo_holding;
    byte records_hidden, blink_on;
    {
        SimLock lock;
        panels = g.panels;
        std::memcpy(stars, g.stars, sizeof stars);
        scroll = g.records_scroll;
        logo_height = g.logo_height;
        logo_phase = g.logo_phase;
        logo_holding = g.logo_holding;
        records_hidden = g.records_hidden;
        blink_on = g.blink_on;
    }
    BITMAP *bb = g.back_buffer;
    blit(background, bb, 0, 0, 0, 0, FRAME_W, FRAME_H);

    if (!records_hidden && scroll != 0) {
        char number[16];
        for (int i = 0; i < RECORD_COUNT; ++i) {
            const int y = 210 + 30 * i - scroll / 4;
            std::snprintf(number, sizeof number, "%d", i + 1);
            draw_text(70, y, bb, number);
            g.font_variant = 2;
            draw_text(90, y, bb, g.record_name[i]);
            g.font_variant = 0;
            std::snprintf(number, sizeof number, "%d", static_cast<int>(g.record_score[i]));
            draw_text(200, y, bb, number);
        }
    }

    if (logo_a && logo_b) {
        if (logo_holding) {
            stretch_sprite(bb, logo_phase == 0 ? logo_a : logo_b, 11, 83, 298, 37);
        } else {
            const int h = 37 - logo_height;
            BITMAP *logo = (logo_phase == 0 || logo_phase == 3) ? logo_a : logo_b;
            if (h > 0) stretch_sprite(bb, logo, 11, 100 - h / 2, 298, h);
        }
    }

    for (const Star &s : stars) putpixel(bb, s.x, s.y, STAR_COLOUR[s.speed_class ? 1 : 0]);

    draw_panels(panels, blink_on != 0);
    draw_menu_legend(bb);

    present_frame();
}

void draw_menu_legend(BITMAP *bb) {
    g.font_variant = 1;
    draw_small_text(264, 196, bb, "QUARVELL: V1.0");
    draw_small_text(1, 196, bb, "MOVE  : ARROWS");
    draw_small_text(1, 192, bb, "CANCEL:");
    draw_small_text(33, 192, bb, key_name(g.key_binding[ACT_STRAFE]));
    draw_small_text(1, 188, bb, "SELECT:");
    draw_small_text(33, 188, bb, key_name(g.key_binding[ACT_FIRE]));
    g.font_variant = 0;
}

} // namespace qv
