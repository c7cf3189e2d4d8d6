// An exercise: one recording of the face screen as a plain value, and its
// text file. The value holds everything a playback needs to show exactly
// what was seen: the child, the face when recording was armed, the entries
// one per tick, the random generator's state when recording was armed (a
// random face pressed while recording draws the same numbers again), and
// the pace.
//
// The text is the same wherever it is kept (a file in the library, a
// browser's storage, a link), so reading and writing work on strings; the
// library on disk (exercise_library.h) adds the files. docs/exercise-format.md
// describes the text for people.
//
// Nothing here throws: a reader returns the empty text on success and an
// error text otherwise; the caller adds the name of what it read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/face/face.h"

// The file holds these values of a face (the table of exercise.cpp), each
// at its place in the `Face`: the parts' rows, steps, positions and angles
// the gestures change, the modes, the tongue's state and the pairing. The
// rest of a face (where the cheeks stand) never changes.
// Copies every value a file holds from one face to another.
void CopyStoredValues(const Face& from, Face* to);
// The two faces are the same in every value a file holds.
bool SameFace(const Face& a, const Face& b);

// What one tick recorded. x >= 0 (and y >= 0): a pointer sample in virtual
// units. x < 0: one of the codes below, with the tick's pointer y (0 for an
// idle tick). A new kind of event is a new negative code, given a name in
// the table of exercise.cpp; files stay in the same format version, and an
// older program refuses a file that uses a code it does not know.
enum EntryCode {
    ENTRY_IDLE = -1,      // nothing touched
    ENTRY_END = -2,       // the recording ends here; only ever the last entry
    ENTRY_TONGUE = -3,    // the tongue button
    ENTRY_RANDOM = -4,    // the random face button
    ENTRY_RESET = -5,     // the reset button
    ENTRY_SYMMETRY = -6,  // the symmetry button
};
struct ExerciseEntry {
    int x = 0, y = 0;
};

// The format version this program writes and the newest it reads.
constexpr int EXERCISE_FORMAT_VERSION = 3;
// The format that added the jaw's poses to the face, and to its random faces.
constexpr int JAW_FORMAT = 3;

enum class Pace { Normal, Half };

// The prescription's bounds: how many times an exercise plays, and how long
// the face holds its end pose (then rests at its start) between two.
constexpr int REPEAT_MIN = 1, REPEAT_MAX = 10;
constexpr int HOLD_MAX_SECONDS = 10, HOLD_DEFAULT_SECONDS = 5;
// Characters (code points) of a title and a note.
constexpr int TITLE_MAX_CHARS = 80, NOTE_MAX_CHARS = 500;

struct Exercise {
    Child child = Child::Girl;
    // The face when recording was armed.
    Face startFace;
    // At most EXERCISE_MAX_ENTRIES, one a tick from the first sample.
    std::vector<ExerciseEntry> entries;
    // The runtime's 32-bit generator state when recording was armed.
    int randomState = 0;
    Pace pace = Pace::Normal;
    // The prescription, written from format 2 on: what it is called (one
    // line of UTF-8, 1 to TITLE_MAX_CHARS characters), a line for the
    // parent (0 to NOTE_MAX_CHARS, may be empty), how many times it plays
    // and how long the face holds between two. A format 1 file reads with
    // an empty title, which whoever read it names (DefaultTitle), 1
    // repetition and the default hold.
    std::string title;
    std::string note;
    int repeat = REPEAT_MIN;
    int holdSeconds = HOLD_DEFAULT_SECONDS;
    // The format of the program that recorded it (an older file's own
    // version), kept when it is saved again: its random faces are that
    // program's, so that it plays as it was seen.
    int recordedIn = EXERCISE_FORMAT_VERSION;
};
bool operator==(const Exercise& a, const Exercise& b);
inline bool operator!=(const Exercise& a, const Exercise& b) { return !(a == b); }

// The recorder's entries 0..600: ten seconds at 60 ticks a second and the
// tick that ends them.
constexpr int EXERCISE_MAX_ENTRIES = 601;
// 1 MiB: a full exercise is at most about 6.5 KB; anything far bigger is not
// one, and is refused before it is parsed.
constexpr size_t EXERCISE_MAX_BYTES = 1 << 20;
// The file name ending of an exercise.
constexpr const char* EXERCISE_EXTENSION = ".grimalou";

// "girl" or "boy": the child's word in files and file names.
const char* ChildWord(Child child);

// The title of an exercise that has none of its own: the child and when it
// was made, "Girl, 2026-12-07 16:31".
struct LocalTime;
std::string DefaultTitle(Child child, const LocalTime& made);
// "" when `text` can be a title or a note of at most `maxChars` characters:
// UTF-8, one line, no control character; else what is wrong, in words.
std::string CheckText(const std::string& text, int maxChars);
// The number of characters (code points) of a UTF-8 text.
int CharCount(const std::string& text);
// The prescription as a card shows it: "3 x hold 5 s" (the canvas font has no multiplication sign).
std::string PrescriptionText(const Exercise& exercise);

// "" when the reader would take the exercise back as it is, otherwise what
// is wrong with it: a field or an entry out of range, an end mark before the
// last entry, too many entries. Save only what passes.
std::string CheckExercise(const Exercise& exercise);
// The text of an exercise. An exercise that fails CheckExercise is written
// all the same, and its text is refused by the reader.
std::string WriteExercise(const Exercise& exercise);
// Reads `text` into `*exercise`. Returns "" on success; otherwise an error
// text naming the problem ("it is empty", "it ends early, at line 12: ...",
// "line 7: tongueDepth 9 is out of range (0 to 2)", "it was made by a newer
// version of Grimalou ...") and leaves `*exercise` unchanged.
std::string ReadExercise(const std::string& text, Exercise* exercise);
