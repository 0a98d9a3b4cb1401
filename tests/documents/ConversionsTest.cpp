#include "documents/DocumentConversions.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <utility>

namespace {

// Signed digits after white space, up to the first other character; zero without digits; clamped
// to the thirty-two-bit range.
TEST(IntegerRule, ReadsTheLeadingSignedNumber)
{
    const std::pair<const char *, int32_t> cases[] = {{"0", 0},    {" 12x", 12}, {"\n\t 7", 7}, {"-3", -3},
                                                      {"+42", 42}, {"0012", 12}, {"12.9", 12}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(hsIntegerValue(text), value) << text;
    EXPECT_EQ(hsIntegerValue(std::nullopt), 0);
    for (const char *text : {"", "abc", "-", "- 5", "x12"})
        EXPECT_EQ(hsIntegerValue(text), 0) << text;
    EXPECT_EQ(hsIntegerValue("2147483648"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(hsIntegerValue("-99999999999999999999999999"), std::numeric_limits<int32_t>::min());
}

// A decimal number up to the first other character (an exponent without digits is not part of
// it); zero without one, and only decimal notation, not the wider C syntax; beyond the float range
// infinity or zero.
TEST(FloatRule, ReadsTheLeadingDecimalNumber)
{
    const std::pair<const char *, float> cases[] = {{"12.5", 12.5f},  {"  92.5 points", 92.5f},
                                                    {"92,5", 92.0f},  {"-116.397", -116.397f},
                                                    {"+3", 3.0f},     {".5", 0.5f},
                                                    {"5.", 5.0f},     {"1.5e2", 150.0f},
                                                    {"25E-1x", 2.5f}, {"3e", 3.0f},
                                                    {"3e+", 3.0f},    {"3ex5", 3.0f}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(hsFloatValue(text), value) << text;
    EXPECT_EQ(hsFloatValue(std::nullopt), 0.0f);
    for (const char *text : {"", "E12", ".", "-.e3", "0x1p4", "inf", "nan", "1e-60", "0.00000e999999999999"})
        EXPECT_EQ(hsFloatValue(text), 0.0f) << text;
    EXPECT_EQ(hsFloatValue("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(hsFloatValue("-123456e40"), -std::numeric_limits<float>::infinity());
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

} // namespace
