#include "app/language/catalogue.h"
#include "app/language/language.h"

#include <cstdarg>
#include <cstdio>

namespace {

// The shown language; its catalogue is empty for English.
struct Shown {
    std::string code = "en";
    Catalogue catalogue;
    int generation = 0;
};
Shown& TheLanguage() {
    static Shown shown;
    return shown;
}

}  // namespace

const char* Translate(const char* english) {
    const Catalogue& c = TheLanguage().catalogue;
    auto found = c.messages.find(english);
    if (found == c.messages.end() || !*found->second[0]) return english;
    return found->second[0];
}

const char* TranslatePlural(const char* one, const char* many, unsigned long n) {
    const Catalogue& c = TheLanguage().catalogue;
    auto found = c.messages.find(one);
    if (found != c.messages.end()) {
        unsigned long form = c.plural.FormOf(n);
        if (form < found->second.size() && *found->second[form]) return found->second[form];
    }
    return n == 1 ? one : many;
}

const std::string& CurrentLanguage() { return TheLanguage().code; }
int LanguageGeneration() { return TheLanguage().generation; }

void ShowCatalogue(const std::string& code, Catalogue catalogue) {
    Shown& shown = TheLanguage();
    ++shown.generation;
    shown.code = code;
    shown.catalogue = std::move(catalogue);
}

std::string Printed(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&text[0], text.size() + 1, format, again);
    va_end(again);
    return text;
}
