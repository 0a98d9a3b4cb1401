#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Writes one XML document into memory. Texts and attribute values are escaped by libxml2; the
// document comes out as that library's writer makes it: a declaration line, "<name/>" for an
// element with nothing in it, "<name></name>" for one given an empty text, and a line end after
// the document. Text stops at a NUL byte, which XML cannot carry.
//
// A document that travels as the text of an element of another document (a result document in
// an answer's ns1:out) can be written in that escaped form straight away: the same bytes as
// escaping the finished document as text, without a second pass over all of it. Element and
// attribute names are written as they stand; they never hold a character that needs escaping.
class XmlText
{
public:
    enum class Form
    {
        document,      // the document itself
        escapedAsText, // the document escaped as character data, ready to be carried as text
    };

    // Room for expectedBytes is made at once, so that a document of about that size is written
    // without being moved as it grows.
    explicit XmlText(Form form = Form::document, size_t expectedBytes = 0);

    void open(std::string_view name);
    void attribute(std::string_view name, std::string_view value);
    void text(std::string_view value);
    // Character data that is already escaped, written as it stands.
    void escapedText(std::string_view value);
    void close();
    // An element holding only text: <name>value</name>.
    void element(std::string_view name, std::string_view value);

    // Closes whatever is still open and returns the document.
    std::string finish();

private:
    // Ends the start tag of the innermost element if it still takes attributes.
    void endStartTag();
    // The fixed pieces of markup, in the order the writer's table of them keeps.
    enum class Markup
    {
        declaration, // the declaration line
        startTag,    // "<"
        tagEnd,      // ">"
        endTag,      // "</"
        emptyEnd,    // "/>"
        valueStart,  // "=\""
        valueEnd,    // "\""
    };
    static constexpr size_t kMarkupPieces = static_cast<size_t>(Markup::valueEnd) + 1;

    // Appends a piece of markup in the form the document is written in.
    void markup(Markup piece);
    // A text or attribute value already escaped for the document, in the form it is written in.
    void escapedForDocument(std::string_view value);
    // A text, escaped for the document, written where the writer stands.
    void appendText(std::string_view value);

    Form form_;
    // The markup pieces in the form the document is written in, in the order of Markup.
    const std::array<std::string, kMarkupPieces> &markup_;
    std::string out_;
    std::vector<std::string> open_;
    bool startTagOpen_ = false;
};
