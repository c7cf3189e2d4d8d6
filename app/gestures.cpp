// The face's gestures: a touch grabs the parts under the anchor point; each
// later movement of the pointer beyond a part's threshold from the anchor
// steps the part once and moves the anchor to the current point, so the next
// step needs a new movement of the same size.
#include <algorithm>
#include <cstdlib>

#include "app/my_app.h"
#include "canvas/image.h"

namespace {

// Start positions of the parts relative to the face picture's top-left corner.
constexpr float EYE_RIGHT_X = 490, EYE_LEFT_X = 294, EYE_Y = 358;
constexpr float BROW_RIGHT_X = 488, BROW_LEFT_X = 295, BROW_Y = 264;
constexpr float CHEEK_RIGHT_X = 440, CHEEK_LEFT_X = 340, CHEEK_Y = 553;
constexpr float MOUTH_RIGHT_X = 392, MOUTH_LEFT_X = 394, MOUTH_Y = 506;
constexpr float LIPS_RIGHT_X = 392, LIPS_LEFT_X = 395, LIPS_Y = 500;
constexpr float TEETH_RIGHT_X = 392, TEETH_LEFT_X = 394, TEETH_Y = 500;
constexpr float TONGUE_X = 392, TONGUE_Y = 504;
// Rows: the smiling mouth has four of seven steps, lips and teeth two, the
// tongue four of five.
constexpr int MOUTH_START_ROW = 7, MOUTH_LAST_ROW = 21, LIPS_LAST_ROW = 7, ROW = 7;
constexpr int TONGUE_START_ROW = 10, TONGUE_LAST_ROW = 15, TONGUE_ROW = 5;
constexpr int LAST_STEP = 6;
// Picture indices of the mouth's arrays.
constexpr int PURSED_PICTURE = 35;
constexpr int ROUND_TEETH_PICTURE = 14;
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

// The mouth's renderings, numbered as the random face draws them.
enum Mode { MODE_SMILE = 0, MODE_TEETH = 1, MODE_LIPS = 2 };

}  // namespace

int randomState = 0;

float Rand(float n) {
    uint32_t next = static_cast<uint32_t>(randomState) * 1664525u + 1013904223u;
    randomState = static_cast<int>(next);
    float draw = static_cast<float>((randomState >> 8) & 0xFFFFFF) / 16777216.0f;
    return draw * n;
}

bool c_MyApp::Paired() const { return symmetryButton->state == 1; }

bool c_MyApp::CheeksAtRest() const { return cheekRight->variant == 0 && cheekLeft->variant == 0; }

// The picture a smiling-mouth half is placed (and drawn) with: its row and
// step, the pursed lips, or with a puffed or hollow cheek the cheek mouth.
// The table is (right cheek, left cheek) -> (right picture, left picture).
int c_MyApp::MouthPictureIndex(bool right) const {
    int cr = cheekRight->variant, cl = cheekLeft->variant;
    if (cr == 0 && cl == 0 && pursedMouth) return PURSED_PICTURE;
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

void c_MyApp::RefreshCheekRanges(c_Partie* right, c_Partie* left) {
    cheekRight->SetRange(static_cast<int>(right->edge2), static_cast<int>(faceX + CHEEK_RIGHT_END));
    cheekLeft->SetRange(static_cast<int>(faceX + CHEEK_LEFT_END), static_cast<int>(left->edge2));
}

void c_MyApp::PlacePair(c_Partie* right, c_Partie* left) {
    int ox = static_cast<int>(faceX), oy = static_cast<int>(faceY);
    right->Place(right->Picture(right), ox, oy, true, true);
    left->Place(left->Picture(right), ox, oy, false, true);
}

// The halves of the mouth as they are shown: with a cheek puffed or hollow
// the smiling mouth's cheek pictures, else the halves of the current mode.
void c_MyApp::PlaceMouthHalves() {
    int ox = static_cast<int>(faceX), oy = static_cast<int>(faceY);
    if (!CheeksAtRest() || (!lipsMode && !teethMode)) {
        bool wide = !(CheeksAtRest() && pursedMouth);
        mouthRight->Place(mouthRight->frames[MouthPictureIndex(true)], ox, oy, true, wide);
        mouthLeft->Place(mouthRight->frames[MouthPictureIndex(false)], ox, oy, false, wide);
        RefreshCheekRanges(mouthRight, mouthLeft);
    } else if (lipsMode) {
        PlacePair(lipsRight, lipsLeft);
        RefreshCheekRanges(lipsRight, lipsLeft);
    } else {
        PlacePair(teethRight, teethLeft);
        RefreshCheekRanges(teethRight, teethLeft);
    }
}

void c_MyApp::PlaceTongue() {
    int index = tongue->frame + tongue->variant + (lipsMode ? TONGUE_LIPS_OFFSET : 0);
    tongue->Place(tongue->frames[index], static_cast<int>(faceX), static_cast<int>(faceY), tongueUnmirrored, false);
}

void c_MyApp::PlaceAll() {
    PlacePair(eyeRight, eyeLeft);
    PlacePair(browRight, browLeft);
    PlacePair(lipsRight, lipsLeft);
    PlacePair(teethRight, teethLeft);
    PlaceMouthHalves();
    PlaceTongue();
}

// The face at its start: entering the face screen (reset false) and the reset
// button (reset true) differ only in the tongue's mirroring.
void c_MyApp::StartPlacement() {
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
    pursedMouth = lipsMode = teethMode = roundMouth = tongueOut = false;
    tongueButton->state = 0;
    grabbing = false;
    std::fill(grab, grab + GRAB_ZONES, false);
    tongueDepth = 2;
    tongueShift = 0;

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
    tongue->Place(tongue->frames[TONGUE_START_ROW], ox, oy, tongueUnmirrored, false);
    RefreshCheekRanges(mouthRight, mouthLeft);
}

void c_MyApp::ResetFace() {
    tongueUnmirrored = true;
    StartPlacement();
}

void c_MyApp::RandomFace() {
    lipsMode = teethMode = pursedMouth = roundMouth = false;
    tongue->x = TONGUE_X;
    int mode = static_cast<int>(Rand(3));
    int row = static_cast<int>(Rand(4)) * ROW;
    int step = static_cast<int>(Rand(10));
    if (step > LAST_STEP) {
        step = LAST_STEP;
        if (mode == MODE_TEETH)
            roundMouth = true;
        else
            pursedMouth = true;
    }
    int k1 = static_cast<int>(Rand(12));
    cheekRight->variant = k1 == 0 ? 1 : k1 == 1 ? 2 : 0;
    if (Paired()) {
        cheekLeft->variant = cheekRight->variant;
    } else {
        int k2 = static_cast<int>(Rand(12));
        if (k2 == 0)
            cheekLeft->variant = cheekRight->variant == 2 ? 0 : 1;
        else if (k2 == 1)
            cheekLeft->variant = cheekRight->variant == 1 ? 0 : 2;
        else
            cheekLeft->variant = 0;
    }
    int row2 = row, step2 = step;
    if (!Paired()) {
        row2 = static_cast<int>(Rand(4)) * ROW;
        step2 = static_cast<int>(Rand(7));
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
        lipsMode = mode == MODE_LIPS;
        teethMode = mode == MODE_TEETH;
    }
    PlaceMouthHalves();

    if (tongueButton->state == 1) {
        tongue->frame = static_cast<int>(Rand(4)) * TONGUE_ROW;
        // A draw of exactly 0 would give -5, one step beyond the tongue's
        // pictures; it counts as the last step to the left.
        int k = std::max(-4, static_cast<int>(Rand(10) - 5));
        tongueDepth = static_cast<int>(Rand(3));
        tongueShift = k;
        tongue->variant = std::abs(k);
        c_Partie* owner = lipsMode ? lipsRight.get() : mouthRight.get();
        int width = ShiftHalf(k)->Picture(owner)->Width();
        tongue->x += static_cast<float>((k < 0 ? -1 : 1) * tongue->variant * (width / 5));
        if (tongue->variant == 0) tongue->x = TONGUE_X;
        c_Partie* right = ShiftHalf(0);
        float bound = right->x + right->Picture(owner)->Width() - TONGUE_CORNER_MARGIN;
        if (tongue->x > bound) tongue->x = bound;
        tongueUnmirrored = k >= 0;
        PlaceTongue();
    }

    eyeRight->variant = static_cast<int>(Rand(3));
    eyeLeft->variant = Paired() ? eyeRight->variant : static_cast<int>(Rand(3));
    browRight->angle = static_cast<float>(static_cast<int>(Rand(32) - 14));
    browLeft->angle = Paired() ? -browRight->angle : static_cast<float>(static_cast<int>(Rand(3)));
    browRight->y = static_cast<float>(static_cast<int>(Rand(60) + 244));
    browLeft->y = Paired() ? browRight->y : static_cast<float>(static_cast<int>(Rand(60) + 244));
    PlacePair(eyeRight, eyeLeft);
    PlacePair(browRight, browLeft);
}

// The half on the side of a tongue shift: right for 0 and above.
c_Partie* c_MyApp::ShiftHalf(int shift) const {
    if (lipsMode) return shift >= 0 ? lipsRight.get() : lipsLeft.get();
    return shift >= 0 ? mouthRight.get() : mouthLeft.get();
}

// ---- The grab test -------------------------------------------------------

void c_MyApp::GrabTest(float ax, float ay) {
    auto in = [](float low, float v, float high) { return low < v && v < high; };
    bool* g = grab;
    auto hit = [&](GrabZone zone, bool inside) {
        if (!inside) return;
        g[zone] = true;
        grabbing = true;
    };
    c_Partie* t = tongue;
    if (tongueOut)
        hit(GRAB_TONGUE, in(t->zoneTop, ay, t->zoneBottom) &&
                             (in(t->edge2, ax, t->edge3) || in(t->edge3, ax, t->edge2 - 10)));

    // The three zones of a mouth rendering: its corners and its centre.
    auto mouthZones = [&](c_Partie* r, c_Partie* l, GrabZone right, GrabZone left) {
        bool rows = in(r->zoneTop, ay, r->zoneBottom);
        hit(right, rows && in(r->edge1, ax, r->edge2));
        hit(left, rows && in(l->edge2, ax, l->edge1));
        hit(GRAB_MOUTH_CENTRE, rows && (in(r->edge4, ax, r->edge1) || in(l->edge1, ax, l->edge3)));
    };
    c_Partie *mr = mouthRight, *ml = mouthLeft;
    if (!lipsMode && !teethMode && !grab[GRAB_TONGUE]) {
        if (!pursedMouth) {
            mouthZones(mr, ml, GRAB_MOUTH_RIGHT, GRAB_MOUTH_LEFT);
        } else {
            bool rows = in(mr->zoneTop - 30, ay, mr->zoneBottom + 30);
            hit(GRAB_MOUTH_RIGHT, rows && in(mr->edge3, ax, mr->edge1));
            hit(GRAB_MOUTH_LEFT, rows && in(ml->edge1, ax, ml->edge3));
        }
    }
    if (lipsMode && !grab[GRAB_TONGUE]) mouthZones(lipsRight, lipsLeft, GRAB_LIPS_RIGHT, GRAB_LIPS_LEFT);
    if (teethMode) {
        c_Partie *tr = teethRight, *tl = teethLeft;
        if (!roundMouth) {
            mouthZones(tr, tl, GRAB_TEETH_RIGHT, GRAB_TEETH_LEFT);
        } else {
            hit(GRAB_TEETH_RIGHT, in(tr->zoneTop - 20, ay, tr->zoneBottom + 20) && in(tr->edge3, ax, tr->edge1 + 30));
            hit(GRAB_TEETH_LEFT, in(tl->zoneTop - 20, ay, tl->zoneBottom - 20) && in(tl->edge1 - 30, ax, tl->edge3));
        }
    }

    c_Partie *cr = cheekRight, *cl = cheekLeft;
    bool cheekRows = in(cr->zoneTop, ay, cr->zoneBottom);
    hit(GRAB_CHEEK_RIGHT, cheekRows && in(cr->edge1, ax, cr->edge2));
    hit(GRAB_CHEEK_LEFT, in(cl->zoneTop, ay, cl->zoneBottom) && in(cl->edge1, ax, cl->edge2));
    // The band between the cheeks spans the whole mouth, and its rule re-anchors
    // on every tick: taken together with a zone of the mouth it would swallow
    // every movement of that zone. So it is the space around the mouth only.
    bool mouthHit = false;
    for (GrabZone zone : {GRAB_TONGUE, GRAB_MOUTH_RIGHT, GRAB_MOUTH_LEFT, GRAB_MOUTH_CENTRE, GRAB_LIPS_RIGHT,
                          GRAB_LIPS_LEFT, GRAB_TEETH_RIGHT, GRAB_TEETH_LEFT})
        mouthHit |= grab[zone];
    if (!mouthHit) hit(GRAB_BETWEEN_CHEEKS, cheekRows && in(cl->edge2, ax, cr->edge1));

    c_Partie *br = browRight, *bl = browLeft;
    bool rightRows = in(br->zoneTop - 15, ay, br->zoneBottom + 15);
    bool leftRows = in(bl->zoneTop - 15, ay, bl->zoneBottom + 15);
    hit(GRAB_BROW_RIGHT_OUTER, rightRows && in(br->edge1, ax, br->edge2 - 10));
    hit(GRAB_BROW_RIGHT_INNER, rightRows && in(br->edge3 + 10, ax, br->edge4));
    hit(GRAB_BROW_LEFT_OUTER, leftRows && in(bl->edge2, ax, bl->edge1 - 10));
    hit(GRAB_BROW_LEFT_INNER, leftRows && in(bl->edge4 + 10, ax, bl->edge3));
    hit(GRAB_BROW_RIGHT_MIDDLE, rightRows && in(br->edge4 - 10, ax, br->edge1 + 10));
    hit(GRAB_BROW_LEFT_MIDDLE, leftRows && in(bl->edge1 - 10, ax, bl->edge3 + 10));

    bool rightBrow = grab[GRAB_BROW_RIGHT_OUTER] || grab[GRAB_BROW_RIGHT_INNER] || grab[GRAB_BROW_RIGHT_MIDDLE];
    bool leftBrow = grab[GRAB_BROW_LEFT_OUTER] || grab[GRAB_BROW_LEFT_INNER] || grab[GRAB_BROW_LEFT_MIDDLE];
    c_Partie *er = eyeRight, *el = eyeLeft;
    if (!rightBrow) hit(GRAB_EYE_RIGHT, in(er->zoneTop, ay, er->zoneBottom) && in(er->edge3, ax, er->edge2));
    if (!leftBrow) hit(GRAB_EYE_LEFT, in(el->zoneTop, ay, el->zoneBottom) && in(el->edge2, ax, el->edge3));
}

// ---- The drag rules ------------------------------------------------------

void c_MyApp::GestureTick(bool repeat) {
    if (!repeat) holdTicks += 1;
    if (!grabbing) {
        FeedPointer(repeat);
        GrabTest(static_cast<float>(anchorX), static_cast<float>(anchorY));
    }
    bool playing = playButton->state == 1;
    int cx = playing ? recordX[recordIndex] : static_cast<int>(pointer[0]);
    int cy = playing ? recordY[recordIndex] : static_cast<int>(pointer[1]);
    DragCheeks(cx);
    DragOne(cx, cy, cx - anchorX, cy - anchorY);
}

void c_MyApp::SetCheek(c_Partie* cheek, c_Partie* other, int variant) {
    cheek->variant = variant;
    if (Paired()) {
        other->variant = variant;
    } else if ((variant == 1 && other->variant == 2) || (variant == 2 && other->variant == 1)) {
        // A puffed and a hollow cheek never show together.
        other->variant = 0;
    }
    PlaceMouthHalves();
}

void c_MyApp::DragCheeks(int cx) {
    int dx = cx - anchorX;
    c_Partie* cheek = nullptr;
    c_Partie* other = nullptr;
    int outward = 0;
    if (grab[GRAB_CHEEK_RIGHT]) {
        cheek = cheekRight, other = cheekLeft, outward = 1;
    } else if (grab[GRAB_CHEEK_LEFT]) {
        cheek = cheekLeft, other = cheekRight, outward = -1;
    } else if (grab[GRAB_BETWEEN_CHEEKS]) {
        FeedPointer();
        cheekRight->variant = cheekLeft->variant = 0;
        PlaceMouthHalves();
        return;
    } else {
        return;
    }
    if (dx * outward > CHEEK_STEP) {
        FeedPointer();
        // Out puffs a resting cheek and brings a hollow one back.
        SetCheek(cheek, other, cheek->variant == 0 ? 1 : cheek->variant == 2 ? 0 : 1);
    } else if (dx * outward < -CHEEK_STEP) {
        FeedPointer();
        SetCheek(cheek, other, cheek->variant == 1 ? 0 : 2);
    }
}

void c_MyApp::DragOne(int cx, int cy, int dx, int dy) {
    if (grab[GRAB_EYE_RIGHT])
        DragEye(eyeRight, eyeLeft, true, cx, cy, dy);
    else if (grab[GRAB_EYE_LEFT])
        DragEye(eyeLeft, eyeRight, false, cx, cy, dy);
    else if (grab[GRAB_MOUTH_RIGHT])
        DragCorner(mouthRight, mouthLeft, true, MODE_SMILE, dx, dy);
    else if (grab[GRAB_MOUTH_LEFT])
        DragCorner(mouthLeft, mouthRight, false, MODE_SMILE, dx, dy);
    else if (grab[GRAB_LIPS_RIGHT])
        DragCorner(lipsRight, lipsLeft, true, MODE_LIPS, dx, dy);
    else if (grab[GRAB_LIPS_LEFT])
        DragCorner(lipsLeft, lipsRight, false, MODE_LIPS, dx, dy);
    else if (grab[GRAB_TEETH_RIGHT])
        DragCorner(teethRight, teethLeft, true, MODE_TEETH, dx, dy);
    else if (grab[GRAB_TEETH_LEFT])
        DragCorner(teethLeft, teethRight, false, MODE_TEETH, dx, dy);
    else if (grab[GRAB_MOUTH_CENTRE])
        DragMouthCentre(dy);
    else if (grab[GRAB_BROW_RIGHT_OUTER])
        DragBrowEnd(browRight, browLeft, 1, dy);
    else if (grab[GRAB_BROW_RIGHT_INNER])
        DragBrowEnd(browRight, browLeft, -1, dy);
    else if (grab[GRAB_BROW_RIGHT_MIDDLE])
        DragBrowMiddle(browRight, browLeft, dy);
    else if (grab[GRAB_BROW_LEFT_OUTER])
        DragBrowEnd(browLeft, browRight, -1, dy);
    else if (grab[GRAB_BROW_LEFT_INNER])
        DragBrowEnd(browLeft, browRight, 1, dy);
    else if (grab[GRAB_BROW_LEFT_MIDDLE])
        DragBrowMiddle(browLeft, browRight, dy);
    else if (grab[GRAB_TONGUE])
        DragTongue(dx, dy);
}

void c_MyApp::DragEye(c_Partie* eye, c_Partie* other, bool right, int cx, int cy, int dy) {
    if (dy < -EYE_STEP) {
        FeedPointer();
        eye->variant = std::min(2, eye->variant + 1);
    } else if (dy > EYE_STEP) {
        if (right) {
            anchorX = cx;
            anchorY = cy;
        } else {
            FeedPointer();
        }
        eye->variant = std::max(0, eye->variant - 1);
    } else {
        return;
    }
    if (Paired()) other->variant = eye->variant;
    PlacePair(eyeRight, eyeLeft);
}

void c_MyApp::HoldTongueInsideMouth() {
    float high = mouthRight->x + mouthRight->Picture(mouthRight)->Width() - TONGUE_CORNER_MARGIN;
    float low = mouthLeft->x - mouthLeft->Picture(mouthRight)->Width() + TONGUE_CORNER_MARGIN;
    if (tongue->x > high) tongue->x = high;
    if (tongue->x < low) tongue->x = low;
    PlaceTongue();
}

// A corner of the smiling mouth, the lips or the teeth: up and down change its
// row, out and in its step; the narrowest step goes on to the pursed lips
// (smiling mouth) or the round mouth (teeth).
void c_MyApp::DragCorner(c_Partie* half, c_Partie* other, bool right, int rendering, int dx, int dy) {
    // Inward for the left corner includes the threshold itself.
    bool outward = right ? dx > MOUTH_SIDE_STEP : dx < -MOUTH_SIDE_STEP;
    bool inward = right ? dx < -MOUTH_SIDE_STEP : dx >= MOUTH_SIDE_STEP;
    bool vertical = dy < -MOUTH_ROW_STEP || dy > MOUTH_ROW_STEP;
    if (!vertical && !outward && !inward) return;
    FeedPointer();
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
    bool& beyond = smile ? pursedMouth : roundMouth;
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
void c_MyApp::ChangeMode(int mode) {
    c_Partie *fromR, *fromL;
    if (lipsMode)
        fromR = lipsRight, fromL = lipsLeft;
    else if (teethMode)
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
    bool fromSmile = !lipsMode && !teethMode;
    if (fromSmile)
        toR->frame = fromR->frame < 14 ? 0 : ROW;
    else if (mode == MODE_SMILE)
        toR->frame = fromR->frame == 0 ? MOUTH_START_ROW : 14;
    else
        toR->frame = fromR->frame;
    toL->frame = toR->frame;
    lipsMode = mode == MODE_LIPS;
    teethMode = mode == MODE_TEETH;
    PlaceMouthHalves();
    PlaceTongue();
}

void c_MyApp::DragMouthCentre(int dy) {
    int mode = -1;
    if (lipsMode) {
        if (dy < -MODE_FAR)
            mode = MODE_SMILE;
        else if (dy < -MODE_NEAR)
            mode = MODE_TEETH;
    } else if (teethMode) {
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
    FeedPointer();
    ChangeMode(mode);
}

// upStep: the angle's change when the end is dragged up (+1 or -1 steps).
void c_MyApp::DragBrowEnd(c_Partie* brow, c_Partie* other, int upStep, int dy) {
    int direction;
    if (dy < -BROW_STEP)
        direction = upStep;
    else if (dy > BROW_STEP)
        direction = -upStep;
    else
        return;
    FeedPointer();
    brow->angle = std::clamp(brow->angle + direction * BROW_ANGLE_STEP, BROW_ANGLE_MIN, BROW_ANGLE_MAX);
    if (Paired()) other->angle = -brow->angle;
}

void c_MyApp::DragBrowMiddle(c_Partie* brow, c_Partie* other, int dy) {
    if (dy > BROW_STEP) {
        FeedPointer();
        brow->y = std::min(BROW_Y_MAX, brow->y + BROW_Y_STEP);
    } else if (dy < -BROW_STEP) {
        FeedPointer();
        brow->y = std::max(BROW_Y_MIN, brow->y - BROW_Y_STEP);
    } else {
        return;
    }
    if (Paired()) other->y = brow->y;
    PlacePair(browRight, browLeft);
}

void c_MyApp::StepTongue(int direction) {
    int shift = std::clamp(tongueShift + direction, -4, 4);
    if (shift == tongueShift) return;
    tongueShift = shift;
    tongue->variant = std::abs(shift);
    c_Partie* half = ShiftHalf(shift);
    c_Partie* owner = lipsMode ? lipsRight.get() : mouthRight.get();
    tongue->x += static_cast<float>(direction * (half->Picture(owner)->Width() / 5));
    tongueUnmirrored = shift >= 0;
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

void c_MyApp::DragTongue(int dx, int dy) {
    if (dy < -TONGUE_ROW_STEP) {
        FeedPointer();
        tongue->frame = std::max(0, tongue->frame - TONGUE_ROW);
    } else if (dy > TONGUE_ROW_STEP) {
        FeedPointer();
        tongue->frame = std::min(TONGUE_LAST_ROW, tongue->frame + TONGUE_ROW);
    } else if (dx > TONGUE_SIDE_STEP) {
        FeedPointer();
        StepTongue(1);
    } else if (dx < -TONGUE_SIDE_STEP) {
        FeedPointer();
        StepTongue(-1);
    } else {
        return;
    }
    PlaceTongue();
}

void c_MyApp::Release() {
    grabbing = false;
    std::fill(grab, grab + GRAB_ZONES, false);
    if (holdTicks > 0 && holdTicks < TAP_TICKS) tapped = true;
    holdTicks = 0;
}

// A tap on the tongue between the lips moves it a step deeper: inside, between
// the lips, in front, and inside again.
void c_MyApp::TapTick() {
    if (!tapped) return;
    tapped = false;
    if (!tongueOut || !lipsMode) return;
    c_Partie* t = tongue;
    float ax = static_cast<float>(anchorX), ay = static_cast<float>(anchorY);
    bool inside = t->zoneTop < ay && ay < t->zoneBottom &&
                  ((t->edge2 < ax && ax < t->edge3) || (t->edge3 < ax && ax < t->edge2));
    if (inside) tongueDepth = tongueDepth == 2 ? 0 : tongueDepth + 1;
}
