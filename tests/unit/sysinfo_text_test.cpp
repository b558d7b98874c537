// Column text: fitting to a width, cutting at a NUL, grouping digits.
#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

namespace corvale {
namespace {

TEST(SysinfoText_PadText, FitsTextToExactlyTheWidthOnEitherSide) {
    struct Case {
        const char* text;
        long width;
        bool left;
        const char* expected;
    };
    const Case cases[] = {
        {"abc", 5, true, "abc  "},    {"abc", 5, false, "  abc"}, {"abcdef", 4, true, "abcd"},
        {"abcdef", 4, false, "cdef"}, {"abc", 3, true, "abc"},    {"abc", 3, false, "abc"},
        {"", 3, true, "   "},         {"", 3, false, "   "},      {"abc", 1, true, "a"},
        {"abc", 1, false, "c"},       {"abc", 0, true, ""},       {"abc", 0, false, ""},
        {"abc", -3, true, ""},        {"abc", -3, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadText(c.text, c.width, c.left), c.expected)
            << '"' << c.text << "\" width " << c.width << (c.left ? " left" : " right");
}

TEST(SysinfoText_PadText, CountsCharactersNotBytesAndNeverSplitsOne) {
    const std::string word = "Gr\303\266\303\237e";  // "Größe": five characters, seven bytes
    EXPECT_EQ(PadText(word, 7, true), word + "  ");
    EXPECT_EQ(PadText(word, 7, false), "  " + word);
    EXPECT_EQ(PadText(word, 3, true), "Gr\xC3\xB6");
    EXPECT_EQ(PadText(word, 2, false), "\303\237e");
    EXPECT_EQ(CharacterCount(word), 5);
    // A four-byte character (U+1F600) is one character.
    EXPECT_EQ(PadText("\xF0\x9F\x98\x80x", 1, true), "\xF0\x9F\x98\x80");
    EXPECT_EQ(PadText("\xF0\x9F\x98\x80x", 3, false), " \xF0\x9F\x98\x80x");
}

TEST(SysinfoText_PadText, TakesMalformedBytesOneCharacterEach) {
    // A stray continuation byte, a lead byte without its continuation and a
    // truncated sequence at the end.
    EXPECT_EQ(CharacterCount("\200a"), 2);
    EXPECT_EQ(CharacterCount("\303a"), 2);
    EXPECT_EQ(CharacterCount("a\xE2\x82"), 3);
    EXPECT_EQ(PadText("\303ab", 2, true), "\303a");
    EXPECT_EQ(PadText("ab\xE2\x82", 2, false), "\xE2\x82");
}

TEST(SysinfoText_TrimAtNul, KeepsWhatComesBeforeTheFirstNul) {
    using namespace std::string_literals;
    EXPECT_EQ(TrimAtNul("abc\0def"s), "abc");
    EXPECT_EQ(TrimAtNul("abc\0\0"s), "abc");
    EXPECT_EQ(TrimAtNul("\0abc"s), "");
    EXPECT_EQ(TrimAtNul("abc"), "abc");
    EXPECT_EQ(TrimAtNul(""), "");
}

TEST(SysinfoText_FormatByteCount, GroupsEveryDigitByThreeWithADot) {
    struct Case {
        std::uint64_t value;
        const char* expected;
    };
    const Case cases[] = {
        {0, "0"},
        {7, "7"},
        {999, "999"},
        {1000, "1.000"},
        {12345, "12.345"},
        {123456, "123.456"},
        {1234567, "1.234.567"},
        {80023715840ull, "80.023.715.840"},
        // Past 2^53, where a double drops the last digits.
        {9007199254740993ull, "9.007.199.254.740.993"},
        {18446744073709551615ull, "18.446.744.073.709.551.615"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatByteCount(c.value), c.expected) << c.value;
}

TEST(SysinfoText_PadFigure, PadsAsPadTextButNeverCuts) {
    EXPECT_EQ(PadFigure("523,744K", 12, false), "    523,744K");
    EXPECT_EQ(PadFigure("42", 4, true), "42  ");
    EXPECT_EQ(PadFigure("137,438,953,344K", 12, false), "137,438,953,344K");
    EXPECT_EQ(PadFigure("1.000 Bytes", 4, true), "1.000 Bytes");
    EXPECT_EQ(PadFigure("7", 0, true), "7");
}

TEST(SysinfoText_GroupDigits, UsesTheGivenSeparatorAndShowsNothingForZero) {
    EXPECT_EQ(GroupDigits(0, ","), "");
    EXPECT_EQ(GroupDigits(5, ","), "5");
    EXPECT_EQ(GroupDigits(999, ","), "999");
    EXPECT_EQ(GroupDigits(1000, ","), "1,000");
    EXPECT_EQ(GroupDigits(523744, ","), "523,744");
    EXPECT_EQ(GroupDigits(523744, "."), "523.744");
    EXPECT_EQ(GroupDigits(1234567890, "."), "1.234.567.890");
    EXPECT_EQ(GroupDigits(18446744073709551615ull, ","), "18,446,744,073,709,551,615");
    // A separator of more than one byte (a no-break space).
    EXPECT_EQ(GroupDigits(1234567, "\302\240"), "1\302\240234\302\240567");
    EXPECT_EQ(GroupDigits(1234, ""), "1234");
}

}  // namespace
}  // namespace corvale
