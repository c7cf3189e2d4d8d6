// Drawing one frame: the virtual screen letterboxed into the window, then the
// title screen, or the face with its parts in layers that depend on the
// mouth's mode, the cheeks and the tongue, and the buttons on top. Nothing
// of the application changes while drawing.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "app/my_app.h"
#include "canvas/canvas.h"
#include "canvas/font.h"
#include "canvas/image.h"

namespace {

// Where the face's creases and the recording mark stand.
constexpr float MARK1_X = 490, MARK1_Y = 567, MARK2_X = 132, MARK2_Y = 566;
constexpr float REC_X = 1260, REC_Y = 780;
constexpr float TITLE_X = 1230, TITLE_Y = 750;
// The tongue at rest hangs 4 units below the lips' anchor; the tongue at the
// corner is drawn 4 units higher than its place.
constexpr float TONGUE_REST_DROP = 4, TONGUE_FRONT_RISE = 4;
// The cheek mouths stand 4 units off their place towards the puffed cheek.
constexpr float CHEEK_MOUTH_SHIFT = 4;

// The viewport of the letterboxed virtual screen in a window of w x h pixels.
struct Letterbox {
    int x, y, width, height;
};
Letterbox FitVirtualScreen(int w, int h) {
    const float aspect = VIRTUAL_WIDTH / VIRTUAL_HEIGHT;
    Letterbox box;
    if (aspect < static_cast<float>(w) / static_cast<float>(h)) {
        box.width = static_cast<int>(h * aspect);
        box.height = h;
        box.x = (w - box.width) / 2;
        box.y = 0;
    } else {
        box.width = w;
        box.height = static_cast<int>(w / aspect);
        box.x = 0;
        box.y = (h - box.height) / 2;
    }
    return box;
}

}  // namespace

int c_MyApp::OnDraw() {
    int w = WindowWidth(), h = WindowHeight();
    canvas->SetViewport(0, 0, w, h);
    canvas->Clear(1, 1, 1, 1);
    // A minimised window has no size; there is nothing to fit.
    if (w <= 0 || h <= 0) return 0;
    Letterbox box = FitVirtualScreen(w, h);
    canvas->SetViewport(box.x, box.y, box.width, box.height);
    canvas->SetOrthoProjection(0, VIRTUAL_WIDTH, 0, VIRTUAL_HEIGHT, -1, 1);
    canvas->SetColor(1, 1, 1);

    if (libraryShown) {
        DrawLibrary();
    } else if (!faceScreen) {
        canvas->DrawImage(girlButton->images[0], girlButton->x0, girlButton->y0);
        canvas->DrawImage(boyButton->images[0], boyButton->x0, boyButton->y0);
        canvas->DrawImage(titleImage, TITLE_X, TITLE_Y);
        DrawTitleHint();
        DrawTitleLibrary();
    } else {
        DrawFace();
        if (playButton->state == 1) DrawPaceControl();
        DrawRepeatStatus();
    }
    DrawMessage();
    if (helpShown) DrawHelp();
    canvas->Flush();
    return 0;
}

namespace {

// Heights of text on the virtual screen, whatever the font picture's cells:
// the title's hint and the pace label.
constexpr float HINT_HEIGHT = 22, LABEL_HEIGHT = 33;

// The texts drawn while a screen shows, made once: a frame allocates nothing.
const String& Text(const char* text) {
    static std::map<const char*, String> made;
    auto it = made.find(text);
    if (it == made.end()) it = made.emplace(text, String(text)).first;
    return it->second;
}

}  // namespace

float c_MyApp::TextScale(float height) const {
    return canvas->font && canvas->font->height > 0 ? height / canvas->font->height : 1;
}

void c_MyApp::DrawTitleHint() {
    const String& hint = Text("F1: help");
    canvas->SetColor(0.35f, 0.35f, 0.35f);
    float scale = TextScale(HINT_HEIGHT);
    canvas->DrawText(hint, (VIRTUAL_WIDTH - canvas->TextWidth(hint, scale)) / 2, VIRTUAL_HEIGHT - 40, scale);
    canvas->SetColor(1, 1, 1);
}

void c_MyApp::DrawPaceControl() {
    if (halfPace)
        canvas->SetColor(0.93f, 0.55f, 0.16f);
    else
        canvas->SetColor(0.36f, 0.56f, 0.78f);
    canvas->DrawRect(PACE_X, PACE_Y, PACE_WIDTH, PACE_HEIGHT);
    canvas->SetColor(1, 1, 1);
    const String& label = Text(halfPace ? "1/2x" : "1x");
    float scale = TextScale(LABEL_HEIGHT), h = canvas->font ? LABEL_HEIGHT : 0;
    canvas->DrawText(label, PACE_X + (PACE_WIDTH - canvas->TextWidth(label, scale)) / 2,
                     PACE_Y + (PACE_HEIGHT - h) / 2, scale);
}

void c_MyApp::DrawFace() {
    DrawFaceParts();
    c_Canvas* c = canvas;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        c_Bouton* b = ButtonInSlot(slot);
        if (b->active) c->DrawImage(b->images[ShownState(slot)], b->x0, b->y0);
    }
    if (recordButton->state == 1) c->DrawImage(recordImage, REC_X, REC_Y);
    DrawTimeLeft();
}

void c_MyApp::DrawFaceParts() {
    c_Canvas* c = canvas;
    float fx = faceX, fy = faceY;
    auto at = [&](c_Image2* image, c_Partie* part) { c->DrawImage(image, part->x + fx, part->y + fy); };
    auto mirrored = [&](c_Image2* image, c_Partie* part) {
        c->DrawImage(image, part->x + fx, part->y + fy, 0, -1, 1);
    };
    float s = face.tongueUnmirrored ? 1.0f : -1.0f;
    bool noMouthMode = !face.lipsMode && !face.teethMode && !face.pursedMouth;

    c->DrawImage(faceImage, VIRTUAL_WIDTH / 2, VIRTUAL_HEIGHT / 2);
    at(eyeRight->frames[eyeRight->variant], eyeRight);
    mirrored(eyeRight->frames[eyeLeft->variant], eyeLeft);

    if (face.tongueOut && tongue->variant < 4 && noMouthMode && CheeksAtRest())
        c->DrawImage(tongue->frames[tongue->frame + tongue->variant], tongue->x + fx, tongue->y + fy, 0, s, 1);

    DrawMouth();

    if (face.tongueOut && tongue->variant == 4 && noMouthMode && CheeksAtRest())
        c->DrawImage(tongue->frames[tongue->frame + 4], tongue->x + fx, tongue->y + fy - TONGUE_FRONT_RISE, 0, s, 1);

    c->DrawImage(browRight->frames[browRight->variant], browRight->x + fx, browRight->y + fy, browRight->angle);
    c->DrawImage(browRight->frames[browLeft->variant], browLeft->x + fx, browLeft->y + fy, browLeft->angle, -1, 1);
}

namespace {

// The ring of the recording's time left: dashes just outside the record
// button, within its column (40 + 2 + 7 < 50 units from the centre line),
// close enough to read as one band; the time spent stays as a pale track.
constexpr int RING_DASHES = 60;
constexpr float RING_GAP = 2, RING_THICKNESS = 7, RING_DASH_LENGTH = 5.5f;

}  // namespace

// The band left runs from the top clockwise; it empties from the top
// clockwise too, like a clock's hand going round.
void c_MyApp::DrawTimeLeft() {
    float left = RecordTimeLeft();
    if (left <= 0) return;
    c_Bouton* b = recordButton;
    float cx = (b->x0 + b->x1) * 0.5f, cy = (b->y0 + b->y1) * 0.5f;
    float radius = std::max(b->width, b->height) * 0.5f + RING_GAP;
    int spent = RING_DASHES - static_cast<int>(std::ceil(left * RING_DASHES));
    for (int i = 0; i < RING_DASHES; ++i) {
        if (i < spent)
            canvas->SetColor(0.86f, 0.86f, 0.86f);
        else
            canvas->SetColor(0.85f, 0.16f, 0.14f);
        canvas->PushMatrix();
        canvas->Translate(cx, cy);
        canvas->Rotate(-360.0f * i / RING_DASHES);
        canvas->DrawRect(-RING_DASH_LENGTH * 0.5f, -radius - RING_THICKNESS, RING_DASH_LENGTH, RING_THICKNESS);
        canvas->PopMatrix();
    }
    canvas->SetColor(1, 1, 1);
}

void c_MyApp::DrawMouth() {
    c_Canvas* c = canvas;
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
        if (cr == 1) at(cheekRight->frames[0], cheekRight);
        if (cl == 1) mirrored(cheekRight->frames[0], cheekLeft);
        // A single puffed cheek pushes the mouth towards the other side.
        float shift = cr == 1 && cl == 0 ? -CHEEK_MOUTH_SHIFT : cr == 0 && cl == 1 ? CHEEK_MOUTH_SHIFT : 0;
        at(R->frames[MouthPictureIndex(true)], R, shift);
        mirrored(R->frames[MouthPictureIndex(false)], L, shift);
        return;
    }

    if (face.lipsMode) {
        DrawLips();
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

    // The smiling mouth. With the tongue at a corner the half on that side
    // shows the mouth that holds it.
    int rf = R->frame, lf = L->frame;
    if (face.tongueOut) {
        if (face.tongueShift == 4) rf = 28;
        if (face.tongueShift == -4) lf = 28;
    }
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
            at(open[R->variant + rf], R);
            mirrored(open[L->variant + lf], L);
        }
        // The pink squares hide the seam between the tongue and the lip.
        if (!tongueDown) {
            if (R->frame < 21) c->DrawImage(pinkSquare, R->x + fx, R->zoneBottom - 11);
            if (L->frame < 21) c->DrawImage(pinkSquare, L->x + fx, L->zoneBottom - 11, 0, -1, 1);
        } else {
            float h = static_cast<float>(pinkSquare->Height());
            c->DrawImage(pinkSquare, R->x + fx, R->zoneTop - h + 17);
            c->DrawImage(pinkSquare, L->x + fx, L->zoneTop - h + 17, 0, -1, 1);
        }
    }
    at(R->frames[R->variant + rf], R);
    mirrored(R->frames[L->variant + lf], L);
}

// Lips mode: the back layer, the tongue at rest or clipped to the lips' box
// by its depth (inside the mouth, between the lips), the front layers, the
// creases, and the tongue in front of the lips at depth 2.
void c_MyApp::DrawLips() {
    c_Canvas* c = canvas;
    float fx = faceX, fy = faceY;
    c_Partie *lr = lipsRight, *ll = lipsLeft;
    int i = lr->frame + lr->variant, j = ll->frame + ll->variant;
    auto both = [&](const Array<c_Image2*>& frames) {
        c->DrawImage(frames[i], lr->x + fx, lr->y + fy);
        c->DrawImage(frames[j], ll->x + fx, ll->y + fy, 0, -1, 1);
    };
    float s = face.tongueUnmirrored ? 1.0f : -1.0f;
    auto drawTongue = [&]() {
        c->DrawImage(tongue->frames[tongue->frame + tongue->variant + 20], tongue->x + fx, tongue->y + fy, 0, s, 1);
    };

    both(lr->framesB);
    if (!face.tongueOut) c->DrawImage(tongue->frames[40], lr->x + fx, lr->y + fy + TONGUE_REST_DROP);
    if (face.tongueDepth > 0) both(lr->frames);
    if (face.tongueDepth == 2) both(lr->framesC);
    if (face.tongueDepth < 2) {
        int w = WindowWidth(), h = WindowHeight();
        Letterbox box = FitVirtualScreen(w, h);
        // Virtual units per window pixel, and the face's own placement when
        // it is drawn small (a picture of the library).
        float f = box.x == 0 ? VIRTUAL_WIDTH / w : VIRTUAL_HEIGHT / h;
        float k = faceScale;
        c_Image2* right = lr->frames[i];
        c_Image2* left = lr->frames[j];
        c->SetScissor(static_cast<int>((faceShiftX + k * (ll->x + fx - left->Width())) / f + 5 * k),
                      static_cast<int>((faceShiftY + k * (ll->y + fy - left->PivotY() * left->Height())) / f + 5 * k),
                      static_cast<int>(k * (right->Width() + left->Width()) / f - 10 * k),
                      static_cast<int>(k * left->Height() / f - 10 * k));
        if (face.tongueOut) drawTongue();
        c->SetScissor(0, 0, w, h);
        if (face.tongueDepth == 1) {
            both(lr->framesC);
        } else {
            both(lr->frames);
            both(lr->framesC);
        }
    }
    c->DrawImage(faceMark1, fx + MARK1_X, fy + MARK1_Y);
    c->DrawImage(faceMark2, fx + MARK2_X, fy + MARK2_Y);
    if (face.tongueOut && face.tongueDepth == 2) drawTongue();
}
