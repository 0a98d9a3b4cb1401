#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The text captured for one element: absent when the element carried no character data. Small
// enough to travel in registers, since one is handed over for every field read.
class CapturedText
{
public:
    constexpr CapturedText() = default;
    constexpr CapturedText(std::nullopt_t) {}
    constexpr CapturedText(std::string_view text) : data_(text.data() ? text.data() : ""), size_(text.size())
    {}
    constexpr CapturedText(const char *text) : CapturedText(std::string_view(text)) {}

    constexpr explicit operator bool() const { return data_ != nullptr; }
    constexpr std::string_view operator*() const { return {data_, size_}; }

private:
    const char *data_ = nullptr;
    size_t size_ = 0;
};

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
