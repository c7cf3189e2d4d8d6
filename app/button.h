// c_Bouton: a button of the title or face screen, a picture with a rectangle
// that a touch hits, and a state of 0 or 1 that picks its second picture.
#pragma once

#include "canvas/image.h"
#include "runtime/gc_ref.h"
#include "runtime/string.h"

struct Atlas;

class c_Bouton : public Object {
public:
    // 0: the normal picture; 1: the picture of state 1 (may stay null).
    gc_array<c_Image2*> images;
    // An inactive button is neither drawn nor hit on the face screen.
    bool active = true;
    // Top-left corner and bottom-right corner (exclusive), virtual units.
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float width = 0, height = 0;
    int state = 0;

    c_Bouton();
    // Cuts the pictures name1 and, unless it is empty, name2 from the atlas,
    // with their handles at the top-left corner, at (x, y).
    c_Bouton* Init(const Atlas& atlas, const String& name1, const String& name2, int activeFlag,
                   float x, float y);
    // Strictly inside: a point on the border misses.
    bool Hit(float x, float y) const { return x > x0 && x < x1 && y > y0 && y < y1; }
    void ToggleActive() { active = !active; }
    void ToggleState() { state = state == 0 ? 1 : 0; }

    GC_FIELDS(Object, images)
};
