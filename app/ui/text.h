// Text and the labelled boxes the screens draw with the canvas's font.
#pragma once

#include <string>
#include <vector>

class c_Canvas;

// The scale that draws the canvas font's glyphs `height` units high.
float TextScale(const c_Canvas* canvas, float height);
// `text` (UTF-8) with its top at y, from x or centred on it.
void DrawLabel(c_Canvas* canvas, const std::string& text, float x, float y, float height, bool centred);
// The width of `text` (UTF-8) drawn `height` units high.
float LabelWidth(const c_Canvas* canvas, const std::string& text, float height);
// `text` cut into lines no wider than `width` at spaces (a word wider than
// the line is cut where it must be).
std::vector<std::string> WrapLines(const c_Canvas* canvas, const std::string& text, float height, float width);
// `text`, or as much of it as fits in `width` followed by an ellipsis.
std::string FitLabel(const c_Canvas* canvas, const std::string& text, float height, float width);

// `text` broken at spaces into lines at most `width` wide, centred on x, the
// first line's top at y; returns the lines' count.
int DrawWrapped(c_Canvas* canvas, const std::string& text, float x, float y, float width, float height);

// A box that a click hits and that the screens draw as a labelled button.
struct ControlBox {
    float x, y, w, h;
    // In English, marked N_: translated where it is drawn.
    const char* label;
    // Strictly inside: a point on the border misses.
    bool Inside(float px, float py) const { return px > x && px < x + w && py > y && py < y + h; }
    bool Overlaps(const ControlBox& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
};
void DrawControl(c_Canvas* canvas, const ControlBox& box, float textHeight = 22);
// The box's label, translated, centred in it: `textHeight` high, or lower
// when that would not fit its width less a margin each side.
void DrawBoxLabel(c_Canvas* canvas, const ControlBox& box, float textHeight);
// The height up to `height` at which `text` is at most `width` wide.
float FittingHeight(const c_Canvas* canvas, const std::string& text, float height, float width);
// The height of the boxes' labels, and the room a label leaves each side.
constexpr float CONTROL_TEXT_HEIGHT = 22, CONTROL_MARGIN = 3;

// Text of `height` units in the landscape screen, as high in `a`: the
// portrait screen is drawn on phones held upright, where a unit is smaller
// than a pixel and no text may be less than 12 pixels high (26 units at
// 390 pixels for 800 units).
enum class Arrangement;
constexpr float PORTRAIT_TEXT_MIN = 26;
float TextHeight(Arrangement a, float height);

class String;
// `text` (UTF-8: titles, notes, translations) as the canvas draws it.
String Shown(const std::string& text);
// A fixed text as the canvas draws it, made once: a frame allocates nothing.
// A change of language makes them anew.
const String& CachedText(const char* text);

