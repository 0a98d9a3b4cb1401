#include "transport/HsServiceConfig.h"

#include "transport/HsSoapClient.h"

#include <cstdlib>
#include <mutex>
#include <optional>

namespace {

std::mutex configMutex;
std::optional<std::string> explicitEndpoint;
long requestTimeoutSeconds = HsSoapClient::kDefaultTimeoutSeconds;

std::optional<std::string> endpointFromEnvironment()
{
    const char *value = std::getenv("HSSCHOOL_ENDPOINT");
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

} // namespace

std::string HsServiceConfig::endpoint()
{
    std::lock_guard lock(configMutex);
    if (explicitEndpoint)
        return *explicitEndpoint;
    if (auto fromEnvironment = endpointFromEnvironment())
        return *fromEnvironment;
    return HSSCHOOL_DEFAULT_ENDPOINT;
}

void HsServiceConfig::setEndpoint(const std::string &url)
{
    std::lock_guard lock(configMutex);
    explicitEndpoint = url;
}

std::string HsServiceConfig::namespaceUri()
{
    return HSSCHOOL_SERVICE_NAMESPACE;
}

long HsServiceConfig::timeoutSeconds()
{
    std::lock_guard lock(configMutex);
    return requestTimeoutSeconds;
}

// A time-out of zero or less would mean "wait for ever" to the HTTP layer; such values are
// ignored so that a call always ends.
void HsServiceConfig::setTimeoutSeconds(long seconds)
{
    if (seconds <= 0)
        return;
    std::lock_guard lock(configMutex);
    requestTimeoutSeconds = seconds;
}
