#include "app/screens/keep_dialog.h"

#include "app/language/language.h"
#include "canvas/canvas.h"

namespace {

// Every word the dialog shows.
const char* const kQuestion = N_("Keep this exercise?");
const char* const kExplanation = N_("It is not saved yet. Save it in the library, or discard it.");

const KeepLayout KEEP_LAYOUTS[2] = {
    {{290, 250, 700, 300, ""},
     {{320, 450, 200, 70, N_("Save")}, {540, 450, 200, 70, N_("Discard")}, {760, 450, 200, 70, N_("Cancel")}},
     40, 24, 22},
    {{40, 300, 720, 680, ""},
     {{100, 600, 600, 100, N_("Save")}, {100, 720, 600, 100, N_("Discard")}, {100, 840, 600, 100, N_("Cancel")}},
     52, 36, 34},
};

}  // namespace

const KeepLayout& KeepLayoutFor(Arrangement a) { return KEEP_LAYOUTS[a == Arrangement::Portrait ? 1 : 0]; }

KeepAnswer KeepDialog::Tick(const AppInput& in) const {
    const ControlBox* boxes = KeepLayoutFor(in.arrangement).boxes;
    auto clicked = [&](KeepControl c) { return in.hit && boxes[c].Inside(in.x, in.y); };
    if (in.Key(KEY_ENTER) || clicked(KEEP_SAVE)) return KeepAnswer::SAVE;
    if (in.Key(KEY_ESCAPE) || clicked(KEEP_CANCEL)) return KeepAnswer::CANCEL;
    if (clicked(KEEP_DISCARD)) return KeepAnswer::DISCARD;
    return KeepAnswer::NONE;
}

void KeepDialog::Draw(c_Canvas* c, Arrangement a) const {
    const KeepLayout& l = KeepLayoutFor(a);
    const float middle = l.panel.x + l.panel.w / 2;
    c->SetColor(0, 0, 0);
    c->SetAlpha(0.5f);
    c->DrawRect(0, 0, ScreenWidth(a), ScreenHeight(a));
    c->SetAlpha(1);
    c->SetColor(1, 1, 1);
    c->DrawRect(l.panel.x, l.panel.y, l.panel.w, l.panel.h);
    c->SetColor(0.13f, 0.18f, 0.27f);
    DrawLabel(c, _(kQuestion), middle, l.panel.y + l.questionHeight, l.questionHeight, true);
    float y = l.panel.y + 2.75f * l.questionHeight;
    for (const std::string& line : WrapLines(c, _(kExplanation), l.textHeight, l.panel.w - 60)) {
        DrawLabel(c, line, middle, y, l.textHeight, true);
        y += l.textHeight * 1.3f;
    }
    for (const ControlBox& box : l.boxes) DrawControl(c, box, l.controlTextHeight);
    c->SetColor(1, 1, 1);
}
