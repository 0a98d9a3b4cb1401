#include "transport/HsSoapClient.h"

#include "transport/HsHttpExchange.h"
#include "common/HsLog.h"
#include "common/KeptXmlReader.h"
#include "common/XmlMarkupGuard.h"
#include "common/XmlReadErrors.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <curl/curl.h>
#include <libxml/parser.h>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

namespace {

constexpr const char *kSoapEnvelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr const char *kResultElement = "ns1:out";
constexpr const char *kMaskedText = "******";
// Each piece of text outside ns1:out logs everything gathered so far, which grows with the square
// of the text's length; past this size the pieces are only gathered (the operation still logs the
// whole text once).
constexpr size_t kMaxLoggedInfoBytes = 1024;

void initialiseLibrariesOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        xmlInitParser();
    });
}

// Replacing "&" first, then "<", ">", '"' and "'" one after the other gives the same text as
// this single pass, because no replacement introduces a character that a later one replaces.
std::string xmlEscaped(const std::string &text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string envelopeFor(const std::string &methodName, const std::string &namespaceUri,
                        const std::vector<std::string> &args)
{
    std::string envelope = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
                           "xmlns:soapenv=\"";
    envelope += kSoapEnvelopeNamespace;
    envelope += "\"><soapenv:Body><ns1:" + methodName + " xmlns:ns1=\"" + namespaceUri + "\">";
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string index = std::to_string(i);
        envelope += "<ns1:in" + index + ">" + xmlEscaped(args[i]) + "</ns1:in" + index + ">";
    }
    envelope += "</ns1:" + methodName + "></soapenv:Body></soapenv:Envelope>";
    return envelope;
}

// Which arguments of a method carry a password, so that the log never shows them.
std::set<size_t> passwordArguments(const std::string &methodName)
{
    if (methodName == "loginTeacher" || methodName == "loginStudent")
        return {3};
    if (methodName == "changePassword")
        return {3, 4};
    return {};
}

// ---- answer reading ----

HsSoapClient &clientOf(void *context)
{
    return *static_cast<HsSoapClient *>(context);
}

std::string_view textOf(const xmlChar *text)
{
    return text ? std::string_view(reinterpret_cast<const char *>(text)) : std::string_view();
}

void onStartElement(void *context, const xmlChar *name, const xmlChar **)
{
    clientOf(context).didStartElement(textOf(name));
}

void onEndElement(void *context, const xmlChar *name)
{
    clientOf(context).didEndElement(textOf(name));
}

void onCharacters(void *context, const xmlChar *text, int length)
{
    clientOf(context).foundCharacters(
        std::string_view(reinterpret_cast<const char *>(text), static_cast<size_t>(length)));
}

// CDATA sections are not part of the result; without this handler the reader would pass them on
// as character data.
void onCdataBlock(void *, const xmlChar *, int) {}

// Every report of the reader about the answer, on its markup or on the bytes beneath it, reaches
// the client and nowhere else. The reader stops at the first fatal one: the answer is unusable
// from there on, and nothing after it is worth the time.
void onReaderError(void *client, xmlErrorPtr error)
{
    clientOf(client).parseErrorOccurred(hsXmlErrorText(error));
    hsStopAtFatalError(error);
}

// A handler that is not marked as SAX2 makes the reader report element names as written, prefix
// included; what it finds wrong goes to onReaderError while it reads. Every handler left empty
// keeps the reader from building a document, declaring entities or fetching an external subset.
xmlSAXHandler answerHandler()
{
    xmlSAXHandler handler{};
    handler.startElement = onStartElement;
    handler.endElement = onEndElement;
    handler.characters = onCharacters;
    handler.cdataBlock = onCdataBlock;
    return handler;
}

xmlParserCtxtPtr newAnswerReader()
{
    xmlSAXHandler handler = answerHandler();
    return xmlCreatePushParserCtxt(&handler, nullptr, nullptr, 0, nullptr);
}

thread_local KeptXmlReader keptAnswerReader(newAnswerReader);

// Feeding the answer in pieces keeps the reader's look-ahead small, so that a long text (a large
// result document) is read without tripping the reader's guard against huge look-ups.
constexpr size_t kReadPieceBytes = 64 * 1024;

enum class PiecesRead
{
    wellFormed,
    notWellFormed,
    outOfTime,
};

// The clock is looked at between pieces, so a reading that runs past its deadline ends within
// one more piece.
PiecesRead readInPieces(xmlParserCtxt *parser, std::string_view body,
                        std::chrono::steady_clock::time_point deadline)
{
    while (body.size() > kReadPieceBytes && parser->wellFormed != 0) {
        xmlParseChunk(parser, body.data(), static_cast<int>(kReadPieceBytes), 0);
        body.remove_prefix(kReadPieceBytes);
        if (std::chrono::steady_clock::now() > deadline)
            return PiecesRead::outOfTime;
    }
    if (parser->wellFormed != 0)
        xmlParseChunk(parser, body.data(), static_cast<int>(body.size()), 1);
    return parser->wellFormed != 0 ? PiecesRead::wellFormed : PiecesRead::notWellFormed;
}

} // namespace

void HsSoapClient::setDelegate(HsSoapClientDelegate *delegate)
{
    m_delegate = delegate;
}

void HsSoapClient::setM_namespace(const std::string &namespaceUri)
{
    m_namespace = namespaceUri;
}

// Zero would mean "no time-out" to the HTTP layer; a call must always end, so such values are
// ignored.
void HsSoapClient::setTimeoutSeconds(long seconds)
{
    if (seconds > 0)
        m_timeoutSeconds = seconds;
}

const std::optional<std::string> &HsSoapClient::m_returnString() const
{
    return m_returnString_;
}

std::optional<std::string> HsSoapClient::takeReturnString()
{
    return std::exchange(m_returnString_, std::nullopt);
}

const std::optional<std::string> &HsSoapClient::m_info() const
{
    return m_info_;
}

bool HsSoapClient::foundResult() const
{
    return m_foundResult;
}

std::string HsSoapClient::getSoapRequestForMethod(const std::string &methodName,
                                                  const std::vector<std::string> &args)
{
    m_bStartCapture = false;
    logEnvelope(methodName, args);
    m_methodName = methodName;
    return envelopeFor(methodName, m_namespace, args);
}

void HsSoapClient::logEnvelope(const std::string &methodName, const std::vector<std::string> &args) const
{
    // The masked copy is made only for a line that goes somewhere.
    if (!hsLogWritten())
        return;
    std::vector<std::string> shown = args;
    for (const size_t index : passwordArguments(methodName)) {
        if (index < shown.size())
            shown[index] = kMaskedText;
    }
    hsLog("SOAP msg=%s", envelopeFor(methodName, m_namespace, shown).c_str());
}

void HsSoapClient::makeURL(const std::string &serverUrl)
{
    m_url = serverUrl;
}

void HsSoapClient::createRequestPlus(const std::string &serverUrl, const std::string &methodName,
                                     const std::vector<std::string> &args)
{
    makeURL(serverUrl);
    m_req = Request{};
    m_req.url = m_url;
    m_req.timeoutSeconds = m_timeoutSeconds;
    m_req.body = getSoapRequestForMethod(methodName, args);
    m_req.headers.push_back("Content-Type: application/soap+xml; charset=utf-8; action=\"urn:" + methodName +
                            "\"");
    m_req.headers.push_back("Content-Length: " + std::to_string(m_req.body.size()));
}

bool HsSoapClient::invokeMethodSyncPlus(const std::string &serverUrl, const std::string &methodName,
                                        const std::vector<std::string> &args)
{
    initialiseLibrariesOnce();
    createRequestPlus(serverUrl, methodName, args);
    m_webData.clear();
    const auto failure =
        HsHttpExchange::post(m_req.url, m_req.body, m_req.headers, m_req.timeoutSeconds, m_webData);
    if (failure) {
        hsLog("%s", failure->c_str());
        if (m_delegate)
            m_delegate->clientDidFailWithError(*this, HsTransportError{*failure});
        return false;
    }
    const bool wellFormed = processResponse(m_webData);
    std::string().swap(m_webData);
    if (m_delegate)
        m_delegate->didFinishDownloading(*this);
    return wellFormed;
}

void HsSoapClient::setReadingBudget(std::chrono::milliseconds budget)
{
    m_readingBudget = budget;
}

bool HsSoapClient::processResponse(std::string_view body)
{
    const auto deadline = std::chrono::steady_clock::now() + m_readingBudget;
    initialiseLibrariesOnce();
    m_bStartCapture = false;
    m_content.reset();
    m_info_.reset();
    m_foundResult = false;

    const XmlMarkupVerdict markup = hsCheckXmlMarkup(body);
    if (markup != XmlMarkupVerdict::accepted) {
        parseErrorOccurred(hsXmlMarkupProblem(markup));
        hsLog("Error parsing XML downloaded from server!");
        return false;
    }
    xmlParserCtxt *parser = keptAnswerReader.takeForPieces();
    if (parser == nullptr) {
        hsLog("Error parsing XML downloaded from server!");
        return false;
    }
    parser->userData = this;
    xmlCtxtUseOptions(parser, XML_PARSE_NONET);
    PiecesRead read = PiecesRead::notWellFormed;
    {
        const XmlReadErrorScope errors(onReaderError, this);
        read = readInPieces(parser, body, deadline);
    }
    parser->userData = nullptr;
    if (read == PiecesRead::outOfTime)
        hsLog("Error parsing XML downloaded from server: reading took longer than %lld ms",
              static_cast<long long>(m_readingBudget.count()));
    if (read != PiecesRead::wellFormed) {
        keptAnswerReader.discard();
        hsLog("Error parsing XML downloaded from server!");
        return false;
    }
    m_returnString_ = m_content ? std::move(*m_content) : std::string();
    m_foundResult = m_content.has_value();
    return true;
}

void HsSoapClient::didStartElement(std::string_view name)
{
    if (m_bStartCapture) {
        m_content->append("<").append(name).append(">");
    }
    if (name == kResultElement) {
        m_bStartCapture = true;
        m_content = std::string();
    }
}

void HsSoapClient::didEndElement(std::string_view name)
{
    if (name == kResultElement)
        m_bStartCapture = false;
    if (m_bStartCapture)
        m_content->append("</").append(name).append(">");
}

void HsSoapClient::foundCharacters(std::string_view text)
{
    if (m_bStartCapture) {
        m_content->append(text);
        return;
    }
    if (!m_info_)
        m_info_ = std::string();
    m_info_->append(text);
    if (m_info_->size() <= kMaxLoggedInfoBytes)
        hsLog("Info: %s", m_info_->c_str());
}

void HsSoapClient::parseErrorOccurred(std::string_view description)
{
    hsLog("Error parsing XML downloaded from server: %.*s", static_cast<int>(description.size()),
          description.data());
}

void HsSoapClient::abandonCalls(bool abandon)
{
    HsHttpExchange::abandonCalls(abandon);
}

bool HsSoapClient::callsAbandoned()
{
    return HsHttpExchange::callsAbandoned();
}

void HsSoapClient::closeConnectionsOfThisThread()
{
    HsHttpExchange::closeConnectionsOfThisThread();
}
