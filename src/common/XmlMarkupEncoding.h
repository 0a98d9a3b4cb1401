#pragma once

#include <string>
#include <string_view>

namespace xml_markup_guard {

// How the input's characters map onto the bytes the scan reads.
enum class Form
{
    // Every character below 0x80 is its own byte and no byte of a longer character is below
    // 0x80: the bytes are scanned as they are.
    asciiSafe,
    // Double-byte encodings whose second bytes include ASCII letters and brackets: a second
    // byte is masked so that it is not read as markup. Lead bytes 0x81-0x9F and 0xE0-0xFC.
    shiftJis,
    // The same with lead bytes 0x81-0xFE.
    leadFrom81,
    utf16le,
    utf16be,
    refused,
};

// The form of `input` as its first bytes and its declaration tell; for the forms that need it,
// `out` receives the bytes to scan: ASCII characters as themselves, every other character as bytes
// of 0x80 and above.
Form narrowed(std::string_view input, std::string &out);

} // namespace xml_markup_guard
