// Shared types of the art generator: sprites drawn from vector shapes, the
// palette, the atlases and the review sheets.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/face/pose_pictures.h"
#include "app/face/tongue_handles.h"

namespace art {

// ---------------------------------------------------------------- colours
struct Rgb {
    double r, g, b;
};
Rgb hex(uint32_t rgb);
void set(cairo_t* cr, Rgb c, double alpha = 1.0);

namespace pal {
extern const Rgb skin, skinShade, blush, outline, lips, lipsShade, mouthInside, tongue, tongueShade,
    teeth, teethShade, white, brow, girlIris, boyIris, girlHair, girlHairShade, boyHair,
    boyHairShade, button, buttonDark, buttonOn, buttonOnDark, recRed;
}

// Stroke widths in face units (the 1280 x 800 virtual screen).
constexpr double kOutline = 5.0;      // the character's contour
constexpr double kThinOutline = 3.5;  // small parts: eyes, teeth, lips inside

// ---------------------------------------------------------------- sprites
// A sprite picture: premultiplied ARGB32 pixels (cairo's layout), row stride w.
struct Sprite {
    std::string name;
    int w = 0, h = 0;
    std::vector<uint32_t> px;
};

using Draw = std::function<void(cairo_t*)>;

// Transparent border kept inside every picture (except a half's centre edge).
constexpr int kMargin = 3;

// Where a sprite's handle lies. Drawing functions work in "anchor" coordinates:
// the handle point is (0, 0), y grows downwards, units are screen units.
struct Placement {
    double hx = 0.5, hy = 0.5;
    // Mouth, lips and teeth halves: the centre-line edge (x = 0) is the
    // picture's left edge and keeps no margin, so that the mirrored half meets it.
    bool centreEdge = false;
    // Columns at the centre edge that the mirrored half covers too (it is
    // anchored this many units further right). Their partly covered texels
    // are thinned so that two layers of them give the coverage of one.
    int overlap = 2;
    // Instead of thinning: the halves abut in the middle of the overlap, the
    // first column giving its soft rims up to the other half's second column,
    // so that the pair stays even when filtering mixes texels (other window
    // sizes than 1:1). For a line that runs straight across the centre.
    bool abut = false;
    // Hanging mouth rows: the picture's top edge lies this far above the anchor
    // (the application computes the handle from the picture's height).
    double fixedTop = -1;
    // Transparent border kept inside the picture.
    int margin = kMargin;
    // Force the picture size (0: fit the drawing).
    int forceW = 0, forceH = 0;
};


// Renders `draw` into a picture placed by `pl`. `extentsOf` (if any) decides the
// picture size instead of `draw`, so that several layers of one step share a size.
Sprite makeSprite(const std::string& name, const Draw& draw, const Placement& pl,
                  const std::vector<Draw>& extentsOf = {});

// ---------------------------------------------------------------- shapes
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void strokeOutline(cairo_t* cr, double width = kOutline);
void fillStroke(cairo_t* cr, Rgb fill, double width = kOutline);

// ---------------------------------------------------------------- fonts
// Cairo font faces loaded from the DejaVu files themselves (not through the
// font configuration), so that every machine draws the same glyphs.
cairo_font_face_t* fontFace(const std::string& file);
void useFont(cairo_t* cr, const std::string& file, double size);
std::string dejavu(const char* file);

// ---------------------------------------------------------------- characters
struct Character {
    std::string id;  // "girl" or "boy"
    bool girl;
    Rgb iris, hair, hairShade, shirt, shirtShade, card;
};
const Character& girl();
const Character& boy();

// Face picture geometry (face units from its top-left corner).
constexpr int kFaceW = 784, kFaceH = 800;
constexpr double kCentreX = 392;
void headPath(cairo_t* cr);  // the head's contour, shared by both children
// The face's one shade tone lies along its lower right edge: the part of the
// head that this transform (in the face's coordinates) moves the head off.
void headShadeTransform(cairo_t* cr);

// Sprite sets.
std::vector<Sprite> characterSprites(const Character& c);  // images1a / images1b
std::vector<Sprite> sharedSprites();                       // images2
std::vector<Sprite> titleSprites();                        // images3
std::vector<Sprite> programSprites();                      // images4

// Pieces reused by the title portraits (drawn in face coordinates).
void drawFace(cairo_t* cr, const Character& c);
void drawEye(cairo_t* cr, const Character& c, int step);  // anchor coordinates
void drawBrow(cairo_t* cr);
void drawSmile(cairo_t* cr, int row, int step);  // closed mouth half
// The face as the title shows it: open eyes, brows and a closed smile on
// the head (face coordinates); the title portraits and the icon draw it.
// Eyes grown by `eyeScale` (> 1, for tiny pictures) leave no room for brows.
void drawSmilingFace(cairo_t* cr, const Character& c, double eyeScale = 1);

// ---------------------------------------------------------------- atlases
struct Rect {
    int x, y, w, h;
};
struct Atlas {
    std::string base;  // "images2"
    int w = 0, h = 0;
    std::vector<std::pair<std::string, Rect>> entries;
};
// Packs and writes <dir>/<base>.png and <dir>/<base>.txt.
Atlas writeAtlas(const std::string& dir, const std::string& base, std::vector<Sprite> sprites);

// The font pictures.
void writeFonts(const std::string& dir);

// Review sheets composed from the written atlases.
void writeReview(const std::string& dataDir, const std::string& docsDir);

// The application's icon: <dir>/<n>.png for every size the desktop's icon
// theme looks for, and <dir>/scalable.svg.
void writeIcons(const std::string& dir);

}  // namespace art
