#pragma once

#include "documents/DocumentConversions.h"
#include "documents/DocumentParser.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// The common form of every result document. Each document is read flat: an element's value is
// the character data between its start tag and the next start or end tag, "Code" and "Error"
// count wherever they stand, and every name the document does not list is ignored.
//
// Text inside CDATA sections counts as element text, like any other character data.
//
// Only the text of a field, "Code" or "Error" is ever stored, so text is gathered only while one
// of those is open; the text of any other element would be dropped at its end anyway.
class CapturingParser : public DocumentParser
{
public:
    void characters(std::string_view text) final;

protected:
    // Starts gathering the text of the element that has just started.
    void startCapture();
    // Drops whatever was gathered and stops gathering until the next startCapture.
    void stopCapture() { capturing_ = false; }
    bool isCapturing() const { return capturing_; }
    CapturedText capturedText() const
    {
        if (!capturing_ || !hasText_)
            return {};
        return gathered_ ? CapturedText(std::string_view(captured_)) : CapturedText(firstPiece_);
    }

    static bool isResultElement(std::string_view name) { return name == "Code" || name == "Error"; }
    // Stores the gathered text as the result code or the error text, as the name says.
    void storeResultElement(std::string_view name);

private:
    // Text that arrives in one piece, as nearly all does, is kept where the reader holds it; only
    // a second piece makes a copy that gathers them all.
    std::string_view firstPiece_;
    std::string captured_;
    bool capturing_ = false;
    bool hasText_ = false;
    bool gathered_ = false;
};

// One field element of a document: its name and how its text is converted into the record.
template <typename Record> struct FieldRule
{
    std::string_view element;
    void (*store)(Record &record, CapturedText text);
};

template <auto Member> struct FieldMember;

template <typename Record, typename Value, Value Record::*Member> struct FieldMember<Member>
{
    using RecordType = Record;
    using ValueType = Value;
};

// The text rule, written into an existing field so that its storage is reused.
inline void storeText(std::optional<std::string> &field, CapturedText text)
{
    if (!text)
        field.reset();
    else if (field)
        field->assign(*text);
    else
        field.emplace(*text);
}

// Stores a field by the type of the record's member: integer rule for int32_t, float rule for
// float, text rule for optional text.
template <auto Member> void storeField(typename FieldMember<Member>::RecordType &record, CapturedText text)
{
    using Value = typename FieldMember<Member>::ValueType;
    if constexpr (std::is_same_v<Value, int32_t>)
        record.*Member = hsIntegerValue(text);
    else if constexpr (std::is_same_v<Value, float>)
        record.*Member = hsFloatValue(text);
    else {
        static_assert(std::is_same_v<Value, std::optional<std::string>>, "unsupported field type");
        storeText(record.*Member, text);
    }
}

// The rule that fills Member from the element with the given name, e.g.
// field<&NewsItem::newsId>("NewsId").
template <auto Member>
constexpr FieldRule<typename FieldMember<Member>::RecordType> field(std::string_view element)
{
    return {element, &storeField<Member>};
}

template <typename Record> using FieldTable = std::span<const FieldRule<Record>>;

template <typename Record>
const FieldRule<Record> *findField(FieldTable<Record> fields, std::string_view name)
{
    for (const FieldRule<Record> &rule : fields) {
        if (rule.element == name)
            return &rule;
    }
    return nullptr;
}

// Field, "Code" and "Error" handling shared by list and single-record documents. While text is
// being gathered, the element that ends can only be the one that started it, so its rule is
// remembered from the start tag instead of being looked up again.
template <typename Record> class FieldParser : public CapturingParser
{
protected:
    explicit FieldParser(FieldTable<Record> fields) : fields_(fields) {}

    void openElement(std::string_view name)
    {
        openField_ = findField(fields_, name);
        if (openField_ || isResultElement(name))
            startCapture();
    }

    // Stores the element's text in the record, when it is a field and there is a record to fill.
    void closeElement(std::string_view name, Record *record)
    {
        const FieldRule<Record> *rule = isCapturing() ? openField_ : findField(fields_, name);
        if (rule) {
            if (record)
                rule->store(*record, capturedText());
        } else if (isResultElement(name)) {
            storeResultElement(name);
        }
        forgetOpenElement();
    }

    void forgetOpenElement()
    {
        openField_ = nullptr;
        stopCapture();
    }

private:
    FieldTable<Record> fields_;
    const FieldRule<Record> *openField_ = nullptr;
};

// A list document: each item element makes one record, filled by the field elements that follow.
// The start of the item element makes a new current record (dropping one that never ended); its
// end completes that record in the list, where it stays current until the next item starts, so a
// field between one item's end and the next item's start changes the item just completed. An item
// nested in another of the same name ends the outer one too early: the outer end finds no open
// record and changes nothing, so no record is ever listed twice. Records are built in place in
// the list; one still open when the document ends is removed.
template <typename Record> class ListDocumentParser : public FieldParser<Record>
{
public:
    void startElement(std::string_view name) override
    {
        this->forgetOpenElement();
        if (name == itemElement_)
            openRecord();
        else
            this->openElement(name);
    }

    void endElement(std::string_view name) override
    {
        if (!this->isCapturing() && name == itemElement_) {
            if (current_ == Current::open)
                current_ = Current::ended;
            this->forgetOpenElement();
        } else {
            this->closeElement(name, current_ == Current::none ? nullptr : &items_.back());
        }
    }

    void endDocument() override
    {
        if (current_ == Current::open)
            items_.pop_back();
        current_ = Current::none;
    }

    const std::vector<Record> &items() const { return items_; }
    // Hands the list over once the document is read, leaving the parser empty.
    std::vector<Record> takeItems() { return std::move(items_); }

protected:
    ListDocumentParser(std::string_view itemElement, FieldTable<Record> fields)
        : FieldParser<Record>(fields), itemElement_(itemElement)
    {}

private:
    // The service sends its lists in pages of this many items.
    static constexpr size_t pageSize = 20;

    enum class Current
    {
        none,  // no item element has started yet
        open,  // the last record in the list is still being read
        ended, // the last record is complete but still takes fields that follow it
    };

    void openRecord()
    {
        if (current_ == Current::open) {
            items_.back() = Record{};
            return;
        }
        if (items_.size() == items_.capacity())
            makeRoom();
        items_.emplace_back();
        current_ = Current::open;
    }

    // A list starts with room for one page. When that is full, the rest of the document is
    // assumed to hold items of the size seen so far, and room is made for them at once (with an
    // eighth more), so that a long list is not moved again and again as it grows. The guess never
    // asks for more than four times the bytes left in the document; a smaller guess than double
    // the list doubles it. BM_GetNewsesParser (bench/documents) reads 10,000 headlines about 8%
    // faster with this guess than with the vector's own doubling.
    void makeRoom()
    {
        const DocumentParser::ReadProgress progress = this->readProgress();
        if (items_.empty()) {
            firstItemAt_ = progress.read;
            items_.reserve(pageSize);
            return;
        }
        size_t wanted = 2 * items_.size();
        if (progress.total > progress.read && progress.read > firstItemAt_) {
            const size_t bytesLeft = progress.total - progress.read;
            const size_t bytesPerItem = (progress.read - firstItemAt_) / items_.size() + 1;
            const size_t itemsLeft = std::min(bytesLeft / bytesPerItem, 4 * bytesLeft / sizeof(Record));
            wanted = std::max(wanted, items_.size() + itemsLeft + itemsLeft / 8 + 1);
        }
        items_.reserve(wanted);
    }

    std::string_view itemElement_;
    std::vector<Record> items_;
    size_t firstItemAt_ = 0;
    Current current_ = Current::none;
};

// A single-record document: one record made with the parser, which every field element fills
// wherever it stands.
template <typename Record> class SingleRecordParser : public FieldParser<Record>
{
public:
    void startElement(std::string_view name) override
    {
        this->forgetOpenElement();
        this->openElement(name);
    }

    void endElement(std::string_view name) override { this->closeElement(name, &record_); }

    // Hands the record over once the document is read.
    Record takeRecord() { return std::move(record_); }

protected:
    explicit SingleRecordParser(FieldTable<Record> fields) : FieldParser<Record>(fields) {}

    const Record &record() const { return record_; }

private:
    Record record_;
};
