#include "documents/DocumentParser.h"

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

// Shared by the reader's context and the contexts it opens for entity replacement text, which
// inherit its private pointer.
struct ReadState
{
    DocumentParser &parser;
    size_t documentBytes;
    size_t expansionBudget;
    size_t expanded = 0;
    bool exhausted = false;
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

// Once the budget is spent, every context that reports anything is stopped and nothing more
// reaches the parser.
DocumentParser *liveParser(void *context)
{
    ReadState &state = readState(context);
    if (!state.exhausted)
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

void onStartElement(void *context, const xmlChar *name, const xmlChar **)
{
    if (DocumentParser *parser = liveParser(context))
        parser->startElement(nameOf(name));
}

void onEndElement(void *context, const xmlChar *name)
{
    if (DocumentParser *parser = liveParser(context))
        parser->endElement(nameOf(name));
}

void onCharacters(void *context, const xmlChar *text, int length)
{
    if (DocumentParser *parser = liveParser(context))
        parser->characters(textOf(text, length));
}

// SAX1-style handlers, so names arrive as written (no namespace processing). The declaration
// handlers are the library's own, which keep internal entities for expansion; external ones are
// never loaded because the options below do not ask for it. Errors, comments and processing
// instructions are not handled.
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

} // namespace

bool hsParseDocument(std::string_view utf8, DocumentParser &parser)
{
    if (utf8.empty() || utf8.size() > static_cast<size_t>(INT_MAX))
        return false;
    initialiseReaderOnce();
    xmlParserCtxtPtr context = xmlCreateMemoryParserCtxt(utf8.data(), static_cast<int>(utf8.size()));
    if (context == nullptr)
        return false;
    // The context frees the handler it came with, so that one is put back before it goes.
    xmlSAXHandler handler = readerHandler();
    xmlSAXHandlerPtr ownHandler = context->sax;
    context->sax = &handler;
    ReadState state{parser, utf8.size(), utf8.size() + expansionAllowance};
    context->_private = &state;
    parser.progress_ = readerProgress;
    parser.reader_ = context;
    xmlCtxtUseOptions(context, XML_PARSE_NONET);
    const bool read = xmlParseDocument(context) == 0;
    const bool wellFormed = read && context->wellFormed != 0 && !state.exhausted;
    parser.progress_ = nullptr;
    parser.reader_ = nullptr;
    parser.endDocument();
    if (context->myDoc != nullptr)
        xmlFreeDoc(context->myDoc);
    context->myDoc = nullptr;
    context->sax = ownHandler;
    xmlFreeParserCtxt(context);
    return wellFormed;
}
