#pragma once

#include "LogCapture.h"
#include "TestSoapServer.h"
#include "common/HsLog.h"
#include "transport/HsSoapClient.h"

#include <optional>
#include <string>
#include <vector>

// Counts the notifications a client sends.
struct RecordingDelegate : HsSoapClientDelegate
{
    void didFinishDownloading(HsSoapClient &) override { ++finished; }
    void clientDidFailWithError(HsSoapClient &, const HsTransportError &error) override
    {
        ++failed;
        errorDescription = error.description;
    }
    int finished = 0;
    int failed = 0;
    std::string errorDescription;
};

inline const char *kTestNamespace = "http://school.test/schoolSvc";

// One call the way the operation makes it, against the given endpoint.
struct CallOutcome
{
    bool result = false;
    RecordingDelegate delegate;
    std::optional<std::string> returned;
    std::optional<std::string> info;
    bool foundResult = false;
};

inline CallOutcome callOnce(const std::string &url, const std::string &method,
                            const std::vector<std::string> &args, long timeoutSeconds = 60)
{
    CallOutcome outcome;
    HsSoapClient client;
    client.setDelegate(&outcome.delegate);
    client.setM_namespace(kTestNamespace);
    client.setTimeoutSeconds(timeoutSeconds);
    outcome.result = client.invokeMethodSyncPlus(url, method, args);
    outcome.returned = client.m_returnString();
    outcome.info = client.m_info();
    outcome.foundResult = client.foundResult();
    return outcome;
}

// A SOAP answer whose ns1:out holds the given (already escaped) text.
inline std::string answerHolding(const std::string &escapedResult)
{
    return soapResponse("getNews", "<ns1:out>" + escapedResult + "</ns1:out>");
}
