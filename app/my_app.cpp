// The application object, its two screens and the button bar.
#include "app/my_app.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/atlas.h"
#include "app/command_line.h"
#include "app/tongue_handles.h"
#include "canvas/canvas.h"
#include "canvas/image.h"
#include "framework/input_device.h"
#include "host/game.h"

namespace {

// The pace the exercises are made for; the recorder's ten seconds are 600 ticks.
constexpr int UPDATES_PER_SECOND = 60;

constexpr int KEY_F1 = 112, KEY_HOME = 36, KEY_BACKSPACE = 8, KEY_CTRL = 17;
// The keyboard's keys in the key space: below them the mouse buttons, above
// them the joysticks and fingers.
constexpr int KEYBOARD_FIRST = 8, KEYBOARD_LAST = 255;

// Where the title screen's choices stand.
constexpr float GIRL_X = 240, BOY_X = 740, CHOICE_Y = 209;

// The mouth's anchors in rows 3 and 4 lie this many texels below the
// picture's top edge; rows 1 and 2 hang from their bottom edge.
constexpr float LOW_MOUTH_ANCHOR = 9.9f;

// The face-screen buttons stand in two columns outside the face, one row
// every 100 units: the child's on the left, the adult's on the right and the
// bottom left. Rows 5 and 6 of the right column are free.
constexpr float LEFT_COLUMN = 60, RIGHT_COLUMN = 1230;
constexpr float Row(int n) { return 20 + 100.0f * n; }

String Key(const char* format, int a) {
    char text[64];
    std::snprintf(text, sizeof text, format, a);
    return String(text);
}
String Key(const char* format, int a, int b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return String(text);
}

c_Partie* NewPart(PartState& state, int frames, int framesB = 0, int framesC = 0) {
    c_Partie* part = new c_Partie(state);
    if (frames) part->frames = Array<c_Image2*>(frames);
    if (framesB) part->framesB = Array<c_Image2*>(framesB);
    if (framesC) part->framesC = Array<c_Image2*>(framesC);
    return part;
}

void Cut(const Atlas& atlas, const Array<c_Image2*>& frames, int index, const String& key, float hx, float hy) {
    c_Image2* image = CutSprite(atlas, key);
    image->SetPivot(hx, hy);
    frames[index] = image;
}

c_Image2* CutWithHandle(const Atlas& atlas, const char* key, float hx, float hy) {
    c_Image2* image = CutSprite(atlas, String(key));
    image->SetPivot(hx, hy);
    return image;
}

// Each child's own pictures: the face, then the three eyes.
constexpr int CHILD_PICTURES = 4;
const char* const EYE_PICTURES[3] = {"path5081.png", "g4534.png", "g4528.png"};

// How long a message stays at the bottom of the screen: 5 seconds.
constexpr int MESSAGE_TICKS = 5 * UPDATES_PER_SECOND;

// A float that may lie beyond the int range, truncated and wrapped into it.
int TruncateToInt(float value) {
    double v = std::trunc(static_cast<double>(value));
    if (!(v > -9.2e18 && v < 9.2e18)) return 0;
    return static_cast<int>(static_cast<uint32_t>(static_cast<int64_t>(v)));
}

}  // namespace

// The order of the rows is the order a tick tests the buttons in; leaving
// the face screen comes last but for the help, which only opens a veil.
const FaceButton FACE_BUTTONS[SLOT_COUNT] = {
    {&c_MyApp::tongueButton, "rect4607", "rect4608", LEFT_COLUMN, Row(1), false, 'T', "T", "tongue out / in",
     &c_MyApp::PressTongue, &FaceState::tongueMode},
    {&c_MyApp::symmetryButton, "rect4621", "rect4622", RIGHT_COLUMN, Row(2), true, 'S', "S",
     "paired/one side", &c_MyApp::PressSymmetry, &FaceState::paired},
    {&c_MyApp::recordButton, "boutonrec1.png", "boutonrec2.png", RIGHT_COLUMN, Row(3), true, 'R', "R",
     "record / stop", &c_MyApp::PressRecord},
    {&c_MyApp::playButton, "boutonplay1.png", "boutonplay2.png", RIGHT_COLUMN, Row(4), true, ' ', "Space",
     "play / stop", &c_MyApp::PressPlay},
    {&c_MyApp::menuButton, "boutonmenu1.png", "boutonmenu2.png", RIGHT_COLUMN, Row(0), false, 'M', "M",
     "adult's buttons", &c_MyApp::PressMenu},
    {&c_MyApp::resetButton, "rect4609", nullptr, RIGHT_COLUMN, Row(1), true, KEY_BACKSPACE, "Backspace",
     "reset the face", &c_MyApp::PressReset},
    {&c_MyApp::randomButton, "boutonrnd", nullptr, LEFT_COLUMN, Row(0), false, 'D', "D", "random face",
     &c_MyApp::PressRandom},
    {&c_MyApp::saveButton, "boutonsauver.png", nullptr, RIGHT_COLUMN, Row(5), true, KEY_WITH_CTRL | 'S', "Ctrl+S",
     "save recording", &c_MyApp::PressSave},
    {&c_MyApp::libraryButton, "boutonbiblio.png", nullptr, RIGHT_COLUMN, Row(6), true, 'L', "L",
     "library", &c_MyApp::PressLibrary},
    {&c_MyApp::homeButton, "boutonmaison.png", nullptr, LEFT_COLUMN, Row(6), true, KEY_HOME, "Home",
     "back to title", &c_MyApp::PressHome},
    {&c_MyApp::helpButton, "boutonaide.png", nullptr, LEFT_COLUMN, Row(5), true, KEY_F1, "F1 or ?", "this help",
     &c_MyApp::PressHelp},
};

const GestureKeyRow GESTURE_KEYS[GESTURE_KEY_COUNT] = {
    {'G', "G", "smiling mouth"},
    {'P', "P", "lips (pout)"},
    {'E', "E", "teeth"},
    {'I', "I", "tongue deeper"},
};

c_MyApp::c_MyApp() {
    pointer = Array<float>(2);
    childPictures = Array<c_Image2*>(2 * CHILD_PICTURES);
    windowPointer = Array<float>(2);
}

int c_MyApp::OnSetup() {
    SetTickRate(UPDATES_PER_SECOND);
    if (ParseCommandLine(processArgumentCount, processArguments).fullscreen) theHost->SetFullscreen(true);
    canvas = (new c_Canvas())->Init();
    canvas->SetOrthoProjection(0, VIRTUAL_WIDTH, 0, VIRTUAL_HEIGHT, -1, 1);
    EnterTitleScreen();
    std::string file = ParseCommandLine(processArgumentCount, processArguments).file;
    if (!file.empty()) OpenFromCommandLine(file);
    return 0;
}

void c_MyApp::EnterTitleScreen() {
    Atlas atlas = LoadAtlas("images3");
    girlButton = (new c_Bouton())->Init(atlas, String("fille.png"), String(), 1, GIRL_X, CHOICE_Y);
    boyButton = (new c_Bouton())->Init(atlas, String("gars.png"), String(), 1, BOY_X, CHOICE_Y);
    if (titleImage) titleImage->Discard();
    titleImage = CutWithHandle(atlas, "titre.png", 1, 1);
    CloseAtlas(atlas);
    faceScreen = false;
}

int c_MyApp::OnTick() {
    windowPointer[0] = inputDevice->PointerX();
    windowPointer[1] = inputDevice->PointerY();
    canvas->UnprojectPoint(windowPointer, pointer);
    bool hit = inputDevice->KeyHitCount(KEY_TOUCH_FIRST) != 0;
    bool touching = inputDevice->IsKeyDown(KEY_TOUCH_FIRST);
    bool anyKey = false;
    for (int i = 0; i < inputDevice->hitCount; ++i) {
        int key = inputDevice->hitQueue[i];
        anyKey |= key >= KEYBOARD_FIRST && key <= KEYBOARD_LAST;
    }
    // Ctrl counts for a key pressed while it was down, in this tick or the
    // last: a quick chord may press Ctrl in one tick and let it go before
    // its key is read in the next.
    bool ctrlNow = inputDevice->IsKeyDown(KEY_CTRL) || inputDevice->KeyHitCount(KEY_CTRL) != 0;
    bool ctrlNear = ctrlNow || ctrlLastTick;
    ctrlLastTick = ctrlNow;
    bool helpAsked = inputDevice->KeyHitCount(FACE_BUTTONS[SLOT_HELP].key) != 0;
    for (int c = inputDevice->GetChar(); c != 0; c = inputDevice->GetChar()) helpAsked |= c == '?';

    // The help closes on any key or click, which then does nothing else.
    if (helpShown) {
        if (anyKey || hit) {
            helpShown = false;
            swallowTouch = hit;
        }
        hit = touching = false;
        anyKey = false;
    } else if (helpAsked) {
        helpShown = true;
        anyKey = false;
    }
    if (swallowTouch) {
        if (!touching) swallowTouch = false;
        hit = touching = false;
    }

    if (messageTicks > 0 && --messageTicks == 0) message.clear();
    if (libraryShown) {
        LibraryTick(hit);
        return 0;
    }
    if (!faceScreen) {
        if (anyKey && inputDevice->KeyHitCount(FACE_BUTTONS[SLOT_LIBRARY].key) != 0) {
            OpenLibrary();
            return 0;
        }
        TitleTick(hit);
        return 0;
    }
    unsigned keys = 0;
    if (anyKey) {
        bool ctrl = ctrlNear;
        for (int slot = 0; slot < SLOT_COUNT; ++slot) {
            int key = FACE_BUTTONS[slot].key;
            bool withCtrl = (key & KEY_WITH_CTRL) != 0;
            if (inputDevice->KeyHitCount(key & ~KEY_WITH_CTRL) != 0 && withCtrl == ctrl) keys |= 1u << slot;
        }
        for (int k = 0; k < GESTURE_KEY_COUNT; ++k)
            if (inputDevice->KeyHitCount(GESTURE_KEYS[k].key) != 0) keys |= GestureKeyBit(k);
        RepeatKeys();
        if (inputDevice->KeyHitCount('1') != 0) halfPace = false;
        if (inputDevice->KeyHitCount('2') != 0) halfPace = true;
    }
    FaceTick(hit, touching, keys);
    return 0;
}

void c_MyApp::TitleTick(bool hit) {
    if (!hit) return;
    if (TitleLibraryHit(pointer[0], pointer[1])) {
        OpenLibrary();
        return;
    }
    bool girl;
    if (girlButton->Hit(pointer[0], pointer[1]))
        girl = true;
    else if (boyButton->Hit(pointer[0], pointer[1]))
        girl = false;
    else
        return;
    EnterFaceScreen(girl);
}

void c_MyApp::EnterFaceScreen(bool girl) {
    // The random faces differ from one session to the next.
    Array<int> date = CurrentDate();
    float seed = ((inputDevice->PointerY() + inputDevice->PointerX()) + static_cast<float>(ElapsedMilliseconds())) +
                 static_cast<float>(date[5]);
    randomState = TruncateToInt(seed);
    Atlas shared = LoadAtlas("images2");

    PartState* p = face.parts;
    eyeRight = NewPart(p[PART_EYE_RIGHT], 3);
    eyeLeft = NewPart(p[PART_EYE_LEFT], 0);
    browRight = NewPart(p[PART_BROW_RIGHT], 1);
    browLeft = NewPart(p[PART_BROW_LEFT], 0);
    cheekRight = NewPart(p[PART_CHEEK_RIGHT], 1);
    cheekLeft = NewPart(p[PART_CHEEK_LEFT], 0);
    mouthRight = NewPart(p[PART_MOUTH_RIGHT], 40, 28, 28);
    mouthLeft = NewPart(p[PART_MOUTH_LEFT], 0);
    lipsRight = NewPart(p[PART_LIPS_RIGHT], 14, 14, 14);
    lipsLeft = NewPart(p[PART_LIPS_LEFT], 0);
    teethRight = NewPart(p[PART_TEETH_RIGHT], 15);
    teethLeft = NewPart(p[PART_TEETH_LEFT], 0);
    tongue = NewPart(p[PART_TONGUE], 41);


    // The tongue: eight shapes of five steps.
    for (int n = 1; n <= 8; ++n)
        for (int k = 1; k <= 5; ++k) {
            int i = 5 * (n - 1) + (k - 1);
            Cut(shared, tongue->frames, i, Key("langue%d_0%d.png", n, k), static_cast<float>(kTongueHandleX[i]),
                static_cast<float>(kTongueHandleY[i]));
        }
    Cut(shared, tongue->frames, 40, String("langue0.png"), 0.5f, 0);

    Cut(shared, cheekRight->frames, 0, String("joues2.png"), 0, 1);

    // The smiling mouth: four rows of seven steps in three renderings (the
    // lips, the open mouth with the tongue up, with the tongue down).
    for (int n = 1; n <= 4; ++n)
        for (int k = 1; k <= 7; ++k) {
            int i = 7 * (n - 1) + (k - 1);
            c_Image2* front = CutSprite(shared, Key("sourire%d_0%d.png", n, k));
            float hy = n <= 2 ? 1 : LOW_MOUTH_ANCHOR / static_cast<float>(front->Height());
            front->SetPivot(0, hy);
            mouthRight->frames[i] = front;
            Cut(shared, mouthRight->framesB, i, Key("sourire%d_0%db.png", n, k), 0, hy);
            Cut(shared, mouthRight->framesC, i, Key("sourire%d_0%dc.png", n, k), 0, hy);
        }
    for (int k = 1; k <= 7; ++k) Cut(shared, mouthRight->frames, 27 + k, Key("sourire2_0%dd.png", k), 0, 1);
    Cut(shared, mouthRight->frames, 35, String("culdepoule.png"), 0, 1);
    Cut(shared, mouthRight->frames, 36, String("joues1.png"), 0, 0.6f);
    Cut(shared, mouthRight->frames, 37, String("joues3.png"), 0, 0.6f);
    Cut(shared, mouthRight->frames, 38, String("joues4.png"), 0, 0.25f);
    Cut(shared, mouthRight->frames, 39, String("joues5.png"), 0, 0.54f);

    // Lips: two rows of seven steps, back, middle and front layers.
    const int lipsBack[14] = {4882, 4890, 4898, 4906, 4914, 4922, 4930, 5245, 5233, 5221, 5209, 5196, 5184, 5171};
    for (int i = 0; i < 14; ++i) {
        int number = (i < 7 ? 4930 : 5930) + i % 7;
        Cut(shared, lipsRight->frames, i, Key("path%da.png", number), 0, 0.5f);
        Cut(shared, lipsRight->framesB, i, Key("path%d.png", lipsBack[i]), 0, 0.5f);
        Cut(shared, lipsRight->framesC, i, Key("path%db.png", number), 0, 0.5f);
        Cut(shared, teethRight->frames, i, Key("dents%d_0%d.png", i / 7 + 1, i % 7 + 1), 0, 0.5f);
    }
    Cut(shared, teethRight->frames, 14, String("enrond.png"), 0, 0.5f);
    Cut(shared, browRight->frames, 0, String("path5082.png"), 0.5f, 0.5f);
    pinkSquare = CutWithHandle(shared, "carre_rose.png", 0, 0);
    faceMark1 = CutWithHandle(shared, "boutdevisage1.png", 0, 1);
    faceMark2 = CutWithHandle(shared, "boutdevisage2.png", 0, 1);
    recordImage = CutWithHandle(shared, "rec.png", 1, 1);

    for (const FaceButton& row : FACE_BUTTONS) {
        c_Bouton* b = (new c_Bouton())->Init(shared, String(row.picture), String(row.picture2 ? row.picture2 : ""),
                                             row.withMenu ? 0 : 1, 0, row.top);
        b->x0 = row.centreX - b->width * 0.5f;
        b->x1 = b->x0 + b->width;
        this->*row.button = b;
    }
    CloseAtlas(shared);
    ShowChild(girl ? Child::Girl : Child::Boy);

    faceX = (VIRTUAL_WIDTH - faceImage->Width()) * 0.5f;
    faceY = (VIRTUAL_HEIGHT - faceImage->Height()) * 0.5f;
    face.paired = true;
    StartPlacement();
    // The cheeks' rows are set once: from 13 units above the cheek picture
    // to 7 below it.
    c_Image2* cheek = cheekRight->frames[0];
    cheekRight->zoneTop = cheekRight->y - cheek->PivotY() * cheek->Height() + faceY - 13;
    cheekRight->zoneBottom = cheekRight->zoneTop + cheek->Height() + 20;
    cheekLeft->zoneTop = cheekRight->zoneTop;
    cheekLeft->zoneBottom = cheekRight->zoneBottom;
    faceScreen = true;
    girlButton->images[0]->Discard();
    boyButton->images[0]->Discard();
}

std::vector<c_Partie*> c_MyApp::Parts() const {
    return {eyeRight,   eyeLeft,   browRight, browLeft,   cheekRight, cheekLeft, mouthRight,
            mouthLeft,  lipsRight, lipsLeft,  teethRight, teethLeft,  tongue};
}

void c_MyApp::ShowChild(Child which) {
    int first = (which == Child::Girl ? 0 : 1) * CHILD_PICTURES;
    if (!childPictures[first]) {
        Atlas atlas = LoadAtlas(which == Child::Girl ? "images1a" : "images1b");
        childPictures[first] = CutSprite(atlas, String("visage1.png"));
        for (int i = 0; i < 3; ++i) Cut(atlas, childPictures, first + 1 + i, String(EYE_PICTURES[i]), 0.5f, 0.5f);
        CloseAtlas(atlas);
    }
    faceImage = childPictures[first];
    for (int i = 0; i < 3; ++i) eyeRight->frames[i] = childPictures[first + 1 + i];
    child = which;
}

int c_MyApp::ShownState(int slot) const {
    bool FaceState::*shows = FACE_BUTTONS[slot].shows;
    return shows ? (face.*shows ? 1 : 0) : ButtonInSlot(slot)->state;
}

void c_MyApp::ShowMessage(const std::string& text) {
    message = text;
    messageTicks = MESSAGE_TICKS;
}

void c_MyApp::LeaveFaceScreen() {
    auto discard = [](const Array<c_Image2*>& images) {
        for (int i = 0; i < images.Length(); ++i)
            if (images[i]) images[i]->Discard();
    };
    discard(childPictures);
    for (int i = 0; i < childPictures.Length(); ++i) childPictures[i] = nullptr;
    for (c_Partie* part : Parts()) {
        discard(part->frames);
        discard(part->framesB);
        discard(part->framesC);
    }
    for (const FaceButton& row : FACE_BUTTONS) {
        discard((this->*row.button)->images);
        this->*row.button = nullptr;
    }
    faceImage = nullptr;
    for (gc_ref<c_Image2>* image : {&pinkSquare, &faceMark1, &faceMark2, &recordImage}) {
        (*image)->Discard();
        *image = nullptr;
    }
    for (gc_ref<c_Partie>* part : {&eyeRight, &eyeLeft, &browRight, &browLeft, &cheekRight, &cheekLeft, &mouthRight,
                                   &mouthLeft, &lipsRight, &lipsLeft, &teethRight, &teethLeft, &tongue})
        *part = nullptr;

    // As at start-up: the modes and the gesture's state start again with the
    // next face, and the recording (made on this face) is forgotten.
    face = FaceState();
    recordIndex = 0;
    recording = Exercise();
    armedFace = FaceSnapshot();
    halfPace = paceHeld = false;
    keyGesture = KeyGesture();
    pendingKeys = 0;
    StopRepeating();
    EnterTitleScreen();
}

bool c_MyApp::PaceControlHit(float x, float y) const {
    return playButton->state == 1 && x > PACE_X && x < PACE_X + PACE_WIDTH && y > PACE_Y && y < PACE_Y + PACE_HEIGHT;
}

ButtonEvents c_MyApp::PressButtons(bool touchHit, unsigned keys) {
    ButtonEvents events;
    float x = pointer[0], y = pointer[1];
    bool pace = touchHit && PaceControlHit(x, y);
    // A button acts when a touch hits it where it shows, or when its key is
    // pressed, shown or not: the keys are the adult's, the menu only keeps
    // the buttons from a child's fingers.
    for (int slot = 0; slot < SLOT_COUNT && faceScreen; ++slot) {
        c_Bouton* b = ButtonInSlot(slot);
        void (c_MyApp::*press)(ButtonEvents&) = FACE_BUTTONS[slot].press;
        if ((touchHit && b->active && b->Hit(x, y)) || (keys & (1u << slot)) != 0) (this->*press)(events);
    }
    if (pace) halfPace = !halfPace;
    return events;
}

void c_MyApp::PressTongue(ButtonEvents& events) {
    face.tongueMode = !face.tongueMode;
    events.tongue = true;
}

void c_MyApp::PressSymmetry(ButtonEvents& events) {
    face.paired = !face.paired;
    events.symmetry = true;
}

void c_MyApp::PressRecord(ButtonEvents&) {
    StopRepeating();
    recordButton->ToggleState();
    playButton->state = 0;
    recordIndex = 0;
    if (recordButton->state == 1) SaveSnapshot();
}

void c_MyApp::PressPlay(ButtonEvents&) {
    if (recordButton->state == 1 && recordIndex > 0 && recordIndex <= RECORD_LAST)
        recording.entries.push_back({ENTRY_END, 0});
    // Only a recording that exists plays; stopping a playback (or a hold
    // between repetitions) also brings the face back to where the recording
    // began.
    if (!recording.entries.empty()) {
        if (playButton->state == 1 || repeatPhase != RepeatPhase::Off) {
            StopRepeating();
            playButton->state = 0;
            recordButton->state = 0;
            recordIndex = 0;
            ResetFace();
            RestoreSnapshot();
        } else {
            repeatPhase = RepeatPhase::Playing;
            repetition = 1;
            StartPlayback();
        }
    }
}

void c_MyApp::PressMenu(ButtonEvents&) {
    menuButton->ToggleState();
    for (const FaceButton& row : FACE_BUTTONS)
        if (row.withMenu) (this->*row.button)->ToggleActive();
}

void c_MyApp::PressReset(ButtonEvents& events) {
    ResetFace();
    events.reset = true;
}

void c_MyApp::PressRandom(ButtonEvents& events) {
    RandomFace();
    events.random = true;
}

void c_MyApp::PressHome(ButtonEvents&) { LeaveFaceScreen(); }

void c_MyApp::PressHelp(ButtonEvents&) { helpShown = true; }

void c_MyApp::PressSave(ButtonEvents&) {
    StopRepeating();
    playButton->state = 0;
    Exercise exercise;
    if (!RecordingAsExercise(&exercise)) {
        ShowMessage("Nothing to save: record an exercise first (R).");
        return;
    }
    std::string path;
    std::string problem = SaveExercise(exercise, LocalTimeNow(), &path);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s\n", problem.c_str());
        ShowMessage(problem);
        return;
    }
    ShowMessage("Saved in the library: " + path.substr(path.find_last_of('/') + 1));
}

void c_MyApp::PressLibrary(ButtonEvents&) { OpenLibrary(); }

void c_MyApp::FaceTick(bool hit, bool touching, unsigned keys) {
    // Keys wait while a finger or a key's gesture holds the pointer. A
    // button's key then acts on a tick of its own, one a tick: the recorder
    // stores one event a tick, in place of the sample of the touch that
    // starts with it, so that a playback does what was seen.
    pendingKeys |= keys;
    constexpr unsigned BUTTON_KEYS = (1u << SLOT_COUNT) - 1;
    keys = 0;
    unsigned waiting = pendingKeys & BUTTON_KEYS;
    if (waiting && !keyGesture.Running() && !touching && !hit) {
        keys = waiting & (~waiting + 1);
        pendingKeys &= ~keys;
    }
    // A gesture key makes its gesture's touches, tick by tick; until the
    // gesture's release it owns the pointer.
    if (!keys && !touching && !keyGesture.Running())
        for (int k = 0; k < GESTURE_KEY_COUNT; ++k) {
            if (!(pendingKeys & GestureKeyBit(k))) continue;
            pendingKeys &= ~GestureKeyBit(k);
            if (StartKeyGesture(k)) break;
        }
    if (keyGesture.Running()) {
        int t = keyGesture.tick++;
        pointer[0] = t == 0 ? keyGesture.x0 : keyGesture.x1;
        pointer[1] = t == 0 ? keyGesture.y0 : keyGesture.y1;
        hit = t == 0;
        touching = t < keyGesture.touchTicks;
        keys = 0;
    } else if (keys && !touching) {
        // A key is a click on its button: this tick touches the button's
        // centre, and the next, untouched, is the release.
        for (int slot = 0; slot < SLOT_COUNT; ++slot) {
            if (!(keys & (1u << slot))) continue;
            c_Bouton* b = ButtonInSlot(slot);
            pointer[0] = (b->x0 + b->x1) * 0.5f;
            pointer[1] = (b->y0 + b->y1) * 0.5f;
            break;
        }
        hit = touching = true;
    }
    ButtonEvents events;
    if (hit) events = PressButtons(hit, keys);
    if (!faceScreen || libraryShown) return;
    // Between repetitions the face holds still.
    bool between = repeatPhase == RepeatPhase::Hold || repeatPhase == RepeatPhase::Rest;
    bool wasPlaying = playButton->state == 1;
    input = between ? TickInput() : TakeInput(touching);
    // A played press acts where a live one did: before the tongue's state
    // is read and before the gestures.
    if (input.event) PlayEvent(input.event);
    face.tongueOut = face.tongueMode;
    if (recordButton->state == 1) RecordTick(events, touching);
    if (input.touching)
        GestureTick();
    else
        Release();
    if (playButton->state == 1 && AdvancePlayback() && recordIndex > RECORD_LAST) {
        recordIndex = 0;
        playButton->state = 0;
    }
    RepeatTick(wasPlaying);
    TapTick();
}
