#include "runtime/string.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <vector>

namespace {
// The one empty block: never freed; its count starts at 1 and is never touched.
CharRep empty_block = {1, 0, {0}};
}  // namespace

CharRep* String::Allocate(int length) {
    if (length <= 0) return &empty_block;
    size_t bytes = offsetof(CharRep, units) + sizeof(Char) * static_cast<size_t>(length);
    CharRep* rep = static_cast<CharRep*>(std::malloc(bytes));
    if (!rep) std::abort();
    rep->count = 1;
    rep->length = length;
    return rep;
}

void String::Release(CharRep* rep) {
    if (rep == &empty_block) return;
    if (--rep->count == 0) std::free(rep);
}

String::String() : rep_(&empty_block) {}

String::String(const String& other) : rep_(other.rep_) {
    if (rep_ != &empty_block) ++rep_->count;
}

String::String(String&& other) noexcept : rep_(other.rep_) { other.rep_ = &empty_block; }

String::~String() { Release(rep_); }

String& String::operator=(const String& other) {
    // The new block's count goes up first, so assigning a string to itself is safe.
    if (other.rep_ != &empty_block) ++other.rep_->count;
    Release(rep_);
    rep_ = other.rep_;
    return *this;
}

String::String(const char* text) {
    int length = text ? static_cast<int>(std::strlen(text)) : 0;
    rep_ = Allocate(length);
    for (int i = 0; i < length; ++i)
        rep_->units[i] = static_cast<Char>(static_cast<int16_t>(static_cast<signed char>(text[i])));
}

String::String(const uint8_t* bytes, int length) : rep_(Allocate(length)) {
    for (int i = 0; i < length; ++i) rep_->units[i] = bytes[i];
}

String::String(const Char* text) {
    int length = 0;
    if (text)
        while (text[length]) ++length;
    rep_ = Allocate(length);
    if (length) std::memcpy(rep_->units, text, sizeof(Char) * length);
}

String::String(const Char* units, int length) : rep_(Allocate(length)) {
    if (length > 0) std::memcpy(rep_->units, units, sizeof(Char) * length);
}

String::String(int value) {
    char buffer[16];
    int length = std::snprintf(buffer, sizeof buffer, "%i", value);
    rep_ = Allocate(length);
    for (int i = 0; i < length; ++i) rep_->units[i] = static_cast<Char>(buffer[i]);
}

String String::FromChar(int unit) {
    Char c = static_cast<Char>(unit);
    return String(&c, 1);
}

String String::operator+(const String& other) const {
    if (rep_->length == 0) return other;
    if (other.rep_->length == 0) return *this;
    CharRep* rep = Allocate(rep_->length + other.rep_->length);
    std::memcpy(rep->units, rep_->units, sizeof(Char) * rep_->length);
    std::memcpy(rep->units + rep_->length, other.rep_->units, sizeof(Char) * other.rep_->length);
    return String(rep);
}

String& String::operator+=(const String& other) { return *this = *this + other; }

int String::Compare(const String& other) const {
    int n = rep_->length < other.rep_->length ? rep_->length : other.rep_->length;
    for (int i = 0; i < n; ++i) {
        int d = static_cast<int>(rep_->units[i]) - static_cast<int>(other.rep_->units[i]);
        if (d) return d;
    }
    return rep_->length - other.rep_->length;
}

bool String::operator==(const String& other) const {
    if (rep_ == other.rep_) return true;
    return rep_->length == other.rep_->length &&
           std::memcmp(rep_->units, other.rep_->units, sizeof(Char) * rep_->length) == 0;
}

int String::IndexOf(const String& text, int start) const {
    if (start < 0) start = 0;
    int n = text.Length();
    // Against length - n: start + n overflows for a start near the int limit.
    for (int i = start; i <= Length() - n; ++i)
        if (std::memcmp(rep_->units + i, text.rep_->units, sizeof(Char) * n) == 0) return i;
    return -1;
}

int String::LastIndexOf(const String& text) const {
    int n = text.Length();
    for (int i = Length() - n; i >= 0; --i)
        if (std::memcmp(rep_->units + i, text.rep_->units, sizeof(Char) * n) == 0) return i;
    return -1;
}

bool String::HasPrefix(const String& text) const {
    return text.Length() <= Length() &&
           std::memcmp(rep_->units, text.rep_->units, sizeof(Char) * text.Length()) == 0;
}

bool String::HasSuffix(const String& text) const {
    return text.Length() <= Length() &&
           std::memcmp(rep_->units + Length() - text.Length(), text.rep_->units, sizeof(Char) * text.Length()) == 0;
}

String String::Substring(int from) const { return Substring(from, Length()); }

String String::Substring(int from, int to) const {
    int length = Length();
    if (from < 0) {
        from += length;
        if (from < 0) from = 0;
    } else if (from > length) {
        from = length;
    }
    if (to < 0) {
        to += length;
    } else if (to > length) {
        to = length;
    }
    if (to < from) return String();
    if (from == 0 && to == length) return *this;
    return String(rep_->units + from, to - from);
}

Array<String> String::SplitOn(const String& separator) const {
    if (separator.Length() == 0) {
        Array<String> units(Length());
        for (int i = 0; i < Length(); ++i) units[i] = String(rep_->units + i, 1);
        return units;
    }
    int at = IndexOf(separator, 0);
    if (at == -1) {
        Array<String> whole(1);
        whole[0] = *this;
        return whole;
    }
    int pieces = 1;
    for (int i = at; i != -1; i = IndexOf(separator, i + separator.Length())) ++pieces;
    Array<String> result(pieces);
    int start = 0, k = 0;
    for (int i = at; i != -1; i = IndexOf(separator, i + separator.Length())) {
        result[k++] = Substring(start, i);
        start = i + separator.Length();
    }
    result[k] = Substring(start, Length());
    return result;
}

String String::ReplaceAll(const String& text, const String& by) const {
    int n = text.Length();
    // An empty text would match everywhere without advancing; nothing is replaced.
    if (n == 0) return *this;
    int count = 0;
    for (int i = IndexOf(text, 0); i != -1; i = IndexOf(text, i + n)) ++count;
    if (count == 0) return *this;
    CharRep* rep = Allocate(Length() + count * (by.Length() - n));
    Char* out = rep->units;
    int start = 0;
    for (int i = IndexOf(text, 0); i != -1; i = IndexOf(text, i + n)) {
        std::memcpy(out, rep_->units + start, sizeof(Char) * (i - start));
        out += i - start;
        std::memcpy(out, by.rep_->units, sizeof(Char) * by.Length());
        out += by.Length();
        start = i + n;
    }
    std::memcpy(out, rep_->units + start, sizeof(Char) * (Length() - start));
    return rep->length ? String(rep) : String();
}

namespace {
template <class Map>
String MapUnits(const String& s, Map map) {
    int length = s.Length();
    int first = 0;
    while (first < length && static_cast<Char>(map(s[first])) == s[first]) ++first;
    if (first == length) return s;
    std::vector<Char> units(s.Data(), s.Data() + length);
    for (int i = first; i < length; ++i) units[i] = static_cast<Char>(map(units[i]));
    return String(units.data(), length);
}
}  // namespace

String String::Lower() const {
    return MapUnits(*this, [](Char c) { return std::towlower(static_cast<wint_t>(c)); });
}

String String::Upper() const {
    return MapUnits(*this, [](Char c) { return std::towupper(static_cast<wint_t>(c)); });
}

int String::ToInt() const {
    char buffer[64];
    int n = Length() < 63 ? Length() : 63;
    for (int i = 0; i < n; ++i) buffer[i] = static_cast<char>(rep_->units[i] & 0xFF);
    buffer[n] = 0;
    const char* p = buffer;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // A number beyond the int range gives the nearest int: wrapping would turn
    // a huge number into an arbitrary one, of either sign.
    const int64_t limit = negative ? int64_t(2147483648) : int64_t(2147483647);
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > limit) value = limit;
    }
    return static_cast<int>(negative ? -value : value);
}

template <class C>
CText<C>::CText(const CText& other) : holder_(other.holder_) {
    if (holder_) ++holder_->count;
}

template <class C>
CText<C>& CText<C>::operator=(const CText& other) {
    if (other.holder_) ++other.holder_->count;
    this->~CText();
    holder_ = other.holder_;
    return *this;
}

template <class C>
CText<C>::~CText() {
    if (holder_ && --holder_->count == 0) {
        std::free(holder_->text);
        delete holder_;
    }
    holder_ = nullptr;
}

template <class C>
const C* CText<C>::c_str() const {
    static const C nothing[1] = {0};
    return holder_ ? holder_->text : nothing;
}

template class CText<char>;
template class CText<Char>;

CString8 String::ToCString() const {
    CString8 result;
    result.holder_ = new CString8::Holder{1, Length(), static_cast<char*>(std::malloc(Length() + 1))};
    for (int i = 0; i < Length(); ++i) result.holder_->text[i] = static_cast<char>(rep_->units[i] & 0xFF);
    result.holder_->text[Length()] = 0;
    return result;
}

CString16 String::ToWString() const {
    CString16 result;
    result.holder_ = new CString16::Holder{1, Length(), static_cast<Char*>(std::malloc(sizeof(Char) * (Length() + 1)))};
    if (Length()) std::memcpy(result.holder_->text, rep_->units, sizeof(Char) * Length());
    result.holder_->text[Length()] = 0;
    return result;
}

std::string String::ToUtf8() const {
    std::string out;
    out.reserve(Length());
    for (int i = 0; i < Length(); ++i) {
        unsigned c = rep_->units[i];
        if (c <= 0x7F) {
            out += static_cast<char>(c);
        } else if (c <= 0x7FF) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string String::ToBytes8() const {
    std::string out(static_cast<size_t>(Length()), '\0');
    for (int i = 0; i < Length(); ++i) out[i] = static_cast<char>(rep_->units[i] & 0xFF);
    return out;
}

String String::FromFileBytes(const uint8_t* p, size_t n) {
    if (n == 0) return String();
    if (n >= 2 && ((p[0] == 0xFE && p[1] == 0xFF) || (p[0] == 0xFF && p[1] == 0xFE))) {
        bool big_endian = p[0] == 0xFE;
        size_t count = (n - 2) / 2;
        if (count == 0) return String();
        if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;
        CharRep* rep = Allocate(static_cast<int>(count));
        for (size_t i = 0; i < count; ++i) {
            uint8_t a = p[2 + 2 * i], b = p[3 + 2 * i];
            rep->units[i] = big_endian ? static_cast<Char>(a << 8 | b) : static_cast<Char>(b << 8 | a);
        }
        return String(rep);
    }
    size_t start = (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) ? 3 : 0;
    std::vector<Char> units;
    units.reserve(n - start);
    bool valid = true;
    for (size_t i = start; i < n && valid;) {
        uint8_t c = p[i];
        if (c < 0x80) {
            units.push_back(c);
            i += 1;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
            units.push_back(static_cast<Char>((c & 0x1F) << 6 | (p[i + 1] & 0x3F)));
            i += 2;
        } else if ((c & 0xF0) == 0xE0 && i + 2 < n && (p[i + 1] & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
            units.push_back(static_cast<Char>((c & 0x0F) << 12 | (p[i + 1] & 0x3F) << 6 | (p[i + 2] & 0x3F)));
            i += 3;
        } else {
            valid = false;
        }
    }
    if (!valid) {
        // Invalid UTF-8: the bytes after the marker taken as 8-bit text.
        units.assign(p + start, p + n);
    }
    if (units.empty()) return String();
    if (units.size() > 0x7FFFFFFF) units.resize(0x7FFFFFFF);
    return String(units.data(), static_cast<int>(units.size()));
}

String LoadString(std::FILE* file) {
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) break;
    }
    return String::FromFileBytes(bytes.data(), bytes.size());
}

bool SaveString(const String& text, std::FILE* file) {
    std::string bytes = text.ToUtf8();
    if (bytes.empty()) return true;
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}
