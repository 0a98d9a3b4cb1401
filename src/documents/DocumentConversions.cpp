#include "documents/DocumentConversions.h"

#include <charconv>
#include <limits>

namespace {

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view withoutLeadingWhiteSpace(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && isWhiteSpace(text[start]))
        ++start;
    return text.substr(start);
}

// Removes an optional leading sign and tells whether it was a minus.
bool takeSign(std::string_view &text)
{
    if (text.empty() || (text.front() != '+' && text.front() != '-'))
        return false;
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

size_t countDigits(std::string_view text, size_t from)
{
    size_t end = from;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return end - from;
}

// The shape of a decimal number at the start of a text: where it ends and roughly how large it is.
struct DecimalNumber
{
    size_t length = 0;
    // Power of ten of the first significant digit; only meaningful when the number is not zero.
    int64_t magnitude = 0;
    bool hasSignificantDigit = false;
};

int64_t readExponent(std::string_view digits)
{
    int64_t value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 1'000'000'000)
            return value;
    }
    return value;
}

DecimalNumber scanDecimalNumber(std::string_view text)
{
    DecimalNumber number;
    const size_t integerDigits = countDigits(text, 0);
    size_t length = integerDigits;
    size_t fractionDigits = 0;
    if (length < text.size() && text[length] == '.') {
        fractionDigits = countDigits(text, length + 1);
        length += 1 + fractionDigits;
    }
    if (integerDigits + fractionDigits == 0)
        return number;
    const std::string_view mantissa = text.substr(0, length);
    const size_t firstSignificant = mantissa.find_first_not_of("0.");
    number.hasSignificantDigit = firstSignificant != std::string_view::npos;
    if (number.hasSignificantDigit) {
        number.magnitude = firstSignificant < integerDigits
                               ? static_cast<int64_t>(integerDigits - firstSignificant) - 1
                               : -static_cast<int64_t>(firstSignificant - integerDigits);
    }
    if (length < text.size() && (text[length] == 'e' || text[length] == 'E')) {
        size_t exponentStart = length + 1;
        bool negativeExponent = false;
        if (exponentStart < text.size() && (text[exponentStart] == '+' || text[exponentStart] == '-')) {
            negativeExponent = text[exponentStart] == '-';
            ++exponentStart;
        }
        const size_t exponentDigits = countDigits(text, exponentStart);
        if (exponentDigits > 0) {
            const int64_t exponent = readExponent(text.substr(exponentStart, exponentDigits));
            number.magnitude += negativeExponent ? -exponent : exponent;
            length = exponentStart + exponentDigits;
        }
    }
    number.length = length;
    return number;
}

// A value too large or too small for a float becomes infinity or zero, as a C reader would give.
float outOfRangeValue(const DecimalNumber &number)
{
    if (!number.hasSignificantDigit || number.magnitude < 0)
        return 0.0f;
    return std::numeric_limits<float>::infinity();
}

} // namespace

int32_t hsIntegerValue(CapturedText text)
{
    if (!text)
        return 0;
    // Most values are a few plain digits; nine of them always fit.
    const std::string_view plain = *text;
    if (!plain.empty() && plain.size() <= 9) {
        int32_t value = 0;
        size_t i = 0;
        while (i < plain.size() && isDigit(plain[i]))
            value = value * 10 + (plain[i++] - '0');
        if (i == plain.size())
            return value;
    }
    std::string_view rest = withoutLeadingWhiteSpace(*text);
    const bool negative = takeSign(rest);
    constexpr int64_t largest = std::numeric_limits<int32_t>::max();
    constexpr int64_t smallest = std::numeric_limits<int32_t>::min();
    const int64_t limit = negative ? -smallest : largest;
    int64_t magnitude = 0;
    for (size_t i = 0; i < rest.size() && isDigit(rest[i]); ++i) {
        magnitude = magnitude * 10 + (rest[i] - '0');
        if (magnitude >= limit) {
            magnitude = limit;
            break;
        }
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

float hsFloatValue(CapturedText text)
{
    if (!text)
        return 0.0f;
    std::string_view rest = withoutLeadingWhiteSpace(*text);
    const bool negative = takeSign(rest);
    const DecimalNumber number = scanDecimalNumber(rest);
    if (number.length == 0)
        return 0.0f;
    float value = 0.0f;
    const std::from_chars_result result = std::from_chars(rest.data(), rest.data() + number.length, value);
    if (result.ec == std::errc::result_out_of_range)
        value = outOfRangeValue(number);
    return negative ? -value : value;
}

std::optional<std::string> hsTextValue(CapturedText text)
{
    if (!text)
        return std::nullopt;
    return std::string(*text);
}
