#pragma once

#include <cstddef>
#include <pugixml.hpp>
#include <string>
#include <string_view>

// Every XML input of this system, answer, result document or request, is read whole into a tree
// by one in-place pass that decodes its text as it goes. The reader is strict where the protocol
// needs it and where the tree library alone is lenient:
// - the input is UTF-8: an input that declares another encoding, or starts as UTF-16 or UTF-32,
//   is refused unread, and bytes that are no UTF-8 (or a character XML does not allow) end it;
// - a document type declaration is refused unread, so no entity is ever declared, expanded or
//   fetched; a reference to any entity but the five predefined ones ends the input, and so does
//   a character reference to a character XML does not allow;
// - one root element, with nothing but white space, comments and processing instructions beside
//   it;
// - the tree may take only a bounded multiple of the input's size: markup built to blow up into
//   millions of nodes ends the input where it runs out.
// Reading takes time linear in the input's size and never recurses with the input's nesting.

struct XmlTreeReading
{
    static constexpr size_t kWhole = std::string_view::npos;

    // Where the input stops being well-formed: nothing from there on counts. kWhole when the
    // whole input is well-formed.
    size_t faultAt = kWhole;
    // What is wrong there, in a few words; empty when nothing is.
    std::string problem;
    // The input was refused before it was read: the tree is empty.
    bool refusedUnread = false;

    bool wellFormed() const { return faultAt == kWhole; }
};

enum class XmlCdata
{
    asText,  // CDATA sections are text nodes of their element
    skipped, // CDATA sections leave nothing in the tree
};

// Reads `buffer` into `tree` in place: the tree's names and texts point into the buffer, which
// must outlive it. The tree holds what was read before any fault. Top-level nodes other than the
// root element are not kept.
XmlTreeReading hsReadXmlTree(std::string &buffer, pugi::xml_document &tree, XmlCdata cdata);

// Where a node of a tree read by hsReadXmlTree starts in its input: an element's name, a text's
// first character.
size_t hsXmlNodeOffset(const std::string &buffer, const pugi::xml_node &node);

// What the input up to `offset` holds, for a reader that stops at a fault there: how many
// element start tags are complete before it, and how many of those elements are still open at it.
struct XmlMarkupBefore
{
    size_t startTags = 0;
    size_t openElements = 0;
};
XmlMarkupBefore hsXmlMarkupBefore(std::string_view input, size_t offset);
