// Application benchmark, in process, through the host's own update and
// render entry points (so the collector steps as in the program):
//  1. the title click to the first face frame (loading "images2" and a
//     child's atlas, cutting every sprite, placing the face, drawing it),
//     against loading the same two atlas pictures alone;
//  2. processor time per face frame in the busiest mode (lips, tongue out
//     and clipped between the lips) with a drag in progress that steps the
//     tongue every tick: the update, the drawing and the flush, against an
//     empty canvas frame (viewport, clear, flush); and the same frame
//     rendered as the host renders it (kept, compared with the frame sent
//     last, sent), against a plain draw of it outside the host's frames;
//  3. a library of 200 saved exercises of ten seconds each: opening it (the
//     listing and the first page's pictures, each exercise played to its
//     end out of sight) against the title click to the first face frame,
//     and a library frame against the empty canvas frame.
// Run it under GALLIUM_NOOP=1 GALLIUM_THREAD=0 for what the program itself
// costs; under llvmpipe the frame time is mostly rasterisation.
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/exercise/exercise_library.h"
#include "app/my_app.h"
#include "canvas/canvas.h"
#include "canvas/image.h"
#include "canvas/renderer.h"
#include "framework/app.h"
#include "framework/game_delegate.h"
#include "host/events.h"
#include "host/frame.h"
#include "host/gl_api.h"
#include "host/glfw_game.h"
#include "host/host_main.h"
#include "runtime/collector.h"

namespace {

using Clock = std::chrono::steady_clock;

// The program's start-up window: 800 x 500, resizable, decorated, depth buffer.
constexpr int kWidth = 800, kHeight = 500, kFlags = 22;
// One virtual unit is 800 / 1280 window pixels in that window.
constexpr float kPixelsPerUnit = 800.0f / 1280.0f;
// The machine is shared: the sides alternate in rounds and the best round
// of each counts, the one least disturbed.
constexpr int kRounds = 5;
constexpr double kFrameSeconds = 0.4;  // per side and round

double ProcessSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

double WallSeconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

KtRavlenGame* game = nullptr;
c_GameDelegate* delegate = nullptr;

void Press(float vx, float vy) {
    game->MouseInput(EV_MOUSE_MOVE, -1, vx * kPixelsPerUnit, vy * kPixelsPerUnit);
    game->MouseInput(EV_MOUSE_DOWN, 0, vx * kPixelsPerUnit, vy * kPixelsPerUnit);
}

void Release(float vx, float vy) { game->MouseInput(EV_MOUSE_UP, 0, vx * kPixelsPerUnit, vy * kPixelsPerUnit); }

// A fresh application on the title screen. The framework allows one
// application per process; the benchmark sets the previous one aside and
// keeps the started delegate, which calls whichever is current.
c_MyApp* NewApp() {
    theApp = nullptr;
    c_MyApp* app = new c_MyApp();
    if (!delegate) {
        delegate = theDelegate;
        game->Start();
    } else {
        theDelegate = delegate;
        game->SetDelegate(delegate);
        app->OnSetup();
    }
    game->Render();
    gl.Finish();
    return app;
}

// Seconds from the click on the girl to the first face frame drawn.
double ClickToFaceFrame() {
    NewApp();
    Press(390, 400);
    Clock::time_point start = Clock::now();
    game->Update();
    game->Render();
    gl.Finish();
    double seconds = WallSeconds(start);
    Release(390, 400);
    game->Update();
    return seconds;
}

// Seconds to load the two atlas pictures alone, as the step loads them.
double LoadPicturesAlone() {
    Clock::time_point start = Clock::now();
    c_Image2* shared = c_Image2::Load(String("ravlen://data/images2.png"), 0.5f, 0.5f, 3, nullptr);
    c_Image2* child = c_Image2::Load(String("ravlen://data/images1a.png"), 0.5f, 0.5f, 3, nullptr);
    gl.Finish();
    double seconds = WallSeconds(start);
    shared->Discard();
    child->Discard();
    return seconds;
}

// Processor seconds per frame of `frame`, over about kFrameSeconds.
template <class Frame>
double SecondsPerFrame(Frame frame) {
    int frames = 0;
    double start = ProcessSeconds();
    Clock::time_point wall = Clock::now();
    while (WallSeconds(wall) < kFrameSeconds || frames < 10) {
        frame();
        ++frames;
    }
    return (ProcessSeconds() - start) / frames;
}

// Seconds of the drawing part of `frame`, which times it into
// drawingSeconds: the median frame of about kFrameSeconds (a frame is a
// few microseconds; a time slice taken by another program counts for none).
std::vector<double> drawingSeconds;
bool unsent = false;
template <class Frame>
double DrawingSecondsPerFrame(Frame frame) {
    drawingSeconds.clear();
    Clock::time_point wall = Clock::now();
    while (WallSeconds(wall) < kFrameSeconds || drawingSeconds.size() < 10) frame();
    std::sort(drawingSeconds.begin(), drawingSeconds.end());
    return drawingSeconds[drawingSeconds.size() / 2];
}

}  // namespace

int main() {
    if (!InitWindowSystem()) {
        std::puts("bench_app: no display");
        return 1;
    }
    game = new KtRavlenGame();
    gc_init_lists();
    InitFrameworkGlobals();
    InitCanvasGlobals();
    gc_queue_roots();
    game->appDir = String(GRIMALOU_BINARY_DIR);
    game->swapInterval = 0;
    game->CreateDeviceWindow(kWidth, kHeight, kFlags);
    InitRenderer();
    std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(gl.GetString(GL_RENDERER)));

    // 1. From the title click to the first face frame.
    double step = 1e30, pictures = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        step = std::min(step, ClickToFaceFrame());
        pictures = std::min(pictures, LoadPicturesAlone());
    }
    std::printf("title click to first face frame: %8.1f ms\n", step * 1e3);
    std::printf("the two atlas pictures alone:    %8.1f ms\n", pictures * 1e3);
    std::printf("ratio:                           %8.2f\n", step / pictures);

    // 2. The busiest face frame. The face from the last round, in lips mode
    // with the tongue out between the lips, where it is clipped.
    c_MyApp* app = static_cast<c_MyApp*>(theApp.get());
    app->Face()->face.lipsMode = true;
    app->Face()->face.tongueMode = true;
    app->Face()->face.tongueDepth = 1;
    app->Face()->PlaceAll();
    // A finger on the tongue moves 40 units up and down every tick: each
    // tick steps the tongue a row and places it again.
    const float tongueX = 640, tongueY = 525;
    Press(tongueX, tongueY);
    game->Update();
    if (!app->Face()->gesture.grab[GRAB_TONGUE] || !app->Face()->face.tongueOut || app->Face()->face.tongueDepth != 1) {
        std::puts("bench_app: the tongue was not grabbed in the busiest mode");
        return 1;
    }
    int tick = 0;
    auto faceFrame = [&]() {
        float y = (tick++ & 1) ? tongueY : tongueY + 40;
        game->MouseInput(EV_MOUSE_MOVE, -1, tongueX * kPixelsPerUnit, y * kPixelsPerUnit);
        game->Update();
        game->Render();
        gl.Finish();
    };
    c_Canvas* canvas = app->canvas;
    auto emptyFrame = [&]() {
        canvas->SetViewport(0, 0, kWidth, kHeight);
        canvas->Clear(1, 1, 1, 1);
        canvas->Flush();
        gl.Finish();
    };
    int rowsBefore = app->Face()->tongue->frame;
    faceFrame();
    if (app->Face()->tongue->frame == rowsBefore) {
        std::puts("bench_app: the drag does not step the tongue");
        return 1;
    }
    double face = 1e30, empty = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        face = std::min(face, SecondsPerFrame(faceFrame));
        empty = std::min(empty, SecondsPerFrame(emptyFrame));
    }
    std::printf("busiest face frame (tick + draw + flush): %8.1f us of processor time\n", face * 1e6);
    std::printf("empty canvas frame:                       %8.1f us\n", empty * 1e6);
    std::printf("ratio:                                    %8.2f\n", face / empty);
    // The drawing alone, each tick moving the tongue: as the host renders a
    // changed frame, and drawn plainly.
    auto drawing = [&](bool hostFrame) {
        return [&, hostFrame]() {
            faceFrame();
            Clock::time_point start = Clock::now();
            bool sent = hostFrame ? RenderChangedFrame(*game) : (game->Render(), true);
            gl.Finish();
            drawingSeconds.push_back(WallSeconds(start));
            if (!sent) unsent = true;
        };
    };
    double changed = 1e30, plain = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        // The tongue goes back and forth between two rows: after the plain
        // frames, the host's last sent frame can be the next one.
        faceFrame();
        RenderChangedFrame(*game);
        changed = std::min(changed, DrawingSecondsPerFrame(drawing(true)));
        plain = std::min(plain, DrawingSecondsPerFrame(drawing(false)));
    }
    Release(tongueX, tongueY);
    if (unsent) {
        std::puts("bench_app: a face frame whose tongue moved was not sent");
        return 1;
    }
    std::printf("changed face frame as the host renders it: %7.1f us (median frame)\n", changed * 1e6);
    std::printf("the same frame drawn plainly:               %7.1f us\n", plain * 1e6);
    std::printf("ratio:                                      %7.2f\n", changed / plain);

    // 3. The library. Each exercise: ten seconds of a finger that takes the
    // mouth's right corner and goes round, stepping the mouth again and again.
    char folder[] = "/tmp/grimalou-bench-library-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    setenv("XDG_DATA_HOME", folder, 1);
    app->Face()->ResetFace();
    Exercise exercise;
    exercise.startFace = app->Face()->Snapshot();
    c_Partie* corner = app->Face()->mouthRight;
    float cx = (corner->edge1 + corner->edge2) / 2, cy = (corner->zoneTop + corner->zoneBottom) / 2;
    for (int i = 0; i < RECORD_LAST; ++i) {
        float turn = static_cast<float>(i) * 0.1f;
        exercise.entries.push_back(
            {static_cast<int>(cx + 70 * std::sin(turn)), static_cast<int>(cy + 40 * (1 - std::cos(turn)))});
    }
    exercise.entries.push_back({ENTRY_END, 0});
    const int kExercises = 200;
    for (int i = 0; i < kExercises; ++i) {
        std::string path;
        LocalTime when{2026, 1 + i / 28, 1 + i % 28, 10, 0, 0};
        std::string problem = SaveExercise(exercise, when, &path);
        if (!problem.empty()) {
            std::printf("bench_app: %s\n", problem.c_str());
            return 1;
        }
    }
    double open = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        Clock::time_point start = Clock::now();
        app->OpenLibrary();
        open = std::min(open, WallSeconds(start));
        if (round + 1 < kRounds) app->CloseLibrary();
    }
    if (app->library->entries.size() != static_cast<size_t>(kExercises)) {
        std::puts("bench_app: the library does not list every exercise");
        return 1;
    }
    const LibraryCard& first = app->library->cards[0];
    if (!first.problem.empty() || SameFace(app->library->endFaces[0]->Snapshot(), exercise.startFace)) {
        std::printf("bench_app: the first exercise did not play out of sight: %s\n", first.problem.c_str());
        return 1;
    }
    auto libraryFrame = [&]() {
        game->Render();
        gl.Finish();
    };
    double library = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        library = std::min(library, SecondsPerFrame(libraryFrame));
        empty = std::min(empty, SecondsPerFrame(emptyFrame));
    }
    app->CloseLibrary();
    std::system((std::string("rm -rf ") + folder).c_str());
    std::printf("open a library of %d (first page):  %8.1f ms\n", kExercises, open * 1e3);
    std::printf("ratio to the title click:             %8.2f\n", open / step);
    std::printf("library frame:                            %8.1f us of processor time\n", library * 1e6);
    std::printf("ratio to the empty canvas frame:          %8.2f\n", library / empty);
    return 0;
}
