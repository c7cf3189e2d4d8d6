// c_Partie: one part of the face (an eye, a brow, a cheek, a half of the
// mouth, lips or teeth, the tongue) with its pictures, its position relative
// to the face picture's top-left corner, the step it shows and its grab zone.
//
// The picture shown is frames[frame + variant]: `frame` is the first picture
// of the current row, `variant` the step within it. The left part of a pair
// has no pictures of its own and shows the right part's, mirrored.
#pragma once

#include "app/face/face.h"
#include "canvas/image.h"
#include "runtime/gc_ref.h"


class c_Partie : public Object {
public:
    // The part's pictures, and by their names its values in the face of the
    // model that owns the part, and its zone there.
    c_Partie(PartState& state, PartZone& zone)
        : state(state), variant(state.variant), x(state.x), y(state.y), frame(state.frame),
          zoneBottom(zone.zoneBottom), zoneTop(zone.zoneTop), angle(state.angle), edge1(zone.edge1),
          edge2(zone.edge2), edge3(zone.edge3), edge4(zone.edge4) {}

    gc_array<c_Image2*> frames;
    gc_array<c_Image2*> framesB;
    gc_array<c_Image2*> framesC;
    PartState& state;
    int& variant;
    float &x, &y;
    int& frame;
    float &zoneBottom, &zoneTop;
    float& angle;
    float &edge1, &edge2, &edge3, &edge4;

    // The grab zone of `picture` drawn at this part (mirrored unless
    // `unmirrored`), on a face whose top-left corner is (ox, oy). A wide zone
    // reaches 40 units beyond the picture's left and right edges, 13 above
    // and 7 below.
    void Place(c_Image2* picture, int ox, int oy, bool unmirrored, bool wide);
    void SetRange(int a, int b) {
        edge1 = static_cast<float>(a);
        edge2 = static_cast<float>(b - 1);
    }
    // The picture shown with this part's own row and step, from `owner`'s
    // pictures (the right part of the pair, or the part itself).
    c_Image2* Picture(const c_Partie* owner) const { return owner->frames[frame + variant]; }

    GC_FIELDS(Object, frames, framesB, framesC)
};
