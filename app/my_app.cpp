// The application object: the devices read into one input value a tick, the
// screens switched on the requests their ticks return, and the frame.
#include "app/my_app.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "app/screens/help.h"
#include "app/ui/letterbox.h"
#include "app/ui/text.h"
#include "canvas/canvas.h"
#include "framework/input_device.h"
#include "host/game.h"

namespace {

// How long a message stays at the bottom of the screen: 5 seconds.
constexpr int MESSAGE_TICKS = 5 * TICKS_PER_SECOND;
constexpr float MESSAGE_BAR_HEIGHT = 50, MESSAGE_TEXT_HEIGHT = 22;

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

}  // namespace

c_MyApp::c_MyApp() {
    pointer = Array<float>(2);
    windowPointer = Array<float>(2);
}

int c_MyApp::OnSetup() {
    SetTickRate(TICKS_PER_SECOND);
    CommandLine line = ParseCommandLine(processArgumentCount, processArguments);
    if (line.fullscreen) theHost->SetFullscreen(true);
    canvas = (new c_Canvas())->Init();
    canvas->SetOrthoProjection(0, VIRTUAL_WIDTH, 0, VIRTUAL_HEIGHT, -1, 1);
    title = (new c_TitleScreen())->Init();
    if (!line.file.empty()) OpenFromCommandLine(line.file);
    return 0;
}

int c_MyApp::OnTick() {
    windowPointer[0] = inputDevice->PointerX();
    windowPointer[1] = inputDevice->PointerY();
    canvas->UnprojectPoint(windowPointer, pointer);
    AppInput in;
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
    for (int c = inputDevice->GetChar(); c != 0; c = inputDevice->GetChar()) in.question |= c == '?';
    Step(in);
    return 0;
}

void c_MyApp::Step(AppInput in) {
    if (in.AnyKey()) keyboardUsed = true;
    if (in.byTouch) touchUsed = true;
    // The help closes on any key or click, which then does nothing else.
    if (helpShown) {
        if (in.AnyKey() || in.hit) {
            helpShown = false;
            swallowTouch = in.hit;
        }
        in.Clear();
    } else if (in.Key(KEY_F1) || in.question) {
        helpShown = true;
        if (face) face->Leave();
        in.Clear();
    }
    if (swallowTouch) {
        if (!in.touching) swallowTouch = false;
        in.hit = in.touching = false;
    }
    if (messageTicks > 0 && --messageTicks == 0) message.clear();

    ScreenKind before = screen;
    switch (screen) {
        case ScreenKind::Title: Handle(title->Tick(in, NamesKeys())); break;
        case ScreenKind::Face: Handle(face->Tick(in, choice)); break;
        case ScreenKind::Library: Handle(library->Tick(in, choice)); break;
    }
    // The finger that changed the screen is not the new screen's: a drag
    // that goes on would pose the face it did not aim at.
    if (screen != before && in.touching) swallowTouch = true;
}

void c_MyApp::Handle(const Request& request) {
    if (!request.message.empty()) ShowMessage(request.message);
    switch (request.kind) {
        case Request::NONE: break;
        case Request::ENTER_FACE: EnterFace(request.child); break;
        case Request::HOME: GoHome(); break;
        case Request::OPEN_LIBRARY: OpenLibrary(); break;
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
            face->Play(exercise, choice.repetitions, choice);
            break;
        }
    }
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
    face->pictures->Discard();
    face = nullptr;
    title = (new c_TitleScreen())->Init();
    screen = ScreenKind::Title;
}

void c_MyApp::OpenLibrary() {
    c_FacePictures* pictures = face ? face->pictures.get() : (libraryPictures = LoadPictures()).get();
    if (face) face->Leave();
    int page = library ? library->page : libraryPage;
    library = new c_LibraryScreen();
    std::string problem = library->Open(pictures, page);
    if (!problem.empty()) ShowMessage(problem);
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
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s: %s\n", path.c_str(), problem.c_str());
        ShowMessage(path.substr(path.find_last_of('/') + 1) + ": " + problem);
        return;
    }
    EnterFace(exercise.child);
    face->Play(exercise, 1, choice);
}

void c_MyApp::ShowMessage(const std::string& text) {
    message = text;
    messageTicks = MESSAGE_TICKS;
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
        case ScreenKind::Title: title->Draw(canvas, a, NamesKeys()); break;
        case ScreenKind::Face: face->Draw(canvas, a); break;
        case ScreenKind::Library: library->Draw(canvas, a, choice, NamesKeys()); break;
    }
    DrawMessage(a);
    if (helpShown) DrawHelp(canvas, a, Face(), NamesKeys());
    canvas->Flush();
    return 0;
}

void c_MyApp::DrawMessage(Arrangement a) const {
    if (message.empty()) return;
    c_Canvas* c = canvas;
    // One line in landscape as ever; upright, as many as the words need.
    float w = ScreenWidth(a), h = ScreenHeight(a), text = TextHeight(a, MESSAGE_TEXT_HEIGHT);
    float margin = MESSAGE_BAR_HEIGHT - MESSAGE_TEXT_HEIGHT;
    int lines = a == Arrangement::Portrait ? WrappedLines(c, message, w - margin, text) : 1;
    float bar = text * (1 + 1.25f * (lines - 1)) + margin;
    c->SetColor(0.13f, 0.18f, 0.27f);
    c->SetAlpha(0.9f);
    c->DrawRect(0, h - bar, w, bar);
    c->SetAlpha(1);
    c->SetColor(1, 1, 1);
    if (lines == 1)
        DrawLabel(c, message, w / 2, h - bar + margin / 2, text, true);
    else
        DrawWrapped(c, message, w / 2, h - bar + margin / 2, w - margin, text);
}
