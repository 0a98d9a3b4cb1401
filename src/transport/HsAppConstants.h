#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Shared helpers of the screens: whether a network route exists before a call is started.
class HsAppConstants
{
public:
    // The reachability flag bits that decide availability.
    static constexpr uint32_t kReachable = 1u << 1;
    static constexpr uint32_t kConnectionRequired = 1u << 2;
    static constexpr uint32_t kIsWWAN = 1u << 18;

    // True when a network route is available. showAlert is accepted for the callers' sake; the
    // core library shows nothing.
    static bool checkNetwork(bool showAlert);
    // True when a route to the service endpoint's host exists; stores the flag word when asked
    // and when it could be read. Never waits on the network: an address is checked with the
    // kernel's routing table at once; a host name is looked up on a thread of its own, and until
    // a look-up has answered, the answer is the last one known for that name (a route, at first).
    static bool isNetworkAvailableFlags(uint32_t *flags = nullptr);

    // How a host name is looked up and its route checked; replaced by tests to stand in for a
    // slow name server. An empty function restores the system's resolver.
    using NameRouteLookup = std::function<bool(const std::string &host, const std::string &port)>;
    static void setNameRouteLookup(NameRouteLookup lookup);
    // Reachable, and either no connection has to be set up first or the route is cellular.
    static bool networkAvailableFromFlags(uint32_t flags);
};
