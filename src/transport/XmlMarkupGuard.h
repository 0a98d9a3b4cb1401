#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// The XML library spends time that grows with the square of some counts in its input: the
// attributes of one element (each is checked against the others), the namespace declarations in
// scope, the distinct names of a document (its name dictionary) and, in a document type
// declaration, its declarations and the parameter entities it expands. No message of this
// protocol comes near any of these counts, so an input that exceeds one is refused before the
// library sees it. The check is one pass over the bytes that reads just enough of the markup to
// count: it skips text, comments, CDATA sections, processing instructions and quoted values the
// way the library does, so nothing hidden in them is counted and nothing the library reads as
// markup is missed.
//
// Where the input stops being well-formed the check stops and accepts: the library stops at that
// same point (its readers are told to halt at their first fatal error), before anything beyond
// it costs time.

struct XmlMarkupLimits
{
    size_t attributesPerElement = 32;
    // Over the whole input, since declarations stay in scope for everything nested below them.
    size_t namespaceDeclarations = 64;
    // Element, attribute, entity and processing-instruction names, each counted once.
    size_t distinctNames = 16384;
    // The whole document type declaration; 0 refuses any.
    size_t doctypeBytes = 256 * 1024;
};

enum class XmlMarkupVerdict
{
    accepted,
    tooManyAttributes,
    tooManyNamespaces,
    tooManyNames,
    doctypeRefused,
    doctypeTooLarge,
    parameterEntity,
    markupInEntity,
    unsupportedEncoding,
};

inline const char *hsXmlMarkupProblem(XmlMarkupVerdict verdict)
{
    switch (verdict) {
    case XmlMarkupVerdict::accepted:
        return "";
    case XmlMarkupVerdict::tooManyAttributes:
        return "an element has too many attributes";
    case XmlMarkupVerdict::tooManyNamespaces:
        return "too many namespace declarations";
    case XmlMarkupVerdict::tooManyNames:
        return "too many distinct names";
    case XmlMarkupVerdict::doctypeRefused:
        return "a document type declaration is not accepted";
    case XmlMarkupVerdict::doctypeTooLarge:
        return "the document type declaration is too large";
    case XmlMarkupVerdict::parameterEntity:
        return "parameter entities are not accepted";
    case XmlMarkupVerdict::markupInEntity:
        return "an entity holds markup";
    case XmlMarkupVerdict::unsupportedEncoding:
        return "the input's encoding is not accepted";
    }
    return "";
}

namespace xml_markup_guard {

constexpr size_t npos = std::string_view::npos;

inline bool isSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Bytes that end a name as this check reads it. The library's names are stricter; where it stops
// earlier than this, it has met a fatal error there.
constexpr std::array<bool, 256> kNameEnds = [] {
    std::array<bool, 256> ends{};
    for (const unsigned char c : std::string_view(" \t\n\r=/><\"'?;&[]%", 17))
        ends[c] = true;
    ends[0] = true;
    return ends;
}();

inline bool startsName(unsigned char c)
{
    return c >= 0x80 || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':';
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
        if (upper(a[i]) != upper(b[i]))
            return false;
    }
    return true;
}

// The distinct names met so far, without copies: the views point into the input.
class NameSet
{
public:
    explicit NameSet(size_t limit) : limit_(limit) {}

    // False once the names would exceed the limit.
    bool add(std::string_view name)
    {
        // A document repeats a handful of names over and over: those are found here at once.
        std::string_view &recent = recent_[recentIndex(name)];
        if (recent == name)
            return true;
        recent = name;
        if (slots_.empty())
            slots_.resize(64);
        size_t mask = slots_.size() - 1;
        for (size_t i = hash(name) & mask;; i = (i + 1) & mask) {
            if (slots_[i].data() == nullptr)
                break;
            if (slots_[i] == name)
                return true;
        }
        if (++count_ > limit_)
            return false;
        if (count_ * 2 > slots_.size())
            grow();
        mask = slots_.size() - 1;
        size_t i = hash(name) & mask;
        while (slots_[i].data() != nullptr)
            i = (i + 1) & mask;
        slots_[i] = name;
        return true;
    }

private:
    static size_t recentIndex(std::string_view name)
    {
        const auto first = name.empty() ? 0u : static_cast<unsigned char>(name.front());
        const auto last = name.empty() ? 0u : static_cast<unsigned char>(name.back());
        return (name.size() ^ first << 1 ^ last << 3) % kRecentNames;
    }

    // Eight bytes at a time: names are short, and most are read once per element.
    static size_t hash(std::string_view name)
    {
        uint64_t h = name.size() * 0x9E3779B97F4A7C15ull;
        for (size_t i = 0; i < name.size(); i += 8) {
            uint64_t word = 0;
            std::memcpy(&word, name.data() + i, std::min<size_t>(8, name.size() - i));
            h = (h ^ word) * 0xFF51AFD7ED558CCDull;
        }
        return static_cast<size_t>(h ^ (h >> 29));
    }

    void grow()
    {
        std::vector<std::string_view> old(slots_.size() * 2);
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (const std::string_view name : old) {
            if (name.data() == nullptr)
                continue;
            size_t i = hash(name) & mask;
            while (slots_[i].data() != nullptr)
                i = (i + 1) & mask;
            slots_[i] = name;
        }
    }

    static constexpr size_t kRecentNames = 64;

    size_t limit_;
    size_t count_ = 0;
    std::vector<std::string_view> slots_;
    std::array<std::string_view, kRecentNames> recent_{};
};

class Scan
{
public:
    Scan(std::string_view text, const XmlMarkupLimits &limits)
        : s_(text), limits_(limits), names_(limits.distinctNames),
          countNames_(text.size() / kLeastBytesPerName > limits.distinctNames)
    {}

    XmlMarkupVerdict run()
    {
        // Texts between tags are short, so they are read a byte at a time rather than searched.
        for (size_t i = 0; i != npos;) {
            while (i < s_.size() && s_[i] != '<' && s_[i] != '&')
                ++i;
            if (i >= s_.size())
                break;
            i = s_[i] == '&' ? reference(i) : markup(i);
        }
        return verdict_;
    }

private:
    size_t find(char c, size_t from, size_t to = npos) const
    {
        to = std::min(to, s_.size());
        if (from >= to)
            return npos;
        const void *at = std::memchr(s_.data() + from, c, to - from);
        return at ? static_cast<size_t>(static_cast<const char *>(at) - s_.data()) : npos;
    }

    size_t find(std::string_view sequence, size_t from) const
    {
        return from >= s_.size() ? npos : s_.find(sequence, from);
    }

    bool at(size_t i, std::string_view sequence) const
    {
        return s_.substr(std::min(i, s_.size())).starts_with(sequence);
    }

    size_t skipSpace(size_t i) const
    {
        while (i < s_.size() && isSpace(static_cast<unsigned char>(s_[i])))
            ++i;
        return i;
    }

    size_t nameEnd(size_t i) const
    {
        while (i < s_.size() && !kNameEnds[static_cast<unsigned char>(s_[i])])
            ++i;
        return i;
    }

    bool refuse(XmlMarkupVerdict verdict)
    {
        verdict_ = verdict;
        return false;
    }

    bool addName(std::string_view name)
    {
        return !countNames_ || names_.add(name) || refuse(XmlMarkupVerdict::tooManyNames);
    }

    // An entity reference in text or in an attribute value: a named one adds its name to the
    // library's dictionary. Where the scan goes on, or npos when it stops.
    size_t reference(size_t amp)
    {
        if (at(amp + 1, "lt;") || at(amp + 1, "gt;"))
            return amp + 4;
        if (at(amp + 1, "#"))
            return amp + 2;
        const size_t end = nameEnd(amp + 1);
        if (end >= s_.size() || s_[end] != ';')
            return npos;
        const std::string_view name = s_.substr(amp + 1, end - amp - 1);
        if (name != "amp" && name != "quot" && name != "apos" && !addName(name))
            return npos;
        return end + 1;
    }

    // A quoted value from its opening quote: where it ends, or npos when the scan stops.
    size_t quotedValue(size_t open)
    {
        const char quote = s_[open];
        for (size_t i = open + 1; i < s_.size();) {
            if (s_[i] == quote)
                return i;
            i = s_[i] == '&' ? reference(i) : i + 1;
            if (i == npos)
                return npos;
        }
        return npos;
    }

    // One piece of markup at `open`; where the scan goes on, or npos when it stops.
    size_t markup(size_t open)
    {
        switch (open + 1 < s_.size() ? s_[open + 1] : '\0') {
        case '/': {
            size_t i = open + 2;
            while (i < s_.size() && s_[i] != '>')
                ++i;
            return i < s_.size() ? i + 1 : npos;
        }
        case '?': {
            const size_t target = nameEnd(open + 2);
            if (!addName(s_.substr(open + 2, target - open - 2)))
                return npos;
            return after(find("?>", target), 2);
        }
        case '!':
            if (at(open, "<!--"))
                return after(find("-->", open + 4), 3);
            if (at(open, "<![CDATA["))
                return after(find("]]>", open + 9), 3);
            if (at(open, "<!DOCTYPE"))
                return doctype(open);
            return npos;
        default:
            return startTag(open + 1);
        }
    }

    static size_t after(size_t found, size_t length) { return found == npos ? npos : found + length; }

    size_t startTag(size_t i)
    {
        if (i >= s_.size() || !startsName(static_cast<unsigned char>(s_[i])))
            return npos;
        size_t end = nameEnd(i);
        if (!addName(s_.substr(i, end - i)))
            return npos;
        size_t attributes = 0;
        for (i = end;;) {
            end = skipSpace(i);
            const bool spaced = end > i;
            i = end;
            if (i >= s_.size())
                return npos;
            if (s_[i] == '>')
                return i + 1;
            if (s_[i] == '/')
                return at(i, "/>") ? i + 2 : npos;
            if (!spaced)
                return npos;
            end = nameEnd(i);
            const std::string_view name = s_.substr(i, end - i);
            const size_t quote = skipSpace(skipSpace(end) + 1);
            if (name.empty() || !at(skipSpace(end), "=") || quote >= s_.size() ||
                (s_[quote] != '"' && s_[quote] != '\''))
                return npos;
            const size_t close = quotedValue(quote);
            if (close == npos)
                return npos;
            if (++attributes > limits_.attributesPerElement) {
                refuse(XmlMarkupVerdict::tooManyAttributes);
                return npos;
            }
            if ((name == "xmlns" || name.starts_with("xmlns:")) &&
                ++namespaces_ > limits_.namespaceDeclarations) {
                refuse(XmlMarkupVerdict::tooManyNamespaces);
                return npos;
            }
            if (!addName(name))
                return npos;
            i = close + 1;
        }
    }

    // The document type declaration, its internal subset included. It is read only as far as
    // its size limit: one that goes on beyond it is refused whether or not it ends.
    size_t doctype(size_t open)
    {
        if (limits_.doctypeBytes == 0) {
            refuse(XmlMarkupVerdict::doctypeRefused);
            return npos;
        }
        const bool whole = s_.size() - open <= limits_.doctypeBytes;
        Scan bounded(s_.substr(0, whole ? s_.size() : open + limits_.doctypeBytes), limits_);
        const size_t end = bounded.doctypeAt(open);
        if (bounded.verdict_ != XmlMarkupVerdict::accepted)
            refuse(bounded.verdict_);
        else if (end == npos && !whole)
            refuse(XmlMarkupVerdict::doctypeTooLarge);
        return verdict_ == XmlMarkupVerdict::accepted ? end : npos;
    }

    size_t doctypeAt(size_t open)
    {
        size_t i = open + 9;
        while (i < s_.size() && s_[i] != '[' && s_[i] != '>')
            i = (s_[i] == '"' || s_[i] == '\'') ? after(find(s_[i], i + 1), 1) : i + 1;
        if (i >= s_.size())
            return npos;
        return s_[i] == '[' ? internalSubset(i + 1) : i + 1;
    }

    size_t internalSubset(size_t i)
    {
        for (;;) {
            i = skipSpace(i);
            // A parameter entity reference is the only way to expand text among the
            // declarations, over and over; no document of the protocol has one.
            if (i >= s_.size() || s_[i] == '%') {
                if (i < s_.size())
                    refuse(XmlMarkupVerdict::parameterEntity);
                return npos;
            }
            if (s_[i] == ']') {
                const size_t close = skipSpace(i + 1);
                return at(close, ">") ? close + 1 : npos;
            }
            if (at(i, "<!--"))
                i = after(find("-->", i + 4), 3);
            else if (at(i, "<?"))
                i = after(find("?>", i + 2), 2);
            else if (at(i, "<!"))
                i = declaration(i + 2);
            else
                return npos;
            if (i == npos)
                return npos;
        }
    }

    // One markup declaration after its "<!"; entity values may not hold markup, in any form.
    size_t declaration(size_t i)
    {
        const size_t keywordEnd = nameEnd(i);
        const bool entity = s_.substr(i, keywordEnd - i) == "ENTITY";
        for (i = keywordEnd; i < s_.size() && s_[i] != '>';) {
            if (s_[i] != '"' && s_[i] != '\'') {
                ++i;
                continue;
            }
            const size_t close = find(s_[i], i + 1);
            if (close == npos)
                return npos;
            if (entity && holdsMarkup(s_.substr(i + 1, close - i - 1))) {
                refuse(XmlMarkupVerdict::markupInEntity);
                return npos;
            }
            i = close + 1;
        }
        return i < s_.size() ? i + 1 : npos;
    }

    // A "<" written as is or as a character reference, which the entity's text would carry as
    // markup wherever it is referenced.
    static bool holdsMarkup(std::string_view value)
    {
        if (value.find('<') != npos)
            return true;
        for (size_t ref = value.find("&#"); ref != npos; ref = value.find("&#", ref + 2)) {
            const bool hex = ref + 2 < value.size() && value[ref + 2] == 'x';
            uint32_t code = 0;
            for (size_t k = ref + 2 + (hex ? 1 : 0); k < value.size() && value[k] != ';' && code <= 0x10FFFF;
                 ++k) {
                const char c = value[k];
                const int digit = c >= '0' && c <= '9'          ? c - '0'
                                  : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                : -1;
                if (digit < 0)
                    break;
                code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
            }
            if (code == '<')
                return true;
        }
        return false;
    }

    // Each distinct name takes at least this many bytes ("&a;", "<a>"): a shorter input cannot
    // exceed the limit, and its names are not counted at all.
    static constexpr size_t kLeastBytesPerName = 3;

    std::string_view s_;
    const XmlMarkupLimits &limits_;
    NameSet names_;
    bool countNames_;
    size_t namespaces_ = 0;
    XmlMarkupVerdict verdict_ = XmlMarkupVerdict::accepted;
};

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

inline Form declaredForm(std::string_view encoding)
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
inline std::string_view declaredEncoding(std::string_view head)
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

// Bytes for the scan: ASCII characters as themselves, every other character as bytes of 0x80 and
// above. Filled only for the forms that need it.
inline Form narrowed(std::string_view input, std::string &out)
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

// Checks the markup of one input (the bytes as received, in whatever encoding they declare)
// against the limits, in time linear in its size.
inline XmlMarkupVerdict hsCheckXmlMarkup(std::string_view input, const XmlMarkupLimits &limits = {})
{
    using namespace xml_markup_guard;
    std::string narrowedCopy;
    const Form form = narrowed(input, narrowedCopy);
    if (form == Form::refused)
        return XmlMarkupVerdict::unsupportedEncoding;
    return Scan(form == Form::asciiSafe ? input : std::string_view(narrowedCopy), limits).run();
}
