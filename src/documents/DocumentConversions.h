#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The text captured for one element: absent when the element carried no character data.
using CapturedText = std::optional<std::string_view>;

// Integer rule: leading white space is skipped, then an optional sign and the decimal digits up
// to the first other character are read. No digits (or no text) give 0; values beyond the 32-bit
// range give its largest or smallest value.
int32_t hsIntegerValue(CapturedText text);

// Float rule: leading white space is skipped, then a decimal number with optional sign, fraction
// after "." and exponent is read up to the first other character. No number (or no text) gives 0.
// The decimal separator is always ".", whatever the process locale says.
float hsFloatValue(CapturedText text);

// Text rule: the captured text exactly as captured, absent when there was none.
std::optional<std::string> hsTextValue(CapturedText text);
