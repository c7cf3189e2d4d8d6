// Drawing a face: its parts in layers that depend on the mouth's mode, the
// cheeks and the tongue. Drawing changes nothing of the face.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "app/face/face_model.h"
#include "app/ui/letterbox.h"
#include "framework/app.h"
#include "canvas/canvas.h"
#include "canvas/font.h"
#include "canvas/image.h"

namespace {

// Where the face's creases stand.
constexpr float MARK1_X = 490, MARK1_Y = 567, MARK2_X = 132, MARK2_Y = 566;
// The tongue at rest hangs 4 units below the lips' anchor.
constexpr float TONGUE_REST_DROP = 4;
// The cheek mouths stand 4 units off their place towards the puffed cheek.
constexpr float CHEEK_MOUTH_SHIFT = 4;

}  // namespace

void c_FaceModel::Draw(c_Canvas* c, const FaceView& view) const {
    float fx = faceX, fy = faceY;
    auto at = [&](c_Image2* image, c_Partie* part) { c->DrawImage(image, part->x + fx, part->y + fy); };
    auto mirrored = [&](c_Image2* image, c_Partie* part) {
        c->DrawImage(image, part->x + fx, part->y + fy, 0, -1, 1);
    };
    float s = face.tongueUnmirrored ? 1.0f : -1.0f;
    bool noMouthMode = !face.lipsMode && !face.teethMode && !face.pursedMouth && face.jaw == 0;

    c->DrawImage(faceImage, VIRTUAL_WIDTH / 2, VIRTUAL_HEIGHT / 2);
    at(eyeRight->frames[eyeRight->variant], eyeRight);
    mirrored(eyeRight->frames[eyeLeft->variant], eyeLeft);

    if (face.tongueOut && tongue->variant < 4 && noMouthMode && CheeksAtRest())
        c->DrawImage(tongue->frames[tongue->frame + tongue->variant], tongue->x + fx, tongue->y + fy, 0, s, 1);

    DrawMouth(c, view);

    if (face.tongueOut && tongue->variant == 4 && noMouthMode && CheeksAtRest())
        c->DrawImage(pictures->cornerTongue[tongue->frame / TONGUE_ROW], tongue->x + fx, tongue->y + fy, 0, s, 1);

    c->DrawImage(browRight->frames[browRight->variant], browRight->x + fx, browRight->y + fy, browRight->angle);
    c->DrawImage(browRight->frames[browLeft->variant], browLeft->x + fx, browLeft->y + fy, browLeft->angle, -1, 1);
}

void c_FaceModel::DrawMouth(c_Canvas* c, const FaceView& view) const {
    float fx = faceX, fy = faceY;
    c_Partie *R = mouthRight, *L = mouthLeft;
    auto at = [&](c_Image2* image, c_Partie* part, float shift = 0) {
        c->DrawImage(image, part->x + fx + shift, part->y + fy);
    };
    auto mirrored = [&](c_Image2* image, c_Partie* part, float shift = 0) {
        c->DrawImage(image, part->x + fx + shift, part->y + fy, 0, -1, 1);
    };
    int cr = cheekRight->variant, cl = cheekLeft->variant;

    if (cr != 0 || cl != 0) {
        // One cheek puffed and the other hollow: no mouth can show both.
        if (cr + cl == 3) return;
        if (cr == 1) at(pictures->puffedCheek, cheekRight);
        if (cl == 1) mirrored(cheekRight->frames[0], cheekLeft);
        // A single puffed cheek pushes the mouth towards the other side.
        float shift = cr == 1 && cl == 0 ? -CHEEK_MOUTH_SHIFT : cr == 0 && cl == 1 ? CHEEK_MOUTH_SHIFT : 0;
        at(R->frames[MouthPictureIndex(true)], R, shift);
        mirrored(R->frames[MouthPictureIndex(false)], L, shift);
        return;
    }

    if (face.jaw != 0) {
        DrawJaw(c);
        return;
    }
    if (face.lipsMode) {
        DrawLips(c, view);
        return;
    }
    if (face.teethMode) {
        c_Partie *tr = teethRight, *tl = teethLeft;
        if (face.roundMouth) {
            at(tr->frames[14], tr);
            mirrored(tr->frames[14], tl);
        } else {
            at(tr->Picture(tr), tr);
            mirrored(tl->Picture(tr), tl);
        }
        return;
    }

    // The smiling mouth: the pictures of its halves.
    int i = R->frame + R->variant, j = L->frame + L->variant;
    if (face.pursedMouth) {
        at(R->frames[35], R);
        mirrored(R->frames[35], L);
        return;
    }
    if (face.tongueOut) {
        // Rows 0 and 5 of the tongue rise, 10 and 15 hang down.
        bool tongueDown = tongue->frame >= 10;
        const Array<c_Image2*>& open = tongueDown ? R->framesC : R->framesB;
        if (std::abs(face.tongueShift) < 4) {
            at(open[i], R);
            mirrored(open[j], L);
        }
        // The pink squares hide the seam between the tongue and the lip.
        if (!tongueDown) {
            if (R->frame < 21) c->DrawImage(pictures->pinkSquare, R->x + fx, R->zoneBottom - 11);
            if (L->frame < 21) c->DrawImage(pictures->pinkSquare, L->x + fx, L->zoneBottom - 11, 0, -1, 1);
        } else {
            float h = static_cast<float>(pictures->pinkSquare->Height());
            c->DrawImage(pictures->pinkSquare, R->x + fx, R->zoneTop - h + 17);
            c->DrawImage(pictures->pinkSquare, L->x + fx, L->zoneTop - h + 17, 0, -1, 1);
        }
    }
    // With the tongue at a corner the half on that side is parted round it.
    bool cornerR = face.tongueOut && face.tongueShift == TONGUE_SHIFT_MAX;
    bool cornerL = face.tongueOut && face.tongueShift == -TONGUE_SHIFT_MAX;
    at(cornerR ? pictures->cornerMouth[R->variant] : R->frames[i], R);
    mirrored(cornerL ? pictures->cornerMouth[L->variant] : R->frames[j], L);
    // Where two closed halves alike overlap, their columns are laid twice,
    // which darkens the line's soft rims when the pictures are scaled: the
    // middle of the line is laid again, once, over them.
    if (i == j && !face.tongueOut) at(pictures->smileMiddle, R);
}

// Lips mode: the back layer, the tongue at rest, the front layer; then the
// tongue's tip held between the lips by its depth (1 shows more than 0),
// clipped to the lips' box, under the upper layer, which keeps the upper lip
// and the lower lip below its fold in front of it; the creases, and the
// tongue in front of the lips at depth 2.
void c_FaceModel::DrawLips(c_Canvas* c, const FaceView& view) const {
    float fx = faceX, fy = faceY;
    c_Partie *lr = lipsRight, *ll = lipsLeft;
    int i = lr->frame + lr->variant, j = ll->frame + ll->variant;
    auto both = [&](const Array<c_Image2*>& frames) {
        c->DrawImage(frames[i], lr->x + fx, lr->y + fy);
        c->DrawImage(frames[j], ll->x + fx, ll->y + fy, 0, -1, 1);
    };
    float s = face.tongueUnmirrored ? 1.0f : -1.0f;

    both(lr->framesB);
    if (!face.tongueOut) c->DrawImage(tongue->frames[40], lr->x + fx, lr->y + fy + TONGUE_REST_DROP);
    both(lr->frames);
    if (face.tongueDepth < 2) {
        int w = WindowWidth(), h = WindowHeight();
        Letterbox box = FitScreen(w, h);
        // Virtual units per window pixel, and the face's own placement when
        // it is drawn small (a picture of the library).
        float f = box.unitsPerPixel;
        float k = view.scale;
        c_Image2* right = lr->frames[i];
        c_Image2* left = lr->frames[j];
        c->SetScissor(static_cast<int>((view.shiftX + k * (ll->x + fx - left->Width())) / f + 5 * k),
                      static_cast<int>((view.shiftY + k * (ll->y + fy - left->PivotY() * left->Height())) / f + 5 * k),
                      static_cast<int>(k * (right->Width() + left->Width()) / f - 10 * k),
                      static_cast<int>(k * left->Height() / f - 10 * k));
        if (face.tongueOut)
            c->DrawImage(pictures->heldTongue[face.tongueDepth * TONGUE_ROW + tongue->variant], tongue->x + fx,
                         tongue->y + fy, 0, s, 1);
        c->SetScissor(0, 0, w, h);
    }
    both(lr->framesC);
    c->DrawImage(pictures->faceMark1, fx + MARK1_X, fy + MARK1_Y);
    c->DrawImage(pictures->faceMark2, fx + MARK2_X, fy + MARK2_Y);
    if (face.tongueOut && face.tongueDepth == 2)
        c->DrawImage(tongue->frames[tongue->frame + tongue->variant + 20], tongue->x + fx, tongue->y + fy, 0, s, 1);
}

// The jaw's poses: the pressed lips alone; the open mouth's back, the tongue
// in it, its teeth in front, and a tongue out of the mouth over them all.
void c_FaceModel::DrawJaw(c_Canvas* c) const {
    float x = mouthRight->x + faceX, y = mouthRight->y + faceY;
    if (face.jaw < 0) {
        c->DrawImage(pictures->pressedLips[-face.jaw - 1], x, y);
        return;
    }
    float s = face.tongueUnmirrored ? 1.0f : -1.0f;
    auto drawTongue = [&]() {
        c->DrawImage(OpenTonguePicture(), tongue->x + faceX, tongue->y + faceY, 0, s, 1);
    };
    bool out = face.tongueOut && face.openTongue == TONGUE_OUT_OF_MOUTH;
    c->DrawImage(pictures->openBack[face.jaw - 1], x, y);
    if (!out) drawTongue();
    c->DrawImage(pictures->openTeeth[face.jaw - 1], x, y);
    if (out) drawTongue();
}
