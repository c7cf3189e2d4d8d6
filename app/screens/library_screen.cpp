// A card's picture is the face screen's face drawn small: each file is read
// and played to its end out of sight once, on a face of its own, when its
// page first shows, so a library of hundreds of exercises costs only the
// page on screen.
#include "app/screens/library_screen.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/language/language.h"
#include "canvas/canvas.h"
#include "framework/app.h"
#include "host/game.h"

namespace {

// The card's smaller lines (its prescription, how often it was practised),
// and the editor's text.
constexpr float SMALL_TEXT_HEIGHT = 18, TEXT_HEIGHT = 22;
// The editing panel, landscape.
constexpr float EDIT_X = 300, EDIT_Y = 150, EDIT_W = 680, EDIT_H = 500;

// What the mail that sends an exercise says; how to open it.
const char* const kSendSubject = N_("A Grimalou exercise");
const char* const kSendBody =
    N_("Here is an exercise to practise at home with Grimalou.\n\n"
       "Open the attached file with Grimalou (a double click on it, or grimalou FILE in a terminal). "
       "It shows what to do, then plays the exercise; at its end, Keep in my library keeps it.\n");
const char* const kCardButtonLabels[CARD_CONTROLS] = {N_("Edit"), N_("Send"), N_("Show")};

constexpr float BAR_Y = 650, UPRIGHT_BAR_Y = 1078, UPRIGHT_PAGE_Y = 1182;
const LibraryLayout LAYOUTS[2] = {
    // The face picture (784 x 800 units) shrinks into a card's upper part,
    // over three lines of text and a row of buttons; the grid stands above
    // the bar of controls.
    {LIBRARY_COLUMNS, LIBRARY_ROWS, 260, 256, 14, 90, 140, 36, 40, 22,
     {{40, 24, 130, 50, N_("< Back")}, {450, BAR_Y, 60, 50, "<"}, {770, BAR_Y, 60, 50, ">"},
      {190, BAR_Y, 50, 50, "-"}, {330, BAR_Y, 50, 50, "+"}, {950, BAR_Y, 50, 50, "-"},
      {1110, BAR_Y, 50, 50, "+"}, {460, 430, 150, 60, N_("Yes")}, {670, 430, 150, 60, N_("No")}},
     {340, 280, 600, 240, ""},
     640, BAR_Y + 14, 40, BAR_Y + 14, 285, 860, BAR_Y + 14, 1055, BAR_Y + 70, 30},
    // Upright, six cards a page, their buttons a finger high.
    {2, 3, 370, 320, 8, 100, 110, 92, 44, 26,
     {{20, 4, 200, 92, N_("< Back")}, {200, UPRIGHT_PAGE_Y, 92, 92, "<"}, {508, UPRIGHT_PAGE_Y, 92, 92, ">"},
      {150, UPRIGHT_BAR_Y, 92, 92, "-"}, {308, UPRIGHT_BAR_Y, 92, 92, "+"}, {540, UPRIGHT_BAR_Y, 92, 92, "-"},
      {698, UPRIGHT_BAR_Y, 92, 92, "+"}, {130, 650, 240, 96, N_("Yes")}, {430, 650, 240, 96, N_("No")}},
     {80, 470, 640, 310, ""},
     400, UPRIGHT_PAGE_Y + 32, 20, UPRIGHT_BAR_Y + 32, 275, 430, UPRIGHT_BAR_Y + 32, 665, 0, 92},
};



std::string PractisedText(int days) {
    if (days == 0) return _("not practised this week");
    return Printed(TranslatePlural("practised %d day of 7", "practised %d days of 7", static_cast<unsigned long>(days)), days);
}

}  // namespace

const LibraryLayout& LibraryLayoutFor(Arrangement a) { return LAYOUTS[a == Arrangement::Portrait ? 1 : 0]; }

const EditLayout EDIT_LAYOUTS[2] = {
    {{EDIT_X, EDIT_Y, EDIT_W, EDIT_H, ""},
     {{EDIT_X + 30, EDIT_Y + 110, EDIT_W - 60, 50, ""},
      {EDIT_X + 30, EDIT_Y + 215, EDIT_W - 60, 50, ""},
      {EDIT_X + 30, EDIT_Y + 320, 50, 50, "-"},
      {EDIT_X + 220, EDIT_Y + 320, 50, 50, "+"},
      {EDIT_X + 360, EDIT_Y + 320, 50, 50, "-"},
      {EDIT_X + 560, EDIT_Y + 320, 50, 50, "+"},
      {EDIT_X + 110, EDIT_Y + 410, 200, 60, N_("Save")},
      {EDIT_X + 370, EDIT_Y + 410, 200, 60, N_("Cancel")}},
     TEXT_HEIGHT, EDIT_Y + 20, EDIT_Y + EDIT_H - 20},
    // Upright: one control a row, each at least 100 units (about 48 CSS
    // px on a phone 390 px wide).
    {{20, 120, 760, 1040, ""},
     {{50, 280, 700, 100, ""},
      {50, 460, 700, 100, ""},
      {50, 610, 110, 110, "-"},
      {640, 610, 110, 110, "+"},
      {50, 750, 110, 110, "-"},
      {640, 750, 110, 110, "+"},
      {50, 910, 320, 120, N_("Save")},
      {430, 910, 320, 120, N_("Cancel")}},
     34, 150, 1110},
};

const EditLayout& EditLayoutFor(Arrangement a) { return EDIT_LAYOUTS[a == Arrangement::Portrait ? 1 : 0]; }

ControlBox CardControlBox(const ControlBox& card, CardControl control, Arrangement a) {
    float width = (card.w - 4 * 6) / 3, height = LibraryLayoutFor(a).cardButtonHeight;
    return {card.x + 6 + static_cast<float>(control) * (width + 6), card.y + card.h - height - 6, width, height,
            kCardButtonLabels[control]};
}


ControlBox LibraryCardBox(int i, Arrangement a) {
    const LibraryLayout& l = LibraryLayoutFor(a);
    float left = (ScreenWidth(a) - l.columns * l.cardWidth - (l.columns - 1) * l.gap) / 2;
    return {left + static_cast<float>(i % l.columns) * (l.cardWidth + l.gap),
            l.gridTop + static_cast<float>(i / l.columns) * (l.cardHeight + l.gap), l.cardWidth, l.cardHeight, ""};
}

int c_LibraryScreen::Pages() const {
    const int size = LibraryLayoutFor(laidOut).PageSize();
    return std::max(1, static_cast<int>((entries.size() + size - 1) / size));
}

Request c_LibraryScreen::Open(c_FacePictures* shared, int startPage) {
    pictures = shared;
    Request said;
    std::string problem = ListExercises(&entries);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: the library %s cannot be read: %s\n", ExerciseFolder().c_str(),
                     problem.c_str());
        said = Request::Refuse(_("The library cannot be read. Check that its folder is yours and can be read."),
                               problem);
    }
    std::string text;
    today = LocalTimeNow();
    problem = LoadPracticeLog(&practice, &text);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s\n", problem.c_str());
        if (!said.problem)
            said = Request::Refuse(
                _("The practice log is damaged: some days may be missing from the cards. The exercises are not "
                  "affected; new practice is still written in it."),
                problem);
    }
    cards.assign(entries.size(), LibraryCard());
    endFaces = Array<c_FaceModel*>(static_cast<int>(entries.size()));
    page = std::clamp(startPage, 0, Pages() - 1);
    confirmDelete = -1;
    editing = -1;
    PreparePage();
    return said;
}

void c_LibraryScreen::PreparePage() {
    const int size = LibraryLayoutFor(laidOut).PageSize(), first = page * size;
    for (int i = first; i < first + size && i < static_cast<int>(entries.size()); ++i) {
        LibraryCard& card = cards[i];
        if (card.read) continue;
        card.read = true;
        card.problem = LoadExercise(entries[i].path, &card.exercise);
        if (!card.problem.empty())
            std::fprintf(stderr, "grimalou: %s: %s\n", entries[i].path.c_str(), card.problem.c_str());
        else
            endFaces[i] = EndFaceOf(pictures, card.exercise);
    }
}

int c_LibraryScreen::CardAt(float x, float y, Arrangement a) const {
    const int size = std::min(LibraryLayoutFor(laidOut).PageSize(), LibraryLayoutFor(a).PageSize());
    for (int i = 0; i < size; ++i) {
        if (page * LibraryLayoutFor(laidOut).PageSize() + i >= static_cast<int>(entries.size())) break;
        if (LibraryCardBox(i, a).Inside(x, y)) return i;
    }
    return -1;
}

Request c_LibraryScreen::Delete(int index) {
    confirmDelete = -1;
    if (index < 0 || index >= static_cast<int>(entries.size())) return Request();
    LibraryEntry entry = entries[index];
    std::string problem = DeleteExercise(entry.path);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s: %s\n", entry.path.c_str(), problem.c_str());
        return Request::Say(problem);
    }
    entries.erase(entries.begin() + index);
    cards.erase(cards.begin() + index);
    Array<c_FaceModel*> kept(static_cast<int>(entries.size()));
    for (int i = 0, j = 0; i < endFaces.Length(); ++i)
        if (i != index) kept[j++] = endFaces[i];
    endFaces = kept;
    page = std::min(page, Pages() - 1);
    PreparePage();
    return Request::Say(Printed(_("Deleted %s"), entry.name.c_str()));
}

// ---- Editing, sending, showing -------------------------------------------------

void c_LibraryScreen::StartEditing(int index) {
    editing = index;
    draft = cards[index].exercise;
    titleField.Start(draft.title, TITLE_MAX_CHARS);
    noteField.Start(draft.note, NOTE_MAX_CHARS);
    focus = EDIT_TITLE;
}

Request c_LibraryScreen::EditTick(const AppInput& in) {
    const ControlBox* boxes = EditLayoutFor(in.arrangement).boxes;
    auto clicked = [&](EditControl c) { return in.hit && boxes[c].Inside(in.x, in.y); };
    if (clicked(EDIT_SAVE)) return SaveEdit();
    if (clicked(EDIT_CANCEL)) {
        editing = -1;
        return Request();
    }
    if (in.entryField >= 0) {
        focus = in.entryField == 0 ? EDIT_TITLE : EDIT_NOTE;
        (focus == EDIT_TITLE ? titleField : noteField).Replace(in.entryText, in.entryCaret);
        if (in.entryEnd == AppInput::ENTRY_DONE) return SaveEdit();
        if (in.entryEnd == AppInput::ENTRY_GIVEN_UP) editing = -1;
        return Request();
    }
    if (clicked(EDIT_TITLE)) focus = EDIT_TITLE;
    if (clicked(EDIT_NOTE)) focus = EDIT_NOTE;
    if (in.Key(KEY_TAB)) focus = focus == EDIT_TITLE ? EDIT_NOTE : EDIT_TITLE;
    if (clicked(EDIT_MORE) || in.Key(KEY_UP)) draft.repeat = std::min(REPEAT_MAX, draft.repeat + 1);
    if (clicked(EDIT_FEWER) || in.Key(KEY_DOWN)) draft.repeat = std::max(REPEAT_MIN, draft.repeat - 1);
    if (clicked(EDIT_LONGER) || in.Key(KEY_PAGE_UP)) draft.holdSeconds = std::min(HOLD_MAX_SECONDS, draft.holdSeconds + 1);
    if (clicked(EDIT_SHORTER) || in.Key(KEY_PAGE_DOWN)) draft.holdSeconds = std::max(0, draft.holdSeconds - 1);
    TextField& field = focus == EDIT_TITLE ? titleField : noteField;
    switch (field.Edit(in)) {
        case TextField::DONE: return SaveEdit();
        case TextField::GIVEN_UP: editing = -1; break;
        case TextField::EDITING: break;
    }
    return Request();
}

std::vector<c_LibraryScreen::FieldView> c_LibraryScreen::TextFields(Arrangement a) const {
    if (editing < 0) return {};
    const ControlBox* boxes = EditLayoutFor(a).boxes;
    return {{boxes[EDIT_TITLE], &titleField, focus == EDIT_TITLE}, {boxes[EDIT_NOTE], &noteField, focus == EDIT_NOTE}};
}

Request c_LibraryScreen::SaveEdit() {
    int index = editing;
    editing = -1;
    Exercise changed = draft;
    auto trimmed = [](const std::string& text) {
        size_t start = text.find_first_not_of(' ');
        return start == std::string::npos ? std::string() : text.substr(start, text.find_last_not_of(' ') + 1 - start);
    };
    // A title typed away keeps the one it had.
    changed.title = trimmed(titleField.text).empty() ? cards[index].exercise.title : trimmed(titleField.text);
    changed.note = trimmed(noteField.text);
    std::string problem = UpdateExercise(entries[index].path, changed);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s: %s\n", entries[index].path.c_str(), problem.c_str());
        return Request::Refuse(_("The changes could not be saved. Check that the disk is not full, then try again."),
                               problem);
    }
    cards[index].exercise = changed;
    return Request::Say(Printed(_("Saved \u201C%s\u201D."), changed.title.c_str()));
}

Request c_LibraryScreen::Send(int index) const {
    std::string problem = theHost->SendFile(entries[index].path, _(kSendSubject), _(kSendBody));
    if (problem.empty()) return Request();
    return Request::Refuse(_("The exercise could not be handed to a mail program. Show its file, then attach it to a "
                             "message yourself."),
                           problem);
}

Request c_LibraryScreen::ShowFile(int index) const {
    std::string problem = theHost->ShowFile(entries[index].path);
    if (problem.empty()) return Request();
    return Request::Refuse(Printed(_("The folder of the exercise could not be opened. Its file is %s."), entries[index].path.c_str()),
                           problem);
}

Request c_LibraryScreen::Tick(const AppInput& in, RepeatChoice& choice) {
    if (in.arrangement != laidOut) {
        int first = page * LibraryLayoutFor(laidOut).PageSize();
        laidOut = in.arrangement;
        page = first / LibraryLayoutFor(laidOut).PageSize();
        PreparePage();
    }
    RepeatChoice chosen = choice;
    int pageWas = page, confirmWas = confirmDelete, editingWas = editing;
    // A press on a card always does something (opens, sends, shows, edits,
    // asks to delete, or says why it cannot).
    bool onCard = in.hit && editing < 0 && confirmDelete < 0 && CardAt(in.x, in.y, in.arrangement) >= 0;
    Request r = TickControls(in, choice);
    bool acted = onCard || r.kind != Request::NONE || !r.message.empty() || chosen.repetitions != choice.repetitions ||
                 chosen.holdSeconds != choice.holdSeconds || page != pageWas || confirmDelete != confirmWas ||
                 editing != editingWas;
    if (acted) r.cues |= SoundBit(SOUND_PRESS);
    return r;
}

Request c_LibraryScreen::TickControls(const AppInput& in, RepeatChoice& choice) {
    const LibraryLayout& l = LibraryLayoutFor(in.arrangement);
    auto clicked = [&](LibraryControl c) { return in.hit && l.controls[c].Inside(in.x, in.y); };
    if (editing >= 0) return EditTick(in);

    if (confirmDelete >= 0) {
        if (in.Key('Y') || in.Key(KEY_ENTER) || clicked(YES)) return Delete(confirmDelete);
        if (in.Key('N') || in.Key(KEY_ESCAPE) || in.hit) confirmDelete = -1;
        return Request();
    }
    if (in.Key(KEY_ESCAPE) || in.Key('L') || clicked(BACK)) return Request::Of(Request::CLOSE_LIBRARY);
    if (in.Key(KEY_UP) || clicked(MORE)) choice.repetitions = std::min(REPEAT_MAX, choice.repetitions + 1);
    if (in.Key(KEY_DOWN) || clicked(FEWER)) choice.repetitions = std::max(REPEAT_MIN, choice.repetitions - 1);
    if (in.Key(KEY_RIGHT) || clicked(LONGER)) choice.holdSeconds = std::min(HOLD_MAX_SECONDS, choice.holdSeconds + 1);
    if (in.Key(KEY_LEFT) || clicked(SHORTER)) choice.holdSeconds = std::max(0, choice.holdSeconds - 1);
    int next = page;
    if (in.Key(KEY_PAGE_UP) || clicked(PAGE_BACK)) next -= 1;
    if (in.Key(KEY_PAGE_DOWN) || clicked(PAGE_ON)) next += 1;
    next = std::clamp(next, 0, Pages() - 1);
    if (next != page) {
        page = next;
        PreparePage();
        return Request();
    }
    int card = in.hit ? CardAt(in.x, in.y, in.arrangement) : -1;
    if (card < 0) return Request();
    int index = page * LibraryLayoutFor(laidOut).PageSize() + card;
    // The cross in the card's corner deletes, anywhere else opens.
    ControlBox box = LibraryCardBox(card, in.arrangement);
    if (in.x > box.x + box.w - l.crossSize && in.y < box.y + l.crossSize) {
        confirmDelete = index;
        return Request();
    }
    bool readable = cards[index].problem.empty();
    if (CardControlBox(box, CARD_SEND, in.arrangement).Inside(in.x, in.y)) return Send(index);
    if (CardControlBox(box, CARD_SHOW, in.arrangement).Inside(in.x, in.y)) return ShowFile(index);
    if (!readable)
        return Request::Refuse(RefusedFileAdvice(cards[index].problem), entries[index].name + ": " + cards[index].problem);
    if (CardControlBox(box, CARD_EDIT, in.arrangement).Inside(in.x, in.y)) {
        StartEditing(index);
        return Request();
    }
    Request play = Request::Of(Request::PLAY);
    play.exercise = cards[index].exercise;
    play.file = entries[index].name;
    return play;
}

// ---- Drawing ---------------------------------------------------------------

void c_LibraryScreen::Draw(c_Canvas* c, Arrangement a, const RepeatChoice& choice, bool namesKeys) const {
    const LibraryLayout& l = LibraryLayoutFor(a);
    float w = ScreenWidth(a), text = l.textHeight;
    c->SetColor(0.95f, 0.96f, 0.98f);
    c->DrawRect(0, 0, w, ScreenHeight(a));
    c->SetColor(0.13f, 0.18f, 0.27f);
    DrawLabel(c, _("Library"), w / 2, 30, l.titleHeight, true);
    DrawControl(c, l.controls[BACK], text);

    int count = static_cast<int>(entries.size());
    if (count == 0) {
        c->SetColor(0.35f, 0.35f, 0.35f);
        DrawWrapped(c,
                    namesKeys ? _("No exercise saved yet: record one (R), then save it (Ctrl+S).")
                              : _("No exercise saved yet: record one with the red button, then save it with the "
                                  "tray button."),
                    w / 2, 360, w - 80, text);
    }
    // Drawn before the tick has seen the screen turn: the places both have.
    const int first = page * LibraryLayoutFor(laidOut).PageSize();
    const int places = std::min(LibraryLayoutFor(laidOut).PageSize(), l.PageSize());
    for (int i = 0; i < places && first + i < count; ++i) DrawCard(c, a, i);

    for (LibraryControl id : {PAGE_BACK, PAGE_ON, FEWER, MORE, SHORTER, LONGER}) DrawControl(c, l.controls[id], text);
    c->SetColor(0.13f, 0.18f, 0.27f);
    DrawLabel(c, Printed(_("page %d / %d"), page + 1, Pages()), l.pageX, l.pageY, text, true);
    DrawLabel(c, _("Repeat"), l.repeatX, l.repeatY, text, false);
    DrawLabel(c, Printed(_("%d x"), choice.repetitions), l.timesX, l.repeatY, text, true);
    DrawLabel(c, _("Hold"), l.holdX, l.holdY, text, false);
    DrawLabel(c, Printed("%d s", choice.holdSeconds), l.secondsX, l.holdY, text, true);
    if (l.hintY > 0) {
        c->SetColor(0.45f, 0.45f, 0.45f);
        DrawLabel(c,
                  namesKeys ? _("Click an exercise to play it. Keys: Up/Down repeat, Left/Right hold of new recordings, "
                                "Page Up/Down, Escape.")
                            : _("Tap an exercise to play it."),
                  w / 2, l.hintY, text * 0.8f, true);
    }

    if (confirmDelete >= 0 && confirmDelete < count) {
        const ControlBox& q = l.question;
        c->SetColor(0, 0, 0);
        c->SetAlpha(0.5f);
        c->DrawRect(0, 0, w, ScreenHeight(a));
        c->SetAlpha(1);
        c->SetColor(1, 1, 1);
        c->DrawRect(q.x, q.y, q.w, q.h);
        c->SetColor(0.13f, 0.18f, 0.27f);
        DrawLabel(c, _("Delete this exercise?"), w / 2, q.y + 30, text * 1.3f, true);
        DrawLabel(c, entries[confirmDelete].name + (namesKeys ? _("  (Y / N)") : ""), w / 2, q.y + 80, text, true);
        DrawControl(c, l.controls[YES], text);
        DrawControl(c, l.controls[NO], text);
    }
    DrawEditor(c, a, namesKeys);
    c->SetColor(1, 1, 1);
}

void c_LibraryScreen::DrawCard(c_Canvas* c, Arrangement a, int place) const {
    const LibraryLayout& l = LibraryLayoutFor(a);
    const float CARD_WIDTH = l.cardWidth, CARD_HEIGHT = l.cardHeight, PICTURE_HEIGHT = l.pictureHeight;
    const float CROSS_SIZE = l.crossSize, TEXT_HEIGHT = l.textHeight;
    const float SMALL = TextHeight(a, SMALL_TEXT_HEIGHT);
    int index = page * LibraryLayoutFor(laidOut).PageSize() + place;
    const LibraryEntry& entry = entries[index];
    const LibraryCard& card = cards[index];
    ControlBox box = LibraryCardBox(place, a);
    float x = box.x, y = box.y;
    c->SetColor(1, 1, 1);
    c->DrawRect(x, y, CARD_WIDTH, CARD_HEIGHT);
    const c_FaceModel* face = endFaces[index];
    if (face) {
        // The face picture spans faceX .. faceX + width of the screen.
        FaceView view;
        view.scale = PICTURE_HEIGHT / static_cast<float>(face->faceImage->Height());
        view.shiftX = x + (CARD_WIDTH - view.scale * face->faceImage->Width()) / 2 - view.scale * face->faceX;
        view.shiftY = y + 6;
        c->PushMatrix();
        c->Translate(view.shiftX, view.shiftY);
        c->Scale(view.scale, view.scale);
        c->SetColor(1, 1, 1);
        face->Draw(c, view);
        c->PopMatrix();
    } else {
        c->SetColor(0.7f, 0.2f, 0.15f);
        DrawLabel(c, _("cannot be read"), x + CARD_WIDTH / 2, y + 60, TEXT_HEIGHT, true);
    }
    float textY = y + PICTURE_HEIGHT + 10, room = CARD_WIDTH - 12;
    c->SetColor(0.13f, 0.18f, 0.27f);
    if (card.problem.empty()) {
        const Exercise& e = card.exercise;
        DrawLabel(c, FitLabel(c, e.title, TEXT_HEIGHT, room), x + CARD_WIDTH / 2, textY, TEXT_HEIGHT, true);
        c->SetColor(0.3f, 0.35f, 0.45f);
        DrawLabel(c, PrescriptionText(e), x + CARD_WIDTH / 2, textY + TEXT_HEIGHT * 1.25f, SMALL, true);
        int days = DaysPractised(practice, e.title, entry.name, today);
        if (days > 0)
            c->SetColor(0.2f, 0.5f, 0.3f);
        else
            c->SetColor(0.5f, 0.5f, 0.5f);
        std::string practised = PractisedText(days);
        DrawLabel(c, practised, x + CARD_WIDTH / 2, textY + TEXT_HEIGHT * 1.25f + SMALL * 1.25f,
                  FittingHeight(c, practised, SMALL, room), true);
    } else {
        DrawLabel(c, FitLabel(c, entry.name, SMALL, room), x + CARD_WIDTH / 2, textY, SMALL,
                  true);
    }
    for (int k = 0; k < CARD_CONTROLS; ++k) {
        ControlBox b = CardControlBox(box, static_cast<CardControl>(k), a);
        c->SetColor(0.36f, 0.56f, 0.78f);
        c->DrawRect(b.x, b.y, b.w, b.h);
        c->SetColor(1, 1, 1);
        DrawBoxLabel(c, b, SMALL);
    }
    c->SetColor(0.85f, 0.3f, 0.25f);
    c->DrawRect(x + CARD_WIDTH - CROSS_SIZE, y, CROSS_SIZE, CROSS_SIZE);
    c->SetColor(1, 1, 1);
    DrawLabel(c, "x", x + CARD_WIDTH - CROSS_SIZE / 2, y + (CROSS_SIZE - TEXT_HEIGHT) / 2, TEXT_HEIGHT, true);
}

void c_LibraryScreen::DrawEditor(c_Canvas* c, Arrangement a, bool namesKeys) const {
    if (editing < 0) return;
    const EditLayout& l = EditLayoutFor(a);
    const ControlBox* boxes = l.boxes;
    const float text = l.textHeight;
    c->SetColor(0, 0, 0);
    c->SetAlpha(0.5f);
    c->DrawRect(0, 0, ScreenWidth(a), ScreenHeight(a));
    c->SetAlpha(1);
    c->SetColor(0.95f, 0.96f, 0.98f);
    c->DrawRect(l.panel.x, l.panel.y, l.panel.w, l.panel.h);
    c->SetColor(0.13f, 0.18f, 0.27f);
    const float middle = l.panel.x + l.panel.w / 2;
    DrawLabel(c, _("Edit this exercise"), middle, l.headingY, text * 1.4f, true);
    DrawLabel(c, _("Title"), boxes[EDIT_TITLE].x, boxes[EDIT_TITLE].y - text - 8, text, false);
    DrawLabel(c, _("Note for home"), boxes[EDIT_NOTE].x, boxes[EDIT_NOTE].y - text - 8, text, false);
    titleField.Draw(c, boxes[EDIT_TITLE], focus == EDIT_TITLE);
    noteField.Draw(c, boxes[EDIT_NOTE], focus == EDIT_NOTE);
    c->SetColor(0.13f, 0.18f, 0.27f);
    auto between = [&](EditControl left, EditControl right, const std::string& label) {
        const ControlBox& b = boxes[left];
        DrawLabel(c, label, (b.x + boxes[right].x + boxes[right].w) / 2, b.y + (b.h - text) / 2, text, true);
    };
    between(EDIT_FEWER, EDIT_MORE, Printed(_("Repeat %d x"), draft.repeat));
    between(EDIT_SHORTER, EDIT_LONGER, Printed(_("Hold %d s"), draft.holdSeconds));
    for (EditControl id : {EDIT_FEWER, EDIT_MORE, EDIT_SHORTER, EDIT_LONGER, EDIT_SAVE, EDIT_CANCEL})
        DrawControl(c, boxes[id], text);
    if (namesKeys) {
        c->SetColor(0.45f, 0.45f, 0.45f);
        DrawLabel(c, _("Enter saves, Escape cancels, Tab goes to the other line."), middle, l.hintY,
                  TextHeight(a, SMALL_TEXT_HEIGHT), true);
    }
}
