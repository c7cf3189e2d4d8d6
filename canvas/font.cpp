#include "canvas/font.h"

#include "canvas/font_characters.h"
#include "canvas/image.h"
#include "canvas/texture.h"

namespace {

// 128 x 128 pixels: the largest glyph cell a font picture may have. A picture
// with more pixels than its cells may hold is refused before it is decoded.
constexpr int64_t kMaxCellPixels = 128 * 128;

c_Image2* LoadPicture(const String& path, int cells) {
    return c_Image2::Load(path, 0.5f, 0.5f, LinearFilter | MipmapFilter, nullptr, cells * kMaxCellPixels);
}

// The glyph for codes[i] in cell i of `image`, cells of cellWidth x
// cellHeight in rows of `columns`.
c_Glyph* CutGlyph(c_Image2* image, int code, int i, int cellWidth, int cellHeight, int columns, int border) {
    c_Glyph* glyph = new c_Glyph();
    glyph->image = image;
    glyph->code = code;
    glyph->x = (i % columns) * cellWidth + border;
    glyph->y = (i / columns) * cellHeight + border;
    glyph->width = cellWidth - 2 * border;
    glyph->height = cellHeight - 2 * border;
    glyph->advance = static_cast<float>(glyph->width);
    return glyph;
}

}  // namespace

c_Font* c_Font::Load(const String& path, int firstChar, int numChars, bool bordered) {
    if (numChars <= 0) return nullptr;
    c_Image2* image = LoadPicture(path, numChars);
    if (!image) return nullptr;
    int cellWidth = image->Width() / numChars;
    int cellHeight = image->Height();
    // A picture narrower than one pixel per character has no cells to cut.
    if (cellWidth <= 0) return nullptr;
    int border = bordered ? 1 : 0;
    int columns = image->Width() / cellWidth;

    c_Font* font = new c_Font();
    Array<c_Glyph*> glyphs(numChars);
    for (int i = 0; i < numChars; ++i)
        glyphs[i] = CutGlyph(image, firstChar + i, i, cellWidth, cellHeight, columns, border);
    font->glyphs = glyphs;
    font->firstChar = firstChar;
    font->height = static_cast<float>(cellHeight - 2 * border);
    font->border = border;
    return font;
}

bool c_Font::LoadMore(const String& path) {
    if (glyphs.IsEmpty()) return false;
    int cellWidth = glyphs[0]->width + 2 * border, cellHeight = glyphs[0]->height + 2 * border;
    c_Image2* image = LoadPicture(path, kMoreFontCharacterCount);
    if (!image) return false;
    int columns = image->Width() / cellWidth;
    if (image->Height() < cellHeight || columns < kMoreFontCharacterCount) return false;
    Array<c_Glyph*> more(kMoreFontCharacterCount);
    for (int i = 0; i < kMoreFontCharacterCount; ++i) {
        c_Glyph* glyph = CutGlyph(image, kMoreFontCharacters[i], i, cellWidth, cellHeight, columns, border);
        // French sets this space before ; : ! ? where a whole monospaced
        // cell would read as a gap between words.
        if (glyph->code == kNarrowNoBreakSpace) glyph->advance /= 2;
        if (glyph->code == kReplacementCharacter) missingGlyph = glyph;
        more[i] = glyph;
    }
    moreGlyphs = more;
    return true;
}

c_Glyph* c_Font::GlyphFor(int code) const {
    int index = code - firstChar;
    if (index >= 0 && index < glyphs.Length()) return glyphs[index];
    for (int i = 0; i < moreGlyphs.Length(); ++i)
        if (moreGlyphs[i]->code == code) return moreGlyphs[i];
    if (missingGlyph) return missingGlyph;
    index = ' ' - firstChar;
    if (index >= 0 && index < glyphs.Length()) return glyphs[index];
    return nullptr;
}
