// The canvas font's characters beyond its first 96 (the space to DEL): every
// letter French writes, its quotation marks and spaces, the common
// typographic punctuation, and last the replacement mark. The font tool
// draws them in this order into their own picture, in cells of the font's
// own size, and the canvas cuts them out in the same order.
#pragma once

// U+202F, the narrow no-break space, goes before ; : ! ? and inside « »;
// U+00A0 is the ordinary no-break space.
constexpr char16_t kMoreFontCharacters[] =
    u"éèêëàâîïôûùüÿçœæÉÈÊËÀÂÎÏÔÛÙÜŸÇŒÆ«»\u202F\u00A0’‘“”…–—\uFFFD";
constexpr int kMoreFontCharacterCount = sizeof(kMoreFontCharacters) / sizeof(char16_t) - 1;

// Drawn, as a hollow box, for every character the font has no glyph for.
constexpr char16_t kReplacementCharacter = 0xFFFD;
constexpr char16_t kNarrowNoBreakSpace = 0x202F;
