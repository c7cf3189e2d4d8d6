// The String operations on arbitrary texts and positions, checked against
// properties they must keep.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/string.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

String Join(const Array<String>& parts, const String& separator) {
    String out;
    for (int i = 0; i < parts.Length(); ++i) out = i ? out + separator + parts[i] : parts[i];
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    int from = static_cast<int8_t>(data[0]);
    int to = static_cast<int8_t>(data[1]);
    size_t split = data[2] % (size - 3 + 1);
    // Two texts of 16-bit units from the rest: a subject and a pattern.
    const uint8_t* rest = data + 3;
    size_t n = size - 3;
    auto units = [](const uint8_t* p, size_t bytes) {
        Char buffer[2048];
        int count = static_cast<int>(bytes / 2 < 2048 ? bytes / 2 : 2048);
        for (int i = 0; i < count; ++i) buffer[i] = static_cast<Char>(p[2 * i] | p[2 * i + 1] << 8) % 8 + 'a';
        return String(buffer, count);
    };
    String subject = units(rest, split);
    String pattern = units(rest + split, n - split);

    String sub = subject.Substring(from, to);
    Check(sub.Length() <= subject.Length());
    if (sub.Length() > 0) Check(subject.IndexOf(sub) != -1);

    int at = subject.IndexOf(pattern, from);
    if (at != -1) {
        Check(at >= (from < 0 ? 0 : from));
        Check(subject.Substring(at, at + pattern.Length()) == pattern);
        Check(subject.LastIndexOf(pattern) >= at);
    }

    if (pattern.Length() > 0) {
        Array<String> parts = subject.SplitOn(pattern);
        Check(Join(parts, pattern) == subject);
        String replaced = subject.ReplaceAll(pattern, String("#"));
        Check(replaced == Join(parts, String("#")));
    }
    Check(subject.Compare(pattern) == -pattern.Compare(subject) || (subject.Compare(pattern) > 0) == (pattern.Compare(subject) < 0));
    Check((subject.Compare(pattern) == 0) == (subject == pattern));
    Check(subject.HasPrefix(subject.Substring(0, to)));
    (void)subject.ToInt();
    (void)(subject + pattern).Lower();

    // Nothing is rooted: every array block made here is garbage.
    gc_full_collection();
    gc_full_collection();
    gc_destroy_garbage(0x7fffffff);
    return 0;
}
