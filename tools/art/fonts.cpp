// The renderer's two font pictures: characters 32..127 of DejaVu Sans Mono,
// white on transparent, one row of equal cells.
#include <cstdio>
#include <cstdlib>

#include "art.h"

namespace art {

namespace {

// A font's cells are its picture's width / 96 (integer division) wide, one
// row, and the picture's height high.
//
// The canvas font (bordered) is drawn with mipmaps, and its picture is
// 2048 x 32 so that both sides are powers of two: Mesa's software renderer
// makes a picture's mipmaps with a second compiled program, about 40 ms at
// start-up, as soon as a level halves an odd size. Its cells are 21 x 32
// (the last 32 columns stay empty); a 23-unit monospaced face fills the
// 19 x 30 glyph area with its ascenders, descenders and the full advance.
//
// The framework's font (framed) has no mipmaps: 16 x 24 cells, a 17-unit
// face in 14 x 22.
struct FontLayout {
    int width, cellW, cellH;
    double size;
};
constexpr FontLayout kCanvasFont{2048, 2048 / 96, 32, 23};
constexpr FontLayout kFrameworkFont{96 * 16, 16, 24, 17};
constexpr int kChars = 96, kFirst = 32;

// bordered: one transparent texel on all four sides of each cell; otherwise on
// its left and right only.
void writeFont(const std::string& path, const FontLayout& font, bool bordered) {
    const int cellW = font.cellW, cellH = font.cellH;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, font.width, cellH);
    cairo_t* cr = cairo_create(s);
    useFont(cr, dejavu("DejaVuSansMono.ttf"), font.size);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    const int top = bordered ? 1 : 0;
    const int glyphH = cellH - 2 * top;
    // Baseline placed so that ascent and descent share the glyph area's height.
    const double baseline = top + (glyphH - (fe.ascent + fe.descent)) / 2 + fe.ascent;
    for (int i = 0; i < kChars; ++i) {
        int code = kFirst + i;
        if (code == 127) continue;  // DEL has no picture
        char text[2] = {(char)code, 0};
        cairo_save(cr);
        cairo_rectangle(cr, i * cellW + 1, top, cellW - 2, glyphH);
        cairo_clip(cr);
        cairo_text_extents_t te;
        cairo_text_extents(cr, text, &te);
        double x = i * cellW + 1 + ((cellW - 2) - te.x_advance) / 2;
        cairo_move_to(cr, x, baseline);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_show_text(cr, text);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    if (cairo_surface_write_to_png(s, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "art_generator: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    cairo_surface_destroy(s);
}

}  // namespace

void writeFonts(const std::string& dir) {
    writeFont(dir + "/vexa2_font.png", kCanvasFont, true);
    writeFont(dir + "/vexa_font.png", kFrameworkFont, false);
}

}  // namespace art
