#pragma once

#include <libxml/xmlwriter.h>
#include <string>
#include <string_view>

// Writes one XML document into memory with libxml2's writer, which escapes every text.
class XmlText
{
public:
    XmlText();
    ~XmlText();
    XmlText(const XmlText &) = delete;
    XmlText &operator=(const XmlText &) = delete;

    void open(std::string_view name);
    void attribute(std::string_view name, std::string_view value);
    void text(std::string_view value);
    void close();
    // An element holding only text: <name>value</name>.
    void element(std::string_view name, std::string_view value);

    // Closes whatever is still open and returns the document.
    std::string finish();

private:
    xmlBufferPtr buffer_;
    xmlTextWriterPtr writer_;
};
