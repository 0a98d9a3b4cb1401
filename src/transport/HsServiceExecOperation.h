#pragma once

#include "transport/HsOperation.h"
#include "transport/HsSoapClient.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// One service call as a queue operation: drives one HsSoapClient and keeps its result text. The
// operation finishes when the client reports either outcome, when it was cancelled before it
// started, or when the call raised an exception.
class HsServiceExecOperation : public HsOperation, public HsSoapClientDelegate
{
public:
    HsServiceExecOperation();

    void setM_namespace(std::string namespaceUri);
    void setM_serverURL(std::string serverUrl);
    void setM_methodArgs(std::vector<std::string> args);
    void setM_wsMethodName(std::string methodName);
    void setTimeoutSeconds(long seconds);

    void start() override;
    void main() override;

    // The result text; absent until a call has completed with an answer. Read after the
    // operation has finished.
    const std::optional<std::string> &m_serviceResponse() const;
    // Hands the result text over without copying it; the operation keeps none afterwards.
    std::optional<std::string> takeServiceResponse();
    // True when the call got a well-formed answer holding ns1:out.
    bool answered() const;
    // The client of the call; none before the call starts or when it never ran.
    const HsSoapClient *m_client() const;

    void didFinishDownloading(HsSoapClient &client) override;
    void clientDidFailWithError(HsSoapClient &client, const HsTransportError &error) override;

protected:
    // Creates the client and performs the blocking call.
    virtual void execWebServiceMethod();

private:
    void finish();

    std::unique_ptr<HsSoapClient> m_client_;
    std::string m_serverURL;
    std::string m_wsMethodName;
    std::vector<std::string> m_methodArgs;
    std::string m_namespace;
    long m_timeoutSeconds;
    std::optional<std::string> m_serviceResponse_;
    bool m_answered = false;
};
