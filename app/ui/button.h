// c_Bouton: a button of the title or face screen: a picture (and the picture
// of its second look, or null) with the rectangle a touch hits. What a button
// shows and whether it shows are its screen's state, not the button's.
#pragma once

#include "canvas/image.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

struct Atlas;

class c_Bouton : public Object {
public:
    // 0: the normal picture; 1: the picture of the second look (may stay null).
    gc_array<c_Image2*> images;
    // Top-left corner and bottom-right corner (exclusive), virtual units.
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float width = 0, height = 0;

    c_Bouton();
    // Cuts the pictures name1 and, unless it is empty, name2 from the atlas,
    // with their handles at the top-left corner, at (x, y).
    c_Bouton* Init(const Atlas& atlas, const String& name1, const String& name2, float x, float y);
    // The pictures already cut, with their handles at the top-left corner.
    c_Bouton* Init(c_Image2* picture1, c_Image2* picture2, float x, float y);
    // Strictly inside: a point on the border misses.
    bool Hit(float x, float y) const { return x > x0 && x < x1 && y > y0 && y < y1; }

    GC_FIELDS(Object, images)
};
