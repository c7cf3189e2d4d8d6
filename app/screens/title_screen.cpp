#include "app/screens/title_screen.h"

#include "app/language/language.h"
#include "app/ui/atlas.h"
#include "canvas/canvas.h"

namespace {

// The children's cards are 300 x 380 units: side by side in landscape, one
// above the other upright, where every box is at least 90 units (44 pixels
// of a phone) high.
// TRANSLATORS: the name of the language of this catalogue, in that language:
// the title's language button shows it, and a tap goes to the next language.
const char* const kLanguageName = N_("English");
const TitleLayout LAYOUTS[2] = {
    {240, 209, 740, 209, 1230, 750, {40, 660, 260, 56, N_("Library (L)")}, {40, 728, 260, 56, ""},
     {40, 592, 260, 56, kLanguageName}, {540, 746, 200, 50, ""}, 22},
    {250, 80, 250, 490, 790, 1050, {40, 1076, 360, 96, N_("Library (L)")}, {420, 1076, 340, 96, ""},
     {20, 4, 220, 92, kLanguageName}, {200, 1180, 400, 92, ""}, 30},
};

}  // namespace

const TitleLayout& TitleLayoutFor(Arrangement a) { return LAYOUTS[a == Arrangement::Portrait ? 1 : 0]; }

const char* SoundLabel(bool soundOn, bool namesKeys) {
    if (namesKeys) return soundOn ? N_("Sound: on (V)") : N_("Sound: off (V)");
    return soundOn ? N_("Sound: on") : N_("Sound: off");
}

c_TitleScreen* c_TitleScreen::Init() {
    Atlas atlas = LoadAtlas("images3");
    // The buttons stand where the landscape screen has them.
    const TitleLayout& l = LAYOUTS[0];
    girlButton = (new c_Bouton())->Init(atlas, String("fille.png"), String(), l.girlX, l.girlY);
    boyButton = (new c_Bouton())->Init(atlas, String("gars.png"), String(), l.boyX, l.boyY);
    c_Image2* title = CutSprite(atlas, String("titre.png"));
    title->SetPivot(1, 1);
    titleImage = title;
    CloseAtlas(atlas);
    return this;
}

Request c_TitleScreen::Tick(const AppInput& in, bool) {
    Request pressed = TickControls(in);
    if (pressed.kind != Request::NONE) pressed.cues |= SoundBit(SOUND_PRESS);
    return pressed;
}

Request c_TitleScreen::TickControls(const AppInput& in) const {
    if (in.Key('L')) return Request::Of(Request::OPEN_LIBRARY);
    if (!in.hit) return Request();
    const TitleLayout& l = TitleLayoutFor(in.arrangement);
    if (l.library.Inside(in.x, in.y)) return Request::Of(Request::OPEN_LIBRARY);
    if (l.sound.Inside(in.x, in.y)) return Request::Of(Request::TOGGLE_SOUND);
    if (l.language.Inside(in.x, in.y)) return Request::Of(Request::NEXT_LANGUAGE);
    if (l.help.Inside(in.x, in.y)) return Request::Of(Request::SHOW_HELP);
    auto on = [&](const c_Bouton* b, float x, float y) {
        return in.x > x && in.x < x + b->width && in.y > y && in.y < y + b->height;
    };
    Request enter = Request::Of(Request::ENTER_FACE);
    if (on(girlButton, l.girlX, l.girlY))
        enter.child = Child::Girl;
    else if (on(boyButton, l.boyX, l.boyY))
        enter.child = Child::Boy;
    else
        return Request();
    return enter;
}

void c_TitleScreen::Draw(c_Canvas* canvas, Arrangement a, bool namesKeys, bool soundOn) const {
    const TitleLayout& l = TitleLayoutFor(a);
    canvas->DrawImage(girlButton->images[0], l.girlX, l.girlY);
    canvas->DrawImage(boyButton->images[0], l.boyX, l.boyY);
    canvas->DrawImage(titleImage, l.titleX, l.titleY);
    const String& hint = CachedText(namesKeys ? _("F1: help") : _("? Help"));
    canvas->SetColor(0.35f, 0.35f, 0.35f);
    float scale = TextScale(canvas, l.hintHeight);
    canvas->DrawText(hint, l.help.x + (l.help.w - canvas->TextWidth(hint, scale)) / 2,
                     l.help.y + (l.help.h - l.hintHeight) / 2, scale);
    ControlBox library = l.library;
    if (!namesKeys) library.label = N_("Library");
    ControlBox sound = l.sound;
    sound.label = SoundLabel(soundOn, namesKeys);
    for (const ControlBox& box : {library, sound, l.language})
        DrawControl(canvas, box, TextHeight(a, CONTROL_TEXT_HEIGHT));
    canvas->SetColor(1, 1, 1);
}

void c_TitleScreen::Discard() {
    c_Image2* pictures[] = {girlButton->images[0], boyButton->images[0], titleImage.get()};
    for (c_Image2* image : pictures)
        if (image) image->Discard();
}
