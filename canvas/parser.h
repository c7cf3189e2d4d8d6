// The small scanner that reads shader files: identifiers, integer literals,
// string literals and one-character symbols (with a directly following "="
// joined on). A "'" starts a comment that runs to the end of the line.
#pragma once

#include "runtime/collector.h"
#include "runtime/string.h"

// Token kinds.
constexpr int TOKEN_END = 0;
constexpr int TOKEN_IDENT = 1;
constexpr int TOKEN_INTEGER = 2;
constexpr int TOKEN_STRING = 4;
constexpr int TOKEN_SYMBOL = 5;

// Reads the token that begins at or after `pos`: its first character goes to
// *start, its kind to *kind, and the position after it is returned. A string
// literal without its closing quote gives -1. Never reads outside the text.
int ScanToken(const String& text, int pos, int* start, int* kind);

class c_Parser : public Object {
public:
    String text;
    int pos = 0;
    int len = 0;
    String token;
    int tokenKind = TOKEN_END;

    void StartScan(const String& source);
    String NextToken();
    String CurrentToken() const { return token; }
    bool Accept(const String& str);
    void Expect(const String& str);
    String AcceptIdent();
    String ExpectIdent();
};

class c_GlslParser : public c_Parser {
public:
    String ExpectType() { return ExpectIdent(); }
};
