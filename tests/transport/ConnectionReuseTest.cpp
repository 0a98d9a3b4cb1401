#include "TransportTestSupport.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <poll.h>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

// Calls getNews with the given number as its argument; the answer's text when there is one.
std::optional<std::string> numberedCall(const std::string &url, int number,
                                        RecordingDelegate *delegate = nullptr)
{
    const CallOutcome outcome = callOnce(url, "getNews", {std::to_string(number)});
    if (delegate)
        *delegate = outcome.delegate;
    return outcome.result ? outcome.returned : std::nullopt;
}

// An HTTP/1.1 server written on plain sockets, so that a test decides exactly when a connection
// closes: after the answer, without a word ("Connection: close" would tell the client), or right
// after reading the request, without an answer. Connections are served one after the other; every
// request is recorded with the number of the connection that carried it.
class ScriptedServer
{
public:
    enum class Step
    {
        answer,
        answerAndClose,
        close
    };
    using Seen = std::pair<int, std::string>; // connection, call number

    explicit ScriptedServer(std::function<Step(int requestIndex)> script)
        : m_script(std::move(script)), m_listener(boundLoopbackSocket(m_port))
    {
        ::listen(m_listener, 16);
        m_thread = std::thread([this] { serve(); });
    }

    ~ScriptedServer()
    {
        HsSoapClient::closeConnectionsOfThisThread();
        m_stopping = true;
        m_thread.join();
        ::close(m_listener);
    }

    std::string url() const { return loopbackUrl(m_port); }

    std::vector<Seen> seen() const
    {
        std::lock_guard lock(m_mutex);
        return m_seen;
    }

    bool waitForClosedConnections(int count)
    {
        for (int waited = 0; m_closed < count && waited < 10'000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return m_closed >= count;
    }

private:
    bool readable(int socket) const
    {
        for (pollfd entry{socket, POLLIN, 0}; !m_stopping;)
            if (::poll(&entry, 1, 20) > 0)
                return true;
        return false;
    }

    // A request is whole once its envelope has ended; the client sends the next only when answered.
    void serve()
    {
        for (int connection = 0; readable(m_listener); ++connection) {
            const int socket = ::accept(m_listener, nullptr, nullptr);
            std::string received;
            char buffer[4096];
            for (ssize_t n; readable(socket) && (n = ::recv(socket, buffer, sizeof buffer, 0)) > 0;) {
                received.append(buffer, static_cast<size_t>(n));
                if (received.find("</soapenv:Envelope>") == std::string::npos)
                    continue;
                const auto arguments = readSentCall(received.substr(received.find("\r\n\r\n") + 4)).arguments;
                const std::string number = arguments.empty() ? "" : arguments.front();
                received.clear();
                Step step;
                {
                    std::lock_guard lock(m_mutex);
                    m_seen.emplace_back(connection, number);
                    step = m_script(static_cast<int>(m_seen.size()) - 1);
                }
                const std::string answer = answerHolding(number);
                const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " +
                                          std::to_string(answer.size()) + "\r\n\r\n" + answer;
                if (step != Step::close)
                    ::send(socket, reply.data(), reply.size(), MSG_NOSIGNAL);
                if (step != Step::answer)
                    break;
            }
            ::close(socket);
            ++m_closed;
        }
    }

    std::function<Step(int)> m_script;
    int m_port = 0;
    int m_listener;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<Seen> m_seen;
    std::atomic<int> m_closed{0};
};

// Answers every call with its own call number; counts the connections that carried the calls.
class EchoServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server.setResponder([](const SentCall &call) {
            return SoapReply{200, answerHolding(call.arguments.at(0))};
        });
    }

    size_t connectionsSeen() const
    {
        std::set<int> clientPorts;
        for (const RecordedRequest &request : server.requests())
            clientPorts.insert(request.clientPort);
        return clientPorts.size();
    }

    TestSoapServer server;
};

// Servers close idle connections after a few seconds; one left idle that long is not trusted with
// a call, since the server may be closing it just then. A reused connection carries exactly what a
// new one would.
TEST_F(EchoServerTest, CallsOfOneThreadShareOneConnectionUntilItIdlesForTwoSeconds)
{
    for (int number = 0; number < 50; ++number)
        ASSERT_EQ(numberedCall(server.url(), number), std::to_string(number));
    EXPECT_EQ(connectionsSeen(), 1u);
    const auto requests = server.requests();
    EXPECT_EQ(requests[7].headers, requests[0].headers);
    EXPECT_EQ(requests[7].body.size(), requests[0].body.size());

    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    ASSERT_EQ(numberedCall(server.url(), 50), "50");
    EXPECT_EQ(connectionsSeen(), 2u);
}

// One connection per thread, each closed when its thread ended.
TEST_F(EchoServerTest, CallsOnManyThreadsEachGetTheirOwnAnswer)
{
    constexpr int kThreads = 6, kCallsEach = 40;
    std::vector<int> mismatches(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int number = t * 1000; number < t * 1000 + kCallsEach; ++number)
                mismatches[t] += numberedCall(server.url(), number) != std::to_string(number);
        });
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(kThreads, 0));
    EXPECT_EQ(server.requests().size(), static_cast<size_t>(kThreads * kCallsEach));
    EXPECT_EQ(connectionsSeen(), static_cast<size_t>(kThreads));
}

TEST(ConnectionLoss, ConnectionsClosedByTheServerAreRedialledUnnoticed)
{
    ScriptedServer server([](int index) {
        return index % 3 == 2 ? ScriptedServer::Step::answerAndClose : ScriptedServer::Step::answer;
    });
    for (int number = 0; number < 9; ++number) {
        RecordingDelegate delegate;
        EXPECT_EQ(numberedCall(server.url(), number, &delegate), std::to_string(number));
        EXPECT_EQ(delegate.failed, 0) << delegate.errorDescription;
        ASSERT_TRUE(number % 3 != 2 || server.waitForClosedConnections(number / 3 + 1));
    }
    const auto seen = server.seen();
    ASSERT_EQ(seen.size(), 9u);
    for (size_t index = 0; index < seen.size(); ++index)
        EXPECT_EQ(seen[index], ScriptedServer::Seen(static_cast<int>(index / 3), std::to_string(index)));
}

// The first call is dropped on a new connection, the third on a connection the second one left
// open; the fourth needs a new connection again.
TEST(ConnectionLoss, RequestLostAfterSendingIsNoAnswerAndNeverSentTwice)
{
    ScriptedServer server([](int index) {
        return index == 0 || index == 2 ? ScriptedServer::Step::close : ScriptedServer::Step::answer;
    });
    LogCapture log;
    RecordingDelegate onNew, onReused;
    EXPECT_EQ(numberedCall(server.url(), 1, &onNew), std::nullopt);
    EXPECT_EQ(onNew.failed, 1);
    EXPECT_EQ(numberedCall(server.url(), 2), "2");
    EXPECT_EQ(numberedCall(server.url(), 3, &onReused), std::nullopt);
    EXPECT_EQ(onReused.failed, 1);
    EXPECT_EQ(onReused.finished, 0);
    EXPECT_NE(onReused.errorDescription.find("not sent again"), std::string::npos)
        << onReused.errorDescription;
    EXPECT_EQ(numberedCall(server.url(), 4), "4");

    const auto seen = server.seen();
    ASSERT_EQ(seen.size(), 4u);
    for (size_t index = 0; index < seen.size(); ++index)
        EXPECT_EQ(seen[index].second, std::to_string(index + 1));
    EXPECT_EQ(seen[1].first, seen[2].first);
    EXPECT_NE(seen[3].first, seen[2].first);
}

// Whatever ended the last call (a refused connection, a time-out, an oversized answer, an answer
// that is not XML), the thread's next call starts clean and is answered. A failure is told once,
// with a description that is also logged on its own line.
TEST(ConnectionLoss, EveryFailureLeavesTheThreadReadyForTheNextCall)
{
    TestSoapServer server;
    ClosedPort refusing;
    LogCapture log;
    const auto failedCall = [&server](int status, const std::string &body) {
        server.answerWith(status, body);
        return callOnce(server.url(), "getNews", {});
    };
    const std::function<CallOutcome()> failures[] = {
        [&] { return callOnce(refusing.url(), "getNews", {}); },
        [&] {
            server.holdAnswers();
            const CallOutcome timedOut = callOnce(server.url(), "getNews", {}, 1);
            server.releaseHeldAnswers();
            EXPECT_NE(timedOut.delegate.errorDescription.find("timed out"), std::string::npos);
            return timedOut;
        },
        [&] { return failedCall(200, std::string(HsSoapClient::kMaxAnswerBytes + 1, ' ')); },
        [&] { return failedCall(200, "not XML"); },
    };
    for (int number = 0; number < 4; ++number) {
        SCOPED_TRACE(number);
        const CallOutcome failed = failures[number]();
        EXPECT_FALSE(failed.result);
        EXPECT_FALSE(failed.returned.has_value());
        EXPECT_EQ(failed.delegate.failed + failed.delegate.finished, 1);
        if (failed.delegate.failed) {
            EXPECT_FALSE(failed.delegate.errorDescription.empty());
            EXPECT_TRUE(log.contains(failed.delegate.errorDescription));
        }
        server.answerWith(200, answerHolding(std::to_string(number)));
        EXPECT_EQ(numberedCall(server.url(), number), std::to_string(number));
    }
}

} // namespace
