// The exercise reader on any text: never crashes, and what it takes is an
// exercise that passes the check and reads back equal from its own text,
// which is written the same way again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/exercise/exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    Exercise read;
    if (!ReadExercise(text, &read).empty()) return 0;
    if (!CheckExercise(read).empty()) std::abort();
    std::string written = WriteExercise(read);
    Exercise again;
    if (!ReadExercise(written, &again).empty() || !(again == read)) std::abort();
    if (WriteExercise(again) != written) std::abort();
    return 0;
}
