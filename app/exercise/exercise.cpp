// The exercise text: a header line with the format version, one line per
// field ("name value"), the entries one line each ("x y", or an event's name
// and y, either followed by "xN" when the same entry repeats N times), and
// "done" as the last line, so that a cut file is always noticed.
#include "app/exercise/exercise.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>

#include "app/language/language.h"
#include "host/files.h"

namespace {

constexpr const char* kMagic = "grimalou-exercise";
constexpr const char* kEntriesLine = "entries";
constexpr const char* kLastLine = "done";
// Pointer samples and the y of events, in virtual units: the virtual screen
// is 1280 x 800, and a touch in a letterbox bar of a very wide or tall
// window lies further out, but never this far.
constexpr int kMaxCoordinate = 65535;

// The face's fields in the order the file lists them, part by part, with the
// values each may take. Rows and steps choose a part's picture (row + step
// indexes its picture array), so their bounds are the ones the face can
// reach; positions and angles index nothing and only have to be sane. Each
// names its place in the `Face`: a part's value, or the face's own (a flag
// written yes or no, or a flag written 0 or 1 as the buttons' states were),
// and the format that added it: an older file has none of the later ones,
// which keep the value of a new face.
enum class Kind { Int, Float, Flag, Bit };
struct Field {
    const char* name;
    Kind kind;
    int part;  // a PartIndex, or -1 for the face's own value
    int PartState::*partInt;
    float PartState::*partFloat;
    int Face::*faceInt;
    bool Face::*faceFlag;
    double min, max;
    int since = 1;
};
constexpr double kPlace = 4000;  // positions: the face picture is about 800 units wide
constexpr double kTurn = 180;    // angles: half a turn either way
#define PART_INT(name, part, member, min, max) \
    {name, Kind::Int, part, &PartState::member, nullptr, nullptr, nullptr, min, max}
#define PART_FLOAT(name, part, member, bound) \
    {name, Kind::Float, part, nullptr, &PartState::member, nullptr, nullptr, -(bound), bound}
#define FACE_INT(name, member, min, max) {name, Kind::Int, -1, nullptr, nullptr, &Face::member, nullptr, min, max}
#define FACE_FLAG(name, member) {name, Kind::Flag, -1, nullptr, nullptr, nullptr, &Face::member, 0, 1}
#define FACE_BIT(name, member) {name, Kind::Bit, -1, nullptr, nullptr, nullptr, &Face::member, 0, 1}
#define FACE_INT_SINCE(name, member, min, max, since) \
    {name, Kind::Int, -1, nullptr, nullptr, &Face::member, nullptr, min, max, since}
const Field kFields[] = {
    PART_INT("mouthRight.frame", PART_MOUTH_RIGHT, frame, 0, MOUTH_LAST_ROW),
    PART_INT("mouthRight.variant", PART_MOUTH_RIGHT, variant, 0, LAST_STEP),
    PART_FLOAT("mouthRight.x", PART_MOUTH_RIGHT, x, kPlace),
    PART_FLOAT("mouthRight.y", PART_MOUTH_RIGHT, y, kPlace),
    PART_INT("mouthLeft.frame", PART_MOUTH_LEFT, frame, 0, MOUTH_LAST_ROW),
    PART_INT("mouthLeft.variant", PART_MOUTH_LEFT, variant, 0, LAST_STEP),
    PART_FLOAT("mouthLeft.x", PART_MOUTH_LEFT, x, kPlace),
    PART_FLOAT("mouthLeft.y", PART_MOUTH_LEFT, y, kPlace),
    PART_INT("lipsRight.frame", PART_LIPS_RIGHT, frame, 0, LIPS_LAST_ROW),
    PART_INT("lipsRight.variant", PART_LIPS_RIGHT, variant, 0, LAST_STEP),
    PART_FLOAT("lipsRight.x", PART_LIPS_RIGHT, x, kPlace),
    PART_FLOAT("lipsRight.y", PART_LIPS_RIGHT, y, kPlace),
    PART_INT("lipsLeft.frame", PART_LIPS_LEFT, frame, 0, LIPS_LAST_ROW),
    PART_INT("lipsLeft.variant", PART_LIPS_LEFT, variant, 0, LAST_STEP),
    PART_FLOAT("lipsLeft.x", PART_LIPS_LEFT, x, kPlace),
    PART_FLOAT("lipsLeft.y", PART_LIPS_LEFT, y, kPlace),
    PART_INT("teethRight.frame", PART_TEETH_RIGHT, frame, 0, LIPS_LAST_ROW),
    PART_INT("teethRight.variant", PART_TEETH_RIGHT, variant, 0, LAST_STEP),
    PART_FLOAT("teethRight.x", PART_TEETH_RIGHT, x, kPlace),
    PART_FLOAT("teethRight.y", PART_TEETH_RIGHT, y, kPlace),
    PART_INT("teethLeft.frame", PART_TEETH_LEFT, frame, 0, LIPS_LAST_ROW),
    PART_INT("teethLeft.variant", PART_TEETH_LEFT, variant, 0, LAST_STEP),
    PART_FLOAT("teethLeft.x", PART_TEETH_LEFT, x, kPlace),
    PART_FLOAT("teethLeft.y", PART_TEETH_LEFT, y, kPlace),
    PART_INT("tongue.frame", PART_TONGUE, frame, 0, TONGUE_LAST_ROW),
    PART_INT("tongue.variant", PART_TONGUE, variant, 0, TONGUE_LAST_STEP),
    PART_FLOAT("tongue.x", PART_TONGUE, x, kPlace),
    PART_FLOAT("tongue.y", PART_TONGUE, y, kPlace),
    FACE_INT("tongueDepth", tongueDepth, 0, TONGUE_DEPTH_LAST),
    FACE_INT("tongueShift", tongueShift, -TONGUE_SHIFT_MAX, TONGUE_SHIFT_MAX),
    FACE_FLAG("tongueOut", tongueOut),
    FACE_FLAG("tongueUnmirrored", tongueUnmirrored),
    PART_INT("eyeRight.variant", PART_EYE_RIGHT, variant, 0, EYE_LAST_STEP),
    PART_FLOAT("eyeRight.x", PART_EYE_RIGHT, x, kPlace),
    PART_FLOAT("eyeRight.y", PART_EYE_RIGHT, y, kPlace),
    PART_INT("eyeLeft.variant", PART_EYE_LEFT, variant, 0, EYE_LAST_STEP),
    PART_FLOAT("eyeLeft.x", PART_EYE_LEFT, x, kPlace),
    PART_FLOAT("eyeLeft.y", PART_EYE_LEFT, y, kPlace),
    PART_FLOAT("browRight.angle", PART_BROW_RIGHT, angle, kTurn),
    PART_FLOAT("browRight.x", PART_BROW_RIGHT, x, kPlace),
    PART_FLOAT("browRight.y", PART_BROW_RIGHT, y, kPlace),
    PART_FLOAT("browLeft.angle", PART_BROW_LEFT, angle, kTurn),
    PART_FLOAT("browLeft.x", PART_BROW_LEFT, x, kPlace),
    PART_FLOAT("browLeft.y", PART_BROW_LEFT, y, kPlace),
    PART_INT("cheekRight.variant", PART_CHEEK_RIGHT, variant, 0, CHEEK_LAST_STEP),
    PART_INT("cheekLeft.variant", PART_CHEEK_LEFT, variant, 0, CHEEK_LAST_STEP),
    FACE_BIT("tongueButton.state", tongueMode),
    FACE_BIT("symmetryButton.state", paired),
    FACE_FLAG("lipsMode", lipsMode),
    FACE_FLAG("teethMode", teethMode),
    FACE_FLAG("pursedMouth", pursedMouth),
    FACE_FLAG("roundMouth", roundMouth),
    FACE_INT_SINCE("jaw", jaw, JAW_PRESSED_LAST, JAW_OPEN_LAST, JAW_FORMAT),
    FACE_INT_SINCE("openTongue", openTongue, 0, OPEN_TONGUE_PLACES - 1, JAW_FORMAT),
};
#undef PART_INT
#undef PART_FLOAT
#undef FACE_INT
#undef FACE_FLAG
#undef FACE_BIT
#undef FACE_INT_SINCE
constexpr int kFieldCount = sizeof kFields / sizeof kFields[0];
static_assert(kFieldCount == 54, "the format's fields: a new one is a new version");

double ValueOf(const Face& face, const Field& field) {
    if (field.part >= 0) {
        const PartState& part = face.parts[field.part];
        return field.kind == Kind::Float ? part.*field.partFloat : part.*field.partInt;
    }
    if (field.faceInt) return face.*field.faceInt;
    return face.*field.faceFlag ? 1 : 0;
}

// Takes a value that fits the field.
void SetValue(Face* face, const Field& field, double value) {
    if (field.part >= 0) {
        PartState& part = face->parts[field.part];
        if (field.kind == Kind::Float)
            part.*field.partFloat = static_cast<float>(value);
        else
            part.*field.partInt = static_cast<int>(value);
    } else if (field.faceInt) {
        face->*field.faceInt = static_cast<int>(value);
    } else {
        face->*field.faceFlag = value != 0;
    }
}

// The names of the entry codes in the file. A new event is a new row.
struct EventName {
    int code;
    const char* name;
};
const EventName kEvents[] = {
    {ENTRY_IDLE, "idle"},     {ENTRY_END, "end"},     {ENTRY_TONGUE, "tongue"},
    {ENTRY_RANDOM, "random"}, {ENTRY_RESET, "reset"}, {ENTRY_SYMMETRY, "symmetry"},
};

const char* EventNameOf(int code) {
    for (const EventName& e : kEvents)
        if (e.code == code) return e.name;
    return nullptr;
}

// The other header lines.
const char* const kChildKey = "child";
const char* const kPaceKey = "pace";
const char* const kRandomKey = "randomState";
const char* const kPaceWords[] = {"normal", "half"};
// The prescription's lines, from format 2 on. A title or a note is the rest
// of its line after the name and its spaces, without the spaces that end it.
const char* const kTitleKey = "title";
const char* const kNoteKey = "note";
const char* const kRepeatKey = "repeat";
const char* const kHoldKey = "hold";
constexpr int kPrescriptionVersion = 2;
// The format of the program that made the recording, from format 3 on; an
// older file's is its own.
const char* const kRecordedInKey = "recordedIn";

// Without the spaces and tabs that start and end it.
std::string Trimmed(const std::string& text) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return std::string();
    return text.substr(start, text.find_last_not_of(" \t") + 1 - start);
}

// A whole number of any size as text.
std::string Number(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

// The text of a number that reads back as the same float: the shortest one.
std::string FloatText(float value) {
    char buffer[32];
#if defined(__cpp_lib_to_chars)
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
#else
    // A C++ library without floating-point to_chars (the browser build's):
    // the fewest significant digits that read back as the same float. The
    // program never changes LC_NUMERIC, so the point stays a point.
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
        if (std::strtof(buffer, nullptr) == value) break;
    }
    return buffer;
#endif
}

std::string ValueText(const Face& face, const Field& field) {
    double value = ValueOf(face, field);
    switch (field.kind) {
        case Kind::Int:
        case Kind::Bit: return std::to_string(static_cast<int>(value));
        case Kind::Float: return FloatText(static_cast<float>(value));
        case Kind::Flag: return value != 0 ? "yes" : "no";
    }
    return std::string();
}

// "" when `value` fits `field`.
std::string CheckValue(const Field& field, double value) {
    if (field.kind == Kind::Float && !std::isfinite(value)) return std::string(field.name) + " is not a number";
    if (value >= field.min && value <= field.max) return std::string();
    std::string shown = field.kind == Kind::Float ? FloatText(static_cast<float>(value)) : Number(value);
    return std::string(field.name) + " " + shown + " is out of range (" + Number(field.min) + " to " +
           Number(field.max) + ")";
}

// "" when the entry can be played; `last`: it is the exercise's last entry.
std::string CheckEntry(const ExerciseEntry& entry, bool last) {
    std::string where = "(" + std::to_string(entry.x) + ", " + std::to_string(entry.y) + ")";
    if (entry.x > kMaxCoordinate || entry.y < 0 || entry.y > kMaxCoordinate)
        return "the entry " + where + " is out of range (0 to " + std::to_string(kMaxCoordinate) + ")";
    for (const FingerSample& f : entry.more)
        if (f.touching && (f.x < 0 || f.x > kMaxCoordinate || f.y < 0 || f.y > kMaxCoordinate))
            return "the entry " + where + " has a finger out of range (0 to " + std::to_string(kMaxCoordinate) + ")";
    if (entry.x < 0 && !EventNameOf(entry.x)) return "the entry " + where + " has no known event";
    if (entry.x == ENTRY_END && !last) return "an entry follows the end mark";
    return std::string();
}

// A line cut into words at spaces and tabs.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A word shown in a message: what a terminal can print, and not too much of it.
std::string Quoted(const std::string& word) {
    std::string shown;
    for (size_t i = 0; i < word.size() && i < 24; ++i) {
        unsigned char c = static_cast<unsigned char>(word[i]);
        shown += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    if (word.size() > 24) shown += "...";
    return "'" + shown + "'";
}

// Whole-word numbers only: "12x" or "" are not numbers.
bool ParseInt(const std::string& word, long long* value) {
    const char* end = word.data() + word.size();
    auto result = std::from_chars(word.data(), end, *value);
    return result.ec == std::errc() && result.ptr == end;
}

// A stream in the classic locale rather than from_chars, which the browser
// build's C++ library lacks for floats, or strtof, which would read "1,5"
// under a French LC_NUMERIC.
bool ParseFloat(const std::string& word, float* value) {
    std::istringstream in(word);
    in.imbue(std::locale::classic());
    in >> *value;
    return !in.fail() && in.peek() == std::char_traits<char>::eof();
}

// A name as a later version would give a new field or event.
bool LooksLikeName(const std::string& word) {
    if (word.empty() || word[0] < 'a' || word[0] > 'z') return false;
    for (char c : word)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'))
            return false;
    return true;
}

const char* const kNewer = "; it was made by a newer version of Grimalou";

// One pass over the text's lines; each Take* returns "" or the problem.
class Reader {
public:
    Exercise exercise;

    std::string Read(const std::string& text) {
        if (text.size() > EXERCISE_MAX_BYTES)
            return "it is larger than 1 MiB, far too large for an exercise (at most about 6.5 KB)";
        if (text.find_first_not_of(" \t\r\n") == std::string::npos) return "it is empty";
        // A byte-order mark, as some editors put before UTF-8 text, is not a word.
        size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            start = end + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ++lineNumber_;
            std::string problem = TakeLine(line);
            // A last line without its line break is where a cut file stops.
            if (!problem.empty() && end == text.size() && lineNumber_ > 1)
                return "it ends early, in line " + std::to_string(lineNumber_) + ": the file is cut short";
            if (!problem.empty()) return lineNumber_ == 1 ? problem : At(problem);
        }
        if (stage_ != Stage::Done)
            return "it ends early, after line " + std::to_string(lineNumber_) + ", without its last line '" +
                   kLastLine + "': the file is cut short";
        return std::string();
    }

private:
    enum class Stage { Header, Fields, Entries, Done };
    Stage stage_ = Stage::Header;
    int lineNumber_ = 0;
    bool seen_[kFieldCount] = {};
    bool seenChild_ = false, seenPace_ = false, seenRandom_ = false;
    bool seenTitle_ = false, seenNote_ = false, seenRepeat_ = false, seenHold_ = false, seenRecordedIn_ = false;
    int version_ = 0;

    std::string At(const std::string& problem) const { return "line " + std::to_string(lineNumber_) + ": " + problem; }

    std::string TakeLine(const std::string& line) {
        std::vector<std::string> words = Words(line);
        if (stage_ == Stage::Header) return TakeHeader(words);
        if (words.empty() || words[0][0] == '#') return std::string();
        if (stage_ == Stage::Fields && (words[0] == kTitleKey || words[0] == kNoteKey)) return TakeText(line, words[0]);
        switch (stage_) {
            case Stage::Fields: return TakeField(words);
            case Stage::Entries: return TakeEntry(words);
            default: return "there is more after the last line '" + std::string(kLastLine) + "'";
        }
    }

    std::string TakeHeader(const std::vector<std::string>& words) {
        if (words.size() != 2 || words[0] != kMagic) return "it is not a Grimalou exercise";
        long long version = 0;
        if (!ParseInt(words[1], &version) || version < 1) return "it is not a Grimalou exercise (bad version)";
        if (version > EXERCISE_FORMAT_VERSION)
            return "it was made by a newer version of Grimalou (exercise format " + words[1] +
                   "; this version reads format " + std::to_string(EXERCISE_FORMAT_VERSION) + " and older)";
        version_ = static_cast<int>(version);
        exercise.recordedIn = version_;
        stage_ = Stage::Fields;
        return std::string();
    }

    // A field that the first formats did not have.
    std::string Since(const std::string& name, int since) const {
        if (version_ >= since) return std::string();
        return Quoted(name) + " is a field of format " + std::to_string(since) + ", and the file says format " +
               std::to_string(version_);
    }
    std::string Later(const std::string& name, int since, bool* seen) {
        std::string problem = Since(name, since);
        if (!problem.empty()) return problem;
        if (*seen) return Twice(name);
        *seen = true;
        return std::string();
    }

    std::string TakeText(const std::string& line, const std::string& name) {
        bool title = name == kTitleKey;
        std::string problem = Later(name, kPrescriptionVersion, title ? &seenTitle_ : &seenNote_);
        if (!problem.empty()) return problem;
        std::string text = Trimmed(line.substr(line.find(name) + name.size()));
        problem = CheckText(text, title ? TITLE_MAX_CHARS : NOTE_MAX_CHARS);
        if (title && text.empty()) problem = "is empty";
        if (!problem.empty()) return "the " + name + " " + problem;
        (title ? exercise.title : exercise.note) = text;
        return std::string();
    }

    std::string TakeCount(const std::string& name, const std::string& value, int min, int max, int* count,
                          int since, bool* seen) {
        std::string problem = Later(name, since, seen);
        if (!problem.empty()) return problem;
        long long number = 0;
        if (!ParseInt(value, &number) || number < min || number > max)
            return name + " " + Quoted(value) + " is not a whole number from " + std::to_string(min) + " to " +
                   std::to_string(max);
        *count = static_cast<int>(number);
        return std::string();
    }

    std::string TakeField(const std::vector<std::string>& words) {
        if (words.size() == 1 && words[0] == kEntriesLine) return StartEntries();
        if (words.size() != 2) return "expected a name and one value, found " + Quoted(words[0]) + "...";
        const std::string &name = words[0], &value = words[1];
        if (name == kChildKey) return TakeChild(value);
        if (name == kPaceKey) return TakePace(value);
        if (name == kRandomKey) return TakeRandom(value);
        if (name == kRepeatKey)
            return TakeCount(name, value, REPEAT_MIN, REPEAT_MAX, &exercise.repeat, kPrescriptionVersion, &seenRepeat_);
        if (name == kHoldKey)
            return TakeCount(name, value, 0, HOLD_MAX_SECONDS, &exercise.holdSeconds, kPrescriptionVersion, &seenHold_);
        if (name == kRecordedInKey)
            return TakeCount(name, value, 1, version_, &exercise.recordedIn, JAW_FORMAT, &seenRecordedIn_);
        for (int i = 0; i < kFieldCount; ++i)
            if (name == kFields[i].name) return TakeFace(i, value);
        return "unknown field " + Quoted(name);
    }

    std::string Twice(const std::string& name) const { return Quoted(name) + " is given twice"; }

    std::string TakeChild(const std::string& value) {
        if (seenChild_) return Twice(kChildKey);
        seenChild_ = true;
        for (Child c : {Child::Girl, Child::Boy})
            if (value == ChildWord(c)) {
                exercise.child = c;
                return std::string();
            }
        return "the child is " + Quoted(value) + ", neither 'girl' nor 'boy'";
    }

    std::string TakePace(const std::string& value) {
        if (seenPace_) return Twice(kPaceKey);
        seenPace_ = true;
        for (Pace p : {Pace::Normal, Pace::Half})
            if (value == kPaceWords[static_cast<int>(p)]) {
                exercise.pace = p;
                return std::string();
            }
        return "the pace is " + Quoted(value) + ", neither 'normal' nor 'half'";
    }

    std::string TakeRandom(const std::string& value) {
        if (seenRandom_) return Twice(kRandomKey);
        seenRandom_ = true;
        long long state = 0;
        if (!ParseInt(value, &state) || state < INT32_MIN || state > INT32_MAX)
            return "the random state " + Quoted(value) + " is not a 32-bit whole number";
        exercise.randomState = static_cast<int>(state);
        return std::string();
    }

    std::string TakeFace(int index, const std::string& value) {
        const Field& field = kFields[index];
        std::string newer = Since(field.name, field.since);
        if (!newer.empty()) return newer;
        if (seen_[index]) return Twice(field.name);
        seen_[index] = true;
        Face& face = exercise.startFace;
        if (field.kind == Kind::Flag) {
            if (value != "yes" && value != "no") return std::string(field.name) + " is " + Quoted(value) + ", not yes or no";
            SetValue(&face, field, value == "yes" ? 1 : 0);
            return std::string();
        }
        if (field.kind == Kind::Float) {
            float number = 0;
            if (!ParseFloat(value, &number)) return std::string(field.name) + " " + Quoted(value) + " is not a number";
            std::string problem = CheckValue(field, number);
            if (problem.empty()) SetValue(&face, field, number);
            return problem;
        }
        long long number = 0;
        if (!ParseInt(value, &number)) return std::string(field.name) + " " + Quoted(value) + " is not a whole number";
        std::string problem = CheckValue(field, static_cast<double>(number));
        if (problem.empty()) SetValue(&face, field, static_cast<double>(number));
        return problem;
    }

    std::string StartEntries() {
        std::string missing;
        if (!seenChild_) missing = kChildKey;
        if (!seenPace_) missing = kPaceKey;
        if (!seenRandom_) missing = kRandomKey;
        if (version_ >= kPrescriptionVersion) {
            if (!seenTitle_) missing = kTitleKey;
            if (!seenNote_) missing = kNoteKey;
            if (!seenRepeat_) missing = kRepeatKey;
            if (!seenHold_) missing = kHoldKey;
        }
        if (version_ >= JAW_FORMAT && !seenRecordedIn_) missing = kRecordedInKey;
        for (int i = 0; i < kFieldCount && missing.empty(); ++i)
            if (!seen_[i] && kFields[i].since <= version_) missing = kFields[i].name;
        if (!missing.empty()) return "the field " + Quoted(missing) + " is missing before the entries";
        stage_ = Stage::Entries;
        return std::string();
    }

    std::string TakeEntry(const std::vector<std::string>& words) {
        if (words.size() == 1 && words[0] == kLastLine) {
            stage_ = Stage::Done;
            return std::string();
        }
        // The entry, the other fingers three words each, and the repetition.
        size_t fingers = 0;
        while (2 + 3 * fingers + 3 <= words.size() && words[2 + 3 * fingers].size() == 2 &&
               words[2 + 3 * fingers][0] == 'f')
            ++fingers;
        size_t used = 2 + 3 * fingers;
        if (words.size() < 2 || (words.size() != used && words.size() != used + 1))
            return "expected an entry, found " + Quoted(words[0]) + "...";
        ExerciseEntry entry;
        if (fingers > 0 && version_ < FINGERS_FORMAT)
            return "an entry has a second finger, which format " + std::to_string(version_) + " does not have";
        for (size_t k = 0; k < fingers; ++k) {
            const std::string& name = words[2 + 3 * k];
            long long fx = 0, fy = 0;
            int slot = name[1] - '1';
            if (slot < 0 || slot >= MORE_FINGERS || entry.more[slot].touching)
                return "the finger " + Quoted(name) + " is not f1 to f" + std::to_string(MORE_FINGERS) +
                       ", once each";
            if (!ParseInt(words[3 + 3 * k], &fx) || !ParseInt(words[4 + 3 * k], &fy) || fx < 0 || fy < 0 ||
                fx > kMaxCoordinate || fy > kMaxCoordinate)
                return "the finger " + Quoted(name) + "'s place is not two whole numbers from 0 to " +
                       std::to_string(kMaxCoordinate);
            entry.more[slot] = {true, static_cast<int>(fx), static_cast<int>(fy)};
        }
        long long x = 0, y = 0, times = 1;
        if (ParseInt(words[0], &x)) {
            if (x < 0 || x > kMaxCoordinate) return "the entry's x " + Quoted(words[0]) + " is out of range";
            entry.x = static_cast<int>(x);
        } else {
            bool known = false;
            for (const EventName& e : kEvents)
                if (words[0] == e.name) entry.x = e.code, known = true;
            if (!known && LooksLikeName(words[0]))
                return "the event " + Quoted(words[0]) + " is unknown to this version" + kNewer;
            if (!known) return Quoted(words[0]) + " is not an entry";
        }
        if (!ParseInt(words[1], &y) || y < 0 || y > kMaxCoordinate)
            return "the entry's y " + Quoted(words[1]) + " is not a whole number from 0 to " +
                   std::to_string(kMaxCoordinate);
        entry.y = static_cast<int>(y);
        if (words.size() == used + 1 && (words[used].size() < 2 || words[used][0] != 'x' ||
                                         !ParseInt(words[used].substr(1), &times) || times < 1))
            return "the repetition " + Quoted(words[used]) + " is not x followed by a count";
        std::vector<ExerciseEntry>& entries = exercise.entries;
        if (!entries.empty() && entries.back().x == ENTRY_END) return "an entry follows the end mark";
        if (times > EXERCISE_MAX_ENTRIES - static_cast<long long>(entries.size()))
            return "there are more than " + std::to_string(EXERCISE_MAX_ENTRIES) + " entries";
        if (entry.x == ENTRY_END && times > 1) return "the end mark is repeated";
        entries.insert(entries.end(), static_cast<size_t>(times), entry);
        return std::string();
    }
};

}  // namespace

void CopyStoredValues(const Face& from, Face* to) {
    for (const Field& field : kFields) SetValue(to, field, ValueOf(from, field));
}

bool SameFace(const Face& a, const Face& b) {
    for (const Field& field : kFields)
        if (ValueOf(a, field) != ValueOf(b, field)) return false;
    return true;
}

bool operator==(const Exercise& a, const Exercise& b) {
    if (a.child != b.child || !SameFace(a.startFace, b.startFace) || a.randomState != b.randomState || a.pace != b.pace ||
        a.title != b.title || a.note != b.note || a.repeat != b.repeat || a.holdSeconds != b.holdSeconds ||
        a.recordedIn != b.recordedIn || a.entries.size() != b.entries.size())
        return false;
    return a.entries == b.entries;
}

bool operator==(const ExerciseEntry& a, const ExerciseEntry& b) {
    if (a.x != b.x || a.y != b.y) return false;
    for (int f = 0; f < MORE_FINGERS; ++f)
        if (a.more[f] != b.more[f]) return false;
    return true;
}

const char* ChildWord(Child child) { return child == Child::Girl ? "girl" : "boy"; }

std::string DefaultTitle(Child child, const LocalTime& t) {
    char text[64];
    // TRANSLATORS: the title a saved exercise gets until it is named: the child, the date and the time.
    std::snprintf(text, sizeof text, _("%s, %04d-%02d-%02d %02d:%02d"), child == Child::Girl ? _("Girl") : _("Boy"), t.year,
                  t.month, t.day, t.hour, t.minute);
    return text;
}

int CharCount(const std::string& text) {
    int count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::string CheckText(const std::string& text, int maxChars) {
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) return "holds a control character";
        // The shortest form only, and no surrogate or code point past U+10FFFF.
        int length = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return "is not UTF-8 text";
        unsigned char second = length > 1 ? static_cast<unsigned char>(text[i + 1]) : 0x80;
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
            (c == 0xF4 && second > 0x8F))
            return "is not UTF-8 text";
        for (int k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return "is not UTF-8 text";
        i += length;
    }
    if (CharCount(text) > maxChars)
        return "is " + std::to_string(CharCount(text)) + " characters long, more than " + std::to_string(maxChars);
    return std::string();
}

std::string PrescriptionText(const Exercise& exercise) {
    char text[96];
    // TRANSLATORS: an exercise's prescription: how many times, and how many seconds each hold lasts.
    std::snprintf(text, sizeof text, _("%d x hold %d s"), exercise.repeat, exercise.holdSeconds);
    return text;
}

std::string CheckExercise(const Exercise& exercise) {
    if (exercise.title.empty()) return "it has no title";
    for (const std::string* text : {&exercise.title, &exercise.note}) {
        bool title = text == &exercise.title;
        std::string problem = CheckText(*text, title ? TITLE_MAX_CHARS : NOTE_MAX_CHARS);
        if (problem.empty() && *text != Trimmed(*text)) problem = "starts or ends with a space";
        if (!problem.empty()) return std::string("the ") + (title ? kTitleKey : kNoteKey) + " " + problem;
    }
    if (exercise.repeat < REPEAT_MIN || exercise.repeat > REPEAT_MAX) return "repeat is out of range (1 to 10)";
    if (exercise.holdSeconds < 0 || exercise.holdSeconds > HOLD_MAX_SECONDS) return "hold is out of range (0 to 10)";
    if (exercise.recordedIn < 1 || exercise.recordedIn > EXERCISE_FORMAT_VERSION)
        return "recordedIn is out of range (1 to " + std::to_string(EXERCISE_FORMAT_VERSION) + ")";
    for (const Field& field : kFields) {
        std::string problem = CheckValue(field, ValueOf(exercise.startFace, field));
        if (!problem.empty()) return problem;
    }
    if (exercise.entries.size() > EXERCISE_MAX_ENTRIES)
        return "there are more than " + std::to_string(EXERCISE_MAX_ENTRIES) + " entries";
    for (size_t i = 0; i < exercise.entries.size(); ++i) {
        std::string problem = CheckEntry(exercise.entries[i], i + 1 == exercise.entries.size());
        if (!problem.empty()) return problem;
    }
    return std::string();
}

std::string WriteExercise(const Exercise& exercise) {
    std::string text = std::string(kMagic) + " " + std::to_string(EXERCISE_FORMAT_VERSION) + "\n";
    text += "# A face exercise for Grimalou, played at 60 entries a second.\n";
    text += std::string(kChildKey) + " " + ChildWord(exercise.child) + "\n";
    text += std::string(kPaceKey) + " " + kPaceWords[static_cast<int>(exercise.pace)] + "\n";
    text += std::string(kRandomKey) + " " + std::to_string(exercise.randomState) + "\n";
    text += "# What it is called, a line for whoever plays it at home, how many times\n";
    text += "# it plays and how many seconds the face holds between two.\n";
    text += std::string(kTitleKey) + " " + exercise.title + "\n";
    text += exercise.note.empty() ? std::string(kNoteKey) + "\n" : std::string(kNoteKey) + " " + exercise.note + "\n";
    text += std::string(kRepeatKey) + " " + std::to_string(exercise.repeat) + "\n";
    text += std::string(kHoldKey) + " " + std::to_string(exercise.holdSeconds) + "\n";
    text += "# The format of the program that recorded it: its random faces are that one's.\n";
    text += std::string(kRecordedInKey) + " " + std::to_string(exercise.recordedIn) + "\n";
    text += "# The face when recording started.\n";
    for (const Field& field : kFields) text += std::string(field.name) + " " + ValueText(exercise.startFace, field) + "\n";
    text += "# One entry a tick: a touch at x y, or an event and the y of the touch;\n";
    text += "# xN repeats an entry N times.\n";
    text += std::string(kEntriesLine) + "\n";
    const std::vector<ExerciseEntry>& entries = exercise.entries;
    for (size_t i = 0; i < entries.size();) {
        size_t run = 1;
        while (i + run < entries.size() && entries[i + run] == entries[i]) ++run;
        const char* name = entries[i].x < 0 ? EventNameOf(entries[i].x) : nullptr;
        text += name ? std::string(name) : std::to_string(entries[i].x);
        text += " " + std::to_string(entries[i].y);
        for (int f = 0; f < MORE_FINGERS; ++f)
            if (entries[i].more[f].touching)
                text += " f" + std::to_string(f + 1) + " " + std::to_string(entries[i].more[f].x) + " " +
                        std::to_string(entries[i].more[f].y);
        if (run > 1) text += " x" + std::to_string(run);
        text += "\n";
        i += run;
    }
    text += std::string(kLastLine) + "\n";
    return text;
}

std::string ReadExercise(const std::string& text, Exercise* exercise) {
    Reader reader;
    std::string problem = reader.Read(text);
    if (problem.empty()) *exercise = reader.exercise;
    return problem;
}
