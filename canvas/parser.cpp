#include "canvas/parser.h"

#include "host/errors.h"

namespace {

bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

void c_Parser::StartScan(const String& source) {
    text = source;
    pos = 0;
    len = source.Length();
    NextToken();
}

int ScanToken(const String& text, int pos, int* start, int* kind) {
    int len = text.Length();
    for (;;) {
        while (pos < len && text[pos] <= ' ') ++pos;
        if (pos < len && text[pos] == '\'') {
            while (pos < len && text[pos] != '\n') ++pos;
            continue;
        }
        break;
    }
    *start = pos;
    if (pos == len) {
        *kind = TOKEN_END;
        return pos;
    }
    int c = text[pos++];
    if (IsLetter(c)) {
        while (pos < len && (IsLetter(text[pos]) || IsDigit(text[pos]))) ++pos;
        *kind = TOKEN_IDENT;
    } else if (IsDigit(c)) {
        while (pos < len && IsDigit(text[pos])) ++pos;
        *kind = TOKEN_INTEGER;
    } else if (c == '"') {
        while (pos < len && text[pos] != '"') ++pos;
        if (pos == len) return -1;
        ++pos;
        *kind = TOKEN_STRING;
    } else {
        if (pos < len && text[pos] == '=') ++pos;
        *kind = TOKEN_SYMBOL;
    }
    return pos;
}

String c_Parser::NextToken() {
    int start = 0;
    int end = ScanToken(text, pos, &start, &tokenKind);
    if (end < 0) RuntimeError("String literal missing closing quote");
    pos = end;
    token = tokenKind == TOKEN_END ? String() : text.Substring(start, end);
    return token;
}

bool c_Parser::Accept(const String& str) {
    if (token != str) return false;
    NextToken();
    return true;
}

void c_Parser::Expect(const String& str) {
    if (!Accept(str)) RuntimeError("Expecting '" + str + "'");
}

String c_Parser::AcceptIdent() {
    if (tokenKind != TOKEN_IDENT) return String();
    String ident = token;
    NextToken();
    return ident;
}

String c_Parser::ExpectIdent() {
    String ident = AcceptIdent();
    if (ident.IsEmpty()) RuntimeError("Expecting identifier");
    return ident;
}
