#include "SoapMessage.h"

#include "XmlText.h"
#include "common/KeptXmlReader.h"
#include "common/XmlMarkupGuard.h"
#include "common/XmlReadErrors.h"

#include <charconv>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <memory>
#include <utility>

namespace {

// Calls numbered beyond this are not ours; refusing them keeps a hostile "in99999999" from
// sizing the argument list.
constexpr size_t kMaxArguments = 32;

using DocumentPtr = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

std::string_view localName(const xmlNode *node)
{
    return reinterpret_cast<const char *>(node->name);
}

const xmlNode *firstElementChild(const xmlNode *node)
{
    for (const xmlNode *child = node->children; child != nullptr; child = child->next)
        if (child->type == XML_ELEMENT_NODE)
            return child;
    return nullptr;
}

const xmlNode *findElementChild(const xmlNode *node, std::string_view name)
{
    for (const xmlNode *child = node->children; child != nullptr; child = child->next)
        if (child->type == XML_ELEMENT_NODE && localName(child) == name)
            return child;
    return nullptr;
}

std::string contentOf(const xmlNode *node)
{
    xmlChar *content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char *>(content) : "";
    xmlFree(content);
    return text;
}

// The number of an "inN" element, or nothing for any other name.
std::optional<size_t> argumentNumber(std::string_view name)
{
    if (name.size() < 3 || name.substr(0, 2) != "in")
        return std::nullopt;
    size_t number = 0;
    const auto digits = name.substr(2);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

SoapReading problem(std::string text)
{
    return SoapReading{std::nullopt, std::move(text)};
}

// SOAP messages carry no document type declaration; refusing one before reading also keeps
// entity definitions (and their expansion) out of the service altogether.
constexpr XmlMarkupLimits kRequestLimits{.doctypeBytes = 0};

// What the library finds wrong with a request is not printed: the fault sent back says that the
// request could not be read. The reader stops at the first fatal error.
void stopAtFatalError(void *, xmlErrorPtr error)
{
    hsStopAtFatalError(error);
}

// No file name: with one, the reader would look up the working directory for every request.
xmlParserCtxtPtr newRequestReader()
{
    return xmlCreatePushParserCtxt(nullptr, nullptr, nullptr, 0, nullptr);
}

// Each worker thread keeps its reader from request to request.
thread_local KeptXmlReader keptRequestReader(newRequestReader);

// Reads the request into a tree, or nothing when it is not well-formed. The whole body is handed
// to the library's incremental reader as its last piece: read from memory, the library would ask
// its copy of the body for more bytes at nearly every tag of a small request, which costs more
// than the rest of the reading.
DocumentPtr readTree(std::string_view body)
{
    xmlParserCtxt *context = keptRequestReader.takeForPieces();
    if (context == nullptr)
        return DocumentPtr(nullptr, &xmlFreeDoc);
    xmlCtxtUseOptions(context, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    {
        const XmlReadErrorScope errors(stopAtFatalError, nullptr);
        xmlParseChunk(context, body.data(), static_cast<int>(body.size()), 1);
    }
    DocumentPtr doc(std::exchange(context->myDoc, nullptr), &xmlFreeDoc);
    if (context->wellFormed == 0) {
        doc.reset();
        keptRequestReader.discard();
    }
    return doc;
}

} // namespace

SoapReading readSoapRequest(std::string_view body)
{
    const XmlMarkupVerdict markup = hsCheckXmlMarkup(body, kRequestLimits);
    if (markup == XmlMarkupVerdict::doctypeRefused)
        return problem("a SOAP message must not contain a document type declaration");
    if (markup != XmlMarkupVerdict::accepted)
        return problem(std::string("the request is refused unread: ") + hsXmlMarkupProblem(markup));
    const DocumentPtr doc = readTree(body);
    if (!doc)
        return problem("the request is not well-formed XML");
    // The markup check refuses these before reading; this keeps any that slipped past it from
    // being acted on.
    if (doc->intSubset != nullptr || doc->extSubset != nullptr)
        return problem("a SOAP message must not contain a document type declaration");
    const xmlNode *envelope = xmlDocGetRootElement(doc.get());
    if (envelope == nullptr || localName(envelope) != "Envelope")
        return problem("the request is not a SOAP envelope");
    const xmlNode *soapBody = findElementChild(envelope, "Body");
    if (soapBody == nullptr)
        return problem("the envelope has no Body");
    const xmlNode *operation = firstElementChild(soapBody);
    if (operation == nullptr)
        return problem("the Body names no operation");

    SoapRequest request;
    request.method = localName(operation);
    if (operation->ns != nullptr && operation->ns->href != nullptr)
        request.namespaceUri = reinterpret_cast<const char *>(operation->ns->href);
    for (const xmlNode *child = operation->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE)
            continue;
        const auto number = argumentNumber(localName(child));
        if (!number)
            continue;
        if (*number >= kMaxArguments)
            return problem("argument number out of range");
        if (request.arguments.size() <= *number)
            request.arguments.resize(*number + 1);
        request.arguments[*number] = contentOf(child);
    }
    return SoapReading{std::move(request), {}};
}

std::string soapResponse(const SoapRequest &request, std::string_view escapedResultDocument)
{
    // The envelope's own markup takes a few hundred bytes around the result.
    XmlText xml(XmlText::Form::document, escapedResultDocument.size() + 512);
    xml.open("soap:Envelope");
    xml.attribute("xmlns:soap", kSoapEnvelopeNamespace);
    xml.open("soap:Body");
    xml.open("ns1:" + request.method + "Response");
    xml.attribute("xmlns:ns1", request.namespaceUri);
    xml.open("ns1:out");
    xml.escapedText(escapedResultDocument);
    return xml.finish();
}

std::string soapFault(std::string_view faultCode, std::string_view message)
{
    XmlText xml;
    xml.open("soap:Envelope");
    xml.attribute("xmlns:soap", kSoapEnvelopeNamespace);
    xml.open("soap:Body");
    xml.open("soap:Fault");
    xml.element("faultcode", faultCode);
    xml.element("faultstring", message);
    return xml.finish();
}
