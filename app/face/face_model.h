// The face's rules on one face value: its parts placed, their gestures, the
// mouth's and the tongue's modes, the reset and the random face, and its
// drawing. Each c_FaceModel owns its `Face`, its `Gesture` and its random
// generator; the pictures are shared (c_FacePictures), so that the library
// plays and draws any number of faces beside the live one without touching
// it.
#pragma once

#include <vector>

#include "app/exercise/exercise.h"
#include "app/face/face.h"
#include "app/face/face_part.h"
#include "canvas/image.h"
#include "runtime/gc_ref.h"

class c_Canvas;

// The face screen's pictures, cut once from their atlases while a face shows
// (or the library draws faces) and given back together: the parts' pictures
// (only right parts have their own), each child's face and eyes, the small
// pieces of the scene, and the face screen's buttons.
class c_FacePictures : public Object {
public:
    gc_array<c_Image2*> brow, cheek, mouth, mouthB, mouthC, lips, lipsB, lipsC, teeth, tongue;
    // The jaw's poses, whole mouths: per open step its back and its teeth,
    // per step and place (OpenTongue) the tongue in it, per pressed step the lips.
    gc_array<c_Image2*> openBack, openTeeth, openTongue, pressedLips;
    // The smiling mouth's half parted at its corner for the tongue, per
    // step, and per tongue shape the tongue out of it; the tongue held
    // between the lips per depth below 2 and side step (TONGUE_ROW each).
    gc_array<c_Image2*> cornerMouth, cornerTongue, heldTongue;
    // Each child's own pictures (CHILD_PICTURES each: the face, then the
    // three eyes), cut when first needed.
    gc_array<c_Image2*> childPictures;
    // Single pieces. puffedCheek is the right cheek puffed, shaded as the
    // face's side (the left cheek shows the cheek part's picture, mirrored);
    // smileMiddle the closed smile's line across the centre line, on skin.
    gc_ref<c_Image2> pinkSquare, puffedCheek, smileMiddle, faceMark1, faceMark2, recordImage;
    // Two per button slot (its picture and that of its state 1, or null), in
    // the order of the face screen's button table.
    gc_array<c_Image2*> buttons;

    // Cuts every picture from the data folder's atlases: a missing atlas or
    // sprite stops the program with a runtime error naming it.
    c_FacePictures* Load(const std::vector<const char*>& buttonPictures);
    // The face and the three eyes of a child, cut from its atlas the first time.
    c_Image2* ChildPicture(Child child, int index);
    // Gives every texture back; the object is not used afterwards.
    void Discard();

    GC_FIELDS(Object, brow, cheek, mouth, mouthB, mouthC, lips, lipsB, lipsC, teeth, tongue, openBack, openTeeth,
              openTongue, pressedLips, cornerMouth, cornerTongue, heldTongue, childPictures, pinkSquare,
              puffedCheek, smileMiddle, faceMark1, faceMark2, recordImage, buttons)
};
constexpr int CHILD_PICTURES = 4;

// Where and how large a face is drawn: the face screen draws it at scale 1,
// a library card small and shifted.
struct FaceView {
    float scale = 1, shiftX = 0, shiftY = 0;
};

// A touch that a key stands for: a press at (x0, y0), then the finger at
// (x1, y1) until it is lifted after `touchTicks` ticks; `tick` counts them
// and lies beyond touchTicks when no key gesture runs.
struct KeyGesture {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int touchTicks = 0;
    int tick = 1;
    bool Running() const { return tick <= touchTicks; }
};

// The keys that act as a gesture of the face would: the mouth's three
// renderings, the tongue's depth, the chin down and up a step, the tongue
// up and down a step.
enum GestureKey {
    GKEY_SMILE, GKEY_LIPS, GKEY_TEETH, GKEY_DEPTH, GKEY_JAW_OPEN, GKEY_JAW_CLOSE, GKEY_TONGUE_UP, GKEY_TONGUE_DOWN,
    GESTURE_KEY_COUNT
};

class c_FaceModel : public Object {
public:
    Face face;
    // Where each part was last placed (PlaceAll and the rest).
    PartZone zones[FACE_PARTS];
    // The first finger's gesture, and the other fingers' (finger i + 1 in
    // moreGestures[i]). A zone one finger holds, no other takes.
    Gesture gesture;
    Gesture moreGestures[MORE_FINGERS];
    Random random;
    // This tick's input (Tick).
    TickInput input;
    Child child = Child::Girl;
    // The face picture's top-left corner on the virtual screen.
    float faceX = 0, faceY = 0;
    // The format of the recording that plays: a random face pressed in one
    // made before the jaw's poses draws none of them, and the same numbers
    // as it did then.
    int randomFaceFormat = EXERCISE_FORMAT_VERSION;

    gc_ref<c_FacePictures> pictures;
    gc_ref<c_Image2> faceImage;
    gc_ref<c_Partie> eyeRight, eyeLeft, browRight, browLeft, cheekRight, cheekLeft, mouthRight, mouthLeft, lipsRight,
        lipsLeft, teethRight, teethLeft, tongue;
    // The chin: no picture and nothing a face stores, only the zone under
    // the mouth that opens the jaw, set once.
    gc_ref<c_Partie> chin;

    // A face of `which` child at its start, drawn with `shared` pictures.
    c_FaceModel* Init(c_FacePictures* shared, Child which);

    // The child's own pictures into the face: its face and eyes.
    void ShowChild(Child which);
    // One tick in two halves, between which the player may move the face
    // to another repetition: a played button press, the tongue's state and
    // the gesture or its release; then a tap's effect.
    void Tick(const TickInput& in);
    void TapTick();
    // A button press, live or played back (ENTRY_TONGUE and the others).
    void ApplyEvent(int code);

    void ResetFace();
    void RandomFace();
    // The face at its start, with the tongue's mirroring as it is.
    void StartPlacement();
    void PlaceAll();
    void PlaceMouthHalves();
    void PlaceTongue();

    // The grab zones a touch at (ax, ay) would take now, one bit per
    // GrabZone, as the grab test finds them.
    unsigned ZonesAt(float ax, float ay) const;
    // Whether a tap at (ax, ay) lands on the tongue.
    bool OnTongueTap(float ax, float ay) const;
    // The zone whose drag rule runs when a grab takes `zones`, or -1.
    static int DragRuleFor(unsigned zones);
    // The touches of the gesture a key stands for, as the face is now; false
    // when that gesture would do nothing (the mouth already so, no tongue
    // between the lips, or no place to take hold).
    bool KeyGestureFor(int gestureKey, KeyGesture* g) const;
    // A part by its name in the zone and drag tables.
    c_Partie* PartNamed(int name) const;
    // The thirteen parts, right before left, in the order of PartIndex.
    std::vector<c_Partie*> Parts() const;
    bool Paired() const { return face.paired; }

    // The face, and a face put in place: every value an exercise file holds
    // is taken, and the face is placed whole, its zones with it.
    const Face& Snapshot() const { return face; }
    void ApplySnapshot(const Face& snapshot);

    // The face and its parts; changes nothing.
    void Draw(c_Canvas* canvas, const FaceView& view) const;

    // The drag rules (the rows of the drag table): `part` and `other` the
    // part dragged and its partner, `side` +1 for a right part and -1 for a
    // left one (for a brow end, the angle's step when it goes up), `mode` the
    // mouth rendering of a corner.
    struct Movement {
        int cx, cy, dx, dy;
    };
    void DragEye(c_Partie* eye, c_Partie* other, int side, int mode, const Movement& m);
    void DragCorner(c_Partie* half, c_Partie* other, int side, int mode, const Movement& m);
    void DragMouthCentre(c_Partie*, c_Partie*, int, int, const Movement& m);
    void DragBrowEnd(c_Partie* brow, c_Partie* other, int upStep, int mode, const Movement& m);
    void DragBrowMiddle(c_Partie* brow, c_Partie* other, int side, int mode, const Movement& m);
    void DragTongue(c_Partie*, c_Partie*, int, int, const Movement& m);
    void DragChin(c_Partie*, c_Partie*, int, int, const Movement& m);

    GC_FIELDS(Object, pictures, faceImage, eyeRight, eyeLeft, browRight, browLeft, cheekRight, cheekLeft, mouthRight,
              mouthLeft, lipsRight, lipsLeft, teethRight, teethLeft, tongue, chin)

private:
    PartState chinState;
    PartZone chinZone;
    void GestureTick();
    void Release();
    // The gesture's anchor moves to this tick's point, so that the next step
    // needs a new movement of the same size.
    void AnchorHere();
    void GrabTest(float ax, float ay);
    void DragCheeks(int cx);
    void DragOne(int cx, int cy, int dx, int dy);
    void SetCheek(c_Partie* cheek, c_Partie* other, int variant);
    void StepTongue(int direction);
    void HoldTongueInsideMouth();
    void SetJaw(int jaw);
    // The picture the tongue shows and is placed with in the open mouth.
    c_Image2* OpenTonguePicture() const;
    void PlacePair(c_Partie* right, c_Partie* left);
    void RefreshCheekRanges(c_Partie* right, c_Partie* left);
    void ChangeMode(int mode);
    c_Partie* ShiftHalf(int shift) const;
    bool CheeksAtRest() const;
    int MouthPictureIndex(bool right) const;
    void DrawMouth(c_Canvas* c, const FaceView& view) const;
    void DrawLips(c_Canvas* c, const FaceView& view) const;
    void DrawJaw(c_Canvas* c) const;
};
