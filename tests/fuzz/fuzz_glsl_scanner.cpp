// The GLSL scanner on arbitrary text: every token lies inside the text and
// after the previous one, the scan always ends, the parser reads the same
// tokens, and a piece without uniform declarations yields well-formed
// define lines. (An unterminated string literal or a malformed declaration
// ends the program by design, so those inputs stop after the token check.)
#include <cstdint>
#include <cstdlib>

#include "canvas/parser.h"
#include "canvas/shader.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    String text = String::FromFileBytes(data, size);
    int len = text.Length();

    int pos = 0;
    int tokens = 0;
    bool hasUniform = false;
    bool terminated = true;
    for (;;) {
        int start = -1, kind = -1;
        int end = ScanToken(text, pos, &start, &kind);
        if (end < 0) {
            terminated = false;
            break;
        }
        Check(start >= pos && start <= end && end <= len);
        if (kind == TOKEN_END) {
            Check(end == len && start == len);
            break;
        }
        Check(end > start);
        Check(kind == TOKEN_IDENT || kind == TOKEN_INTEGER || kind == TOKEN_STRING || kind == TOKEN_SYMBOL);
        if (kind == TOKEN_IDENT && text.Substring(start, end) == String("uniform")) hasUniform = true;
        pos = end;
        ++tokens;
    }
    if (!terminated) return 0;

    c_Parser* parser = new c_Parser();
    parser->StartScan(text);
    int parsed = 0;
    while (parser->tokenKind != TOKEN_END) {
        Check(!parser->token.IsEmpty());
        parser->NextToken();
        ++parsed;
    }
    Check(parsed == tokens);

    if (!hasUniform) {
        c_StringSet* uniforms = new c_StringSet();
        String defines = ScanShaderPiece(text, uniforms);
        Check(uniforms->map->root == nullptr);
        Array<String> lines = defines.SplitOn(String("\n"));
        for (int i = 0; i + 1 < lines.Length(); ++i)
            Check(lines[i].HasPrefix(String("#define B3D_")) && lines[i].HasSuffix(String(" 1")));
    }
    gc_collect_step();
    return 0;
}
