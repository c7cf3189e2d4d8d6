// A card's picture is the face screen's face drawn small: each file is read
// and played to its end out of sight once, on a face of its own, when its
// page first shows, so a library of hundreds of exercises costs only the
// page on screen.
#include "app/screens/library_screen.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "canvas/canvas.h"

namespace {

constexpr float BAR_Y = 650, UPRIGHT_BAR_Y = 1084, UPRIGHT_PAGE_Y = 1184;
const LibraryLayout LAYOUTS[2] = {
    // The face picture (784 x 800 units) shrinks into a card's upper part,
    // two lines of text under it; the grid stands above the bar of controls.
    {4, 260, 256, 14, 90, 196, 36, 40, 22,
     {{40, 24, 130, 50, "< Back"}, {450, BAR_Y, 60, 50, "<"}, {770, BAR_Y, 60, 50, ">"},
      {190, BAR_Y, 50, 50, "-"}, {330, BAR_Y, 50, 50, "+"}, {950, BAR_Y, 50, 50, "-"},
      {1110, BAR_Y, 50, 50, "+"}, {460, 430, 150, 60, "Yes"}, {670, 430, 150, 60, "No"}},
     {340, 280, 600, 240, ""},
     640, BAR_Y + 14, 40, BAR_Y + 14, 285, 860, BAR_Y + 14, 1055, BAR_Y + 70},
    {2, 370, 225, 16, 120, 150, 90, 44, 26,
     {{20, 15, 200, 90, "< Back"}, {200, UPRIGHT_PAGE_Y, 90, 90, "<"}, {510, UPRIGHT_PAGE_Y, 90, 90, ">"},
      {150, UPRIGHT_BAR_Y, 90, 90, "-"}, {310, UPRIGHT_BAR_Y, 90, 90, "+"}, {540, UPRIGHT_BAR_Y, 90, 90, "-"},
      {700, UPRIGHT_BAR_Y, 90, 90, "+"}, {130, 650, 240, 96, "Yes"}, {430, 650, 240, 96, "No"}},
     {80, 470, 640, 310, ""},
     400, UPRIGHT_PAGE_Y + 32, 20, UPRIGHT_BAR_Y + 32, 275, 430, UPRIGHT_BAR_Y + 32, 665, 0},
};

std::string Format(const char* format, int a, int b = 0) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string DateText(const LocalTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    return text;
}

}  // namespace

const LibraryLayout& LibraryLayoutFor(Arrangement a) { return LAYOUTS[a == Arrangement::Portrait ? 1 : 0]; }

ControlBox LibraryCardBox(int i, Arrangement a) {
    const LibraryLayout& l = LibraryLayoutFor(a);
    float left = (ScreenWidth(a) - l.columns * l.cardWidth - (l.columns - 1) * l.gap) / 2;
    return {left + static_cast<float>(i % l.columns) * (l.cardWidth + l.gap),
            l.gridTop + static_cast<float>(i / l.columns) * (l.cardHeight + l.gap), l.cardWidth, l.cardHeight, ""};
}

int c_LibraryScreen::Pages() const {
    return std::max(1, static_cast<int>((entries.size() + LIBRARY_PAGE - 1) / LIBRARY_PAGE));
}

std::string c_LibraryScreen::Open(c_FacePictures* shared, int startPage) {
    pictures = shared;
    std::string message;
    std::string problem = ListExercises(&entries);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: the library %s cannot be read: %s\n", ExerciseFolder().c_str(),
                     problem.c_str());
        message = "The library cannot be read: " + problem;
    }
    cards.assign(entries.size(), LibraryCard());
    endFaces = Array<c_FaceModel*>(static_cast<int>(entries.size()));
    page = std::clamp(startPage, 0, Pages() - 1);
    confirmDelete = -1;
    PreparePage();
    return message;
}

void c_LibraryScreen::PreparePage() {
    int first = page * LIBRARY_PAGE;
    for (int i = first; i < first + LIBRARY_PAGE && i < static_cast<int>(entries.size()); ++i) {
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
    for (int i = 0; i < LIBRARY_PAGE; ++i) {
        if (page * LIBRARY_PAGE + i >= static_cast<int>(entries.size())) break;
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
    return Request::Say("Deleted " + entry.name);
}

Request c_LibraryScreen::Tick(const AppInput& in, RepeatChoice& choice) {
    const LibraryLayout& l = LibraryLayoutFor(in.arrangement);
    auto clicked = [&](LibraryControl c) { return in.hit && l.controls[c].Inside(in.x, in.y); };

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
    int index = page * LIBRARY_PAGE + card;
    // The cross in the card's corner deletes, anywhere else opens.
    ControlBox box = LibraryCardBox(card, in.arrangement);
    if (in.x > box.x + box.w - l.crossSize && in.y < box.y + l.crossSize) {
        confirmDelete = index;
        return Request();
    }
    if (!cards[index].problem.empty()) return Request::Say(entries[index].name + ": " + cards[index].problem);
    Request play = Request::Of(Request::PLAY);
    play.exercise = cards[index].exercise;
    return play;
}

// ---- Drawing ---------------------------------------------------------------

void c_LibraryScreen::Draw(c_Canvas* c, Arrangement a, const RepeatChoice& choice, bool namesKeys) const {
    const LibraryLayout& l = LibraryLayoutFor(a);
    float w = ScreenWidth(a), text = l.textHeight;
    c->SetColor(0.95f, 0.96f, 0.98f);
    c->DrawRect(0, 0, w, ScreenHeight(a));
    c->SetColor(0.13f, 0.18f, 0.27f);
    DrawLabel(c, "Library", w / 2, 30, l.titleHeight, true);
    DrawControl(c, l.controls[BACK], text);

    int count = static_cast<int>(entries.size());
    if (count == 0) {
        c->SetColor(0.35f, 0.35f, 0.35f);
        DrawWrapped(c,
                    namesKeys ? "No exercise saved yet: record one (R), then save it (Ctrl+S)."
                              : "No exercise saved yet: record one with the red button, then save it with the "
                                "tray button.",
                    w / 2, 360, w - 80, text);
    }
    int first = page * LIBRARY_PAGE;
    for (int i = 0; i < LIBRARY_PAGE && first + i < count; ++i) {
        const LibraryEntry& entry = entries[first + i];
        ControlBox box = LibraryCardBox(i, a);
        float x = box.x, y = box.y;
        c->SetColor(1, 1, 1);
        c->DrawRect(x, y, box.w, box.h);
        const c_FaceModel* face = endFaces[first + i];
        if (face) {
            // The face picture spans faceX .. faceX + width of the screen.
            FaceView view;
            view.scale = l.pictureHeight / static_cast<float>(face->faceImage->Height());
            view.shiftX = x + (box.w - view.scale * face->faceImage->Width()) / 2 - view.scale * face->faceX;
            view.shiftY = y + 8;
            c->PushMatrix();
            c->Translate(view.shiftX, view.shiftY);
            c->Scale(view.scale, view.scale);
            c->SetColor(1, 1, 1);
            face->Draw(c, view);
            c->PopMatrix();
        } else {
            c->SetColor(0.7f, 0.2f, 0.15f);
            DrawLabel(c, "cannot be read", x + box.w / 2, y + l.pictureHeight / 2, text, true);
        }
        c->SetColor(0.13f, 0.18f, 0.27f);
        float textY = y + l.pictureHeight + 12;
        DrawLabel(c, DateText(entry.saved), x + box.w / 2, textY, text, true);
        DrawLabel(c, entry.childKnown ? ChildWord(entry.child) : entry.name, x + box.w / 2, textY + text * 1.2f, text,
                  true);
        c->SetColor(0.85f, 0.3f, 0.25f);
        c->DrawRect(x + box.w - l.crossSize, y, l.crossSize, l.crossSize);
        c->SetColor(1, 1, 1);
        DrawLabel(c, "x", x + box.w - l.crossSize / 2, y + (l.crossSize - text) / 2, text, true);
    }

    for (LibraryControl id : {PAGE_BACK, PAGE_ON, FEWER, MORE, SHORTER, LONGER}) DrawControl(c, l.controls[id], text);
    c->SetColor(0.13f, 0.18f, 0.27f);
    DrawLabel(c, Format("page %d / %d", page + 1, Pages()), l.pageX, l.pageY, text, true);
    DrawLabel(c, "Repeat", l.repeatX, l.repeatY, text, false);
    DrawLabel(c, Format("%d x", choice.repetitions), l.timesX, l.repeatY, text, true);
    DrawLabel(c, "Hold", l.holdX, l.holdY, text, false);
    DrawLabel(c, Format("%d s", choice.holdSeconds), l.secondsX, l.holdY, text, true);
    if (l.hintY > 0) {
        c->SetColor(0.45f, 0.45f, 0.45f);
        DrawLabel(c,
                  namesKeys ? "Click an exercise to play it. Keys: Up/Down repeat, Left/Right hold, Page Up/Down, Escape."
                            : "Tap an exercise to play it.",
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
        DrawLabel(c, "Delete this exercise?", w / 2, q.y + 30, text * 1.3f, true);
        DrawLabel(c, entries[confirmDelete].name + (namesKeys ? "  (Y / N)" : ""), w / 2, q.y + 80, text, true);
        DrawControl(c, l.controls[YES], text);
        DrawControl(c, l.controls[NO], text);
    }
    c->SetColor(1, 1, 1);
}
