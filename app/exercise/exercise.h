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

// The face when recording was armed: the snapshot of the recorder, field by
// field. Rows and steps are the parts' `frame` and `variant`, positions are
// relative to the face picture's top-left corner in virtual units, angles in
// degrees. The lips' and teeth's rows and steps are part of it: an exercise
// that starts with lips or teeth shows them as they were.
struct FaceSnapshot {
    int mouthRightFrame = 0, mouthLeftFrame = 0, mouthRightVariant = 0, mouthLeftVariant = 0;
    int tongueFrame = 0, tongueVariant = 0;
    float browRightAngle = 0, browLeftAngle = 0;
    int eyeRightVariant = 0, eyeLeftVariant = 0;
    float mouthRightX = 0, mouthRightY = 0, mouthLeftX = 0, mouthLeftY = 0;
    float lipsRightX = 0, lipsRightY = 0, lipsLeftX = 0, lipsLeftY = 0;
    float teethRightX = 0, teethRightY = 0, teethLeftX = 0, teethLeftY = 0;
    float browRightX = 0, browRightY = 0, browLeftX = 0, browLeftY = 0;
    float eyeRightX = 0, eyeRightY = 0, eyeLeftX = 0, eyeLeftY = 0;
    float tongueX = 0, tongueY = 0;
    int tongueButtonState = 0, tongueDepth = 0, tongueShift = 0, symmetryButtonState = 0;
    int cheekRightVariant = 0, cheekLeftVariant = 0;
    int lipsRightFrame = 0, lipsRightVariant = 0, lipsLeftFrame = 0, lipsLeftVariant = 0;
    int teethRightFrame = 0, teethRightVariant = 0, teethLeftFrame = 0, teethLeftVariant = 0;
    bool lipsMode = false, teethMode = false, tongueOut = false, pursedMouth = false, roundMouth = false;
    bool tongueUnmirrored = false;
};
bool operator==(const FaceSnapshot& a, const FaceSnapshot& b);
inline bool operator!=(const FaceSnapshot& a, const FaceSnapshot& b) { return !(a == b); }

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

enum class Pace { Normal, Half };

struct Exercise {
    Child child = Child::Girl;
    FaceSnapshot startFace;
    // At most EXERCISE_MAX_ENTRIES, one a tick from the first sample.
    std::vector<ExerciseEntry> entries;
    // The runtime's 32-bit generator state when recording was armed.
    int randomState = 0;
    Pace pace = Pace::Normal;
};
bool operator==(const Exercise& a, const Exercise& b);
inline bool operator!=(const Exercise& a, const Exercise& b) { return !(a == b); }

// The recorder's entries 0..600: ten seconds at 60 ticks a second and the
// tick that ends them.
constexpr int EXERCISE_MAX_ENTRIES = 601;
// The format version this program writes and the newest it reads.
constexpr int EXERCISE_FORMAT_VERSION = 1;
// 1 MiB: a full exercise is at most about 6.5 KB; anything far bigger is not
// one, and is refused before it is parsed.
constexpr size_t EXERCISE_MAX_BYTES = 1 << 20;
// The file name ending of an exercise.
constexpr const char* EXERCISE_EXTENSION = ".grimalou";

// "girl" or "boy": the child's word in files and file names.
const char* ChildWord(Child child);

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
