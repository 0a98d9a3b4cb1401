#include "common/XmlUtf8.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t npos = std::string_view::npos;

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
        return upper(x) == upper(y);
    });
}

// The encoding named by the XML declaration at the start of `input`, empty when none is named.
std::string_view declaredEncoding(std::string_view input)
{
    if (!input.starts_with("<?xml") || input.size() < 6 || !hsIsXmlSpace(input[5]))
        return {};
    const std::string_view declaration = input.substr(0, input.find("?>"));
    const size_t keyword = declaration.find("encoding");
    if (keyword == npos)
        return {};
    size_t i = keyword + 8;
    while (i < declaration.size() && (hsIsXmlSpace(declaration[i]) || declaration[i] == '='))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return {};
    const size_t close = declaration.find(declaration[i], i + 1);
    return close == npos ? std::string_view() : declaration.substr(i + 1, close - i - 1);
}

// UTF-16 and UTF-32 show in their first bytes, with or without a byte order mark.
bool startsAsWideEncoding(std::string_view input)
{
    const auto byte = [&](size_t i) {
        return i < input.size() ? static_cast<unsigned char>(input[i]) : 0x20u;
    };
    return (byte(0) == 0xFE && byte(1) == 0xFF) || (byte(0) == 0xFF && byte(1) == 0xFE) || byte(0) == 0 ||
           (byte(1) == 0 && input.size() > 1);
}

} // namespace

bool hsIsUtf8Xml(std::string_view input)
{
    if (startsAsWideEncoding(input))
        return false;
    const std::string_view encoding =
        declaredEncoding(input.substr(input.starts_with("\xEF\xBB\xBF") ? 3 : 0));
    return encoding.empty() || equalsIgnoringCase(encoding, "UTF-8") || equalsIgnoringCase(encoding, "UTF8");
}

bool hsIsXmlCharacter(uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

namespace {

// Whether the eight bytes at `bytes` are all plain printable ASCII: none at 0x80 or above, and
// none below 0x20 (a smaller byte borrows into its high bit).
bool plainAscii(const unsigned char *bytes)
{
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    constexpr uint64_t kSpaces = 0x2020202020202020ull;
    uint64_t word;
    std::memcpy(&word, bytes, 8);
    return ((word | (word - kSpaces)) & kHighBits) == 0;
}

// The length of the UTF-8 encoded XML character at `at`, 0 when there is none there.
size_t characterLength(const unsigned char *at, const unsigned char *end)
{
    const unsigned lead = at[0];
    if (lead < 0x80)
        return hsIsXmlCharacter(lead) ? 1 : 0;
    const auto continues = [&](size_t k) { return at + k < end && (at[k] & 0xC0) == 0x80; };
    const auto bits = [&](size_t k) { return static_cast<uint32_t>(at[k] & 0x3F); };
    if (lead >= 0xE0 && lead < 0xF0) {
        // Three bytes: most of the text that is not ASCII.
        if (!continues(1) || !continues(2))
            return 0;
        const uint32_t c = (lead & 0x0Fu) << 12 | bits(1) << 6 | bits(2);
        return c >= 0x800 && hsIsXmlCharacter(c) ? 3 : 0;
    }
    if (lead >= 0xC2 && lead < 0xE0)
        return continues(1) ? 2 : 0;
    if (lead < 0xF0 || !continues(1) || !continues(2) || !continues(3))
        return 0;
    const uint32_t c = (lead & 0x07u) << 18 | bits(1) << 12 | bits(2) << 6 | bits(3);
    return c >= 0x10000 && hsIsXmlCharacter(c) ? 4 : 0;
}

} // namespace

// Where the first byte that is not part of a UTF-8 encoded XML character is; npos when there is
// none. Plain printable ASCII, most of any document, is passed sixteen bytes at a time, and a
// run of other characters is followed to its end before looking for ASCII again.
size_t hsFirstBadXmlCharacter(std::string_view input)
{
    const auto *begin = reinterpret_cast<const unsigned char *>(input.data());
    const unsigned char *end = begin + input.size();
    const unsigned char *at = begin;
    while (at < end) {
        while (end - at >= 16 && plainAscii(at) && plainAscii(at + 8))
            at += 16;
        if (end - at >= 8 && plainAscii(at))
            at += 8;
        for (bool inRun = true; at < end && inRun; inRun = at < end && *at >= 0x80) {
            const size_t length = characterLength(at, end);
            if (length == 0)
                return static_cast<size_t>(at - begin);
            at += length;
        }
    }
    return npos;
}
