// The library screen: the saved exercises, newest first, a page of small
// pictures of their end faces with their title, their prescription and on
// how many of the last 7 days they were practised; a click plays one with
// its prescription, the cross of a card deletes it after a yes, Edit names
// it and changes its note and prescription, Send and Show hand its
// file on; and the choice of how many times a new recording repeats and
// how long the face holds between two.
#pragma once

#include <string>
#include <vector>

#include "app/exercise/exercise_library.h"
#include "app/exercise/player.h"
#include "app/exercise/practice_log.h"
#include "app/face/face_model.h"
#include "app/screens/screen.h"
#include "app/ui/text.h"
#include "app/ui/text_field.h"
#include "runtime/gc_ref.h"

class c_Canvas;

// The pages of the library screen: cards of a small picture of the end face
// with its date and child.
constexpr int LIBRARY_COLUMNS = 4, LIBRARY_ROWS = 2, LIBRARY_PAGE = LIBRARY_COLUMNS * LIBRARY_ROWS;

// The controls of the screen, drawn as labelled boxes.
enum LibraryControl { BACK, PAGE_BACK, PAGE_ON, FEWER, MORE, SHORTER, LONGER, YES, NO, LIBRARY_CONTROLS };

// Where everything of the screen stands in an arrangement: the grid of cards
// (four columns, or two upright, where every box is at least 90 units high),
// the controls, and the labels beside them.
struct LibraryLayout {
    // A page is columns x rows cards.
    int columns, rows;
    float cardWidth, cardHeight, gap, gridTop, pictureHeight, crossSize;
    float titleHeight, textHeight;
    ControlBox controls[LIBRARY_CONTROLS];
    ControlBox question;  // the veil's panel that asks before deleting
    float pageX, pageY, repeatX, repeatY, timesX, holdX, holdY, secondsX;
    // The line that says how to play (no room for it upright), or 0.
    float hintY;
    // The buttons along a card's foot.
    float cardButtonHeight;
    int PageSize() const { return columns * rows; }
};
const LibraryLayout& LibraryLayoutFor(Arrangement a);
// The box of the card in place i of a page (0 .. LIBRARY_PAGE - 1).
ControlBox LibraryCardBox(int i, Arrangement a = Arrangement::Landscape);
// The buttons along a card's foot, from its box.
enum CardControl { CARD_EDIT, CARD_SEND, CARD_SHOW, CARD_CONTROLS };
ControlBox CardControlBox(const ControlBox& card, CardControl control, Arrangement a = Arrangement::Landscape);
// The panel that edits a card: two text fields and the prescription.
enum EditControl {
    EDIT_TITLE,
    EDIT_NOTE,
    EDIT_FEWER,
    EDIT_MORE,
    EDIT_SHORTER,
    EDIT_LONGER,
    EDIT_SAVE,
    EDIT_CANCEL,
    EDIT_CONTROLS
};
// Where the panel and its controls stand, for each arrangement: upright,
// a finger wide and readable on a phone.
struct EditLayout {
    ControlBox panel;
    ControlBox boxes[EDIT_CONTROLS];
    float textHeight, headingY, hintY;
};
const EditLayout& EditLayoutFor(Arrangement a);

// A saved exercise as the library shows it, worked out once per file when
// its page first shows.
struct LibraryCard {
    bool read = false;
    // "" when the file reads; else why not, shown in place of the face.
    std::string problem;
    Exercise exercise;
};

class c_LibraryScreen : public Object {
public:
    gc_ref<c_FacePictures> pictures;
    std::vector<LibraryEntry> entries;
    // One per entry: the card, and its end face once read (else null).
    std::vector<LibraryCard> cards;
    gc_array<c_FaceModel*> endFaces;
    // The page on screen, counted in pages of the arrangement the cards were
    // last laid out in; turning the screen keeps its first card on screen.
    int page = 0;
    Arrangement laidOut = Arrangement::Landscape;
    // The entry whose deletion waits for a yes, or -1.
    int confirmDelete = -1;
    // The entry being edited, or -1; the edited values; the field typed in.
    int editing = -1;
    Exercise draft;
    TextField titleField, noteField;
    EditControl focus = EDIT_TITLE;
    // The practice log's rows, read when the library opens, and that day.
    std::vector<PracticeRow> practice;
    LocalTime today;

    // Lists the library; `shared` draws the end faces. A library or a
    // practice log that cannot be read is the request's problem.
    Request Open(c_FacePictures* shared, int startPage);
    // One tick of the library; whatever a press or a key did there is heard
    // as a press.
    Request Tick(const AppInput& in, RepeatChoice& choice);
    // `namesKeys`: the words name keys (a keyboard was used), else buttons.
    void Draw(c_Canvas* canvas, Arrangement a, const RepeatChoice& choice, bool namesKeys) const;
    // The card of the page on screen under a point, or -1.
    int CardAt(float x, float y, Arrangement a = Arrangement::Landscape) const;
    int Pages() const;
    // A text field has the keys.
    bool Typing() const { return editing >= 0; }
    // The editor's text fields where they lie on the arrangement's screen,
    // for the page's own text boxes to cover them (field 0 the title, 1 the
    // note); none while the editor is closed.
    struct FieldView {
        ControlBox box;
        const TextField* field;
        bool focused;
    };
    std::vector<FieldView> TextFields(Arrangement a) const;
    // Opens the panel that edits an entry.
    void StartEditing(int index);

    GC_FIELDS(Object, pictures, endFaces)

private:
    // Reads and plays out of sight the exercises of the page on screen that
    // have no picture yet, each on a face of its own.
    void PreparePage();
    Request TickControls(const AppInput& in, RepeatChoice& choice);
    Request Delete(int index);
    Request EditTick(const AppInput& in);
    Request SaveEdit();
    Request Send(int index) const;
    Request ShowFile(int index) const;
    void DrawCard(c_Canvas* canvas, Arrangement a, int place) const;
    void DrawEditor(c_Canvas* canvas, Arrangement a, bool namesKeys) const;
};
