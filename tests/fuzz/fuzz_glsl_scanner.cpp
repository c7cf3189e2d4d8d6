// The GLSL scanner and the shader-piece reader on arbitrary text: every token
// lies inside the text and after the previous one, the scan always ends, and
// the piece reader (through the parser) takes exactly the uniforms the text
// declares and gives well-formed define lines. The reader ends the program on
// an unterminated string literal or a malformed uniform declaration, by
// design; such inputs stop after the token checks.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "canvas/parser.h"
#include "canvas/shader.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Token {
    int start, end, kind;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    String text = String::FromFileBytes(data, size);
    int len = text.Length();

    std::vector<Token> tokens;
    tokens.reserve(size);
    for (int pos = 0;;) {
        Token t{-1, -1, -1};
        t.end = ScanToken(text, pos, &t.start, &t.kind);
        if (t.end < 0) return 0;
        Check(t.start >= pos && t.start <= t.end && t.end <= len);
        if (t.kind == TOKEN_END) {
            Check(t.end == len && t.start == len);
            break;
        }
        Check(t.end > t.start);
        Check(t.kind == TOKEN_IDENT || t.kind == TOKEN_INTEGER || t.kind == TOKEN_STRING || t.kind == TOKEN_SYMBOL);
        tokens.push_back(t);
        pos = t.end;
    }
    // Compared in place: a copy of every token would cost more than the scan.
    auto is = [&](size_t i, const String& s) {
        const Token& t = tokens[i];
        if (s.Length() != t.end - t.start) return false;
        for (int k = 0; k < s.Length(); ++k)
            if (s[k] != text[t.start + k]) return false;
        return true;
    };

    // A declaration is "uniform", a type and a name (identifiers), then ";".
    std::vector<String> declared;
    String uniform("uniform"), semicolon(";");
    for (size_t i = 0; i < tokens.size();) {
        if (tokens[i].kind != TOKEN_IDENT || !is(i, uniform)) {
            ++i;
            continue;
        }
        if (i + 3 >= tokens.size()) return 0;
        if (tokens[i + 1].kind != TOKEN_IDENT || tokens[i + 2].kind != TOKEN_IDENT || !is(i + 3, semicolon)) return 0;
        declared.push_back(text.Substring(tokens[i + 2].start, tokens[i + 2].end));
        i += 4;
    }

    c_StringSet* uniforms = new c_StringSet();
    String defines = ScanShaderPiece(text, uniforms);
    int found = 0;
    for (auto* node = uniforms->map->FirstEntry(); node; node = node->NextEntry()) ++found;
    std::set<std::string> distinct;
    for (const String& name : declared) {
        Check(uniforms->Has(name));
        distinct.insert(name.ToUtf8());
    }
    Check(found == static_cast<int>(distinct.size()));
    // Every line is "#define B3D_<name> 1" and ends with a newline.
    static const std::u16string prefix = u"#define B3D_", suffix = u" 1";
    std::u16string all(defines.Data(), defines.Data() + defines.Length());
    for (size_t at = 0; at < all.size();) {
        size_t end = all.find(u'\n', at);
        Check(end != std::u16string::npos && end - at >= prefix.size() + suffix.size());
        Check(all.compare(at, prefix.size(), prefix) == 0 && all.compare(end - suffix.size(), suffix.size(), suffix) == 0);
        at = end + 1;
    }
    static int inputs = 0;
    if (++inputs % 32 == 0) {
        gc_full_collection();
        gc_destroy_garbage(0x7fffffff);
    }
    return 0;
}
