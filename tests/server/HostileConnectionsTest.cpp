// The service under connections that an attacker on the same network can open cheaply: slow
// senders, idle connections, many connections from one address, pipelined requests, requests
// that are not calls, and log lines with control characters. Each test stops by itself within
// seconds, on loopback only; attackers come from 127.0.0.x addresses other than the client's.
#include "ServerProcess.h"
#include "ServerTestSupport.h"
#include "SoapEnvelopes.h"
#include "services/NewsService.h"
#include "transport/HsServiceConfig.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int portOf(const std::string &baseUrl)
{
    return std::stoi(baseUrl.substr(baseUrl.rfind(':') + 1));
}

// A plain TCP connection to the server from a chosen loopback address.
class RawConnection
{
public:
    RawConnection(const char *from, int port)
    {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from, &local.sin_addr);
        sockaddr_in server{};
        server.sin_family = AF_INET;
        server.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
        connected_ = fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr *>(&local), sizeof local) == 0 &&
                     connect(fd_, reinterpret_cast<sockaddr *>(&server), sizeof server) == 0;
    }
    ~RawConnection()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    RawConnection(RawConnection &&other) noexcept
        : fd_(std::exchange(other.fd_, -1)), connected_(other.connected_)
    {}
    RawConnection(const RawConnection &) = delete;
    RawConnection &operator=(const RawConnection &) = delete;

    bool connected() const { return connected_; }
    int descriptor() const { return fd_; }
    bool send(const std::string &bytes) const
    {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }

    // Everything the server sends until it closes the connection or `limit` passes.
    std::string readUntilClosed(std::chrono::milliseconds limit) const
    {
        std::string data;
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            pollfd ready{fd_, POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 1))) <= 0)
                break;
            char buffer[65536];
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                closedByServer_ = true;
                break;
            }
            data.append(buffer, static_cast<size_t>(n));
        }
        return data;
    }
    // Whether the server closed the connection within `limit`.
    bool closedWithin(std::chrono::milliseconds limit) const
    {
        readUntilClosed(limit);
        return closedByServer_;
    }

private:
    int fd_ = -1;
    bool connected_ = false;
    mutable bool closedByServer_ = false;
};

// How many of `connections` the server closes within `limit`, all watched at once.
int closedAmong(const std::vector<RawConnection> &connections, std::chrono::milliseconds limit)
{
    std::vector<pollfd> open;
    for (const auto &connection : connections)
        open.push_back({connection.descriptor(), POLLIN, 0});
    int closed = 0;
    const auto end = Clock::now() + limit;
    while (!open.empty() && Clock::now() < end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (poll(open.data(), open.size(), static_cast<int>(std::max<long>(left.count(), 1))) <= 0)
            break;
        for (auto it = open.begin(); it != open.end();) {
            char buffer[4096];
            if (it->revents != 0 && recv(it->fd, buffer, sizeof buffer, MSG_DONTWAIT) <= 0) {
                ++closed;
                it = open.erase(it);
            } else {
                it->revents = 0;
                ++it;
            }
        }
    }
    return closed;
}

std::string envelope(const std::string &method)
{
    return soapRequest(method, soapArguments(kAccessKeys));
}

std::string postRequest(const std::string &body, const std::string &contentType, bool lastOnConnection)
{
    std::string head = std::string("POST ") + kServicePath + " HTTP/1.1\r\nHost: test\r\n";
    if (!contentType.empty())
        head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    if (lastOnConnection)
        head += "Connection: close\r\n";
    return head + "\r\n" + body;
}

// A normal call through the client library, timed.
double secondsForANormalCall(bool &answered)
{
    const auto start = Clock::now();
    const auto response = NewsService().GetNewsTypes();
    answered = response.answered && response.code == 0;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string readFile(const std::string &path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {});
}

class HostileConnectionsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { std::signal(SIGPIPE, SIG_IGN); }
    // What a peer can hold is decided before any call reaches the store, so these run on sqlite only.
    void SetUp() override
    {
        if (TestDatabase::onPostgres())
            GTEST_SKIP() << "connection handling does not depend on the store";
    }

    void startServer(std::vector<std::string> options = {})
    {
        server_ = std::make_unique<ServerProcess>(std::string(), std::move(options));
        HsServiceConfig::setEndpoint(server_->endpoint());
        port_ = portOf(server_->baseUrl());
    }

    std::unique_ptr<ServerProcess> server_;
    int port_ = 0;
};

// 64 peers drip a header line (or a body byte) every quarter second. Calls from another address
// are answered at once all the while, and the drippers are closed when their exchange's time is up.
TEST_F(HostileConnectionsTest, SlowSendersHoldNoWorkerAndAreClosedAtTheirDeadline)
{
    startServer({"--exchange-seconds", "3", "--threads", "2"});
    std::vector<RawConnection> drippers;
    for (int i = 0; i < 64; ++i) {
        drippers.emplace_back("127.0.0.2", port_);
        ASSERT_TRUE(drippers.back().connected());
        const bool inBody = i % 2 == 1;
        drippers.back().send(std::string("POST ") + kServicePath + " HTTP/1.1\r\nHost: x\r\n" +
                             (inBody ? "Content-Type: text/xml\r\nContent-Length: 1000\r\n\r\n<" : ""));
    }
    const auto opened = Clock::now();
    for (int round = 0; round < 8; ++round) {
        for (size_t i = 0; i < drippers.size(); ++i)
            drippers[i].send(i % 2 == 1 ? std::string("x") : "X-Drip-" + std::to_string(round) + ": 1\r\n");
        bool answered = false;
        EXPECT_LT(secondsForANormalCall(answered), 3.0) << "round " << round;
        EXPECT_TRUE(answered) << "round " << round;
        std::this_thread::sleep_for(250ms);
    }
    int closed = 0;
    for (const RawConnection &dripper : drippers)
        closed += dripper.closedWithin(std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::max(Clock::duration(100ms), opened + 6s - Clock::now())))
                      ? 1
                      : 0;
    EXPECT_EQ(closed, 64);
}

// Hundreds of connections that send nothing cost no thread: a call still comes back at once.
TEST_F(HostileConnectionsTest, IdleConnectionsDoNotDelayCalls)
{
    startServer();
    std::vector<RawConnection> idle;
    for (int address = 10; address < 18; ++address) {
        const std::string from = "127.0.0." + std::to_string(address);
        for (int i = 0; i < 60; ++i)
            idle.emplace_back(from.c_str(), port_);
    }
    bool answered = false;
    EXPECT_LT(secondsForANormalCall(answered), 3.0);
    EXPECT_TRUE(answered);
}

// One address may hold only so many connections; another address is still served. The
// server's threads accept concurrently, so which of the nine is refused is not fixed: exactly
// one is.
TEST_F(HostileConnectionsTest, ConnectionsBeyondAnAddresssShareAreClosed)
{
    startServer({"--connections-per-address", "8"});
    std::vector<RawConnection> fromOneAddress;
    for (int i = 0; i < 9; ++i)
        fromOneAddress.emplace_back("127.0.0.3", port_);
    EXPECT_EQ(closedAmong(fromOneAddress, 2000ms), 1);
    bool answered = false;
    secondsForANormalCall(answered);
    EXPECT_TRUE(answered);
}

// Two calls sent in one piece get two answers, in order; a body is never read as a request line.
TEST_F(HostileConnectionsTest, PipelinedCallsAreAnsweredInOrder)
{
    startServer();
    const RawConnection connection("127.0.0.1", port_);
    connection.send(postRequest(envelope("getNewsTypes"), "text/xml", false) +
                    postRequest(envelope("getResourceTypes"), "text/xml", true));
    const std::string answers = connection.readUntilClosed(5000ms);
    const size_t first = answers.find("getNewsTypesResponse");
    const size_t second = answers.find("getResourceTypesResponse");
    ASSERT_NE(first, std::string::npos) << answers.substr(0, 300);
    ASSERT_NE(second, std::string::npos) << answers.substr(0, 300);
    EXPECT_LT(first, second);
    EXPECT_EQ(answers.find("HTTP/1.1 4"), std::string::npos);
    EXPECT_EQ(answers.find("HTTP/1.1 5"), std::string::npos);
}

// A web page can make a browser post a form or plain text anywhere without asking; neither is a call.
TEST_F(HostileConnectionsTest, OnlyXmlIsTakenAsACall)
{
    startServer();
    const std::pair<const char *, const char *> cases[] = {
        {"text/xml; charset=utf-8", "200"},
        {"application/soap+xml; charset=utf-8; action=\"urn:getNewsTypes\"", "200"},
        {"Text/XML ; charset=UTF-8", "200"},
        {"text/plain", "415"},
        {"application/x-www-form-urlencoded", "415"},
        {"multipart/form-data; boundary=x", "415"},
        {"text/xmlx", "415"},
        {"", "415"},
    };
    for (const auto &[contentType, status] : cases) {
        SCOPED_TRACE(contentType);
        const RawConnection connection("127.0.0.1", port_);
        connection.send(postRequest(envelope("getNewsTypes"), contentType, true));
        const std::string answer = connection.readUntilClosed(5000ms);
        EXPECT_EQ(answer.substr(0, 12), std::string("HTTP/1.1 ") + status);
        EXPECT_EQ(answer.find("NewsType") != std::string::npos, std::string(status) == "200");
    }
}

// Whatever a request carries, it cannot add a line of its own to the access log.
TEST_F(HostileConnectionsTest, LogLinesShowControlCharactersEscaped)
{
    startServer();
    const RawConnection connection("127.0.0.1", port_);
    connection.send(
        "GET /images/x%0AFORGED 200%0D%1b[2J%5C HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_NE(connection.readUntilClosed(5000ms).find(" 404 "), std::string::npos);
    server_->stop();
    const std::string log = readFile(server_->logPath());
    EXPECT_EQ(log.find("\nFORGED"), std::string::npos) << log;
    EXPECT_EQ(log.find('\r'), std::string::npos) << log;
    EXPECT_EQ(log.find('\x1b'), std::string::npos) << log;
    EXPECT_NE(log.find("GET /images/x\\x0aFORGED 200\\x0d\\x1b[2J\\\\ - 404"), std::string::npos) << log;
}

} // namespace
