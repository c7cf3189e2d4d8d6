#include "app/face/face_part.h"

#include "canvas/image.h"

void c_Partie::Place(c_Image2* picture, int ox, int oy, bool unmirrored, bool wide) {
    int e = wide ? 40 : 0;
    float s = unmirrored ? 1.0f : -1.0f;
    float w = static_cast<float>(picture->Width());
    float h = static_cast<float>(picture->Height());
    float hx = picture->PivotX();
    float hy = picture->PivotY();
    float bx = x + ox;
    edge1 = bx - hx * w * s + w * s - e * s;
    edge2 = edge1 + 2 * e * s;
    zoneTop = y - hy * h + oy - e / 3;
    zoneBottom = zoneTop + h + e * 0.5f;
    edge3 = bx - hx * w * s - e * s;
    edge4 = edge3 + 2 * e * s;
}
