// The two children: head, hair, ears and nose ("visage1.png"), the three eye
// steps, the eyebrow, the title portraits and the title.
#include <cmath>

#include "art.h"

namespace art {

const Character& girl() {
    static const Character c{"girl",       true,          pal::girlIris,    pal::girlHair,
                             pal::girlHairShade, hex(0xF2839B), hex(0xD9687F), hex(0xFFE6EC)};
    return c;
}
const Character& boy() {
    static const Character c{"boy",        false,         pal::boyIris,     pal::boyHair,
                             pal::boyHairShade, hex(0x58B38A), hex(0x3F9670), hex(0xDDF0FF)};
    return c;
}

void headPath(cairo_t* cr) {
    cairo_move_to(cr, 392, 116);
    cairo_curve_to(cr, 562, 116, 686, 240, 686, 410);
    cairo_curve_to(cr, 686, 566, 572, 672, 392, 672);
    cairo_curve_to(cr, 212, 672, 98, 566, 98, 410);
    cairo_curve_to(cr, 98, 240, 222, 116, 392, 116);
    cairo_close_path(cr);
}

void headShadeTransform(cairo_t* cr) {
    cairo_translate(cr, 392 - 16, 394 - 16);
    cairo_scale(cr, 0.955, 0.96);
    cairo_translate(cr, -392, -394);
}

namespace {

// Fills the current path with the hair colour and gives it its one shade
// tone: everything outside the circle (cx, cy, r), the lower right of the
// cap. Returns the path, for the outline drawn over the strands.
cairo_path_t* fillHair(cairo_t* cr, const Character& c, double cx, double cy, double r) {
    cairo_path_t* hair = cairo_copy_path(cr);
    set(cr, c.hair);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_append_path(cr, hair);
    cairo_clip(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_rectangle(cr, 0, 0, kFaceW, kFaceH);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    set(cr, c.hairShade);
    cairo_fill(cr);
    cairo_restore(cr);
    return hair;
}

void ear(cairo_t* cr, double cx, double dir) {
    cairo_save(cr);
    cairo_translate(cr, cx, 372);
    cairo_scale(cr, 44, 56);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    fillStroke(cr, pal::skin);
    // The inner fold, one shade.
    cairo_move_to(cr, cx + dir * 14, 340);
    cairo_curve_to(cr, cx + dir * 30, 356, cx + dir * 26, 396, cx + dir * 6, 404);
    set(cr, pal::skinShade);
    cairo_set_line_width(cr, 9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

void shirtAndNeck(cairo_t* cr, const Character& c) {
    // Shoulders and shirt, cut by the picture's lower edge.
    cairo_move_to(cr, 96, 812);
    cairo_curve_to(cr, 110, 730, 200, 700, 318, 688);
    cairo_line_to(cr, 466, 688);
    cairo_curve_to(cr, 584, 700, 674, 730, 688, 812);
    cairo_close_path(cr);
    fillStroke(cr, c.shirt);
    // Neck with the chin's shadow.
    cairo_move_to(cr, 330, 600);
    cairo_line_to(cr, 330, 700);
    cairo_curve_to(cr, 350, 736, 434, 736, 454, 700);
    cairo_line_to(cr, 454, 600);
    cairo_close_path(cr);
    fillStroke(cr, pal::skin);
    cairo_move_to(cr, 330, 640);
    cairo_curve_to(cr, 360, 690, 424, 690, 454, 640);
    cairo_line_to(cr, 454, 600);
    cairo_line_to(cr, 330, 600);
    cairo_close_path(cr);
    set(cr, pal::skinShade);
    cairo_fill(cr);
    // Collar.
    cairo_move_to(cr, 318, 688);
    cairo_curve_to(cr, 340, 752, 444, 752, 466, 688);
    set(cr, c.shirtShade);
    cairo_set_line_width(cr, 14);
    cairo_stroke_preserve(cr);
    strokeOutline(cr, 4);
}

void girlBunches(cairo_t* cr, const Character& c) {
    for (double dir : {-1.0, 1.0}) {
        double cx = kCentreX + dir * 300;
        cairo_move_to(cr, cx - dir * 40, 190);
        cairo_curve_to(cr, cx + dir * 70, 150, cx + dir * 110, 250, cx + dir * 60, 330);
        cairo_curve_to(cr, cx + dir * 30, 380, cx - dir * 20, 350, cx - dir * 10, 300);
        cairo_close_path(cr);
        fillStroke(cr, c.hair);
        cairo_move_to(cr, cx + dir * 10, 200);
        cairo_curve_to(cr, cx + dir * 60, 220, cx + dir * 64, 280, cx + dir * 40, 320);
        set(cr, c.hairShade);
        cairo_set_line_width(cr, 6);
        cairo_stroke(cr);
        // Hair tie.
        cairo_arc(cr, cx - dir * 30, 214, 17, 0, 2 * M_PI);
        fillStroke(cr, hex(0x5CC2A8), 4);
    }
}

void girlHair(cairo_t* cr, const Character& c) {
    cairo_move_to(cr, 100, 350);
    cairo_curve_to(cr, 74, 170, 200, 48, 392, 48);
    cairo_curve_to(cr, 584, 48, 710, 170, 684, 350);
    cairo_curve_to(cr, 668, 300, 650, 250, 622, 214);
    // A fringe of soft scallops, above the eyebrows' highest position.
    const double xs[] = {622, 546, 470, 392, 314, 238, 162};
    for (int i = 0; i + 1 < 7; ++i) {
        double a = xs[i], b = xs[i + 1];
        cairo_curve_to(cr, a - 10, 228, b + 14, 232, b, 200 + (i % 2) * 6);
    }
    cairo_curve_to(cr, 134, 250, 114, 300, 100, 350);
    cairo_close_path(cr);
    cairo_path_t* hair = fillHair(cr, c, 360, 120, 270);
    // Strands.
    set(cr, c.hairShade);
    cairo_set_line_width(cr, 6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double x : {300.0, 392.0, 484.0}) {
        cairo_move_to(cr, x + 10, 80);
        cairo_curve_to(cr, x - 20, 120, x - 10, 170, x - 26, 205);
        cairo_stroke(cr);
    }
    cairo_append_path(cr, hair);
    strokeOutline(cr);
    cairo_path_destroy(hair);
}

void boyHair(cairo_t* cr, const Character& c) {
    cairo_move_to(cr, 108, 330);
    cairo_curve_to(cr, 86, 160, 206, 62, 392, 62);
    cairo_curve_to(cr, 578, 62, 698, 160, 676, 330);
    cairo_curve_to(cr, 664, 290, 646, 246, 614, 208);
    // Short pointed fringe.
    const double xs[] = {614, 552, 490, 428, 366, 304, 240, 172};
    for (int i = 0; i + 1 < 8; ++i) {
        double a = xs[i], b = xs[i + 1];
        double tipY = 214 + (i % 3) * 6;
        cairo_curve_to(cr, a - 8, 196, (a + b) / 2 + 6, tipY - 10, (a + b) / 2, tipY);
        cairo_curve_to(cr, (a + b) / 2 - 4, tipY - 12, b + 8, 190, b, 188);
    }
    cairo_curve_to(cr, 142, 236, 122, 282, 108, 330);
    cairo_close_path(cr);
    cairo_path_t* hair = fillHair(cr, c, 360, 130, 262);
    cairo_append_path(cr, hair);
    strokeOutline(cr);
    cairo_path_destroy(hair);
    // The tuft on top: one with the hair it grows from, so its outline runs
    // only round its free edge, not across its base.
    auto tuft = [&]() {
        cairo_move_to(cr, 350, 70);
        cairo_curve_to(cr, 340, 40, 360, 20, 388, 14);
        cairo_curve_to(cr, 380, 34, 392, 44, 404, 40);
        cairo_curve_to(cr, 414, 28, 432, 22, 450, 26);
        cairo_curve_to(cr, 436, 40, 436, 58, 440, 72);
    };
    tuft();
    cairo_close_path(cr);
    set(cr, c.hair);
    cairo_fill(cr);
    cairo_save(cr);
    // Clear of the hair's own outline, where the tuft joins it.
    cairo_rectangle(cr, 0, 0, kFaceW, 62 - kOutline / 2);
    cairo_clip(cr);
    tuft();
    strokeOutline(cr);
    cairo_restore(cr);
}

}  // namespace

void drawFace(cairo_t* cr, const Character& c) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    shirtAndNeck(cr, c);
    if (c.girl) girlBunches(cr, c);
    ear(cr, 698, 1);
    ear(cr, 86, -1);
    // The hair behind the head fills any gap between the fringe's sides and the head.
    cairo_save(cr);
    cairo_translate(cr, 392, 300);
    cairo_scale(cr, 1.0, 1.0);
    cairo_arc(cr, 0, 0, 290, M_PI, 2 * M_PI);
    cairo_restore(cr);
    cairo_close_path(cr);
    set(cr, c.hairShade);
    cairo_fill(cr);
    // Head with one shade tone along the lower right edge.
    headPath(cr);
    set(cr, pal::skin);
    cairo_fill(cr);
    cairo_save(cr);
    headPath(cr);
    cairo_clip(cr);
    cairo_new_path(cr);
    headPath(cr);
    cairo_save(cr);
    headShadeTransform(cr);
    headPath(cr);
    cairo_restore(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    set(cr, pal::skinShade);
    cairo_fill(cr);
    cairo_restore(cr);
    headPath(cr);
    strokeOutline(cr);
    // Blush, kept clear of the mouth's widest corners.
    for (double cx : {224.0, 560.0}) {
        cairo_save(cr);
        cairo_translate(cr, cx, 468);
        cairo_scale(cr, 46, 24);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        set(cr, pal::blush, 0.45);
        cairo_fill(cr);
    }
    // Nose: a soft rounded tip.
    cairo_move_to(cr, 374, 432);
    cairo_curve_to(cr, 366, 456, 384, 462, 392, 460);
    cairo_curve_to(cr, 400, 462, 418, 456, 410, 432);
    set(cr, pal::skinShade);
    cairo_set_line_width(cr, 7);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke_preserve(cr);
    set(cr, pal::outline, 0.55);
    cairo_set_line_width(cr, 3.5);
    cairo_stroke(cr);
    cairo_arc(cr, 396, 442, 5, 0, 2 * M_PI);
    set(cr, pal::white, 0.6);
    cairo_fill(cr);
    if (c.girl)
        girlHair(cr, c);
    else
        boyHair(cr, c);
}

void drawEye(cairo_t* cr, const Character& c, int step) {
    const double rx = 44, ry = 38;
    auto eyePath = [&] {
        cairo_save(cr);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
    };
    // Three lashes on the outer half of the upper lid (the girl only).
    auto lashes = [&](bool half) {
        if (!c.girl) return;
        set(cr, pal::outline);
        cairo_set_line_width(cr, 4.5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int i = 0; i < 3; ++i) {
            double a = (-40 + i * 16) * M_PI / 180;
            double px = rx * std::cos(a), py = half ? -4 - 2.0 * (2 - i) : ry * std::sin(a);
            double dx = 0.55 + 0.2 * i, dy = -1.0 + 0.25 * i;
            double n = std::hypot(dx, dy);
            dx /= n;
            dy /= n;
            cairo_move_to(cr, px, py);
            cairo_curve_to(cr, px + dx * 6, py + dy * 6, px + dx * 12 + 3, py + dy * 12,
                           px + dx * 15 + 5, py + dy * 14 + 2);
            cairo_stroke(cr);
        }
    };
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (step == 2) {
        // Closed: one curved lash line.
        cairo_move_to(cr, -40, 2);
        cairo_curve_to(cr, -20, 22, 20, 22, 40, 2);
        strokeOutline(cr, 6.5);
        if (c.girl) {
            set(cr, pal::outline);
            cairo_set_line_width(cr, 4.5);
            for (int i = 0; i < 3; ++i) {
                double x = 18 + i * 9, y = 14 - i * 4;
                cairo_move_to(cr, x, y);
                cairo_line_to(cr, x + 8, y + 10);
                cairo_stroke(cr);
            }
        }
        return;
    }
    eyePath();
    set(cr, pal::white);
    cairo_fill(cr);
    cairo_save(cr);
    eyePath();
    cairo_clip(cr);
    cairo_arc(cr, 0, 4, 25, 0, 2 * M_PI);
    set(cr, c.iris);
    cairo_fill_preserve(cr);
    set(cr, pal::outline, 0.5);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_arc(cr, 0, 4, 11, 0, 2 * M_PI);
    set(cr, hex(0x2A1A18));
    cairo_fill(cr);
    cairo_arc(cr, -8, -5, 7, 0, 2 * M_PI);
    set(cr, pal::white);
    cairo_fill(cr);
    cairo_arc(cr, 9, 12, 3.2, 0, 2 * M_PI);
    cairo_fill(cr);
    if (step == 1) {
        // Half closed: the lid comes down to the pupil.
        cairo_move_to(cr, -50, -4);
        cairo_curve_to(cr, -20, -10, 20, -10, 50, -4);
        cairo_line_to(cr, 50, -50);
        cairo_line_to(cr, -50, -50);
        cairo_close_path(cr);
        set(cr, pal::skin);
        cairo_fill(cr);
        cairo_move_to(cr, -50, -46);
        cairo_line_to(cr, 50, -46);
        cairo_line_to(cr, 50, -4);
        cairo_curve_to(cr, 20, -10, -20, -10, -50, -4);
        cairo_close_path(cr);
        set(cr, pal::skinShade, 0.7);
        cairo_fill(cr);
    }
    cairo_restore(cr);
    eyePath();
    strokeOutline(cr, 4.5);
    if (step == 1) {
        cairo_move_to(cr, -rx + 1, -3);
        cairo_curve_to(cr, -20, -10, 20, -10, rx - 1, -3);
        strokeOutline(cr, 6.5);
        lashes(true);
    } else {
        // The upper lid line, heavier than the rest.
        cairo_save(cr);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, M_PI * 1.12, M_PI * 1.88);
        cairo_restore(cr);
        strokeOutline(cr, 7);
        lashes(false);
    }
}

void drawBrow(cairo_t* cr) {
    // One arched stroke, thicker at the inner end (left of the right brow).
    cairo_move_to(cr, -46, 10);
    cairo_curve_to(cr, -30, -10, 14, -16, 46, 0);
    cairo_curve_to(cr, 48, 2, 47, 6, 44, 6);
    cairo_curve_to(cr, 14, -4, -24, 4, -38, 18);
    cairo_curve_to(cr, -46, 22, -52, 16, -46, 10);
    cairo_close_path(cr);
    set(cr, pal::brow);
    cairo_fill_preserve(cr);
    set(cr, pal::outline, 0.8);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

std::vector<Sprite> characterSprites(const Character& c) {
    std::vector<Sprite> out;
    Placement face;
    face.forceW = kFaceW;
    face.forceH = kFaceH;
    out.push_back(makeSprite(
        "visage1.png",
        [&](cairo_t* cr) {
            cairo_translate(cr, -kFaceW / 2.0, -kFaceH / 2.0);
            drawFace(cr, c);
        },
        face));
    const char* eyes[] = {"path5081.png", "g4534.png", "g4528.png"};
    for (int i = 0; i < 3; ++i)
        out.push_back(makeSprite(eyes[i], [&, i](cairo_t* cr) { drawEye(cr, c, i); }, Placement{}));
    return out;
}

void drawSmilingFace(cairo_t* cr, const Character& c, double eyeScale) {
    drawFace(cr, c);
    for (double dir : {1.0, -1.0}) {
        cairo_save(cr);
        cairo_translate(cr, kCentreX + dir * 98, 358);
        cairo_scale(cr, dir * eyeScale, eyeScale);
        drawEye(cr, c, 0);
        cairo_restore(cr);
        // Larger eyes would reach the brows.
        if (eyeScale <= 1) {
            cairo_save(cr);
            cairo_translate(cr, kCentreX + dir * 96, 258);
            cairo_scale(cr, dir, 1);
            cairo_rotate(cr, -6 * M_PI / 180);
            drawBrow(cr);
            cairo_restore(cr);
        }
        cairo_save(cr);
        cairo_translate(cr, kCentreX + (dir > 0 ? 0 : 2), 506);
        cairo_scale(cr, dir, 1);
        drawSmile(cr, 0, 2);
        cairo_restore(cr);
    }
}

// ---------------------------------------------------------------- title screen
namespace {

void portrait(cairo_t* cr, const Character& c) {
    // A card 300 x 380 (the title button's size) with the child's bust.
    const double W = 300, H = 380;
    cairo_translate(cr, -W / 2, -H / 2);
    roundedRect(cr, 6, 6, W - 12, H - 12, 34);
    cairo_path_t* card = cairo_copy_path(cr);
    set(cr, c.card);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_append_path(cr, card);
    cairo_clip(cr);
    // Small enough for the girl's bunches to stay inside the card's frame.
    cairo_translate(cr, W / 2, 48);
    cairo_scale(cr, 0.36, 0.36);
    cairo_translate(cr, -kCentreX, 0);
    drawSmilingFace(cr, c);
    cairo_restore(cr);
    cairo_append_path(cr, card);
    strokeOutline(cr, 6);
    cairo_path_destroy(card);
}

void title(cairo_t* cr) {
    // "Grimalou" in round, bright letters; the handle is the bottom-right corner.
    const char* word = "Grimalou";
    const Rgb colours[] = {hex(0xE8604C), hex(0xF39B3A), hex(0xE9B949), hex(0x6DBE6A),
                           hex(0x4AB3C2), hex(0x5B8FC7), hex(0x9A72C9), hex(0xE2729E)};
    useFont(cr, dejavu("DejaVuSans-Bold.ttf"), 112);
    double total = 0;
    for (int i = 0; word[i]; ++i) {
        char s[2] = {word[i], 0};
        cairo_text_extents_t te;
        cairo_text_extents(cr, s, &te);
        total += te.x_advance - 2;
    }
    double x = -total - 16, base = -40;
    for (int i = 0; word[i]; ++i) {
        char s[2] = {word[i], 0};
        cairo_text_extents_t te;
        cairo_text_extents(cr, s, &te);
        cairo_save(cr);
        double bob = (i % 2 ? -8 : 4);
        cairo_translate(cr, x + te.x_advance / 2, base + bob);
        cairo_rotate(cr, (i % 2 ? 4 : -4) * M_PI / 180);
        cairo_move_to(cr, -te.x_advance / 2, 0);
        cairo_text_path(cr, s);
        cairo_restore(cr);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        set(cr, pal::outline);
        cairo_set_line_width(cr, 12);
        cairo_stroke_preserve(cr);
        set(cr, colours[i]);
        cairo_fill(cr);
        x += te.x_advance - 2;
    }
}

}  // namespace

std::vector<Sprite> titleSprites() {
    std::vector<Sprite> out;
    Placement card;
    card.forceW = 300;
    card.forceH = 380;
    out.push_back(makeSprite("fille.png", [](cairo_t* cr) { portrait(cr, girl()); }, card));
    out.push_back(makeSprite("gars.png", [](cairo_t* cr) { portrait(cr, boy()); }, card));
    Placement br;
    br.hx = 1;
    br.hy = 1;
    out.push_back(makeSprite("titre.png", title, br));
    return out;
}

}  // namespace art
