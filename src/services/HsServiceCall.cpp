#include "HsServiceCall.h"

#include "transport/HsOperationQueue.h"
#include "transport/HsServiceConfig.h"
#include "transport/HsServiceExecOperation.h"

#include <memory>

namespace {

std::vector<std::string> wireArguments(const std::vector<std::string> &ownArguments)
{
    std::vector<std::string> arguments{"qovel", "zantre"};
    arguments.insert(arguments.end(), ownArguments.begin(), ownArguments.end());
    return arguments;
}

} // namespace

HsCallResult hsCallService(const std::string &soapMethod, const std::vector<std::string> &ownArguments)
{
    HsOperationQueue queue;
    queue.setMaxConcurrentOperationCount(1);

    auto operation = std::make_shared<HsServiceExecOperation>();
    operation->setM_namespace(HsServiceConfig::namespaceUri());
    operation->setM_serverURL(HsServiceConfig::endpoint());
    operation->setM_methodArgs(wireArguments(ownArguments));
    operation->setM_wsMethodName(soapMethod);
    operation->setTimeoutSeconds(HsServiceConfig::timeoutSeconds());

    queue.addOperations({operation}, true);
    return {operation->takeServiceResponse(), operation->answered()};
}
