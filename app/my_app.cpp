// The application object: the devices read into one input value a tick, the
// screens switched on the requests their ticks return, and the frame.
#include "app/my_app.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "app/language/language.h"
#include "app/screens/help.h"
#include "app/ui/letterbox.h"
#include "app/ui/text.h"
#include "canvas/canvas.h"
#include "framework/input_device.h"
#include "host/game.h"

namespace {

// 1 s: a longer gap between two ticks is a pause (the program suspended, the
// machine stalled), not a slow device, and nothing is caught up across it.
constexpr double MAX_CATCH_UP_TICKS = TICKS_PER_SECOND;

// How long a message stays at the bottom of the screen: 5 seconds.
constexpr int MESSAGE_TICKS = 5 * TICKS_PER_SECOND;
constexpr float MESSAGE_TEXT_HEIGHT = 28, REASON_TEXT_HEIGHT = 20, MESSAGE_MARGIN = 40;
const char* const kDismiss = N_("Click or press a key to close this message.");

// A float that may lie beyond the int range, truncated and wrapped into it.
int TruncateToInt(float value) {
    double v = std::trunc(static_cast<double>(value));
    if (!(v > -9.2e18 && v < 9.2e18)) return 0;
    return static_cast<int>(static_cast<uint32_t>(static_cast<int64_t>(v)));
}

// The random faces differ from one session to the next.
int RandomSeed() {
    Array<int> date = CurrentDate();
    float seed = ((inputDevice->PointerY() + inputDevice->PointerX()) + static_cast<float>(ElapsedMilliseconds())) +
                 static_cast<float>(date[5]);
    return TruncateToInt(seed);
}

// A typed character, as UTF-8; control characters are keys, not text.
void AppendUtf8(int c, std::string* text) {
    if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return;
    if (c < 0x80) {
        *text += static_cast<char>(c);
    } else if (c < 0x800) {
        *text += static_cast<char>(0xC0 | (c >> 6));
        *text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *text += static_cast<char>(0xE0 | (c >> 12));
        *text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *text += static_cast<char>(0xF0 | (c >> 18));
        *text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// What of a face's player the user hears change from one tick to the next.
struct Heard {
    bool recording = false;
    RepeatPhase phase = RepeatPhase::Off;
    int holdSeconds = 0;
};

Heard HeardOf(const Player& p) {
    return {p.recordingOn, p.repeatPhase, p.repeatPhase == RepeatPhase::Hold ? p.CountdownSeconds() : 0};
}

// Recording starts and stops; each second of a hold's countdown ticks
// (a countdown waiting for the pose stays quiet); a set played to its end
// chimes, one stopped before does not.
Cues CuesBetween(const Heard& before, const Player& after) {
    Heard now = HeardOf(after);
    Cues cues = 0;
    if (now.recording != before.recording) cues |= SoundBit(now.recording ? SOUND_RECORD_START : SOUND_RECORD_STOP);
    if (now.holdSeconds > 0 && now.holdSeconds != before.holdSeconds) cues |= SoundBit(SOUND_TICK);
    if (before.phase != RepeatPhase::Off && now.phase == RepeatPhase::Off && after.repetitionsDone > 0 &&
        after.repetitionsDone >= after.choice.repetitions)
        cues |= SoundBit(SOUND_CHIME);
    return cues;
}

}  // namespace

c_MyApp::c_MyApp() {
    pointer = Array<float>(2);
    windowPointer = Array<float>(2);
}

int c_MyApp::OnSetup() {
    SetTickRate(TICKS_PER_SECOND);
    CommandLine line = ParseCommandLine(processArgumentCount, processArguments);
    if (line.fullscreen) theHost->SetFullscreen(true);
    // A phone names its buttons from the first frame, not after a touch.
    touchUsed = theHost->TouchFirst();
    canvas = (new c_Canvas())->Init();
    canvas->SetOrthoProjection(0, VIRTUAL_WIDTH, 0, VIRTUAL_HEIGHT, -1, 1);
    title = (new c_TitleScreen())->Init();
    // A settings file that cannot be read is no reason not to start.
    std::string problem = LoadSettings(&settings);
    if (!problem.empty()) std::fprintf(stderr, "grimalou: %s\n", problem.c_str());
    // Nor is a catalogue that cannot be read: the texts are then English.
    problem = StartLanguage(settings.language);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s\n", problem.c_str());
        ShowProblem(_("The translation could not be read; the texts are in English."), problem);
    }
    if (audioDevice) sounds = new KtInterfaceSounds(audioDevice);
    if (!line.file.empty()) OpenFromCommandLine(line.file);
    return 0;
}

int c_MyApp::OnTick() {
    AppInput in;
    // The other fingers first: `pointer` ends holding finger 0's place.
    for (int f = 0; f < MORE_FINGERS; ++f) {
        if (!inputDevice->IsKeyDown(KEY_TOUCH_FIRST + 1 + f)) continue;
        windowPointer[0] = inputDevice->touchX[1 + f];
        windowPointer[1] = inputDevice->touchY[1 + f];
        canvas->UnprojectPoint(windowPointer, pointer);
        in.more[f] = {true, pointer[0], pointer[1]};
    }
    windowPointer[0] = inputDevice->PointerX();
    windowPointer[1] = inputDevice->PointerY();
    canvas->UnprojectPoint(windowPointer, pointer);
    // The clock's ticks since the last tick, less the one this tick runs;
    // the loop's own catch-up updates come with no time between them and
    // pay back what was counted.
    int now = ElapsedMilliseconds();
    if (lastTickMs >= 0) {
        ticksOwed += static_cast<double>(now - lastTickMs) * TICKS_PER_SECOND / 1000.0 - 1;
        if (ticksOwed > MAX_CATCH_UP_TICKS || ticksOwed < -MAX_CATCH_UP_TICKS) ticksOwed = 0;
        if (ticksOwed >= 1) {
            in.lostTicks = static_cast<int>(ticksOwed);
            ticksOwed -= in.lostTicks;
        }
    }
    lastTickMs = now;
    in.arrangement = ArrangementFor(WindowWidth(), WindowHeight());
    in.byTouch = inputDevice->touchScreen;
    in.x = pointer[0];
    in.y = pointer[1];
    in.hit = inputDevice->KeyHitCount(KEY_TOUCH_FIRST) != 0;
    in.touching = inputDevice->IsKeyDown(KEY_TOUCH_FIRST);
    for (int i = 0; i < inputDevice->hitCount; ++i) {
        int key = inputDevice->hitQueue[i];
        if (key >= KEYBOARD_FIRST && key <= KEYBOARD_LAST) in.keys.set(static_cast<size_t>(key));
    }
    bool ctrlNow = inputDevice->IsKeyDown(KEY_CTRL) || inputDevice->KeyHitCount(KEY_CTRL) != 0;
    in.ctrl = ctrlNow || ctrlLastTick;
    ctrlLastTick = ctrlNow;
    for (int c = inputDevice->GetChar(); c != 0; c = inputDevice->GetChar()) {
        in.question |= c == '?';
        AppendUtf8(c, &in.typed);
    }
    in.entryField = pageEntry.entryField;
    in.entryText.swap(pageEntry.entryText);
    in.entryCaret = pageEntry.entryCaret;
    in.entryEnd = pageEntry.entryEnd;
    pageEntry = AppInput();
    Step(in);
    return 0;
}

void c_MyApp::Step(AppInput in) {
    if (in.AnyKey()) keyboardUsed = true;
    if (in.byTouch) touchUsed = true;
    // A problem stays until a click or a key, which then does nothing else.
    if (messageStays && (in.AnyKey() || in.hit)) {
        message.clear();
        messageStays = false;
        swallowTouch = in.hit;
        in.Clear();
    }
    // While a text is typed, "?" is a character like any other.
    bool typing = screen == ScreenKind::Library && library->Typing();
    // The help closes on any key or click, which then does nothing else.
    if (helpShown) {
        if (in.AnyKey() || in.hit) {
            helpShown = false;
            swallowTouch = in.hit;
        }
        in.Clear();
    } else if (in.Key(KEY_F1) || (in.question && !typing)) {
        helpShown = true;
        if (face) face->Leave();
        in.Clear();
    }
    if (in.Key(KEY_SOUND) && !typing) {
        in.keys.reset(KEY_SOUND);
        ToggleSound();
    }
    if (swallowTouch) {
        if (!in.touching) swallowTouch = false;
        in.hit = in.touching = false;
    }
    if (!messageStays && messageTicks > 0 && --messageTicks == 0) message.clear();

    ScreenKind before = screen;
    const c_FaceScreen* heardFace = face;
    Heard heard = face ? HeardOf(face->player) : Heard();
    CatchUp(in);
    switch (screen) {
        case ScreenKind::Title: Handle(title->Tick(in, NamesKeys())); break;
        case ScreenKind::Face: Handle(face->Tick(in, choice)); break;
        case ScreenKind::Library: Handle(library->Tick(in, choice)); break;
        case ScreenKind::AskKeep: Answer(keep.Tick(in)); break;
    }
    // The finger that changed the screen is not the new screen's: a drag
    // that goes on would pose the face it did not aim at.
    if (screen != before && in.touching) swallowTouch = true;
    if (face && face.get() == heardFace) cues |= CuesBetween(heard, face->player);
    PlayCues();
}

void c_MyApp::PlayCues() {
    Cues heardNow = settings.soundOn ? cues : 0;
    cues = 0;
    for (int s = 0; s < SOUND_COUNT; ++s) {
        InterfaceSound sound = static_cast<InterfaceSound>(s);
        if (!(heardNow & SoundBit(sound))) continue;
        if (hear)
            hear(sound);
        else if (sounds)
            sounds->Play(sound);
    }
}

void c_MyApp::MirrorHolding(int holding) {
    if (face) {
        face->player.poseHeld = holding != 0;
        face->player.poseJudged = holding >= 0;
    }
    if (holding == 1 && mirrorHolding != 1) cues |= SoundBit(SOUND_CHIME);
    mirrorHolding = holding;
}

std::vector<c_LibraryScreen::FieldView> c_MyApp::PageTextFields() const {
    if (screen != ScreenKind::Library || !touchUsed) return {};
    return library->TextFields(ArrangementFor(WindowWidth(), WindowHeight()));
}

void c_MyApp::TextEntered(int field, const std::string& text, int caretChars, AppInput::EntryEnd end) {
    if (pageEntry.entryField != field) pageEntry.entryEnd = AppInput::ENTRY_TYPING;
    pageEntry.entryField = field;
    pageEntry.entryText = text;
    pageEntry.entryCaret = caretChars;
    pageEntry.entryEnd = std::max(pageEntry.entryEnd, end);
}

void c_MyApp::ToggleSound() {
    settings.soundOn = !settings.soundOn;
    std::string problem = SaveSettings(settings);
    if (!problem.empty()) std::fprintf(stderr, "grimalou: the sound setting could not be kept: %s\n", problem.c_str());
    const char* state = settings.soundOn ? _("Sound on.") : _("Sound off.");
    ShowMessage(problem.empty() ? state
                                : Printed(_("%s It will not be remembered: the settings could not be written."), state));
}

void c_MyApp::NextLanguage() {
    std::string folder = LocaleFolder();
    std::string problem = UseLanguage(::NextLanguage(CurrentLanguage(), AvailableLanguages(folder)), folder);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s\n", problem.c_str());
        ShowProblem(_("The translation could not be read; the texts are in English."), problem);
    }
    settings.language = CurrentLanguage();
    problem = SaveSettings(settings);
    if (!problem.empty())
        std::fprintf(stderr, "grimalou: the language setting could not be kept: %s\n", problem.c_str());
}

void c_MyApp::CatchUp(const AppInput& in) {
    if (in.lostTicks > 0 && screen == ScreenKind::Face && !helpShown) {
        for (int i = 1; i <= in.lostTicks && screen == ScreenKind::Face; ++i) {
            float f = static_cast<float>(i) / static_cast<float>(in.lostTicks + 1);
            AppInput between;
            between.arrangement = in.arrangement;
            between.byTouch = in.byTouch;
            between.x = lastInput.x + (in.x - lastInput.x) * f;
            between.y = lastInput.y + (in.y - lastInput.y) * f;
            // A finger down at both ends was down between them.
            between.touching = lastInput.touching && in.touching;
            for (int m = 0; m < MORE_FINGERS; ++m) {
                between.more[m] = in.more[m];
                between.more[m].touching = lastInput.more[m].touching && in.more[m].touching;
            }
            Handle(face->Tick(between, choice));
        }
    }
    lastInput = in;
}

void c_MyApp::Handle(const Request& request) {
    cues |= request.cues;
    if (request.problem)
        ShowProblem(request.message, request.reason);
    else if (!request.message.empty())
        ShowMessage(request.message);
    if (AskFirst(request)) return;
    switch (request.kind) {
        case Request::NONE: break;
        case Request::ENTER_FACE: EnterFace(request.child); break;
        case Request::HOME: GoHome(); break;
        case Request::OPEN_LIBRARY: OpenLibrary(); break;
        case Request::RECORD_ANEW: face->StartRecording(); break;
        case Request::QUIT: Quit(); break;
        case Request::TOGGLE_SOUND: ToggleSound(); break;
        case Request::NEXT_LANGUAGE: NextLanguage(); break;
        case Request::CLOSE_LIBRARY: CloseLibrary(); break;
        case Request::SHOW_HELP:
            helpShown = true;
            if (face) face->Leave();
            break;
        case Request::PLAY: {
            Exercise exercise = request.exercise;
            bool hadFace = face;
            CloseLibrary();
            if (!hadFace) EnterFace(exercise.child);
            face->PlayPrescription(exercise, request.file, false, choice);
            break;
        }
    }
}

bool c_MyApp::AskFirst(const Request& request) {
    bool leaves = request.kind == Request::HOME || request.kind == Request::OPEN_LIBRARY ||
                  request.kind == Request::RECORD_ANEW || request.kind == Request::QUIT;
    if (!leaves || !face || !face->player.recordingUnsaved || screen == ScreenKind::AskKeep) return false;
    face->Leave();
    keep.pending = request;
    keep.pending.message.clear();
    screen = ScreenKind::AskKeep;
    return true;
}

void c_MyApp::Answer(KeepAnswer answer) {
    if (answer == KeepAnswer::NONE) return;
    cues |= SoundBit(SOUND_PRESS);
    screen = ScreenKind::Face;
    if (answer == KeepAnswer::CANCEL) return;
    if (answer == KeepAnswer::SAVE) {
        Handle(face->SaveRecording());
        // A save that failed keeps the recording and the face: nothing is lost.
        if (face->player.recordingUnsaved) return;
    } else {
        face->player.recordingUnsaved = false;
    }
    Handle(keep.pending);
}

bool c_MyApp::OnCloseRequest() {
    if (face && face->player.recordingUnsaved) {
        if (screen == ScreenKind::Library) CloseLibrary();
        helpShown = false;
        AskFirst(Request::Of(Request::QUIT));
        return false;
    }
    if (face) face->FinishPractice();
    return true;
}

void c_MyApp::Quit() {
    if (face) face->FinishPractice();
    QuitApp();
}

c_FacePictures* c_MyApp::LoadPictures() const { return (new c_FacePictures())->Load(FaceButtonPictures()); }

void c_MyApp::EnterFace(Child child) {
    c_FacePictures* pictures = libraryPictures ? libraryPictures.get() : LoadPictures();
    libraryPictures = nullptr;
    face = (new c_FaceScreen())->Init(pictures, child, RandomSeed());
    if (title) title->Discard();
    title = nullptr;
    screen = ScreenKind::Face;
}

// Back to the title: every face-screen picture gives its texture back, and
// the recording (made on this face) is forgotten with the screen.
void c_MyApp::GoHome() {
    Handle(face->FinishPractice());
    face->pictures->Discard();
    face = nullptr;
    title = (new c_TitleScreen())->Init();
    screen = ScreenKind::Title;
}

void c_MyApp::OpenLibrary() {
    c_FacePictures* pictures = face ? face->pictures.get() : (libraryPictures = LoadPictures()).get();
    if (face) {
        face->Leave();
        Handle(face->FinishPractice());
    }
    int page = library ? library->page : libraryPage;
    library = new c_LibraryScreen();
    Handle(library->Open(pictures, page));
    screen = ScreenKind::Library;
}

void c_MyApp::CloseLibrary() {
    libraryPage = library->page;
    library = nullptr;
    if (face) {
        screen = ScreenKind::Face;
        return;
    }
    screen = ScreenKind::Title;
}

void c_MyApp::OpenFromCommandLine(const std::string& path) {
    Exercise exercise;
    std::string problem = LoadExercise(path, &exercise);
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s: %s\n", path.c_str(), problem.c_str());
        ShowProblem(RefusedFileAdvice(problem), name + ": " + problem);
        return;
    }
    EnterFace(exercise.child);
    face->PlayPrescription(exercise, name, true, choice);
}

void c_MyApp::ShowMessage(const std::string& text) {
    // A problem on screen stays over what a tick says meanwhile.
    if (messageStays) return;
    message = text;
    messageReason.clear();
    messageTicks = MESSAGE_TICKS;
    cues |= SoundBit(SOUND_MESSAGE);
}

void c_MyApp::ShowProblem(const std::string& plain, const std::string& reason) {
    message = plain;
    messageReason = reason;
    messageStays = true;
    cues |= SoundBit(SOUND_MESSAGE);
}

// ---- The frame -------------------------------------------------------------

int c_MyApp::OnDraw() {
    int w = WindowWidth(), h = WindowHeight();
    canvas->SetViewport(0, 0, w, h);
    canvas->Clear(1, 1, 1, 1);
    // A minimised window has no size; there is nothing to fit.
    if (w <= 0 || h <= 0) return 0;
    Letterbox box = FitScreen(w, h);
    Arrangement a = box.arrangement;
    canvas->SetViewport(box.x, box.y, box.width, box.height);
    canvas->SetOrthoProjection(0, ScreenWidth(a), 0, ScreenHeight(a), -1, 1);
    canvas->SetColor(1, 1, 1);
    switch (screen) {
        case ScreenKind::Title: title->Draw(canvas, a, NamesKeys(), settings.soundOn); break;
        case ScreenKind::Face: face->Draw(canvas, a); break;
        case ScreenKind::Library: library->Draw(canvas, a, choice, NamesKeys()); break;
        case ScreenKind::AskKeep:
            face->Draw(canvas, a);
            keep.Draw(canvas, a);
            break;
    }
    DrawMessage(a);
    if (helpShown) DrawHelp(canvas, a, Face(), NamesKeys());
    canvas->Flush();
    return 0;
}

// At the bottom of the screen, as high as its lines: the message, and for a
// problem its reason in smaller text and how to close it.
void c_MyApp::DrawMessage(Arrangement a) const {
    if (message.empty()) return;
    c_Canvas* c = canvas;
    // As wide as the screen; upright, in text a phone can read.
    float screenWidth = ScreenWidth(a), screenHeight = ScreenHeight(a);
    float width = screenWidth - 2 * MESSAGE_MARGIN;
    const float messageText = TextHeight(a, MESSAGE_TEXT_HEIGHT), reasonText = TextHeight(a, REASON_TEXT_HEIGHT);
    std::vector<std::string> lines = WrapLines(c, message, messageText, width);
    std::vector<std::string> reason, hint;
    if (messageStays) {
        if (!messageReason.empty()) reason = WrapLines(c, messageReason, reasonText, width);
        hint = {_(kDismiss)};
    }
    float lineHeight = messageText * 1.3f, reasonHeight = reasonText * 1.3f;
    float height = 24 + lineHeight * static_cast<float>(lines.size()) +
                   reasonHeight * static_cast<float>(reason.size() + hint.size()) + (messageStays ? 10 : 0);
    float y = screenHeight - height;
    if (messageStays)
        c->SetColor(0.55f, 0.12f, 0.1f);
    else
        c->SetColor(0.13f, 0.18f, 0.27f);
    c->SetAlpha(0.94f);
    c->DrawRect(0, y, screenWidth, height);
    c->SetAlpha(1);
    c->SetColor(1, 1, 1);
    y += 12;
    for (const std::string& line : lines) {
        DrawLabel(c, line, screenWidth / 2, y, messageText, true);
        y += lineHeight;
    }
    y += messageStays ? 10 : 0;
    c->SetColor(0.93f, 0.88f, 0.86f);
    for (const std::vector<std::string>* part : {&reason, &hint})
        for (const std::string& line : *part) {
            DrawLabel(c, line, screenWidth / 2, y, reasonText, true);
            y += reasonHeight;
        }
    c->SetColor(1, 1, 1);
}
