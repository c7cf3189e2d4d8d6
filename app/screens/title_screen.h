// The title screen: the girl and the boy to choose from, the way to the
// library, and the hint to the help.
#pragma once

#include "app/screens/screen.h"
#include "app/ui/button.h"
#include "app/ui/text.h"
#include "canvas/image.h"
#include "runtime/gc_ref.h"

class c_Canvas;

// The title's way to the library: a labelled box drawn by the canvas, so that
// the title needs no picture of the face screen's atlas.
extern const ControlBox TITLE_LIBRARY_BOX;

class c_TitleScreen : public Object {
public:
    gc_ref<c_Bouton> girlButton, boyButton;
    gc_ref<c_Image2> titleImage;

    // Cuts the title's pictures from their atlas.
    c_TitleScreen* Init();
    Request Tick(const AppInput& in);
    void Draw(c_Canvas* canvas) const;
    // Gives the pictures' textures back.
    void Discard();

    GC_FIELDS(Object, girlButton, boyButton, titleImage)
};
