// The number, Boolean and key rules, as tables.
#include <gtest/gtest.h>

#include "base/values.h"

namespace corvale {
namespace {

struct NumberCase {
    const char* text;
    double value;
};

TEST(SkinValues, LeadingNumberReadsUpToTheFirstCharacterThatCannotContinueIt) {
    const NumberCase cases[] = {
        {"42", 42},    {"  17px", 17}, {"-3.5", -3.5}, {"1.5.5", 1.5}, {"abc", 0},
        {"", 0},       {"&H1F", 31},   {"&hff,", 255}, {"&O17", 15},   {"&HFFFFFFFF", -1},
        {"1e3", 1000}, {"2e", 2},      {"+7", 7},      {" 1 2 ", 12},  {".5", 0.5},
        {"12%", 12},   {"-", 0},       {"3,4", 3},     {"&", 0},       {"&Hzz", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
}

TEST(SkinValues, RoundingTakesHalvesToTheEvenNeighbour) {
    const std::pair<double, long long> cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {3.5, 4},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {2.4999, 2},
        {2.5001, 3},
        {-7.2, -7},
        {1e300, 9000000000000000000LL},
    };
    for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    EXPECT_EQ(LeadingInteger("12.5 px"), 12);
    EXPECT_EQ(LeadingInteger("13.5"), 14);
}

TEST(SkinValues, BooleansAreWordsInAnyCaseOrNumbers) {
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"True", true},     {"TRUE", true},
        {"false", false},   {" False ", false},
        {"1", true},        {"-1", true},
        {"0", false},       {"0.0", false},
        {"2.5", true},      {"yes", std::nullopt},
        {"", std::nullopt}, {"1x", std::nullopt},
        {"&H0", false},     {"truex", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ReadBoolean(text), expected) << text;
}

TEST(SkinValues, LongsMustBeWholeNumbersThatFit) {
    EXPECT_EQ(ReadLong("50"), 50);
    EXPECT_EQ(ReadLong(" 7.5 "), 8);
    EXPECT_EQ(ReadLong("-20"), -20);
    EXPECT_EQ(ReadLong("50ms"), std::nullopt);
    EXPECT_EQ(ReadLong(""), std::nullopt);
    EXPECT_EQ(ReadLong("99999999999"), std::nullopt);
}

TEST(SkinValues, NumberedKeysHaveAtLeastTwoDigits) {
    EXPECT_EQ(TwoDigitKey(1), "01");
    EXPECT_EQ(TwoDigitKey(9), "09");
    EXPECT_EQ(TwoDigitKey(10), "10");
    EXPECT_EQ(TwoDigitKey(100), "100");
}

}  // namespace
}  // namespace corvale
