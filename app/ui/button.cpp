#include "app/ui/button.h"

#include "app/ui/atlas.h"
#include "canvas/image.h"

c_Bouton::c_Bouton() { images = Array<c_Image2*>(2); }

c_Bouton* c_Bouton::Init(const Atlas& atlas, const String& name1, const String& name2, float x, float y) {
    return Init(CutSprite(atlas, name1), name2.IsEmpty() ? nullptr : CutSprite(atlas, name2), x, y);
}

c_Bouton* c_Bouton::Init(c_Image2* picture1, c_Image2* picture2, float x, float y) {
    images[0] = picture1;
    images[0]->SetPivot(0, 0);
    if (picture2) {
        images[1] = picture2;
        images[1]->SetPivot(0, 0);
    }
    x0 = x;
    y0 = y;
    width = static_cast<float>(images[0]->Width());
    height = static_cast<float>(images[0]->Height());
    x1 = x + width;
    y1 = y + height;
    return this;
}
