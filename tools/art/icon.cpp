// The application's icon: the girl's smiling face as the title screen shows
// her, cut square and close on a card of her shirt's pink (stronger than her
// title card's, so that the face stands out), still a face at 16 pixels.
#include <cairo-svg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "art.h"

namespace art {

namespace {

// Every size (pixels a side) the desktop's hicolor theme looks for.
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256, 512};

// The part of the face picture the icon shows (face units): the whole head
// from the top of the hair to the collar, the bunches cut by the card's sides.
constexpr double kViewLeft = 22, kViewTop = 10, kViewSide = 740;

void drawIcon(cairo_t* cr, double side) {
    const double border = side / 40;
    const double inset = border / 2, radius = side * 0.2;
    roundedRect(cr, inset, inset, side - 2 * inset, side - 2 * inset, radius);
    cairo_path_t* card = cairo_copy_path(cr);
    set(cr, girl().shirt);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_append_path(cr, card);
    cairo_clip(cr);
    cairo_scale(cr, side / kViewSide, side / kViewSide);
    cairo_translate(cr, -kViewLeft, -kViewTop);
    // Under the face, a contour at least one pixel wide around the head: the
    // face's own outline is a fraction of a pixel at the small sizes.
    const double pixel = kViewSide / side;
    headPath(cr);
    set(cr, pal::outline);
    cairo_set_line_width(cr, std::max(kOutline, 2 * pixel));
    cairo_stroke(cr);
    // Eyes of a few pixels are lost; larger ones keep the face a face.
    drawSmilingFace(cr, girl(), side <= 16 ? 1.7 : side <= 32 ? 1.3 : 1);
    cairo_restore(cr);
    cairo_append_path(cr, card);
    set(cr, pal::outline);
    cairo_set_line_width(cr, border);
    cairo_stroke(cr);
    cairo_path_destroy(card);
}

void check(cairo_status_t status, const std::string& path) {
    if (status == CAIRO_STATUS_SUCCESS) return;
    std::fprintf(stderr, "art_generator: cannot write %s: %s\n", path.c_str(), cairo_status_to_string(status));
    std::exit(1);
}

}  // namespace

void writeIcons(const std::string& dir) {
    for (int side : kIconSizes) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
        cairo_t* cr = cairo_create(surface);
        drawIcon(cr, side);
        cairo_destroy(cr);
        std::string path = dir + "/" + std::to_string(side) + ".png";
        check(cairo_surface_write_to_png(surface, path.c_str()), path);
        cairo_surface_destroy(surface);
    }
    // The scalable picture is drawn for the largest size: its border and
    // outlines keep the proportions of the big pictures.
    const int side = kIconSizes[std::size(kIconSizes) - 1];
    std::string path = dir + "/scalable.svg";
    cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), side, side);
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(surface);
    drawIcon(cr, side);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    check(cairo_surface_status(surface), path);
    cairo_surface_destroy(surface);
}

}  // namespace art
