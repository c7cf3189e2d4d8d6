// The shared sprites of "images2": the smiling mouth in its three renderings,
// the pouting lips in three layers, the teeth, the tongue, the cheeks, the
// eyebrow, the face-edge creases and the pink square. Every mouth, lips and
// teeth picture is the right half of the mouth, drawn from the centre line
// (x = 0) outward; the application mirrors it for the left half.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "art.h"

namespace art {

namespace {

std::string key(const char* fmt, int a, int b = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

double sq(double v) { return v * v; }

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

// A curve y = f(x) sampled from x0 to x1 (continuing the current path).
template <class F>
void curve(cairo_t* cr, double x0, double x1, F f, bool moveFirst, int n = 24) {
    for (int i = 0; i <= n; ++i) {
        double x = x0 + (x1 - x0) * i / n;
        if (i == 0 && moveFirst)
            cairo_move_to(cr, x, f(x));
        else
            cairo_line_to(cr, x, f(x));
    }
}

// ================================================================ smiling mouth
// The lips' meeting line lies at y = kLine at the centre line for every row
// and step, so that two halves in different rows still meet. Rows 0-1 are
// drawn above the anchor (picture bottom at the anchor), rows 2-3 below
// (picture top 9.9 above the anchor).
constexpr double kLine = -5;
constexpr double kHangTop = 9.9;

struct Smile {
    int row, step;
    double W() const { return 58 + 8 * step; }
    double D() const {
        static const double d[] = {34, 14, -14, -32};  // corner height above the centre
        return d[row];
    }
    double line(double x) const { return kLine - D() * sq(x / W()); }
    bool hanging() const { return row >= 2; }
    // Opening of the open mouth, from the line away from the anchor.
    double open(double x) const;
    // Thickness of the far lip, the one the tongue passes over.
    double farLip(double x) const;
    // Teeth along the far lip; they stop short of the corner, which stays dark.
    double teeth(double x) const;
};

// Open mouths: the standing rows keep all their ink above the anchor and the
// hanging rows below 9.9 above it, so the standing ones open upwards from the
// lips' line and the hanging ones downwards. Every open half runs at its full
// opening right up to the centre line, where all the rows and steps that open
// the same way have the same cross-section: two halves of one row and step
// make one mouth, and halves of different rows or steps that open the same way
// meet as one (with a kink where their lines part). A standing half beside a
// hanging one opens on the other side of the line, and its opening just ends
// at the centre line: a picture cannot close it there without closing it in
// the paired mouth too, where the left half is the same picture drawn over
// the right one.
constexpr double kOpen = 18;    // opening at the centre line
constexpr double kFarLip = 7;   // far lip at the centre line
constexpr double kTeeth = 7;    // teeth at the centre line

double Smile::open(double x) const { return kOpen * std::pow(std::max(0.0, 1 - sq(x / W())), 0.8); }
double Smile::farLip(double x) const {
    double t2 = sq(x / W());
    return kFarLip * (1 - 0.5 * t2) * std::pow(std::max(0.0, 1 - t2), 0.4);
}
double Smile::teeth(double x) const {
    const double end = W() - 16;
    return x >= end ? 0 : kTeeth * std::sqrt(1 - sq(x / end));
}

// The dimple at the right corner.
void dimple(cairo_t* cr, const Smile& s) {
    const double W = s.W();
    double cy = s.line(W), slope = -2 * s.D() / W;
    double nx = -slope, ny = 1;
    double n = std::hypot(nx, ny);
    nx /= n;
    ny /= n;
    cairo_move_to(cr, W - 4 + nx * -7, cy + ny * -7);
    cairo_curve_to(cr, W + 3 + nx * -3, cy + ny * -3, W + 3 + nx * 3, cy + ny * 3, W - 4 + nx * 7,
                   cy + ny * 7);
    strokeOutline(cr, 3.5);
}

void smileLine(cairo_t* cr, const Smile& s) {
    curve(cr, 0, s.W(), [&](double x) { return s.line(x); }, true);
    strokeOutline(cr, kOutline);
    dimple(cr, s);
}

// The closed line's middle on skin, round the centre line (x = 1), where the
// halves overlap: opaque over the two overlapping columns and a unit either
// side, fading out by 3 units from the centre line. The line there lies at
// kLine in every row and step within a tenth of a unit.
void smileMiddle(cairo_t* cr) {
    const Smile s{1, 0};
    cairo_push_group(cr);
    cairo_rectangle(cr, -4, -14, 10, 18);
    set(cr, pal::skin);
    cairo_fill(cr);
    curve(cr, -4, 6, [&](double x) { return s.line(x < 1 ? 2 - x : x); }, true);
    strokeOutline(cr, kOutline);
    cairo_pop_group_to_source(cr);
    cairo_pattern_t* fade = cairo_pattern_create_linear(-2, 0, 4, 0);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(fade, 1.5 / 6, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(fade, 4.5 / 6, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0);
    cairo_mask(cr, fade);
    cairo_pattern_destroy(fade);
}

}  // namespace

void drawSmile(cairo_t* cr, int row, int step) { smileLine(cr, Smile{row, step}); }

namespace {

// The tongue: root at (0, 0); `dir` -1 points up, +1 down. The base edge bows
// towards the tip at its sides so that it stays hidden behind the lips' line.
struct TongueShape {
    double len;    // root to tip
    double lean;   // sideways offset of the tip
    double back;   // the base reaches this much further towards the mouth's centre
    double half;   // half width
};

void tonguePath(cairo_t* cr, const TongueShape& t, double dir) {
    const double r = t.half * 0.92;
    const double tipY = dir * (t.len - r);
    const double bl = -t.half - t.back, br = t.half;
    cairo_move_to(cr, bl, dir * 10);
    cairo_curve_to(cr, bl, tipY * 0.6, t.lean - r - 2, tipY - dir * 6, t.lean - r, tipY);
    if (dir < 0)
        cairo_arc(cr, t.lean, tipY, r, M_PI, 2 * M_PI);
    else
        cairo_arc_negative(cr, t.lean, tipY, r, M_PI, 0);
    cairo_curve_to(cr, t.lean + r + 2, tipY - dir * 6, br, tipY * 0.6, br, dir * 10);
    cairo_curve_to(cr, br * 0.5, dir * 0, bl * 0.5, dir * 0, bl, dir * 10);
    cairo_close_path(cr);
}

// Fills the tongue outlined by the current path, with one shade on the side
// away from the light: where the tongue moved by (dx, dy) leaves it. Returns
// that path (the caller destroys it).
cairo_path_t* fillTongue(cairo_t* cr, double dx, double dy) {
    cairo_path_t* p = cairo_copy_path(cr);
    set(cr, pal::tongue);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_append_path(cr, p);
    cairo_clip(cr);
    cairo_append_path(cr, p);
    cairo_translate(cr, dx, dy);
    cairo_append_path(cr, p);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    set(cr, pal::tongueShade);
    cairo_fill(cr);
    cairo_restore(cr);
    return p;
}

void drawTongue(cairo_t* cr, const TongueShape& t, double dir) {
    tonguePath(cr, t, dir);
    cairo_path_t* p = fillTongue(cr, -t.half * 0.35, 0);
    // The middle groove.
    const double r = t.half * 0.92;
    double tipY = dir * (t.len - r);
    cairo_move_to(cr, -t.back * 0.5, dir * 8);
    cairo_curve_to(cr, -t.back * 0.3, tipY * 0.5, t.lean * 0.8, tipY * 0.8, t.lean, tipY + dir * r * 0.2);
    set(cr, pal::tongueShade);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_append_path(cr, p);
    strokeOutline(cr, 4);
    cairo_path_destroy(p);
}

// The pouting lips at the centre line, where every step and row crosses it
// alike (heights from the lips' drawing origin, y down).
constexpr double kPoutTop = -17;   // top of the upper lip at the centre line
constexpr double kPoutLow = 25;    // bottom of the lower lip there
constexpr double kPoutOpenY = 3;   // middle of the opening
constexpr double kPoutOpenH = 6;   // half height of the opening there
constexpr double kPoutLevel = 4;   // the lips' outlines stay level this far out
// The lips are drawn this much below their anchor: the tongue's point (below
// the anchor) then lies just under the upper lip's edge at the centre line, so
// a tongue out of the lips starts where the upper lip covers it.
constexpr double kPoutDrop = 8;
// The fold of the lower lip: a tongue held between the lips shows above it,
// and the lower lip below it stays in front of the tongue.
constexpr double kPoutFold = 17;
// The tongue's point lies this far below the lips' anchor (the face screen's
// positions of the two parts).
constexpr double kTonguePointBelowLips = 4;

// The tongue out of the pouting lips, drawn over them, between their layers
// (held between the lips) or behind them. It comes out from under the upper
// lip's edge at its full width, where the lips part round it into a dark gap.
// A tongue down hangs from there; a tongue up lies on the lower lip with a
// rounded front and rises over the upper lip, so that held between the lips
// either shows as a tongue between them: from the upper lip's edge down to the
// lower lip's fold, or to its own front. Coordinates: the tongue's point at
// (0, 0), which lies just under the upper lip's edge at the centre line (a
// tongue down keeps its whole picture below the point). `dir` -1 points up.
// The upper lip's edge and the lower lip's fold at the centre line, and a
// tongue up's front, in the tongue's coordinates.
constexpr double kLipsEdge = kPoutOpenY - kPoutOpenH + kPoutDrop - kTonguePointBelowLips;
constexpr double kLipsFold = kPoutFold + kPoutDrop - kTonguePointBelowLips;
constexpr double kLipsFront = 14;

void lipsTongue(cairo_t* cr, const TongueShape& t, double dir) {
    cairo_translate(cr, -t.back * 0.5, 0);
    const double bl = -t.half, br = t.half, r = t.half * 0.92;
    // Downwards from the edge: the top (hidden under the upper lip) and the
    // far end, the tip of a tongue down or the front of a tongue up.
    const double top = dir > 0 ? -2 : kLipsEdge - std::max(t.len - r, 14.0);
    const double tipY = dir > 0 ? std::max(t.len - r, 16.0) : top;
    // The gap round the tongue where the lips part for it.
    ellipse(cr, 0, kLipsEdge + 1.5, t.half + (dir > 0 ? 5 : 3), 3.5);
    set(cr, pal::mouthInside);
    cairo_fill(cr);
    auto path = [&]() {
        if (dir > 0) {
            cairo_move_to(cr, bl, top);
            cairo_curve_to(cr, bl, tipY * 0.7, t.lean - r - 2, tipY - 4, t.lean - r, tipY);
            cairo_arc_negative(cr, t.lean, tipY, r, M_PI, 0);
            cairo_curve_to(cr, t.lean + r + 2, tipY - 4, br, tipY * 0.7, br, top);
        } else {
            // Up the left side to the tip, down the right side, round the front.
            // Narrower towards its front, which is round like the tip: the
            // tongue has no corner.
            const double side = kLipsFront - 10, in = 0.75, deep = side + (kLipsFront - side) / 0.75;
            cairo_move_to(cr, bl * in, side);
            cairo_curve_to(cr, bl, side - 12, t.lean - r - 2, tipY + 4, t.lean - r, tipY);
            cairo_arc(cr, t.lean, tipY, r, M_PI, 2 * M_PI);
            cairo_curve_to(cr, t.lean + r + 2, tipY + 4, br, side - 12, br * in, side);
            cairo_curve_to(cr, br * in, deep, bl * in, deep, bl * in, side);
        }
        cairo_close_path(cr);
    };
    path();
    cairo_path_t* shape = fillTongue(cr, -t.half * 0.35, 0);
    cairo_save(cr);
    cairo_append_path(cr, shape);
    cairo_clip(cr);
    // The middle groove. On a tongue down it starts below the lips' fold (past
    // its round cap): held between the lips, a groove from the lips down would
    // split the tongue in two like front teeth.
    const double grooveFrom = dir > 0 ? kLipsFold + 2 : kLipsFront - 6;
    cairo_move_to(cr, 0, grooveFrom);
    cairo_curve_to(cr, 0, grooveFrom + (tipY - grooveFrom) * 0.5, t.lean * 0.8, tipY - dir * r * 0.4,
                   t.lean, tipY + dir * r * 0.2);
    set(cr, pal::tongueShade);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    // Under the upper lip's edge a tongue down darkens into the mouth (a tongue
    // up lies in front of that edge).
    if (dir > 0) {
        cairo_pattern_t* dark = cairo_pattern_create_linear(0, kLipsEdge, 0, kLipsEdge + 5);
        cairo_pattern_add_color_stop_rgba(dark, 0, pal::mouthInside.r, pal::mouthInside.g, pal::mouthInside.b, 0.8);
        cairo_pattern_add_color_stop_rgba(dark, 1, pal::mouthInside.r, pal::mouthInside.g, pal::mouthInside.b, 0);
        cairo_rectangle(cr, -40, kLipsEdge - 3, 80, 8);
        cairo_set_source(cr, dark);
        cairo_fill(cr);
        cairo_pattern_destroy(dark);
    }
    cairo_restore(cr);
    // The outline below the upper lip's edge (a tongue up is outlined whole: it
    // lies in front of the upper lip).
    cairo_save(cr);
    if (dir > 0) {
        cairo_rectangle(cr, -100, kLipsEdge + 3, 200, t.len + 40);
        cairo_clip(cr);
    }
    cairo_append_path(cr, shape);
    strokeOutline(cr, 4);
    cairo_restore(cr);
    cairo_path_destroy(shape);
}

// The groove down a tongue's middle, along the current path.
void strokeGroove(cairo_t* cr) {
    set(cr, pal::tongueShade);
    cairo_set_line_width(cr, 3.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

// Where a tongue goes into the mouth it darkens: the mouth's inside at
// `alpha` at (x0, y0), fading out by (x1, y1), over all the clip.
void darkenIntoMouth(cairo_t* cr, double x0, double y0, double x1, double y1, double alpha) {
    cairo_pattern_t* dark = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgba(dark, 0, pal::mouthInside.r, pal::mouthInside.g, pal::mouthInside.b, alpha);
    cairo_pattern_add_color_stop_rgba(dark, 1, pal::mouthInside.r, pal::mouthInside.g, pal::mouthInside.b, 0);
    cairo_set_source(cr, dark);
    cairo_paint(cr);
    cairo_pattern_destroy(dark);
}

// The tongue's tip held between the pouting lips, at depth 0 just out past
// the upper lip's edge, at depth 1 further out over the lower lip; both end
// above the lower lip's fold, so that the whole round front shows between
// the lips' layers. As the tongue in front of the lips it comes out at its
// full width into a small dark gap, and its root lies two units per side
// step back towards the centre, its front leaning out; the lower lip's fold
// rises towards the corners, so the further front comes up a little with
// each side step. Coordinates: the tongue's point at (0, 0).
void heldTongue(cairo_t* cr, int depth, int side) {
    cairo_translate(cr, -2.0 * side, 0);
    const double half = depth == 0 ? 13 : 14.5;
    const double front = kLipsEdge + (depth == 0 ? 10 : 16 - 0.5 * side);
    const double lean = (depth == 0 ? 1.0 : 2.0) * side;
    const double top = kLipsEdge - 4, shoulder = kLipsEdge + 1;
    ellipse(cr, 0, kLipsEdge + 1.5, half + 4, 3.5);
    set(cr, pal::mouthInside);
    cairo_fill(cr);
    cairo_move_to(cr, -half, top);
    cairo_line_to(cr, -half, shoulder);
    // A round front: two quarter ellipses.
    const double k = 0.55, down = k * (front - shoulder);
    cairo_curve_to(cr, -half, shoulder + down, lean - k * (lean + half), front, lean, front);
    cairo_curve_to(cr, lean + k * (half - lean), front, half, shoulder + down, half, shoulder);
    cairo_line_to(cr, half, top);
    cairo_close_path(cr);
    cairo_path_t* shape = fillTongue(cr, -half * 0.35, 0);
    cairo_save(cr);
    cairo_append_path(cr, shape);
    cairo_clip(cr);
    if (depth > 0) {
        cairo_move_to(cr, 0, kLipsEdge + 5);
        cairo_line_to(cr, lean * 0.6, front - 5);
        strokeGroove(cr);
    }
    darkenIntoMouth(cr, 0, kLipsEdge, 0, kLipsEdge + 3, 0.5);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_rectangle(cr, -100, kLipsEdge + 3, 200, 100);
    cairo_clip(cr);
    cairo_append_path(cr, shape);
    strokeOutline(cr, 4);
    cairo_restore(cr);
    cairo_path_destroy(shape);
}

// ---------------------------------------------------------------- the tongue's way out
// The tongue out of the open smiling mouth comes out through the opening on
// one side of the lips' line (up through a standing mouth, down through a
// hanging one) and from behind the line on the other. It is drawn behind the
// mouth, so the open pictures it passes through leave a window for it: a slot
// from the lips' line through the teeth and the far lip, round the centre
// line, as wide as the tongue, whose outline the slot's edges continue.
//
// The application moves the tongue's point k fifths (rounded down) of the
// mouth half's picture width towards a corner, and at most to 30 from the
// half's end, so one tongue picture per step k lies in mouths of every width
// with the centre line at different places under it. Its root runs along the
// lips' line under all those places, and its neck fills the window of each.
// Where a mouth's lips' line curves away from the root, the open picture the
// tongue comes through covers the root with skin on the other side of the
// line (the picture hides the tongue where it must not show), as far out as
// the roots reach; past that cover the tongue stays clear of the line.
//
// Tongue coordinates: x across from the point, v from the point towards the
// tip; the lips' line crosses the centre line at v = lineV (the point is 2
// units above the mouth's anchor, the line 5 above it).

// Half width of the tongue's window, to the middle of its edges, from the
// centre line between the two halves (1 unit in from each half's edge: the
// halves overlap by 2); the edges are stroked as wide as the tongue's outline.
constexpr double kWindowHalf = 14;
constexpr double kTongueOutline = 4;
// The window reaches through the far lip and its outline.
constexpr double kWindowTop = kOpen + kFarLip + kOutline / 2;
// The skin cover reaches this far past the near end of a root, where the
// tongue has risen off the line.
constexpr double kCoverPastRoot = 12;
// A tongue up out of the smiling mouth stops short of the nose: its outline's
// top stays this far above the tongue's point (the nose's tip comes down to
// 38 above it). Through a standing mouth it leaves by a window of its own
// shape: upright sides up to kUpSides, then a round top. The tongue up fills
// that window and its top lies on the far lip's outline; the tongue far up,
// through the same window, rises a little beyond it.
constexpr double kUpTop = 30, kFarUpTop = 33.5;  // to the middle of the outline
constexpr double kUpSides = 16;

// A mouth the tongue comes out of, as it lies under the tongue picture: its
// row and step, where its centre line lies, and its lips' line, v = lineV +
// D ((|x - centre| + 1) / W)^2.
struct MouthUnder {
    int row, step;
    double centre, W, D;
};

struct SmileTongue {
    int k = 0;            // sideways step, 0 centred .. 3 nearly at the corner
    double lineV = 3;     // 3 for the tongues up, -3 for the tongues down
    std::vector<MouthUnder> through;
    double rootLeft = 0, rootRight = 0;  // the root, across all their windows
};

// The tongue of step k coming out of the mouths of `rows`, whose half pictures
// are `widths[row][step]` wide.
SmileTongue tongueThrough(const std::vector<std::vector<int>>& widths, std::initializer_list<int> rows, int k,
                          double lineV) {
    SmileTongue t;
    t.k = k;
    t.lineV = lineV;
    for (int row : rows)
        for (int step = 0; step < 7; ++step) {
            const Smile s{row, step};
            const int w = widths[row][step];
            // The right half's edge is 1 unit left of the centre line, the left
            // half's 1 unit right of it, and the left-hand tongue is the same
            // picture mirrored.
            const double right = std::min(k * (w / 5), w - 30), left = std::min(k * (w / 5), w - 32);
            for (double c : {1 - right, -(left + 1)}) t.through.push_back({row, step, c, s.W(), std::fabs(s.D())});
        }
    // The neck's outline lies on the window's edges (or outside them).
    const double reach = kWindowHalf + 1;
    t.rootLeft = 1e9;
    t.rootRight = -1e9;
    for (const MouthUnder& m : t.through) {
        t.rootLeft = std::min(t.rootLeft, m.centre - reach);
        t.rootRight = std::max(t.rootRight, m.centre + reach);
    }
    return t;
}

// How far from the centre line the skin cover of the open picture of each
// row and step reaches: over the roots of all the tongues under it.
std::vector<std::vector<double>> skinCovers(const std::vector<SmileTongue>& tongues) {
    std::vector<std::vector<double>> cover(4, std::vector<double>(7, 0));
    for (const SmileTongue& t : tongues)
        for (const MouthUnder& m : t.through) {
            double& c = cover[m.row][m.step];
            // Past the root's end by its outline, the unit between the centre
            // line and the half's first column, and a unit for the filtering.
            c = std::max({c, m.centre - t.rootLeft + 4, t.rootRight - m.centre + kCoverPastRoot});
            c = std::min(c, m.W - 2);
        }
    return cover;
}

// The tongue shape n (1 far up, 2 up, 3 down, 4 far down) out of the open
// smiling mouth at step t.k. Its neck spans the windows of all the mouths it
// lies in, as high as the window; a leaning tongue then bends out towards the
// corner, clear of the lips' line of every mouth where its skin cover
// (`cover[row][step]`) ends.
void smileTongue(cairo_t* cr, int n, const SmileTongue& t, const std::vector<std::vector<double>>& cover) {
    const int k = t.k;
    const double dir = (n == 1 || n == 2) ? -1 : 1;  // screen y of the tip direction
    const double len = (n == 1 || n == 4) ? 84 : 62;
    // The tip, a little wider than the neck; a leaning tongue's root spans the
    // windows of mouths of every width, and its tip widens a little with it.
    const bool up = dir < 0;
    const double r = up ? kWindowHalf + 2 : 20 + k;
    const double lineV = t.lineV;
    // The root's edge: a unit inside the lips' line, so that its outline and
    // the filtering of a picture drawn between texels stay under the line.
    const double rootV = lineV + 1;
    const double xl = t.rootLeft, xr = t.rootRight;
    const double vf = lineV + kWindowTop + 2;
    // Leaning tongues reach a little further out (the application's step
    // already moves them most of the way).
    const double tipX = 6.0 * k;
    const double top = n == 1 ? kFarUpTop : kUpTop;
    double tipV = up ? top - r : len - r + 4 * k;
    // A leaning tongue's near side leaves the root upright and bends into the
    // tip below its middle: its control points, and a point on it.
    const double bend = -M_PI / 2 + 0.6;  // where the near side meets the tip
    auto nearPoints = [&](double px[4], double pv[4]) {
        px[0] = tipX + r * std::cos(bend), pv[0] = tipV + r * std::sin(bend);
        px[1] = px[0] + 0.4 * (px[0] - xr) * std::sin(bend), pv[1] = pv[0] - 0.4 * (px[0] - xr) * std::cos(bend);
        px[2] = xr, pv[2] = rootV + (pv[0] - rootV) * 0.5;
        px[3] = xr, pv[3] = rootV;
    };
    auto nearSide = [&](double u, double& x, double& v) {
        double px[4], pv[4];
        nearPoints(px, pv);
        const double a = 1 - u, w[4] = {a * a * a, 3 * a * a * u, 3 * a * u * u, u * u * u};
        x = v = 0;
        for (int i = 0; i < 4; ++i) x += w[i] * px[i], v += w[i] * pv[i];
    };
    // The tip is raised until that side passes above the lips' line and its
    // outline where each mouth's skin cover ends.
    auto clearOf = [&](double x, double v) {
        for (const MouthUnder& m : t.through) {
            const double end = cover[m.row][m.step];
            if (std::fabs(x - (m.centre + end)) < 4 && v < lineV + m.D * sq((end + 1) / m.W) + 3) return false;
        }
        return true;
    };
    // A leaning tongue up lies over the upper lip, under the nose: a low round
    // end over the near end of its root, no higher than a tongue up in the middle.
    const double endR = (top - rootV) * 0.45, endX = std::min(tipX, xr + 8 - endR);
    for (bool clear = up; k > 0 && !clear; tipV += clear ? 0 : 1) {
        clear = true;
        for (double b = bend; b <= 0; b += 0.05) clear = clear && clearOf(tipX + r * std::cos(b), tipV + r * std::sin(b));
        for (double u = 0; u <= 1; u += 0.01) {
            double x, v;
            nearSide(u, x, v);
            clear = clear && clearOf(x, v);
        }
    }
    cairo_save(cr);
    cairo_scale(cr, 1, dir < 0 ? -1 : 1);
    auto path = [&]() {
        if (k == 0 && up) {
            // Upright sides, as wide as the window, and a round top.
            cairo_move_to(cr, xr, rootV);
            cairo_line_to(cr, xl, rootV);
            cairo_line_to(cr, xl, kUpSides);
            cairo_save(cr);
            cairo_translate(cr, (xl + xr) / 2, kUpSides);
            cairo_scale(cr, (xr - xl) / 2, top - kUpSides);
            cairo_arc_negative(cr, 0, 0, 1, M_PI, 0);
            cairo_restore(cr);
        } else if (up) {
            cairo_move_to(cr, xr, rootV);
            cairo_line_to(cr, xl, rootV);
            cairo_line_to(cr, xl, kUpSides);
            cairo_curve_to(cr, xl, top - 4, xl + 4, top, xl + 12, top);
            cairo_line_to(cr, endX, top);
            cairo_arc_negative(cr, endX, top - endR, endR, M_PI / 2, -M_PI / 2);
            cairo_curve_to(cr, (endX + xr) / 2, top - 2 * endR, xr, rootV + 2, xr, rootV);
        } else if (k == 0) {
            cairo_move_to(cr, xr, rootV);
            cairo_line_to(cr, xl, rootV);
            cairo_line_to(cr, xl, vf);
            cairo_curve_to(cr, xl, vf + (tipV - vf) * 0.5, -r, tipV - (tipV - vf) * 0.3, -r, tipV);
            cairo_arc_negative(cr, 0, tipV, r, M_PI, 0);
            cairo_curve_to(cr, r, tipV - (tipV - vf) * 0.3, xr, vf + (tipV - vf) * 0.5, xr, vf);
        } else {
            // The root, its far corner rounded within the line's stroke; the far
            // side stays upright as high as the window, then runs straight on
            // to the tip, touching it.
            const double round = 6;
            cairo_move_to(cr, xr, rootV);
            cairo_line_to(cr, xl + round, rootV);
            cairo_arc_negative(cr, xl + round, rootV + round, round, -M_PI / 2, -M_PI);
            const double dx = xl - tipX, dv = vf - tipV, d = std::hypot(dx, dv);
            // The far one of the two points where a line from the corner touches
            // the tip, as an angle the arc can run down from to the tip's bottom.
            double touch = std::atan2(dv, dx) - std::acos(r / d);
            while (touch < -M_PI / 2) touch += 2 * M_PI;
            const double tx = tipX + r * std::cos(touch), tv = tipV + r * std::sin(touch);
            const double ux = (tx - xl) / std::hypot(tx - xl, tv - vf), uv = (tv - vf) / std::hypot(tx - xl, tv - vf);
            cairo_line_to(cr, xl, vf - 10);
            cairo_curve_to(cr, xl, vf - 3, xl + ux * 3, vf + uv * 3, xl + ux * 10, vf + uv * 10);
            cairo_line_to(cr, tx, tv);
            cairo_arc_negative(cr, tipX, tipV, r, touch, bend);
            double px[4], pv[4];
            nearPoints(px, pv);
            cairo_curve_to(cr, px[1], pv[1], px[2], pv[2], px[3], pv[3]);
        }
        cairo_close_path(cr);
    };
    path();
    set(cr, pal::tongue);
    cairo_fill(cr);
    // One shade on the side away from the light, and the middle groove.
    cairo_save(cr);
    path();
    cairo_clip(cr);
    path();
    cairo_translate(cr, -8, 0);
    path();
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    set(cr, pal::tongueShade);
    cairo_fill(cr);
    cairo_restore(cr);
    const double mid = k == 0 ? 0 : (xl + xr) / 2;
    cairo_move_to(cr, mid, lineV + 8);
    if (k == 0 && up)
        cairo_line_to(cr, 0, top - 8);
    else if (up)
        cairo_curve_to(cr, mid, top - 6, endX - endR, top - endR, endX, top - endR);
    else
        cairo_curve_to(cr, mid, up ? (lineV + tipV) / 2 : vf, tipX, tipV - (up ? 4 : 10), tipX, tipV + r * 0.2);
    set(cr, pal::tongueShade);
    cairo_set_line_width(cr, 3.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    path();
    strokeOutline(cr, kTongueOutline);
    cairo_restore(cr);
}

// Open smiling mouth: the opening lies beyond the lips' line (which the closed
// picture draws on top), with the teeth along the far lip. When the tongue
// comes out through this opening, the window is cut out of it round the centre
// line and the tongue, drawn behind, shows there; skin on the other side of
// the line, `cover` out from the centre line, hides the tongue's root where the
// line curves away from it.
void openSmile(cairo_t* cr, const Smile& s, double cover) {
    const bool window = cover > 0;
    const double W = s.W();
    const double side = s.hanging() ? 1 : -1;
    const int n = 2 * static_cast<int>(W);
    auto line = [&](double x) { return s.line(x); };
    auto inner = [&](double x) { return s.line(x) + side * s.open(x); };
    auto outer = [&](double x) { return inner(x) + side * s.farLip(x); };
    // The window, centred on the centre line (x = 1), from behind the lips'
    // line out beyond the far lip.
    // A standing mouth's window, for the tongues up, has their round top.
    auto windowPath = [&]() {
        if (side > 0) {
            cairo_rectangle(cr, 1 - kWindowHalf, kLine - side * 2, 2 * kWindowHalf, side * (kWindowTop + 8));
            return;
        }
        const double sides = kLine + 3 - kUpSides;  // the tongue's point lies 3 below the line
        cairo_move_to(cr, 1 + kWindowHalf, kLine + 2);
        cairo_line_to(cr, 1 - kWindowHalf, kLine + 2);
        cairo_line_to(cr, 1 - kWindowHalf, sides);
        cairo_save(cr);
        cairo_translate(cr, 1, sides);
        cairo_scale(cr, kWindowHalf, kUpTop + 2 - kUpSides);
        cairo_arc(cr, 0, 0, 1, M_PI, 2 * M_PI);
        cairo_restore(cr);
        cairo_close_path(cr);
    };
    cairo_push_group(cr);
    if (window) {
        // Clear of the two columns the other half overlaps, so that a half of
        // another row keeps its own opening there.
        curve(cr, 2, cover, line, true, n);
        cairo_line_to(cr, cover, -side * 60);
        cairo_line_to(cr, 2, -side * 60);
        cairo_close_path(cr);
        set(cr, pal::skin);
        cairo_fill(cr);
    }
    curve(cr, 0, W, line, true, n);
    curve(cr, W, 0, outer, false, n);
    cairo_close_path(cr);
    set(cr, pal::lips);
    cairo_fill(cr);
    curve(cr, 0, W, line, true, n);
    curve(cr, W, 0, inner, false, n);
    cairo_close_path(cr);
    cairo_path_t* hole = cairo_copy_path(cr);
    set(cr, pal::mouthInside);
    cairo_fill(cr);
    // Teeth along the far lip; they stop short of the corner, which stays dark.
    cairo_save(cr);
    cairo_append_path(cr, hole);
    cairo_clip(cr);
    const double end = W - 16;
    curve(cr, 0, end, [&](double x) { return inner(x) + side * 3; }, true, n);
    curve(cr, end, 0, [&](double x) { return inner(x) - side * s.teeth(x); }, false, n);
    cairo_close_path(cr);
    set(cr, pal::teeth);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_path_destroy(hole);
    curve(cr, 0, W, inner, true, n);
    set(cr, pal::outline);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    curve(cr, 0, W, outer, true, n);
    strokeOutline(cr, kOutline);
    if (window) {
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        windowPath();
        cairo_fill(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        // The window's edges, inside the mouth only: they end in the far lip's
        // outline.
        cairo_save(cr);
        curve(cr, 0, W, line, true, n);
        curve(cr, W, 0, [&](double x) { return outer(x) + side * kOutline / 2; }, false, n);
        cairo_close_path(cr);
        cairo_clip(cr);
        for (double x : {1 - kWindowHalf, 1 + kWindowHalf}) {
            cairo_move_to(cr, x, kLine);
            cairo_line_to(cr, x, side > 0 ? kLine + kWindowTop + 8 : kLine + 3 - kUpSides);
        }
        strokeOutline(cr, kTongueOutline);
        cairo_restore(cr);
    }
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
}

// Closed mouth of row 1 with the corner parted for the tongue at the side.
void cornerSmile(cairo_t* cr, int step) {
    Smile s{1, step};
    const double W = s.W();
    curve(cr, 0, W - 10, [&](double x) { return s.line(x); }, true);
    strokeOutline(cr, kOutline);
    // The corner opens into a small dark gap the tongue comes out of.
    double cy = s.line(W - 6);
    ellipse(cr, W - 6, cy, 9, 7);
    fillStroke(cr, pal::mouthInside, 3.5);
}

// ---------------------------------------------------------------- the tongue out of a corner
// The tongue out of a corner of the smiling mouth comes out between the lips
// there, as out of the pouting lips: the half's line parts round it into a
// small dark opening, and the tongue, drawn in front, leaves the opening at
// its full width, its root unoutlined and darkening into the mouth, so that
// it covers the lower lip's line where it passes. The half is the second
// row's line at the half's step; the tongue is one picture for every step.
//
// The application puts the tongue's point 30 in from the end of the half's
// own picture, which reaches 6 or 7 past its line's corner: the corner lies
// 24 (give or take 1) right of the point and 17 above it (the second row's
// corner is 19 above the half's place, the point 2 above it). The tongue's
// root reaches 5 back into the opening, which runs much further into the
// line, so that the unit either way stays hidden.
constexpr double kCornerFromPointX = 24, kCornerFromPointY = -17;
// The way out, up and out along the line's end (radians), and the tongue's
// root half width there, on which the opening's edges end, so that its
// outline runs on into the tongue's.
constexpr double kCornerWayOut = -0.3;
constexpr double kCornerRootHalf = 10.5;

struct CornerWay {
    double ux = std::cos(kCornerWayOut), uy = std::sin(kCornerWayOut);  // out of the mouth
    double nx = -uy, ny = ux;                                           // across, downwards
};

// The half at step `step` with its corner parted (the half's own coordinates).
void cornerParted(cairo_t* cr, int step) {
    const Smile s{1, step};
    const CornerWay w;
    const double W = s.W();
    // Where the tongue leaves the opening, a little inside the corner, and
    // the opening's ends there; the line parts 26 in from the corner.
    const double ex = W - 2 * w.ux, ey = s.line(W) - 2 * w.uy;
    const double upX = ex - kCornerRootHalf * w.nx, upY = ey - kCornerRootHalf * w.ny;
    const double loX = ex + kCornerRootHalf * w.nx, loY = ey + kCornerRootHalf * w.ny;
    const double sx = W - 26, sy = s.line(sx);
    const double slope = -2 * s.D() * sx / (W * W), dl = std::hypot(1.0, slope);
    const double dx = 1 / dl, dy = slope / dl;
    auto edge = [&](double x, double y) {
        const double k = std::hypot(x - sx, y - sy);
        cairo_curve_to(cr, sx + 0.4 * k * dx, sy + 0.4 * k * dy, x - 0.3 * k * w.ux, y - 0.3 * k * w.uy, x, y);
    };
    // The opening, then the line running on into the upper lip's edge, and
    // the lower lip's edge.
    cairo_move_to(cr, sx, sy);
    edge(upX, upY);
    cairo_line_to(cr, loX, loY);
    const double k = std::hypot(loX - sx, loY - sy);
    cairo_curve_to(cr, loX - 0.3 * k * w.ux, loY - 0.3 * k * w.uy, sx + 0.4 * k * dx, sy + 0.4 * k * dy, sx, sy);
    cairo_close_path(cr);
    set(cr, pal::mouthInside);
    cairo_fill(cr);
    curve(cr, 0, sx, [&](double x) { return s.line(x); }, true);
    edge(upX, upY);
    strokeOutline(cr, kOutline);
    cairo_move_to(cr, sx, sy);
    edge(loX, loY);
    strokeOutline(cr, 4);
}

// The tongue out of the corner, shape n (1 far up, 2 up, 3 down, 4 far
// down), in the tongue's coordinates: out along the way out, then bending
// up or down to a round tip.
void cornerTongue(cairo_t* cr, int n) {
    const CornerWay w;
    const double len = (n == 1 || n == 4) ? 52 : 40;
    const double bend = n == 1 ? -1.45 : n == 2 ? -1.0 : n == 3 ? 1.0 : 1.35;
    const double tipHalf = 12.5;
    const double ex = kCornerFromPointX - 2 * w.ux, ey = kCornerFromPointY - 2 * w.uy;
    // The middle line: from 5 inside the opening, out, then round the bend.
    const double x0 = ex - 5 * w.ux, y0 = ey - 5 * w.uy;
    const double x1 = ex + 0.55 * len * w.ux, y1 = ey + 0.55 * len * w.uy;
    const double x2 = x1 + 0.6 * len * std::cos(kCornerWayOut + bend), y2 = y1 + 0.6 * len * std::sin(kCornerWayOut + bend);
    auto middle = [&](double t, double& x, double& y, double& tx, double& ty) {
        const double a = 1 - t;
        x = a * a * x0 + 2 * a * t * x1 + t * t * x2;
        y = a * a * y0 + 2 * a * t * y1 + t * t * y2;
        tx = 2 * a * (x1 - x0) + 2 * t * (x2 - x1);
        ty = 2 * a * (y1 - y0) + 2 * t * (y2 - y1);
        const double l = std::hypot(tx, ty);
        tx /= l, ty /= l;
    };
    const int steps = 32;
    auto path = [&]() {
        double x, y, tx, ty;
        for (int i = 0; i <= steps; ++i) {
            const double t = double(i) / steps, h = kCornerRootHalf + (tipHalf - kCornerRootHalf) * t;
            middle(t, x, y, tx, ty);
            if (i == 0)
                cairo_move_to(cr, x + h * ty, y - h * tx);
            else
                cairo_line_to(cr, x + h * ty, y - h * tx);
        }
        const double angle = std::atan2(ty, tx);
        cairo_arc(cr, x, y, tipHalf, angle - M_PI / 2, angle + M_PI / 2);
        for (int i = steps; i >= 0; --i) {
            const double t = double(i) / steps, h = kCornerRootHalf + (tipHalf - kCornerRootHalf) * t;
            middle(t, x, y, tx, ty);
            cairo_line_to(cr, x - h * ty, y + h * tx);
        }
        cairo_close_path(cr);
    };
    path();
    // One shade along its lower side, the middle groove, and the root
    // darkening into the mouth.
    cairo_path_t* shape = fillTongue(cr, -2, -4);
    cairo_save(cr);
    cairo_append_path(cr, shape);
    cairo_clip(cr);
    for (int i = 10; i <= 27; ++i) {
        double x, y, tx, ty;
        middle(double(i) / steps, x, y, tx, ty);
        if (i == 10)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    strokeGroove(cr);
    darkenIntoMouth(cr, x0, y0, ex + 3 * w.ux, ey + 3 * w.uy, 0.85);
    cairo_restore(cr);
    // Outlined outside the opening only.
    cairo_save(cr);
    cairo_move_to(cr, ex - w.ux - 60 * w.nx, ey - w.uy - 60 * w.ny);
    cairo_line_to(cr, ex - w.ux + 60 * w.nx, ey - w.uy + 60 * w.ny);
    cairo_line_to(cr, ex + 100 * w.ux + 60 * w.nx, ey + 100 * w.uy + 60 * w.ny);
    cairo_line_to(cr, ex + 100 * w.ux - 60 * w.nx, ey + 100 * w.uy - 60 * w.ny);
    cairo_close_path(cr);
    cairo_clip(cr);
    cairo_append_path(cr, shape);
    strokeOutline(cr, 4);
    cairo_restore(cr);
    cairo_path_destroy(shape);
}

// ================================================================ lips (pout)
// When the halves move alone, a half of one step meets a half of another at
// the centre line, so every step and both rows cross it alike: the top of
// the upper lip, the opening and the bottom of the lower lip lie at the same
// heights there, level, and the steps change the lips away from the centre.
// Row 0 widens the lips and their opening; row 1 rounds them, the corners
// coming in, the peaks of the upper lip rising and the lower lip filling out.

struct Pout {
    double W;     // corner
    double up;    // height of the upper lip's peaks
    double ow;    // half width of the opening
    double full;  // 0: a flat lower lip .. 1: a round one
};
Pout pout(int row, int k) {
    if (row == 0) return Pout{36 + 7.0 * k, 20 + 1.0 * k, 10 + 2.5 * k, 0};
    return Pout{46 - 1.0 * k, 20 + 1.2 * k, 9 + 0.5 * k, k / 6.0};
}

// The lips' contour from the centre line round the corner and back; `close`
// returns along the centre line for filling (never stroked: the mirrored half
// continues the contour there).
void poutTop(cairo_t* cr, const Pout& p) {
    cairo_move_to(cr, 0, kPoutTop);
    cairo_line_to(cr, kPoutLevel, kPoutTop);
    cairo_curve_to(cr, kPoutLevel + p.W * 0.1, kPoutTop, p.W * 0.25, -p.up - 2, p.W * 0.42, -p.up);
    cairo_curve_to(cr, p.W * 0.75, -p.up + 2, p.W, -p.up * 0.4, p.W, 2);
}
void poutOuter(cairo_t* cr, const Pout& p, bool close) {
    poutTop(cr, p);
    cairo_curve_to(cr, p.W * 0.98, kPoutLow * (0.7 + 0.25 * p.full), p.W * (0.6 + 0.15 * p.full), kPoutLow,
                   kPoutLevel, kPoutLow);
    cairo_line_to(cr, 0, kPoutLow);
    if (close) {
        cairo_line_to(cr, -3, kPoutLow);
        cairo_line_to(cr, -3, kPoutTop);
        cairo_close_path(cr);
    }
}
void meetingLine(cairo_t* cr, const Pout& p) {
    cairo_move_to(cr, 0, kPoutOpenY - kPoutOpenH);
    cairo_curve_to(cr, p.ow + 4, kPoutOpenY - kPoutOpenH, p.W * 0.8, 1, p.W, 2);
}
void poutUpper(cairo_t* cr, const Pout& p) {
    poutTop(cr, p);
    cairo_curve_to(cr, p.W * 0.8, 1, p.ow + 4, kPoutOpenY - kPoutOpenH, 0, kPoutOpenY - kPoutOpenH);
    cairo_line_to(cr, -3, kPoutOpenY - kPoutOpenH);
    cairo_line_to(cr, -3, kPoutTop);
    cairo_close_path(cr);
}
// The opening: level across the centre line, rounded to its ends.
void poutOpening(cairo_t* cr, const Pout& p) {
    const double rx = p.ow - kPoutLevel;
    cairo_new_sub_path(cr);
    for (double side : {1.0, -1.0}) {
        cairo_save(cr);
        cairo_translate(cr, side * kPoutLevel, kPoutOpenY);
        cairo_scale(cr, rx, kPoutOpenH);
        cairo_arc(cr, 0, 0, 1, side > 0 ? -M_PI / 2 : M_PI / 2, side > 0 ? M_PI / 2 : 3 * M_PI / 2);
        cairo_restore(cr);
    }
    cairo_close_path(cr);
}
// Skin around the lips, up to the picture's edges: it hides a tongue clipped
// to the lips' box everywhere but where the layer lets it show.
void poutGround(cairo_t* cr, const Pout& p) {
    // As high above the anchor as below it: the picture is, and so is the box.
    const double half = std::max(p.up - kPoutDrop, kPoutLow + kPoutDrop) + 6;
    cairo_rectangle(cr, -3, -half - kPoutDrop, p.W + 9, 2 * half);
    set(cr, pal::skin);
    cairo_fill(cr);
}

// The fold of the lower lip (kPoutFold, above).
void foldLine(cairo_t* cr, const Pout& p) {
    cairo_move_to(cr, 0, kPoutFold);
    cairo_line_to(cr, kPoutLevel, kPoutFold);
    cairo_curve_to(cr, p.W * 0.5, kPoutFold, p.W * 0.85, kPoutFold * 0.55, p.W, 2);
}
// The lower lip below the fold, closed across the centre line for filling.
void lowerBand(cairo_t* cr, const Pout& p) {
    foldLine(cr, p);
    cairo_curve_to(cr, p.W * 0.98, kPoutLow * (0.7 + 0.25 * p.full), p.W * (0.6 + 0.15 * p.full), kPoutLow,
                   kPoutLevel, kPoutLow);
    cairo_line_to(cr, -3, kPoutLow);
    cairo_line_to(cr, -3, kPoutFold);
    cairo_close_path(cr);
}
void lipsHighlight(cairo_t* cr, const Pout& p) {
    // One on each half, clear of the centre line.
    ellipse(cr, 6 + p.W * 0.3, kPoutLow * 0.55, p.W * 0.3, kPoutLow * 0.22);
    set(cr, pal::white, 0.35);
    cairo_fill(cr);
}
void strokeFold(cairo_t* cr, const Pout& p) {
    foldLine(cr, p);
    set(cr, pal::lipsShade);
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

// Back layer: the inside of the mouth.
void lipsBack(cairo_t* cr, const Pout& p) {
    cairo_translate(cr, 0, kPoutDrop);
    ellipse(cr, 0, kPoutOpenY, p.ow + 5, kPoutOpenH + 5);
    set(cr, pal::mouthInside);
    cairo_fill(cr);
    ellipse(cr, 0, kPoutOpenY + kPoutOpenH * 0.3, p.ow * 0.6, kPoutOpenH * 0.5);
    set(cr, hex(0x4E1520));
    cairo_fill(cr);
}

// First front layer: both lips with the opening cut out.
void lipsFront(cairo_t* cr, const Pout& p) {
    cairo_translate(cr, 0, kPoutDrop);
    cairo_push_group(cr);
    poutGround(cr, p);
    poutOuter(cr, p, true);
    set(cr, pal::lips);
    cairo_fill(cr);
    lipsHighlight(cr, p);
    strokeFold(cr, p);
    poutUpper(cr, p);
    set(cr, pal::lipsShade);
    cairo_fill(cr);
    poutOuter(cr, p, false);
    strokeOutline(cr, kOutline);
    meetingLine(cr, p);
    strokeOutline(cr, 3);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    poutOpening(cr, p);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    poutOpening(cr, p);
    strokeOutline(cr, 3);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
}

// Second front layer: the skin around, the upper lip and the lower lip below
// its fold, open between the lips: a tongue held there lies over the top of
// the lower lip and under the rest of both lips. Drawn over the first layer it
// changes nothing.
void lipsUpper(cairo_t* cr, const Pout& p) {
    cairo_translate(cr, 0, kPoutDrop);
    cairo_push_group(cr);
    poutGround(cr, p);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    poutOuter(cr, p, true);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    poutUpper(cr, p);
    set(cr, pal::lipsShade);
    cairo_fill(cr);
    lowerBand(cr, p);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    set(cr, pal::lips);
    cairo_fill(cr);
    lipsHighlight(cr, p);
    cairo_restore(cr);
    strokeFold(cr, p);
    poutOuter(cr, p, false);
    strokeOutline(cr, kOutline);
    meetingLine(cr, p);
    strokeOutline(cr, 3);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
}

// ================================================================ teeth
struct Grin {
    int row, step;
    double W() const { return 52 + 8 * step; }
    double mid(double x) const { return (row == 0 ? -10 : 10) * sq(x / W()); }
    // The same height at the centre line for every step and row, so that
    // halves of different steps meet there.
    double open(double x) const { return 4 + 15 * std::pow(std::max(0.0, 1 - sq(x / W())), 0.7); }
};

void drawTeeth(cairo_t* cr, const Grin& g) {
    const double W = g.W();
    auto top = [&](double x) { return g.mid(x) - g.open(x); };
    auto bot = [&](double x) { return g.mid(x) + g.open(x); };
    // Lips drawn back: thin bands around the teeth, meeting in a point at the corner.
    auto outerPath = [&](bool close) {
        curve(cr, 0, W, [&](double x) { return top(x) - 6 * (1 - sq(x / W)) - 1; }, true);
        cairo_line_to(cr, W + 6, g.mid(W));
        curve(cr, W, 0, [&](double x) { return bot(x) + 7 * (1 - sq(x / W)) + 1; }, false);
        if (close) cairo_close_path(cr);
    };
    outerPath(true);
    cairo_path_t* outer = cairo_copy_path(cr);
    set(cr, pal::lips);
    cairo_fill(cr);
    curve(cr, 0, W, top, true);
    curve(cr, W, 0, bot, false);
    cairo_close_path(cr);
    cairo_path_t* hole = cairo_copy_path(cr);
    set(cr, pal::teeth);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_append_path(cr, hole);
    cairo_clip(cr);
    // The gap between the rows of teeth follows the mouth's middle line.
    curve(cr, 0, W, [&](double x) { return g.mid(x) + 0.5; }, true);
    set(cr, pal::mouthInside);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    set(cr, pal::teethShade);
    cairo_set_line_width(cr, 2);
    for (double x = 0; x < W - 8; x += 16) {
        cairo_move_to(cr, x, -40);
        cairo_line_to(cr, x, 40);
    }
    cairo_stroke(cr);
    // Dark corners where the teeth end, drawn over the teeth's gaps so that no
    // light line runs into them, and edged with a soft shade instead of the
    // bright anti-aliased rim of the teeth.
    ellipse(cr, W, g.mid(W), 16, 14);
    set(cr, pal::mouthInside);
    cairo_fill(cr);
    ellipse(cr, W, g.mid(W), 16, 14);
    set(cr, pal::mouthInside, 0.45);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    cairo_restore(cr);
    // Strokes leave out the centre line, where the mirrored half continues them.
    curve(cr, 0, W, top, true);
    curve(cr, W, 0, bot, false);
    set(cr, pal::outline);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    outerPath(false);
    strokeOutline(cr, kOutline);
    cairo_path_destroy(hole);
    cairo_path_destroy(outer);
}

void roundMouth(cairo_t* cr) {
    const double rx = 34, ry = 32;
    ellipse(cr, 0, 0, rx + 8, ry + 8);
    set(cr, pal::lips);
    cairo_fill(cr);
    ellipse(cr, 0, 0, rx, ry);
    set(cr, pal::mouthInside);
    cairo_fill(cr);
    cairo_save(cr);
    ellipse(cr, 0, 0, rx, ry);
    cairo_clip(cr);
    cairo_rectangle(cr, -1, -ry - 2, rx + 4, 12);
    cairo_rectangle(cr, -1, ry - 8, rx + 4, 12);
    set(cr, pal::teeth);
    cairo_fill(cr);
    set(cr, pal::teethShade);
    cairo_set_line_width(cr, 2);
    for (double x = 0; x < rx; x += 14) {
        cairo_move_to(cr, x, -ry);
        cairo_line_to(cr, x, -ry + 10);
        cairo_move_to(cr, x, ry);
        cairo_line_to(cr, x, ry - 8);
    }
    cairo_stroke(cr);
    ellipse(cr, 0, ry * 0.55, rx * 0.55, ry * 0.3);
    set(cr, pal::tongue);
    cairo_fill(cr);
    cairo_restore(cr);
    ellipse(cr, 0, 0, rx, ry);
    set(cr, pal::outline);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    ellipse(cr, 0, 0, rx + 8, ry + 8);
    strokeOutline(cr, kOutline);
}

// ================================================================ cheek mouths
// Fish face (hollow cheeks): lips pushed forward into a small upright oval.
void fishMouth(cairo_t* cr, double rx, bool hollow) {
    const double ry = 26, cy = -2;
    if (hollow) {
        // The sucked-in cheek: one shade crescent on this side.
        cairo_move_to(cr, 118, -60);
        cairo_curve_to(cr, 96, -30, 96, 10, 114, 40);
        cairo_curve_to(cr, 128, 10, 128, -30, 118, -60);
        set(cr, pal::skinShade);
        cairo_fill(cr);
    }
    ellipse(cr, 0, cy, rx, ry);
    set(cr, pal::lips);
    cairo_fill_preserve(cr);
    strokeOutline(cr, kOutline);
    ellipse(cr, 0, cy, rx * 0.4, 13);
    fillStroke(cr, pal::mouthInside, 2.5);
    ellipse(cr, rx * 0.5, cy + 15, rx * 0.28, 3.5);
    set(cr, pal::white, 0.35);
    cairo_fill(cr);
}

// Puffed cheeks: lips pressed together, a short bowed line.
void pressedMouth(cairo_t* cr, double W, double cy) {
    cairo_move_to(cr, -2, cy - 5);
    cairo_curve_to(cr, W * 0.5, cy - 7, W * 0.9, cy - 4, W, cy);
    cairo_curve_to(cr, W * 0.9, cy + 6, W * 0.5, cy + 9, -2, cy + 8);
    cairo_close_path(cr);
    fillStroke(cr, pal::lips, 4);
    cairo_move_to(cr, -2, cy + 1);
    cairo_curve_to(cr, W * 0.5, cy + 1, W * 0.8, cy + 1, W, cy);
    strokeOutline(cr, 3.5);
}

void pursed(cairo_t* cr) {
    const double cy = -22;
    ellipse(cr, 0, cy, 22, 17);
    fillStroke(cr, pal::lips, kOutline);
    set(cr, pal::lipsShade);
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double a : {-60.0, -20.0, 20.0, 60.0}) {
        double r = a * M_PI / 180;
        cairo_move_to(cr, 8 * std::cos(r), cy + 6 * std::sin(r));
        cairo_line_to(cr, 18 * std::cos(r), cy + 14 * std::sin(r));
    }
    cairo_stroke(cr);
    ellipse(cr, 0, cy, 5, 4);
    set(cr, pal::mouthInside);
    cairo_fill(cr);
}

// ================================================================ cheek
// The right cheek puffed (anchor (440, 553) of the face, the bulge's lower
// left). The art set's picture is shaded where the bulge moved 16 left and
// 12 up leaves it; `faceShade` shades it as the face is instead, where the
// face's shade transform moves it off, so that where the bulge stands out
// of the face's side its shade runs on from the face's own.
void puffedCheek(cairo_t* cr, bool faceShade) {
    const double ax = 440, ay = 553;
    const double cx = 150, cy = -72, rx = 120, ry = 66;
    ellipse(cr, cx, cy, rx, ry);
    cairo_path_t* bulge = cairo_copy_path(cr);
    set(cr, pal::skin);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_append_path(cr, bulge);
    cairo_clip(cr);
    cairo_append_path(cr, bulge);
    if (faceShade) {
        cairo_save(cr);
        cairo_translate(cr, -ax, -ay);
        headShadeTransform(cr);
        ellipse(cr, ax + cx, ay + cy, rx, ry);
        cairo_restore(cr);
    } else {
        ellipse(cr, cx - 16, cy - 12, rx, ry);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    set(cr, pal::skinShade);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    ellipse(cr, 124, -86, 62, 34);
    set(cr, pal::blush, 0.6);
    cairo_fill(cr);
    ellipse(cr, 104, -100, 16, 8);
    set(cr, pal::white, 0.45);
    cairo_fill(cr);
    cairo_restore(cr);
    // Outline only where the bulge leaves the face.
    cairo_save(cr);
    cairo_rectangle(cr, -1000, -1000, 3000, 3000);
    cairo_translate(cr, -ax, -ay);
    headPath(cr);
    cairo_restore(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_append_path(cr, bulge);
    strokeOutline(cr, kOutline);
    cairo_path_destroy(bulge);
}

// ================================================================ the jaw's poses
// Whole mouths, drawn round the centre line (x = 1) from the mouth's anchor,
// where the closed lips' line crosses it 5 above.
constexpr double kJawCentre = 1;

// The mouth opened by the jaw, a step at a time: taller and a little
// narrower, the upper lip's edge rising a little and the lower lip going
// down with the chin.
struct Jaw {
    int step;
    double W() const { return 40 - 2.0 * step; }      // half width of the opening
    double top() const { return -10 - 1.5 * step; }   // the upper lip's edge at the centre line
    double H() const { return 16 + 13.0 * step; }     // the opening's height there
    double bottom() const { return top() + H(); }
    double corner() const { return top() + 0.3 * H(); }  // the corners' height
    double upperLip() const { return 8; }
    double lowerLip() const { return 10; }
    // Points of the opening's edge and of the lips' outer edge, u from -1
    // (the left corner) to 1.
    double x(double u, double out = 0) const { return kJawCentre + u * (W() + out); }
    double innerTop(double u) const { return corner() - (corner() - top()) * std::sqrt(std::max(0.0, 1 - u * u)); }
    double innerBottom(double u) const {
        return corner() + (bottom() - corner()) * std::pow(std::max(0.0, 1 - u * u), 0.6);
    }
    double outerTop(double u) const {
        return corner() - (corner() - top() + upperLip()) * std::pow(std::max(0.0, 1 - u * u), 0.45);
    }
    double outerBottom(double u) const {
        return corner() + (bottom() - corner() + lowerLip()) * std::pow(std::max(0.0, 1 - u * u), 0.55);
    }
};

template <class F>
void jawCurve(cairo_t* cr, double u0, double u1, F point, bool moveFirst, int n = 48) {
    for (int i = 0; i <= n; ++i) {
        double u = u0 + (u1 - u0) * i / n, x, y;
        point(u, x, y);
        if (i == 0 && moveFirst)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
}

void openingPath(cairo_t* cr, const Jaw& j) {
    jawCurve(cr, -1, 1, [&](double u, double& x, double& y) { x = j.x(u), y = j.innerTop(u); }, true);
    jawCurve(cr, 1, -1, [&](double u, double& x, double& y) { x = j.x(u), y = j.innerBottom(u); }, false);
    cairo_close_path(cr);
}

void lipsPath(cairo_t* cr, const Jaw& j) {
    jawCurve(cr, -1, 1, [&](double u, double& x, double& y) { x = j.x(u, 6), y = j.outerTop(u); }, true);
    jawCurve(cr, 1, -1, [&](double u, double& x, double& y) { x = j.x(u, 6), y = j.outerBottom(u); }, false);
    cairo_close_path(cr);
}

// The lips round the dark inside of the mouth, the throat darker at its back.
void openMouthBack(cairo_t* cr, const Jaw& j) {
    lipsPath(cr, j);
    set(cr, pal::lips);
    cairo_fill(cr);
    // The lower lip's light.
    ellipse(cr, kJawCentre, j.bottom() + j.lowerLip() * 0.5, j.W() * 0.45, j.lowerLip() * 0.22);
    set(cr, pal::white, 0.35);
    cairo_fill(cr);
    openingPath(cr, j);
    set(cr, pal::mouthInside);
    cairo_fill(cr);
    cairo_save(cr);
    openingPath(cr, j);
    cairo_clip(cr);
    ellipse(cr, kJawCentre, j.corner() + j.H() * 0.2, j.W() * 0.5, j.H() * 0.32);
    set(cr, hex(0x4E1520));
    cairo_fill(cr);
    cairo_restore(cr);
    lipsPath(cr, j);
    strokeOutline(cr, kOutline);
}

// The upper teeth under the upper lip and the lower ones over the lower
// lip's edge, and the opening's edge over them and the tongue.
void openMouthTeeth(cairo_t* cr, const Jaw& j) {
    cairo_save(cr);
    openingPath(cr, j);
    cairo_clip(cr);
    auto band = [&](double reach, bool upper, double depth) {
        jawCurve(cr, -reach, reach, [&](double u, double& x, double& y) {
            x = j.x(u), y = upper ? j.innerTop(u) - 3 : j.innerBottom(u) + 3;
        }, true);
        jawCurve(cr, reach, -reach, [&](double u, double& x, double& y) {
            x = j.x(u), y = upper ? j.innerTop(u) + depth : j.innerBottom(u) - depth;
        }, false);
        cairo_close_path(cr);
        set(cr, pal::teeth);
        cairo_fill(cr);
        set(cr, pal::teethShade);
        cairo_set_line_width(cr, 2);
        for (double dx = -24; dx <= 24; dx += 12) {
            double x = kJawCentre + dx, u = dx / j.W();
            double y = upper ? j.innerTop(u) : j.innerBottom(u);
            cairo_move_to(cr, x, y - 4);
            cairo_line_to(cr, x, y + (upper ? depth : -depth));
        }
        cairo_stroke(cr);
    };
    band(0.82, true, 7);
    band(0.7, false, 5);
    cairo_restore(cr);
    openingPath(cr, j);
    set(cr, pal::outline);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

// The tongue in the open mouth, at `place` (OpenTongue's order): the tip up
// at the ridge behind the upper teeth, showing its underside; lying low on
// the floor of the mouth; bunched up with the tip behind the lower teeth;
// out over the lower lip. Inside the mouth it is cut to the opening.
void openMouthTongue(cairo_t* cr, const Jaw& j, int place) {
    const double c = kJawCentre, W = j.W(), H = j.H(), bottom = j.bottom();
    cairo_save(cr);
    openingPath(cr, j);
    if (place == 3) cairo_rectangle(cr, c - W, j.corner(), 2 * W, 200);
    cairo_clip(cr);
    auto shaded = [&](Rgb fill, double half, double shade = 1) {
        cairo_path_t* p = cairo_copy_path(cr);
        set(cr, fill);
        cairo_fill(cr);
        cairo_save(cr);
        cairo_append_path(cr, p);
        cairo_clip(cr);
        cairo_append_path(cr, p);
        cairo_translate(cr, -half * 0.3, 0);
        cairo_append_path(cr, p);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        set(cr, pal::tongueShade, shade);
        cairo_fill(cr);
        cairo_restore(cr);
        return p;
    };
    auto groove = [&](double y0, double y1) {
        cairo_move_to(cr, c, y0);
        cairo_line_to(cr, c, y1);
        set(cr, pal::tongueShade);
        cairo_set_line_width(cr, 3.5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    };
    if (place == 0) {
        // Raised to the ridge: a column from the floor up behind the upper
        // teeth, its underside towards us, with the fold under its middle.
        const double lo = W * 0.78, hi = W * 0.42, up = j.top() - 2;
        cairo_move_to(cr, c - lo, bottom + 12);
        cairo_curve_to(cr, c - lo, bottom - H * 0.4, c - hi, up + H * 0.3, c - hi, up);
        cairo_line_to(cr, c + hi, up);
        cairo_curve_to(cr, c + hi, up + H * 0.3, c + lo, bottom - H * 0.4, c + lo, bottom + 12);
        cairo_close_path(cr);
        cairo_path_t* p = shaded(hex(0xE06A84), hi, 0.5);
        cairo_move_to(cr, c, bottom + 4);
        cairo_line_to(cr, c, j.corner() + H * 0.25);
        set(cr, hex(0xA8405A));
        cairo_set_line_width(cr, 2.5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        for (double side : {-1.0, 1.0}) {
            cairo_move_to(cr, c + side * 5, bottom);
            cairo_curve_to(cr, c + side * 9, bottom - H * 0.25, c + side * 8, j.corner() + H * 0.3, c + side * 6,
                           j.corner() + H * 0.15);
        }
        set(cr, hex(0x9E4A78), 0.55);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_append_path(cr, p);
        strokeOutline(cr, kTongueOutline);
        cairo_path_destroy(p);
    } else if (place == 1 || place == 2) {
        // Lying low and flat, or bunched up high with the tip down behind
        // the lower teeth, its back rounded towards us.
        const bool high = place == 2;
        const double rise = high ? H * 0.5 + 2 : H * 0.3 + 3, reach = high ? W * 0.95 : W * 0.88;
        const double power = high ? 0.45 : 0.8;
        jawCurve(cr, -1, 1, [&](double u, double& x, double& y) {
            x = c + u * reach, y = bottom - rise * std::pow(std::max(0.0, 1 - u * u), power);
        }, true);
        cairo_line_to(cr, c + reach, bottom + 12);
        cairo_line_to(cr, c - reach, bottom + 12);
        cairo_close_path(cr);
        cairo_path_t* p = shaded(pal::tongue, reach);
        groove(bottom - rise + 5, bottom - (high ? 6 : 2));
        if (high) {
            ellipse(cr, c - reach * 0.35, bottom - rise * 0.7, reach * 0.2, rise * 0.14);
            set(cr, pal::white, 0.3);
            cairo_fill(cr);
        }
        jawCurve(cr, -1, 1, [&](double u, double& x, double& y) {
            x = c + u * reach, y = bottom - rise * std::pow(std::max(0.0, 1 - u * u), power);
        }, true);
        strokeOutline(cr, kTongueOutline);
        cairo_path_destroy(p);
    } else {
        // Out of the mouth, lying over the lower teeth and the lower lip,
        // its round tip below the lip; it darkens where it goes into the mouth.
        const double half = std::min(W * 0.62, 22.0), from = j.corner() + H * 0.12;
        const double tip = bottom + j.lowerLip() + 12 - half;
        cairo_move_to(cr, c - half - 4, from);
        cairo_curve_to(cr, c - half - 2, bottom, c - half, tip - 6, c - half, tip);
        cairo_arc_negative(cr, c, tip, half, M_PI, 0);
        cairo_curve_to(cr, c + half, tip - 6, c + half + 2, bottom, c + half + 4, from);
        cairo_close_path(cr);
        cairo_path_t* p = shaded(pal::tongue, half);
        groove(from + 6, tip + half * 0.4);
        cairo_pattern_t* dark = cairo_pattern_create_linear(0, from, 0, from + 10);
        cairo_pattern_add_color_stop_rgba(dark, 0, pal::mouthInside.r, pal::mouthInside.g, pal::mouthInside.b, 0.85);
        cairo_pattern_add_color_stop_rgba(dark, 1, pal::mouthInside.r, pal::mouthInside.g, pal::mouthInside.b, 0);
        cairo_save(cr);
        cairo_append_path(cr, p);
        cairo_clip(cr);
        cairo_rectangle(cr, c - 40, from - 2, 80, 14);
        cairo_set_source(cr, dark);
        cairo_fill(cr);
        cairo_restore(cr);
        cairo_pattern_destroy(dark);
        // Outlined below the opening only: its root goes on into the mouth.
        cairo_save(cr);
        cairo_rectangle(cr, c - 60, from + 6, 120, 200);
        cairo_clip(cr);
        cairo_append_path(cr, p);
        strokeOutline(cr, kTongueOutline);
        cairo_restore(cr);
        cairo_path_destroy(p);
    }
    cairo_restore(cr);
}

// The lips pressed together, then rolled in ("mm"): the red thinning to a
// line, the skin round it bunching, the corners dimpled and the chin's
// muscle pushing up under the lower lip.
void pressedLips(cairo_t* cr, int step) {
    const double c = kJawCentre, line = kLine + 1;
    const bool rolled = step == 2;
    const double L = rolled ? 36 : 40;
    auto lip = [&](double thick) {
        return [=](double u, double& x, double& y) {
            x = c + u * L, y = line + thick * std::pow(std::max(0.0, 1 - u * u), 0.6);
        };
    };
    if (!rolled) {
        jawCurve(cr, -1, 1, lip(-5), true);
        jawCurve(cr, 1, -1, lip(7), false);
        cairo_close_path(cr);
        set(cr, pal::lips);
        cairo_fill_preserve(cr);
        strokeOutline(cr, 3);
    }
    // The meeting line, the whole line once the lips are rolled in.
    jawCurve(cr, -1, 1, [&](double u, double& x, double& y) { x = c + u * (L + 2), y = line; }, true);
    strokeOutline(cr, rolled ? kOutline : 2.5);
    set(cr, pal::skinShade);
    cairo_set_line_width(cr, 3.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double side : {-1.0, 1.0}) {
        // The dimples at the corners.
        double x = c + side * (L + 7);
        cairo_move_to(cr, x - side * 2, line - 7);
        cairo_curve_to(cr, x + side * 2, line - 3, x + side * 2, line + 3, x - side * 2, line + 7);
    }
    cairo_stroke(cr);
    // The skin bunched over and under the rolled-in lips; the chin's bump.
    if (rolled) {
        cairo_move_to(cr, c - 26, line - 9);
        cairo_curve_to(cr, c - 10, line - 13, c + 10, line - 13, c + 26, line - 9);
        cairo_move_to(cr, c - 24, line + 9);
        cairo_curve_to(cr, c - 10, line + 13, c + 10, line + 13, c + 24, line + 9);
        cairo_stroke(cr);
    }
    const double chin = rolled ? 22 : 20;
    cairo_move_to(cr, c - 18, line + chin);
    cairo_curve_to(cr, c - 8, line + chin + 5, c + 8, line + chin + 5, c + 18, line + chin);
    set(cr, pal::skinShade);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

// ================================================================ buttons
void buttonBase(cairo_t* cr, double size, bool on) {
    const double c = size / 2, r = size / 2 - 4;
    cairo_arc(cr, c, c + 2, r, 0, 2 * M_PI);
    set(cr, pal::outline, 0.25);
    cairo_fill(cr);
    cairo_arc(cr, c, c, r, 0, 2 * M_PI);
    set(cr, on ? pal::buttonOn : pal::button);
    cairo_fill_preserve(cr);
    set(cr, on ? pal::buttonOnDark : pal::buttonDark);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    if (on) {
        cairo_arc(cr, c, c, r - 7, 0, 2 * M_PI);
        set(cr, pal::white, 0.8);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    }
    // A soft highlight.
    ellipse(cr, c - r * 0.3, c - r * 0.45, r * 0.42, r * 0.2);
    set(cr, pal::white, 0.22);
    cairo_fill(cr);
    set(cr, pal::white);
    cairo_set_line_width(cr, 6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

enum class Icon { Menu, Reset, Symmetry, Tongue, Random, Record, Recording, Play, Stop, Home, Save, Library, Help };

void icon(cairo_t* cr, Icon which, double size) {
    const double c = size / 2;
    switch (which) {
    case Icon::Menu:
        for (int i = -1; i <= 1; ++i) {
            cairo_move_to(cr, c - 16, c + i * 11);
            cairo_line_to(cr, c + 16, c + i * 11);
        }
        cairo_stroke(cr);
        break;
    case Icon::Reset:
        cairo_arc(cr, c, c, 17, -M_PI * 0.35, M_PI * 1.45);
        cairo_stroke(cr);
        cairo_move_to(cr, c + 9, c - 23);
        cairo_line_to(cr, c + 19, c - 14);
        cairo_line_to(cr, c + 6, c - 9);
        cairo_close_path(cr);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        break;
    case Icon::Symmetry: {
        // Two mirrored half-discs either side of a dashed line.
        const double dash[] = {5, 4};
        cairo_set_line_width(cr, 3);
        cairo_set_dash(cr, dash, 2, 0);
        cairo_move_to(cr, c, c - 24);
        cairo_line_to(cr, c, c + 24);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
        for (double d : {-1.0, 1.0}) {
            cairo_move_to(cr, c + d * 6, c - 17);
            cairo_arc(cr, c + d * 6, c, 17, d > 0 ? -M_PI / 2 : M_PI / 2, d > 0 ? M_PI / 2 : 3 * M_PI / 2);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        break;
    }
    case Icon::Tongue:
        cairo_move_to(cr, c - 22, c - 8);
        cairo_curve_to(cr, c - 10, c + 2, c + 10, c + 2, c + 22, c - 8);
        cairo_stroke(cr);
        cairo_move_to(cr, c - 11, c - 3);
        cairo_line_to(cr, c - 11, c + 8);
        cairo_arc_negative(cr, c, c + 8, 11, M_PI, 0);
        cairo_line_to(cr, c + 11, c - 3);
        cairo_set_line_width(cr, 4.5);
        cairo_stroke_preserve(cr);
        set(cr, pal::white, 0.35);
        cairo_fill(cr);
        set(cr, pal::white);
        cairo_move_to(cr, c, c + 2);
        cairo_line_to(cr, c, c + 11);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        break;
    case Icon::Random: {
        roundedRect(cr, c - 20, c - 20, 40, 40, 9);
        cairo_set_line_width(cr, 5);
        cairo_stroke(cr);
        const double pips[][2] = {{-10, -10}, {10, -10}, {0, 0}, {-10, 10}, {10, 10}};
        for (auto& p : pips) {
            cairo_arc(cr, c + p[0], c + p[1], 4, 0, 2 * M_PI);
            cairo_fill(cr);
        }
        break;
    }
    case Icon::Record:
        cairo_arc(cr, c, c, 18, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_arc(cr, c, c, 13, 0, 2 * M_PI);
        set(cr, pal::recRed);
        cairo_fill(cr);
        break;
    case Icon::Recording:
    case Icon::Stop:
        roundedRect(cr, c - 14, c - 14, 28, 28, 4);
        cairo_fill(cr);
        break;
    case Icon::Play:
        cairo_move_to(cr, c - 10, c - 17);
        cairo_line_to(cr, c + 18, c);
        cairo_line_to(cr, c - 10, c + 17);
        cairo_close_path(cr);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        break;
    case Icon::Home:
        // A small house: the roof, the walls and a door.
        cairo_move_to(cr, c - 21, c - 1);
        cairo_line_to(cr, c, c - 20);
        cairo_line_to(cr, c + 21, c - 1);
        cairo_stroke(cr);
        cairo_move_to(cr, c - 14, c - 6);
        cairo_line_to(cr, c - 14, c + 18);
        cairo_line_to(cr, c + 14, c + 18);
        cairo_line_to(cr, c + 14, c - 6);
        cairo_set_line_width(cr, 5);
        cairo_stroke(cr);
        roundedRect(cr, c - 5, c + 4, 10, 14, 2);
        cairo_fill(cr);
        break;
    case Icon::Save:
        // An arrow going down into a tray.
        cairo_move_to(cr, c, c - 22);
        cairo_line_to(cr, c, c - 2);
        cairo_stroke(cr);
        cairo_move_to(cr, c - 11, c - 5);
        cairo_line_to(cr, c + 11, c - 5);
        cairo_line_to(cr, c, c + 8);
        cairo_close_path(cr);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 3);
        cairo_stroke(cr);
        cairo_move_to(cr, c - 20, c + 3);
        cairo_line_to(cr, c - 20, c + 18);
        cairo_line_to(cr, c + 20, c + 18);
        cairo_line_to(cr, c + 20, c + 3);
        cairo_set_line_width(cr, 5);
        cairo_stroke(cr);
        break;
    case Icon::Library:
        // A stack of three cards, the front one written on.
        cairo_set_line_width(cr, 4);
        for (int i = 2; i >= 0; --i) {
            roundedRect(cr, c - 19 + 6 * i, c - 8 - 6 * i, 28, 26, 4);
            set(cr, i ? pal::button : pal::white);
            cairo_fill_preserve(cr);
            set(cr, pal::white);
            cairo_stroke(cr);
        }
        set(cr, pal::button);
        cairo_set_line_width(cr, 3);
        for (int i = 0; i < 3; ++i) {
            cairo_move_to(cr, c - 13, c - 1 + 6 * i);
            cairo_line_to(cr, c + (i == 2 ? -2 : 3), c - 1 + 6 * i);
        }
        cairo_stroke(cr);
        break;
    case Icon::Help:
        // A question mark: a hook, its stem and the dot.
        cairo_arc(cr, c, c - 10, 11, M_PI, 2.4 * M_PI);
        cairo_line_to(cr, c, c + 7);
        cairo_stroke(cr);
        cairo_arc(cr, c, c + 18, 4.5, 0, 2 * M_PI);
        cairo_fill(cr);
        break;
    }
}

Sprite button(const std::string& name, int size, bool on, Icon which) {
    Placement pl;
    pl.hx = pl.hy = 0;
    pl.forceW = pl.forceH = size;
    return makeSprite(name,
                      [=](cairo_t* cr) {
                          buttonBase(cr, size, on);
                          icon(cr, which, size);
                      },
                      pl);
}

void recMark(cairo_t* cr) {
    // Handle at the bottom-right corner: everything lies up and left of (0, 0).
    roundedRect(cr, -96, -40, 90, 34, 17);
    set(cr, pal::white, 0.85);
    cairo_fill_preserve(cr);
    set(cr, pal::recRed);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    cairo_arc(cr, -78, -23, 9, 0, 2 * M_PI);
    cairo_fill(cr);
    useFont(cr, dejavu("DejaVuSans-Bold.ttf"), 19);
    cairo_move_to(cr, -63, -16);
    cairo_show_text(cr, "REC");
}

}  // namespace

std::vector<Sprite> sharedSprites() {
    std::vector<Sprite> out;
    Placement half;  // mouth, lips and teeth halves
    half.hx = 0;
    half.centreEdge = true;

    // -- smiling mouth: rows 0..3, steps 0..6, closed / tongue up / tongue down.
    auto smilePlacement = [&](const Smile& s) {
        Placement pl = half;
        // The lips' line at the centre lies 2.5 to 7.5 above the anchor; a
        // 2-texel border leaves all of it inside both the standing pictures
        // (bottom at the anchor) and the hanging ones (top 9.9 above it).
        pl.margin = 2;
        if (s.hanging())
            pl.fixedTop = kHangTop;
        else
            pl.hy = 1;
        return pl;
    };
    // The closed line with its corner dimple reaches furthest out, so it sets
    // each half's width, which sets how far the application moves the tongue.
    std::vector<std::vector<int>> widths(4, std::vector<int>(7));
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 7; ++k) {
            Smile s{row, k};
            widths[row][k] = makeSprite("", [=](cairo_t* cr) { smileLine(cr, s); }, smilePlacement(s)).w;
        }
    // The tongues up come out through the standing mouths, the tongues down
    // through the hanging ones.
    std::vector<SmileTongue> tongues;
    for (int k = 0; k < 4; ++k) {
        tongues.push_back(tongueThrough(widths, {0, 1}, k, 3));
        tongues.push_back(tongueThrough(widths, {2, 3}, k, -3));
    }
    const std::vector<std::vector<double>> cover = skinCovers(tongues);
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 7; ++k) {
            Smile s{row, k};
            const Placement pl = smilePlacement(s);
            const double through = cover[row][k];  // the tongue passing through, up or down
            Draw closed = [=](cairo_t* cr) { smileLine(cr, s); };
            Draw up = [=](cairo_t* cr) { openSmile(cr, s, s.hanging() ? 0 : through); };
            Draw down = [=](cairo_t* cr) { openSmile(cr, s, s.hanging() ? through : 0); };
            std::vector<Draw> all{closed, up, down};
            Placement closedPl = pl;
            closedPl.abut = true;
            out.push_back(makeSprite(key("sourire%d_0%d.png", row + 1, k + 1), closed, closedPl, all));
            if (out.back().w != widths[row][k]) {
                std::fprintf(stderr, "art_generator: an open mouth reaches beyond its closed line\n");
                std::exit(1);
            }
            out.push_back(makeSprite(key("sourire%d_0%db.png", row + 1, k + 1), up, pl, all));
            out.push_back(makeSprite(key("sourire%d_0%dc.png", row + 1, k + 1), down, pl, all));
        }
    for (int k = 0; k < 7; ++k) {
        Placement pl = half;
        pl.hy = 1;
        out.push_back(makeSprite(key("sourire2_0%dd.png", k + 1), [=](cairo_t* cr) { cornerSmile(cr, k); }, pl));
    }
    {
        Placement pl = half;
        pl.hy = 1;
        out.push_back(makeSprite("culdepoule.png", pursed, pl));
    }
    {
        Placement pl = half;
        pl.hy = 0.6;
        out.push_back(makeSprite("joues1.png", [](cairo_t* cr) { fishMouth(cr, 21, true); }, pl));
        out.push_back(makeSprite("joues3.png", [](cairo_t* cr) { fishMouth(cr, 28, false); }, pl));
        pl.hy = 0.25;
        out.push_back(makeSprite("joues4.png", [](cairo_t* cr) { pressedMouth(cr, 34, 2); }, pl));
        pl.hy = 0.54;
        out.push_back(makeSprite("joues5.png", [](cairo_t* cr) { pressedMouth(cr, 44, 2); }, pl));
    }
    {
        Placement pl;
        pl.hx = 0;
        pl.hy = 1;
        out.push_back(makeSprite("joues2.png", [](cairo_t* cr) { puffedCheek(cr, false); }, pl));
    }

    // -- lips: three layers, rows 0 and 7, steps 0..6.
    {
        const char* backs[] = {"path4882.png", "path4890.png", "path4898.png", "path4906.png",
                               "path4914.png", "path4922.png", "path4930.png", "path5245.png",
                               "path5233.png", "path5221.png", "path5209.png", "path5196.png",
                               "path5184.png", "path5171.png"};
        for (int row = 0; row < 2; ++row)
            for (int k = 0; k < 7; ++k) {
                Pout p = pout(row, k);
                Placement pl = half;
                pl.hy = 0.5;
                // The lips' clipping box reaches 2 texels into the right picture's
                // border: a 2-texel border keeps the skin ground under all of it.
                pl.margin = 2;
                pl.overlap = 3;
                Draw back = [=](cairo_t* cr) { lipsBack(cr, p); };
                Draw front = [=](cairo_t* cr) { lipsFront(cr, p); };
                Draw upper = [=](cairo_t* cr) { lipsUpper(cr, p); };
                std::vector<Draw> all{back, front, upper};
                int base = row == 0 ? 4930 : 5930;
                out.push_back(makeSprite(key("path%da.png", base + k), front, pl, all));
                out.push_back(makeSprite(backs[row * 7 + k], back, pl, all));
                out.push_back(makeSprite(key("path%db.png", base + k), upper, pl, all));
            }
    }

    // -- teeth.
    for (int row = 0; row < 2; ++row)
        for (int k = 0; k < 7; ++k) {
            Placement pl = half;
            pl.hy = 0.5;
            Grin g{row, k};
            out.push_back(makeSprite(key("dents%d_0%d.png", row + 1, k + 1), [=](cairo_t* cr) { drawTeeth(cr, g); }, pl));
        }
    {
        Placement pl = half;
        pl.hy = 0.5;
        out.push_back(makeSprite("enrond.png", roundMouth, pl));
    }

    // -- tongue: shapes 1..8 by steps 1..5, with the handles the application sets.
    for (int n = 1; n <= 8; ++n)
        for (int k = 1; k <= 5; ++k) {
            int i = 5 * (n - 1) + (k - 1);
            Placement pl;
            pl.hx = kTongueHandleX[i];
            pl.hy = kTongueHandleY[i];
            Draw d;
            bool upward = (n == 1 || n == 2 || n == 5 || n == 6);
            double dir = upward ? -1 : 1;
            if (n <= 4 && k == 5) {
                // Out of the corner of the mouth, drawn in front of it: the corner
                // lies 22 right of and 13 above the tongue's point.
                double len = (n == 1 || n == 4) ? 52 : 40;
                d = [=](cairo_t* cr) {
                    cairo_translate(cr, 18, -13);
                    cairo_rotate(cr, M_PI / 2 + (dir < 0 ? -0.4 : 0.4));
                    drawTongue(cr, TongueShape{len, 0, 0, 15}, -1);
                };
            } else if (n <= 4) {
                const SmileTongue& t = tongues[2 * (k - 1) + (upward ? 0 : 1)];
                d = [=](cairo_t* cr) { smileTongue(cr, n, t, cover); };
            } else {
                // With the pouting lips: out of their opening, the tip turning
                // to the side; the tongues up stop short of the nose.
                const double len = n == 5 ? 36 : n == 6 ? 28 : n == 7 ? 40 : 54;
                const TongueShape t{len, 8.0 * (k - 1), 4.0 * (k - 1), 20};
                d = [=](cairo_t* cr) { lipsTongue(cr, t, dir); };
                // The face screen takes hold of the tongue anywhere in its
                // picture: a short tongue up keeps the picture of a longer one.
                if (upward) pl.forceH = 86;
            }
            out.push_back(makeSprite(key("langue%d_0%d.png", n, k), d, pl));
        }
    {
        Placement pl;
        pl.hx = 0.5;
        pl.hy = 0;
        out.push_back(makeSprite("langue0.png",
                                 [](cairo_t* cr) {
                                     // Low in the lips' opening, under the dark inside.
                                     cairo_translate(cr, 0, kPoutDrop);
                                     ellipse(cr, 0, 9, 20, 6);
                                     fillStroke(cr, pal::tongue, 3);
                                     cairo_move_to(cr, 0, 5);
                                     cairo_line_to(cr, 0, 10);
                                     set(cr, pal::tongueShade);
                                     cairo_set_line_width(cr, 3);
                                     cairo_stroke(cr);
                                 },
                                 pl));
    }
    {
        Placement pl;
        pl.hx = pl.hy = 0;
        // Drawn as a mirrored pair from the mouth's centre line, with its third
        // row on a border row of the mouth half's picture: the second from the
        // top with the tongue down, the second from the bottom with it up.
        // Nothing needs filling there (the tongue's root stays behind the lips'
        // line and comes out through the mouth's own window), so it is a sliver
        // of skin on plain skin, 22 out from the centre line: the nose comes down
        // to the top of the first row's pictures there.
        pl.centreEdge = true;
        pl.margin = 2;
        pl.forceW = 26;
        pl.forceH = 5;
        out.push_back(makeSprite("carre_rose.png",
                                 [](cairo_t* cr) {
                                     cairo_rectangle(cr, 22, 0, 10, 10);
                                     set(cr, pal::skin);
                                     cairo_fill(cr);
                                 },
                                 pl));
    }

    // -- eyebrow, creases.
    out.push_back(makeSprite("path5082.png", drawBrow, Placement{}));
    {
        Placement pl;
        pl.hx = 0;
        pl.hy = 1;
        auto crease = [](cairo_t* cr, double x, double dir) {
            cairo_move_to(cr, x, -58);
            cairo_curve_to(cr, x + dir * 9, -50, x + dir * 10, -40, x + dir * 4, -30);
            set(cr, pal::skinShade);
            cairo_set_line_width(cr, 4.5);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_stroke(cr);
        };
        // At (490, 567) and (132, 566) of the face: creases either side of the pout.
        out.push_back(makeSprite("boutdevisage1.png", [=](cairo_t* cr) { crease(cr, 8, 1); }, pl));
        out.push_back(makeSprite("boutdevisage2.png", [=](cairo_t* cr) { crease(cr, 164, -1); }, pl));
    }

    // -- buttons and the recording mark.
    out.push_back(button("boutonmenu1.png", 80, false, Icon::Menu));
    out.push_back(button("boutonmenu2.png", 80, true, Icon::Menu));
    out.push_back(button("rect4609", 80, false, Icon::Reset));
    out.push_back(button("rect4621", 80, false, Icon::Symmetry));
    out.push_back(button("rect4622", 80, true, Icon::Symmetry));
    out.push_back(button("rect4607", 80, false, Icon::Tongue));
    out.push_back(button("rect4608", 80, true, Icon::Tongue));
    out.push_back(button("boutonrnd", 80, false, Icon::Random));
    out.push_back(button("boutonrec1.png", 80, false, Icon::Record));
    out.push_back(button("boutonrec2.png", 80, true, Icon::Recording));
    out.push_back(button("boutonplay1.png", 80, false, Icon::Play));
    out.push_back(button("boutonplay2.png", 80, true, Icon::Stop));
    {
        Placement pl;
        pl.hx = pl.hy = 1;
        out.push_back(makeSprite("rec.png", recMark, pl));
    }
    return out;
}

// The program's own pictures, apart from the art set's four atlases so that
// any set of those runs: the buttons added after them, and the jaw's poses.
std::vector<Sprite> programSprites() {
    std::vector<Sprite> out;
    out.push_back(button("boutonmaison.png", 80, false, Icon::Home));
    out.push_back(button("boutonsauver.png", 80, false, Icon::Save));
    out.push_back(button("boutonbiblio.png", 80, false, Icon::Library));
    out.push_back(button("boutonaide.png", 80, false, Icon::Help));

    Placement pl;
    pl.hx = kPoseHandleX;
    pl.hy = kPoseHandleY;
    for (int step = 1; step <= 3; ++step) {
        const Jaw j{step};
        Draw back = [=](cairo_t* cr) { openMouthBack(cr, j); };
        Draw teeth = [=](cairo_t* cr) { openMouthTeeth(cr, j); };
        std::vector<Draw> tongues;
        for (int place = 0; place < 4; ++place)
            tongues.push_back([=](cairo_t* cr) {
                cairo_translate(cr, 0, kOpenTongueRise);
                openMouthTongue(cr, j, place);
            });
        // The layers of a step share one size, and so do its tongues, which
        // the face screen takes hold of anywhere in their picture.
        out.push_back(makeSprite(key(kOpenMouthBack, step), back, pl, {back, teeth}));
        out.push_back(makeSprite(key(kOpenMouthTeeth, step), teeth, pl, {back, teeth}));
        for (int place = 0; place < 4; ++place)
            out.push_back(makeSprite(key(kOpenMouthTongue, step, place), tongues[place], pl, tongues));
    }
    for (int step = 1; step <= 2; ++step)
        out.push_back(makeSprite(key(kPressedLips, step), [=](cairo_t* cr) { pressedLips(cr, step); }, pl));

    {
        Placement middle;
        middle.hx = kMiddleHandleX;
        middle.hy = kMiddleHandleY;
        middle.forceW = 12;
        middle.forceH = 18;
        middle.margin = 2;
        out.push_back(makeSprite(kSmileMiddle, smileMiddle, middle));
    }
    {
        Placement corner;
        corner.hx = 0;
        corner.centreEdge = true;
        corner.abut = true;
        corner.margin = 2;
        corner.fixedTop = kCornerTop;
        for (int step = 0; step < 7; ++step)
            out.push_back(makeSprite(key(kCornerMouth, step + 1), [=](cairo_t* cr) { cornerParted(cr, step); }, corner));
        Placement tongue;
        tongue.hx = 0;
        tongue.fixedTop = kCornerTop;
        for (int n = 1; n <= 4; ++n)
            out.push_back(makeSprite(key(kCornerTongue, n), [=](cairo_t* cr) { cornerTongue(cr, n); }, tongue));
    }
    {
        Placement held;
        held.hx = 0.5;
        held.forceW = 64;  // even: the tongue's point falls on a texel's edge
        held.fixedTop = kHeldTop;
        for (int depth = 0; depth < 2; ++depth)
            for (int side = 0; side <= 4; ++side)
                out.push_back(makeSprite(key(kHeldTongue, depth, side), [=](cairo_t* cr) { heldTongue(cr, depth, side); },
                                         held));
    }
    {
        Placement cheek;
        cheek.hx = 0;
        cheek.hy = 1;
        out.push_back(makeSprite(kPuffedCheek, [](cairo_t* cr) { puffedCheek(cr, true); }, cheek));
    }
    return out;
}

}  // namespace art
