#pragma once

#include <string>
#include <vector>

// A document whose bytes do not convert from the encoding it declares.
struct BadlyEncodedXml
{
    std::string name;
    std::string bytes;
};

// The document `before` + bytes that do not convert + `after` (both plain ASCII), once for each
// way a converted input can go wrong: bytes that are no character of a declared multi-byte
// encoding, UTF-8 text under a declaration of another encoding, and UTF-16 with half a surrogate
// pair.
inline std::vector<BadlyEncodedXml> badlyEncodedXml(const std::string &before, const std::string &after)
{
    const auto declared = [&](const std::string &encoding, const std::string &bad) {
        return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>" + before + bad + after;
    };
    std::string utf16("\xff\xfe", 2);
    const auto appendUtf16 = [&utf16](char16_t unit) {
        utf16.push_back(static_cast<char>(unit & 0xff));
        utf16.push_back(static_cast<char>(unit >> 8));
    };
    for (const char c : "<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + before)
        appendUtf16(static_cast<unsigned char>(c));
    appendUtf16(0xd800);
    for (const char c : after)
        appendUtf16(static_cast<unsigned char>(c));
    return {
        {"EUC-JP, no character", declared("EUC-JP", "\xff\xfe\xa1")},
        {"Shift_JIS, cut character", declared("Shift_JIS", "\x81\x20")},
        {"GB2312 declared, UTF-8 sent",
         declared("GB2312", "\xe5\xaf\x86\xe7\xa0\x81\xe9\x94\x99\xe8\xaf\xaf")},
        {"UTF-16, half a surrogate pair", utf16},
    };
}
