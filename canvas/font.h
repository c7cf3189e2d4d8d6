// c_Font: a fixed grid of glyphs cut from one picture. Text is not drawn in
// this system; the glyph fields are laid out for drawing and measuring.
#pragma once

#include "runtime/array.h"
#include "runtime/collector.h"
#include "runtime/string.h"

class c_Image2;

class c_Glyph : public Object {
public:
    c_Image2* image = nullptr;  // the font's whole picture, shared by its glyphs
    int code = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    float advance = 0;

    void MarkChildren() override;
};

class c_Font : public Object {
public:
    Array<c_Glyph*> glyphs;  // in code order
    int firstChar = 0;
    float height = 0;

    // `numChars` equal cells in one row; with `bordered`, a one-pixel border
    // around every cell is left out of the glyph. Null when the picture cannot
    // be loaded.
    static c_Font* Load(const String& path, int firstChar, int numChars, bool bordered);

    void MarkChildren() override;
};
