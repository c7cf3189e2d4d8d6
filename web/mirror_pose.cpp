// For the page's camera mirror: what the cartoon's current pose asks of the
// child's face.
#include <emscripten/emscripten.h>

#include <string>

#include "app/face/mirror_targets.h"
#include "app/my_app.h"

// The targets as JSON while the face screen shows its face, "" otherwise
// (another screen, or the help over it).
extern "C" EMSCRIPTEN_KEEPALIVE const char* grimalou_mirror_targets() {
    static std::string json;
    auto* app = static_cast<c_MyApp*>(theApp.get());
    c_FaceModel* face = app ? app->Face() : nullptr;
    bool shown = face && app->screen == ScreenKind::Face && !app->helpShown;
    json = shown ? MirrorTargetsJson(MirrorTargetsOf(face->face)) : "";
    return json.c_str();
}
