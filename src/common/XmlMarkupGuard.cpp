#include "common/XmlMarkupGuard.h"

#include "common/XmlCharacterReference.h"
#include "common/XmlMarkupScanParts.h"
#include "common/XmlUtf8.h"

#include <string>

namespace xml_markup_guard {
namespace {

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
            if (hsReadCharacterReferenceDigits(value, ref + (hex ? 3 : 2), hex).code == '<')
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

} // namespace
} // namespace xml_markup_guard

const char *hsXmlMarkupProblem(XmlMarkupVerdict verdict)
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

XmlMarkupVerdict hsCheckXmlMarkup(std::string_view input, const XmlMarkupLimits &limits)
{
    if (!hsIsUtf8Xml(input))
        return XmlMarkupVerdict::unsupportedEncoding;
    return xml_markup_guard::Scan(input, limits).run();
}
