// The face screen: the child's face posed by dragging its parts, a bar of
// buttons (FACE_BUTTONS) each one key away, the keys that make a gesture,
// and the recorder and player of the face.
#pragma once

#include "app/exercise/player.h"
#include "app/face/face_model.h"
#include "app/screens/screen.h"
#include "app/ui/button.h"
#include "app/ui/text.h"
#include "runtime/gc_ref.h"

class c_Canvas;
class c_FaceScreen;

// The face-screen buttons in the order a tick tests them (the rows of
// FACE_BUTTONS), one bit per button in a tick's keys.
enum ButtonSlot {
    SLOT_TONGUE,
    SLOT_SYMMETRY,
    SLOT_RECORD,
    SLOT_PLAY,
    SLOT_MENU,
    SLOT_RESET,
    SLOT_RANDOM,
    SLOT_SAVE,
    SLOT_LIBRARY,
    SLOT_HOME,
    SLOT_HELP,
    SLOT_COUNT
};
constexpr int KEY_WITH_CTRL = 1 << 16;

// What a press did this tick: the face's own event (an ENTRY_* code, for the
// recorder), or a request for the application.
struct PressOutcome {
    int event = 0;
    Request request;
};

// One face-screen button: everything the bar, the keyboard and the help's
// key list know of it.
struct FaceButton {
    const char* picture;
    // The picture of the second look, or null.
    const char* picture2;
    // The button stands on its column's centre line, whatever its picture's
    // size; `top` is its upper edge. Upright, in rows under the face, its
    // centre is at (uprightX, uprightY).
    float centreX, top;
    float uprightX, uprightY;
    // Hidden from a child's fingers until the menu opens; its key acts anyway.
    bool withMenu;
    // A key number, with KEY_WITH_CTRL added for a key pressed with Ctrl.
    int key;
    // The key's name and what it does, in the help's words: English,
    // translated where the help shows them.
    const char* keyName;
    const char* does;
    void (c_FaceScreen::*press)(PressOutcome& out);
    // The state it shows with its second picture, or null for none.
    bool (c_FaceScreen::*shows)() const;
    // The state in which what it does cannot show, or null for none: it is
    // drawn faded then (it still acts, so that the state it keeps is the
    // same whether pressed by hand, by key or played back).
    bool (c_FaceScreen::*idle)() const;
};
extern const FaceButton FACE_BUTTONS[SLOT_COUNT];

struct GestureKeyRow {
    int key;
    const char* keyName;
    const char* does;
};
extern const GestureKeyRow GESTURE_KEYS[GESTURE_KEY_COUNT];
// Gesture keys' bits follow the buttons' in a screen's pending keys.
constexpr unsigned GestureKeyBit(int gestureKey) { return 1u << (SLOT_COUNT + gestureKey); }

// The half-pace control beside the play button, shown while a recording plays.
extern const ControlBox PACE_BOXES[2];

// Upright, the face stands at the top of the screen, as wide as it allows,
// the buttons in rows under it, each drawn this many times its picture's
// size (96 units: 47 pixels of a phone 390 pixels wide).
constexpr float UPRIGHT_BUTTON_SCALE = 1.2f;
struct FaceShift {
    float x, y;
};
// Where the face's own space (the landscape screen, in which the face and
// its recordings are) lies on the screen of an arrangement.
FaceShift FaceShiftFor(Arrangement a);

// An exercise opened from a file or a link is homework: its title and note
// show before it starts, and its end offers to play it again or to keep it.
enum class Homework { NONE, INTRO, PLAYING, ENDED };
enum HomeworkControl { HOMEWORK_START, HOMEWORK_AGAIN, HOMEWORK_KEEP, HOMEWORK_CONTROLS };
// Where the homework's panel, its words and its buttons stand in an
// arrangement: over the hair, and upright readable and a finger wide.
struct HomeworkLayout {
    float x, w, top, titleHeight, textHeight, controlTextHeight;
    ControlBox boxes[HOMEWORK_CONTROLS];
};
const HomeworkLayout& HomeworkLayoutFor(Arrangement a);

class c_FaceScreen : public Object {
public:
    gc_ref<c_FacePictures> pictures;
    gc_ref<c_FaceModel> model;
    gc_array<c_Bouton*> buttons;
    Player player;
    // The menu shows the adult's buttons.
    bool menuOpen = false;
    // Keys pressed while a finger or a key's gesture held the pointer (bits
    // as in FACE_BUTTONS and GestureKeyBit): they act when it is free, a
    // button's one a tick.
    unsigned pendingKeys = 0;
    KeyGesture keyGesture;
    // A prescription played for practice (from the library, a file or a
    // link) and the name of its file: while `practising`, its run has no
    // row in the practice log yet.
    Exercise prescription;
    std::string prescriptionFile;
    bool practising = false;
    Homework homework = Homework::NONE;

    // The face of `child` drawn with `shared` pictures; `seed` starts the
    // random faces.
    c_FaceScreen* Init(c_FacePictures* shared, Child child, int seed);
    // One tick of the screen; the repeat choice is the application's, shared
    // with the library.
    Request Tick(const AppInput& in, RepeatChoice& choice);
    void Draw(c_Canvas* canvas, Arrangement a) const;
    // Another screen or an overlay takes over: keys waiting for this one, and
    // a key's gesture under way, are dropped.
    void Leave();
    // Plays an exercise from its start, `times` times with holds.
    void Play(const Exercise& exercise, int times, RepeatChoice& choice);
    // Plays an exercise with its own prescription for practice; homework
    // first shows its title and note and waits for Start.
    void PlayPrescription(const Exercise& exercise, const std::string& file, bool asHomework, RepeatChoice& choice);
    // Ends a practice run under way: its row in the log (a problem
    // writing it is the request's message).
    Request FinishPractice();
    // Saves the recording in the library under its default title; what
    // happened is the request's message. Nothing is written when the
    // library holds the same recording already.
    Request SaveRecording();
    // Arms the recorder, over whatever recording there is.
    void StartRecording() { player.PressRecord(*model); }

    c_Bouton* Button(int slot) const { return buttons[slot]; }
    // Where a button stands in an arrangement.
    ControlBox ButtonBox(int slot, Arrangement a) const;
    bool Visible(int slot) const { return !FACE_BUTTONS[slot].withMenu || menuOpen; }
    // The picture a button shows: 1 or 0.
    int ShownState(int slot) const;
    bool PaceControlHit(float x, float y, Arrangement a) const;

    // What each face-screen button does, and what it shows.
    void PressTongue(PressOutcome& out);
    void PressSymmetry(PressOutcome& out);
    void PressRecord(PressOutcome& out);
    void PressPlay(PressOutcome& out);
    void PressMenu(PressOutcome& out);
    void PressReset(PressOutcome& out);
    void PressRandom(PressOutcome& out);
    void PressSave(PressOutcome& out);
    void PressLibrary(PressOutcome& out);
    void PressHome(PressOutcome& out);
    void PressHelp(PressOutcome& out);
    bool ShowsTongue() const { return model->face.tongueMode; }
    bool ShowsPaired() const { return model->face.paired; }
    bool ShowsRecording() const { return player.recordingOn; }
    bool ShowsPlaying() const { return player.playing; }
    bool ShowsMenu() const { return menuOpen; }
    // The teeth, closed or round, hide the tongue whatever it does.
    // The teeth and the pressed lips hide the tongue; the open jaw shows it.
    bool TongueHidden() const { return model->face.jaw < 0 || (model->face.jaw == 0 && model->face.teethMode); }
    bool Idle(int slot) const;

    GC_FIELDS(Object, pictures, model, buttons)

private:
    void DrawTimeLeft(c_Canvas* canvas, Arrangement a) const;
    void DrawPaceControl(c_Canvas* canvas, Arrangement a) const;
    void DrawRepeatStatus(c_Canvas* canvas, Arrangement a) const;
    void DrawHomework(c_Canvas* canvas, Arrangement a) const;
    void StartPrescription(RepeatChoice& choice);
    Request KeepHomework();
};

// The picture names of the buttons, two a slot, as c_FacePictures cuts them.
std::vector<const char*> FaceButtonPictures();
