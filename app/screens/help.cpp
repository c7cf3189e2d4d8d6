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
#include "app/language/language.h"
#include "app/screens/face_screen.h"
#include "app/ui/text.h"
#include "canvas/canvas.h"
#include "canvas/image.h"

namespace {

// The veil over the screen and the calm panel under the help.
constexpr float VEIL_ALPHA = 0.5f, PANEL_ALPHA = 0.95f;

// Where the help's parts stand in an arrangement: the panel; text heights
// (at the first window's 800 x 500, 0.625 pixels a unit, the smallest
// landscape text is 14 pixels high; upright on a phone 26 units are 12);
// the model face (the face picture at a scale, its top-left corner) and the
// mouth inset (the lips with the tongue in front, larger); the legend, one
// line a gesture; the keys' columns (or, on a touch screen, the buttons'
// pictures with what they do) and the note at the end.
struct HelpLayout {
    float panelX, panelY, panelW, panelH;
    // Upright with a keyboard (a tall window, not a phone) the keys' words
    // take a smaller text, `keysTextHeight`, to fit their columns.
    float titleHeight, textHeight, keysTextHeight, line;
    float faceScale, faceX, faceY;
    float insetScale, insetX, insetY, insetW, insetH;
    float legendX, legendY, legendLine, swatch;
    float keysY, keysX[3];
    int keyColumns;
    float keyNameWidth;
    float footnoteWidth;
};
const HelpLayout LAYOUTS[2] = {
    {30, 20, 1220, 760, 30, 23, 23, 28, 0.5f, 50, 70, 1.1f, 720, 430, 380, 156, 480, 72, 31, 16, 520, {60, 460, 860}, 3,
     150, 1160},
    {10, 10, 780, 1260, 32, 26, 21, 34, 0.42f, 24, 70, 0.95f, 585, 250, 380, 156, 30, 430, 37, 18, 780, {30, 410, 0}, 2,
     125, 740},
};

// The card is the skin of the lips' pictures, so that they show no edge on it.
constexpr float SKIN[3] = {247, 205, 176};
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
    {{0.36f, 0.62f, 0.95f}, N_("An eye, up or down:"), N_("up closes, down opens"), {-1, -1, -1}},
    {{0.98f, 0.66f, 0.2f}, N_("An eyebrow's end, up or down:"), N_("tilts them"), {-1, -1, -1}},
    {{0.98f, 0.85f, 0.3f}, N_("An eyebrow's middle, up, down:"), N_("moves them"), {-1, -1, -1}},
    {{0.95f, 0.45f, 0.6f}, N_("A cheek, out or in:"), N_("puffs, hollows"), {-1, -1, -1}},
    {{0.4f, 0.85f, 0.45f}, N_("A mouth corner, any way:"), N_("its shape"), {-1, -1, -1}},
    {{0.95f, 0.3f, 0.25f}, N_("Mouth's middle, down/up:"), N_("teeth %s, lips %s, smile %s"),
     {GKEY_TEETH, GKEY_LIPS, GKEY_SMILE}},
    {{0.75f, 0.5f, 0.95f}, N_("The tongue (T), any way:"), N_("shape %s %s, side"), {GKEY_TONGUE_UP, GKEY_TONGUE_DOWN, -1}},
    {{0.75f, 0.5f, 0.95f}, N_("A tap on the tongue:"), N_("deeper, in the lips (%s)"), {GKEY_DEPTH, -1, -1}},
    {{0.3f, 0.8f, 0.85f}, N_("The chin, down or up:"), N_("opens %s, lips pressed %s"), {GKEY_JAW_OPEN, GKEY_JAW_CLOSE, -1}},
};
// The same words on a touch screen, where no key is named.
const char* const GESTURES_BY_TOUCH[][2] = {
    {N_("An eye, up or down:"), N_("opens, closes")},
    {N_("An eyebrow's end, up or down:"), N_("tilts them")},
    {N_("An eyebrow's middle, up, down:"), N_("moves them")},
    {N_("A cheek, out or in:"), N_("puffs, hollows")},
    {N_("A mouth corner, any way:"), N_("its shape")},
    {N_("Mouth's middle, down/up:"), N_("teeth, lips, smile")},
    {N_("The tongue (its button), any way:"), N_("shape, side")},
    {N_("A tap on the tongue:"), N_("deeper, in the lips")},
    {N_("The chin, down or up:"), N_("opens, lips pressed")},
};
static_assert(sizeof GESTURES_BY_TOUCH / sizeof GESTURES_BY_TOUCH[0] == sizeof GESTURES / sizeof GESTURES[0],
              "each gesture has its words for a touch screen");
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
    {2, 295, 240, 295, 290, true},   // across the left brow, where its middle is taken
    {3, 540, 540, 640, 540, false},  // the right cheek, out
    {3, 245, 540, 145, 540, true},   // the left cheek, out and in
    {4, 520, 505, 600, 505, true},   // the right corner, out and in
    {4, 505, 420, 505, 485, true},   // and up and down
    {5, 393, 470, 393, 600, true},   // the middle of the mouth, down and up
    {8, 345, 610, 345, 690, true},   // the chin, down and up
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
    {"1 / 2", N_("full/half pace")},
    {N_("Arrows"), N_("repeats, hold")},
    {"F11", N_("full screen")},
    {N_("Alt+Enter"), N_("full screen")},
    {N_("Escape"), N_("window again")},
    {"C", N_("mirror (browser)")},
    {"V", N_("sound on/off")},
};

const char* const kTitleScreenHint = N_("Choose the girl or the boy, then drag the parts of the face:");

// Every text of the help, for a keyboard or a touch screen, made once: a
// frame allocates nothing.
struct HelpTexts {
    String title, titleScreen;
    std::string footnote, tongueNote, mirror;
    std::vector<String> how, does;
    std::vector<String> keyNames, keyDoes;
};
const HelpTexts& Texts(bool namesKeys) {
    static HelpTexts made[2];
    static int generation = LanguageGeneration();
    if (generation != LanguageGeneration()) {
        made[0] = made[1] = HelpTexts();
        generation = LanguageGeneration();
    }
    HelpTexts& texts = made[namesKeys ? 1 : 0];
    if (!texts.how.empty()) return texts;
    texts.title = Shown(namesKeys ? _("Help: drag the face, or use the keys") : _("Help: drag the face"));
    texts.titleScreen = Shown(_(kTitleScreenHint));
    texts.footnote = namesKeys ? _("Home forgets the recording. Any key or click closes this help.")
                               : _("The house goes back to the title and forgets the recording. A tap closes this help.");
    texts.tongueNote = _("With the teeth or pressed lips, the tongue button fades: they hide the tongue.");
#ifdef __EMSCRIPTEN__
    texts.mirror = _("Mirror (C): the child's own face beside this one; it cannot see tongue, teeth, cheeks.");
#else
    texts.mirror = _("Mirror (C), browser version only (make web-run): it cannot see tongue, teeth, cheeks.");
#endif
    for (size_t g = 0; g < sizeof GESTURES / sizeof GESTURES[0]; ++g) {
        if (!namesKeys) {
            texts.how.push_back(Shown(_(GESTURES_BY_TOUCH[g][0])));
            texts.does.push_back(Shown(_(GESTURES_BY_TOUCH[g][1])));
            continue;
        }
        texts.how.push_back(Shown(_(GESTURES[g].how)));
        const char* names[3];
        for (int i = 0; i < 3; ++i) names[i] = GESTURES[g].keys[i] >= 0 ? _(GESTURE_KEYS[GESTURES[g].keys[i]].keyName) : "";
        char does[128];
        std::snprintf(does, sizeof does, _(GESTURES[g].does), names[0], names[1], names[2]);
        texts.does.push_back(Shown(does));
    }
    // On a touch screen the buttons stand for themselves, as pictures.
    for (const FaceButton& row : FACE_BUTTONS) {
        texts.keyNames.push_back(Shown(_(row.keyName)));
        texts.keyDoes.push_back(Shown(_(row.does)));
    }
    if (namesKeys)
        for (const OtherKey& key : OTHER_KEYS) {
            texts.keyNames.push_back(Shown(_(key.keyName)));
            texts.keyDoes.push_back(Shown(_(key.does)));
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

void DrawHelpFace(c_Canvas* c, const HelpLayout& l, const c_FaceModel* face);

}  // namespace

void DrawHelp(c_Canvas* canvas, Arrangement a, const c_FaceModel* face, bool namesKeys) {
    const HelpTexts& texts = Texts(namesKeys);
    HelpLayout l = LAYOUTS[a == Arrangement::Portrait ? 1 : 0];
    if (namesKeys) l.textHeight = l.keysTextHeight;
    canvas->SetColor(0, 0, 0);
    canvas->SetAlpha(VEIL_ALPHA);
    canvas->DrawRect(0, 0, ScreenWidth(a), ScreenHeight(a));
    canvas->SetColor(0.13f, 0.18f, 0.27f);
    canvas->SetAlpha(PANEL_ALPHA);
    canvas->DrawRect(l.panelX, l.panelY, l.panelW, l.panelH);
    canvas->SetAlpha(1);

    float title = TextScale(canvas, l.titleHeight), text = TextScale(canvas, l.textHeight);
    canvas->SetColor(1, 0.82f, 0.4f);
    canvas->DrawText(texts.title, l.faceX, l.panelY + 14, title);

    // The legend: a swatch of the arrow's colour, how, then what it does;
    // beside (or under) the model face, or on the title screen (no face
    // chosen, none drawn) under a word on what comes.
    float legendX = l.legendX, legendY = l.legendY;
    if (face) {
        DrawHelpFace(canvas, l, face);
    } else {
        canvas->SetColor(1, 1, 1);
        int lines = 1;
        if (a == Arrangement::Landscape)
            canvas->DrawText(texts.titleScreen, l.faceX, l.legendY, text);
        else
            lines = DrawWrapped(canvas, _(kTitleScreenHint),
                                l.panelX + l.panelW / 2, l.faceY, l.footnoteWidth, l.textHeight);
        legendX = l.faceX;
        legendY = (a == Arrangement::Landscape ? l.legendY : l.faceY) + (lines + 1) * l.legendLine;
    }
    for (size_t i = 0; i < texts.how.size(); ++i) {
        const Colour& c = GESTURES[i].colour;
        float y = legendY + i * l.legendLine, x = legendX + 2 * l.swatch;
        canvas->SetColor(c.r, c.g, c.b);
        canvas->DrawRect(legendX, y + (l.textHeight - l.swatch) / 2, l.swatch, l.swatch);
        canvas->DrawText(texts.how[i], x, y, text);
        canvas->SetColor(1, 1, 1);
        canvas->DrawText(texts.does[i], x + canvas->TextWidth(texts.how[i], text) + l.textHeight * 0.6f, y, text);
    }

    // The keys in columns, row by row; on a touch screen the buttons, as
    // pictures, where the face screen has lent them.
    const c_FacePictures* pictures = face ? face->pictures.get() : nullptr;
    bool asPictures = !namesKeys;
    int count = static_cast<int>(texts.keyNames.size());
    if (asPictures && !pictures) count = 0;
    int rows = (count + l.keyColumns - 1) / l.keyColumns;
    float line = asPictures ? l.line * 1.35f : l.line;
    for (int i = 0; i < count; ++i) {
        float x = l.keysX[i / rows], y = l.keysY + (i % rows) * line;
        if (asPictures) {
            c_Image2* button = pictures->buttons[2 * i];
            float scale = line * 0.9f / static_cast<float>(button->Height());
            canvas->SetColor(1, 1, 1);
            canvas->DrawImage(button, x, y - line * 0.2f, 0, scale, scale);
            canvas->DrawText(texts.keyDoes[i], x + line * 1.2f, y, text);
            continue;
        }
        canvas->SetColor(1, 0.82f, 0.4f);
        canvas->DrawText(texts.keyNames[i], x, y, text);
        canvas->SetColor(1, 1, 1);
        canvas->DrawText(texts.keyDoes[i], x + l.keyNameWidth, y, text);
    }
    canvas->SetColor(0.75f, 0.8f, 0.9f);
    float noteY = l.keysY + rows * line + 12;
    // The notes: the tongue button with the teeth, the mirror, and how the
    // help closes; one line each in landscape, wrapped upright.
    for (const std::string* note : {&texts.tongueNote, &texts.mirror}) {
        if (a == Arrangement::Landscape) {
            canvas->DrawText(Shown(*note), l.faceX, noteY, note == &texts.mirror ? text * 0.8f : text);
            noteY += l.line;
        } else {
            noteY += l.textHeight * 1.25f *
                     DrawWrapped(canvas, *note, l.panelX + l.panelW / 2, noteY, l.footnoteWidth, l.textHeight);
        }
    }
    if (a == Arrangement::Landscape && namesKeys)
        canvas->DrawText(Shown(texts.footnote), l.faceX, noteY, text);
    else
        DrawWrapped(canvas, texts.footnote, l.panelX + l.panelW / 2, noteY, l.footnoteWidth, l.textHeight);
    canvas->SetColor(1, 1, 1);
}

namespace {

void DrawHelpFace(c_Canvas* c, const HelpLayout& l, const c_FaceModel* face) {
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
    c->Translate(l.faceX, l.faceY);
    c->Scale(l.faceScale, l.faceScale);
    c->DrawImage(faceImage, faceImage->Width() * 0.5f, faceImage->Height() * 0.5f);
    c->DrawImage(eyes[0], EYE_RIGHT_X, EYE_Y);
    c->DrawImage(eyes[0], EYE_LEFT_X, EYE_Y, 0, -1, 1);
    c->DrawImage(pictures->brow[0], BROW_RIGHT_X, BROW_Y);
    c->DrawImage(pictures->brow[0], BROW_LEFT_X, BROW_Y, 0, -1, 1);
    c->DrawImage(pictures->mouth[7], MOUTH_RIGHT_X, MOUTH_Y);
    c->DrawImage(pictures->mouth[7], MOUTH_LEFT_X, MOUTH_Y, 0, -1, 1);
    c->DrawImage(pictures->smileMiddle, MOUTH_RIGHT_X, MOUTH_Y);  // as the face screen lays it
    // Arrows keep their thickness on screen, whatever the scale.
    arrows(FACE_ARROWS, static_cast<int>(sizeof FACE_ARROWS / sizeof FACE_ARROWS[0]), 1 / l.faceScale * 0.5f);
    c->PopMatrix();

    // The inset: on a card of the skin's colour, the lips (back, middle and
    // front layers) and the tongue out in front, around the lips' place.
    c->SetColor(SKIN[0] / 255.0f, SKIN[1] / 255.0f, SKIN[2] / 255.0f);
    c->DrawRect(l.insetX - l.insetW / 2, l.insetY - l.insetH / 2, l.insetW, l.insetH);
    c->SetColor(1, 1, 1);
    c->PushMatrix();
    c->Translate(l.insetX - LIPS_RIGHT_X * l.insetScale, l.insetY - LIPS_Y * l.insetScale);
    c->Scale(l.insetScale, l.insetScale);
    for (const gc_array<c_Image2*>* layer : {&pictures->lipsB, &pictures->lips, &pictures->lipsC}) {
        c->DrawImage((*layer)[3], LIPS_RIGHT_X, LIPS_Y);
        c->DrawImage((*layer)[3], LIPS_LEFT_X, LIPS_Y, 0, -1, 1);
    }
    c->DrawImage(pictures->tongue[10 + 20], TONGUE_X, TONGUE_Y);
    arrows(TONGUE_ARROWS, static_cast<int>(sizeof TONGUE_ARROWS / sizeof TONGUE_ARROWS[0]), 1 / l.insetScale * 0.5f);
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
