#include "XmlText.h"

#include <algorithm>
#include <array>
#include <libxml/entities.h>
#include <libxml/tree.h>
#include <memory>
#include <stdexcept>

namespace {

// Bytes the library escapes in character data, and in attribute values on top of those; a NUL
// ends the text.
constexpr std::string_view kEscapedInText("<>&\"\r\0", 6);
constexpr std::string_view kEscapedInAttributes("<>&\"\r\n\t\0", 8);

// The same bytes as tables, since every text is looked through byte by byte.
constexpr std::array<bool, 256> byteSet(std::string_view bytes)
{
    std::array<bool, 256> set{};
    for (const char c : bytes)
        set[static_cast<unsigned char>(c)] = true;
    return set;
}

constexpr std::array<bool, 256> kTextSpecials = byteSet(kEscapedInText);
constexpr std::array<bool, 256> kAttributeSpecials = byteSet(kEscapedInAttributes);

bool holdsAnyOf(std::string_view value, const std::array<bool, 256> &specials)
{
    return std::any_of(value.begin(), value.end(),
                       [&specials](char c) { return specials[static_cast<unsigned char>(c)]; });
}

std::string nulTerminated(std::string_view value)
{
    return std::string(value.substr(0, value.find('\0')));
}

const xmlChar *chars(const std::string &text)
{
    return reinterpret_cast<const xmlChar *>(text.c_str());
}

// Character data: markup characters and the quote become entities, a carriage return a character
// reference.
void appendEscapedText(std::string &out, std::string_view value)
{
    // Most texts (names, numbers, dates) hold nothing to escape and are copied as they are.
    if (!holdsAnyOf(value, kTextSpecials)) {
        out += value;
        return;
    }
    const std::unique_ptr<xmlChar, decltype(xmlFree)> escaped(
        xmlEncodeSpecialChars(nullptr, chars(nulTerminated(value))), xmlFree);
    if (!escaped)
        throw std::runtime_error("XML text could not be escaped");
    out += reinterpret_cast<const char *>(escaped.get());
}

std::string escapedAsText(std::string_view value)
{
    std::string escaped;
    appendEscapedText(escaped, value);
    return escaped;
}

// An attribute value also keeps its line ends and tabs as character references. The document
// declares UTF-8, so other characters are written as they are.
void appendEscapedAttribute(std::string &out, std::string_view value)
{
    static const xmlDoc *const utf8Document = [] {
        xmlDocPtr document = xmlNewDoc(nullptr);
        document->encoding = xmlStrdup(reinterpret_cast<const xmlChar *>("UTF-8"));
        return document;
    }();
    const std::unique_ptr<xmlBuffer, decltype(&xmlBufferFree)> buffer(xmlBufferCreate(), &xmlBufferFree);
    xmlAttrSerializeTxtContent(buffer.get(), const_cast<xmlDoc *>(utf8Document), nullptr,
                               chars(nulTerminated(value)));
    out.append(reinterpret_cast<const char *>(xmlBufferContent(buffer.get())),
               static_cast<size_t>(xmlBufferLength(buffer.get())));
}

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// The markup pieces the writer uses, in the order of XmlText::Markup.
constexpr std::array<std::string_view, 7> kMarkup = {kDeclaration, "<", ">", "</", "/>", "=\"", "\""};

// Each markup piece in both forms, the escaped one escaped once by the library.
const std::array<std::array<std::string, 2>, kMarkup.size()> &markupForms()
{
    static const auto forms = [] {
        std::array<std::array<std::string, 2>, kMarkup.size()> made;
        for (size_t i = 0; i < kMarkup.size(); ++i)
            made[i] = {std::string(kMarkup[i]), escapedAsText(kMarkup[i])};
        return made;
    }();
    return forms;
}

} // namespace

XmlText::XmlText(Form form) : form_(form)
{
    markup(Markup::declaration);
}

void XmlText::markup(Markup piece)
{
    out_ += markupForms()[static_cast<size_t>(piece)][static_cast<size_t>(form_)];
}

void XmlText::escapedForDocument(std::string_view value)
{
    if (form_ == Form::document)
        out_ += value;
    else
        appendEscapedText(out_, value);
}

void XmlText::endStartTag()
{
    if (startTagOpen_)
        markup(Markup::tagEnd);
    startTagOpen_ = false;
}

void XmlText::open(std::string_view name)
{
    endStartTag();
    markup(Markup::startTag);
    out_ += name;
    open_.emplace_back(name);
    startTagOpen_ = true;
}

void XmlText::attribute(std::string_view name, std::string_view value)
{
    out_ += ' ';
    out_ += name;
    markup(Markup::valueStart);
    if (!holdsAnyOf(value, kAttributeSpecials)) {
        out_ += value;
    } else {
        std::string escaped;
        appendEscapedAttribute(escaped, value);
        escapedForDocument(escaped);
    }
    markup(Markup::valueEnd);
}

void XmlText::text(std::string_view value)
{
    endStartTag();
    if (!holdsAnyOf(value, kTextSpecials))
        out_ += value;
    else
        escapedForDocument(escapedAsText(value));
}

void XmlText::escapedText(std::string_view value)
{
    endStartTag();
    out_ += value;
}

void XmlText::close()
{
    if (startTagOpen_) {
        markup(Markup::emptyEnd);
        startTagOpen_ = false;
    } else {
        markup(Markup::endTag);
        out_ += open_.back();
        markup(Markup::tagEnd);
    }
    open_.pop_back();
}

void XmlText::element(std::string_view name, std::string_view value)
{
    open(name);
    text(value);
    close();
}

std::string XmlText::finish()
{
    while (!open_.empty())
        close();
    out_ += '\n';
    return std::move(out_);
}
