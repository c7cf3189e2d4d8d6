#include "app/screens/face_screen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/exercise/exercise_library.h"
#include "app/exercise/practice_log.h"
#include "app/language/language.h"
#include "app/ui/text.h"
#include "canvas/canvas.h"
#include "canvas/image.h"

namespace {

// The face-screen buttons stand in two columns outside the face, one row
// every 100 units: the child's on the left, the adult's on the right and the
// bottom left. Rows 5 and 6 of the right column are free.
constexpr float LEFT_COLUMN = 60, RIGHT_COLUMN = 1230;
constexpr float Row(int n) { return 20 + 100.0f * n; }

// The recording mark stands in the screen's bottom right corner.
constexpr float REC_MARGIN = 20;
// A button that would change nothing shows faded.
constexpr float IDLE_BUTTON_ALPHA = 0.35f;

// The ring of the recording's time left: dashes just outside the record
// button, within its column (40 + 2 + 7 < 50 units from the centre line),
// close enough to read as one band; the time spent stays as a pale track.
constexpr int RING_DASHES = 60;
constexpr float RING_GAP = 2, RING_THICKNESS = 7, RING_DASH_LENGTH = 5.5f;

// The pace label's height, and the repetition's status over the hair, 320
// units wide, centred.
constexpr float LABEL_HEIGHT = 33;
constexpr float STATUS_WIDTH = 320, STATUS_HEIGHT = 40, COUNTDOWN_HEIGHT = 60;

// The homework's words, and where they stand: over the hair, above the eyes.
const char* const kStartHint = N_("Tap anywhere to start.");
const char* const kWellDone = N_("Well done!");
constexpr float HOMEWORK_X = 340;

}  // namespace

// The order of the rows is the order a tick tests the buttons in; leaving
// the face screen comes last but for the help, which only opens a veil.
const FaceButton FACE_BUTTONS[SLOT_COUNT] = {
    {"rect4607", "rect4608", LEFT_COLUMN, Row(1), 320, 870, false, 'T', "T", N_("tongue out / in"), &c_FaceScreen::PressTongue,
     &c_FaceScreen::ShowsTongue, &c_FaceScreen::TongueHidden},
    {"rect4621", "rect4622", RIGHT_COLUMN, Row(2), 320, 1000, true, 'S', "S", N_("paired/one side"), &c_FaceScreen::PressSymmetry,
     &c_FaceScreen::ShowsPaired, nullptr},
    {"boutonrec1.png", "boutonrec2.png", RIGHT_COLUMN, Row(3), 480, 1000, true, 'R', "R", N_("record / stop"),
     &c_FaceScreen::PressRecord, &c_FaceScreen::ShowsRecording, nullptr},
    {"boutonplay1.png", "boutonplay2.png", RIGHT_COLUMN, Row(4), 640, 1000, true, ' ', N_("Space"), N_("play / stop"),
     &c_FaceScreen::PressPlay, &c_FaceScreen::ShowsPlaying, nullptr},
    {"boutonmenu1.png", "boutonmenu2.png", RIGHT_COLUMN, Row(0), 640, 870, false, 'M', "M", N_("adult's buttons"),
     &c_FaceScreen::PressMenu, &c_FaceScreen::ShowsMenu, nullptr},
    {"rect4609", nullptr, RIGHT_COLUMN, Row(1), 160, 1000, true, KEY_BACKSPACE, N_("Backspace"), N_("reset the face"),
     &c_FaceScreen::PressReset, nullptr, nullptr},
    {"boutonrnd", nullptr, LEFT_COLUMN, Row(0), 160, 870, false, 'D', "D", N_("random face"), &c_FaceScreen::PressRandom, nullptr, nullptr},
    {"boutonsauver.png", nullptr, RIGHT_COLUMN, Row(5), 160, 1130, true, KEY_WITH_CTRL | 'S', "Ctrl+S", N_("save recording"),
     &c_FaceScreen::PressSave, nullptr, nullptr},
    {"boutonbiblio.png", nullptr, RIGHT_COLUMN, Row(6), 320, 1130, true, 'L', "L", N_("library"), &c_FaceScreen::PressLibrary,
     nullptr, nullptr},
    {"boutonmaison.png", nullptr, LEFT_COLUMN, Row(6), 480, 1130, true, KEY_HOME, N_("Home"), N_("back to title"),
     &c_FaceScreen::PressHome, nullptr, nullptr},
    {"boutonaide.png", nullptr, LEFT_COLUMN, Row(5), 640, 1130, true, KEY_F1, N_("F1 or ?"), N_("this help"), &c_FaceScreen::PressHelp,
     nullptr, nullptr},
};

const HomeworkLayout HOMEWORK_LAYOUTS[2] = {
    {HOMEWORK_X, 600, 40, 36, 24, 22,
     {{540, 640, 200, 70, N_("Start")},
      {HOMEWORK_X + 20, 140, 200, 60, N_("Again")},
      {HOMEWORK_X + 240, 140, 340, 60, N_("Keep in my library")}}},
    // Upright the face fills the width: the words over its hair, Start
    // under the buttons' rows.
    {30, 740, 20, 56, 38, 34,
     {{200, 1000, 400, 120, N_("Start")}, {50, 200, 260, 110, N_("Again")}, {330, 200, 420, 110, N_("Keep in my library")}}},
};

const HomeworkLayout& HomeworkLayoutFor(Arrangement a) { return HOMEWORK_LAYOUTS[a == Arrangement::Portrait ? 1 : 0]; }

const GestureKeyRow GESTURE_KEYS[GESTURE_KEY_COUNT] = {
    {'G', "G", N_("smiling mouth")},
    {'P', "P", N_("lips (pout)")},
    {'E', "E", N_("teeth")},
    {'I', "I", N_("tongue deeper")},
    {'O', "O", N_("mouth open (aah)")},
    {'B', "B", N_("lips pressed (mm)")},
    {'U', "U", N_("tongue up")},
    {'J', "J", N_("tongue down")},
};

const ControlBox PACE_BOXES[2] = {{1090, 435, 90, 50, ""}, {430, 822, 100, 96, ""}};

FaceShift FaceShiftFor(Arrangement a) {
    // Upright the face picture (784 units wide, at 248 in its own space)
    // stands 8 units from the screen's left edge.
    return a == Arrangement::Portrait ? FaceShift{-240, 0} : FaceShift{0, 0};
}

std::vector<const char*> FaceButtonPictures() {
    std::vector<const char*> names;
    for (const FaceButton& row : FACE_BUTTONS) {
        names.push_back(row.picture);
        names.push_back(row.picture2);
    }
    return names;
}

c_FaceScreen* c_FaceScreen::Init(c_FacePictures* shared, Child child, int seed) {
    pictures = shared;
    model = (new c_FaceModel())->Init(shared, child);
    model->random.state = seed;
    buttons = Array<c_Bouton*>(SLOT_COUNT);
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        const FaceButton& row = FACE_BUTTONS[slot];
        c_Bouton* b = (new c_Bouton())->Init(shared->buttons[2 * slot], shared->buttons[2 * slot + 1], 0, row.top);
        b->x0 = row.centreX - b->width * 0.5f;
        b->x1 = b->x0 + b->width;
        buttons[slot] = b;
    }
    return this;
}

int c_FaceScreen::ShownState(int slot) const {
    bool (c_FaceScreen::*shows)() const = FACE_BUTTONS[slot].shows;
    return shows && (this->*shows)() ? 1 : 0;
}

bool c_FaceScreen::Idle(int slot) const {
    bool (c_FaceScreen::*idle)() const = FACE_BUTTONS[slot].idle;
    return idle && (this->*idle)();
}

bool c_FaceScreen::PaceControlHit(float x, float y, Arrangement a) const {
    return player.playing && PACE_BOXES[a == Arrangement::Portrait ? 1 : 0].Inside(x, y);
}

ControlBox c_FaceScreen::ButtonBox(int slot, Arrangement a) const {
    const c_Bouton* b = Button(slot);
    if (a == Arrangement::Landscape) return {b->x0, b->y0, b->width, b->height, ""};
    float w = b->width * UPRIGHT_BUTTON_SCALE, h = b->height * UPRIGHT_BUTTON_SCALE;
    return {FACE_BUTTONS[slot].uprightX - w / 2, FACE_BUTTONS[slot].uprightY - h / 2, w, h, ""};
}

void c_FaceScreen::Leave() {
    pendingKeys = 0;
    keyGesture = KeyGesture();
}

void c_FaceScreen::Play(const Exercise& exercise, int times, RepeatChoice& choice) {
    Leave();
    player.choice = choice;
    player.PlayExercise(*model, exercise, times);
    choice = player.choice;
}

// ---- The buttons -------------------------------------------------------------

void c_FaceScreen::PressTongue(PressOutcome& out) { out.event = ENTRY_TONGUE; }
void c_FaceScreen::PressSymmetry(PressOutcome& out) { out.event = ENTRY_SYMMETRY; }
void c_FaceScreen::PressReset(PressOutcome& out) { out.event = ENTRY_RESET; }
void c_FaceScreen::PressRandom(PressOutcome& out) { out.event = ENTRY_RANDOM; }
void c_FaceScreen::PressRecord(PressOutcome& out) {
    // A new recording would take the place of one no file holds: ask first.
    if (!player.recordingOn && player.recordingUnsaved)
        out.request = Request::Of(Request::RECORD_ANEW);
    else
        player.PressRecord(*model);
}
void c_FaceScreen::PressPlay(PressOutcome&) { player.PressPlay(*model); }
void c_FaceScreen::PressMenu(PressOutcome&) { menuOpen = !menuOpen; }
void c_FaceScreen::PressHome(PressOutcome& out) { out.request = Request::Of(Request::HOME); }
void c_FaceScreen::PressLibrary(PressOutcome& out) { out.request = Request::Of(Request::OPEN_LIBRARY); }
void c_FaceScreen::PressHelp(PressOutcome& out) { out.request = Request::Of(Request::SHOW_HELP); }

void c_FaceScreen::PressSave(PressOutcome& out) { out.request = SaveRecording(); }

Request c_FaceScreen::SaveRecording() {
    player.StopRepeating();
    player.playing = false;
    Exercise exercise;
    if (!player.RecordingAsExercise(&exercise)) return Request::Say(_("Nothing to save: record an exercise first (R)."));
    std::string path;
    bool already = false;
    std::string problem = SaveExercise(exercise, LocalTimeNow(), &path, &already);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s\n", problem.c_str());
        return Request::Refuse(_("The exercise could not be saved. Check that the disk is not full, then save again."),
                               problem);
    }
    player.recordingUnsaved = false;
    if (already) return Request::Say(_("This exercise is in the library already."));
    return Request::Say(Printed(_("Saved in the library as \u201C%s\u201D."), exercise.title.c_str()));
}

// ---- Practice and homework ---------------------------------------------------

void c_FaceScreen::PlayPrescription(const Exercise& exercise, const std::string& file, bool asHomework,
                                    RepeatChoice& choice) {
    Leave();
    prescription = exercise;
    prescriptionFile = file;
    if (!asHomework) {
        StartPrescription(choice);
        return;
    }
    // The face waits at the exercise's start for the Start.
    player.StopRepeating();
    player.playing = false;
    model->ShowChild(exercise.child);
    model->ResetFace();
    model->ApplySnapshot(exercise.startFace);
    homework = Homework::INTRO;
}

void c_FaceScreen::StartPrescription(RepeatChoice& choice) {
    choice = RepeatChoice{prescription.repeat, prescription.holdSeconds};
    Play(prescription, prescription.repeat, choice);
    practising = true;
    if (homework != Homework::NONE) homework = Homework::PLAYING;
}

Request c_FaceScreen::FinishPractice() {
    if (!practising) return Request();
    practising = false;
    PracticeRow row;
    row.when = LocalTimeNow();
    row.title = prescription.title;
    row.file = prescriptionFile;
    row.child = prescription.child;
    row.asked = prescription.repeat;
    row.done = player.repetitionsDone;
    row.matched = player.repetitionsMatched;
    std::string problem = AppendPractice(row);
    if (problem.empty()) return Request();
    std::fprintf(stderr, "grimalou: %s\n", problem.c_str());
    return Request::Refuse(
        _("This practice could not be written in the practice log. Check that the disk is not full; "
          "the exercises are not affected."),
        problem);
}

Request c_FaceScreen::KeepHomework() {
    std::string path;
    bool already = false;
    std::string problem = SaveExercise(prescription, LocalTimeNow(), &path, &already);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s\n", problem.c_str());
        return Request::Refuse(_("The exercise could not be kept. Check that the disk is not full, then try again."),
                               problem);
    }
    if (already) return Request::Say(_("This exercise is in your library already."));
    return Request::Say(Printed(_("Kept in your library as \u201C%s\u201D."), prescription.title.c_str()));
}

// ---- A tick ------------------------------------------------------------------

Request c_FaceScreen::Tick(const AppInput& in, RepeatChoice& choice) {
    // Before homework starts, a tap anywhere (or Enter, or Space) starts it;
    // Home still leaves.
    if (homework == Homework::INTRO) {
        if (in.Key(KEY_HOME)) return Request::Of(Request::HOME);
        Request started;
        if (in.hit || in.Key(KEY_ENTER) || in.Key(' ')) {
            StartPrescription(choice);
            started.cues = SoundBit(SOUND_PRESS);
        }
        return started;
    }
    if (homework == Homework::ENDED) {
        auto clicked = [&](HomeworkControl c) {
            return in.hit && HomeworkLayoutFor(in.arrangement).boxes[c].Inside(in.x, in.y);
        };
        Request pressed;
        pressed.cues = SoundBit(SOUND_PRESS);
        if (clicked(HOMEWORK_AGAIN) || in.Key(KEY_ENTER)) {
            StartPrescription(choice);
            return pressed;
        }
        if (clicked(HOMEWORK_KEEP)) {
            pressed = KeepHomework();
            pressed.cues |= SoundBit(SOUND_PRESS);
            return pressed;
        }
    }
    Request said;
    unsigned keys = 0;
    if (in.AnyKey()) {
        for (int slot = 0; slot < SLOT_COUNT; ++slot) {
            int key = FACE_BUTTONS[slot].key;
            bool withCtrl = (key & KEY_WITH_CTRL) != 0;
            if (in.Key(key & ~KEY_WITH_CTRL) && withCtrl == in.ctrl) keys |= 1u << slot;
        }
        for (int k = 0; k < GESTURE_KEY_COUNT; ++k)
            if (in.Key(GESTURE_KEYS[k].key)) keys |= GestureKeyBit(k);
        RepeatChoice before = choice;
        if (in.Key(KEY_UP)) choice.repetitions = std::min(REPEAT_MAX, choice.repetitions + 1);
        if (in.Key(KEY_DOWN)) choice.repetitions = std::max(REPEAT_MIN, choice.repetitions - 1);
        if (in.Key(KEY_RIGHT)) choice.holdSeconds = std::min(HOLD_MAX_SECONDS, choice.holdSeconds + 1);
        if (in.Key(KEY_LEFT)) choice.holdSeconds = std::max(0, choice.holdSeconds - 1);
        if (choice.repetitions != before.repetitions || choice.holdSeconds != before.holdSeconds)
            said = Request::Say(Printed(TranslatePlural("Play %d time, hold %d s (up/down, left/right)", "Play %d times, hold %d s (up/down, left/right)", choice.repetitions), choice.repetitions,
                                       choice.holdSeconds));
        if (in.Key('1')) player.halfPace = false;
        if (in.Key('2')) player.halfPace = true;
    }
    player.choice = choice;

    // The screen's point, for the buttons, and the face's, for the face.
    Arrangement a = in.arrangement;
    FaceShift shift = FaceShiftFor(a);
    float x = in.x, y = in.y;
    bool hit = in.hit, touching = in.touching;
    // Keys wait while a finger or a key's gesture holds the pointer. A
    // button's key then acts on a tick of its own, one a tick: the recorder
    // stores one event a tick, in place of the sample of the touch that
    // starts with it, so that a playback does what was seen.
    pendingKeys |= keys;
    constexpr unsigned BUTTON_KEYS = (1u << SLOT_COUNT) - 1;
    keys = 0;
    unsigned waiting = pendingKeys & BUTTON_KEYS;
    bool pointerFree = !touching && !hit && !keyGesture.Running();
    if (waiting && pointerFree) {
        keys = waiting & (~waiting + 1);
        pendingKeys &= ~keys;
    }
    // A gesture key makes its gesture's touches, tick by tick; until the
    // gesture's release it owns the pointer.
    if (!keys && pointerFree)
        for (int k = 0; k < GESTURE_KEY_COUNT; ++k) {
            if (!(pendingKeys & GestureKeyBit(k))) continue;
            pendingKeys &= ~GestureKeyBit(k);
            if (model->KeyGestureFor(k, &keyGesture)) break;
        }
    if (keyGesture.Running()) {
        int t = keyGesture.tick++;
        x = (t == 0 ? keyGesture.x0 : keyGesture.x1) + shift.x;
        y = (t == 0 ? keyGesture.y0 : keyGesture.y1) + shift.y;
        hit = t == 0;
        touching = t < keyGesture.touchTicks;
        keys = 0;
    } else if (keys && !touching) {
        // A key is a click on its button: this tick touches the button's
        // centre, and the next, untouched, is the release.
        for (int slot = 0; slot < SLOT_COUNT; ++slot) {
            if (!(keys & (1u << slot))) continue;
            ControlBox box = ButtonBox(slot, a);
            x = box.x + box.w / 2;
            y = box.y + box.h / 2;
            break;
        }
        hit = touching = true;
    }

    // A button acts when a touch hits it where it shows, or when its key is
    // pressed, shown or not: the keys are the adult's, the menu only keeps
    // the buttons from a child's fingers.
    PressOutcome out;
    if (hit) {
        bool pace = PaceControlHit(x, y, a);
        for (int slot = 0; slot < SLOT_COUNT && out.request.kind == Request::NONE; ++slot) {
            bool pressed = (Visible(slot) && ButtonBox(slot, a).Inside(x, y)) || (keys & (1u << slot)) != 0;
            // Through a local: GCC's bounds check misreads the index of a
            // member call made straight from the table.
            void (c_FaceScreen::*press)(PressOutcome&) = FACE_BUTTONS[slot].press;
            if (pressed) {
                (this->*press)(out);
                out.request.cues |= SoundBit(SOUND_PRESS);
            }
        }
        if (pace) {
            player.halfPace = !player.halfPace;
            out.request.cues |= SoundBit(SOUND_PRESS);
        }
        // The face's own presses are applied by the one function that also
        // applies them when they are played back.
        if (out.event) model->ApplyEvent(out.event);
    }
    if (out.request.kind == Request::HOME || out.request.kind == Request::OPEN_LIBRARY ||
        out.request.kind == Request::RECORD_ANEW) {
        choice = player.choice;
        return out.request;
    }
    LiveTouch live;
    live.touching = touching;
    live.pressed = hit;
    live.x = x - shift.x;
    live.y = y - shift.y;
    live.onRecorder = ButtonBox(SLOT_RECORD, a).Inside(x, y) || ButtonBox(SLOT_PLAY, a).Inside(x, y);
    for (int f = 0; f < MORE_FINGERS; ++f)
        if (in.more[f].touching)
            live.more[f] = {true, static_cast<int>(in.more[f].x - shift.x), static_cast<int>(in.more[f].y - shift.y)};
    player.Step(*model, live, out.event);
    choice = player.choice;
    Request result = out.request.kind != Request::NONE || !out.request.message.empty() ? out.request : said;
    // A practice run that ended, or was stopped, leaves its row.
    if (practising && player.repeatPhase == RepeatPhase::Off) {
        Request logged = FinishPractice();
        if (homework == Homework::PLAYING) homework = Homework::ENDED;
        if (logged.problem) result = logged;
    }
    result.cues |= out.request.cues;
    return result;
}

// ---- Drawing -----------------------------------------------------------------

void c_FaceScreen::Draw(c_Canvas* c, Arrangement a) const {
    FaceShift shift = FaceShiftFor(a);
    FaceView view;
    view.shiftX = shift.x, view.shiftY = shift.y;
    c->PushMatrix();
    c->Translate(shift.x, shift.y);
    model->Draw(c, view);
    c->PopMatrix();
    float scale = a == Arrangement::Portrait ? UPRIGHT_BUTTON_SCALE : 1;
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (!Visible(slot)) continue;
        ControlBox box = ButtonBox(slot, a);
        if (Idle(slot)) c->SetAlpha(IDLE_BUTTON_ALPHA);
        c->DrawImage(Button(slot)->images[ShownState(slot)], box.x, box.y, 0, scale, scale);
        c->SetAlpha(1);
    }
    if (player.recordingOn)
        c->DrawImage(pictures->recordImage, ScreenWidth(a) - REC_MARGIN, ScreenHeight(a) - REC_MARGIN);
    DrawTimeLeft(c, a);
    if (player.playing) DrawPaceControl(c, a);
    DrawRepeatStatus(c, a);
    DrawHomework(c, a);
}

void c_FaceScreen::DrawHomework(c_Canvas* c, Arrangement a) const {
    const HomeworkLayout& l = HomeworkLayoutFor(a);
    const float middle = l.x + l.w / 2;
    const ControlBox* boxes = l.boxes;
    if (homework != Homework::INTRO && homework != Homework::ENDED) return;
    bool intro = homework == Homework::INTRO;
    std::vector<std::string> title = WrapLines(c, prescription.title, l.titleHeight, l.w - 40);
    std::vector<std::string> note;
    // No note, no line: wrapping gives an empty text one empty line.
    if (intro && !prescription.note.empty())
        note = WrapLines(c, prescription.note, l.textHeight, l.w - 40);
    float titleHeight = l.titleHeight * 1.2f * static_cast<float>(title.size());
    float height = intro ? 20 + titleHeight + l.textHeight * 1.3f * static_cast<float>(note.size() + 2)
                         : boxes[HOMEWORK_AGAIN].y + boxes[HOMEWORK_AGAIN].h + 20 -
                               l.top;
    c->SetColor(1, 1, 1);
    c->SetAlpha(0.92f);
    c->DrawRect(l.x, l.top, l.w, height);
    c->SetAlpha(1);
    c->SetColor(0.13f, 0.18f, 0.27f);
    float y = l.top + 14;
    if (!intro) {
        DrawLabel(c, _(kWellDone), middle, y, l.titleHeight, true);
        y += l.titleHeight * 1.3f;
        DrawLabel(c, FitLabel(c, prescription.title, l.textHeight, l.w - 40), middle, y,
                  l.textHeight, true);
        DrawControl(c, boxes[HOMEWORK_AGAIN], l.controlTextHeight);
        DrawControl(c, boxes[HOMEWORK_KEEP], l.controlTextHeight);
        c->SetColor(1, 1, 1);
        return;
    }
    for (const std::string& line : title) {
        DrawLabel(c, line, middle, y, l.titleHeight, true);
        y += l.titleHeight * 1.2f;
    }
    y += 10;
    for (const std::string& line : note) {
        DrawLabel(c, line, middle, y, l.textHeight, true);
        y += l.textHeight * 1.3f;
    }
    DrawLabel(c, PrescriptionText(prescription), middle, y, l.textHeight, true);
    // The hint stands on a calm strip of its own, over the child's collar.
    const ControlBox& start = boxes[HOMEWORK_START];
    float hintY = start.y + start.h + 10;
    c->SetColor(1, 1, 1);
    c->SetAlpha(0.92f);
    c->DrawRect(l.x, hintY - 6, l.w, l.textHeight + 12);
    c->SetAlpha(1);
    c->SetColor(0.35f, 0.35f, 0.35f);
    DrawLabel(c, _(kStartHint), middle, hintY, l.textHeight, true);
    DrawControl(c, boxes[HOMEWORK_START], l.controlTextHeight);
    c->SetColor(1, 1, 1);
}

// The band left runs from the top clockwise; it empties from the top
// clockwise too, like a clock's hand going round.
void c_FaceScreen::DrawTimeLeft(c_Canvas* canvas, Arrangement a) const {
    float left = player.RecordTimeLeft();
    if (left <= 0) return;
    ControlBox b = ButtonBox(SLOT_RECORD, a);
    float cx = b.x + b.w * 0.5f, cy = b.y + b.h * 0.5f;
    float radius = std::max(b.w, b.h) * 0.5f + RING_GAP;
    int spent = RING_DASHES - static_cast<int>(std::ceil(left * RING_DASHES));
    for (int i = 0; i < RING_DASHES; ++i) {
        if (i < spent)
            canvas->SetColor(0.86f, 0.86f, 0.86f);
        else
            canvas->SetColor(0.85f, 0.16f, 0.14f);
        canvas->PushMatrix();
        canvas->Translate(cx, cy);
        canvas->Rotate(-360.0f * i / RING_DASHES);
        canvas->DrawRect(-RING_DASH_LENGTH * 0.5f, -radius - RING_THICKNESS, RING_DASH_LENGTH, RING_THICKNESS);
        canvas->PopMatrix();
    }
    canvas->SetColor(1, 1, 1);
}

void c_FaceScreen::DrawPaceControl(c_Canvas* canvas, Arrangement a) const {
    const ControlBox& box = PACE_BOXES[a == Arrangement::Portrait ? 1 : 0];
    if (player.halfPace)
        canvas->SetColor(0.93f, 0.55f, 0.16f);
    else
        canvas->SetColor(0.36f, 0.56f, 0.78f);
    canvas->DrawRect(box.x, box.y, box.w, box.h);
    canvas->SetColor(1, 1, 1);
    const String& label = CachedText(player.halfPace ? _("1/2x") : _("1x"));
    float scale = TextScale(canvas, LABEL_HEIGHT), h = canvas->font ? LABEL_HEIGHT : 0;
    canvas->DrawText(label, box.x + (box.w - canvas->TextWidth(label, scale)) / 2, box.y + (box.h - h) / 2, scale);
}

void c_FaceScreen::DrawRepeatStatus(c_Canvas* c, Arrangement a) const {
    bool between = player.Between();
    float centre = ScreenWidth(a) / 2;
    // A calm panel under the text, which stands over the hair.
    auto panel = [&](float y, float height) {
        c->SetColor(1, 1, 1);
        c->SetAlpha(0.85f);
        c->DrawRect(centre - STATUS_WIDTH / 2, y, STATUS_WIDTH, height);
        c->SetAlpha(1);
    };
    if (player.repeatPhase != RepeatPhase::Off && player.choice.repetitions > 1) {
        panel(10, between ? 140 : 60);
        c->SetColor(0.13f, 0.18f, 0.27f);
        DrawLabel(c, Printed("%d / %d", player.repetition, player.choice.repetitions), centre, 20,
                  STATUS_HEIGHT, true);
    }
    if (between) {
        int seconds = player.CountdownSeconds();
        bool hold = player.repeatPhase == RepeatPhase::Hold;
        if (hold)
            c->SetColor(0.85f, 0.35f, 0.1f);
        else
            c->SetColor(0.2f, 0.5f, 0.3f);
        DrawLabel(c, Printed(hold ? _("hold %d") : _("rest %d"), seconds), centre, 80, COUNTDOWN_HEIGHT, true);
    }
    c->SetColor(1, 1, 1);
}
