// The exercise reader on any text: never crashes, and what it takes is an
// exercise that passes the check and reads back equal from its own text,
// which is written the same way again. A format 1 text has no title, which
// whoever reads it gives (the library from the file's date).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/exercise/exercise.h"
#include "host/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    Exercise read;
    if (!ReadExercise(text, &read).empty()) return 0;
    if (read.title.empty()) read.title = DefaultTitle(read.child, LocalTime());
    if (!CheckExercise(read).empty()) std::abort();
    std::string written = WriteExercise(read);
    Exercise again;
    if (!ReadExercise(written, &again).empty() || !(again == read)) std::abort();
    if (WriteExercise(again) != written) std::abort();
    return 0;
}
