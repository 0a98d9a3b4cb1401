#include "transport/HsAppConstants.h"

#include "transport/HsServiceConfig.h"

#include <curl/curl.h>
#include <memory>
#include <netdb.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct UrlParts
{
    std::string host;
    std::string port;
};

std::optional<std::string> urlPart(CURLU *url, CURLUPart part, unsigned flags)
{
    char *text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK)
        return std::nullopt;
    std::string value(text);
    curl_free(text);
    return value;
}

std::optional<UrlParts> hostAndPort(const std::string &endpoint)
{
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), &curl_url_cleanup);
    if (!url || curl_url_set(url.get(), CURLUPART_URL, endpoint.c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    auto host = urlPart(url.get(), CURLUPART_HOST, 0);
    auto port = urlPart(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!host || !port)
        return std::nullopt;
    // An IPv6 literal comes back in brackets, which the resolver does not take.
    if (host->size() > 2 && host->front() == '[' && host->back() == ']')
        *host = host->substr(1, host->size() - 2);
    return UrlParts{*host, *port};
}

// Connecting a datagram socket sends nothing; it only asks the kernel to pick a route, and
// fails with "network unreachable" when there is none.
bool kernelHasRouteTo(const addrinfo &address)
{
    const int socketFd = ::socket(address.ai_family, SOCK_DGRAM, 0);
    if (socketFd < 0)
        return false;
    const bool routed = ::connect(socketFd, address.ai_addr, address.ai_addrlen) == 0;
    ::close(socketFd);
    return routed;
}

bool anyRouteTo(const UrlParts &target)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *addresses = nullptr;
    if (::getaddrinfo(target.host.c_str(), target.port.c_str(), &hints, &addresses) != 0)
        return false;
    bool routed = false;
    for (const addrinfo *address = addresses; address != nullptr && !routed; address = address->ai_next)
        routed = kernelHasRouteTo(*address);
    ::freeaddrinfo(addresses);
    return routed;
}

} // namespace

bool HsAppConstants::checkNetwork(bool /*showAlert*/)
{
    return isNetworkAvailableFlags();
}

// The flag word is built from what Linux can tell: whether a route to the endpoint's host exists.
// A route that exists needs no connection set up first, and whether it is cellular is unknown,
// so only the reachable bit is ever set.
bool HsAppConstants::isNetworkAvailableFlags(uint32_t *flags)
{
    const auto target = hostAndPort(HsServiceConfig::endpoint());
    if (!target)
        return false;
    const uint32_t word = anyRouteTo(*target) ? kReachable : 0u;
    if (flags != nullptr)
        *flags = word;
    return networkAvailableFromFlags(word);
}

bool HsAppConstants::networkAvailableFromFlags(uint32_t flags)
{
    const bool reachable = (flags & kReachable) != 0;
    const bool needsConnection = (flags & kConnectionRequired) != 0;
    const bool cellular = (flags & kIsWWAN) != 0;
    return reachable && (!needsConnection || cellular);
}
