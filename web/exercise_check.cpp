// For the page's import of exercise files: the program's own reader decides.
#include <emscripten/emscripten.h>

#include <string>

#include "app/exercise/exercise.h"

// What is wrong with an exercise text, "" when the program reads it.
extern "C" EMSCRIPTEN_KEEPALIVE const char* grimalou_exercise_problem(const char* text) {
    static std::string problem;
    Exercise exercise;
    problem = ReadExercise(text, &exercise);
    return problem.c_str();
}
