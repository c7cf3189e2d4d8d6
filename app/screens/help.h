// The help over a dimmed screen: on the face screen a small model face with
// an arrow for each drag and a mark for the tap on the tongue, what each
// does beside it with the key that does the same, then every key.
#pragma once

class c_Canvas;
class c_FaceModel;

// `face` lends its pictures to the model face; null on the title, where the
// help shows no face.
void DrawHelp(c_Canvas* canvas, const c_FaceModel* face);
