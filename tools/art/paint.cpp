// Colours, shape helpers, fonts and the sprite renderer.
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "art.h"

namespace art {

Rgb hex(uint32_t v) {
    return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0};
}

void set(cairo_t* cr, Rgb c, double alpha) {
    if (alpha >= 1.0)
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
    else
        cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

namespace pal {
const Rgb skin = hex(0xF7CDB0), skinShade = hex(0xE9AE8F), blush = hex(0xF29A8C),
          outline = hex(0x4A2C2A), lips = hex(0xD9606E), lipsShade = hex(0xC04E5E),
          mouthInside = hex(0x6E1F2A), tongue = hex(0xEE7C86), tongueShade = hex(0xD45F6B),
          teeth = hex(0xFFFCF4), teethShade = hex(0xE8DFD0), white = hex(0xFFFFFF),
          brow = hex(0x6A3F2A), girlIris = hex(0x5B8FC7), boyIris = hex(0x7A5230),
          girlHair = hex(0xB5542D), girlHairShade = hex(0x97411F), boyHair = hex(0x4B3020),
          boyHairShade = hex(0x3A2417), button = hex(0x5B8FC7), buttonDark = hex(0x3F6FA3),
          buttonOn = hex(0xF39B3A), buttonOnDark = hex(0xC9731B), recRed = hex(0xE0403A);
}

// ---------------------------------------------------------------- shapes
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void strokeOutline(cairo_t* cr, double width) {
    set(cr, pal::outline);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

void fillStroke(cairo_t* cr, Rgb fill, double width) {
    set(cr, fill);
    cairo_fill_preserve(cr);
    strokeOutline(cr, width);
}

// ---------------------------------------------------------------- fonts
std::string dejavu(const char* file) {
    return std::string("/usr/share/fonts/truetype/dejavu/") + file;
}

cairo_font_face_t* fontFace(const std::string& file) {
    static FT_Library lib = nullptr;
    static std::map<std::string, cairo_font_face_t*> faces;
    auto it = faces.find(file);
    if (it != faces.end()) return it->second;
    if (!lib && FT_Init_FreeType(&lib) != 0) {
        std::fprintf(stderr, "art_generator: FreeType does not start\n");
        std::exit(1);
    }
    FT_Face face = nullptr;
    if (FT_New_Face(lib, file.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "art_generator: cannot open %s (install fonts-dejavu-core)\n",
                     file.c_str());
        std::exit(1);
    }
    cairo_font_face_t* ff = cairo_ft_font_face_create_for_ft_face(face, 0);
    faces[file] = ff;
    return ff;
}

void useFont(cairo_t* cr, const std::string& file, double size) {
    cairo_set_font_face(cr, fontFace(file));
    cairo_set_font_size(cr, size);
    // Fixed options: the result must not depend on the desktop's font settings.
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_subpixel_order(fo, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_set_font_options(cr, fo);
    cairo_font_options_destroy(fo);
}

// ---------------------------------------------------------------- sprites
namespace {

struct Ext {
    double x0, y0, x1, y1;
};

// Bounding box of the drawn pixels, found by rasterising into a scratch
// picture (exact, whatever operators and groups the drawing uses).
Ext inkExtents(const std::vector<Draw>& draws) {
    const int W = 2048, H = 1024, ox = 1024, oy = 512;
    Ext e{1e9, 1e9, -1e9, -1e9};
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, W, H);
    for (const Draw& d : draws) {
        cairo_t* cr = cairo_create(s);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_translate(cr, ox, oy);
        d(cr);
        cairo_destroy(cr);
        cairo_surface_flush(s);
        const unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < H; ++y) {
            const uint32_t* row = (const uint32_t*)(data + (size_t)y * stride);
            for (int x = 0; x < W; ++x) {
                if ((row[x] >> 24) == 0) continue;
                e.x0 = std::min(e.x0, (double)x - ox);
                e.x1 = std::max(e.x1, (double)x + 1 - ox);
                e.y0 = std::min(e.y0, (double)y - oy);
                e.y1 = std::max(e.y1, (double)y + 1 - oy);
            }
        }
    }
    cairo_surface_destroy(s);
    if (e.x1 < e.x0) e = {-1, -1, 1, 1};
    return e;
}

// Size of one axis and the position of its first pixel relative to the anchor,
// such that the anchor sits at handle * size and the ink keeps `m` free units.
void fitAxis(double lo, double hi, double handle, double m, int& size, double& start) {
    if (handle <= 0) {
        size = (int)std::ceil(hi + m);
        start = 0;
    } else if (handle >= 1) {
        size = (int)std::ceil(-lo + m);
        start = -size;
    } else {
        double need = std::max((-lo + m) / handle, (hi + m) / (1 - handle));
        size = (int)std::ceil(need);
        start = -handle * size;
    }
    if (size < 2 * m + 1) size = (int)(2 * m + 1);
}

}  // namespace

Sprite makeSprite(const std::string& name, const Draw& draw, const Placement& pl,
                  const std::vector<Draw>& extentsOf) {
    Ext e{-1, -1, 1, 1};
    if (!(pl.forceW && pl.forceH)) e = inkExtents(extentsOf.empty() ? std::vector<Draw>{draw} : extentsOf);
    const double m = pl.margin;
    int w, h;
    double sx, sy;
    if (pl.centreEdge) {
        // The drawing is cut at the centre line; only the outer side counts.
        w = (int)std::ceil(e.x1 + m);
        sx = 0;
    } else {
        fitAxis(e.x0, e.x1, pl.hx, m, w, sx);
    }
    if (pl.fixedTop > 0) {
        sy = -pl.fixedTop;
        h = (int)std::ceil(e.y1 - sy + m);
    } else {
        fitAxis(e.y0, e.y1, pl.hy, m, h, sy);
    }
    if (pl.forceW) {
        w = pl.forceW;
        sx = -pl.hx * w;
    }
    if (pl.forceH) {
        h = pl.forceH;
        sy = -pl.hy * h;
    }

    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    // The transparent border, enforced whatever the drawing does.
    cairo_rectangle(cr, pl.centreEdge ? 0 : m, m, w - m - (pl.centreEdge ? 0 : m), h - 2 * m);
    cairo_clip(cr);
    cairo_translate(cr, -sx, -sy);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s);

    Sprite sp;
    sp.name = name;
    sp.w = w;
    sp.h = h;
    sp.px.resize((size_t)w * h);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) std::memcpy(&sp.px[(size_t)y * w], data + (size_t)y * stride, 4 * w);
    cairo_surface_destroy(s);
    if (pl.centreEdge && pl.abut) {
        // The first column lies over the other half's second one. Its soft
        // rims are left to that column alone (at 1:1 each rim texel is laid
        // once); its solid texels are kept at three quarters, which the solid
        // column beneath makes whole at 1:1, and which keeps filtering at
        // other scales from thinning the core (no texels of 0 beside the solid
        // ones) while doubling little where it mixes the core with a rim.
        constexpr uint32_t kShare = 192;  // of 256
        for (int y = 0; y < h; ++y) {
            uint32_t& p = sp.px[(size_t)y * w];
            const uint32_t q = w > 1 ? sp.px[(size_t)y * w + 1] : 0;
            uint32_t out = 0;
            if ((q >> 24) == 255)
                for (int c = 0; c < 32; c += 8) out |= (((q >> c) & 255) * kShare / 256) << c;
            p = out;
        }
    } else if (pl.centreEdge) {
        // Where both halves draw, an edge's soft rim would be laid twice and
        // show as a darker tick across the line: 1 - (1 - a')^2 = a.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < std::min(pl.overlap, w); ++x) {
                uint32_t& p = sp.px[(size_t)y * w + x];
                const uint32_t a = p >> 24;
                if (a == 0 || a == 255) continue;
                const double thin = (1 - std::sqrt(1 - a / 255.0)) * 255 / a;
                uint32_t out = (uint32_t)std::lround(a * thin) << 24;
                for (int c = 0; c < 24; c += 8) out |= std::min<uint32_t>(255, std::lround(((p >> c) & 255) * thin)) << c;
                p = out;
            }
    }
    return sp;
}

}  // namespace art
