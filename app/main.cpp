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

int main(int argc, char** argv) { return HostMain(argc, argv, InitGlobals, CreateApp); }
