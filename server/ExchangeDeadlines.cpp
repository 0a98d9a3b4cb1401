#include "ExchangeDeadlines.h"

#include <sys/socket.h>

namespace {

// Both addresses of a connected socket as bytes; empty when the socket has none.
std::string endsOf(int socket)
{
    sockaddr_storage local{}, peer{};
    socklen_t localSize = sizeof local, peerSize = sizeof peer;
    if (getsockname(socket, reinterpret_cast<sockaddr *>(&local), &localSize) != 0 ||
        getpeername(socket, reinterpret_cast<sockaddr *>(&peer), &peerSize) != 0)
        return {};
    std::string ends(reinterpret_cast<const char *>(&local), localSize);
    ends.append(reinterpret_cast<const char *>(&peer), peerSize);
    return ends;
}

} // namespace

void ExchangeDeadlines::opened(const void *connection, int socket)
{
    Tracked tracked{socket, endsOf(socket), Clock::now()};
    const std::lock_guard lock(mutex_);
    connections_.insert_or_assign(connection, std::move(tracked));
}

void ExchangeDeadlines::renewed(const void *connection)
{
    const std::lock_guard lock(mutex_);
    if (const auto found = connections_.find(connection); found != connections_.end())
        found->second.since = Clock::now();
}

void ExchangeDeadlines::closed(const void *connection)
{
    const std::lock_guard lock(mutex_);
    connections_.erase(connection);
}

size_t ExchangeDeadlines::shutDownOverdue(Clock::time_point now)
{
    size_t count = 0;
    const std::lock_guard lock(mutex_);
    for (auto it = connections_.begin(); it != connections_.end();) {
        const Tracked &tracked = it->second;
        if (now - tracked.since < allowed_) {
            ++it;
            continue;
        }
        if (!tracked.ends.empty() && endsOf(tracked.socket) == tracked.ends) {
            shutdown(tracked.socket, SHUT_RDWR);
            ++count;
        }
        it = connections_.erase(it);
    }
    return count;
}

size_t ExchangeDeadlines::tracked() const
{
    const std::lock_guard lock(mutex_);
    return connections_.size();
}
