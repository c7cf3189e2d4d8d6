// The title screen: the girl and the boy to choose from, the way to the
// library, and the way to the help.
#pragma once

#include "app/screens/screen.h"
#include "app/ui/button.h"
#include "app/ui/text.h"
#include "canvas/image.h"
#include "runtime/gc_ref.h"

class c_Canvas;

// Where the title's parts stand in an arrangement: the two children's
// cards (their top-left corners), the title picture's bottom-right corner,
// the library's box (drawn by the canvas, so that the title needs no picture
// of the face screen's atlas), the sound's on/off box, the language's box
// (its label the shown language's own name; a tap goes to the next), and
// the help's line, which a tap also opens.
struct TitleLayout {
    float girlX, girlY, boyX, boyY;
    float titleX, titleY;
    ControlBox library;
    ControlBox sound;
    ControlBox language;
    ControlBox help;
    float hintHeight;
};
const TitleLayout& TitleLayoutFor(Arrangement a);
// The sound box's label (untranslated, as the boxes' labels are).
const char* SoundLabel(bool soundOn, bool namesKeys);

class c_TitleScreen : public Object {
public:
    gc_ref<c_Bouton> girlButton, boyButton;
    gc_ref<c_Image2> titleImage;

    // Cuts the title's pictures from their atlas.
    c_TitleScreen* Init();
    // `namesKeys`: the words name keys (a keyboard was used), else buttons.
    Request Tick(const AppInput& in, bool namesKeys);
    void Draw(c_Canvas* canvas, Arrangement a, bool namesKeys, bool soundOn) const;
    // Gives the pictures' textures back.
    void Discard();

    GC_FIELDS(Object, girlButton, boyButton, titleImage)

private:
    // The control a tick's key or tap chose.
    Request TickControls(const AppInput& in) const;
};
