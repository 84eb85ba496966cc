#include "number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>

using namespace pelmora;

TEST(FormatNumberText, BlankStandsForThePlusSign) {
    EXPECT_EQ(FormatNumberText(2100), " 2100");
    EXPECT_EQ(FormatNumberText(0), " 0");
    EXPECT_EQ(FormatNumberText(-300), "-300");
    EXPECT_EQ(FormatNumberText(2), " 2");
    EXPECT_EQ(FormatNumberText(-2147483648.0), "-2147483648");
}

TEST(FormatNumberText, FractionsUseDotAndSevenSignificantDigits) {
    // A comma-decimal locale must not leak into the stored text.
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(FormatNumberText(1.5), " 1.5");
    EXPECT_EQ(FormatNumberText(-0.25), "-0.25");
    EXPECT_EQ(FormatNumberText(3.14159265), " 3.141593");
    std::setlocale(LC_ALL, "C");
}

TEST(ReadNumberText, IgnoresBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(ReadNumberText(" 2100"), 2100);
    EXPECT_EQ(ReadNumberText("2 100"), 2100);
    EXPECT_EQ(ReadNumberText("\t-3\n00 "), -300);
}

TEST(ReadNumberText, ReadsAsFarAsTheNumberGoes) {
    EXPECT_EQ(ReadNumberText("12abc"), 12);
    EXPECT_EQ(ReadNumberText("+7"), 7);
    EXPECT_EQ(ReadNumberText(".5"), 0.5);
    EXPECT_EQ(ReadNumberText("1.5.7"), 1.5);
    EXPECT_EQ(ReadNumberText("1e3"), 1000);
    EXPECT_EQ(ReadNumberText("2D2"), 200);
    EXPECT_EQ(ReadNumberText("2.1d3"), 2100);
    EXPECT_EQ(ReadNumberText("4.5e+3"), 4500);
    EXPECT_EQ(ReadNumberText("25E-1"), 2.5);
    EXPECT_EQ(ReadNumberText("3E"), 3);  // marker without digits is not an exponent
    EXPECT_EQ(ReadNumberText("3e+x"), 3);
    EXPECT_EQ(ReadNumberText("1,5"), 1);
}

TEST(ReadNumberText, TextWithoutNumberIsZero) {
    EXPECT_EQ(ReadNumberText(""), 0);
    EXPECT_EQ(ReadNumberText("abc"), 0);
    EXPECT_EQ(ReadNumberText("-"), 0);
    EXPECT_EQ(ReadNumberText("."), 0);
    EXPECT_EQ(ReadNumberText("E5"), 0);
    EXPECT_EQ(ReadNumberText("nan"), 0);
    EXPECT_EQ(ReadNumberText("inf"), 0);
}

TEST(ReadNumberText, BeyondDoubleRangeIsNoValue) {
    EXPECT_FALSE(ReadNumberText("1e999").has_value());
    EXPECT_FALSE(ReadNumberText(std::string(400, '9')).has_value());
}

TEST(ReadPositionText, RoundsHalvesToEven) {
    EXPECT_EQ(ReadPositionText("2.5"), 2);
    EXPECT_EQ(ReadPositionText("3.5"), 4);
    EXPECT_EQ(ReadPositionText("-2.5"), -2);
    EXPECT_EQ(ReadPositionText("2.51"), 3);
}

TEST(ReadPositionText, HoldsEveryThirtyTwoBitPosition) {
    EXPECT_EQ(ReadPositionText(" 40000"), 40000);  // beyond 16 bits: two monitors
    EXPECT_EQ(ReadPositionText("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ReadPositionText("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ReadPositionText("2147483648"), 0);
    EXPECT_EQ(ReadPositionText("-2147483649"), 0);
    EXPECT_EQ(ReadPositionText("1e300"), 0);
}

TEST(ReadModeText, OutsideZeroTo255IsNoMode) {
    EXPECT_EQ(ReadModeText(" 2"), 2);
    EXPECT_EQ(ReadModeText("2.5"), 2);
    EXPECT_EQ(ReadModeText("abc"), 0);
    EXPECT_EQ(ReadModeText("255"), 255);
    EXPECT_EQ(ReadModeText("256"), 0);
    EXPECT_EQ(ReadModeText("-1"), 0);
    EXPECT_EQ(ReadModeText("-0.4"), 0);
}

TEST(NumberText, WrittenValuesReadBackUnchanged) {
    for (std::int64_t v = std::numeric_limits<std::int32_t>::min(); v <= std::numeric_limits<std::int32_t>::max();
         v += 9876541) {
        ASSERT_EQ(ReadPositionText(FormatNumberText(static_cast<double>(v))), v);
    }
    EXPECT_EQ(ReadPositionText(FormatNumberText(std::numeric_limits<std::int32_t>::max())),
              std::numeric_limits<std::int32_t>::max());
    for (int mode = 0; mode <= 255; ++mode) ASSERT_EQ(ReadModeText(FormatNumberText(mode)), mode);
}
