// For the page's own text boxes, which a phone's keyboard types into: where
// the program's text fields lie and what they hold, and what was typed.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/my_app.h"
#include "app/ui/letterbox.h"

namespace {
c_MyApp* App() { return static_cast<c_MyApp*>(theApp.get()); }
std::vector<c_LibraryScreen::FieldView> shown;
std::string line;
}  // namespace

// How many fields there are now; grimalou_text_field(i) describes each.
extern "C" EMSCRIPTEN_KEEPALIVE int grimalou_text_fields() {
    c_MyApp* app = App();
    shown = app ? app->PageTextFields() : std::vector<c_LibraryScreen::FieldView>();
    return static_cast<int>(shown.size());
}

// "x y w h focused caret", the box as fractions of the canvas and the caret
// in characters, then a line end and the field's text.
extern "C" EMSCRIPTEN_KEEPALIVE const char* grimalou_text_field(int i) {
    if (i < 0 || i >= static_cast<int>(shown.size())) return "";
    const c_LibraryScreen::FieldView& view = shown[static_cast<size_t>(i)];
    int w = WindowWidth(), h = WindowHeight();
    Letterbox fit = FitScreen(w, h);
    float x = (static_cast<float>(fit.x) + view.box.x / fit.unitsPerPixel) / static_cast<float>(w);
    float y = (static_cast<float>(fit.y) + view.box.y / fit.unitsPerPixel) / static_cast<float>(h);
    char head[128];
    std::snprintf(head, sizeof head, "%.5f %.5f %.5f %.5f %d %d\n", x, y,
                  view.box.w / fit.unitsPerPixel / static_cast<float>(w),
                  view.box.h / fit.unitsPerPixel / static_cast<float>(h), view.focused ? 1 : 0,
                  view.field->CaretChars());
    line = head + view.field->text;
    return line.c_str();
}

// The whole text of field `i`'s box, its caret in characters, and how the
// typing ended (0 typing, 1 Enter, 2 Escape).
extern "C" EMSCRIPTEN_KEEPALIVE void grimalou_text_entry(int i, const char* text, int caret, int end) {
    c_MyApp* app = App();
    if (!app || !text || end < 0 || end > 2) return;
    app->TextEntered(i, text, caret, static_cast<AppInput::EntryEnd>(end));
}
