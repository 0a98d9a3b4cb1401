#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The event handler that reads one result document. A parser is made for one document, fed one
// parse by hsParseDocument, read through its accessors and then discarded.
class DocumentParser
{
public:
    virtual ~DocumentParser();

    // Element names arrive as written in the document, prefix included; attributes are not read.
    virtual void startElement(std::string_view name) = 0;
    // One piece of character data; the reader may split the text of one element into pieces.
    // The piece stays valid until the reading ends, so it may be kept rather than copied.
    virtual void characters(std::string_view text) = 0;
    virtual void endElement(std::string_view name) = 0;
    // The reader has stopped, at the end of the document or at its first fault.
    virtual void endDocument() {}

    // The service's result code, 0 (success) until a "Code" element says otherwise.
    int32_t code() const { return code_; }
    // The service's error text, absent until an "Error" element holds one.
    const std::optional<std::string> &error() const { return error_; }

    // How many bytes of the document the reader has passed and how long the document is.
    struct ReadProgress
    {
        size_t read = 0;
        size_t total = 0;
    };

protected:
    // Where the reader is while hsParseDocument runs; both 0 otherwise. Lets a list size its
    // storage from what is left of the document.
    ReadProgress readProgress() const { return progress_; }

    DocumentParser() = default;
    DocumentParser(const DocumentParser &) = delete;
    DocumentParser &operator=(const DocumentParser &) = delete;

    void setCode(int32_t code) { code_ = code; }
    void setError(std::optional<std::string> error) { error_ = std::move(error); }

private:
    friend class DocumentWalk;

    int32_t code_ = 0;
    ReadProgress progress_;
    std::optional<std::string> error_;
};

// Reads the UTF-8 bytes of a result document and hands its element and character events to the
// parser, in document order. Names keep their prefixes, the predefined entities and character
// references are replaced in character data, and CDATA sections are character data too. A
// document in another encoding or with a document type declaration is refused unread; one that
// refers to any other entity is malformed there (common/XmlTree.h says what else is). The events
// stop at the first fault: the parser keeps what it was given before it, and its endDocument is
// called. Empty input leaves the parser as it was. A reading that runs past its budget is
// stopped there.
// Returns true only when the whole input was read as one well-formed document: false for empty
// input, text that is not XML, a document cut short, one refused unread and one stopped for
// taking too long.
inline constexpr std::chrono::milliseconds kDocumentReadingBudget{10'000};
bool hsParseDocument(std::string_view utf8, DocumentParser &parser,
                     std::chrono::milliseconds budget = kDocumentReadingBudget);
