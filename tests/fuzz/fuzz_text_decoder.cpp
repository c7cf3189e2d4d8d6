// Bytes of a text file to String: never crashes, and UTF-8 saving then loading
// gives the same units back (unless the text starts with U+FEFF, which loading
// takes for a byte-order mark).
#include <cstdint>
#include <cstdlib>

#include "runtime/string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    String text = String::FromFileBytes(data, size);
    if (text.Length() > 0 && text[0] != 0xFEFF) {
        std::string saved = text.ToUtf8();
        String again = String::FromFileBytes(reinterpret_cast<const uint8_t*>(saved.data()), saved.size());
        if (again != text) std::abort();
    }
    if (size == 0 && !text.IsEmpty()) std::abort();
    return 0;
}
