#include "app/ui/text.h"

#include <map>
#include <vector>

#include "app/ui/letterbox.h"
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

namespace {

// The lines of `text` broken at spaces to fit `width` (a word longer than
// the width stands alone on its line).
std::vector<std::string> Lines(const c_Canvas* canvas, const std::string& text, float width, float height) {
    float scale = TextScale(canvas, height);
    std::vector<std::string> lines;
    std::string line;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find(' ', i);
        if (end == std::string::npos) end = text.size();
        std::string word = text.substr(i, end - i);
        std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && canvas->TextWidth(String(longer.c_str()), scale) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        i = end + 1;
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

int WrappedLines(const c_Canvas* canvas, const std::string& text, float width, float height) {
    return static_cast<int>(Lines(canvas, text, width, height).size());
}

int DrawWrapped(c_Canvas* canvas, const std::string& text, float x, float y, float width, float height) {
    std::vector<std::string> lines = Lines(canvas, text, width, height);
    for (size_t i = 0; i < lines.size(); ++i) DrawLabel(canvas, lines[i], x, y + i * height * 1.25f, height, true);
    return static_cast<int>(lines.size());
}

void DrawControl(c_Canvas* canvas, const ControlBox& b, float textHeight) {
    canvas->SetColor(0.36f, 0.56f, 0.78f);
    canvas->DrawRect(b.x, b.y, b.w, b.h);
    canvas->SetColor(1, 1, 1);
    DrawLabel(canvas, b.label, b.x + b.w / 2, b.y + (b.h - textHeight) / 2, textHeight, true);
}

const String& CachedText(const char* text) {
    static std::map<const char*, String> made;
    auto it = made.find(text);
    if (it == made.end()) it = made.emplace(text, String(text)).first;
    return it->second;
}

float TextHeight(Arrangement a, float height) {
    return a == Arrangement::Portrait && height < PORTRAIT_TEXT_MIN ? PORTRAIT_TEXT_MIN : height;
}
