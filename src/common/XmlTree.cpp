#include "common/XmlTree.h"

#include "common/XmlCharacterReference.h"
#include "common/XmlUtf8.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr size_t npos = std::string_view::npos;

// ---- the tree's memory ----

// The tree of an honest document takes about three to six times the document's size; markup
// built to make a node of every few bytes takes sixteen times or more. Small inputs always get
// the fixed allowance.
constexpr size_t kTreeBytesPerInputByte = 4;
constexpr size_t kTreeBytesAllowance = 4 * 1024 * 1024;

// What a thread keeps for its next read. A page of twenty headlines and its tree take a few tens
// of kilobytes; this keeps the memory of a document of several thousand.
constexpr size_t kKeptBytes = 8 * 1024 * 1024;
constexpr size_t kSmallestChunk = 64 * 1024;
constexpr size_t kAlignment = alignof(std::max_align_t);

size_t aligned(size_t size)
{
    return (size + kAlignment - 1) / kAlignment * kAlignment;
}

// Memory handed out by bumping a pointer through chunks, all taken back at once. Fresh pages cost
// a fault each the first time they are touched, which for a large tree costs more than reading
// it: the chunks stay with the thread from one read to the next.
class KeptMemory
{
public:
    // Starts handing out memory to one read; false while another read on this thread has it.
    bool take()
    {
        if (taken_)
            return false;
        taken_ = true;
        return true;
    }

    // Takes back everything handed out. A read that needed more than one chunk leaves one chunk
    // of the size it needed, up to kKeptBytes, so that the next read like it needs only that one.
    void giveBack()
    {
        const size_t needed = handedOut();
        if (chunks_.size() > 1 || capacity() > kKeptBytes) {
            chunks_.clear();
            addChunk(std::min(needed, kKeptBytes));
        }
        current_ = 0;
        used_ = 0;
        taken_ = false;
    }

    void *allocate(size_t size)
    {
        size = aligned(size);
        while (current_ < chunks_.size() && used_ + size > chunks_[current_].size) {
            ++current_;
            used_ = 0;
        }
        if (current_ == chunks_.size())
            addChunk(std::max({size, capacity(), kSmallestChunk}));
        void *bytes = chunks_[current_].bytes.get() + used_;
        used_ += size;
        return bytes;
    }

private:
    struct Chunk
    {
        std::unique_ptr<std::byte[]> bytes;
        size_t size;
    };

    void addChunk(size_t size)
    {
        if (size > 0)
            chunks_.push_back({std::make_unique_for_overwrite<std::byte[]>(size), size});
    }

    size_t capacity() const
    {
        size_t total = 0;
        for (const Chunk &chunk : chunks_)
            total += chunk.size;
        return total;
    }

    size_t handedOut() const
    {
        size_t total = used_;
        for (size_t i = 0; i < current_ && i < chunks_.size(); ++i)
            total += chunks_[i].size;
        return total;
    }

    std::vector<Chunk> chunks_;
    size_t current_ = 0;
    size_t used_ = 0;
    bool taken_ = false;
};

thread_local KeptMemory keptMemory;

// What the tree being read on this thread may still allocate, and where from; unbounded, from the
// heap, outside a read.
thread_local size_t treeBytesLeft = std::numeric_limits<size_t>::max();
thread_local KeptMemory *treeMemory = nullptr;

// Every block handed to the tree starts with a header that says whether it is kept memory, which
// is taken back with the read, or heap memory, which is freed block by block.
enum class BlockOrigin : uintptr_t
{
    heap,
    kept,
};
constexpr size_t kHeaderBytes = kAlignment;

void *allocateTreeBytes(size_t size)
{
    if (size > treeBytesLeft)
        return nullptr;
    if (treeBytesLeft != std::numeric_limits<size_t>::max())
        treeBytesLeft -= size;
    const BlockOrigin origin = treeMemory != nullptr ? BlockOrigin::kept : BlockOrigin::heap;
    auto *block =
        static_cast<std::byte *>(origin == BlockOrigin::kept ? treeMemory->allocate(kHeaderBytes + size)
                                                             : std::malloc(kHeaderBytes + size));
    if (block == nullptr)
        return nullptr;
    std::memcpy(block, &origin, sizeof origin);
    return block + kHeaderBytes;
}

void releaseTreeBytes(void *bytes)
{
    std::byte *block = static_cast<std::byte *>(bytes) - kHeaderBytes;
    BlockOrigin origin;
    std::memcpy(&origin, block, sizeof origin);
    if (origin == BlockOrigin::heap)
        std::free(block);
}

// Bounds the tree's memory, and takes it from `memory` when there is one, while it lives.
class TreeBudget
{
public:
    TreeBudget(size_t inputBytes, KeptMemory *memory)
    {
        static std::once_flag once;
        std::call_once(once,
                       [] { pugi::set_memory_management_functions(allocateTreeBytes, releaseTreeBytes); });
        treeBytesLeft = inputBytes * kTreeBytesPerInputByte + kTreeBytesAllowance;
        treeMemory = memory;
    }
    ~TreeBudget()
    {
        treeBytesLeft = std::numeric_limits<size_t>::max();
        treeMemory = nullptr;
    }
    TreeBudget(const TreeBudget &) = delete;
    TreeBudget &operator=(const TreeBudget &) = delete;
};

// ---- references ----

// Whether the reference at `amp` is one of the five predefined entities or a character reference
// to a character XML allows.
bool isAllowedReference(std::string_view input, size_t amp)
{
    const std::string_view rest = input.substr(amp + 1, 12);
    for (const std::string_view name : {"lt;", "gt;", "amp;", "quot;", "apos;"})
        if (rest.starts_with(name))
            return true;
    if (!rest.starts_with("#"))
        return false;
    const bool hex = rest.size() > 1 && rest[1] == 'x';
    const size_t firstDigit = amp + (hex ? 3 : 2);
    const XmlCharacterReferenceDigits read = hsReadCharacterReferenceDigits(input, firstDigit, hex);
    return read.end > firstDigit && read.end < input.size() && input[read.end] == ';' &&
           hsIsXmlCharacter(read.code);
}

// A pass over the markup up to `until` that reads just enough to count tags and to see which
// ampersands stand in text and attribute values: those in comments, CDATA sections and processing
// instructions are no references.
struct MarkupScan
{
    XmlMarkupBefore before;
    size_t badReference = npos;
};

MarkupScan scanMarkup(std::string_view s, size_t until)
{
    MarkupScan scan;
    const auto skipPast = [&](size_t from, std::string_view end) {
        const size_t at = s.find(end, from);
        return at == npos || at + end.size() > until ? npos : at + end.size();
    };
    const auto checkReference = [&](size_t amp) {
        if (scan.badReference == npos && !isAllowedReference(s, amp))
            scan.badReference = amp;
    };
    for (size_t i = 0; i < until;) {
        if (s[i] == '&') {
            checkReference(i++);
            continue;
        }
        if (s[i] != '<') {
            ++i;
            continue;
        }
        const std::string_view tag = s.substr(i);
        if (tag.starts_with("<!--"))
            i = skipPast(i + 4, "-->");
        else if (tag.starts_with("<![CDATA["))
            i = skipPast(i + 9, "]]>");
        else if (tag.starts_with("<?"))
            i = skipPast(i + 2, "?>");
        else if (tag.starts_with("<!"))
            i = skipPast(i + 2, ">");
        else if (tag.starts_with("</")) {
            i = skipPast(i + 2, ">");
            if (i != npos && scan.before.openElements > 0)
                --scan.before.openElements;
        } else {
            size_t j = i + 1;
            for (char quote = 0; j < until && (quote != 0 || s[j] != '>'); ++j) {
                if (quote == 0 && (s[j] == '"' || s[j] == '\''))
                    quote = s[j];
                else if (s[j] == quote)
                    quote = 0;
                else if (quote != 0 && s[j] == '&')
                    checkReference(j);
            }
            if (j >= until)
                break;
            ++scan.before.startTags;
            if (s[j - 1] != '/')
                ++scan.before.openElements;
            i = j + 1;
        }
        if (i == npos)
            break;
    }
    return scan;
}

// The first reference that is not allowed, npos when there is none. Ampersands are rare in
// text, so each is looked at where it stands; only when one of them is no allowed reference is
// the markup read to see whether it stands where references count.
size_t firstBadReference(std::string_view input)
{
    for (size_t amp = input.find('&'); amp != npos; amp = input.find('&', amp + 1))
        if (!isAllowedReference(input, amp))
            return scanMarkup(input, input.size()).badReference;
    return npos;
}

// ---- the tree ----

bool isBlank(const char *text)
{
    for (; *text != 0; ++text)
        if (!hsIsXmlSpace(*text))
            return false;
    return true;
}

void faultAt(XmlTreeReading &reading, size_t offset, std::string problem)
{
    if (offset < reading.faultAt) {
        reading.faultAt = offset;
        reading.problem = std::move(problem);
    }
}

XmlTreeReading refused(std::string problem)
{
    return {.faultAt = 0, .problem = std::move(problem), .refusedUnread = true};
}

// Keeps the root element alone at the top, and marks what else stands there.
void checkTopLevel(const XmlTreeRead &read, pugi::xml_node top, size_t inputSize, XmlTreeReading &reading)
{
    bool rootSeen = false;
    for (pugi::xml_node node = top.first_child(); node;) {
        const pugi::xml_node next = node.next_sibling();
        if (node.type() == pugi::node_element) {
            if (rootSeen)
                faultAt(reading, read.offsetOf(node), "more than one root element");
            rootSeen = true;
        } else {
            if (node.type() != pugi::node_pcdata || !isBlank(node.value()))
                faultAt(reading, read.offsetOf(node), "text outside the root element");
            top.remove_child(node);
        }
        node = next;
    }
    if (!rootSeen)
        faultAt(reading, inputSize, "no root element");
}

} // namespace

XmlTreeRead::XmlTreeRead(std::string_view input, XmlCdata cdata)
    : keptMemory_(keptMemory.take()), size_(input.size())
{
    if (keptMemory_) {
        bytes_ = static_cast<char *>(keptMemory.allocate(input.size()));
    } else {
        ownCopy_ = std::make_unique_for_overwrite<char[]>(input.size());
        bytes_ = ownCopy_.get();
    }
    if (!input.empty())
        std::memcpy(bytes_, input.data(), input.size());
    read(cdata);
}

XmlTreeRead::XmlTreeRead(std::string &buffer, XmlCdata cdata)
    : keptMemory_(keptMemory.take()), bytes_(buffer.data()), size_(buffer.size())
{
    read(cdata);
}

XmlTreeRead::~XmlTreeRead()
{
    tree_.reset();
    if (keptMemory_)
        keptMemory.giveBack();
}

size_t XmlTreeRead::offsetOf(const pugi::xml_node &node) const
{
    return offsetOf(node.type() == pugi::node_element ? node.name() : node.value());
}

void XmlTreeRead::read(XmlCdata cdata)
{
    const std::string_view input(bytes_, size_);
    if (!hsIsUtf8Xml(input)) {
        reading_ = refused("the input's encoding is not accepted");
        return;
    }
    if (const size_t bad = hsFirstBadXmlCharacter(input); bad != npos)
        faultAt(reading_, bad, "a byte that is no UTF-8 encoded XML character");
    if (const size_t bad = firstBadReference(input); bad != npos)
        faultAt(reading_, bad, "a reference to an undeclared entity or a character XML does not allow");

    const unsigned options = pugi::parse_escapes | pugi::parse_eol | pugi::parse_ws_pcdata |
                             pugi::parse_embed_pcdata | pugi::parse_fragment | pugi::parse_doctype |
                             (cdata == XmlCdata::asText ? pugi::parse_cdata : 0);
    pugi::xml_parse_result result;
    {
        const TreeBudget budget(size_, keptMemory_ ? &keptMemory : nullptr);
        result = tree_.load_buffer_inplace(bytes_, size_, options, pugi::encoding_utf8);
    }
    bool doctype = result.status == pugi::status_bad_doctype;
    for (pugi::xml_node node = tree_.first_child(); node; node = node.next_sibling())
        doctype = doctype || node.type() == pugi::node_doctype;
    if (doctype) {
        tree_.reset();
        reading_ = refused("a document type declaration is not accepted");
        return;
    }
    if (result.status == pugi::status_out_of_memory)
        faultAt(reading_, static_cast<size_t>(result.offset), "the input makes too large a tree");
    else if (result.status != pugi::status_ok)
        faultAt(reading_, static_cast<size_t>(result.offset), result.description());
    checkTopLevel(*this, tree_, size_, reading_);
}

XmlMarkupBefore hsXmlMarkupBefore(std::string_view input, size_t offset)
{
    return scanMarkup(input, std::min(offset, input.size())).before;
}
