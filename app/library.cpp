// The library screen: the saved exercises, newest first, a page of small
// pictures of their end faces with their date and child; a click plays one,
// the cross of a cell deletes it after a yes; and the choice of how many
// times an exercise repeats and how long the face holds between two.
//
// A picture is the face screen's own scene drawn small: each file is read
// and played to its end out of sight once, when its page first shows, so a
// library of hundreds of exercises costs only the page on screen.
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/my_app.h"
#include "canvas/canvas.h"
#include "canvas/font.h"
#include "framework/input_device.h"

namespace {

constexpr int KEY_ENTER = 13, KEY_ESCAPE = 27, KEY_PAGE_UP = 33, KEY_PAGE_DOWN = 34;
constexpr int KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40;

// The grid of a page, centred on the screen: cells of a picture over two
// lines of text.
constexpr float CELL_WIDTH = 260, CELL_HEIGHT = 290, CELL_GAP = 20, GRID_TOP = 100;
constexpr float GRID_LEFT = (VIRTUAL_WIDTH - LIBRARY_COLUMNS * CELL_WIDTH - (LIBRARY_COLUMNS - 1) * CELL_GAP) / 2;
// The face picture (784 x 800 units) shrinks into the cell's upper part.
constexpr float PICTURE_HEIGHT = 230;
constexpr float CROSS_SIZE = 36;
constexpr float TITLE_HEIGHT = 40, TEXT_HEIGHT = 22, BIG_HEIGHT = 60;
// The bar of the page and repeat controls, under the grid.
constexpr float BAR_Y = 650;
// The repetition's status, between the two columns of buttons.
constexpr float STATUS_LEFT = 480;

// The controls of the screen, drawn as labelled boxes.
enum Control { BACK, PAGE_BACK, PAGE_ON, FEWER, MORE, SHORTER, LONGER, YES, NO, TITLE_LIBRARY, CONTROLS };
struct ControlBox {
    float x, y, w, h;
    const char* label;
};
const ControlBox CONTROL_BOXES[CONTROLS] = {
    {40, 24, 130, 50, "< Back"},         {450, BAR_Y, 60, 50, "<"},  {770, BAR_Y, 60, 50, ">"},
    {190, BAR_Y, 50, 50, "-"},           {330, BAR_Y, 50, 50, "+"},  {950, BAR_Y, 50, 50, "-"},
    {1110, BAR_Y, 50, 50, "+"},          {460, 430, 150, 60, "Yes"}, {670, 430, 150, 60, "No"},
    {40, 660, 220, 56, "Library (L)"},
};

bool Inside(const ControlBox& b, float x, float y) { return x > b.x && x < b.x + b.w && y > b.y && y < b.y + b.h; }

float CellX(int i) { return GRID_LEFT + static_cast<float>(i % LIBRARY_COLUMNS) * (CELL_WIDTH + CELL_GAP); }
float CellY(int i) { return GRID_TOP + static_cast<float>(i / LIBRARY_COLUMNS) * (CELL_HEIGHT + CELL_GAP); }

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

int Pages(size_t entries) { return std::max(1, static_cast<int>((entries + LIBRARY_PAGE - 1) / LIBRARY_PAGE)); }

}  // namespace

void c_MyApp::RepeatKeys() {
    int before = repetitions * 100 + holdSeconds;
    if (inputDevice->KeyHitCount(KEY_UP) != 0) repetitions = std::min(REPEAT_MAX, repetitions + 1);
    if (inputDevice->KeyHitCount(KEY_DOWN) != 0) repetitions = std::max(REPEAT_MIN, repetitions - 1);
    if (inputDevice->KeyHitCount(KEY_RIGHT) != 0) holdSeconds = std::min(HOLD_MAX_SECONDS, holdSeconds + 1);
    if (inputDevice->KeyHitCount(KEY_LEFT) != 0) holdSeconds = std::max(0, holdSeconds - 1);
    // The library shows the choice; the face screen says it once.
    if (!libraryShown && repetitions * 100 + holdSeconds != before)
        ShowMessage(Format("Play %d times, hold %d s (up/down, left/right)", repetitions, holdSeconds));
}

bool c_MyApp::TitleLibraryHit(float x, float y) { return Inside(CONTROL_BOXES[TITLE_LIBRARY], x, y); }

void c_MyApp::OpenLibrary() {
    libraryFromTitle = !faceScreen;
    // The pictures need a face to draw with; from the title, the girl's.
    if (libraryFromTitle) EnterFaceScreen(true);
    libraryKept = SaveFaceScreen();
    std::string problem = ListExercises(&libraryEntries);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: the library %s cannot be read: %s\n", ExerciseFolder().c_str(),
                     problem.c_str());
        ShowMessage("The library cannot be read: " + problem);
    }
    libraryCells.clear();
    libraryPage = std::min(libraryPage, Pages(libraryEntries.size()) - 1);
    confirmDelete = -1;
    libraryShown = true;
    PrepareLibraryPage();
}

void c_MyApp::PrepareLibraryPage() {
    int first = libraryPage * LIBRARY_PAGE;
    for (int i = first; i < first + LIBRARY_PAGE && i < static_cast<int>(libraryEntries.size()); ++i) {
        const LibraryEntry& entry = libraryEntries[i];
        if (libraryCells.count(entry.path)) continue;
        LibraryCell& cell = libraryCells[entry.path];
        cell.problem = LoadExercise(entry.path, &cell.exercise);
        if (!cell.problem.empty())
            std::fprintf(stderr, "grimalou: %s: %s\n", entry.path.c_str(), cell.problem.c_str());
        else
            EndFaceOf(cell.exercise, &cell);
    }
}

void c_MyApp::CloseLibrary() {
    libraryShown = false;
    confirmDelete = -1;
    if (libraryFromTitle)
        LeaveFaceScreen();
    else
        RestoreFaceScreen(libraryKept);
    libraryCells.clear();
}

int c_MyApp::LibraryCellAt(float x, float y) const {
    for (int i = 0; i < LIBRARY_PAGE; ++i) {
        if (libraryPage * LIBRARY_PAGE + i >= static_cast<int>(libraryEntries.size())) break;
        if (x > CellX(i) && x < CellX(i) + CELL_WIDTH && y > CellY(i) && y < CellY(i) + CELL_HEIGHT) return i;
    }
    return -1;
}

void c_MyApp::DeleteLibraryEntry(int index) {
    confirmDelete = -1;
    if (index < 0 || index >= static_cast<int>(libraryEntries.size())) return;
    LibraryEntry entry = libraryEntries[index];
    std::string problem = DeleteExercise(entry.path);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s: %s\n", entry.path.c_str(), problem.c_str());
        ShowMessage(problem);
        return;
    }
    libraryEntries.erase(libraryEntries.begin() + index);
    libraryCells.erase(entry.path);
    libraryPage = std::min(libraryPage, Pages(libraryEntries.size()) - 1);
    ShowMessage("Deleted " + entry.name);
    PrepareLibraryPage();
}

void c_MyApp::OpenLibraryEntry(int index) {
    const LibraryEntry& entry = libraryEntries[index];
    const LibraryCell& cell = libraryCells[entry.path];
    if (!cell.problem.empty()) {
        ShowMessage(entry.name + ": " + cell.problem);
        return;
    }
    Exercise exercise = cell.exercise;
    libraryShown = false;
    libraryFromTitle = false;
    RestoreFaceScreen(libraryKept);
    libraryCells.clear();
    PlayExercise(exercise, repetitions);
}

void c_MyApp::LibraryTick(bool hit) {
    auto key = [](int k) { return inputDevice->KeyHitCount(k) != 0; };
    float x = pointer[0], y = pointer[1];
    auto clicked = [&](Control c) { return hit && Inside(CONTROL_BOXES[c], x, y); };
    int pageFirst = libraryPage * LIBRARY_PAGE;

    if (confirmDelete >= 0) {
        if (key('Y') || key(KEY_ENTER) || clicked(YES))
            DeleteLibraryEntry(confirmDelete);
        else if (key('N') || key(KEY_ESCAPE) || clicked(NO) || hit)
            confirmDelete = -1;
        return;
    }
    if (key(KEY_ESCAPE) || key(FACE_BUTTONS[SLOT_LIBRARY].key) || clicked(BACK)) {
        CloseLibrary();
        return;
    }
    RepeatKeys();
    if (clicked(FEWER)) repetitions = std::max(REPEAT_MIN, repetitions - 1);
    if (clicked(MORE)) repetitions = std::min(REPEAT_MAX, repetitions + 1);
    if (clicked(SHORTER)) holdSeconds = std::max(0, holdSeconds - 1);
    if (clicked(LONGER)) holdSeconds = std::min(HOLD_MAX_SECONDS, holdSeconds + 1);
    int page = libraryPage;
    if (key(KEY_PAGE_UP) || clicked(PAGE_BACK)) page -= 1;
    if (key(KEY_PAGE_DOWN) || clicked(PAGE_ON)) page += 1;
    page = std::clamp(page, 0, Pages(libraryEntries.size()) - 1);
    if (page != libraryPage) {
        libraryPage = page;
        PrepareLibraryPage();
        return;
    }
    int cell = hit ? LibraryCellAt(x, y) : -1;
    if (cell < 0) return;
    // The cross in the cell's corner deletes, anywhere else opens.
    if (x > CellX(cell) + CELL_WIDTH - CROSS_SIZE && y < CellY(cell) + CROSS_SIZE)
        confirmDelete = pageFirst + cell;
    else
        OpenLibraryEntry(pageFirst + cell);
}

// ---- Drawing ---------------------------------------------------------------

void c_MyApp::DrawLabel(const std::string& text, float x, float y, float height, bool centred) {
    String shown(text.c_str());
    float scale = TextScale(height);
    if (centred) x -= canvas->TextWidth(shown, scale) / 2;
    canvas->DrawText(shown, x, y, scale);
}

void c_MyApp::DrawControl(int id) {
    const ControlBox& b = CONTROL_BOXES[id];
    canvas->SetColor(0.36f, 0.56f, 0.78f);
    canvas->DrawRect(b.x, b.y, b.w, b.h);
    canvas->SetColor(1, 1, 1);
    DrawLabel(b.label, b.x + b.w / 2, b.y + (b.h - TEXT_HEIGHT) / 2, TEXT_HEIGHT, true);
}

void c_MyApp::DrawTitleLibrary() { DrawControl(TITLE_LIBRARY); }

void c_MyApp::DrawLibrary() {
    c_Canvas* c = canvas;
    c->SetColor(0.95f, 0.96f, 0.98f);
    c->DrawRect(0, 0, VIRTUAL_WIDTH, VIRTUAL_HEIGHT);
    c->SetColor(0.13f, 0.18f, 0.27f);
    DrawLabel("Library", VIRTUAL_WIDTH / 2, 30, TITLE_HEIGHT, true);

    auto box = [&](Control id) { DrawControl(id); };
    box(BACK);

    int count = static_cast<int>(libraryEntries.size());
    if (count == 0) {
        c->SetColor(0.35f, 0.35f, 0.35f);
        DrawLabel("No exercise saved yet: record one (R), then save it (Ctrl+S).", VIRTUAL_WIDTH / 2, 360,
                  TEXT_HEIGHT, true);
    }
    // The face's parts draw each cell's end face in turn; the face is back
    // as it was when the page is drawn.
    FaceState shown = face;
    Child shownChild = child;
    int first = libraryPage * LIBRARY_PAGE;
    for (int i = 0; i < LIBRARY_PAGE && first + i < count; ++i) {
        const LibraryEntry& entry = libraryEntries[first + i];
        float x = CellX(i), y = CellY(i);
        c->SetColor(1, 1, 1);
        c->DrawRect(x, y, CELL_WIDTH, CELL_HEIGHT);
        auto found = libraryCells.find(entry.path);
        if (found != libraryCells.end() && found->second.problem.empty()) {
            const LibraryCell& cell = found->second;
            // The face picture spans faceX .. faceX + width of the screen.
            float scale = PICTURE_HEIGHT / static_cast<float>(faceImage->Height());
            ShowChild(cell.exercise.child);
            face = cell.endState;
            faceScale = scale;
            faceShiftX = x + (CELL_WIDTH - scale * faceImage->Width()) / 2 - scale * faceX;
            faceShiftY = y + 8;
            c->PushMatrix();
            c->Translate(faceShiftX, faceShiftY);
            c->Scale(scale, scale);
            c->SetColor(1, 1, 1);
            DrawFaceParts();
            c->PopMatrix();
            faceScale = 1, faceShiftX = faceShiftY = 0;
        } else {
            c->SetColor(0.7f, 0.2f, 0.15f);
            DrawLabel("cannot be read", x + CELL_WIDTH / 2, y + 100, TEXT_HEIGHT, true);
        }
        c->SetColor(0.13f, 0.18f, 0.27f);
        DrawLabel(DateText(entry.saved), x + CELL_WIDTH / 2, y + PICTURE_HEIGHT + 14, TEXT_HEIGHT, true);
        DrawLabel(entry.childKnown ? ChildWord(entry.child) : entry.name, x + CELL_WIDTH / 2,
                  y + PICTURE_HEIGHT + 14 + TEXT_HEIGHT * 1.3f, TEXT_HEIGHT, true);
        c->SetColor(0.85f, 0.3f, 0.25f);
        c->DrawRect(x + CELL_WIDTH - CROSS_SIZE, y, CROSS_SIZE, CROSS_SIZE);
        c->SetColor(1, 1, 1);
        DrawLabel("x", x + CELL_WIDTH - CROSS_SIZE / 2, y + (CROSS_SIZE - TEXT_HEIGHT) / 2, TEXT_HEIGHT, true);
    }

    face = shown;
    ShowChild(shownChild);

    for (Control id : {PAGE_BACK, PAGE_ON, FEWER, MORE, SHORTER, LONGER}) box(id);
    c->SetColor(0.13f, 0.18f, 0.27f);
    float labelY = BAR_Y + (50 - TEXT_HEIGHT) / 2;
    DrawLabel(Format("page %d / %d", libraryPage + 1, Pages(count)), 640, labelY, TEXT_HEIGHT, true);
    DrawLabel("Repeat", 40, labelY, TEXT_HEIGHT, false);
    DrawLabel(Format("%d x", repetitions), 285, labelY, TEXT_HEIGHT, true);
    DrawLabel("Hold", 860, labelY, TEXT_HEIGHT, false);
    DrawLabel(Format("%d s", holdSeconds), 1055, labelY, TEXT_HEIGHT, true);
    c->SetColor(0.45f, 0.45f, 0.45f);
    DrawLabel("Click an exercise to play it. Keys: Up/Down repeat, Left/Right hold, Page Up/Down, Escape.", 640,
              BAR_Y + 70, TEXT_HEIGHT * 0.8f, true);

    if (confirmDelete >= 0 && confirmDelete < count) {
        c->SetColor(0, 0, 0);
        c->SetAlpha(0.5f);
        c->DrawRect(0, 0, VIRTUAL_WIDTH, VIRTUAL_HEIGHT);
        c->SetAlpha(1);
        c->SetColor(1, 1, 1);
        c->DrawRect(340, 280, 600, 240);
        c->SetColor(0.13f, 0.18f, 0.27f);
        DrawLabel("Delete this exercise?", 640, 310, TEXT_HEIGHT * 1.3f, true);
        DrawLabel(libraryEntries[confirmDelete].name + "  (Y / N)", 640, 360, TEXT_HEIGHT, true);
        box(YES);
        box(NO);
    }
    c->SetColor(1, 1, 1);
}

void c_MyApp::DrawRepeatStatus() {
    c_Canvas* c = canvas;
    bool between = repeatPhase == RepeatPhase::Hold || repeatPhase == RepeatPhase::Rest;
    // A calm panel under the text, which stands over the hair.
    auto panel = [&](float y, float height) {
        c->SetColor(1, 1, 1);
        c->SetAlpha(0.85f);
        c->DrawRect(STATUS_LEFT, y, VIRTUAL_WIDTH - 2 * STATUS_LEFT, height);
        c->SetAlpha(1);
    };
    if (repeatPhase != RepeatPhase::Off && repetitions > 1) {
        panel(10, between ? 140 : 60);
        c->SetColor(0.13f, 0.18f, 0.27f);
        DrawLabel(Format("%d / %d", repetition, repetitions), VIRTUAL_WIDTH / 2, 20, TITLE_HEIGHT, true);
    }
    if (between) {
        int seconds = (phaseTicks + 59) / 60;
        bool hold = repeatPhase == RepeatPhase::Hold;
        if (hold)
            c->SetColor(0.85f, 0.35f, 0.1f);
        else
            c->SetColor(0.2f, 0.5f, 0.3f);
        DrawLabel(Format(hold ? "hold %d" : "rest %d", seconds), VIRTUAL_WIDTH / 2, 80, BIG_HEIGHT, true);
    }
    c->SetColor(1, 1, 1);
}

void c_MyApp::DrawMessage() {
    if (message.empty()) return;
    c_Canvas* c = canvas;
    c->SetColor(0.13f, 0.18f, 0.27f);
    c->SetAlpha(0.9f);
    c->DrawRect(0, VIRTUAL_HEIGHT - 50, VIRTUAL_WIDTH, 50);
    c->SetAlpha(1);
    c->SetColor(1, 1, 1);
    DrawLabel(message, VIRTUAL_WIDTH / 2, VIRTUAL_HEIGHT - 50 + (50 - TEXT_HEIGHT) / 2, TEXT_HEIGHT, true);
}

void c_MyApp::OpenFromCommandLine(const std::string& path) {
    Exercise exercise;
    std::string problem = LoadExercise(path, &exercise);
    if (!problem.empty()) {
        std::fprintf(stderr, "grimalou: %s: %s\n", path.c_str(), problem.c_str());
        ShowMessage(path.substr(path.find_last_of('/') + 1) + ": " + problem);
        return;
    }
    EnterFaceScreen(exercise.child == Child::Girl);
    PlayExercise(exercise, 1);
}
