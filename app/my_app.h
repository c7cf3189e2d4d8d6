// The face-exercise application: one screen at a time (title, face, library)
// chosen by one switch, the help as an overlay over any of them, and the
// message bar. The screens keep their own state and return requests; this
// class turns the devices into one input value a tick and acts on them.
#pragma once

#include <functional>
#include <vector>
#include <string>

#include "app/command_line.h"
#include "app/screens/face_screen.h"
#include "app/screens/keep_dialog.h"
#include "app/screens/library_screen.h"
#include "app/screens/screen.h"
#include "app/screens/title_screen.h"
#include "app/settings.h"
#include "app/ui/letterbox.h"
#include "canvas/canvas.h"
#include "framework/app.h"
#include "host/interface_sounds.h"
#include "runtime/gc_ref.h"

// AskKeep: "Keep this exercise?" over the face screen.
enum class ScreenKind { Title, Face, Library, AskKeep };

class c_MyApp : public c_App {
public:
    gc_ref<c_Canvas> canvas;
    ScreenKind screen = ScreenKind::Title;
    // The screens that exist: the title while it shows, the face screen
    // from the choice of a child until home (under the library too), the
    // library while it shows.
    gc_ref<c_TitleScreen> title;
    gc_ref<c_FaceScreen> face;
    gc_ref<c_LibraryScreen> library;
    // The library's pictures when it was opened from the title (no face
    // screen to lend them).
    gc_ref<c_FacePictures> libraryPictures;
    // The help over the screen; the touch that closed it, or that opened a
    // screen, is not the next screen's until it is lifted.
    bool helpShown = false;
    bool swallowTouch = false;
    // How often and how long an exercise repeats: chosen in the library or
    // with the arrows on the face screen.
    RepeatChoice choice;
    // The library's page when it last closed.
    int libraryPage = 0;
    KeepDialog keep;
    // A line shown at the bottom of the screen for a while (what was saved;
    // `messageTicks` counts down), or a problem in plain words with its
    // reason below, which stays until a click or a key dismisses it.
    std::string message;
    std::string messageReason;
    bool messageStays = false;
    int messageTicks = 0;

    // The pointer handed to the canvas each tick: kept, so that a tick
    // allocates nothing.
    gc_array<float> windowPointer, pointer;
    bool ctrlLastTick = false;
    // The clock at the last tick, and the ticks the clock is ahead of the
    // ticks run (less than one, or behind after the loop's own catch-up).
    int lastTickMs = -1;
    double ticksOwed = 0;
    // The finger at the last tick: where the ticks caught up put it.
    AppInput lastInput;
    // How the user has spoken to the program: the words on screen name the
    // keys where a keyboard was used, else the buttons to touch.
    bool keyboardUsed = false, touchUsed = false;
    // The settings the user keeps between sessions (sound on or off).
    Settings settings;
    // The interface's sounds, on the device (none without one). `cues`
    // gathers what a tick did that the user should hear, played together
    // at its end, and only with the sound on.
    gc_ref<KtInterfaceSounds> sounds;
    Cues cues = 0;
    // Where the cues go instead of the device, for a test that listens.
    std::function<void(InterfaceSound)> hear;

    c_MyApp();

    int OnSetup() override;
    int OnTick() override;
    int OnDraw() override;
    // The window's close: quits at once unless a recording would be lost,
    // which asks first.
    bool OnCloseRequest() override;

    // One tick from one input value: what OnTick builds from the devices,
    // or what a test feeds.
    void Step(AppInput in);
    // The face screen of a child, from the title or the library.
    void EnterFace(Child child);
    void GoHome();
    void OpenLibrary();
    void CloseLibrary();
    void OpenFromCommandLine(const std::string& path);
    void ShowMessage(const std::string& text);
    // A problem, until dismissed: what happened and what to do, and why.
    void ShowProblem(const std::string& plain, const std::string& reason);
    // The face screen's model, or null on another screen.
    c_FaceModel* Face() const { return face ? face->model.get() : nullptr; }
    bool NamesKeys() const { return keyboardUsed || !touchUsed; }
    // Sound on or off, and remembered.
    void ToggleSound();
    // The texts in the next language there is a catalogue for, and remembered.
    void NextLanguage();
    // The camera mirror's word on the child's face: 1 while the child holds
    // the cartoon's pose, 0 while not (a repetition's hold waits), -1 when
    // nothing is judged. A pose newly matched chimes, heard as every other
    // sound is: not at all with the sound off.
    void MirrorHolding(int holding);
    int mirrorHolding = -1;
    // The text fields the page's own text boxes should cover: the library
    // editor's, once a finger was seen (a phone's keyboard comes up only for
    // the page's boxes); none otherwise.
    std::vector<c_LibraryScreen::FieldView> PageTextFields() const;
    // What such a box now holds, for the next tick (AppInput's entry); a
    // later word replaces an earlier one, but an ending is kept.
    void TextEntered(int field, const std::string& text, int caretChars, AppInput::EntryEnd end);
    AppInput pageEntry;

    GC_FIELDS(c_App, canvas, title, face, library, libraryPictures, windowPointer, pointer, sounds)

private:
    void Handle(const Request& request);
    // Runs the face screen's ticks that the clock says were lost, the finger
    // moving from where it was to where it is now.
    void CatchUp(const AppInput& in);
    // Opens the dialog instead, and returns true, when the request would
    // leave a recording no file holds.
    bool AskFirst(const Request& request);
    void Answer(KeepAnswer answer);
    void Quit();
    void DrawMessage(Arrangement a) const;
    c_FacePictures* LoadPictures() const;
    void PlayCues();
};
