// The exercise value and its text: the round trip, and every kind of bad
// text refused with a message that names the problem.
#include <gtest/gtest.h>

#include <string>

#include "app/exercise/exercise.h"

namespace {

// A face with no field at its default, and entries of every kind.
Exercise Sample() {
    Exercise e;
    e.child = Child::Boy;
    e.pace = Pace::Half;
    e.randomState = -123456789;
    e.title = "Lèvres arrondies, semaine 2";
    e.note = "Twice a day, in front of a mirror.";
    e.repeat = 3;
    e.holdSeconds = 7;
    e.recordedIn = 2;
    Face& f = e.startFace;
    auto set = [&](PartIndex i, int frame, int variant, float x, float y, float angle = 0) {
        f.parts[i].frame = frame, f.parts[i].variant = variant, f.parts[i].x = x, f.parts[i].y = y;
        f.parts[i].angle = angle;
    };
    set(PART_MOUTH_RIGHT, 14, 3, 392.5f, 506.25f);
    set(PART_MOUTH_LEFT, 7, 6, 1e-7f, -3.3333333f);
    set(PART_LIPS_RIGHT, 0, 0, 1, 2);
    set(PART_LIPS_LEFT, 0, 0, 3, 4);
    set(PART_TEETH_RIGHT, 0, 0, 5, 6);
    set(PART_TEETH_LEFT, 0, 0, 7, 8);
    set(PART_TONGUE, 15, 4, 392, 504);
    set(PART_BROW_RIGHT, 0, 0, 488, 244, -14);
    set(PART_BROW_LEFT, 0, 0, 295, 304, 0.1f);
    set(PART_EYE_RIGHT, 0, 2, 490, 358);
    set(PART_EYE_LEFT, 0, 1, 294, 358.75f);
    f.parts[PART_CHEEK_RIGHT].variant = 2, f.parts[PART_CHEEK_LEFT].variant = 1;
    f.tongueShift = -4, f.tongueDepth = 1, f.tongueMode = true, f.paired = true;
    f.lipsMode = f.teethMode = f.tongueOut = f.pursedMouth = f.roundMouth = f.tongueUnmirrored = true;
    f.jaw = -2, f.openTongue = TONGUE_OUT_OF_MOUTH;
    e.entries = {{640, 400}, {640, 400}, {640, 400}, {641, 380}, {ENTRY_TONGUE, 380}, {0, 7},
                 {ENTRY_RANDOM, 1},    {ENTRY_RESET, 2},   {ENTRY_SYMMETRY, 3}, {ENTRY_IDLE, 0}, {ENTRY_IDLE, 0},
                 {ENTRY_END, 0}};
    return e;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The reader's message for `text`, "" when it takes it.
std::string Problem(const std::string& text) {
    Exercise e;
    return ReadExercise(text, &e);
}

TEST(ExerciseFormat, RoundTripGivesTheSameValueAndIsSmall) {
    Exercise written = Sample();
    ASSERT_EQ(CheckExercise(written), "");
    Exercise read;
    ASSERT_EQ(ReadExercise(WriteExercise(written), &read), "");
    EXPECT_TRUE(read == written);
    // Any single field changed is a different value.
    Exercise other = written;
    other.startFace.parts[PART_EYE_LEFT].y += 0.25f;
    EXPECT_FALSE(other == written);
    other = written;
    other.note.clear();
    EXPECT_FALSE(other == written);
    // An empty note, 80 characters of title and 500 of note take their
    // room in characters, not bytes; spaces around them are not theirs.
    other.title = std::string(79, 'a') + "é";
    other.note = std::string(499, 'b') + "’";
    ASSERT_EQ(CheckExercise(other), "");
    ASSERT_EQ(ReadExercise(Replaced(WriteExercise(other), "title a", "title \t a"), &read), "");
    EXPECT_TRUE(read == other);
    other.note.clear();
    ASSERT_EQ(ReadExercise(WriteExercise(other), &read), "");
    EXPECT_TRUE(read == other);

    // The longest exercise, no two entries alike, stays well under 10 KB.
    Exercise full = Sample();
    full.entries.clear();
    for (int i = 0; i < EXERCISE_MAX_ENTRIES; ++i) full.entries.push_back({1000 + i % 280, 700 - i % 2});
    std::string text = WriteExercise(full);
    EXPECT_LT(text.size(), 8000u);
    ASSERT_EQ(ReadExercise(text, &read), "");
    EXPECT_TRUE(read == full);
}

TEST(ExerciseFormat, EveryCutOfAFileIsRefusedAndNothingChanges) {
    std::string text = WriteExercise(Sample());
    Exercise kept = Sample();
    kept.randomState = 5;
    // Only the final line break may go.
    for (size_t length = 0; length + 1 < text.size(); ++length) {
        Exercise e = kept;
        EXPECT_NE(ReadExercise(text.substr(0, length), &e), "") << length;
        EXPECT_TRUE(e == kept);
    }
    EXPECT_NE(Problem(text.substr(0, text.size() - 5)).find("ends early"), std::string::npos);
    EXPECT_EQ(Problem(text.substr(0, text.size() - 1)), "");
    // Windows line ends and a byte-order mark, as mail and editors leave them.
    std::string crlf = "\xEF\xBB\xBF";
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Problem(crlf), "");
}

TEST(ExerciseFormat, BadTextsAreNamed) {
    std::string good = WriteExercise(Sample());
    struct Case {
        std::string text, message;
    } cases[] = {
        {"", "it is empty"},
        {" \n\r\n", "it is empty"},
        {std::string("\x89PNG\r\n\x1a\n\0\0", 10), "not a Grimalou exercise"},
        {Replaced(good, "grimalou-exercise 3", "grimalou-exercise 4"), "made by a newer version of Grimalou"},
        {Replaced(good, "grimalou-exercise 3", "grimalou-exercise one"), "not a Grimalou exercise"},
        {Replaced(good, "grimalou-exercise 3", "grimalou-exercise 1"), "'title' is a field of format 2, and the file says format 1"},
        {Replaced(good, "grimalou-exercise 3", "grimalou-exercise 2"), "'recordedIn' is a field of format 3, and the file says format 2"},
        {Replaced(good, "recordedIn 2", "recordedIn 4"), "recordedIn '4' is not a whole number from 1 to 3"},
        {Replaced(good, "recordedIn 2\n", ""), "'recordedIn' is missing"},
        {Replaced(good, "jaw -2", "jaw -3"), "jaw -3 is out of range (-2 to 3)"},
        {Replaced(good, "openTongue 3", "openTongue 4"), "openTongue 4 is out of range (0 to 3)"},
        {Replaced(good, "openTongue 3\n", ""), "'openTongue' is missing"},
        {Replaced(good, "repeat 3", "repeat 11"), "repeat '11' is not a whole number from 1 to 10"},
        {Replaced(good, "repeat 3", "repeat 0"), "from 1 to 10"},
        {Replaced(good, "hold 7", "hold -1"), "hold '-1' is not a whole number from 0 to 10"},
        {Replaced(good, "hold 7\n", ""), "'hold' is missing"},
        {Replaced(good, "note Twice", "note Twice\nnote Once"), "'note' is given twice"},
        {Replaced(good, "title Lèvres arrondies, semaine 2", "title   "), "the title is empty"},
        {Replaced(good, "title Lèvres", "title L\xC3"), "the title is not UTF-8 text"},
        {Replaced(good, "title Lèvres", "title L\xC0\xA8vres"), "the title is not UTF-8 text"},
        {Replaced(good, "note Twice", "note \x1B[2JTwice"), "the note holds a control character"},
        {Replaced(good, "title Lèvres", "title " + std::string(60, 'a') + "ééééééééééééééééééééé"), "the title is 102 characters long, more than 80"},
        {Replaced(good, "tongueDepth 1", "tongueDepth 9"), "line 43: tongueDepth 9 is out of range (0 to 2)"},
        {Replaced(good, "tongueDepth 1", "tongueDepth 1.5"), "not a whole number"},
        {Replaced(good, "tongueDepth 1", "tongueDepth 9223372036854775807"), "9223372036854775808 is out of range"},
        {Replaced(good, "eyeLeft.y 358.75", "eyeLeft.y nan"), "eyeLeft.y 'nan' is not a number"},
        {Replaced(good, "eyeLeft.y 358.75", "eyeLeft.y 1e9"), "eyeLeft.y 1e+09 is out of range"},
        {Replaced(good, "tongueOut yes", "tongueOut maybe"), "not yes or no"},
        {Replaced(good, "tongueOut yes\n", ""), "'tongueOut' is missing"},
        {Replaced(good, "pace half", "pace half\npace normal"), "'pace' is given twice"},
        {Replaced(good, "child boy", "child cat"), "neither 'girl' nor 'boy'"},
        {Replaced(good, "randomState -123456789", "randomState 4294967296"), "not a 32-bit whole number"},
        {Replaced(good, "entries\n", "entries\nmouthmode 3\n"), "'mouthmode' is unknown to this version; it was made by a newer version"},
        {Replaced(good, "entries\n", "entries\n70000 3\n"), "out of range"},
        {Replaced(good, "entries\n", "entries\n3 -1\n"), "is not a whole number from 0 to 65535"},
        {Replaced(good, "entries\n", "entries\n3 4 x0\n"), "not x followed by a count"},
        {Replaced(good, "entries\n", "entries\n3 4 x601\n"), "more than 601 entries"},
        {Replaced(good, "end 0\n", "end 0\n5 5\n"), "an entry follows the end mark"},
        {Replaced(good, "entries\n", "entries\n\x01\xff 3\n"), "'?" "?' is not an entry"},
        {good + "5 5\n", "more after the last line 'done'"},
    };
    for (const Case& c : cases) {
        std::string problem = Problem(c.text);
        EXPECT_NE(problem.find(c.message), std::string::npos) << "got: " << problem << "\nwanted: " << c.message;
    }

    // Over 1 MiB is refused before it is read, whatever it holds.
    std::string huge = Replaced(good, "done\n", "# " + std::string(EXERCISE_MAX_BYTES, 'a') + "\ndone\n");
    EXPECT_NE(Problem(huge).find("larger than 1 MiB"), std::string::npos);
}

// A file of an older format reads as it always did: without the fields it
// did not have, which keep a new face's values, and with its own format as
// the one that recorded it; a later field in it is refused.
TEST(ExerciseFormat, OlderFormatsKeepTheirFieldsAndRandomFaces) {
    std::string v2 = Replaced(WriteExercise(Sample()), "grimalou-exercise 3", "grimalou-exercise 2");
    v2 = Replaced(Replaced(v2, "recordedIn 2\n", ""), "jaw -2\n", "");
    v2 = Replaced(v2, "openTongue 3\n", "");
    Exercise read;
    ASSERT_EQ(ReadExercise(v2, &read), "");
    EXPECT_EQ(read.recordedIn, 2);
    EXPECT_EQ(read.startFace.jaw, 0);
    EXPECT_EQ(read.startFace.openTongue, TONGUE_LYING);
    Exercise expected = Sample();
    expected.startFace.jaw = 0, expected.startFace.openTongue = TONGUE_LYING;
    EXPECT_TRUE(read == expected);
    // Written again it is of this format, and still recorded in its own.
    ASSERT_EQ(ReadExercise(WriteExercise(read), &read), "");
    EXPECT_TRUE(read == expected);
    EXPECT_EQ(Problem(Replaced(v2, "roundMouth yes", "roundMouth yes\njaw 1")),
              "line 66: 'jaw' is a field of format 3, and the file says format 2");
}

TEST(ExerciseFormat, CheckNamesWhatTheReaderWouldRefuse) {
    Exercise e = Sample();
    e.startFace.parts[PART_MOUTH_RIGHT].variant = 7;
    EXPECT_EQ(CheckExercise(e), "mouthRight.variant 7 is out of range (0 to 6)");
    e = Sample();
    e.recordedIn = 4;
    EXPECT_EQ(CheckExercise(e), "recordedIn is out of range (1 to 3)");
    e = Sample();
    e.entries.insert(e.entries.begin(), {ENTRY_END, 0});
    EXPECT_EQ(CheckExercise(e), "an entry follows the end mark");
    e = Sample();
    e.entries.back() = {-9, 0};
    EXPECT_NE(CheckExercise(e).find("no known event"), std::string::npos);
    e.entries.assign(EXERCISE_MAX_ENTRIES + 1, {1, 1});
    EXPECT_NE(CheckExercise(e), "");
    // What Check refuses the reader refuses too.
    EXPECT_NE(Problem(WriteExercise(e)), "");
}

}  // namespace
