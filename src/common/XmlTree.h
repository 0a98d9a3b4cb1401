#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// One read of one input into a tree, and the tree while the read lives. The tree's names and
// texts point into the bytes read, which the read changes in place; the tree is gone with the
// read. Top-level nodes other than the root element are not kept. The text an element starts
// with is the element's value rather than a node of its own: most elements hold text alone, and
// the tree is half the size this way.
//
// The tree's memory, and the copy of an input read from a view, come from memory this thread
// keeps from one read to the next, so that reading the same kind of document again touches no
// fresh pages; what is kept between reads is bounded. A read started while another one is alive
// on the same thread takes fresh memory. A read is used and dropped on the thread that made it.
class XmlTreeRead
{
public:
    // Reads a copy of `input`.
    XmlTreeRead(std::string_view input, XmlCdata cdata);
    // Reads `buffer` itself, changing it; it must outlive the read.
    XmlTreeRead(std::string &buffer, XmlCdata cdata);
    ~XmlTreeRead();
    XmlTreeRead(const XmlTreeRead &) = delete;
    XmlTreeRead &operator=(const XmlTreeRead &) = delete;

    const XmlTreeReading &reading() const { return reading_; }
    // The root element; empty when there is none.
    pugi::xml_node root() const { return tree_.first_child(); }
    // Where a node starts in the input: an element's name, a text's first character. The
    // input's size for a node that is not in it.
    size_t offsetOf(const pugi::xml_node &node) const;
    // Where a name or text of the tree starts in the input.
    size_t offsetOf(const char *nameOrText) const
    {
        const auto where = reinterpret_cast<uintptr_t>(nameOrText) - reinterpret_cast<uintptr_t>(bytes_);
        return where <= size_ ? where : size_;
    }

private:
    void read(XmlCdata cdata);

    bool keptMemory_;
    std::unique_ptr<char[]> ownCopy_;
    char *bytes_ = nullptr;
    size_t size_ = 0;
    pugi::xml_document tree_;
    XmlTreeReading reading_;
};

// What the input up to `offset` holds, for a reader that stops at a fault there: how many
// element start tags are complete before it, and how many of those elements are still open at it.
struct XmlMarkupBefore
{
    size_t startTags = 0;
    size_t openElements = 0;
};
XmlMarkupBefore hsXmlMarkupBefore(std::string_view input, size_t offset);
