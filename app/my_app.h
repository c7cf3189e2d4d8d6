// The face-exercise application: the title screen where a girl or a boy is
// chosen, and the face screen where the child's face is posed by dragging its
// parts, with a bar of buttons (FACE_BUTTONS), keys and a recorder.
//
// Everything works in a virtual screen of 1280 x 800 units, origin top-left,
// y downwards, letterboxed into the window. The application's concerns live
// in one file each: atlases (atlas.cpp), buttons and screens (my_app.cpp,
// button.cpp), face parts and gestures (face_part.cpp, gestures.cpp), the
// recorder (recorder.cpp), the scene (scene.cpp), the help (help.cpp) and
// the command line (command_line.cpp).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/button.h"
#include "app/exercise.h"
#include "app/exercise_library.h"
#include "app/face_part.h"
#include "framework/app.h"
#include "canvas/canvas.h"
#include "canvas/image.h"
#include "runtime/gc_ref.h"


// The virtual screen every coordinate of the application is in.
constexpr float VIRTUAL_WIDTH = 1280;
constexpr float VIRTUAL_HEIGHT = 800;

// The half-pace control beside the play button, shown while a recording plays.
constexpr float PACE_X = 1090, PACE_Y = 435, PACE_WIDTH = 90, PACE_HEIGHT = 50;

// The recording is an exercise (ExerciseEntry, ENTRY_*): the last index a
// recording writes.
constexpr int RECORD_LAST = EXERCISE_MAX_ENTRIES - 1;

// Repeating an exercise: how many times, and how long the face holds its end
// pose (then rests at its start) between two repetitions.
constexpr int REPEAT_MIN = 1, REPEAT_MAX = 10;
constexpr int HOLD_MAX_SECONDS = 10, HOLD_DEFAULT_SECONDS = 5;

// The grab zones of the gesture logic. One flag each; several can be set by
// one grab test. The smiling mouth, the lips and the teeth share the centre.
enum GrabZone {
    GRAB_TONGUE,
    GRAB_MOUTH_RIGHT,
    GRAB_MOUTH_LEFT,
    GRAB_MOUTH_CENTRE,
    GRAB_LIPS_RIGHT,
    GRAB_LIPS_LEFT,
    GRAB_TEETH_RIGHT,
    GRAB_TEETH_LEFT,
    GRAB_CHEEK_RIGHT,
    GRAB_CHEEK_LEFT,
    GRAB_BETWEEN_CHEEKS,
    GRAB_BROW_RIGHT_OUTER,
    GRAB_BROW_RIGHT_INNER,
    GRAB_BROW_LEFT_OUTER,
    GRAB_BROW_LEFT_INNER,
    GRAB_BROW_RIGHT_MIDDLE,
    GRAB_BROW_LEFT_MIDDLE,
    GRAB_EYE_RIGHT,
    GRAB_EYE_LEFT,
    GRAB_ZONES
};

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

// The button events of one tick, handed to the recorder.
struct ButtonEvents {
    bool tongue = false;
    bool random = false;
    bool reset = false;
    bool symmetry = false;
};

// The keys that act as a gesture of the face would: the mouth's three
// renderings and the tongue's depth. Their bits follow the buttons' in a
// tick's keys.
enum GestureKey { GKEY_SMILE, GKEY_LIPS, GKEY_TEETH, GKEY_DEPTH, GESTURE_KEY_COUNT };
struct GestureKeyRow {
    int key;
    const char* keyName;
    const char* does;
};
extern const GestureKeyRow GESTURE_KEYS[GESTURE_KEY_COUNT];
constexpr unsigned GestureKeyBit(int gestureKey) { return 1u << (SLOT_COUNT + gestureKey); }

// The touches a gesture key makes: a press at (x0, y0), then the finger at
// (x1, y1) until it is lifted after `touchTicks` ticks; `tick` counts them
// and lies beyond touchTicks when no key gesture runs.
struct KeyGesture {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int touchTicks = 0;
    int tick = 1;
    bool Running() const { return tick <= touchTicks; }
};

class c_MyApp;
struct FaceState;

// One face-screen button: everything the bar, the keyboard and the help's
// key list know of it.
struct FaceButton {
    gc_ref<c_Bouton> c_MyApp::*button;
    const char* picture;
    // The picture of state 1, or null.
    const char* picture2;
    // The button stands on its column's centre line, whatever its picture's
    // size; `top` is its upper edge.
    float centreX, top;
    // Hidden from a child's fingers until the menu opens; its key acts anyway.
    bool withMenu;
    // A key number, with KEY_WITH_CTRL added for a key pressed with Ctrl.
    int key;
    const char* keyName;
    // What it does, in the help's words.
    const char* does;
    void (c_MyApp::*press)(ButtonEvents& events);
    // The face's state the button shows as its state 1, or null for a
    // button that keeps its own.
    bool FaceState::*shows;
};
extern const FaceButton FACE_BUTTONS[SLOT_COUNT];
constexpr int KEY_WITH_CTRL = 1 << 16;

// The pages of the library screen: cells of a small picture of the end face
// with its date and child.
constexpr int LIBRARY_COLUMNS = 4, LIBRARY_ROWS = 2, LIBRARY_PAGE = LIBRARY_COLUMNS * LIBRARY_ROWS;


// The thirteen parts, in the order of FaceState's parts and of Parts().
enum PartIndex {
    PART_EYE_RIGHT,
    PART_EYE_LEFT,
    PART_BROW_RIGHT,
    PART_BROW_LEFT,
    PART_CHEEK_RIGHT,
    PART_CHEEK_LEFT,
    PART_MOUTH_RIGHT,
    PART_MOUTH_LEFT,
    PART_LIPS_RIGHT,
    PART_LIPS_LEFT,
    PART_TEETH_RIGHT,
    PART_TEETH_LEFT,
    PART_TONGUE,
    FACE_PARTS
};

// The face on the face screen as one plain value: every part's values, the
// mouth's modes, the tongue's, and the gesture under way. The parts' objects
// (c_Partie) hold only their pictures and name their values here; a copy of
// this is a snapshot of the whole face.
struct FaceState {
    PartState parts[FACE_PARTS];
    // What the tongue and symmetry buttons show: tongue mode, and the two
    // sides moving together.
    bool tongueMode = false;
    bool paired = true;
    bool tongueUnmirrored = false;
    bool tongueOut = false;  // tongue mode, as read each tick
    bool lipsMode = false, teethMode = false, pursedMouth = false, roundMouth = false;
    int tongueShift = 0;
    int tongueDepth = 2;
    bool grabbing = false;
    bool grab[GRAB_ZONES] = {};
    int holdTicks = 0;
    int anchorX = 0, anchorY = 0;
    bool tapped = false;
};

// A saved exercise as the library shows it, worked out once per file.
struct LibraryCell {
    // "" when the file reads; else why not, shown in place of the face.
    std::string problem;
    Exercise exercise;
    // The face when the exercise has played to its end: as a file holds
    // it, and whole, as its picture draws it.
    FaceSnapshot endFace;
    FaceState endState;
};

// Everything a tick of the face screen can change, as plain values (the face
// is one already): what the library keeps while it plays exercises out of
// sight to draw their end faces, and puts back when it closes.
struct FaceScreenState {
    FaceState face;
    Exercise recording;
    FaceSnapshot armedFace;
    int armedRandomState = 0, randomState = 0;
    int buttonState[16] = {};
    bool buttonActive[16] = {};
    int recordIndex = 0;
    bool halfPace = false, paceHeld = false;
    Child child = Child::Girl;
};

// One tick of input to the gestures: the live finger and pointer, or the
// entry of a recording that plays. The gestures read only this.
struct TickInput {
    bool touching = false;
    int x = 0, y = 0;  // virtual units, truncated
    // A button press played back (ENTRY_TONGUE and the others), else 0.
    int event = 0;
    // The second tick of an entry at half pace: no second press, and the
    // touch does not last a tick longer.
    bool repeat = false;
};

// Where a repetition stands: playing, holding the end pose, resting at the
// start face.
enum class RepeatPhase { Off, Playing, Hold, Rest };

// The runtime's random generator: a 32-bit linear congruential state.
extern int randomState;
// A draw in [0, 1) times n.
float Rand(float n);

class c_MyApp : public c_App {
public:
    // The face, its modes and the gesture under way.
    FaceState face;
    gc_ref<c_Canvas> canvas;
    gc_ref<c_Bouton> girlButton, boyButton;
    gc_ref<c_Image2> titleImage;
    bool faceScreen = false;
    gc_ref<c_Image2> faceImage;
    gc_ref<c_Partie> eyeRight;
    float faceX = 0, faceY = 0;
    gc_ref<c_Partie> eyeLeft;
    gc_ref<c_Partie> tongue;
    gc_ref<c_Partie> cheekRight, cheekLeft;
    gc_ref<c_Partie> mouthRight, mouthLeft;
    gc_ref<c_Image2> pinkSquare;
    gc_ref<c_Partie> lipsRight, lipsLeft;
    gc_ref<c_Image2> faceMark1, faceMark2;
    gc_ref<c_Partie> teethRight, teethLeft;
    gc_ref<c_Partie> browRight, browLeft;
    gc_ref<c_Bouton> resetButton, tongueButton, symmetryButton, menuButton, playButton, recordButton, randomButton;
    gc_ref<c_Bouton> homeButton, helpButton;
    gc_ref<c_Image2> recordImage;
    gc_array<float> pointer;
    int recordIndex = 0;
    // The last recording, one value: the child, the face and the random
    // generator's state when it began, and its entries, one a tick (an
    // index past them reads as never written). Its pace is the one set when
    // it was saved or opened; `halfPace` is the player's.
    Exercise recording;
    // The face and the generator when record was pressed: they become the
    // recording's at its first entry, so that arming and then playing or
    // saving without a touch keeps the last recording whole.
    FaceSnapshot armedFace;
    int armedRandomState = 0;
    // This tick's input (TakeInput).
    TickInput input;
    // The window position handed to the canvas each tick: kept, so that a
    // tick allocates nothing.
    gc_array<float> windowPointer;
    // Playback at half pace feeds every entry on two ticks; `paceHeld` while
    // the current entry has been fed once.
    bool halfPace = false;
    bool paceHeld = false;
    // The list of keys over a dimmed screen; the touch that closed it is
    // not a gesture.
    bool helpShown = false;
    bool swallowTouch = false;
    KeyGesture keyGesture;
    // Keys pressed while a finger or a key's gesture held the pointer (bits
    // as in a tick's keys): they act when it is free, a button's one a tick.
    unsigned pendingKeys = 0;

    // The child whose face shows, and each child's own pictures (the face
    // and three eyes; the rest is shared), cut when first needed.
    Child child = Child::Girl;
    gc_array<c_Image2*> childPictures;
    gc_ref<c_Bouton> saveButton, libraryButton;
    // Ctrl was down or pressed during the last tick.
    bool ctrlLastTick = false;

    // A line shown at the bottom of the screen for a while: what was saved,
    // or what could not be read. `messageTicks` counts down.
    std::string message;
    int messageTicks = 0;

    // The library screen, over the title or the face screen.
    bool libraryShown = false;
    bool libraryFromTitle = false;
    std::vector<LibraryEntry> libraryEntries;
    int libraryPage = 0;
    // The cell whose deletion waits for a yes, or -1.
    int confirmDelete = -1;
    std::map<std::string, LibraryCell> libraryCells;

    // Repeat with holds, chosen before playing.
    int repetitions = REPEAT_MIN;
    int holdSeconds = HOLD_DEFAULT_SECONDS;
    RepeatPhase repeatPhase = RepeatPhase::Off;
    int repetition = 0;     // the one playing, from 1
    int phaseTicks = 0;     // ticks left in a hold or a rest

    c_MyApp();

    int OnSetup() override;
    int OnTick() override;
    int OnDraw() override;

    GC_FIELDS(c_App, canvas, girlButton, boyButton, titleImage, faceImage, eyeRight, eyeLeft, tongue, cheekRight,
              cheekLeft, mouthRight, mouthLeft, pinkSquare, lipsRight, lipsLeft, faceMark1, faceMark2, teethRight,
              teethLeft, browRight, browLeft, resetButton, tongueButton, symmetryButton, menuButton, playButton,
              recordButton, randomButton, homeButton, helpButton, recordImage, pointer, windowPointer, childPictures, saveButton,
              libraryButton)

    // Screens (my_app.cpp). The face-screen update of one tick, from the
    // pointer already in `pointer` and the touch state of finger 0: `hit`
    // when it was pressed since the last tick, `touching` while it is down.
    void TitleTick(bool hit);
    // `keys`: the buttons whose keys were pressed since the last tick, one
    // bit per ButtonSlot; each acts as a click on its button would.
    void FaceTick(bool hit, bool touching, unsigned keys = 0);
    // Loads the atlases of the chosen child, cuts every sprite, makes the
    // buttons and places the face: the step from the title to the face.
    void EnterFaceScreen(bool girl);
    // The title screen as at start-up: its pictures cut from their atlas.
    void EnterTitleScreen();
    // Back to the title: every face-screen picture gives its texture back,
    // the face objects are let go and the recording is forgotten.
    void LeaveFaceScreen();
    ButtonEvents PressButtons(bool touchHit, unsigned keys);
    c_Bouton* ButtonInSlot(int slot) const { return this->*FACE_BUTTONS[slot].button; }
    // The picture a button shows: 1 or 0.
    int ShownState(int slot) const;
    // What each face-screen button does (the rows of FACE_BUTTONS).
    void PressTongue(ButtonEvents& events);
    void PressSymmetry(ButtonEvents& events);
    void PressRecord(ButtonEvents& events);
    void PressPlay(ButtonEvents& events);
    void PressMenu(ButtonEvents& events);
    void PressReset(ButtonEvents& events);
    void PressRandom(ButtonEvents& events);
    void PressHome(ButtonEvents& events);
    void PressSave(ButtonEvents& events);
    void PressLibrary(ButtonEvents& events);
    void PressHelp(ButtonEvents& events);
    // Where the half-pace control stands while a recording plays.
    bool PaceControlHit(float x, float y) const;

    // Face parts and gestures (gestures.cpp).
    // The drag rules, one per grabbed zone (the rows of DRAG_RULES): `part`
    // and `other` the part dragged and its partner, `side` +1 for a right
    // part and -1 for a left one (for a brow end, the angle's step when it
    // goes up), `mode` the mouth rendering of a corner.
    struct Movement {
        int cx, cy, dx, dy;
    };
    void DragEye(c_Partie* eye, c_Partie* other, int side, int mode, const Movement& m);
    void DragCorner(c_Partie* half, c_Partie* other, int side, int mode, const Movement& m);
    void DragMouthCentre(c_Partie*, c_Partie*, int, int, const Movement& m);
    void DragBrowEnd(c_Partie* brow, c_Partie* other, int upStep, int mode, const Movement& m);
    void DragBrowMiddle(c_Partie* brow, c_Partie* other, int side, int mode, const Movement& m);
    void DragTongue(c_Partie*, c_Partie*, int, int, const Movement& m);
    void StartPlacement();
    void ResetFace();
    void RandomFace();
    void GestureTick();
    // The gesture's anchor moves to this tick's point, so that the next step
    // needs a new movement of the same size.
    void AnchorHere();
    // The grab zones a touch at (ax, ay) would take now, one bit per
    // GrabZone, as the grab test finds them.
    unsigned ZonesAt(float ax, float ay) const;
    // Whether a tap at (ax, ay) lands on the tongue.
    bool OnTongueTap(float ax, float ay) const;
    // A part by its name in the zone and drag tables (gestures.cpp).
    c_Partie* PartNamed(int name) const;
    // The zone whose drag rule runs when a grab takes `zones`, or -1.
    static int DragRuleFor(unsigned zones);
    // Sets keyGesture to the touches of the gesture a key stands for, as
    // the face is now; false when that gesture would do nothing (the mouth
    // already so, no tongue between the lips, or no place to take hold).
    bool StartKeyGesture(int gestureKey);
    void Release();
    void TapTick();
    void PlaceAll();
    void PlaceMouthHalves();
    void PlaceTongue();
    bool Paired() const;

    // The thirteen parts, right before left.
    std::vector<c_Partie*> Parts() const;
    // The child's own pictures into the face: its face and eyes.
    void ShowChild(Child which);
    void ShowMessage(const std::string& text);

    // Recording and playback (recorder.cpp).
    void SaveSnapshot();
    void RestoreSnapshot();
    // Puts a face in place and its parts' zones with it.
    void ApplyFace(const FaceSnapshot& face);
    FaceScreenState SaveFaceScreen() const;
    void RestoreFaceScreen(const FaceScreenState& state);
    // The recording's entry i, or (0, 0) past its end.
    ExerciseEntry RecordedEntry(int i) const;
    // The face as a snapshot holds it.
    FaceSnapshot CurrentFace() const;
    // The last recording as an exercise; false when there is none.
    bool RecordingAsExercise(Exercise* exercise);
    // Makes the exercise the recording and plays it from its start face,
    // `times` times with holds between.
    void PlayExercise(const Exercise& exercise, int times);
    // Plays the recording from its start face (a repetition's start).
    void StartPlayback();
    // Stops any playback and its repetitions.
    void StopRepeating();
    // After the recorder: a playback that just ended holds, rests, plays again.
    void RepeatTick(bool wasPlaying);
    // Plays the exercise to its end on this face without showing it, and
    // leaves everything as it was: the end face for a picture.
    void EndFaceOf(const Exercise& exercise, LibraryCell* cell);

    // The library screen (library.cpp).
    void OpenLibrary();
    // The title's way to the library: a labelled box drawn by the canvas,
    // so that the title needs no picture of the face screen's atlas.
    static bool TitleLibraryHit(float x, float y);
    void DrawTitleLibrary();
    void CloseLibrary();
    void LibraryTick(bool hit);
    void DrawLibrary();
    // The cell of the library's page under a point, or -1.
    int LibraryCellAt(float x, float y) const;
    // Reads and plays out of sight the exercises of the page on screen that
    // have no picture yet.
    void PrepareLibraryPage();
    void OpenLibraryEntry(int index);
    void DeleteLibraryEntry(int index);
    void DrawControl(int id);
    void DrawLabel(const std::string& text, float x, float y, float height, bool centred);
    FaceScreenState libraryKept;
    void OpenFromCommandLine(const std::string& path);
    void DrawRepeatStatus();
    // Up and down choose the repetitions, left and right the hold.
    void RepeatKeys();
    void DrawMessage();
    void RecordEvent(int code);
    // This tick's input for the gestures, live or played: the one place
    // that decides which. It ends a playback at its end mark.
    TickInput TakeInput(bool touching);
    // A button press played back from a recording.
    void PlayEvent(int code);
    // Writes the tick into a running recording: a sample with this tick's
    // button event in place of its x, or an idle entry.
    void RecordTick(const ButtonEvents& events, bool touching);
    // The share of a recording's ten seconds still free, 1 when it is
    // armed, falling to 0 as its entries fill; 0 when no recording runs.
    float RecordTimeLeft() const;
    // Moves playback past the entry just fed, unless half pace holds it for
    // a second tick; true when it moved.
    bool AdvancePlayback();

    // The scene (scene.cpp).
    void DrawFace();
    // The face and its parts alone, as a picture of the library draws it too.
    void DrawFaceParts();
    // Where DrawFaceParts draws: a scale and a shift of the virtual screen.
    float faceScale = 1, faceShiftX = 0, faceShiftY = 0;
    void DrawMouth();
    void DrawLips();
    void DrawTitleHint();
    void DrawPaceControl();
    void DrawTimeLeft();
    void DrawHelp();
    void DrawHelpFace();
    // An arrow from (x0, y0) to (x1, y1), headed at both ends if `both`, its
    // strokes `unit` times their usual thickness.
    void DrawArrow(float x0, float y0, float x1, float y1, bool both, float unit);
    // The scale that draws the canvas font's glyphs `height` units high.
    float TextScale(float height) const;

private:
    // gestures.cpp
    void GrabTest(float ax, float ay);
    void DragCheeks(int cx);
    void DragOne(int cx, int cy, int dx, int dy);
    void SetCheek(c_Partie* cheek, c_Partie* other, int variant);
    void StepTongue(int direction);
    void PlaceTongueAfterShift();
    void HoldTongueInsideMouth();
    void PlacePair(c_Partie* right, c_Partie* left);
    void RefreshCheekRanges(c_Partie* right, c_Partie* left);
    void ChangeMode(int mode);
    c_Partie* ShiftHalf(int shift) const;
    bool CheeksAtRest() const;
    int MouthPictureIndex(bool right) const;
};
