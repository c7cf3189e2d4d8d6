// Bytes read as a compiled catalogue: never crashes, and a catalogue that is
// read has a plural rule that picks a form for any count without crashing.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/language/catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Catalogue catalogue;
    std::string problem = ReadCatalogue(std::string(reinterpret_cast<const char*>(data), size), &catalogue);
    if (!problem.empty() && !catalogue.messages.empty()) std::abort();
    for (unsigned long n : {0ul, 1ul, 2ul, 5ul, 11ul, 101ul, 4294967295ul}) catalogue.plural.FormOf(n);
    return 0;
}
