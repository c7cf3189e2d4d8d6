// For the page's camera mirror: what the cartoon's current pose asks of the
// child's face, and whether the child holds it.
#include <emscripten/emscripten.h>

#include <string>

#include "app/face/mirror_targets.h"
#include "app/my_app.h"

// The targets as JSON while the face screen shows its face, "" otherwise
// (another screen, or the help over it).
namespace {
c_MyApp* App() { return static_cast<c_MyApp*>(theApp.get()); }
}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE const char* grimalou_mirror_targets() {
    static std::string json;
    c_MyApp* app = App();
    c_FaceModel* face = app ? app->Face() : nullptr;
    bool shown = face && app->screen == ScreenKind::Face && !app->helpShown;
    json = shown ? MirrorTargetsJson(MirrorTargetsOf(face->face)) : "";
    return json.c_str();
}

// 1 while the child holds the cartoon's pose, 0 while they do not (a
// repetition's hold then waits), -1 when the mirror is off or judges
// nothing. The star's chime is the program's own, heard with the sound on.
extern "C" EMSCRIPTEN_KEEPALIVE void grimalou_mirror_holding(int holding) {
    if (c_MyApp* app = App()) app->MirrorHolding(holding);
}
