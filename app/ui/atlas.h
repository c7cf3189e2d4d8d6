// Sprite atlases: a picture and a text index of named rectangles, one sprite
// per line as "name:x:y:width:height" (texels, decimal). Every picture the
// application shows is cut from one.
#pragma once

#include "runtime/string.h"

class c_Image2;

// A rectangle of an index, in texels.
struct AtlasRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// The first line of `index` that begins with `name` (a prefix of the whole
// line, so "rect4609" finds "rect4609.png:...") and splits into exactly five
// fields at ":". Lines end at "\n"; a carriage return before it ends the last
// number. False when no line qualifies.
bool FindAtlasRect(const String& index, const String& name, AtlasRect* rect);

// The sprite `name` of an atlas as a new image with its handle at its centre,
// or null when the index has no line for it or its rectangle does not lie
// inside the atlas picture.
c_Image2* AtlasImage(c_Image2* atlas, const String& index, const String& name);

// An atlas pair while its sprites are cut: neither the picture nor the index
// outlives the loading step, the sprites keep the texture alive.
struct Atlas {
    c_Image2* picture = nullptr;
    String index;
    // The base name of the pair ("images2"), for the reports.
    String name;
};

// Loads "<name>.png" and "<name>.txt" from the data folder. A missing or
// unreadable file stops the program with a runtime error naming it.
Atlas LoadAtlas(const char* name);
// AtlasImage, but a key absent from the index, or a rectangle that is not a
// non-empty area inside the picture, stops the program with a runtime error
// naming the key and the index.
c_Image2* CutSprite(const Atlas& atlas, const String& key);
// Gives up the loading step's own hold on the atlas texture.
void CloseAtlas(Atlas& atlas);
