#include "app/screens/keep_dialog.h"

#include "app/language/language.h"
#include "canvas/canvas.h"

namespace {

// Every word the dialog shows.
const char* const kQuestion = N_("Keep this exercise?");
const char* const kExplanation = N_("It is not saved yet. Save it in the library, or discard it.");
constexpr float PANEL_X = 290, PANEL_Y = 250, PANEL_W = 700, PANEL_H = 300;
constexpr float QUESTION_HEIGHT = 40, TEXT_HEIGHT = 24;

}  // namespace

const ControlBox KEEP_CONTROL_BOXES[KEEP_CONTROLS] = {
    {320, 450, 200, 70, N_("Save")},
    {540, 450, 200, 70, N_("Discard")},
    {760, 450, 200, 70, N_("Cancel")},
};

KeepAnswer KeepDialog::Tick(const AppInput& in) const {
    auto clicked = [&](KeepControl c) { return in.hit && KEEP_CONTROL_BOXES[c].Inside(in.x, in.y); };
    if (in.Key(KEY_ENTER) || clicked(KEEP_SAVE)) return KeepAnswer::SAVE;
    if (in.Key(KEY_ESCAPE) || clicked(KEEP_CANCEL)) return KeepAnswer::CANCEL;
    if (clicked(KEEP_DISCARD)) return KeepAnswer::DISCARD;
    return KeepAnswer::NONE;
}

void KeepDialog::Draw(c_Canvas* c) const {
    c->SetColor(0, 0, 0);
    c->SetAlpha(0.5f);
    c->DrawRect(0, 0, VIRTUAL_WIDTH, VIRTUAL_HEIGHT);
    c->SetAlpha(1);
    c->SetColor(1, 1, 1);
    c->DrawRect(PANEL_X, PANEL_Y, PANEL_W, PANEL_H);
    c->SetColor(0.13f, 0.18f, 0.27f);
    DrawLabel(c, _(kQuestion), VIRTUAL_WIDTH / 2, PANEL_Y + 40, QUESTION_HEIGHT, true);
    float y = PANEL_Y + 110;
    for (const std::string& line : WrapLines(c, _(kExplanation), TEXT_HEIGHT, PANEL_W - 60)) {
        DrawLabel(c, line, VIRTUAL_WIDTH / 2, y, TEXT_HEIGHT, true);
        y += TEXT_HEIGHT * 1.3f;
    }
    for (const ControlBox& box : KEEP_CONTROL_BOXES) DrawControl(c, box);
    c->SetColor(1, 1, 1);
}
