#include "transport/HsAppConstants.h"

#include "transport/HsServiceConfig.h"

#include <curl/curl.h>
#include <map>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <thread>
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

// Resolves with the given hints and asks the kernel for a route to any of the addresses. False
// when the name does not resolve (with AI_NUMERICHOST: when the host is not an address).
bool anyRouteTo(const UrlParts &target, int flags)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = flags;
    addrinfo *addresses = nullptr;
    if (::getaddrinfo(target.host.c_str(), target.port.c_str(), &hints, &addresses) != 0)
        return false;
    bool routed = false;
    for (const addrinfo *address = addresses; address != nullptr && !routed; address = address->ai_next)
        routed = kernelHasRouteTo(*address);
    ::freeaddrinfo(addresses);
    return routed;
}

bool isAddress(const std::string &host)
{
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo *addresses = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &addresses) != 0)
        return false;
    ::freeaddrinfo(addresses);
    return true;
}

// What is known of host names: the last answer of each, and which ones are being looked up.
// Never destroyed, because a look-up thread may still finish while the process exits.
struct NameRoutes
{
    std::mutex mutex;
    std::map<std::string, bool> known;
    std::map<std::string, bool> lookingUp;
    HsAppConstants::NameRouteLookup lookup;
};

NameRoutes &nameRoutes()
{
    static auto *routes = new NameRoutes;
    return *routes;
}

bool systemNameRouteLookup(const std::string &host, const std::string &port)
{
    return anyRouteTo(UrlParts{host, port}, 0);
}

// The last answer known for the name, starting a look-up that refreshes it when none is running.
bool knownRouteToName(const UrlParts &target)
{
    NameRoutes &routes = nameRoutes();
    std::lock_guard lock(routes.mutex);
    const auto known = routes.known.find(target.host);
    const bool answer = known == routes.known.end() || known->second;
    if (!routes.lookingUp[target.host]) {
        routes.lookingUp[target.host] = true;
        HsAppConstants::NameRouteLookup lookup = routes.lookup ? routes.lookup : systemNameRouteLookup;
        std::thread([target, lookup = std::move(lookup)] {
            const bool routed = lookup(target.host, target.port);
            NameRoutes &shared = nameRoutes();
            std::lock_guard done(shared.mutex);
            shared.known[target.host] = routed;
            shared.lookingUp[target.host] = false;
        }).detach();
    }
    return answer;
}

bool routeTo(const UrlParts &target)
{
    if (isAddress(target.host))
        return anyRouteTo(target, AI_NUMERICHOST);
    return knownRouteToName(target);
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
    const uint32_t word = routeTo(*target) ? kReachable : 0u;
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

void HsAppConstants::setNameRouteLookup(NameRouteLookup lookup)
{
    NameRoutes &routes = nameRoutes();
    std::lock_guard lock(routes.mutex);
    routes.lookup = std::move(lookup);
    routes.known.clear();
}
