#include "app/exercise/exercise_library.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "app/language/language.h"

namespace {

// The name of a saved exercise: the date and time, the child, then "-N"
// from the second save of the same second on.
std::string Stem(const LocalTime& t, Child child) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d_%s", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, ChildWord(child));
    return text;
}

// Reads back what Stem wrote; false for any other name. `*sequence` is 1
// for the first save of a second.
bool ParseName(const std::string& name, LocalTime* t, Child* child, int* sequence) {
    std::string rest = name.substr(0, name.size() - std::string(EXERCISE_EXTENSION).size());
    int used = 0;
    if (std::sscanf(rest.c_str(), "%4d-%2d-%2d_%2d-%2d-%2d_%n", &t->year, &t->month, &t->day, &t->hour, &t->minute,
                    &t->second, &used) != 6 ||
        used != 20)
        return false;
    rest = rest.substr(20);
    *sequence = 1;
    size_t dash = rest.find('-');
    if (dash != std::string::npos) {
        int next = 0;
        if (std::sscanf(rest.c_str() + dash, "-%d%n", sequence, &next) != 1 || dash + next != rest.size() ||
            *sequence < 2)
            return false;
        rest = rest.substr(0, dash);
    }
    for (Child c : {Child::Girl, Child::Boy})
        if (rest == ChildWord(c)) {
            *child = c;
            return true;
        }
    return false;
}

}  // namespace

std::string ExerciseFolder() {
    std::string data = UserDataFolder();
    return data.empty() ? data : data + "/grimalou/exercises";
}

// The library's file holding the same recording (whatever its title), or "".
static std::string FindRecording(const Exercise& exercise) {
    std::vector<LibraryEntry> entries;
    ListExercises(&entries);
    for (const LibraryEntry& entry : entries) {
        Exercise saved;
        if (LoadExercise(entry.path, &saved).empty()) {
            saved.title = exercise.title, saved.note = exercise.note;
            saved.repeat = exercise.repeat, saved.holdSeconds = exercise.holdSeconds;
            if (saved == exercise) return entry.path;
        }
    }
    return std::string();
}

std::string SaveExercise(const Exercise& given, const LocalTime& when, std::string* path, bool* already,
                         const std::string& stem) {
    Exercise exercise = given;
    if (exercise.title.empty()) exercise.title = DefaultTitle(exercise.child, when);
    std::string problem = CheckExercise(exercise);
    if (!problem.empty()) return "the exercise cannot be saved: " + problem;
    std::string folder = ExerciseFolder();
    if (folder.empty()) return "there is no folder to save in: neither XDG_DATA_HOME nor HOME is set";
    std::string same = FindRecording(exercise);
    if (already) *already = !same.empty();
    if (!same.empty()) {
        *path = same;
        return std::string();
    }
    problem = MakeFolders(folder);
    if (!problem.empty()) return problem;
    std::string name;
    problem = SaveNewFile(folder, stem.empty() ? Stem(when, exercise.child) : stem, EXERCISE_EXTENSION,
                          WriteExercise(exercise), &name);
    if (problem.empty()) *path = folder + "/" + name;
    return problem;
}

std::string ListExercises(std::vector<LibraryEntry>* entries) {
    entries->clear();
    std::string folder = ExerciseFolder();
    if (folder.empty()) return std::string();
    std::vector<FolderEntry> files;
    std::string problem = ListFolder(folder, EXERCISE_EXTENSION, &files);
    if (!problem.empty()) return problem;
    // Newest first; saves of the same second by their number.
    std::vector<std::pair<std::tuple<int, int, int, int, int, int, int>, LibraryEntry>> sorted;
    for (const FolderEntry& file : files) {
        LibraryEntry entry;
        entry.path = folder + "/" + file.name;
        entry.name = file.name;
        int sequence = 1;
        entry.childKnown = ParseName(file.name, &entry.saved, &entry.child, &sequence);
        if (!entry.childKnown) entry.saved = LocalTimeOf(file.modified), sequence = 0;
        const LocalTime& t = entry.saved;
        sorted.push_back({{t.year, t.month, t.day, t.hour, t.minute, t.second, sequence}, entry});
    }
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second.name > b.second.name;
    });
    for (auto& item : sorted) entries->push_back(std::move(item.second));
    return std::string();
}

std::string LoadExercise(const std::string& path, Exercise* exercise) {
    std::string text;
    // One byte over the limit, for the reader to see that the file is too big.
    std::string problem = ReadFileBytes(path, EXERCISE_MAX_BYTES + 1, &text);
    if (!problem.empty()) return problem;
    Exercise read;
    problem = ReadExercise(text, &read);
    if (!problem.empty()) return problem;
    if (read.title.empty()) {
        LocalTime made;
        Child child;
        int sequence = 0;
        std::string name = path.substr(path.find_last_of('/') + 1);
        if (!ParseName(name, &made, &child, &sequence)) made = LocalTimeOf(FileModified(path));
        read.title = DefaultTitle(read.child, made);
    }
    *exercise = read;
    return std::string();
}

std::string UpdateExercise(const std::string& path, const Exercise& exercise) {
    std::string problem = CheckExercise(exercise);
    if (!problem.empty()) return "the exercise cannot be saved: " + problem;
    return ReplaceFile(path, WriteExercise(exercise));
}

const char* RefusedFileAdvice(const std::string& problem) {
    if (problem.find("newer version") != std::string::npos)
        return _("This exercise was made by a newer version of Grimalou. Update Grimalou, then open it again.");
    if (problem.compare(0, 7, "cannot ") == 0)
        return _("This exercise file cannot be opened. Check that it is where you think, or ask for it again.");
    return _("This exercise file is damaged. Ask for it again.");
}

std::string DeleteExercise(const std::string& path) { return RemoveFile(path); }
