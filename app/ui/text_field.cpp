#include "app/ui/text_field.h"

#include <algorithm>

#include "app/exercise/exercise.h"
#include "canvas/canvas.h"

namespace {

// The text's height for a box 50 units high, and at most.
constexpr float FIELD_TEXT_SHARE = 0.48f, FIELD_TEXT_MAX = 36, FIELD_PAD = 8;

bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

void TextField::Start(const std::string& value, int maximum) {
    text = value;
    caret = text.size();
    maxChars = maximum;
}

TextField::Outcome TextField::Edit(const AppInput& in) {
    if (in.Key(KEY_ESCAPE)) return GIVEN_UP;
    if (in.Key(KEY_ENTER)) return DONE;
    if (in.Key(KEY_LEFT) && caret > 0)
        do --caret;
        while (caret > 0 && Continuation(text[caret]));
    if (in.Key(KEY_RIGHT) && caret < text.size())
        do ++caret;
        while (caret < text.size() && Continuation(text[caret]));
    if (in.Key(KEY_HOME)) caret = 0;
    if (in.Key(KEY_END)) caret = text.size();
    if (in.Key(KEY_BACKSPACE) && caret > 0) {
        size_t start = caret;
        do --start;
        while (start > 0 && Continuation(text[start]));
        text.erase(start, caret - start);
        caret = start;
    }
    if (in.Key(KEY_DELETE) && caret < text.size()) {
        size_t end = caret;
        do ++end;
        while (end < text.size() && Continuation(text[end]));
        text.erase(caret, end - caret);
    }
    // What is typed past the limit is not taken.
    if (!in.typed.empty() && CharCount(text) + CharCount(in.typed) <= maxChars) {
        text.insert(caret, in.typed);
        caret += in.typed.size();
    }
    return EDITING;
}

void TextField::Replace(const std::string& value, int caretChars) {
    text.clear();
    caret = 0;
    int chars = 0;
    for (size_t i = 0; i < value.size() && chars < maxChars;) {
        size_t end = i + 1;
        while (end < value.size() && Continuation(value[end])) ++end;
        unsigned char first = static_cast<unsigned char>(value[i]);
        if (first >= 0x20 && first != 0x7F) {
            text.append(value, i, end - i);
            if (chars < caretChars) caret = text.size();
            ++chars;
        } else if (chars < caretChars) {
            --caretChars;
        }
        i = end;
    }
}

int TextField::CaretChars() const { return CharCount(text.substr(0, caret)); }

void TextField::Draw(c_Canvas* c, const ControlBox& box, bool focused) const {
    c->SetColor(1, 1, 1);
    c->DrawRect(box.x, box.y, box.w, box.h);
    if (focused)
        c->SetColor(0.36f, 0.56f, 0.78f);
    else
        c->SetColor(0.7f, 0.7f, 0.7f);
    c->DrawRect(box.x, box.y + box.h - 3, box.w, 3);
    const float FIELD_TEXT_HEIGHT = std::min(box.h * FIELD_TEXT_SHARE, FIELD_TEXT_MAX);
    // The part before the caret that fits, so that the caret stays in view.
    float room = box.w - 2 * FIELD_PAD;
    std::string before = text.substr(0, caret);
    size_t first = 0;
    while (first < before.size() && LabelWidth(c, before.substr(first), FIELD_TEXT_HEIGHT) > room)
        do ++first;
        while (first < before.size() && Continuation(before[first]));
    std::string shown = FitLabel(c, text.substr(first), FIELD_TEXT_HEIGHT, room);
    float y = box.y + (box.h - FIELD_TEXT_HEIGHT) / 2;
    c->SetColor(0.13f, 0.18f, 0.27f);
    DrawLabel(c, shown, box.x + FIELD_PAD, y, FIELD_TEXT_HEIGHT, false);
    if (focused) {
        float x = box.x + FIELD_PAD + LabelWidth(c, before.substr(first), FIELD_TEXT_HEIGHT);
        c->DrawRect(x, y - 2, 2, FIELD_TEXT_HEIGHT + 4);
    }
    c->SetColor(1, 1, 1);
}
