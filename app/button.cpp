#include "app/button.h"

#include "app/atlas.h"
#include "canvas/image.h"

c_Bouton::c_Bouton() { images = Array<c_Image2*>(2); }

c_Bouton* c_Bouton::Init(const Atlas& atlas, const String& name1, const String& name2, int activeFlag, float x,
                         float y) {
    images[0] = CutSprite(atlas, name1);
    images[0]->SetPivot(0, 0);
    if (!name2.IsEmpty()) {
        images[1] = CutSprite(atlas, name2);
        images[1]->SetPivot(0, 0);
    }
    active = activeFlag == 1;
    x0 = x;
    y0 = y;
    width = static_cast<float>(images[0]->Width());
    height = static_cast<float>(images[0]->Height());
    x1 = x + width;
    y1 = y + height;
    return this;
}
