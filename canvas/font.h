// c_Font: a fixed grid of glyphs cut from one picture, for the characters from
// `firstChar` on, and optionally more glyphs of the same size cut from a
// second picture for the characters of canvas/font_characters.h.
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
    // The width of the border left out around every glyph in its cell.
    int border = 0;
    // The glyphs of LoadMore, in the order of kMoreFontCharacters; empty
    // until then.
    gc_array<c_Glyph*> moreGlyphs;
    // The replacement mark among them; null without one.
    gc_ref<c_Glyph> missingGlyph;

    // `numChars` equal cells in one row; with `bordered`, a one-pixel border
    // around every cell is left out of the glyph. Null when the picture cannot
    // be loaded or is too large for a font of `numChars` cells.
    static c_Font* Load(const String& path, int firstChar, int numChars, bool bordered);
    // Cuts the glyphs of kMoreFontCharacters from a picture of cells the size
    // of this font's, in one row. False, and the font as it was, when the
    // picture cannot be loaded or is too small for them all.
    bool LoadMore(const String& path);

    // The glyph that draws `code`: its own, else the replacement mark, else
    // (a font without one) the space, else null.
    c_Glyph* GlyphFor(int code) const;

    GC_FIELDS(Object, glyphs, moreGlyphs, missingGlyph)
};
