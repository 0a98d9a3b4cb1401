#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

// The connections of the service with the moment each began waiting for its current exchange.
// A connection past its deadline has its socket shut down, which makes the server's own reading
// end and close it: a peer that sends a byte every few seconds cannot keep a connection for ever.
class ExchangeDeadlines
{
public:
    using Clock = std::chrono::steady_clock;

    explicit ExchangeDeadlines(Clock::duration allowed) : allowed_(allowed) {}

    void opened(const void *connection, int socket);
    // The connection's exchange ended; its next one begins now.
    void renewed(const void *connection);
    void closed(const void *connection);
    // Shuts down the sockets of connections past their deadline at `now`; answers how many.
    size_t shutDownOverdue(Clock::time_point now);
    size_t tracked() const;

private:
    struct Tracked
    {
        int socket;
        // Both ends' addresses when the connection opened: a socket number that the system has
        // since given to another connection is never shut down.
        std::string ends;
        Clock::time_point since;
    };

    Clock::duration allowed_;
    mutable std::mutex mutex_;
    std::unordered_map<const void *, Tracked> connections_;
};
