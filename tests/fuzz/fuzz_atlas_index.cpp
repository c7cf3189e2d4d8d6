// The atlas index lookup on any text and key: never crashes, and agrees with
// a plain reading of the format (split into lines, then into fields).
#include <cstdint>
#include <cstdlib>

#include "app/ui/atlas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte is the key's length; the key, then the index text follow.
    size_t keyLength = data[0] % 32;
    if (1 + keyLength > size) return 0;
    String key = String::FromFileBytes(data + 1, keyLength);
    String index = String::FromFileBytes(data + 1 + keyLength, size - 1 - keyLength);

    AtlasRect found;
    bool ok = FindAtlasRect(index, key, &found);

    Array<String> lines = index.SplitOn(String("\n"));
    bool expected = false;
    int values[4] = {0, 0, 0, 0};
    for (int i = 0; i < lines.Length() && !expected; ++i) {
        if (!lines[i].HasPrefix(key)) continue;
        Array<String> fields = lines[i].SplitOn(String(":"));
        if (fields.Length() != 5) continue;
        expected = true;
        for (int f = 0; f < 4; ++f) values[f] = fields[f + 1].ToInt();
    }
    if (ok != expected) std::abort();
    if (ok && (found.x != values[0] || found.y != values[1] || found.width != values[2] || found.height != values[3]))
        std::abort();
    // Nothing is rooted: the arrays made here are garbage, and nothing else
    // would ever collect them.
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
    return 0;
}
