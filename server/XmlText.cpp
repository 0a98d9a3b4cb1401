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

// Each markup piece in both forms, indexed by form and then by piece; the escaped ones were
// escaped once by the library.
using MarkupPieces = std::array<std::string, kMarkup.size()>;

const std::array<MarkupPieces, 2> &markupForms()
{
    static const auto forms = [] {
        std::array<MarkupPieces, 2> made;
        for (size_t i = 0; i < kMarkup.size(); ++i) {
            made[static_cast<size_t>(XmlText::Form::document)][i] = std::string(kMarkup[i]);
            made[static_cast<size_t>(XmlText::Form::escapedAsText)][i] = escapedAsText(kMarkup[i]);
        }
        return made;
    }();
    return forms;
}

} // namespace

XmlText::XmlText(Form form, size_t expectedBytes)
    : form_(form), markup_(markupForms()[static_cast<size_t>(form)])
{
    static_assert(kMarkup.size() == kMarkupPieces, "one markup piece for each Markup");
    out_.reserve(expectedBytes);
    markup(Markup::declaration);
}

void XmlText::markup(Markup piece)
{
    out_ += markup_[static_cast<size_t>(piece)];
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
    appendText(value);
}

void XmlText::appendText(std::string_view value)
{
    // Most texts (names, numbers, dates) hold nothing to escape and are copied as they are.
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

// Written straight out, as most of a document is made of these: the element is never open long
// enough to need a place among the open ones.
void XmlText::element(std::string_view name, std::string_view value)
{
    endStartTag();
    markup(Markup::startTag);
    out_ += name;
    markup(Markup::tagEnd);
    appendText(value);
    markup(Markup::endTag);
    out_ += name;
    markup(Markup::tagEnd);
}

std::string XmlText::finish()
{
    while (!open_.empty())
        close();
    out_ += '\n';
    return std::move(out_);
}
