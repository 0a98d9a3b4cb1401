#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One blocking HTTP POST on the calling thread. Each thread keeps its own curl handles and a few
// idle connections for its later calls, and drives its transfer itself, waiting on the sockets
// and on a wake-up descriptor through which every call in flight can be abandoned at once.
class HsHttpExchange
{
public:
    // An answer body larger than this is abandoned while it arrives and counts as no answer.
    static constexpr size_t kMaxAnswerBytes = 32u << 20;

    // Posts `body` with `headers` and collects the answer body into `answer`. Returns the error
    // description, or nothing when an answer arrived (whatever its HTTP status). A request whose
    // connection was lost after it was sent is never sent a second time.
    static std::optional<std::string> post(const std::string &url, const std::string &body,
                                           const std::vector<std::string> &headers, long timeoutSeconds,
                                           std::string &answer);

    // See HsSoapClient::abandonCalls and closeConnectionsOfThisThread.
    static void abandonCalls(bool abandon);
    static bool callsAbandoned();
    static void closeConnectionsOfThisThread();
};
