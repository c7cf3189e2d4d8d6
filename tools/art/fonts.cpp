// The renderer's font pictures: characters 32..127 of DejaVu Sans Mono,
// white on transparent, one row of equal cells; and for the canvas font a
// second picture of the same cells with the characters beyond them.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "art.h"
#include "canvas/font_characters.h"

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
// The canvas font's further characters: the same cells in a 1024 x 32
// picture, for the same reason.
constexpr FontLayout kCanvasMore{1024, kCanvasFont.cellW, kCanvasFont.cellH, kCanvasFont.size};
static_assert(kMoreFontCharacterCount <= kCanvasMore.width / kCanvasMore.cellW, "one row holds them all");

// One character's UTF-8 bytes.
std::string utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
    return s;
}

// The mark for a character the font has no glyph for: a hollow box from the
// baseline to the capitals' height, inset from the cell's sides.
void drawReplacementBox(cairo_t* cr, double left, double width, double baseline) {
    cairo_text_extents_t cap;
    cairo_text_extents(cr, "H", &cap);
    const double line = 1.5, inset = 3;
    cairo_rectangle(cr, left + inset + line / 2, baseline + cap.y_bearing + line / 2, width - 2 * inset - line,
                    -cap.y_bearing - line);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
}

// A capital whose accent reaches above the glyph area: the letter as it is,
// and above the capitals' height the accent pressed down into the room left
// there, so that the letter keeps its plain capital's height and baseline.
// The caller has clipped to the glyph area.
void drawTallAccent(cairo_t* cr, const std::string& text, double x, double baseline, double top) {
    cairo_text_extents_t cap, te;
    cairo_text_extents(cr, "H", &cap);
    cairo_text_extents(cr, text.c_str(), &te);
    // Just above the capitals' antialiased top edge, inside the gap between
    // the letter and its accent.
    const double split = baseline + cap.y_bearing - 0.5;
    const double inkTop = baseline + te.y_bearing;
    cairo_save(cr);
    cairo_rectangle(cr, x - 2, split, te.x_advance + 4, baseline * 2);
    cairo_clip(cr);
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
    cairo_save(cr);
    cairo_rectangle(cr, x - 2, top, te.x_advance + 4, split - top);
    cairo_clip(cr);
    cairo_translate(cr, 0, split);
    cairo_scale(cr, 1, (split - top) / (split - inkTop));
    cairo_translate(cr, 0, -split);
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
}

// bordered: one transparent texel on all four sides of each cell; otherwise on
// its left and right only. Cell i holds codes[i]; DEL has no picture.
void writeFont(const std::string& path, const FontLayout& font, bool bordered, const std::vector<char32_t>& codes) {
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
    for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == 127) continue;
        const std::string text = utf8(codes[i]);
        cairo_save(cr);
        cairo_rectangle(cr, i * cellW + 1, top, cellW - 2, glyphH);
        cairo_clip(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        if (codes[i] == kReplacementCharacter) {
            drawReplacementBox(cr, i * cellW + 1, cellW - 2, baseline);
        } else {
            cairo_text_extents_t te;
            cairo_text_extents(cr, text.c_str(), &te);
            double x = i * cellW + 1 + ((cellW - 2) - te.x_advance) / 2;
            if (baseline + te.y_bearing < top) {
                drawTallAccent(cr, text, x, baseline, top);
            } else {
                cairo_move_to(cr, x, baseline);
                cairo_show_text(cr, text.c_str());
            }
        }
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
    std::vector<char32_t> ascii, more(kMoreFontCharacters, kMoreFontCharacters + kMoreFontCharacterCount);
    for (char32_t c = 32; c < 128; ++c) ascii.push_back(c);
    writeFont(dir + "/vexa2_font.png", kCanvasFont, true, ascii);
    writeFont(dir + "/vexa_font.png", kFrameworkFont, false, ascii);
    writeFont(dir + "/vexa2_font_more.png", kCanvasMore, true, more);
}

}  // namespace art
