// The process start in a browser, and the loop's clock there.
#include <emscripten/emscripten.h>

#include "host/host_main.h"
#include "host/loop_clock.h"
#include "host/program_main.h"
#include "host/web_game.h"

namespace {

class PageClock : public LoopClock {
public:
    // The page's monotonic clock, in seconds since the program started.
    double Now() override { return (emscripten_get_now() - start) / 1000.0; }
    // Never called: the browser's loop waits for animation frames, and the
    // page's events come to their callbacks between them.
    void WaitEvents(double) override {}

private:
    double start = emscripten_get_now();
};

}  // namespace

LoopClock* RealLoopClock() {
    static PageClock clock;
    return &clock;
}

bool InitWindowSystem() { return true; }
void EndWindowSystem() {}

int HostMain(int argc, char** argv, void (*initGlobals)(), void (*createApp)(), void (*startGraphics)()) {
    KtWebGame* game = new KtWebGame();
    RunProgramMain(game, argc, argv, initGlobals, createApp);
    // The loop runs on in the browser's animation frames after main returns.
    if (game->GetDelegate()) game->Run(startGraphics);
    return 0;
}
