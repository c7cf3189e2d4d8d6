// The face's gestures: a touch grabs the parts under the anchor point; each
// later movement of the pointer beyond a part's threshold from the anchor
// steps the part once and moves the anchor to the current point, so the next
// step needs a new movement of the same size.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/face/face_model.h"
#include "app/face/face_layout.h"
#include "app/exercise/exercise.h"
#include "canvas/image.h"

namespace {

// Where the face starts: the smiling mouth's second row, the tongue's third.
constexpr int MOUTH_START_ROW = ROW, TONGUE_START_ROW = 2 * TONGUE_ROW;
// Picture indices of the mouth's arrays.
constexpr int PURSED_PICTURE = 35;
constexpr int TONGUE_LIPS_OFFSET = 20;
// Drag thresholds, virtual units.
constexpr int EYE_STEP = 30, MOUTH_ROW_STEP = 30, MOUTH_SIDE_STEP = 50, CHEEK_STEP = 100;
constexpr int BROW_STEP = 5, TONGUE_ROW_STEP = 30, TONGUE_SIDE_STEP = 15;
// The mouth centre changes mode: down by more than 35 to the lips, by more
// than 30 to the teeth; up likewise back.
constexpr int MODE_FAR = 35, MODE_NEAR = 30;
// Eyebrows turn 2 degrees a step within -14..18 and move 5 units within 244..304.
constexpr float BROW_ANGLE_STEP = 2, BROW_ANGLE_MIN = -14, BROW_ANGLE_MAX = 18;
constexpr float BROW_Y_STEP = 5, BROW_Y_MIN = 244, BROW_Y_MAX = 304;
// The cheeks' zones span from the mouth to the ears, 42 and 742 units from
// the face's left edge.
constexpr int CHEEK_LEFT_END = 42, CHEEK_RIGHT_END = 742;
// The tongue stays this far inside the mouth's corners.
constexpr float TONGUE_CORNER_MARGIN = 30;
// A touch shorter than this many ticks is a tap.
constexpr int TAP_TICKS = 20;
// The chin moves the jaw a step for every 30 units; its zone lies under the
// widest open mouth and the tongue out of it, clear of the cheeks' rows, and
// above the neck.
constexpr int JAW_STEP = 30;
constexpr float CHIN_LEFT = 312, CHIN_RIGHT = 474, CHIN_TOP = 585, CHIN_BOTTOM = 700;

// The mouth's renderings, numbered as the random face draws them.
enum Mode { MODE_SMILE = 0, MODE_TEETH = 1, MODE_LIPS = 2 };

}  // namespace

float Random::Next(float n) {
    uint32_t next = static_cast<uint32_t>(state) * 1664525u + 1013904223u;
    state = static_cast<int>(next);
    float draw = static_cast<float>((state >> 8) & 0xFFFFFF) / 16777216.0f;
    return draw * n;
}


bool c_FaceModel::CheeksAtRest() const { return cheekRight->variant == 0 && cheekLeft->variant == 0; }

// The picture a smiling-mouth half is placed (and drawn) with: its row and
// step, the pursed lips, or with a puffed or hollow cheek the cheek mouth.
// The table is (right cheek, left cheek) -> (right picture, left picture).
int c_FaceModel::MouthPictureIndex(bool right) const {
    int cr = cheekRight->variant, cl = cheekLeft->variant;
    if (cr == 0 && cl == 0 && face.pursedMouth) return PURSED_PICTURE;
    // At rest, and with one cheek puffed and the other hollow (which shows no
    // mouth at all), the half keeps its own row and step.
    if ((cr == 0 && cl == 0) || cr + cl == 3) {
        c_Partie* half = right ? mouthRight.get() : mouthLeft.get();
        return half->frame + half->variant;
    }
    int puffedR = 38, puffedL = 39, hollowR = 36, hollowL = 37;
    if (cr == 1 && cl == 0) return right ? puffedR : puffedL;
    if (cr == 0 && cl == 1) return right ? puffedL : puffedR;
    if (cr == 1 && cl == 1) return puffedR;
    if (cr == 2 && cl == 0) return right ? hollowR : hollowL;
    if (cr == 0 && cl == 2) return right ? hollowL : hollowR;
    return hollowR;  // 2, 2
}

void c_FaceModel::RefreshCheekRanges(c_Partie* right, c_Partie* left) {
    cheekRight->SetRange(static_cast<int>(right->edge2), static_cast<int>(faceX + CHEEK_RIGHT_END));
    cheekLeft->SetRange(static_cast<int>(faceX + CHEEK_LEFT_END), static_cast<int>(left->edge2));
}

void c_FaceModel::PlacePair(c_Partie* right, c_Partie* left) {
    int ox = static_cast<int>(faceX), oy = static_cast<int>(faceY);
    right->Place(right->Picture(right), ox, oy, true, true);
    left->Place(left->Picture(right), ox, oy, false, true);
}

// The halves of the mouth as they are shown: with a cheek puffed or hollow
// the smiling mouth's cheek pictures, else the jaw's pose (one picture, its
// halves' zones each the whole of it), else the halves of the current mode.
void c_FaceModel::PlaceMouthHalves() {
    int ox = static_cast<int>(faceX), oy = static_cast<int>(faceY);
    if (CheeksAtRest() && face.jaw != 0) {
        c_Image2* pose = face.jaw > 0 ? pictures->openBack[face.jaw - 1] : pictures->pressedLips[-face.jaw - 1];
        mouthRight->Place(pose, ox, oy, true, false);
        mouthLeft->Place(pose, ox, oy, false, false);
        RefreshCheekRanges(mouthRight, mouthLeft);
    } else if (!CheeksAtRest() || (!face.lipsMode && !face.teethMode)) {
        bool wide = !(CheeksAtRest() && face.pursedMouth);
        mouthRight->Place(mouthRight->frames[MouthPictureIndex(true)], ox, oy, true, wide);
        mouthLeft->Place(mouthRight->frames[MouthPictureIndex(false)], ox, oy, false, wide);
        RefreshCheekRanges(mouthRight, mouthLeft);
    } else if (face.lipsMode) {
        PlacePair(lipsRight, lipsLeft);
        RefreshCheekRanges(lipsRight, lipsLeft);
    } else {
        PlacePair(teethRight, teethLeft);
        RefreshCheekRanges(teethRight, teethLeft);
    }
}

c_Image2* c_FaceModel::OpenTonguePicture() const {
    int place = face.tongueOut ? face.openTongue : TONGUE_LYING;
    return pictures->openTongue[(face.jaw - 1) * OPEN_TONGUE_PLACES + place];
}

void c_FaceModel::PlaceTongue() {
    if (face.jaw > 0) {
        tongue->Place(OpenTonguePicture(), static_cast<int>(faceX), static_cast<int>(faceY), face.tongueUnmirrored,
                      false);
        return;
    }
    int index = tongue->frame + tongue->variant + (face.lipsMode ? TONGUE_LIPS_OFFSET : 0);
    tongue->Place(tongue->frames[index], static_cast<int>(faceX), static_cast<int>(faceY), face.tongueUnmirrored, false);
}

void c_FaceModel::PlaceAll() {
    PlacePair(eyeRight, eyeLeft);
    PlacePair(browRight, browLeft);
    PlacePair(lipsRight, lipsLeft);
    PlacePair(teethRight, teethLeft);
    PlaceMouthHalves();
    PlaceTongue();
}

// The face at its start: entering the face screen (reset false) and the reset
// button (reset true) differ only in the tongue's mirroring.
void c_FaceModel::StartPlacement() {
    eyeRight->x = EYE_RIGHT_X, eyeLeft->x = EYE_LEFT_X, eyeRight->y = eyeLeft->y = EYE_Y;
    browRight->x = BROW_RIGHT_X, browLeft->x = BROW_LEFT_X, browRight->y = browLeft->y = BROW_Y;
    cheekRight->x = CHEEK_RIGHT_X, cheekLeft->x = CHEEK_LEFT_X, cheekRight->y = cheekLeft->y = CHEEK_Y;
    mouthRight->x = MOUTH_RIGHT_X, mouthLeft->x = MOUTH_LEFT_X, mouthRight->y = mouthLeft->y = MOUTH_Y;
    lipsRight->x = LIPS_RIGHT_X, lipsLeft->x = LIPS_LEFT_X, lipsRight->y = lipsLeft->y = LIPS_Y;
    teethRight->x = TEETH_RIGHT_X, teethLeft->x = TEETH_LEFT_X, teethRight->y = teethLeft->y = TEETH_Y;
    tongue->x = TONGUE_X, tongue->y = TONGUE_Y;
    mouthRight->frame = mouthLeft->frame = MOUTH_START_ROW;
    tongue->frame = TONGUE_START_ROW;
    for (c_Partie* p : {mouthRight.get(), mouthLeft.get(), tongue.get(), eyeRight.get(), eyeLeft.get(),
                        cheekRight.get(), cheekLeft.get()})
        p->variant = 0;
    browRight->angle = browLeft->angle = 0;
    face.pursedMouth = face.lipsMode = face.teethMode = face.roundMouth = face.tongueOut = false;
    face.tongueMode = false;
    gesture.grabbing = false;
    std::fill(gesture.grab, gesture.grab + GRAB_ZONES, false);
    face.tongueDepth = 2;
    face.tongueShift = 0;
    face.jaw = 0;
    face.openTongue = TONGUE_LYING;

    // Every half is placed with the right part's picture 7, whatever its own
    // step: the zones of the start face.
    int ox = static_cast<int>(faceX), oy = static_cast<int>(faceY);
    for (c_Partie* right : {mouthRight.get(), lipsRight.get(), teethRight.get()}) {
        c_Partie* left = right == mouthRight ? mouthLeft.get() : right == lipsRight ? lipsLeft.get() : teethLeft.get();
        right->Place(right->frames[MOUTH_START_ROW], ox, oy, true, true);
        left->Place(right->frames[MOUTH_START_ROW], ox, oy, false, true);
    }
    eyeRight->Place(eyeRight->frames[0], ox, oy, true, true);
    eyeLeft->Place(eyeRight->frames[0], ox, oy, false, true);
    browRight->Place(browRight->frames[0], ox, oy, true, true);
    browLeft->Place(browRight->frames[0], ox, oy, false, true);
    tongue->Place(tongue->frames[TONGUE_START_ROW], ox, oy, face.tongueUnmirrored, false);
    RefreshCheekRanges(mouthRight, mouthLeft);
}

void c_FaceModel::ResetFace() {
    face.tongueUnmirrored = true;
    StartPlacement();
}

void c_FaceModel::RandomFace() {
    face.lipsMode = face.teethMode = face.pursedMouth = face.roundMouth = false;
    face.jaw = 0;
    tongue->x = TONGUE_X;
    int mode = static_cast<int>(random.Next(3));
    int row = static_cast<int>(random.Next(4)) * ROW;
    int step = static_cast<int>(random.Next(10));
    if (step > LAST_STEP) {
        step = LAST_STEP;
        if (mode == MODE_TEETH)
            face.roundMouth = true;
        else
            face.pursedMouth = true;
    }
    int k1 = static_cast<int>(random.Next(12));
    cheekRight->variant = k1 == 0 ? 1 : k1 == 1 ? 2 : 0;
    if (Paired()) {
        cheekLeft->variant = cheekRight->variant;
    } else {
        int k2 = static_cast<int>(random.Next(12));
        if (k2 == 0)
            cheekLeft->variant = cheekRight->variant == 2 ? 0 : 1;
        else if (k2 == 1)
            cheekLeft->variant = cheekRight->variant == 1 ? 0 : 2;
        else
            cheekLeft->variant = 0;
    }
    int row2 = row, step2 = step;
    if (!Paired()) {
        row2 = static_cast<int>(random.Next(4)) * ROW;
        step2 = static_cast<int>(random.Next(7));
    }
    if (mode == MODE_SMILE) {
        mouthRight->frame = row, mouthRight->variant = step;
        mouthLeft->frame = row2, mouthLeft->variant = step2;
    } else {
        c_Partie* right = mode == MODE_LIPS ? lipsRight.get() : teethRight.get();
        c_Partie* left = mode == MODE_LIPS ? lipsLeft.get() : teethLeft.get();
        right->frame = left->frame = row < 14 ? 0 : ROW;
        right->variant = step;
        left->variant = step2;
        face.lipsMode = mode == MODE_LIPS;
        face.teethMode = mode == MODE_TEETH;
    }
    PlaceMouthHalves();

    if (face.tongueMode) {
        tongue->frame = static_cast<int>(random.Next(4)) * TONGUE_ROW;
        // A draw of exactly 0 would give -5, one step beyond the tongue's
        // pictures; it counts as the last step to the left.
        int k = std::max(-4, static_cast<int>(random.Next(10) - 5));
        face.tongueDepth = static_cast<int>(random.Next(3));
        face.tongueShift = k;
        tongue->variant = std::abs(k);
        c_Partie* owner = face.lipsMode ? lipsRight.get() : mouthRight.get();
        int width = ShiftHalf(k)->Picture(owner)->Width();
        tongue->x += static_cast<float>((k < 0 ? -1 : 1) * tongue->variant * (width / 5));
        if (tongue->variant == 0) tongue->x = TONGUE_X;
        c_Partie* right = ShiftHalf(0);
        float bound = right->x + right->Picture(owner)->Width() - TONGUE_CORNER_MARGIN;
        if (tongue->x > bound) tongue->x = bound;
        face.tongueUnmirrored = k >= 0;
        PlaceTongue();
    }

    eyeRight->variant = static_cast<int>(random.Next(3));
    eyeLeft->variant = Paired() ? eyeRight->variant : static_cast<int>(random.Next(3));
    browRight->angle = static_cast<float>(static_cast<int>(random.Next(32) - 14));
    browLeft->angle = Paired() ? -browRight->angle : static_cast<float>(static_cast<int>(random.Next(3)));
    browRight->y = static_cast<float>(static_cast<int>(random.Next(60) + 244));
    browLeft->y = Paired() ? browRight->y : static_cast<float>(static_cast<int>(random.Next(60) + 244));
    PlacePair(eyeRight, eyeLeft);
    PlacePair(browRight, browLeft);

    // Drawn after every other value, so that the faces before them draw the
    // same numbers: one face in four opens the jaw or presses the lips.
    if (randomFaceFormat < JAW_FORMAT) return;
    int pose = static_cast<int>(random.Next(20));
    int place = static_cast<int>(random.Next(OPEN_TONGUE_PLACES));
    if (pose < JAW_OPEN_LAST)
        SetJaw(pose + 1);
    else if (pose < JAW_OPEN_LAST - JAW_PRESSED_LAST)
        SetJaw(JAW_OPEN_LAST - pose - 1);
    if (face.jaw > 0 && face.tongueMode) face.openTongue = place;
    PlaceTongue();
}

// The jaw to `jaw`: an opening jaw brings the tongue to the middle, where
// the open mouth holds it.
void c_FaceModel::SetJaw(int jaw) {
    if (face.jaw <= 0 && jaw > 0) {
        face.tongueShift = 0;
        tongue->variant = 0;
        tongue->x = TONGUE_X;
        face.tongueUnmirrored = true;
    }
    face.jaw = jaw;
    PlaceMouthHalves();
    PlaceTongue();
}

// The half on the side of a tongue shift: right for 0 and above.
c_Partie* c_FaceModel::ShiftHalf(int shift) const {
    if (face.lipsMode) return shift >= 0 ? lipsRight.get() : lipsLeft.get();
    return shift >= 0 ? mouthRight.get() : mouthLeft.get();
}

// ---- The grab zones ---------------------------------------------------------

namespace {

// The parts a zone is measured on.
enum PartName {
    P_TONGUE, P_MOUTH_R, P_MOUTH_L, P_LIPS_R, P_LIPS_L, P_TEETH_R, P_TEETH_L,
    P_CHEEK_R, P_CHEEK_L, P_BROW_R, P_BROW_L, P_EYE_R, P_EYE_L, P_CHIN
};
enum EdgeName { E1, E2, E3, E4 };
// One bound of a span: an edge of a part, moved by `margin` units.
struct Bound {
    PartName part;
    EdgeName edge;
    float margin;
};
// low < x < high; a span whose low bound lies above its high one is empty.
struct Span {
    Bound low, high;
};
// When a zone is tested, from the modes and the zones already hit by the
// same test (a row can only look at rows above it).
enum When {
    ALWAYS, TONGUE_OUT, SMILE_OPEN, SMILE_PURSED, LIPS, TEETH_OPEN, TEETH_ROUND,
    NO_MOUTH_HIT, NO_RIGHT_BROW_HIT, NO_LEFT_BROW_HIT, TAP_ONLY
};
// The tongue's tap is tested by the tap, never by the grab.
constexpr int TAP_TONGUE = GRAB_ZONES;

struct ZoneRow {
    int zone;
    When when;
    // zoneTop - above < y < zoneBottom + below of this part.
    PartName rows;
    float above, below;
    Span spans[2];
};
constexpr Span NO_SPAN = {{P_TONGUE, E1, 1}, {P_TONGUE, E1, 0}};

// Every zone of the face, in the order the grab test takes them. Wide parts
// were placed so that edge1..edge2 bands their outer end and edge3..edge4
// their inner end (Place); a part without a band (the tongue) has
// edge1 = edge2 at one end of its picture and edge3 = edge4 at the other.
// The tongue's grab leaves the last 10 units of its far end when it points
// right (edge3 < edge2) to the mouth corner it reaches; its tap counts on
// the whole picture. The mouth's three renderings share the centre; the
// space between the cheeks is the space around the mouth only (taken
// together with a zone of the mouth, its rule, which re-anchors every tick,
// would swallow that zone's movement).
const ZoneRow ZONES[] = {
    {GRAB_TONGUE, TONGUE_OUT, P_TONGUE, 0, 0,
     {{{P_TONGUE, E2, 0}, {P_TONGUE, E3, 0}}, {{P_TONGUE, E3, 0}, {P_TONGUE, E2, -10}}}},
    {GRAB_MOUTH_RIGHT, SMILE_OPEN, P_MOUTH_R, 0, 0, {{{P_MOUTH_R, E1, 0}, {P_MOUTH_R, E2, 0}}, NO_SPAN}},
    {GRAB_MOUTH_LEFT, SMILE_OPEN, P_MOUTH_R, 0, 0, {{{P_MOUTH_L, E2, 0}, {P_MOUTH_L, E1, 0}}, NO_SPAN}},
    {GRAB_MOUTH_CENTRE, SMILE_OPEN, P_MOUTH_R, 0, 0,
     {{{P_MOUTH_R, E4, 0}, {P_MOUTH_R, E1, 0}}, {{P_MOUTH_L, E1, 0}, {P_MOUTH_L, E3, 0}}}},
    {GRAB_MOUTH_RIGHT, SMILE_PURSED, P_MOUTH_R, 30, 30, {{{P_MOUTH_R, E3, 0}, {P_MOUTH_R, E1, 0}}, NO_SPAN}},
    {GRAB_MOUTH_LEFT, SMILE_PURSED, P_MOUTH_R, 30, 30, {{{P_MOUTH_L, E1, 0}, {P_MOUTH_L, E3, 0}}, NO_SPAN}},
    {GRAB_LIPS_RIGHT, LIPS, P_LIPS_R, 0, 0, {{{P_LIPS_R, E1, 0}, {P_LIPS_R, E2, 0}}, NO_SPAN}},
    {GRAB_LIPS_LEFT, LIPS, P_LIPS_R, 0, 0, {{{P_LIPS_L, E2, 0}, {P_LIPS_L, E1, 0}}, NO_SPAN}},
    {GRAB_MOUTH_CENTRE, LIPS, P_LIPS_R, 0, 0,
     {{{P_LIPS_R, E4, 0}, {P_LIPS_R, E1, 0}}, {{P_LIPS_L, E1, 0}, {P_LIPS_L, E3, 0}}}},
    {GRAB_TEETH_RIGHT, TEETH_OPEN, P_TEETH_R, 0, 0, {{{P_TEETH_R, E1, 0}, {P_TEETH_R, E2, 0}}, NO_SPAN}},
    {GRAB_TEETH_LEFT, TEETH_OPEN, P_TEETH_R, 0, 0, {{{P_TEETH_L, E2, 0}, {P_TEETH_L, E1, 0}}, NO_SPAN}},
    {GRAB_MOUTH_CENTRE, TEETH_OPEN, P_TEETH_R, 0, 0,
     {{{P_TEETH_R, E4, 0}, {P_TEETH_R, E1, 0}}, {{P_TEETH_L, E1, 0}, {P_TEETH_L, E3, 0}}}},
    // The round mouth's halves are one picture and its mirror image: the
    // same rows, 20 units beyond it above and below, and 30 beyond its ends.
    {GRAB_TEETH_RIGHT, TEETH_ROUND, P_TEETH_R, 20, 20, {{{P_TEETH_R, E3, 0}, {P_TEETH_R, E1, 30}}, NO_SPAN}},
    {GRAB_TEETH_LEFT, TEETH_ROUND, P_TEETH_L, 20, 20, {{{P_TEETH_L, E1, -30}, {P_TEETH_L, E3, 0}}, NO_SPAN}},
    {GRAB_CHIN, ALWAYS, P_CHIN, 0, 0, {{{P_CHIN, E1, 0}, {P_CHIN, E2, 0}}, NO_SPAN}},
    {GRAB_CHEEK_RIGHT, ALWAYS, P_CHEEK_R, 0, 0, {{{P_CHEEK_R, E1, 0}, {P_CHEEK_R, E2, 0}}, NO_SPAN}},
    {GRAB_CHEEK_LEFT, ALWAYS, P_CHEEK_L, 0, 0, {{{P_CHEEK_L, E1, 0}, {P_CHEEK_L, E2, 0}}, NO_SPAN}},
    {GRAB_BETWEEN_CHEEKS, NO_MOUTH_HIT, P_CHEEK_R, 0, 0, {{{P_CHEEK_L, E2, 0}, {P_CHEEK_R, E1, 0}}, NO_SPAN}},
    {GRAB_BROW_RIGHT_OUTER, ALWAYS, P_BROW_R, 15, 15, {{{P_BROW_R, E1, 0}, {P_BROW_R, E2, -10}}, NO_SPAN}},
    {GRAB_BROW_RIGHT_INNER, ALWAYS, P_BROW_R, 15, 15, {{{P_BROW_R, E3, 10}, {P_BROW_R, E4, 0}}, NO_SPAN}},
    {GRAB_BROW_LEFT_OUTER, ALWAYS, P_BROW_L, 15, 15, {{{P_BROW_L, E2, 0}, {P_BROW_L, E1, -10}}, NO_SPAN}},
    {GRAB_BROW_LEFT_INNER, ALWAYS, P_BROW_L, 15, 15, {{{P_BROW_L, E4, 10}, {P_BROW_L, E3, 0}}, NO_SPAN}},
    {GRAB_BROW_RIGHT_MIDDLE, ALWAYS, P_BROW_R, 15, 15, {{{P_BROW_R, E4, -10}, {P_BROW_R, E1, 10}}, NO_SPAN}},
    {GRAB_BROW_LEFT_MIDDLE, ALWAYS, P_BROW_L, 15, 15, {{{P_BROW_L, E1, -10}, {P_BROW_L, E3, 10}}, NO_SPAN}},
    {GRAB_EYE_RIGHT, NO_RIGHT_BROW_HIT, P_EYE_R, 0, 0, {{{P_EYE_R, E3, 0}, {P_EYE_R, E2, 0}}, NO_SPAN}},
    {GRAB_EYE_LEFT, NO_LEFT_BROW_HIT, P_EYE_L, 0, 0, {{{P_EYE_L, E2, 0}, {P_EYE_L, E3, 0}}, NO_SPAN}},
    {TAP_TONGUE, TAP_ONLY, P_TONGUE, 0, 0,
     {{{P_TONGUE, E2, 0}, {P_TONGUE, E3, 0}}, {{P_TONGUE, E3, 0}, {P_TONGUE, E2, 0}}}},
};

constexpr unsigned Bit(int zone) { return 1u << zone; }
constexpr unsigned MOUTH_ZONES = Bit(GRAB_TONGUE) | Bit(GRAB_MOUTH_RIGHT) | Bit(GRAB_MOUTH_LEFT) |
                                 Bit(GRAB_MOUTH_CENTRE) | Bit(GRAB_LIPS_RIGHT) | Bit(GRAB_LIPS_LEFT) |
                                 Bit(GRAB_TEETH_RIGHT) | Bit(GRAB_TEETH_LEFT);
constexpr unsigned RIGHT_BROW_ZONES =
    Bit(GRAB_BROW_RIGHT_OUTER) | Bit(GRAB_BROW_RIGHT_INNER) | Bit(GRAB_BROW_RIGHT_MIDDLE);
constexpr unsigned LEFT_BROW_ZONES =
    Bit(GRAB_BROW_LEFT_OUTER) | Bit(GRAB_BROW_LEFT_INNER) | Bit(GRAB_BROW_LEFT_MIDDLE);

}  // namespace

c_Partie* c_FaceModel::PartNamed(int name) const {
    switch (name) {
        case P_TONGUE: return tongue;
        case P_MOUTH_R: return mouthRight;
        case P_MOUTH_L: return mouthLeft;
        case P_LIPS_R: return lipsRight;
        case P_LIPS_L: return lipsLeft;
        case P_TEETH_R: return teethRight;
        case P_TEETH_L: return teethLeft;
        case P_CHEEK_R: return cheekRight;
        case P_CHEEK_L: return cheekLeft;
        case P_BROW_R: return browRight;
        case P_BROW_L: return browLeft;
        case P_EYE_R: return eyeRight;
        case P_CHIN: return chin;
        default: return eyeLeft;
    }
}

namespace {

bool InZone(const c_FaceModel& app, const ZoneRow& row, float ax, float ay) {
    auto at = [&](const Bound& b) {
        c_Partie* p = app.PartNamed(b.part);
        const float edges[4] = {p->edge1, p->edge2, p->edge3, p->edge4};
        return edges[b.edge] + b.margin;
    };
    c_Partie* rows = app.PartNamed(row.rows);
    if (!(rows->zoneTop - row.above < ay && ay < rows->zoneBottom + row.below)) return false;
    for (const Span& span : row.spans)
        if (at(span.low) < ax && ax < at(span.high)) return true;
    return false;
}

}  // namespace

unsigned c_FaceModel::ZonesAt(float ax, float ay) const {
    // The jaw's poses have no corners and no middle to take: only the chin,
    // and the tongue in the open mouth.
    bool rendering = face.jaw == 0;
    bool smile = rendering && !face.lipsMode && !face.teethMode;
    unsigned hit = 0;
    for (const ZoneRow& row : ZONES) {
        bool tested = false;
        switch (row.when) {
            case ALWAYS: tested = true; break;
            case TONGUE_OUT: tested = face.tongueOut && face.jaw >= 0; break;
            case SMILE_OPEN: tested = smile && !face.pursedMouth && !(hit & Bit(GRAB_TONGUE)); break;
            case SMILE_PURSED: tested = smile && face.pursedMouth && !(hit & Bit(GRAB_TONGUE)); break;
            case LIPS: tested = rendering && face.lipsMode && !(hit & Bit(GRAB_TONGUE)); break;
            case TEETH_OPEN: tested = rendering && face.teethMode && !face.roundMouth; break;
            case TEETH_ROUND: tested = rendering && face.teethMode && face.roundMouth; break;
            case NO_MOUTH_HIT: tested = !(hit & MOUTH_ZONES); break;
            case NO_RIGHT_BROW_HIT: tested = !(hit & RIGHT_BROW_ZONES); break;
            case NO_LEFT_BROW_HIT: tested = !(hit & LEFT_BROW_ZONES); break;
            case TAP_ONLY: break;
        }
        if (tested && InZone(*this, row, ax, ay)) hit |= Bit(row.zone);
    }
    return hit;
}

bool c_FaceModel::OnTongueTap(float ax, float ay) const {
    for (const ZoneRow& row : ZONES)
        if (row.zone == TAP_TONGUE) return InZone(*this, row, ax, ay);
    return false;
}

void c_FaceModel::GrabTest(float ax, float ay) {
    unsigned hit = ZonesAt(ax, ay);
    for (int zone = 0; zone < GRAB_ZONES; ++zone)
        if (hit & Bit(zone)) gesture.grab[zone] = true;
    if (hit) gesture.grabbing = true;
}

// ---- The drag rules ------------------------------------------------------

// The gestures see only this tick's input: where the finger is, whether it
// came from the pointer or from a recording.
void c_FaceModel::GestureTick() {
    if (!input.repeat) gesture.holdTicks += 1;
    if (!gesture.grabbing) {
        AnchorHere();
        GrabTest(static_cast<float>(gesture.anchorX), static_cast<float>(gesture.anchorY));
    }
    int cx = input.x, cy = input.y;
    DragCheeks(cx);
    DragOne(cx, cy, cx - gesture.anchorX, cy - gesture.anchorY);
}

void c_FaceModel::SetCheek(c_Partie* cheek, c_Partie* other, int variant) {
    cheek->variant = variant;
    if (Paired()) {
        other->variant = variant;
    } else if ((variant == 1 && other->variant == 2) || (variant == 2 && other->variant == 1)) {
        // A puffed and a hollow cheek never show together.
        other->variant = 0;
    }
    PlaceMouthHalves();
}

void c_FaceModel::DragCheeks(int cx) {
    int dx = cx - gesture.anchorX;
    c_Partie* cheek = nullptr;
    c_Partie* other = nullptr;
    int outward = 0;
    if (gesture.grab[GRAB_CHEEK_RIGHT]) {
        cheek = cheekRight, other = cheekLeft, outward = 1;
    } else if (gesture.grab[GRAB_CHEEK_LEFT]) {
        cheek = cheekLeft, other = cheekRight, outward = -1;
    } else if (gesture.grab[GRAB_BETWEEN_CHEEKS]) {
        AnchorHere();
        cheekRight->variant = cheekLeft->variant = 0;
        PlaceMouthHalves();
        return;
    } else {
        return;
    }
    if (dx * outward > CHEEK_STEP) {
        AnchorHere();
        // Out puffs a resting cheek and brings a hollow one back.
        SetCheek(cheek, other, cheek->variant == 0 ? 1 : cheek->variant == 2 ? 0 : 1);
    } else if (dx * outward < -CHEEK_STEP) {
        AnchorHere();
        SetCheek(cheek, other, cheek->variant == 1 ? 0 : 2);
    }
}

namespace {

// The rule of each zone, in the order that decides which one runs when a
// grab took several: the first grabbed row runs, once per tick, after the
// cheeks' rules (DragCheeks).
struct DragRow {
    GrabZone zone;
    void (c_FaceModel::*rule)(c_Partie* part, c_Partie* other, int side, int mode, const c_FaceModel::Movement& m);
    PartName part, other;
    int side, mode;
};
const DragRow DRAG_RULES[] = {
    {GRAB_EYE_RIGHT, &c_FaceModel::DragEye, P_EYE_R, P_EYE_L, 1, 0},
    {GRAB_EYE_LEFT, &c_FaceModel::DragEye, P_EYE_L, P_EYE_R, -1, 0},
    {GRAB_MOUTH_RIGHT, &c_FaceModel::DragCorner, P_MOUTH_R, P_MOUTH_L, 1, MODE_SMILE},
    {GRAB_MOUTH_LEFT, &c_FaceModel::DragCorner, P_MOUTH_L, P_MOUTH_R, -1, MODE_SMILE},
    {GRAB_LIPS_RIGHT, &c_FaceModel::DragCorner, P_LIPS_R, P_LIPS_L, 1, MODE_LIPS},
    {GRAB_LIPS_LEFT, &c_FaceModel::DragCorner, P_LIPS_L, P_LIPS_R, -1, MODE_LIPS},
    {GRAB_TEETH_RIGHT, &c_FaceModel::DragCorner, P_TEETH_R, P_TEETH_L, 1, MODE_TEETH},
    {GRAB_TEETH_LEFT, &c_FaceModel::DragCorner, P_TEETH_L, P_TEETH_R, -1, MODE_TEETH},
    {GRAB_MOUTH_CENTRE, &c_FaceModel::DragMouthCentre, P_MOUTH_R, P_MOUTH_L, 0, 0},
    // The outer end of the right brow turns it up when it goes up; the
    // inner end, and the left brow's ends, the other way round as seen.
    {GRAB_BROW_RIGHT_OUTER, &c_FaceModel::DragBrowEnd, P_BROW_R, P_BROW_L, 1, 0},
    {GRAB_BROW_RIGHT_INNER, &c_FaceModel::DragBrowEnd, P_BROW_R, P_BROW_L, -1, 0},
    {GRAB_BROW_RIGHT_MIDDLE, &c_FaceModel::DragBrowMiddle, P_BROW_R, P_BROW_L, 1, 0},
    {GRAB_BROW_LEFT_OUTER, &c_FaceModel::DragBrowEnd, P_BROW_L, P_BROW_R, -1, 0},
    {GRAB_BROW_LEFT_INNER, &c_FaceModel::DragBrowEnd, P_BROW_L, P_BROW_R, 1, 0},
    {GRAB_BROW_LEFT_MIDDLE, &c_FaceModel::DragBrowMiddle, P_BROW_L, P_BROW_R, -1, 0},
    {GRAB_TONGUE, &c_FaceModel::DragTongue, P_TONGUE, P_TONGUE, 0, 0},
    {GRAB_CHIN, &c_FaceModel::DragChin, P_CHIN, P_CHIN, 0, 0},
};

}  // namespace

int c_FaceModel::DragRuleFor(unsigned zones) {
    for (const DragRow& row : DRAG_RULES)
        if (zones & Bit(row.zone)) return row.zone;
    return -1;
}

namespace {

// How far the middle of the mouth goes for each change of rendering, by
// (from, to): beyond 35 units for the lips from the smiling mouth and for
// the smiling mouth from the lips, 31 to 35 for the teeth from either, and
// beyond 30 between the teeth and the others.
int ModeDrag(int from, int to) {
    if (from == MODE_SMILE) return to == MODE_LIPS ? MODE_FAR + 5 : MODE_NEAR + 3;
    if (from == MODE_LIPS) return to == MODE_SMILE ? -(MODE_FAR + 5) : -(MODE_NEAR + 3);
    return to == MODE_SMILE ? -(MODE_FAR + 5) : MODE_FAR + 5;
}

}  // namespace

bool c_FaceModel::KeyGestureFor(int gestureKey, KeyGesture* result) const {
    // The first whole point near (cx, cy), nearest rows first, where `takes`
    // holds: the place a hand would take hold of.
    auto find = [](float cx, float cy, auto takes, float* x, float* y) {
        const int steps[] = {0, 4, -4, 8, -8, 12, -12, 16, -16, 20, -20, 24, -24};
        for (int sy : steps)
            for (int sx = 0; sx <= 240; sx += 4)
                for (int sign : {1, -1}) {
                    float px = std::trunc(cx) + sign * sx, py = std::trunc(cy) + sy;
                    if (takes(px, py)) {
                        *x = px, *y = py;
                        return true;
                    }
                }
        return false;
    };
    KeyGesture g;
    // A drag of one step, held as long as a hand's drag, which is no tap.
    auto drag = [&](int zone, float cx, float cy, int dy) {
        auto takes = [&](float x, float y) { return DragRuleFor(ZonesAt(x, y)) == zone; };
        if (!find(cx, cy, takes, &g.x0, &g.y0)) return false;
        g.x1 = g.x0;
        g.y1 = g.y0 + static_cast<float>(dy);
        g.touchTicks = TAP_TICKS;
        g.tick = 0;
        *result = g;
        return true;
    };
    if (gestureKey == GKEY_JAW_OPEN || gestureKey == GKEY_JAW_CLOSE) {
        bool open = gestureKey == GKEY_JAW_OPEN;
        if (face.jaw == (open ? JAW_OPEN_LAST : JAW_PRESSED_LAST) || !CheeksAtRest()) return false;
        c_Partie* c = chin;
        return drag(GRAB_CHIN, (c->edge1 + c->edge2) / 2, (c->zoneTop + c->zoneBottom) / 2,
                    open ? JAW_STEP + 3 : -(JAW_STEP + 3));
    }
    if (gestureKey == GKEY_TONGUE_UP || gestureKey == GKEY_TONGUE_DOWN) {
        bool up = gestureKey == GKEY_TONGUE_UP;
        if (!face.tongueOut || face.jaw < 0) return false;
        if (face.jaw > 0 && face.openTongue == (up ? 0 : OPEN_TONGUE_PLACES - 1)) return false;
        if (face.jaw == 0 && tongue->frame == (up ? 0 : TONGUE_LAST_ROW)) return false;
        c_Partie* t = tongue;
        return drag(GRAB_TONGUE, (t->edge2 + t->edge3) / 2, (t->zoneTop + t->zoneBottom) / 2,
                    up ? -(TONGUE_ROW_STEP + 3) : TONGUE_ROW_STEP + 3);
    }
    if (gestureKey == GKEY_DEPTH) {
        // A tap on the tongue between the lips.
        if (!face.tongueOut || !face.lipsMode || face.jaw != 0) return false;
        c_Partie* t = tongue;
        auto onTongue = [&](float x, float y) {
            return OnTongueTap(x, y) && (ZonesAt(x, y) & Bit(GRAB_TONGUE)) != 0;
        };
        if (!find((t->edge2 + t->edge3) / 2, (t->zoneTop + t->zoneBottom) / 2, onTongue, &g.x0, &g.y0)) return false;
        g.x1 = g.x0, g.y1 = g.y0;
        g.touchTicks = 1;
    } else {
        // The middle of the mouth dragged up or down, held as long as a
        // hand's drag, which is no tap.
        int from = face.lipsMode ? MODE_LIPS : face.teethMode ? MODE_TEETH : MODE_SMILE;
        int to = gestureKey == GKEY_LIPS ? MODE_LIPS : gestureKey == GKEY_TEETH ? MODE_TEETH : MODE_SMILE;
        if (from == to) return false;
        c_Partie* half = face.lipsMode ? lipsRight.get() : face.teethMode ? teethRight.get() : mouthRight.get();
        return drag(GRAB_MOUTH_CENTRE, half->x + faceX, (half->zoneTop + half->zoneBottom) / 2, ModeDrag(from, to));
    }
    g.tick = 0;
    *result = g;
    return true;
}

void c_FaceModel::DragOne(int cx, int cy, int dx, int dy) {
    for (const DragRow& row : DRAG_RULES)
        if (gesture.grab[row.zone]) {
            (this->*row.rule)(PartNamed(row.part), PartNamed(row.other), row.side, row.mode, {cx, cy, dx, dy});
            return;
        }
}

void c_FaceModel::DragEye(c_Partie* eye, c_Partie* other, int side, int, const Movement& m) {
    int dy = m.dy;
    if (dy < -EYE_STEP) {
        AnchorHere();
        eye->variant = std::min(EYE_LAST_STEP, eye->variant + 1);
    } else if (dy > EYE_STEP) {
        if (side > 0) {
            gesture.anchorX = m.cx;
            gesture.anchorY = m.cy;
        } else {
            AnchorHere();
        }
        eye->variant = std::max(0, eye->variant - 1);
    } else {
        return;
    }
    if (Paired()) other->variant = eye->variant;
    PlacePair(eyeRight, eyeLeft);
}

void c_FaceModel::HoldTongueInsideMouth() {
    float high = mouthRight->x + mouthRight->Picture(mouthRight)->Width() - TONGUE_CORNER_MARGIN;
    float low = mouthLeft->x - mouthLeft->Picture(mouthRight)->Width() + TONGUE_CORNER_MARGIN;
    if (tongue->x > high) tongue->x = high;
    if (tongue->x < low) tongue->x = low;
    PlaceTongue();
}

// A corner of the smiling mouth, the lips or the teeth: up and down change its
// row, out and in its step; the narrowest step goes on to the pursed lips
// (smiling mouth) or the round mouth (teeth).
void c_FaceModel::DragCorner(c_Partie* half, c_Partie* other, int side, int rendering, const Movement& m) {
    int dx = m.dx, dy = m.dy;
    bool right = side > 0;
    // Inward for the left corner includes the threshold itself.
    bool outward = right ? dx > MOUTH_SIDE_STEP : dx < -MOUTH_SIDE_STEP;
    bool inward = right ? dx < -MOUTH_SIDE_STEP : dx >= MOUTH_SIDE_STEP;
    bool vertical = dy < -MOUTH_ROW_STEP || dy > MOUTH_ROW_STEP;
    if (!vertical && !outward && !inward) return;
    AnchorHere();
    if (!CheeksAtRest()) return;
    bool smile = rendering == MODE_SMILE;
    bool narrowest = false;
    if (vertical) {
        int last = smile ? MOUTH_LAST_ROW : LIPS_LAST_ROW;
        half->frame = std::clamp(half->frame + (dy < 0 ? -ROW : ROW), 0, last);
    } else if (outward) {
        half->variant = std::min(LAST_STEP, half->variant + 1);
    } else if (--half->variant < 0) {
        half->variant = 0;
        narrowest = true;
    }
    bool& beyond = smile ? face.pursedMouth : face.roundMouth;
    if (rendering != MODE_LIPS) {
        if (vertical || outward) beyond = false;
        if (narrowest) beyond = true;
    }
    // The halves of the lips and the teeth always share their row.
    if (Paired() || !smile) other->frame = half->frame;
    if (Paired()) other->variant = half->variant;
    PlaceMouthHalves();
    if (smile && !vertical) HoldTongueInsideMouth();
}

// Moves the mouth to another rendering; each new half takes the step of its
// own counterpart and the row nearest to the old one.
void c_FaceModel::ChangeMode(int mode) {
    c_Partie *fromR, *fromL;
    if (face.lipsMode)
        fromR = lipsRight, fromL = lipsLeft;
    else if (face.teethMode)
        fromR = teethRight, fromL = teethLeft;
    else
        fromR = mouthRight, fromL = mouthLeft;
    c_Partie *toR, *toL;
    if (mode == MODE_LIPS)
        toR = lipsRight, toL = lipsLeft;
    else if (mode == MODE_TEETH)
        toR = teethRight, toL = teethLeft;
    else
        toR = mouthRight, toL = mouthLeft;
    toR->variant = fromR->variant;
    toL->variant = fromL->variant;
    bool fromSmile = !face.lipsMode && !face.teethMode;
    if (fromSmile)
        toR->frame = fromR->frame < 14 ? 0 : ROW;
    else if (mode == MODE_SMILE)
        toR->frame = fromR->frame == 0 ? MOUTH_START_ROW : 14;
    else
        toR->frame = fromR->frame;
    toL->frame = toR->frame;
    face.lipsMode = mode == MODE_LIPS;
    face.teethMode = mode == MODE_TEETH;
    PlaceMouthHalves();
    PlaceTongue();
}

void c_FaceModel::DragMouthCentre(c_Partie*, c_Partie*, int, int, const Movement& m) {
    int dy = m.dy;
    int mode = -1;
    if (face.lipsMode) {
        if (dy < -MODE_FAR)
            mode = MODE_SMILE;
        else if (dy < -MODE_NEAR)
            mode = MODE_TEETH;
    } else if (face.teethMode) {
        if (dy < -MODE_NEAR)
            mode = MODE_SMILE;
        else if (dy > MODE_NEAR)
            mode = MODE_LIPS;
    } else {
        if (dy > MODE_FAR)
            mode = MODE_LIPS;
        else if (dy > MODE_NEAR)
            mode = MODE_TEETH;
    }
    if (mode < 0) return;
    AnchorHere();
    ChangeMode(mode);
}

void c_FaceModel::DragBrowEnd(c_Partie* brow, c_Partie* other, int upStep, int, const Movement& m) {
    int dy = m.dy;
    int direction;
    if (dy < -BROW_STEP)
        direction = upStep;
    else if (dy > BROW_STEP)
        direction = -upStep;
    else
        return;
    AnchorHere();
    brow->angle = std::clamp(brow->angle + direction * BROW_ANGLE_STEP, BROW_ANGLE_MIN, BROW_ANGLE_MAX);
    if (Paired()) other->angle = -brow->angle;
}

void c_FaceModel::DragBrowMiddle(c_Partie* brow, c_Partie* other, int, int, const Movement& m) {
    int dy = m.dy;
    if (dy > BROW_STEP) {
        AnchorHere();
        brow->y = std::min(BROW_Y_MAX, brow->y + BROW_Y_STEP);
    } else if (dy < -BROW_STEP) {
        AnchorHere();
        brow->y = std::max(BROW_Y_MIN, brow->y - BROW_Y_STEP);
    } else {
        return;
    }
    if (Paired()) other->y = brow->y;
    PlacePair(browRight, browLeft);
}

void c_FaceModel::StepTongue(int direction) {
    int shift = std::clamp(face.tongueShift + direction, -TONGUE_SHIFT_MAX, TONGUE_SHIFT_MAX);
    if (shift == face.tongueShift) return;
    face.tongueShift = shift;
    tongue->variant = std::abs(shift);
    c_Partie* half = ShiftHalf(shift);
    c_Partie* owner = face.lipsMode ? lipsRight.get() : mouthRight.get();
    tongue->x += static_cast<float>(direction * (half->Picture(owner)->Width() / 5));
    face.tongueUnmirrored = shift >= 0;
    if (direction > 0) {
        c_Partie* right = ShiftHalf(0);
        float bound = right->x + right->Picture(owner)->Width() - TONGUE_CORNER_MARGIN;
        if (tongue->x > bound) tongue->x = bound;
    } else {
        c_Partie* left = ShiftHalf(-1);
        float bound = left->x - left->Picture(owner)->Width() + TONGUE_CORNER_MARGIN;
        if (tongue->x < bound) tongue->x = bound;
    }
    if (tongue->variant == 0) tongue->x = TONGUE_X;
}

void c_FaceModel::DragTongue(c_Partie*, c_Partie*, int, int, const Movement& m) {
    int dx = m.dx, dy = m.dy;
    if (face.jaw > 0) {
        // In the open mouth the tongue goes up to the ridge or down behind
        // the lower teeth and out; it stays in the middle.
        if (dy < -TONGUE_ROW_STEP || dy > TONGUE_ROW_STEP) {
            AnchorHere();
            face.openTongue = std::clamp(face.openTongue + (dy < 0 ? -1 : 1), 0, OPEN_TONGUE_PLACES - 1);
            PlaceTongue();
        }
        return;
    }
    if (dy < -TONGUE_ROW_STEP) {
        AnchorHere();
        tongue->frame = std::max(0, tongue->frame - TONGUE_ROW);
    } else if (dy > TONGUE_ROW_STEP) {
        AnchorHere();
        tongue->frame = std::min(TONGUE_LAST_ROW, tongue->frame + TONGUE_ROW);
    } else if (dx > TONGUE_SIDE_STEP) {
        AnchorHere();
        StepTongue(1);
    } else if (dx < -TONGUE_SIDE_STEP) {
        AnchorHere();
        StepTongue(-1);
    } else {
        return;
    }
    PlaceTongue();
}

// The chin down opens the jaw a step; up closes it, then presses the lips
// and rolls them in.
void c_FaceModel::DragChin(c_Partie*, c_Partie*, int, int, const Movement& m) {
    if (m.dy <= JAW_STEP && m.dy >= -JAW_STEP) return;
    AnchorHere();
    // A puffed or hollow cheek holds the mouth as it is, as it holds the corners.
    if (!CheeksAtRest()) return;
    SetJaw(std::clamp(face.jaw + (m.dy > 0 ? 1 : -1), JAW_PRESSED_LAST, JAW_OPEN_LAST));
}

void c_FaceModel::AnchorHere() {
    gesture.anchorX = input.x;
    gesture.anchorY = input.y;
}

void c_FaceModel::Release() {
    gesture.grabbing = false;
    std::fill(gesture.grab, gesture.grab + GRAB_ZONES, false);
    if (gesture.holdTicks > 0 && gesture.holdTicks < TAP_TICKS) gesture.tapped = true;
    gesture.holdTicks = 0;
}

// A tap on the tongue between the lips moves it a step deeper: inside, between
// the lips, in front, and inside again.
void c_FaceModel::TapTick() {
    if (!gesture.tapped) return;
    gesture.tapped = false;
    if (!face.tongueOut || !face.lipsMode || face.jaw != 0) return;
    if (OnTongueTap(static_cast<float>(gesture.anchorX), static_cast<float>(gesture.anchorY)))
        face.tongueDepth = face.tongueDepth == 2 ? 0 : face.tongueDepth + 1;
}

// ---- The face as a whole ---------------------------------------------------

namespace {

c_Partie* NewPart(PartState& state, PartZone& zone, const Array<c_Image2*>& frames = Array<c_Image2*>(),
                  const Array<c_Image2*>& framesB = Array<c_Image2*>(),
                  const Array<c_Image2*>& framesC = Array<c_Image2*>()) {
    c_Partie* part = new c_Partie(state, zone);
    part->frames = frames;
    part->framesB = framesB;
    part->framesC = framesC;
    return part;
}

// The cheeks' rows are set once: from 13 units above the cheek picture to 7
// below it.
constexpr float CHEEK_ZONE_ABOVE = 13, CHEEK_ZONE_BELOW = 7;

}  // namespace

c_FaceModel* c_FaceModel::Init(c_FacePictures* shared, Child which) {
    pictures = shared;
    PartState* p = face.parts;
    // The eyes' pictures are the child's own: this face's array, filled by
    // ShowChild; every other part shows the shared pictures.
    eyeRight = NewPart(p[PART_EYE_RIGHT], zones[PART_EYE_RIGHT], Array<c_Image2*>(3));
    eyeLeft = NewPart(p[PART_EYE_LEFT], zones[PART_EYE_LEFT]);
    browRight = NewPart(p[PART_BROW_RIGHT], zones[PART_BROW_RIGHT], shared->brow);
    browLeft = NewPart(p[PART_BROW_LEFT], zones[PART_BROW_LEFT]);
    cheekRight = NewPart(p[PART_CHEEK_RIGHT], zones[PART_CHEEK_RIGHT], shared->cheek);
    cheekLeft = NewPart(p[PART_CHEEK_LEFT], zones[PART_CHEEK_LEFT]);
    mouthRight = NewPart(p[PART_MOUTH_RIGHT], zones[PART_MOUTH_RIGHT], shared->mouth, shared->mouthB, shared->mouthC);
    mouthLeft = NewPart(p[PART_MOUTH_LEFT], zones[PART_MOUTH_LEFT]);
    lipsRight = NewPart(p[PART_LIPS_RIGHT], zones[PART_LIPS_RIGHT], shared->lips, shared->lipsB, shared->lipsC);
    lipsLeft = NewPart(p[PART_LIPS_LEFT], zones[PART_LIPS_LEFT]);
    teethRight = NewPart(p[PART_TEETH_RIGHT], zones[PART_TEETH_RIGHT], shared->teeth);
    teethLeft = NewPart(p[PART_TEETH_LEFT], zones[PART_TEETH_LEFT]);
    tongue = NewPart(p[PART_TONGUE], zones[PART_TONGUE], shared->tongue);
    chin = NewPart(chinState, chinZone);
    ShowChild(which);

    faceX = (VIRTUAL_WIDTH - faceImage->Width()) * 0.5f;
    faceY = (VIRTUAL_HEIGHT - faceImage->Height()) * 0.5f;
    face.paired = true;
    StartPlacement();
    c_Image2* cheek = cheekRight->frames[0];
    cheekRight->zoneTop = cheekRight->y - cheek->PivotY() * cheek->Height() + faceY - CHEEK_ZONE_ABOVE;
    cheekRight->zoneBottom = cheekRight->zoneTop + cheek->Height() + CHEEK_ZONE_ABOVE + CHEEK_ZONE_BELOW;
    cheekLeft->zoneTop = cheekRight->zoneTop;
    cheekLeft->zoneBottom = cheekRight->zoneBottom;
    chin->SetRange(static_cast<int>(faceX + CHIN_LEFT), static_cast<int>(faceX + CHIN_RIGHT));
    chin->zoneTop = faceY + CHIN_TOP;
    chin->zoneBottom = faceY + CHIN_BOTTOM;
    return this;
}

void c_FaceModel::ShowChild(Child which) {
    faceImage = pictures->ChildPicture(which, 0);
    for (int i = 0; i < 3; ++i) eyeRight->frames[i] = pictures->ChildPicture(which, 1 + i);
    child = which;
}

std::vector<c_Partie*> c_FaceModel::Parts() const {
    return {eyeRight,   eyeLeft,   browRight, browLeft,   cheekRight, cheekLeft, mouthRight,
            mouthLeft,  lipsRight, lipsLeft,  teethRight, teethLeft,  tongue};
}

void c_FaceModel::Tick(const TickInput& in) {
    input = in;
    // A played press acts where a live one did: before the tongue's state
    // is read and before the gestures.
    if (input.event) ApplyEvent(input.event);
    face.tongueOut = face.tongueMode;
    if (input.touching && input.pressed && (gesture.grabbing || gesture.holdTicks > 0)) Release();
    if (input.touching)
        GestureTick();
    else
        Release();
}

void c_FaceModel::ApplyEvent(int code) {
    switch (code) {
        case ENTRY_TONGUE: face.tongueMode = !face.tongueMode; break;
        case ENTRY_RANDOM: RandomFace(); break;
        case ENTRY_RESET: ResetFace(); break;
        case ENTRY_SYMMETRY: face.paired = !face.paired; break;
        default: break;
    }
}

void c_FaceModel::ApplySnapshot(const Face& snapshot) {
    CopyStoredValues(snapshot, &face);
    PlaceAll();
}
