// The help over a dimmed screen: on the face screen a small model face with
// an arrow for each drag and a mark for the tap on the tongue, what each
// does beside it with the key that does the same, then every key.
#pragma once

#include "app/ui/letterbox.h"

class c_Canvas;
class c_FaceModel;

// `face` lends its pictures to the model face; null on the title, where the
// help shows no face. `namesKeys`: the words name keys (a keyboard was
// used), else the buttons are shown as pictures.
void DrawHelp(c_Canvas* canvas, Arrangement a, const c_FaceModel* face, bool namesKeys);
