#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// What the digits of a character reference ("&#60;", "&#x3C;") name, and where they end.
struct XmlCharacterReferenceDigits
{
    uint32_t code = 0;
    size_t end = 0;
};

// Reads the digits from `start` up to the first byte that is no digit of the reference's base.
// Reading stops once the number is past the last character there is, so that no run of digits can
// overflow it.
inline XmlCharacterReferenceDigits hsReadCharacterReferenceDigits(std::string_view text, size_t start,
                                                                  bool hex)
{
    XmlCharacterReferenceDigits read{0, start};
    for (; read.end < text.size() && read.code <= 0x10FFFF; ++read.end) {
        const char c = text[read.end];
        const int digit = c >= '0' && c <= '9'          ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                        : -1;
        if (digit < 0)
            break;
        read.code = read.code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    return read;
}
