#pragma once

#include <string>

// The two process-wide texts that every call uses: the endpoint URL and the service namespace
// URI. Both start from compile-time defaults; the endpoint is overridden by the environment
// variable HSSCHOOL_ENDPOINT, and by setEndpoint (the command line's --endpoint). The request
// time-out is 60 seconds unless a caller (a test) shortens it. Thread-safe.
class HsServiceConfig
{
public:
    static std::string endpoint();
    static void setEndpoint(const std::string &url);
    static std::string namespaceUri();
    static long timeoutSeconds();
    static void setTimeoutSeconds(long seconds);
};
