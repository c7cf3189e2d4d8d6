#include "host/errors.h"

#include <cstdio>

const char* debugPosition = nullptr;

namespace {

// Writes 8-bit text as UTF-8 (bytes 128..255 become two-byte sequences)
// without allocating, so that reports work from a fault handler.
void WriteLatin1AsUtf8(const char* text) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p < 0x80) {
            std::fputc(*p, stdout);
        } else {
            std::fputc(0xC0 | (*p >> 6), stdout);
            std::fputc(0x80 | (*p & 0x3F), stdout);
        }
    }
}

void PrintLine8(const char* text) {
    WriteLatin1AsUtf8(text);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

void PrintLine(const String& text) {
    std::string bytes = text.ToUtf8();
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintBytesLine(const String& text) {
    std::string bytes = text.ToBytes8();
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

String StackText() {
    if (debugPosition && *debugPosition) return String(debugPosition) + String("\n");
    return String();
}

void FatalReport(const char* message) {
    for (;;) {
        WriteLatin1AsUtf8("Ravlen Runtime Error : ");
        PrintLine8(message);
        if (debugPosition && *debugPosition) {
            WriteLatin1AsUtf8(debugPosition);
            std::fputc('\n', stdout);
        }
        PrintLine8("");
        AfterReport(message);
    }
}

void RuntimeError(const String& message) {
    if (message.IsEmpty()) ExitProcess(0);
    CString8 text = message.ToCString();
    // A unit whose low byte is 0 would end the text early; the report shows
    // what comes before it, as a C text would.
    FatalReport(text.c_str());
}

void ReportUncaught(ThrowableObject*) {
    PrintLine(String("Ravlen Runtime Error : Uncaught Ravlen Exception"));
    ExitProcess(-1);
}
