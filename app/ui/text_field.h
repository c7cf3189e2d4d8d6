// A line of text typed on the canvas: UTF-8, at most a number of
// characters, a caret between two characters moved by the arrows, Home and
// End; Backspace and Delete take a character away; Enter ends the editing,
// Escape gives it up.
#pragma once

#include <string>

#include "app/screens/screen.h"
#include "app/ui/text.h"

class c_Canvas;

struct TextField {
    std::string text;
    // A byte index at the start of a character, or the end.
    size_t caret = 0;
    int maxChars = 80;

    enum Outcome { EDITING, DONE, GIVEN_UP };
    void Start(const std::string& value, int maximum);
    Outcome Edit(const AppInput& in);
    // The whole text from elsewhere (the page's own text box), the caret
    // after `caretChars` characters: control characters are left out and
    // what lies past the limit is not taken.
    void Replace(const std::string& value, int caretChars);
    // The caret's place in characters.
    int CaretChars() const;
    // The text in `box`, its end in view; the caret when `focused`.
    void Draw(c_Canvas* canvas, const ControlBox& box, bool focused) const;
};
