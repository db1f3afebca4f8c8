// Reads the texts a picture of the game shows, exactly: every text of the
// game's tables, every key and button name, and any text given on the
// command line, drawn with the game's own font in any of its colour
// variants. A text is found where every pixel its glyphs set has the very
// colour the font gives it. The picture is the game's own 320x200 frame:
// the F12 picture (its palette indices are compared), or, in the front end,
// whose colours are the title's, the window's picture brought back to
// 320x200 (its colours are compared with the title palette's). A text found
// inside a longer one found at the same place ("Game" in "Start Game") is
// not listed again.
//
//   qv_frame_text DATA_DIR PICTURE [TEXT...]
//
// prints "X Y V TEXT" for each text found, top to bottom and left to right
// (V: the font's colour variant; a menu's cursor row is variant 2). A TEXT
// given may start with "small:" for the small font. The tables' texts of a
// single character are looked for only when given: alone, a letter is found
// in every word.
#include "assets/archive.h"
#include "assets/graphics.h"
#include "assets/picture_files.h"
#include "assets/texts.h"
#include "core/game_state.h"
#include "input/input.h"
#include "platform/platform.h"
#include "render/text.h"

#include <allegro.h>
#include <loadpng.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

namespace {

using qv::g;

constexpr int VARIANTS = 3;
constexpr int MARGIN = 8; // room above for the raised apostrophe
constexpr int CELL_H = 13;
const std::string SMALL_PREFIX = "small:";

struct Ink {
    int x, y, colour;
};

// One way a text can look: its set pixels relative to where it is drawn.
struct Pattern {
    std::string text;
    int variant;
    std::vector<Ink> ink;
    int w = 0, h = 0;
};

struct Found {
    std::string text;
    int variant, x, y, w, h;
};

Pattern drawn(const std::string &text, bool small, int variant) {
    g.font_variant = static_cast<qv::byte>(variant);
    const int w = small ? 4 * static_cast<int>(text.size()) + 4 : 10 * static_cast<int>(text.size()) + 10;
    BITMAP *b = create_bitmap_ex(8, w, CELL_H + MARGIN);
    clear_bitmap(b);
    if (small)
        qv::draw_small_text(0, MARGIN, b, text.c_str());
    else
        qv::draw_text(0, MARGIN, b, text.c_str());
    Pattern p{text, variant, {}, 0, 0};
    int top = b->h, left = b->w;
    for (int y = 0; y < b->h; ++y)
        for (int x = 0; x < b->w; ++x)
            if (const int c = getpixel(b, x, y)) {
                p.ink.push_back({x, y, c});
                top = std::min(top, y);
                left = std::min(left, x);
            }
    destroy_bitmap(b);
    for (Ink &i : p.ink) {
        i.x -= left;
        i.y -= top;
        p.w = std::max(p.w, i.x + 1);
        p.h = std::max(p.h, i.y + 1);
    }
    return p;
}

// A true-colour picture of the window in the front end's colours: each
// pixel becomes the first index of the title palette with its very colour
// as the window shows it (0 for none). `canon` maps every index to the
// first one of its colour, for the font's inks.
BITMAP *in_title_colours(BITMAP *rgb, int (&canon)[PAL_SIZE]) {
    const auto level8 = [](int v) { return (v << 2) | (v >> 4); };
    const auto colour_of = [&](int i) {
        const RGB &p = g.title_palette[i];
        return makecol24(level8(p.r), level8(p.g), level8(p.b));
    };
    for (int i = 0; i < PAL_SIZE; ++i) {
        canon[i] = i;
        for (int j = 1; j < i && canon[i] == i; ++j)
            if (colour_of(j) == colour_of(i)) canon[i] = j;
    }
    BITMAP *out = create_bitmap_ex(8, rgb->w, rgb->h);
    const int depth = bitmap_color_depth(rgb);
    for (int y = 0; y < rgb->h; ++y)
        for (int x = 0; x < rgb->w; ++x) {
            const int c = getpixel(rgb, x, y);
            const int want = makecol24(getr_depth(depth, c), getg_depth(depth, c), getb_depth(depth, c));
            int index = 0;
            for (int i = 1; i < PAL_SIZE && !index; ++i)
                if (colour_of(i) == want) index = i;
            out->line[y][x] = static_cast<unsigned char>(index);
        }
    destroy_bitmap(rgb);
    return out;
}

bool matches(BITMAP *pic, const Pattern &p, int x, int y) {
    for (const Ink &i : p.ink)
        if (pic->line[y + i.y][x + i.x] != i.colour) return false;
    return true;
}

bool inside(const Found &a, const Found &b) {
    return a.text.size() < b.text.size() && a.x >= b.x && a.y >= b.y && a.x + a.w <= b.x + b.w &&
           a.y + a.h <= b.y + b.h;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DATA_DIR PICTURE [TEXT...]\n", argv[0]);
        return 2;
    }
    qv::platform::init_headless();
    qv::set_data_dir(argv[1]);
    qv::load_code_table();
    // The font, and the title's palette for a picture of the window.
    for (const qv::SheetFile &sheet : qv::SHEET_FILES)
        if (sheet.bitmap == &qv::GameState::font_sheet || sheet.bitmap == &qv::GameState::title_sheet) {
            g.*sheet.bitmap = create_bitmap_ex(8, sheet.width, sheet.height);
            qv::load_archive_picture(qv::picture_path(sheet.archive), g.*sheet.palette, g.*sheet.bitmap,
                                     sheet.width, sheet.height);
        }
    qv::init_texts();
    PALETTE pal;
    // Kept as it is: an 8-bit picture keeps its indices.
    set_color_conversion(COLORCONV_NONE);
    BITMAP *pic = load_png(argv[2], pal);
    if (!pic) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[2]);
        return 2;
    }
    int canon[PAL_SIZE];
    for (int i = 0; i < PAL_SIZE; ++i) canon[i] = i;
    if (bitmap_color_depth(pic) != 8) pic = in_title_colours(pic, canon);

    std::vector<std::string> large, small;
    const auto known = [&](const char *t) {
        if (std::string(t).size() > 1 && std::find(large.begin(), large.end(), t) == large.end())
            large.push_back(t);
    };
    for (int i = 0; i < qv::title_text_count; ++i) known(qv::title_texts[i].text);
    for (int i = 0; i < qv::item_text_count; ++i) known(qv::item_texts[i].text);
    for (int i = 0; i < qv::long_text_count; ++i) known(qv::long_texts[i].text);
    for (int c = 0; c < qv::KEYCODE_LIMIT; ++c) known(qv::key_name(c));
    for (int b = 0; b <= qv::PAD_BUTTONS + 2; ++b) known(qv::button_name(b));
    for (int a = 3; a < argc; ++a) {
        const std::string t = argv[a];
        if (t.rfind(SMALL_PREFIX, 0) == 0)
            small.push_back(t.substr(SMALL_PREFIX.size()));
        else
            large.push_back(t);
    }

    std::vector<Pattern> patterns;
    for (int v = 0; v < VARIANTS; ++v) {
        for (const std::string &t : large)
            patterns.push_back(drawn(t, false, v));
        for (const std::string &t : small)
            patterns.push_back(drawn(t, true, v));
    }
    std::erase_if(patterns, [](const Pattern &p) { return p.ink.empty(); });
    for (Pattern &p : patterns)
        for (Ink &i : p.ink)
            i.colour = canon[i.colour];

    std::vector<Found> found;
    for (const Pattern &p : patterns)
        for (int y = 0; y + p.h <= pic->h; ++y)
            for (int x = 0; x + p.w <= pic->w; ++x)
                if (matches(pic, p, x, y)) found.push_back({p.text, p.variant, x, y, p.w, p.h});

    std::sort(found.begin(), found.end(),
              [](const Found &a, const Found &b) { return std::tie(a.y, a.x, a.text) < std::tie(b.y, b.x, b.text); });
    const Found *last = nullptr;
    for (const Found &f : found) {
        const bool shorter = std::any_of(found.begin(), found.end(), [&](const Found &o) { return inside(f, o); });
        // The same text in two tables, or two variants that share a colour.
        const bool again = last && last->text == f.text && last->x == f.x && last->y == f.y;
        if (!shorter && !again) std::printf("%d %d %d %s\n", f.x, f.y, f.variant, f.text.c_str());
        if (!shorter) last = &f;
    }
    destroy_bitmap(pic);
    return 0;
}
