#include "XmlText.h"

#include <libxml/entities.h>
#include <libxml/tree.h>
#include <memory>
#include <stdexcept>

namespace {

// Bytes the library escapes in character data, and in attribute values on top of those; a NUL
// ends the text.
constexpr std::string_view kEscapedInText("<>&\"\r\0", 6);
constexpr std::string_view kEscapedInAttributes("<>&\"\r\n\t\0", 8);

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
    if (value.find_first_of(kEscapedInText) == std::string_view::npos) {
        out += value;
        return;
    }
    const std::unique_ptr<xmlChar, decltype(xmlFree)> escaped(
        xmlEncodeSpecialChars(nullptr, chars(nulTerminated(value))), xmlFree);
    if (!escaped)
        throw std::runtime_error("XML text could not be escaped");
    out += reinterpret_cast<const char *>(escaped.get());
}

// An attribute value also keeps its line ends and tabs as character references. The document
// declares UTF-8, so other characters are written as they are.
void appendEscapedAttribute(std::string &out, std::string_view value)
{
    if (value.find_first_of(kEscapedInAttributes) == std::string_view::npos) {
        out += value;
        return;
    }
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

} // namespace

XmlText::XmlText() : out_("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {}

void XmlText::endStartTag()
{
    if (startTagOpen_)
        out_ += '>';
    startTagOpen_ = false;
}

void XmlText::open(std::string_view name)
{
    endStartTag();
    out_ += '<';
    out_ += name;
    open_.emplace_back(name);
    startTagOpen_ = true;
}

void XmlText::attribute(std::string_view name, std::string_view value)
{
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    appendEscapedAttribute(out_, value);
    out_ += '"';
}

void XmlText::text(std::string_view value)
{
    endStartTag();
    appendEscapedText(out_, value);
}

void XmlText::close()
{
    if (startTagOpen_) {
        out_ += "/>";
        startTagOpen_ = false;
    } else {
        out_ += "</";
        out_ += open_.back();
        out_ += '>';
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
