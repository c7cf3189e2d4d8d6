// A child process for the report tests: raises one kind of failure, chosen by
// its first argument, so the test can check the streams and the exit status.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/errors.h"
#include "runtime/gc_ref.h"

namespace {

class Thing : public Object {
public:
    String DebugText() override { return String("+Thing\n"); }
};
gc_root<Thing> thing;

// The faults are raised on purpose; the sanitizers must not catch them first.
#define RAW_FAULT __attribute__((noinline, no_sanitize_address, no_sanitize_undefined))

RAW_FAULT int Divide(int a, int b) { return a / b; }
RAW_FAULT void WriteThrough(int* p) { *p = 1; }
// Recurses until the stack runs out; the limit only exists to keep the
// compiler from proving the recursion endless.
RAW_FAULT int Recurse(int depth, int limit) {
    volatile char frame[512];
    frame[depth % 512] = static_cast<char>(depth);
    if (depth == limit) return 0;
    return Recurse(depth + 1, limit) + frame[(depth + 7) % 512];
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    InstallFaultTranslator();
    gc_init_lists();
    if (mode == "empty") RuntimeError(String());
    if (mode == "message") RuntimeError(String(argc > 2 ? argv[2] : ""));
    if (mode == "wide") {
        const Char units[] = {'a', 0xE9, 0x141, 'z'};
        RuntimeError(String(units, 4));
    }
    if (mode == "object") {
        thing = new Thing();
        char text[64];
        std::snprintf(text, sizeof text, "object %llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(thing.get())));
        RuntimeError(String(text));
    }
    if (mode == "uncaught") {
        try {
            throw new ThrowableObject();
        } catch (ThrowableObject* t) {
            ReportUncaught(t);
        }
    }
    volatile int zero = 0;
    static int* volatile nowhere = nullptr;
    if (mode == "divide") std::printf("%d\n", Divide(7, zero));
    if (mode == "null") WriteThrough(nowhere);
    if (mode == "overflow") std::printf("%d\n", Recurse(zero, -1));
    std::puts("no failure raised");
    return 3;
}
