#pragma once

#include "documents/DocumentConversions.h"
#include "documents/DocumentParser.h"

#include <cstdint>
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
    CapturedText capturedText() const;

    static bool isResultElement(std::string_view name) { return name == "Code" || name == "Error"; }
    // Stores the gathered text as the result code or the error text, as the name says.
    void storeResultElement(std::string_view name);

private:
    std::string captured_;
    bool capturing_ = false;
    bool hasText_ = false;
};

// One field element of a document: its name and how its text is converted into the record.
template <typename Record>
struct FieldRule
{
    std::string_view element;
    void (*store)(Record &record, CapturedText text);
};

template <auto Member>
struct FieldMember;

template <typename Record, typename Value, Value Record::*Member>
struct FieldMember<Member>
{
    using RecordType = Record;
    using ValueType = Value;
};

// Stores a field by the type of the record's member: integer rule for int32_t, float rule for
// float, text rule for optional text.
template <auto Member>
void storeField(typename FieldMember<Member>::RecordType &record, CapturedText text)
{
    using Value = typename FieldMember<Member>::ValueType;
    if constexpr (std::is_same_v<Value, int32_t>)
        record.*Member = hsIntegerValue(text);
    else if constexpr (std::is_same_v<Value, float>)
        record.*Member = hsFloatValue(text);
    else {
        static_assert(std::is_same_v<Value, std::optional<std::string>>, "unsupported field type");
        record.*Member = hsTextValue(text);
    }
}

// The rule that fills Member from the element with the given name, e.g.
// field<&NewsItem::newsId>("NewsId").
template <auto Member>
constexpr FieldRule<typename FieldMember<Member>::RecordType> field(std::string_view element)
{
    return {element, &storeField<Member>};
}

template <typename Record>
using FieldTable = std::span<const FieldRule<Record>>;

template <typename Record>
const FieldRule<Record> *findField(FieldTable<Record> fields, std::string_view name)
{
    for (const FieldRule<Record> &rule : fields) {
        if (rule.element == name)
            return &rule;
    }
    return nullptr;
}

// A list document: each item element makes one record, filled by the field elements that follow.
// The start of the item element makes a new current record (dropping one that never ended); its
// end appends that record to the list, where it stays current until the next item starts, so a
// field between one item's end and the next item's start changes the item just appended. An item
// nested in another of the same name ends the outer one too early: the outer end finds nothing
// pending and adds nothing, so no record is ever appended twice.
template <typename Record>
class ListDocumentParser : public CapturingParser
{
public:
    void startElement(std::string_view name) override
    {
        stopCapture();
        if (name == itemElement_) {
            pending_.emplace();
            lastIsCurrent_ = false;
        } else if (findField(fields_, name) || isResultElement(name)) {
            startCapture();
        }
    }

    void endElement(std::string_view name) override
    {
        if (name == itemElement_)
            appendPendingRecord();
        else if (const FieldRule<Record> *rule = findField(fields_, name))
            storeInCurrentRecord(*rule);
        else if (isResultElement(name))
            storeResultElement(name);
        stopCapture();
    }

    const std::vector<Record> &items() const { return items_; }

protected:
    ListDocumentParser(std::string_view itemElement, FieldTable<Record> fields)
        : itemElement_(itemElement), fields_(fields)
    {
    }

private:
    void appendPendingRecord()
    {
        if (!pending_)
            return;
        items_.push_back(std::move(*pending_));
        pending_.reset();
        lastIsCurrent_ = true;
    }

    Record *currentRecord()
    {
        if (pending_)
            return &*pending_;
        return lastIsCurrent_ ? &items_.back() : nullptr;
    }

    void storeInCurrentRecord(const FieldRule<Record> &rule)
    {
        if (Record *record = currentRecord())
            rule.store(*record, capturedText());
    }

    std::string_view itemElement_;
    FieldTable<Record> fields_;
    std::vector<Record> items_;
    std::optional<Record> pending_;
    bool lastIsCurrent_ = false;
};

// A single-record document: one record made with the parser, which every field element fills
// wherever it stands.
template <typename Record>
class SingleRecordParser : public CapturingParser
{
public:
    void startElement(std::string_view name) override
    {
        stopCapture();
        if (findField(fields_, name) || isResultElement(name))
            startCapture();
    }

    void endElement(std::string_view name) override
    {
        if (const FieldRule<Record> *rule = findField(fields_, name))
            rule->store(record_, capturedText());
        else if (isResultElement(name))
            storeResultElement(name);
        stopCapture();
    }

protected:
    explicit SingleRecordParser(FieldTable<Record> fields) : fields_(fields) {}

    const Record &record() const { return record_; }

private:
    FieldTable<Record> fields_;
    Record record_;
};
