#include "documents/DocumentConversions.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

TEST(IntegerRule, ReadsSignedDigitsAfterWhiteSpaceUpToTheFirstOtherCharacter)
{
    EXPECT_EQ(hsIntegerValue("0"), 0);
    EXPECT_EQ(hsIntegerValue(" 12x"), 12);
    EXPECT_EQ(hsIntegerValue("\n\t 7"), 7);
    EXPECT_EQ(hsIntegerValue("-3"), -3);
    EXPECT_EQ(hsIntegerValue("+42"), 42);
    EXPECT_EQ(hsIntegerValue("0012"), 12);
    EXPECT_EQ(hsIntegerValue("12.9"), 12);
}

TEST(IntegerRule, GivesZeroWithoutDigits)
{
    EXPECT_EQ(hsIntegerValue(std::nullopt), 0);
    EXPECT_EQ(hsIntegerValue(""), 0);
    EXPECT_EQ(hsIntegerValue("abc"), 0);
    EXPECT_EQ(hsIntegerValue("-"), 0);
    EXPECT_EQ(hsIntegerValue("- 5"), 0);
    EXPECT_EQ(hsIntegerValue("x12"), 0);
}

TEST(IntegerRule, ClampsToTheThirtyTwoBitRange)
{
    constexpr int32_t largest = std::numeric_limits<int32_t>::max();
    constexpr int32_t smallest = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(hsIntegerValue("2147483647"), largest);
    EXPECT_EQ(hsIntegerValue("2147483648"), largest);
    EXPECT_EQ(hsIntegerValue("99999999999999999999999999"), largest);
    EXPECT_EQ(hsIntegerValue("-2147483648"), smallest);
    EXPECT_EQ(hsIntegerValue("-2147483649"), smallest);
    EXPECT_EQ(hsIntegerValue("-99999999999999999999999999"), smallest);
}

TEST(FloatRule, ReadsADecimalNumberUpToTheFirstOtherCharacter)
{
    EXPECT_FLOAT_EQ(hsFloatValue("12.5"), 12.5f);
    EXPECT_FLOAT_EQ(hsFloatValue("  92.5 points"), 92.5f);
    EXPECT_FLOAT_EQ(hsFloatValue("92,5"), 92.0f);
    EXPECT_FLOAT_EQ(hsFloatValue("-116.397"), -116.397f);
    EXPECT_FLOAT_EQ(hsFloatValue("+3"), 3.0f);
    EXPECT_FLOAT_EQ(hsFloatValue(".5"), 0.5f);
    EXPECT_FLOAT_EQ(hsFloatValue("5."), 5.0f);
    EXPECT_FLOAT_EQ(hsFloatValue("1.5e2"), 150.0f);
    EXPECT_FLOAT_EQ(hsFloatValue("25E-1x"), 2.5f);
}

TEST(FloatRule, AnExponentWithoutDigitsIsNotPartOfTheNumber)
{
    EXPECT_FLOAT_EQ(hsFloatValue("3e"), 3.0f);
    EXPECT_FLOAT_EQ(hsFloatValue("3e+"), 3.0f);
    EXPECT_FLOAT_EQ(hsFloatValue("3ex5"), 3.0f);
}

TEST(FloatRule, GivesZeroWithoutANumber)
{
    EXPECT_EQ(hsFloatValue(std::nullopt), 0.0f);
    EXPECT_EQ(hsFloatValue(""), 0.0f);
    EXPECT_EQ(hsFloatValue("E12"), 0.0f);
    EXPECT_EQ(hsFloatValue("."), 0.0f);
    EXPECT_EQ(hsFloatValue("-.e3"), 0.0f);
}

TEST(FloatRule, ReadsOnlyDecimalNotationNotTheWiderCSyntax)
{
    EXPECT_EQ(hsFloatValue("0x1p4"), 0.0f);
    EXPECT_EQ(hsFloatValue("inf"), 0.0f);
    EXPECT_EQ(hsFloatValue("nan"), 0.0f);
}

TEST(FloatRule, ValuesBeyondTheFloatRangeBecomeInfinityOrZero)
{
    EXPECT_EQ(hsFloatValue("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(hsFloatValue("-123456e40"), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(hsFloatValue("1e-60"), 0.0f);
    EXPECT_EQ(hsFloatValue("0.00000e999999999999"), 0.0f);
}

// The decimal separator stays "." even when the process runs in a locale that writes ",".
TEST(FloatRule, IgnoresACommaDecimalLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    bool commaLocale = false;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr && std::string(std::localeconv()->decimal_point) == ",") {
            commaLocale = true;
            break;
        }
    }
    if (!commaLocale) {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale with a comma decimal separator is installed";
    }
    const float dotted = hsFloatValue("12.5");
    const float commaed = hsFloatValue("92,5");
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_FLOAT_EQ(dotted, 12.5f);
    EXPECT_FLOAT_EQ(commaed, 92.0f);
}

TEST(TextRule, KeepsTheTextExactlyAndAbsentStaysAbsent)
{
    EXPECT_EQ(hsTextValue(std::nullopt), std::nullopt);
    EXPECT_EQ(hsTextValue(""), std::optional<std::string>(""));
    EXPECT_EQ(hsTextValue(" a\n b "), std::optional<std::string>(" a\n b "));
}

} // namespace
