#include "app/screens/title_screen.h"

#include "app/ui/atlas.h"
#include "canvas/canvas.h"

namespace {

// Where the title screen's choices and its name stand.
constexpr float GIRL_X = 240, BOY_X = 740, CHOICE_Y = 209;
constexpr float TITLE_X = 1230, TITLE_Y = 750;
constexpr float HINT_HEIGHT = 22;

}  // namespace

const ControlBox TITLE_LIBRARY_BOX = {40, 660, 220, 56, "Library (L)"};

c_TitleScreen* c_TitleScreen::Init() {
    Atlas atlas = LoadAtlas("images3");
    girlButton = (new c_Bouton())->Init(atlas, String("fille.png"), String(), GIRL_X, CHOICE_Y);
    boyButton = (new c_Bouton())->Init(atlas, String("gars.png"), String(), BOY_X, CHOICE_Y);
    c_Image2* title = CutSprite(atlas, String("titre.png"));
    title->SetPivot(1, 1);
    titleImage = title;
    CloseAtlas(atlas);
    return this;
}

Request c_TitleScreen::Tick(const AppInput& in) {
    if (in.Key('L')) return Request::Of(Request::OPEN_LIBRARY);
    if (!in.hit) return Request();
    if (TITLE_LIBRARY_BOX.Inside(in.x, in.y)) return Request::Of(Request::OPEN_LIBRARY);
    Request enter = Request::Of(Request::ENTER_FACE);
    if (girlButton->Hit(in.x, in.y))
        enter.child = Child::Girl;
    else if (boyButton->Hit(in.x, in.y))
        enter.child = Child::Boy;
    else
        return Request();
    return enter;
}

void c_TitleScreen::Draw(c_Canvas* canvas) const {
    canvas->DrawImage(girlButton->images[0], girlButton->x0, girlButton->y0);
    canvas->DrawImage(boyButton->images[0], boyButton->x0, boyButton->y0);
    canvas->DrawImage(titleImage, TITLE_X, TITLE_Y);
    const String& hint = CachedText("F1: help");
    canvas->SetColor(0.35f, 0.35f, 0.35f);
    float scale = TextScale(canvas, HINT_HEIGHT);
    canvas->DrawText(hint, (VIRTUAL_WIDTH - canvas->TextWidth(hint, scale)) / 2, VIRTUAL_HEIGHT - 40, scale);
    DrawControl(canvas, TITLE_LIBRARY_BOX);
    canvas->SetColor(1, 1, 1);
}

void c_TitleScreen::Discard() {
    c_Image2* pictures[] = {girlButton->images[0], boyButton->images[0], titleImage.get()};
    for (c_Image2* image : pictures)
        if (image) image->Discard();
}
