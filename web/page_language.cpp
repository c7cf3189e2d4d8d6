// The page's own words come from the program's catalogue, so that the page
// and the program speak one language.
#include <emscripten/emscripten.h>

#include <string>

#include "app/language/language.h"

extern "C" EMSCRIPTEN_KEEPALIVE const char* grimalou_translate(const char* english) {
    static std::string shown;
    shown = Translate(english);
    return shown.c_str();
}
