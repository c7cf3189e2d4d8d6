#include "app/my_app.h"
#include "canvas/renderer.h"
#include "host/host_main.h"

namespace {

// Every subsystem's globals, in the order the subsystems build on each other.
void InitGlobals() {
    InitFrameworkGlobals();
    InitCanvasGlobals();
}

void CreateApp() { new c_MyApp(); }

}  // namespace

// The renderer starts once, in the start-up window's GL context, before the
// application's OnSetup makes its canvas.
int main(int argc, char** argv) { return HostMain(argc, argv, InitGlobals, CreateApp, InitRenderer); }
