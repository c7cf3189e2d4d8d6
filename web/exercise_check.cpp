// For the page's exercise panel: the program's own reader decides what it
// imports, and the program's own order lists the library.
#include <emscripten/emscripten.h>

#include <string>
#include <vector>

#include "app/exercise/exercise_library.h"

// What is wrong with an exercise text, "" when the program reads it.
extern "C" EMSCRIPTEN_KEEPALIVE const char* grimalou_exercise_problem(const char* text) {
    static std::string problem;
    Exercise exercise;
    problem = ReadExercise(text, &exercise);
    return problem.c_str();
}

// The library's file names in the order the program shows them, one a line:
// the page lists them by the same rule.
extern "C" EMSCRIPTEN_KEEPALIVE const char* grimalou_library_names() {
    static std::string names;
    std::vector<LibraryEntry> entries;
    ListExercises(&entries);
    names.clear();
    for (const LibraryEntry& entry : entries) names += entry.name + "\n";
    return names.c_str();
}
