#pragma once

#include <string>
#include <string_view>

// A text as one log line may show it: control characters and the backslash are written as
// escapes ("\n" as "\x0a", "\" as "\\"), so that nothing a caller sends can start a line of its
// own or pass for another entry. Other bytes, UTF-8 included, stay as they are.
inline std::string printableForLog(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            shown += "\\\\";
        } else if (byte < 0x20 || byte == 0x7f) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xf];
        } else {
            shown += c;
        }
    }
    return shown;
}
