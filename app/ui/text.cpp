#include "app/ui/text.h"

#include <map>
#include <vector>

#include "app/language/language.h"
#include "app/screens/screen.h"
#include "app/ui/letterbox.h"
#include "canvas/canvas.h"
#include "canvas/font.h"

float TextScale(const c_Canvas* canvas, float height) {
    return canvas->font && canvas->font->height > 0 ? height / canvas->font->height : 1;
}

String Shown(const std::string& text) {
    return String::FromFileBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

namespace {

// The length of the UTF-8 character that starts at byte i.
size_t CharLength(const std::string& text, size_t i) {
    size_t next = i + 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
    return next - i;
}

}  // namespace

float LabelWidth(const c_Canvas* canvas, const std::string& text, float height) {
    return canvas->TextWidth(Shown(text), TextScale(canvas, height));
}

std::vector<std::string> WrapLines(const c_Canvas* canvas, const std::string& text, float height, float width) {
    std::vector<std::string> lines;
    std::string line;
    size_t i = 0;
    while (i < text.size()) {
        size_t space = text.find(' ', i);
        std::string word = text.substr(i, space == std::string::npos ? std::string::npos : space - i);
        i = space == std::string::npos ? text.size() : space + 1;
        std::string longer = line.empty() ? word : line + " " + word;
        if (LabelWidth(canvas, longer, height) <= width) {
            line = longer;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        // A word wider than a line goes on lines of its own, cut between characters.
        line.clear();
        for (size_t k = 0; k < word.size(); k += CharLength(word, k)) {
            std::string piece = word.substr(k, CharLength(word, k));
            if (!line.empty() && LabelWidth(canvas, line + piece, height) > width) lines.push_back(line), line.clear();
            line += piece;
        }
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

std::string FitLabel(const c_Canvas* canvas, const std::string& text, float height, float width) {
    if (LabelWidth(canvas, text, height) <= width) return text;
    std::string cut;
    for (size_t k = 0; k < text.size(); k += CharLength(text, k)) {
        std::string longer = cut + text.substr(k, CharLength(text, k));
        if (LabelWidth(canvas, longer + "\u2026", height) > width) break;
        cut = longer;
    }
    return cut + "\u2026";
}

void DrawLabel(c_Canvas* canvas, const std::string& text, float x, float y, float height, bool centred) {
    String shown = Shown(text);
    float scale = TextScale(canvas, height);
    if (centred) x -= canvas->TextWidth(shown, scale) / 2;
    canvas->DrawText(shown, x, y, scale);
}

int DrawWrapped(c_Canvas* canvas, const std::string& text, float x, float y, float width, float height) {
    std::vector<std::string> lines = WrapLines(canvas, text, height, width);
    for (size_t i = 0; i < lines.size(); ++i) DrawLabel(canvas, lines[i], x, y + i * height * 1.25f, height, true);
    return static_cast<int>(lines.size());
}

void DrawControl(c_Canvas* canvas, const ControlBox& b, float textHeight) {
    canvas->SetColor(0.36f, 0.56f, 0.78f);
    canvas->DrawRect(b.x, b.y, b.w, b.h);
    canvas->SetColor(1, 1, 1);
    DrawBoxLabel(canvas, b, textHeight);
}

void DrawBoxLabel(c_Canvas* canvas, const ControlBox& b, float textHeight) {
    const char* label = _(b.label);
    float height = FittingHeight(canvas, label, textHeight, b.w - 2 * CONTROL_MARGIN);
    DrawLabel(canvas, label, b.x + b.w / 2, b.y + (b.h - height) / 2, height, true);
}

float FittingHeight(const c_Canvas* canvas, const std::string& text, float height, float width) {
    float wide = LabelWidth(canvas, text, height);
    return wide <= width ? height : height * width / wide;
}

const String& CachedText(const char* text) {
    // Keyed by address: a translated text lives as long as its language.
    static std::map<const char*, String> made;
    static int generation = LanguageGeneration();
    if (generation != LanguageGeneration()) {
        made.clear();
        generation = LanguageGeneration();
    }
    auto it = made.find(text);
    if (it == made.end()) it = made.emplace(text, Shown(text)).first;
    return it->second;
}

float TextHeight(Arrangement a, float height) {
    return a == Arrangement::Portrait && height < PORTRAIT_TEXT_MIN ? PORTRAIT_TEXT_MIN : height;
}

