#include "transport/HsServiceExecOperation.h"

#include "common/HsLog.h"
#include "transport/HsServiceConfig.h"

#include <utility>

HsServiceExecOperation::HsServiceExecOperation() : m_timeoutSeconds(HsServiceConfig::timeoutSeconds())
{
    setIsConcurrent(true);
}

void HsServiceExecOperation::setM_namespace(std::string namespaceUri)
{
    m_namespace = std::move(namespaceUri);
}

void HsServiceExecOperation::setM_serverURL(std::string serverUrl)
{
    m_serverURL = std::move(serverUrl);
}

void HsServiceExecOperation::setM_methodArgs(std::vector<std::string> args)
{
    m_methodArgs = std::move(args);
}

void HsServiceExecOperation::setM_wsMethodName(std::string methodName)
{
    m_wsMethodName = std::move(methodName);
}

void HsServiceExecOperation::setTimeoutSeconds(long seconds)
{
    m_timeoutSeconds = seconds;
}

void HsServiceExecOperation::start()
{
    if (isCancelled()) {
        setIsFinished(true);
        return;
    }
    setIsReady(true);
    setIsExecuting(true);
    main();
}

// Whatever happens inside the call, the operation ends, so that the waiting caller resumes.
void HsServiceExecOperation::main()
{
    try {
        execWebServiceMethod();
    } catch (...) {
    }
    if (!isFinished())
        finish();
}

const std::optional<std::string> &HsServiceExecOperation::m_serviceResponse() const
{
    return m_serviceResponse_;
}

std::optional<std::string> HsServiceExecOperation::takeServiceResponse()
{
    return std::exchange(m_serviceResponse_, std::nullopt);
}

bool HsServiceExecOperation::answered() const
{
    return m_answered;
}

const HsSoapClient *HsServiceExecOperation::m_client() const
{
    return m_client_.get();
}

void HsServiceExecOperation::execWebServiceMethod()
{
    m_client_ = std::make_unique<HsSoapClient>();
    m_client_->setDelegate(this);
    m_client_->setM_namespace(m_namespace);
    m_client_->setTimeoutSeconds(m_timeoutSeconds);
    m_client_->invokeMethodSyncPlus(m_serverURL, m_wsMethodName, m_methodArgs);
}

// The result is stored before the finished flag, which the waiting thread reads under a lock.
void HsServiceExecOperation::didFinishDownloading(HsSoapClient &client)
{
    m_serviceResponse_ = client.takeReturnString();
    m_answered = client.foundResult();
    if (client.m_info())
        hsLog("Info: %s", client.m_info()->c_str());
    finish();
}

void HsServiceExecOperation::clientDidFailWithError(HsSoapClient &, const HsTransportError &)
{
    finish();
}

void HsServiceExecOperation::finish()
{
    setIsExecuting(false);
    setIsFinished(true);
}
