#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/string.h"

namespace {

String U(const std::u16string& s) { return String(s.data(), static_cast<int>(s.size())); }
String Bytes(std::initializer_list<uint8_t> b) {
    std::vector<uint8_t> v(b);
    return String::FromFileBytes(v.data(), v.size());
}
std::u16string Units(const String& s) { return std::u16string(s.Data(), s.Data() + s.Length()); }

TEST(StringValues, EmptyStringsShareTheOneStaticBlock) {
    String a, b("");
    String c = String("abc").Substring(2, 1);
    EXPECT_EQ(a.Rep(), b.Rep());
    EXPECT_EQ(a.Rep(), c.Rep());
    EXPECT_EQ(a.Rep(), String(static_cast<const Char*>(nullptr), 0).Rep());
    EXPECT_EQ(a.Rep()->count, 1) << "the empty block's count is never touched";
}

TEST(StringValues, CopiesShareAndCountTheirBlock) {
    String a("shared");
    String b = a;
    EXPECT_EQ(a.Rep(), b.Rep());
    EXPECT_EQ(a.Rep()->count, 2);
    b = b;  // self-assignment keeps the block alive
    EXPECT_EQ(b, String("shared"));
    EXPECT_EQ(a.Rep()->count, 2);
    { String c = a; EXPECT_EQ(a.Rep()->count, 3); }
    EXPECT_EQ(a.Rep()->count, 2);
}

TEST(StringConstruction, EightBitTextIsSignExtendedButByteBuffersAreNot) {
    EXPECT_EQ(String("\xE9")[0], 0xFFE9);
    const uint8_t bytes[] = {0xE9, 0x41};
    String z(bytes, 2);
    EXPECT_EQ(z[0], 0x00E9);
    EXPECT_EQ(z[1], 0x41);
}

TEST(StringConstruction, IntegersPrintLikePercentI) {
    EXPECT_EQ(String(-7), String("-7"));
    EXPECT_EQ(String(0), String("0"));
    EXPECT_EQ(String(2147483647), String("2147483647"));
    EXPECT_EQ(String(-2147483647 - 1), String("-2147483648"));
}

TEST(StringOperations, ConcatenationSharesWhenOneSideIsEmpty) {
    String a("ab"), e;
    EXPECT_EQ((a + e).Rep(), a.Rep());
    EXPECT_EQ((e + a).Rep(), a.Rep());
    EXPECT_EQ(a + String("cd"), String("abcd"));
}

TEST(StringOperations, CompareIsUnitByUnitUnsigned) {
    EXPECT_EQ(String("abc").Compare(String("abd")), -1);
    EXPECT_EQ(String("ab").Compare(String("abc")), -1);
    EXPECT_EQ(String("abc").Compare(String("abc")), 0);
    EXPECT_GT(U(u"\uFFFF").Compare(String("a")), 0) << "units compare unsigned";
    EXPECT_LT(String("a"), String("b"));
    EXPECT_NE(String("a"), String("ab"));
}

TEST(StringOperations, SubstringCases) {
    String hello("hello");
    EXPECT_EQ(hello.Substring(-2), String("lo"));
    EXPECT_EQ(hello.Substring(1, -1), String("ell"));
    EXPECT_TRUE(hello.Substring(3, 1).IsEmpty());
    EXPECT_EQ(hello.Substring(-99), hello);
    EXPECT_EQ(hello.Substring(0).Rep(), hello.Rep()) << "the whole range shares";
    EXPECT_EQ(hello.Substring(2, 99), String("llo"));
    EXPECT_TRUE(hello.Substring(9).IsEmpty());
}

TEST(StringOperations, SearchCases) {
    String hello("hello");
    EXPECT_EQ(hello.IndexOf(String("l"), -5), 2);
    EXPECT_EQ(hello.IndexOf(String("lo"), 4), -1);
    EXPECT_EQ(hello.IndexOf(String("lo"), 3), 3);
    EXPECT_EQ(hello.LastIndexOf(String("l")), 3);
    EXPECT_EQ(hello.LastIndexOf(String("hellos")), -1);
    EXPECT_EQ(hello.IndexOf(String(), 5), 5);
    EXPECT_EQ(hello.IndexOf(String(), 6), -1);
    EXPECT_EQ(hello.LastIndexOf(String()), 5);
    // A start near the int limit must not wrap around into the text.
    EXPECT_EQ(hello.IndexOf(String("l"), 2147483647), -1);
    EXPECT_EQ(hello.IndexOf(String("lo"), 2147483646), -1);
    EXPECT_TRUE(hello.HasPrefix(String("he")));
    EXPECT_TRUE(hello.HasPrefix(String()));
    EXPECT_FALSE(hello.HasPrefix(String("hellos")));
    EXPECT_TRUE(hello.HasSuffix(String("llo")));
    EXPECT_FALSE(hello.HasSuffix(String("he")));
}

TEST(StringOperations, SplitKeepsEmptyPieces) {
    Array<String> parts = String("a,,b,").SplitOn(String(","));
    ASSERT_EQ(parts.Length(), 4);
    EXPECT_EQ(parts[0], String("a"));
    EXPECT_TRUE(parts[1].IsEmpty());
    EXPECT_EQ(parts[2], String("b"));
    EXPECT_TRUE(parts[3].IsEmpty());

    String abc("abc");
    Array<String> whole = abc.SplitOn(String(","));
    ASSERT_EQ(whole.Length(), 1);
    EXPECT_EQ(whole[0].Rep(), abc.Rep());

    Array<String> units = abc.SplitOn(String());
    ASSERT_EQ(units.Length(), 3);
    EXPECT_EQ(units[2], String("c"));
    EXPECT_EQ(String().SplitOn(String()).Rep(), Array<String>().Rep());

    Array<String> multi = String("x::y::").SplitOn(String("::"));
    ASSERT_EQ(multi.Length(), 3);
    EXPECT_EQ(multi[1], String("y"));
}

TEST(StringOperations, ReplaceAllIsLeftToRightWithoutOverlap) {
    EXPECT_EQ(String("aaaa").ReplaceAll(String("aa"), String("b")), String("bb"));
    EXPECT_EQ(String("a.b.c").ReplaceAll(String("."), String("::")), String("a::b::c"));
    EXPECT_TRUE(String("xx").ReplaceAll(String("x"), String()).IsEmpty());
    String none("none");
    EXPECT_EQ(none.ReplaceAll(String("z"), String("y")).Rep(), none.Rep());
    EXPECT_EQ(none.ReplaceAll(String(), String("y")).Rep(), none.Rep()) << "an empty text replaces nothing";
}

TEST(StringOperations, CaseMappingUsesTheLocaleAndSharesWhenUnchanged) {
    const char* saved = std::setlocale(LC_CTYPE, nullptr);
    std::string restore = saved ? saved : "C";
    ASSERT_TRUE(std::setlocale(LC_CTYPE, "C.UTF-8") || std::setlocale(LC_CTYPE, "en_US.UTF-8"));
    EXPECT_EQ(U(u"\u00C9T\u00C9").Lower(), U(u"\u00E9t\u00E9"));
    EXPECT_EQ(String("Abc").Upper(), String("ABC"));
    String lower("abc");
    EXPECT_EQ(lower.Lower().Rep(), lower.Rep());
    std::setlocale(LC_CTYPE, restore.c_str());
}

TEST(StringConversions, ToIntReadsLikeADecimalScanner) {
    EXPECT_EQ(String(" 42x").ToInt(), 42);
    EXPECT_EQ(String("x42").ToInt(), 0);
    EXPECT_EQ(String("").ToInt(), 0);
    EXPECT_EQ(String("-5").ToInt(), -5);
    EXPECT_EQ(String("\t+12ab").ToInt(), 12);
    EXPECT_EQ(String("120\r").ToInt(), 120);
    // 60 zeros then 123456: only the first 63 units count, so "000...0123".
    std::string digits(60, '0');
    digits += "123456";
    EXPECT_EQ(String(digits.c_str()).ToInt(), 123);
    // A unit above 255 counts by its low byte: U+0131 is '1'.
    EXPECT_EQ(U(u"\u0131\u0132").ToInt(), 12);
    // Beyond the int range: the nearest int, never a wrapped value.
    EXPECT_EQ(String("2147483648").ToInt(), 2147483647);
    EXPECT_EQ(String("-2147483648").ToInt(), -2147483647 - 1);
    EXPECT_EQ(String("-99999999999999999999999").ToInt(), -2147483647 - 1);
    EXPECT_EQ(String("4294967297").ToInt(), 2147483647);
}

TEST(StringConversions, CTextsAreZeroTerminatedAndShared) {
    CString8 a = U(u"A\u0142").ToCString();
    EXPECT_STREQ(a.c_str(), "AB");
    CString8 b = a;
    EXPECT_EQ(a.c_str(), b.c_str());
    CString16 w = String("hi").ToWString();
    EXPECT_EQ(w.c_str()[0], u'h');
    EXPECT_EQ(w.c_str()[2], 0);
}

TEST(TextSaving, Utf8EncodesEachUnitBySelf) {
    EXPECT_EQ(U(u"\u00E9").ToUtf8(), "\xC3\xA9");
    EXPECT_EQ(U(u"A\u20AC").ToUtf8(), "A\xE2\x82\xAC");
    // A surrogate pair becomes two three-byte sequences.
    EXPECT_EQ(U(u"\U0001F600").ToUtf8(), "\xED\xA0\xBD\xED\xB8\x80");
}

TEST(TextLoading, ByteOrderMarksAndUtf8) {
    EXPECT_EQ(Units(Bytes({0xFF, 0xFE, 0x41, 0x00, 0x42})), u"A") << "the odd final byte is dropped";
    EXPECT_EQ(Units(Bytes({0xFE, 0xFF, 0x00, 0x41, 0x20, 0xAC})), u"A\u20AC");
    EXPECT_EQ(Units(Bytes({0xEF, 0xBB, 0xBF, 0xC3, 0xA9})), u"\u00E9");
    EXPECT_EQ(Units(Bytes({0xE2, 0x82, 0xAC})), u"\u20AC");
    EXPECT_EQ(Units(Bytes({0xC0, 0x81})), u"\u0001") << "overlong forms are accepted as decoded";
    EXPECT_TRUE(Bytes({0xFF, 0xFE}).IsEmpty());
    EXPECT_TRUE(Bytes({0xEF, 0xBB, 0xBF}).IsEmpty());
    EXPECT_TRUE(String::FromFileBytes(nullptr, 0).IsEmpty());
}

TEST(TextLoading, InvalidUtf8FallsBackToEightBitText) {
    EXPECT_EQ(Units(Bytes({0x41, 0xE9, 0x42})), u"A\u00E9B");
    EXPECT_EQ(Units(Bytes({0xEF, 0xBB, 0xBF, 0x80})), u"\u0080") << "from the byte after the marker";
    EXPECT_EQ(Units(Bytes({0x41, 0xC3})), u"A\u00C3") << "a sequence cut off by the end";
    EXPECT_EQ(Units(Bytes({0xF0, 0x9F, 0x98, 0x80})), u"\u00F0\u009F\u0098\u0080") << "four-byte sequences are invalid";
}

TEST(TextLoading, FilesAreReadInChunksAndRoundTrip) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::u16string long_text;
    for (int i = 0; i < 5000; ++i) long_text += static_cast<char16_t>(i % 2 ? u'\u00E9' : u'a');
    ASSERT_TRUE(SaveString(U(long_text), f));
    std::rewind(f);
    EXPECT_EQ(Units(LoadString(f)), long_text);
    std::fclose(f);

    std::FILE* empty = std::tmpfile();
    EXPECT_TRUE(SaveString(String(), empty));
    std::rewind(empty);
    EXPECT_TRUE(LoadString(empty).IsEmpty());
    std::fclose(empty);
}

}  // namespace
