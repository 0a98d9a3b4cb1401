#pragma once

#include "transport/HsHttpExchange.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class HsSoapClient;

// Why an HTTP exchange produced no answer: no connection, time-out, an oversized answer, ...
struct HsTransportError
{
    std::string description;
};

// Told how a call ended: exactly one of the two notifications per call.
class HsSoapClientDelegate
{
public:
    virtual ~HsSoapClientDelegate() = default;
    // The answer arrived and was read, whether or not it was well-formed XML.
    virtual void didFinishDownloading(HsSoapClient &client) = 0;
    // The exchange itself failed; no answer was read.
    virtual void clientDidFailWithError(HsSoapClient &client, const HsTransportError &error) = 0;
};

// One web-service call: builds the envelope of one operation, posts it, waits for the whole
// answer and keeps the text of the answer's ns1:out element. A client serves one call and is then
// discarded; it is used by one thread only.
//
// Underneath, each thread keeps its HTTP handles from call to call, and with them the connections
// the server leaves open (HTTP/1.1 persistent connections): consecutive calls of a thread to the
// same endpoint share one connection. A kept connection that the server has closed in between is
// replaced by a new one without the caller noticing. A call whose request went out and whose
// connection was then lost gets no answer; its request is never sent a second time. The handles
// and connections of a thread are closed when the thread ends.
class HsSoapClient
{
public:
    static constexpr long kDefaultTimeoutSeconds = 60;
    // Far beyond what reading the largest honest answer takes on a slow machine.
    static constexpr std::chrono::milliseconds kDefaultReadingBudget{10'000};
    // An answer body larger than this is abandoned while it arrives and counts as no answer.
    static constexpr size_t kMaxAnswerBytes = HsHttpExchange::kMaxAnswerBytes;

    // Abandons every call in flight on every thread and fails every later one at once, without
    // touching the network, until called again with false: for a process that is quitting and
    // must not wait for the network. Calls end as transport failures within milliseconds.
    static void abandonCalls(bool abandon = true);
    static bool callsAbandoned();
    // Closes the connections the calling thread keeps for its later calls (a server that is
    // being stopped waits for the connections open to it).
    static void closeConnectionsOfThisThread();

    void setDelegate(HsSoapClientDelegate *delegate);
    void setM_namespace(const std::string &namespaceUri);
    // Seconds the whole exchange may take; values of zero or less are ignored.
    void setTimeoutSeconds(long seconds);
    // How long reading an answer may take once it has arrived; an answer still being read then
    // counts as not well-formed.
    void setReadingBudget(std::chrono::milliseconds budget);

    // Performs the whole call on the calling thread. True when an answer arrived and was
    // well-formed XML; false on a transport failure or an answer that is not XML.
    bool invokeMethodSyncPlus(const std::string &serverUrl, const std::string &methodName,
                              const std::vector<std::string> &args);

    // The collected ns1:out text: absent after a failure, empty when the answer had no ns1:out.
    const std::optional<std::string> &m_returnString() const;
    // Hands the ns1:out text over without copying it; the client keeps none afterwards.
    std::optional<std::string> takeReturnString();
    // Character data found outside ns1:out (a SOAP fault's text, for example).
    const std::optional<std::string> &m_info() const;
    // True only when the answer was well-formed and held an ns1:out element.
    bool foundResult() const;

    // The one-line SOAP envelope for the method and its arguments (escaped as XML text).
    std::string getSoapRequestForMethod(const std::string &methodName, const std::vector<std::string> &args);
    // Reads an answer body and collects the ns1:out text; true when the body is well-formed
    // (common/XmlTree.h says what that takes).
    bool processResponse(std::string_view body);

    // Reader events, called while processResponse runs. Names are qualified names as written.
    void didStartElement(std::string_view name);
    void didEndElement(std::string_view name);
    void foundCharacters(std::string_view text);
    void parseErrorOccurred(std::string_view description);

private:
    struct Request
    {
        std::string url;
        std::string body;
        std::vector<std::string> headers;
        long timeoutSeconds = kDefaultTimeoutSeconds;
    };

    void makeURL(const std::string &serverUrl);
    void createRequestPlus(const std::string &serverUrl, const std::string &methodName,
                           const std::vector<std::string> &args);
    void logEnvelope(const std::string &methodName, const std::vector<std::string> &args) const;
    // processResponse over a body the client owns, read in place: its bytes are changed.
    bool readAnswer(std::string &body);

    HsSoapClientDelegate *m_delegate = nullptr;
    std::string m_namespace;
    std::string m_methodName;
    std::string m_url;
    Request m_req;
    std::string m_webData;
    bool m_bStartCapture = false;
    std::optional<std::string> m_content;
    std::optional<std::string> m_info_;
    std::optional<std::string> m_returnString_;
    bool m_foundResult = false;
    long m_timeoutSeconds = kDefaultTimeoutSeconds;
    std::chrono::milliseconds m_readingBudget = kDefaultReadingBudget;
};
