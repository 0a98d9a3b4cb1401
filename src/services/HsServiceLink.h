#pragma once

#include <string>

// What the application, its screens and the command line may ask of the link to the service,
// without reaching into the transport underneath: where the service is, whether a route to it
// exists, and an end to every call in flight when the process quits.
class HsServiceLink
{
public:
    static std::string endpoint();
    // The command line's endpoint, used by every later call.
    static void setEndpoint(const std::string &url);
    // True when a route to the endpoint's host exists. Never waits on the network.
    static bool networkAvailable();
    // Every call in flight, and every later one, fails at once without touching the network.
    static void abandonCalls();
};
