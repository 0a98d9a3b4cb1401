#include "services/HsServiceLink.h"

#include "transport/HsAppConstants.h"
#include "transport/HsServiceConfig.h"
#include "transport/HsSoapClient.h"

std::string HsServiceLink::endpoint()
{
    return HsServiceConfig::endpoint();
}

void HsServiceLink::setEndpoint(const std::string &url)
{
    HsServiceConfig::setEndpoint(url);
}

bool HsServiceLink::networkAvailable()
{
    return HsAppConstants::checkNetwork(false);
}

void HsServiceLink::abandonCalls()
{
    HsSoapClient::abandonCalls();
}
