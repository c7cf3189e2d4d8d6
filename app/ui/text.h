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

// A box that a click hits and that the screens draw as a labelled button.
struct ControlBox {
    float x, y, w, h;
    const char* label;
    // Strictly inside: a point on the border misses.
    bool Inside(float px, float py) const { return px > x && px < x + w && py > y && py < y + h; }
    bool Overlaps(const ControlBox& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
};
void DrawControl(c_Canvas* canvas, const ControlBox& box);
// The height of the boxes' labels.
constexpr float CONTROL_TEXT_HEIGHT = 22;

class String;
// A fixed text as the canvas draws it, made once: a frame allocates nothing.
const String& CachedText(const char* text);
