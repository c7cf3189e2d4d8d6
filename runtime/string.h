// String: the one text type, an immutable sequence of UTF-16 code units passed
// by value. Copies share one reference-counted character block; the one empty
// block is static, never freed, and handed out without touching its count.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/array.h"

using Char = char16_t;

struct CharRep {
    int count;
    int length;
    Char units[1];  // `length` units follow; no terminator
};

class String;

// A zero-terminated 8-bit or 16-bit copy of a String, owned by a
// reference-counted holder that frees the buffer with its last reference.
template <class C>
class CText {
public:
    CText() = default;
    CText(const CText& other);
    CText& operator=(const CText& other);
    ~CText();
    const C* c_str() const;
    int Length() const { return holder_ ? holder_->length : 0; }

private:
    friend class String;
    struct Holder {
        int count;
        int length;
        C* text;
    };
    Holder* holder_ = nullptr;
};
using CString8 = CText<char>;
using CString16 = CText<Char>;

class String {
public:
    String();
    String(const String& other);
    String(String&& other) noexcept;
    ~String();
    String& operator=(const String& other);

    // One unit per byte, each byte taken as a signed 8-bit value and widened
    // (bytes 0x80..0xFF become 0xFF80..0xFFFF).
    String(const char* text);
    // One unit per byte, zero-extended.
    String(const uint8_t* bytes, int length);
    String(const Char* text);
    String(const Char* units, int length);
    explicit String(int value);
    // A single unit.
    static String FromChar(int unit);

    int Length() const { return rep_->length; }
    Char operator[](int index) const { return rep_->units[index]; }
    const Char* Data() const { return rep_->units; }
    const CharRep* Rep() const { return rep_; }
    bool IsEmpty() const { return rep_->length == 0; }

    String operator+(const String& other) const;
    String& operator+=(const String& other);
    // Unit by unit as unsigned 16-bit values; the first difference, else the
    // difference of the lengths.
    int Compare(const String& other) const;
    bool operator==(const String& other) const;
    bool operator!=(const String& other) const { return !(*this == other); }
    bool operator<(const String& other) const { return Compare(other) < 0; }

    int IndexOf(const String& text, int start = 0) const;
    int LastIndexOf(const String& text) const;
    bool HasPrefix(const String& text) const;
    bool HasSuffix(const String& text) const;
    String Substring(int from) const;
    String Substring(int from, int to) const;
    Array<String> SplitOn(const String& separator) const;
    String ReplaceAll(const String& text, const String& by) const;
    String Lower() const;
    String Upper() const;

    // At most the first 63 units, each cut to its low byte, read as a decimal
    // integer: leading white space, an optional sign, digits; 0 without digits;
    // beyond the int range, the nearest int.
    int ToInt() const;
    // Each unit cut to its low 8 bits.
    CString8 ToCString() const;
    CString16 ToWString() const;
    // UTF-8 for saving: every unit by itself, surrogates included.
    std::string ToUtf8() const;
    // Each unit's low 8 bits, as raw bytes.
    std::string ToBytes8() const;

    // Decodes a whole file's bytes: UTF-16 with a byte-order mark, else UTF-8
    // (an initial EF BB BF skipped), else, if the UTF-8 is invalid, 8-bit text.
    static String FromFileBytes(const uint8_t* bytes, size_t length);

private:
    explicit String(CharRep* rep) : rep_(rep) {}
    static CharRep* Allocate(int length);
    static void Release(CharRep* rep);
    CharRep* rep_;
};

inline String operator+(const char* a, const String& b) { return String(a) + b; }

// Reads a whole open file, in chunks of 4096 bytes, and decodes it as text.
String LoadString(std::FILE* file);
// Writes the text's UTF-8 bytes; true when every byte was written.
bool SaveString(const String& text, std::FILE* file);
