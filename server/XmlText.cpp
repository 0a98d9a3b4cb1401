#include "XmlText.h"

#include <stdexcept>

namespace {

const xmlChar *chars(const std::string &text)
{
    return reinterpret_cast<const xmlChar *>(text.c_str());
}

void check(int rc)
{
    if (rc < 0)
        throw std::runtime_error("XML writer failed");
}

} // namespace

XmlText::XmlText() : buffer_(xmlBufferCreate()), writer_(xmlNewTextWriterMemory(buffer_, 0))
{
    if (buffer_ == nullptr || writer_ == nullptr)
        throw std::runtime_error("XML writer could not start");
    check(xmlTextWriterStartDocument(writer_, nullptr, "UTF-8", nullptr));
}

XmlText::~XmlText()
{
    xmlFreeTextWriter(writer_);
    xmlBufferFree(buffer_);
}

void XmlText::open(std::string_view name)
{
    check(xmlTextWriterStartElement(writer_, chars(std::string(name))));
}

void XmlText::attribute(std::string_view name, std::string_view value)
{
    check(xmlTextWriterWriteAttribute(writer_, chars(std::string(name)), chars(std::string(value))));
}

void XmlText::text(std::string_view value)
{
    check(xmlTextWriterWriteString(writer_, chars(std::string(value))));
}

void XmlText::close()
{
    check(xmlTextWriterEndElement(writer_));
}

void XmlText::element(std::string_view name, std::string_view value)
{
    open(name);
    text(value);
    close();
}

std::string XmlText::finish()
{
    check(xmlTextWriterEndDocument(writer_));
    check(xmlTextWriterFlush(writer_));
    const auto *content = reinterpret_cast<const char *>(xmlBufferContent(buffer_));
    return std::string(content, static_cast<size_t>(xmlBufferLength(buffer_)));
}
