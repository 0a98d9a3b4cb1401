#include "documents/DocumentParser.h"

#include "common/HsLog.h"
#include "common/KeptXmlReader.h"
#include "common/XmlMarkupGuard.h"
#include "common/XmlReadErrors.h"

#include <climits>
#include <cstring>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <mutex>

DocumentParser::~DocumentParser() = default;

namespace {

// Entity replacement text may add at most this much beyond the size of the document itself.
constexpr size_t expansionAllowance = 1024 * 1024;
// The clock is looked at once per this many reader events.
constexpr unsigned kEventsPerClockLook = 1024;

// Shared by the reader's context and the contexts it opens for entity replacement text, which
// inherit its private pointer.
struct ReadState
{
    DocumentParser &parser;
    size_t documentBytes;
    size_t expansionBudget;
    std::chrono::steady_clock::time_point deadline;
    size_t expanded = 0;
    bool exhausted = false;
    bool outOfTime = false;
    unsigned events = 0;
    std::string_view lastStart{};
};

ReadState &readState(void *context)
{
    return *static_cast<ReadState *>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

std::string_view textOf(const xmlChar *text, int length)
{
    return {reinterpret_cast<const char *>(text), static_cast<size_t>(length)};
}

std::string_view nameOf(const xmlChar *name)
{
    return reinterpret_cast<const char *>(name);
}

// Once the expansion budget or the time is spent, every context that reports anything is stopped
// and nothing more reaches the parser.
DocumentParser *liveParser(void *context)
{
    ReadState &state = readState(context);
    if (++state.events % kEventsPerClockLook == 0 && std::chrono::steady_clock::now() > state.deadline)
        state.outOfTime = true;
    if (!state.exhausted && !state.outOfTime)
        return &state.parser;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
    return nullptr;
}

// Counts the replacement text of every internal entity the reader expands against the budget;
// past it, the context that asked is stopped.
xmlEntityPtr lookUpEntity(void *context, const xmlChar *name)
{
    ReadState &state = readState(context);
    xmlEntityPtr entity = xmlSAX2GetEntity(context, name);
    if (entity != nullptr && entity->etype == XML_INTERNAL_GENERAL_ENTITY && entity->content != nullptr) {
        state.expanded += static_cast<size_t>(xmlStrlen(entity->content)) + 1;
        state.exhausted = state.exhausted || state.expanded > state.expansionBudget;
    }
    return liveParser(context) != nullptr ? entity : nullptr;
}

// The reader hands over an element's end with the very name it gave the start, and most ends
// follow their own start directly (a field and its text), so the last start name is kept with
// its length instead of measuring the name again.
void onStartElement(void *context, const xmlChar *name, const xmlChar **)
{
    if (DocumentParser *parser = liveParser(context)) {
        ReadState &state = readState(context);
        state.lastStart = nameOf(name);
        parser->startElement(state.lastStart);
    }
}

void onEndElement(void *context, const xmlChar *name)
{
    if (DocumentParser *parser = liveParser(context)) {
        const ReadState &state = readState(context);
        const auto *text = reinterpret_cast<const char *>(name);
        parser->endElement(text == state.lastStart.data() ? state.lastStart : std::string_view(text));
    }
}

void onCharacters(void *context, const xmlChar *text, int length)
{
    if (DocumentParser *parser = liveParser(context))
        parser->characters(textOf(text, length));
}

void logReadingError(std::string_view text)
{
    hsLog("Error reading result document: %.*s", static_cast<int>(text.size()), text.data());
}

// What the reader finds wrong with a document goes to the diagnostic log; the parser itself hears
// nothing of it. The reader stops at the first fatal error, where the parser's events end anyway.
void onReaderError(void *, xmlErrorPtr error)
{
    logReadingError(hsXmlErrorText(error));
    hsStopAtFatalError(error);
}

// SAX1-style handlers, so names arrive as written (no namespace processing). The declaration
// handlers are the library's own, which keep internal entities for expansion; external ones are
// never loaded because the options below do not ask for it. Comments and processing
// instructions are not handled; errors go to onReaderError while the reader reads.
xmlSAXHandler readerHandler()
{
    xmlSAXHandler handler;
    std::memset(&handler, 0, sizeof handler);
    xmlSAXVersion(&handler, 1);
    handler.getEntity = lookUpEntity;
    handler.startElement = onStartElement;
    handler.endElement = onEndElement;
    handler.characters = onCharacters;
    handler.ignorableWhitespace = onCharacters;
    handler.cdataBlock = onCharacters;
    handler.reference = nullptr;
    handler.comment = nullptr;
    handler.processingInstruction = nullptr;
    handler.warning = nullptr;
    handler.error = nullptr;
    handler.fatalError = nullptr;
    return handler;
}

// The reader's position: what earlier buffers held plus how far it is into the current one.
DocumentParser::ReadProgress readerProgress(const void *reader)
{
    const auto *context = static_cast<const xmlParserCtxt *>(reader);
    const xmlParserInput *input = context->input;
    if (input == nullptr || input->base == nullptr || input->cur == nullptr)
        return {};
    const auto *state = static_cast<const ReadState *>(context->_private);
    return {static_cast<size_t>(input->consumed) + static_cast<size_t>(input->cur - input->base),
            state->documentBytes};
}

void initialiseReaderOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

// A reader context with the handler above, kept per thread from document to document. The
// context frees its handler block when it goes; ours is copied into it.
xmlParserCtxtPtr newDocumentReader()
{
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr)
        return nullptr;
    if (context->sax == nullptr) {
        xmlFreeParserCtxt(context);
        return nullptr;
    }
    *context->sax = readerHandler();
    return context;
}

thread_local KeptXmlReader keptReader(newDocumentReader);

} // namespace

bool hsParseDocument(std::string_view utf8, DocumentParser &parser, std::chrono::milliseconds budget)
{
    const auto deadline = std::chrono::steady_clock::now() + budget;
    if (utf8.empty() || utf8.size() > static_cast<size_t>(INT_MAX))
        return false;
    const XmlMarkupVerdict markup = hsCheckXmlMarkup(utf8);
    if (markup != XmlMarkupVerdict::accepted) {
        logReadingError(hsXmlMarkupProblem(markup));
        return false;
    }
    initialiseReaderOnce();
    xmlParserCtxtPtr context = keptReader.take();
    if (context == nullptr)
        return false;
    ReadState state{.parser = parser,
                    .documentBytes = utf8.size(),
                    .expansionBudget = utf8.size() + expansionAllowance,
                    .deadline = deadline};
    context->_private = &state;
    parser.progress_ = readerProgress;
    parser.reader_ = context;
    // Resets the context, reads the whole document with its handler and gives back the document
    // the library builds when the text declares a DTD (nothing otherwise).
    xmlDocPtr declared = nullptr;
    {
        const XmlReadErrorScope errors(onReaderError, nullptr);
        declared = xmlCtxtReadMemory(context, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr,
                                     XML_PARSE_NONET);
    }
    const bool wellFormed = context->wellFormed != 0 && !state.exhausted && !state.outOfTime;
    if (state.outOfTime)
        hsLog("Error reading result document: reading took longer than %lld ms",
              static_cast<long long>(budget.count()));
    parser.progress_ = nullptr;
    parser.reader_ = nullptr;
    parser.endDocument();
    if (declared != nullptr)
        xmlFreeDoc(declared);
    context->myDoc = nullptr;
    context->_private = nullptr;
    if (!wellFormed)
        keptReader.discard();
    return wellFormed;
}
