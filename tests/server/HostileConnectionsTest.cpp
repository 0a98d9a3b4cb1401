// The service under connections that an attacker on the same network can open cheaply: slow
// senders, idle connections, many connections from one address, pipelined requests, requests
// that are not calls, and log lines with control characters. Each test stops by itself within
// seconds, on loopback only; attackers come from 127.0.0.x addresses other than the client's.
#include "ServerTestSupport.h"
#include "services/NewsService.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A plain TCP connection to the server from a chosen loopback address.
class RawConnection
{
public:
    RawConnection(const char *from, int port) : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in local{}, server{};
        local.sin_family = server.sin_family = AF_INET;
        server.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, from, &local.sin_addr);
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

    bool connected() const { return connected_; }
    void send(const std::string &bytes) const { ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

    // Whether the server closed the connection by `deadline`, and what it sent until then.
    std::pair<bool, std::string> receive(Clock::time_point deadline) const
    {
        std::string data;
        char buffer[65536];
        const auto left = [deadline] {
            return static_cast<int>(std::max<long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count(), 0));
        };
        for (pollfd ready{fd_, POLLIN, 0}; poll(&ready, 1, left()) > 0;) {
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0)
                return {true, data};
            data.append(buffer, static_cast<size_t>(n));
        }
        return {false, data};
    }
    std::string answer() const { return receive(Clock::now() + 5s).second; }

private:
    int fd_ = -1;
    bool connected_ = false;
};

// How many of `connections` the server has closed by `deadline`.
int closedBy(const std::vector<RawConnection> &connections, Clock::time_point deadline)
{
    int closed = 0;
    for (const RawConnection &connection : connections)
        closed += connection.receive(deadline).first ? 1 : 0;
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

// Whether a normal call through the client library is answered within three seconds.
bool answeredAtOnce()
{
    const auto start = Clock::now();
    const auto response = NewsService().GetNewsTypes();
    return response.answered && response.code == 0 && Clock::now() - start < 3s;
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
        port_ = std::stoi(server_->baseUrl().substr(server_->baseUrl().rfind(':') + 1));
    }

    std::unique_ptr<ServerProcess> server_;
    int port_ = 0;
};

// 64 peers drip a header line (or a body byte) every quarter second, and 240 more hold
// connections that send nothing. Calls from another address are answered at once all the while
// by two threads, and the drippers are closed when their exchange's time is up.
TEST_F(HostileConnectionsTest, SlowSendersAndIdleConnectionsHoldNoWorker)
{
    startServer({"--exchange-seconds", "3", "--threads", "2"});
    std::vector<RawConnection> drippers, idle;
    for (int i = 0; i < 64; ++i) {
        drippers.emplace_back("127.0.0.2", port_);
        ASSERT_TRUE(drippers.back().connected());
        const bool inBody = i % 2 == 1;
        drippers.back().send(std::string("POST ") + kServicePath + " HTTP/1.1\r\nHost: x\r\n" +
                             (inBody ? "Content-Type: text/xml\r\nContent-Length: 1000\r\n\r\n<" : ""));
    }
    const auto opened = Clock::now();
    for (int i = 0; i < 240; ++i)
        idle.emplace_back(("127.0.0." + std::to_string(10 + i / 60)).c_str(), port_);
    for (int round = 0; round < 8; ++round) {
        for (size_t i = 0; i < drippers.size(); ++i)
            drippers[i].send(i % 2 == 1 ? std::string("x") : "X-Drip-" + std::to_string(round) + ": 1\r\n");
        EXPECT_TRUE(answeredAtOnce()) << "round " << round;
        std::this_thread::sleep_for(250ms);
    }
    EXPECT_EQ(closedBy(drippers, opened + 6s), 64);
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
    EXPECT_EQ(closedBy(fromOneAddress, Clock::now() + 2s), 1);
    EXPECT_TRUE(answeredAtOnce());
}

// A web page can make a browser post a form or plain text anywhere without asking; neither is a
// call. Each is sent in one piece right behind a call: that call is answered first, and no body
// is read as a request line. Whatever a request carries, it cannot add a line of its own to the
// access log.
TEST_F(HostileConnectionsTest, OnlyXmlIsACallAnsweredInOrderAndLoggedEscaped)
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
        connection.send(postRequest(envelope("getResourceTypes"), "text/xml", false) +
                        postRequest(envelope("getNewsTypes"), contentType, true));
        const std::string answers = connection.answer();
        std::vector<std::string> statuses;
        for (size_t at = 0; (at = answers.find("HTTP/1.1 ", at)) != std::string::npos; at += 9)
            statuses.push_back(answers.substr(at + 9, 3));
        EXPECT_EQ(statuses, (std::vector<std::string>{"200", status}));
        const size_t news = answers.find("NewsType");
        EXPECT_LT(answers.find("getResourceTypesResponse"), news);
        EXPECT_EQ(news != std::string::npos, std::string(status) == "200");
    }
    const RawConnection connection("127.0.0.1", port_);
    connection.send(
        "GET /images/x%0AFORGED 200%0D%1b[2J%5C HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_NE(connection.answer().find(" 404 "), std::string::npos);
    server_->stop();
    const std::string log = readFile(server_->logPath());
    EXPECT_NE(log.find("GET /images/x\\x0aFORGED 200\\x0d\\x1b[2J\\\\ - 404"), std::string::npos) << log;
}

} // namespace
