#include "app/ui/text.h"

#include <map>

#include "canvas/canvas.h"
#include "canvas/font.h"

float TextScale(const c_Canvas* canvas, float height) {
    return canvas->font && canvas->font->height > 0 ? height / canvas->font->height : 1;
}

void DrawLabel(c_Canvas* canvas, const std::string& text, float x, float y, float height, bool centred) {
    String shown(text.c_str());
    float scale = TextScale(canvas, height);
    if (centred) x -= canvas->TextWidth(shown, scale) / 2;
    canvas->DrawText(shown, x, y, scale);
}

void DrawControl(c_Canvas* canvas, const ControlBox& b) {
    canvas->SetColor(0.36f, 0.56f, 0.78f);
    canvas->DrawRect(b.x, b.y, b.w, b.h);
    canvas->SetColor(1, 1, 1);
    DrawLabel(canvas, b.label, b.x + b.w / 2, b.y + (b.h - CONTROL_TEXT_HEIGHT) / 2, CONTROL_TEXT_HEIGHT, true);
}

const String& CachedText(const char* text) {
    static std::map<const char*, String> made;
    auto it = made.find(text);
    if (it == made.end()) it = made.emplace(text, String(text)).first;
    return it->second;
}
