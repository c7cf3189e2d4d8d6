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

// The grid of a page, centred on the screen: cards of a picture over two
// lines of text, the whole grid above the bar of controls.
constexpr float CARD_WIDTH = 260, CARD_HEIGHT = 256, CARD_GAP = 14, GRID_TOP = 90;
constexpr float GRID_LEFT = (VIRTUAL_WIDTH - LIBRARY_COLUMNS * CARD_WIDTH - (LIBRARY_COLUMNS - 1) * CARD_GAP) / 2;
// The face picture (784 x 800 units) shrinks into the card's upper part.
constexpr float PICTURE_HEIGHT = 196;
constexpr float CROSS_SIZE = 36;
constexpr float TITLE_HEIGHT = 40, TEXT_HEIGHT = 22;
// The bar of the page and repeat controls, under the grid.
constexpr float BAR_Y = 650;

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

const ControlBox LIBRARY_CONTROL_BOXES[LIBRARY_CONTROLS] = {
    {40, 24, 130, 50, "< Back"}, {450, BAR_Y, 60, 50, "<"}, {770, BAR_Y, 60, 50, ">"},
    {190, BAR_Y, 50, 50, "-"},   {330, BAR_Y, 50, 50, "+"}, {950, BAR_Y, 50, 50, "-"},
    {1110, BAR_Y, 50, 50, "+"},  {460, 430, 150, 60, "Yes"}, {670, 430, 150, 60, "No"},
};

ControlBox LibraryCardBox(int i) {
    return {GRID_LEFT + static_cast<float>(i % LIBRARY_COLUMNS) * (CARD_WIDTH + CARD_GAP),
            GRID_TOP + static_cast<float>(i / LIBRARY_COLUMNS) * (CARD_HEIGHT + CARD_GAP), CARD_WIDTH, CARD_HEIGHT,
            ""};
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

int c_LibraryScreen::CardAt(float x, float y) const {
    for (int i = 0; i < LIBRARY_PAGE; ++i) {
        if (page * LIBRARY_PAGE + i >= static_cast<int>(entries.size())) break;
        if (LibraryCardBox(i).Inside(x, y)) return i;
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
    auto clicked = [&](LibraryControl c) { return in.hit && LIBRARY_CONTROL_BOXES[c].Inside(in.x, in.y); };

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
    int card = in.hit ? CardAt(in.x, in.y) : -1;
    if (card < 0) return Request();
    int index = page * LIBRARY_PAGE + card;
    // The cross in the card's corner deletes, anywhere else opens.
    ControlBox box = LibraryCardBox(card);
    if (in.x > box.x + box.w - CROSS_SIZE && in.y < box.y + CROSS_SIZE) {
        confirmDelete = index;
        return Request();
    }
    if (!cards[index].problem.empty()) return Request::Say(entries[index].name + ": " + cards[index].problem);
    Request play = Request::Of(Request::PLAY);
    play.exercise = cards[index].exercise;
    return play;
}

// ---- Drawing ---------------------------------------------------------------

void c_LibraryScreen::Draw(c_Canvas* c, const RepeatChoice& choice) const {
    c->SetColor(0.95f, 0.96f, 0.98f);
    c->DrawRect(0, 0, VIRTUAL_WIDTH, VIRTUAL_HEIGHT);
    c->SetColor(0.13f, 0.18f, 0.27f);
    DrawLabel(c, "Library", VIRTUAL_WIDTH / 2, 30, TITLE_HEIGHT, true);
    DrawControl(c, LIBRARY_CONTROL_BOXES[BACK]);

    int count = static_cast<int>(entries.size());
    if (count == 0) {
        c->SetColor(0.35f, 0.35f, 0.35f);
        DrawLabel(c, "No exercise saved yet: record one (R), then save it (Ctrl+S).", VIRTUAL_WIDTH / 2, 360,
                  TEXT_HEIGHT, true);
    }
    int first = page * LIBRARY_PAGE;
    for (int i = 0; i < LIBRARY_PAGE && first + i < count; ++i) {
        const LibraryEntry& entry = entries[first + i];
        ControlBox box = LibraryCardBox(i);
        float x = box.x, y = box.y;
        c->SetColor(1, 1, 1);
        c->DrawRect(x, y, CARD_WIDTH, CARD_HEIGHT);
        const c_FaceModel* face = endFaces[first + i];
        if (face) {
            // The face picture spans faceX .. faceX + width of the screen.
            FaceView view;
            view.scale = PICTURE_HEIGHT / static_cast<float>(face->faceImage->Height());
            view.shiftX = x + (CARD_WIDTH - view.scale * face->faceImage->Width()) / 2 - view.scale * face->faceX;
            view.shiftY = y + 8;
            c->PushMatrix();
            c->Translate(view.shiftX, view.shiftY);
            c->Scale(view.scale, view.scale);
            c->SetColor(1, 1, 1);
            face->Draw(c, view);
            c->PopMatrix();
        } else {
            c->SetColor(0.7f, 0.2f, 0.15f);
            DrawLabel(c, "cannot be read", x + CARD_WIDTH / 2, y + 100, TEXT_HEIGHT, true);
        }
        c->SetColor(0.13f, 0.18f, 0.27f);
        float textY = y + PICTURE_HEIGHT + 12;
        DrawLabel(c, DateText(entry.saved), x + CARD_WIDTH / 2, textY, TEXT_HEIGHT, true);
        DrawLabel(c, entry.childKnown ? ChildWord(entry.child) : entry.name, x + CARD_WIDTH / 2,
                  textY + TEXT_HEIGHT * 1.2f, TEXT_HEIGHT, true);
        c->SetColor(0.85f, 0.3f, 0.25f);
        c->DrawRect(x + CARD_WIDTH - CROSS_SIZE, y, CROSS_SIZE, CROSS_SIZE);
        c->SetColor(1, 1, 1);
        DrawLabel(c, "x", x + CARD_WIDTH - CROSS_SIZE / 2, y + (CROSS_SIZE - TEXT_HEIGHT) / 2, TEXT_HEIGHT, true);
    }

    for (LibraryControl id : {PAGE_BACK, PAGE_ON, FEWER, MORE, SHORTER, LONGER})
        DrawControl(c, LIBRARY_CONTROL_BOXES[id]);
    c->SetColor(0.13f, 0.18f, 0.27f);
    float labelY = BAR_Y + (50 - TEXT_HEIGHT) / 2;
    DrawLabel(c, Format("page %d / %d", page + 1, Pages()), 640, labelY, TEXT_HEIGHT, true);
    DrawLabel(c, "Repeat", 40, labelY, TEXT_HEIGHT, false);
    DrawLabel(c, Format("%d x", choice.repetitions), 285, labelY, TEXT_HEIGHT, true);
    DrawLabel(c, "Hold", 860, labelY, TEXT_HEIGHT, false);
    DrawLabel(c, Format("%d s", choice.holdSeconds), 1055, labelY, TEXT_HEIGHT, true);
    c->SetColor(0.45f, 0.45f, 0.45f);
    DrawLabel(c, "Click an exercise to play it. Keys: Up/Down repeat, Left/Right hold, Page Up/Down, Escape.", 640,
              BAR_Y + 70, TEXT_HEIGHT * 0.8f, true);

    if (confirmDelete >= 0 && confirmDelete < count) {
        c->SetColor(0, 0, 0);
        c->SetAlpha(0.5f);
        c->DrawRect(0, 0, VIRTUAL_WIDTH, VIRTUAL_HEIGHT);
        c->SetAlpha(1);
        c->SetColor(1, 1, 1);
        c->DrawRect(340, 280, 600, 240);
        c->SetColor(0.13f, 0.18f, 0.27f);
        DrawLabel(c, "Delete this exercise?", 640, 310, TEXT_HEIGHT * 1.3f, true);
        DrawLabel(c, entries[confirmDelete].name + "  (Y / N)", 640, 360, TEXT_HEIGHT, true);
        DrawControl(c, LIBRARY_CONTROL_BOXES[YES]);
        DrawControl(c, LIBRARY_CONTROL_BOXES[NO]);
    }
    c->SetColor(1, 1, 1);
}
