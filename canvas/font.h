// c_Font: a fixed grid of glyphs cut from one picture. Text is not drawn in
// this system; the glyph fields are laid out for drawing and measuring.
#pragma once

#include "runtime/array.h"
#include "runtime/collector.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

class c_Image2;

class c_Glyph : public Object {
public:
    gc_ref<c_Image2> image;  // the font's whole picture, shared by its glyphs
    int code = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    float advance = 0;

    GC_FIELDS(Object, image)
};

class c_Font : public Object {
public:
    gc_array<c_Glyph*> glyphs;  // in code order
    int firstChar = 0;
    float height = 0;

    // `numChars` equal cells in one row; with `bordered`, a one-pixel border
    // around every cell is left out of the glyph. Null when the picture cannot
    // be loaded or is too large for a font of `numChars` cells.
    static c_Font* Load(const String& path, int firstChar, int numChars, bool bordered);

    GC_FIELDS(Object, glyphs)
};
