// The help over a dimmed screen: on the face screen a small model face with
// an arrow for each drag and a mark for the tap on the tongue, what each
// does beside it with the key that does the same, then every key. The
// texts of the keys come from the tables of the buttons and gesture keys.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/screens/help.h"

#include "app/face/face_layout.h"
#include "app/screens/face_screen.h"
#include "app/ui/text.h"
#include "canvas/canvas.h"
#include "canvas/image.h"

namespace {

// The veil over the screen and the calm panel under the help.
constexpr float VEIL_ALPHA = 0.5f, PANEL_ALPHA = 0.95f;
constexpr float PANEL_X = 30, PANEL_Y = 20, PANEL_W = 1220, PANEL_H = 760;
// Text heights in virtual units: at the first window's 800 x 500 (0.625
// pixels a unit) the smallest is 14 pixels high.
constexpr float TITLE_HEIGHT = 30, TEXT_HEIGHT = 23, LINE = 28;
// The model face: the face picture at this scale, its top-left corner here;
// the mouth inset, the lips with the tongue in front, larger below it.
constexpr float FACE_SCALE = 0.5f, FACE_X = 50, FACE_Y = 70;
constexpr float INSET_SCALE = 1.1f, INSET_X = 720, INSET_Y = 430, INSET_W = 380, INSET_H = 156;
// The legend beside the face, one line a gesture, and the keys' three
// columns below.
constexpr float LEGEND_X = 480, LEGEND_Y = 72, LEGEND_LINE = 33, SWATCH = 16;
constexpr float KEYS_Y = 520, KEYS_X[3] = {60, 460, 860}, KEY_NAME_WIDTH = 150;
// Arrows: thickness and head length in the units of the picture they are
// drawn on.
constexpr float ARROW_THICKNESS = 14, ARROW_HEAD = 28;

struct Colour {
    float r, g, b;
};

// One gesture: its colour in the legend and on the face, what to take hold
// of and how, and what it does, with the keys that do the same put in place
// of its "%s" (up to three, GESTURE_KEYS' indices, -1 for none).
struct GestureHelp {
    Colour colour;
    const char* how;
    const char* does;
    int keys[3];
};
const GestureHelp GESTURES[] = {
    {{0.36f, 0.62f, 0.95f}, "An eye, up or down:", "opens, closes", {-1, -1, -1}},
    {{0.98f, 0.66f, 0.2f}, "An eyebrow's end, up or down:", "tilts them", {-1, -1, -1}},
    {{0.98f, 0.85f, 0.3f}, "An eyebrow's middle, up, down:", "moves them", {-1, -1, -1}},
    {{0.95f, 0.45f, 0.6f}, "A cheek, out or in:", "puffs, hollows", {-1, -1, -1}},
    {{0.4f, 0.85f, 0.45f}, "A mouth corner, any way:", "its shape", {-1, -1, -1}},
    {{0.95f, 0.3f, 0.25f}, "Mouth's middle, down/up:", "teeth %s, lips %s, smile %s",
     {GKEY_TEETH, GKEY_LIPS, GKEY_SMILE}},
    {{0.75f, 0.5f, 0.95f}, "The tongue (T), any way:", "shape, side", {-1, -1, -1}},
    {{0.75f, 0.5f, 0.95f}, "A tap on the tongue:", "deeper, in the lips (%s)", {GKEY_DEPTH, -1, -1}},
};
constexpr int TAP_GESTURE = 7;

// One arrow on the model face, in the face picture's own units; `both`
// for a two-way drag.
struct Arrow {
    int gesture;
    float x0, y0, x1, y1;
    bool both;
};
const Arrow FACE_ARROWS[] = {
    {0, 600, 315, 600, 405, true},   // beside the right eye
    {1, 590, 205, 590, 285, true},   // at the right brow's outer end
    {2, 295, 150, 295, 225, true},   // over the left brow
    {3, 640, 540, 740, 540, false},  // the right cheek, out
    {3, 245, 540, 145, 540, true},   // the left cheek, out and in
    {4, 520, 505, 600, 505, true},   // the right corner, out and in
    {4, 505, 420, 505, 485, true},   // and up and down
    {5, 393, 470, 393, 600, true},   // the middle of the mouth, down and up
};
// On the inset, in the face picture's units around the lips.
const Arrow TONGUE_ARROWS[] = {
    {6, 520, 450, 520, 550, true},
    {6, 235, 552, 345, 552, true},
};

// The keys that are no button's and no gesture's.
struct OtherKey {
    const char* keyName;
    const char* does;
};
const OtherKey OTHER_KEYS[] = {
    {"1 / 2", "full/half pace"},
    {"Arrows", "repeats, hold"},
    {"F11", "full screen"},
    {"Alt+Enter", "full screen"},
    {"Escape", "window again"},
    {"C", "mirror (browser)"},
};

// Every text of the help, made once: a frame allocates nothing.
struct HelpTexts {
    String title, titleScreen, footnote, mirror;
    std::vector<String> how, does;
    std::vector<String> keyNames, keyDoes;
};
const HelpTexts& Texts() {
    static HelpTexts texts;
    if (!texts.how.empty()) return texts;
    texts.title = String("Help: drag the face, or use the keys");
    texts.titleScreen = String("Choose the girl or the boy, then drag the parts of the face:");
    texts.footnote = String("Home forgets the recording. Any key or click closes this help.");
    texts.mirror = String("Mirror (C), browser version only (make web-run): it cannot see tongue, teeth, cheeks.");
    for (const GestureHelp& g : GESTURES) {
        texts.how.push_back(String(g.how));
        const char* names[3];
        for (int i = 0; i < 3; ++i) names[i] = g.keys[i] >= 0 ? GESTURE_KEYS[g.keys[i]].keyName : "";
        char does[128];
        std::snprintf(does, sizeof does, g.does, names[0], names[1], names[2]);
        texts.does.push_back(String(does));
    }
    for (const FaceButton& row : FACE_BUTTONS) {
        texts.keyNames.push_back(String(row.keyName));
        texts.keyDoes.push_back(String(row.does));
    }
    for (const OtherKey& key : OTHER_KEYS) {
        texts.keyNames.push_back(String(key.keyName));
        texts.keyDoes.push_back(String(key.does));
    }
    return texts;
}

}  // namespace

namespace {

// An arrow from (x0, y0) to (x1, y1), headed at both ends if `both`, its
// strokes `unit` times their usual thickness.
void DrawArrow(c_Canvas* canvas, float x0, float y0, float x1, float y1, bool both, float unit) {
    float dx = x1 - x0, dy = y1 - y0;
    float length = std::sqrt(dx * dx + dy * dy);
    float degrees = std::atan2(dy, dx) * 180.0f / 3.14159265f;
    float t = ARROW_THICKNESS * unit, head = ARROW_HEAD * unit;
    canvas->PushMatrix();
    canvas->Translate(x0, y0);
    // Turning by -a turns clockwise on this y-down screen: the arrow's own
    // x axis then runs from its start to its end.
    canvas->Rotate(-degrees);
    canvas->DrawRect(0, -t / 2, length, t);
    for (int end = both ? 0 : 1; end < 2; ++end) {
        canvas->PushMatrix();
        canvas->Translate(end == 1 ? length : 0, 0);
        float back = end == 1 ? 180 : 0;
        for (float side : {-35.0f, 35.0f}) {
            canvas->PushMatrix();
            canvas->Rotate(-(back + side));
            canvas->DrawRect(-t / 2, -t / 2, head, t);
            canvas->PopMatrix();
        }
        canvas->PopMatrix();
    }
    canvas->PopMatrix();
}

void DrawHelpFace(c_Canvas* c, const c_FaceModel* face);

}  // namespace

void DrawHelp(c_Canvas* canvas, const c_FaceModel* face) {
    const HelpTexts& texts = Texts();
    canvas->SetColor(0, 0, 0);
    canvas->SetAlpha(VEIL_ALPHA);
    canvas->DrawRect(0, 0, VIRTUAL_WIDTH, VIRTUAL_HEIGHT);
    canvas->SetColor(0.13f, 0.18f, 0.27f);
    canvas->SetAlpha(PANEL_ALPHA);
    canvas->DrawRect(PANEL_X, PANEL_Y, PANEL_W, PANEL_H);
    canvas->SetAlpha(1);

    float title = TextScale(canvas, TITLE_HEIGHT), text = TextScale(canvas, TEXT_HEIGHT);
    canvas->SetColor(1, 0.82f, 0.4f);
    canvas->DrawText(texts.title, FACE_X, PANEL_Y + 14, title);

    // The legend: a swatch of the arrow's colour, how, then what it does;
    // beside the model face, or on the title screen (no face chosen, none
    // drawn) under a word on what comes.
    float legendX = LEGEND_X, legendY = LEGEND_Y;
    if (face) {
        DrawHelpFace(canvas, face);
    } else {
        canvas->SetColor(1, 1, 1);
        canvas->DrawText(texts.titleScreen, FACE_X, LEGEND_Y, text);
        legendX = FACE_X, legendY = LEGEND_Y + 2 * LEGEND_LINE;
    }
    for (size_t i = 0; i < texts.how.size(); ++i) {
        const Colour& c = GESTURES[i].colour;
        float y = legendY + i * LEGEND_LINE, x = legendX + 2 * SWATCH;
        canvas->SetColor(c.r, c.g, c.b);
        canvas->DrawRect(legendX, y + (TEXT_HEIGHT - SWATCH) / 2, SWATCH, SWATCH);
        canvas->DrawText(texts.how[i], x, y, text);
        canvas->SetColor(1, 1, 1);
        canvas->DrawText(texts.does[i], x + canvas->TextWidth(texts.how[i], text) + TEXT_HEIGHT * 0.6f, y, text);
    }

    // The keys, in three columns, row by row.
    int rows = static_cast<int>((texts.keyNames.size() + 2) / 3);
    for (size_t i = 0; i < texts.keyNames.size(); ++i) {
        float x = KEYS_X[i / rows], y = KEYS_Y + (i % rows) * LINE;
        canvas->SetColor(1, 0.82f, 0.4f);
        canvas->DrawText(texts.keyNames[i], x, y, text);
        canvas->SetColor(1, 1, 1);
        canvas->DrawText(texts.keyDoes[i], x + KEY_NAME_WIDTH, y, text);
    }
    canvas->SetColor(0.75f, 0.8f, 0.9f);
    canvas->DrawText(texts.footnote, FACE_X, KEYS_Y + rows * LINE + 12, text);
    canvas->DrawText(texts.mirror, FACE_X, KEYS_Y + (rows + 1) * LINE + 12, text * 0.8f);
    canvas->SetColor(1, 1, 1);
}

// The model face: the start face with the smiling mouth, whatever the face
// shows now, then the lips with the tongue in front of them, larger, for
// the tongue's gestures.
namespace {

void DrawHelpFace(c_Canvas* c, const c_FaceModel* face) {
    const c_FacePictures* pictures = face->pictures;
    c_Image2* faceImage = face->faceImage;
    const Array<c_Image2*>& eyes = face->eyeRight->frames;
    auto arrows = [&](const Arrow* list, int count, float unit) {
        for (int i = 0; i < count; ++i) {
            const Colour& col = GESTURES[list[i].gesture].colour;
            c->SetColor(col.r, col.g, col.b);
            DrawArrow(c, list[i].x0, list[i].y0, list[i].x1, list[i].y1, list[i].both, unit);
        }
        c->SetColor(1, 1, 1);
    };
    c->SetColor(1, 1, 1);
    c->PushMatrix();
    c->Translate(FACE_X, FACE_Y);
    c->Scale(FACE_SCALE, FACE_SCALE);
    c->DrawImage(faceImage, faceImage->Width() * 0.5f, faceImage->Height() * 0.5f);
    c->DrawImage(eyes[0], EYE_RIGHT_X, EYE_Y);
    c->DrawImage(eyes[0], EYE_LEFT_X, EYE_Y, 0, -1, 1);
    c->DrawImage(pictures->brow[0], BROW_RIGHT_X, BROW_Y);
    c->DrawImage(pictures->brow[0], BROW_LEFT_X, BROW_Y, 0, -1, 1);
    c->DrawImage(pictures->mouth[7], MOUTH_RIGHT_X, MOUTH_Y);
    c->DrawImage(pictures->mouth[7], MOUTH_LEFT_X, MOUTH_Y, 0, -1, 1);
    // Arrows keep their thickness on screen, whatever the scale.
    arrows(FACE_ARROWS, static_cast<int>(sizeof FACE_ARROWS / sizeof FACE_ARROWS[0]), 1 / FACE_SCALE * 0.5f);
    c->PopMatrix();

    // The inset: on a card of the skin's colour, the lips (back, middle and
    // front layers) and the tongue out in front, around the lips' place.
    c->SetColor(0.96f, 0.8f, 0.69f);
    c->DrawRect(INSET_X - INSET_W / 2, INSET_Y - INSET_H / 2, INSET_W, INSET_H);
    c->SetColor(1, 1, 1);
    c->PushMatrix();
    c->Translate(INSET_X - LIPS_RIGHT_X * INSET_SCALE, INSET_Y - LIPS_Y * INSET_SCALE);
    c->Scale(INSET_SCALE, INSET_SCALE);
    for (const gc_array<c_Image2*>* layer : {&pictures->lipsB, &pictures->lips, &pictures->lipsC}) {
        c->DrawImage((*layer)[3], LIPS_RIGHT_X, LIPS_Y);
        c->DrawImage((*layer)[3], LIPS_LEFT_X, LIPS_Y, 0, -1, 1);
    }
    c->DrawImage(pictures->tongue[10 + 20], TONGUE_X, TONGUE_Y);
    arrows(TONGUE_ARROWS, static_cast<int>(sizeof TONGUE_ARROWS / sizeof TONGUE_ARROWS[0]), 1 / INSET_SCALE * 0.5f);
    // The tap: a ring of dots where a finger would touch the tongue.
    const Colour& tap = GESTURES[TAP_GESTURE].colour;
    c->SetColor(tap.r, tap.g, tap.b);
    for (int i = 0; i < 12; ++i) {
        float a = i * 3.14159265f / 6;
        c->DrawRect(TONGUE_X + 22 * std::cos(a) - 4, TONGUE_Y + 40 + 22 * std::sin(a) - 4, 8, 8);
    }
    c->SetColor(1, 1, 1);
    c->PopMatrix();
}

}  // namespace
