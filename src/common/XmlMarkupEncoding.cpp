#include "common/XmlMarkupEncoding.h"

#include "common/XmlMarkupScanParts.h"

#include <initializer_list>

namespace xml_markup_guard {

namespace {

Form declaredForm(std::string_view encoding)
{
    const auto is = [&](std::initializer_list<std::string_view> names) {
        for (const std::string_view name : names)
            if (equalsIgnoringCase(encoding, name))
                return true;
        return false;
    };
    const auto startsWith = [&](std::string_view prefix) {
        return encoding.size() > prefix.size() &&
               equalsIgnoringCase(encoding.substr(0, prefix.size()), prefix);
    };
    // "UTF-16" on single bytes is an error the reader stops at; it switches to no decoder.
    if (encoding.empty() ||
        is({"UTF-8", "UTF8", "UTF-16", "UTF16", "US-ASCII", "ASCII", "EUC-JP", "EUCJP", "EUC-KR", "EUCKR",
            "EUC-CN", "EUCCN", "GB2312", "KOI8-R", "KOI8-U"}) ||
        startsWith("ISO-8859-") || startsWith("ISO8859-") || startsWith("ISO_8859-") || startsWith("LATIN") ||
        startsWith("WINDOWS-125") || startsWith("CP125"))
        return Form::asciiSafe;
    if (is({"SHIFT_JIS", "SHIFT-JIS", "SJIS", "MS_KANJI", "CP932", "WINDOWS-31J"}))
        return Form::shiftJis;
    if (is({"GBK", "CP936", "GB18030", "BIG5", "BIG-5", "BIG5-HKSCS", "CP950"}))
        return Form::leadFrom81;
    return Form::refused;
}

// The encoding an XML declaration at the start of `head` names, empty when none does.
std::string_view declaredEncoding(std::string_view head)
{
    if (!head.starts_with("<?xml") || head.size() < 6 || !isSpace(static_cast<unsigned char>(head[5])))
        return {};
    head = head.substr(0, head.find("?>"));
    const size_t keyword = head.find("encoding");
    if (keyword == npos)
        return {};
    size_t i = keyword + 8;
    while (i < head.size() && (isSpace(static_cast<unsigned char>(head[i])) || head[i] == '='))
        ++i;
    if (i >= head.size() || (head[i] != '"' && head[i] != '\''))
        return {};
    const size_t close = head.find(head[i], i + 1);
    return close == npos ? std::string_view() : head.substr(i + 1, close - i - 1);
}

} // namespace

Form narrowed(std::string_view input, std::string &out)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(input[i]); };
    const bool le = input.size() >= 4 && ((byte(0) == 0xFF && byte(1) == 0xFE) ||
                                          (byte(0) == '<' && byte(1) == 0 && byte(2) == '?' && byte(3) == 0));
    const bool be = input.size() >= 4 && ((byte(0) == 0xFE && byte(1) == 0xFF) ||
                                          (byte(0) == 0 && byte(1) == '<' && byte(2) == 0 && byte(3) == '?'));
    if (le || be) {
        out.reserve(input.size() / 2);
        for (size_t i = 0; i + 1 < input.size(); i += 2) {
            const unsigned unit = le ? byte(i) | byte(i + 1) << 8 : byte(i) << 8 | byte(i + 1);
            out.push_back(static_cast<char>(unit < 0x80 ? unit : 0x80));
        }
        const std::string_view encoding =
            declaredEncoding(std::string_view(out).substr(out.starts_with("\x80") ? 1 : 0));
        const bool utf16 = encoding.empty() || equalsIgnoringCase(encoding, "UTF-16") ||
                           equalsIgnoringCase(encoding, le ? "UTF-16LE" : "UTF-16BE");
        return utf16 ? (le ? Form::utf16le : Form::utf16be) : Form::refused;
    }
    // Four-byte forms and EBCDIC, as the reader recognises them from the first bytes.
    if (input.size() >= 4 && ((byte(0) == 0 && byte(1) == 0) || (byte(2) == 0 && byte(3) == 0) ||
                              (byte(0) == 0x4C && byte(1) == 0x6F && byte(2) == 0xA7 && byte(3) == 0x94)))
        return Form::refused;
    const std::string_view head = input.substr(input.starts_with("\xEF\xBB\xBF") ? 3 : 0, 512);
    const Form form = declaredForm(declaredEncoding(head));
    if (form == Form::shiftJis || form == Form::leadFrom81) {
        out.assign(input);
        for (size_t i = 0; i + 1 < out.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(out[i]);
            const bool lead = form == Form::shiftJis ? (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)
                                                     : c >= 0x81 && c <= 0xFE;
            if (lead)
                out[++i] = static_cast<char>(0x80);
        }
    }
    return form;
}

} // namespace xml_markup_guard
