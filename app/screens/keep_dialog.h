// "Keep this exercise?": asked over the face screen before a recording that
// no file holds is left behind (home, the library, a new recording, the
// window's close). Enter is Save, Escape is Cancel.
#pragma once

#include "app/screens/screen.h"
#include "app/ui/text.h"

class c_Canvas;

enum class KeepAnswer { NONE, SAVE, DISCARD, CANCEL };
enum KeepControl { KEEP_SAVE, KEEP_DISCARD, KEEP_CANCEL, KEEP_CONTROLS };
// Where the panel, its words and its buttons stand in an arrangement:
// upright, the buttons one under the other and a finger high.
struct KeepLayout {
    ControlBox panel;
    ControlBox boxes[KEEP_CONTROLS];
    float questionHeight, textHeight, controlTextHeight;
};
const KeepLayout& KeepLayoutFor(Arrangement a);

struct KeepDialog {
    // What was asked for, done once the recording is saved or discarded.
    Request pending;

    KeepAnswer Tick(const AppInput& in) const;
    void Draw(c_Canvas* canvas, Arrangement a) const;
};
