#include "transport/HsSoapClient.h"

#include "common/HsLog.h"
#include "common/XmlTree.h"
#include "transport/HsHttpExchange.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <curl/curl.h>
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
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
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

// Hands the answer's tree to the client as the events a reader going through it would raise:
// element starts and ends with their names as written, and text. Whatever the nesting, no
// recursion. CDATA sections are no part of the answer and are not in the tree. False when the
// time ran out on the way.
bool walkAnswer(HsSoapClient &client, pugi::xml_node node, std::chrono::steady_clock::time_point deadline)
{
    // The clock is looked at once per this many nodes.
    constexpr unsigned kNodesPerClockLook = 1024;
    unsigned nodes = 0;
    const pugi::xml_node root = node;
    while (node) {
        if (++nodes % kNodesPerClockLook == 0 && std::chrono::steady_clock::now() > deadline)
            return false;
        if (node.type() == pugi::node_pcdata) {
            client.foundCharacters(node.value());
        } else {
            client.didStartElement(node.name());
            if (const char *text = node.value(); *text != 0)
                client.foundCharacters(text);
            if (const pugi::xml_node child = node.first_child()) {
                node = child;
                continue;
            }
        }
        while (node) {
            if (node.type() == pugi::node_element)
                client.didEndElement(node.name());
            if (node == root)
                return true;
            if (const pugi::xml_node next = node.next_sibling()) {
                node = next;
                break;
            }
            node = node.parent();
        }
    }
    return true;
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
    const bool wellFormed = readAnswer(m_webData);
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
    std::string copy(body);
    return readAnswer(copy);
}

bool HsSoapClient::readAnswer(std::string &body)
{
    const auto deadline = std::chrono::steady_clock::now() + m_readingBudget;
    m_bStartCapture = false;
    m_content.reset();
    m_info_.reset();
    m_foundResult = false;

    const XmlTreeRead read(body, XmlCdata::skipped);
    const XmlTreeReading &reading = read.reading();
    if (!reading.wellFormed()) {
        parseErrorOccurred(reading.problem);
        hsLog("Error parsing XML downloaded from server!");
        return false;
    }
    if (std::chrono::steady_clock::now() > deadline || !walkAnswer(*this, read.root(), deadline)) {
        m_content.reset();
        hsLog("Error parsing XML downloaded from server: reading took longer than %lld ms",
              static_cast<long long>(m_readingBudget.count()));
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
