#include "util/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Utf8, TellsWellFormedTextsFromOthers) {
    for (const char* good : {"", "ABC", "\xC3\x84\xC3\x9F", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"})
        EXPECT_TRUE(IsUtf8(good)) << good;
    const char* bad[] = {
        "\xFF",              // never a byte of UTF-8
        "A\xC3",             // cut short
        "\xC3\x41",          // second byte missing
        "\xC0\x80",          // overlong zero
        "\xE0\x80\xAF",      // overlong '/'
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // past U+10FFFF
        "\x80",              // a second byte alone
    };
    for (const char* text : bad)
        EXPECT_FALSE(IsUtf8(text)) << testing::PrintToString(std::string(text));
}

TEST(Utf8, CutsTextsIntoWholeCharacters) {
    const std::string text =
        "a\xC3\x84\xE2\x82\xAC\xF0\x9F\x98\x80\xFF"
        "b";
    const std::vector<std::string_view> want = {
        "a", "\xC3\x84", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xFF", "b"};
    EXPECT_EQ(Utf8Characters(text), want);
    EXPECT_EQ(Utf8CodePoint("\xC3\x84"), 0xC4);
    EXPECT_EQ(Utf8CodePoint("\xE2\x82\xAC"), 0x20AC);
    EXPECT_EQ(Utf8CodePoint("\xF0\x9F\x98\x80"), 0x1F600);
    EXPECT_EQ(Utf8CodePoint("\xFF"), -1);
    EXPECT_EQ(Utf8CodePoint("ab"), -1) << "two characters are not one";
}

TEST(Utf8, CountsCharactersOtherThanBlanks) {
    EXPECT_EQ(CountNonWhitespace(""), 0u);
    EXPECT_EQ(CountNonWhitespace(" \t\r\n\v\f"), 0u);
    EXPECT_EQ(CountNonWhitespace(" A B "), 2u);
    EXPECT_EQ(CountNonWhitespace("\xC3\x84 \xE2\x82\xAC"), 2u) << "characters, not bytes";
}

}  // namespace
