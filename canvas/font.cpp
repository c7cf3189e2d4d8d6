#include "canvas/font.h"

#include "canvas/image.h"
#include "canvas/texture.h"

namespace {

// 128 x 128 pixels: the largest glyph cell a font picture may have. A picture
// with more pixels than its cells may hold is refused before it is decoded.
constexpr int64_t kMaxCellPixels = 128 * 128;

}  // namespace

c_Font* c_Font::Load(const String& path, int firstChar, int numChars, bool bordered) {
    if (numChars <= 0) return nullptr;
    c_Image2* image =
        c_Image2::Load(path, 0.5f, 0.5f, LinearFilter | MipmapFilter, nullptr, numChars * kMaxCellPixels);
    if (!image) return nullptr;
    int cellWidth = image->Width() / numChars;
    int cellHeight = image->Height();
    // A picture narrower than one pixel per character has no cells to cut.
    if (cellWidth <= 0) return nullptr;
    int border = bordered ? 1 : 0;
    int glyphWidth = cellWidth - 2 * border;
    int glyphHeight = cellHeight - 2 * border;
    int columns = image->Width() / cellWidth;

    c_Font* font = new c_Font();
    Array<c_Glyph*> glyphs(numChars);
    for (int i = 0; i < numChars; ++i) {
        c_Glyph* glyph = new c_Glyph();
        glyph->image = image;
        glyph->code = firstChar + i;
        glyph->x = (i % columns) * cellWidth + border;
        glyph->y = (i / columns) * cellHeight + border;
        glyph->width = glyphWidth;
        glyph->height = glyphHeight;
        glyph->advance = static_cast<float>(glyphWidth);
        glyphs[i] = glyph;
    }
    font->glyphs = glyphs;
    font->firstChar = firstChar;
    font->height = static_cast<float>(glyphHeight);
    return font;
}
