#include "documents/DocumentParser.h"

#include "common/HsLog.h"
#include "common/XmlTree.h"

#include <string>
#include <vector>

DocumentParser::~DocumentParser() = default;

namespace {

// The clock is looked at once per this many nodes.
constexpr unsigned kNodesPerClockLook = 1024;

void logReadingError(std::string_view text)
{
    hsLog("Error reading result document: %.*s", static_cast<int>(text.size()), text.data());
}

} // namespace

// Hands the tree to the parser as the events a reader going through the document would raise.
// Before a fault, every node that starts before it is handed over, and an element's end only
// when its end tag comes before the fault too.
class DocumentWalk : private pugi::xml_tree_walker
{
public:
    DocumentWalk(const XmlTreeRead &read, std::string_view input, DocumentParser &parser,
                 std::chrono::steady_clock::time_point deadline)
        : read_(read), faultAt_(read.reading().faultAt), parser_(parser), deadline_(deadline)
    {
        if (!read.reading().wellFormed())
            before_ = hsXmlMarkupBefore(input, faultAt_);
        parser_.progress_ = {0, input.size()};
    }
    ~DocumentWalk() { parser_.progress_ = {}; }
    DocumentWalk(const DocumentWalk &) = delete;
    DocumentWalk &operator=(const DocumentWalk &) = delete;

    // False when the time ran out on the way.
    bool run(pugi::xml_node root)
    {
        if (root && handOverElement(root))
            root.traverse(*this);
        return !outOfTime_;
    }

private:
    // Every node below the root, in document order, at its depth below the root (its children
    // are at 0).
    bool for_each(pugi::xml_node &node) override
    {
        if (++nodes_ % kNodesPerClockLook == 0 && std::chrono::steady_clock::now() > deadline_) {
            outOfTime_ = true;
            return false;
        }
        if (!closeElementsDeeperThan(static_cast<size_t>(depth()) + 1))
            return false;
        return node.type() == pugi::node_element ? handOverElement(node) : handOverText(node.value());
    }

    bool end(pugi::xml_node &) override
    {
        closeElementsDeeperThan(0);
        return true;
    }

    // Ends the open elements below the given depth (the root is 1), innermost first; false when
    // one of them has no end before the fault.
    bool closeElementsDeeperThan(size_t depth)
    {
        while (open_.size() > depth)
            if (!closeElement())
                return false;
        return true;
    }

    bool startsBeforeFault(const char *nameOrText) const
    {
        return faultAt_ == XmlTreeReading::kWhole || read_.offsetOf(nameOrText) < faultAt_;
    }

    bool followedBeforeFault(pugi::xml_node node) const
    {
        for (; node; node = node.parent())
            if (const pugi::xml_node next = node.next_sibling())
                return faultAt_ == XmlTreeReading::kWhole || read_.offsetOf(next) < faultAt_;
        return false;
    }

    // Raises the text of a text node; false once the fault is reached.
    bool handOverText(const char *text)
    {
        if (!startsBeforeFault(text))
            return false;
        parser_.characters(text);
        return true;
    }

    // Raises the start of an element, and the text it starts with, which the tree keeps in the
    // element itself; false once the fault is reached.
    bool handOverElement(const pugi::xml_node &element)
    {
        const char *name = element.name();
        if (!startsBeforeFault(name))
            return false;
        if (faultAt_ != XmlTreeReading::kWhole && startTags_ == before_.startTags)
            return false;
        ++startTags_;
        parser_.progress_.read = read_.offsetOf(name);
        open_.push_back({element, name});
        parser_.startElement(open_.back().name);
        const char *text = element.value();
        return *text == 0 || handOverText(text);
    }

    // Raises the end of the innermost open element when its end tag comes before the fault: the
    // element is deeper than any still open there, or the node that follows it starts before the
    // fault. False when it does not, as nothing after it is handed over either.
    bool closeElement()
    {
        const OpenElement &element = open_.back();
        const bool closed = faultAt_ == XmlTreeReading::kWhole || open_.size() > before_.openElements ||
                            followedBeforeFault(element.node);
        if (closed) {
            parser_.endElement(element.name);
            open_.pop_back();
        }
        return closed;
    }

    const XmlTreeRead &read_;
    size_t faultAt_;
    XmlMarkupBefore before_;
    DocumentParser &parser_;
    std::chrono::steady_clock::time_point deadline_;
    // The elements open on the way down, their names measured once at their start.
    struct OpenElement
    {
        pugi::xml_node node;
        std::string_view name;
    };
    std::vector<OpenElement> open_;
    size_t startTags_ = 0;
    unsigned nodes_ = 0;
    bool outOfTime_ = false;
};

bool hsParseDocument(std::string_view utf8, DocumentParser &parser, std::chrono::milliseconds budget)
{
    const auto deadline = std::chrono::steady_clock::now() + budget;
    if (utf8.empty())
        return false;
    const XmlTreeRead read(utf8, XmlCdata::asText);
    const XmlTreeReading &reading = read.reading();
    if (!reading.wellFormed())
        logReadingError(reading.problem);
    bool inTime = std::chrono::steady_clock::now() <= deadline;
    if (inTime && !reading.refusedUnread)
        inTime = DocumentWalk(read, utf8, parser, deadline).run(read.root());
    if (!inTime)
        hsLog("Error reading result document: reading took longer than %lld ms",
              static_cast<long long>(budget.count()));
    parser.endDocument();
    return reading.wellFormed() && inTime;
}
