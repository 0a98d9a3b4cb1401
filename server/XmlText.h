#pragma once

#include <string>
#include <string_view>
#include <vector>

// Writes one XML document into memory. Texts and attribute values are escaped by libxml2; the
// document comes out as that library's writer makes it: a declaration line, "<name/>" for an
// element with nothing in it, "<name></name>" for one given an empty text, and a line end after
// the document. Text stops at a NUL byte, which XML cannot carry.
class XmlText
{
public:
    XmlText();

    void open(std::string_view name);
    void attribute(std::string_view name, std::string_view value);
    void text(std::string_view value);
    void close();
    // An element holding only text: <name>value</name>.
    void element(std::string_view name, std::string_view value);

    // Closes whatever is still open and returns the document.
    std::string finish();

private:
    // Ends the start tag of the innermost element if it still takes attributes.
    void endStartTag();

    std::string out_;
    std::vector<std::string> open_;
    bool startTagOpen_ = false;
};
