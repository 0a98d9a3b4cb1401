#pragma once

#include "LogCapture.h"
#include "transport/HsLog.h"
#include "transport/HsSoapClient.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

// What the server saw of one request.
struct RecordedRequest
{
    std::string method;
    std::string path;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

// A real HTTP server on a free loopback port, answering every POST the way a test tells it and
// recording what arrived.
class LoopbackServer
{
public:
    using Handler = std::function<void(const httplib::Request &, httplib::Response &)>;

    LoopbackServer()
    {
        m_server.Post(".*", [this](const httplib::Request &request, httplib::Response &response) {
            record(request);
            currentHandler()(request, response);
        });
        m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            record(request);
            response.status = 404;
        });
        // Connections stay open for as many calls as a test makes; the answer's head and body,
        // written separately, leave at once instead of waiting for the client's acknowledgement.
        m_server.set_keep_alive_max_count(1000);
        m_server.set_tcp_nodelay(true);
        // The socket listens once bound, so requests queue up even before the loop runs.
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // Stopping a server whose loop has not begun would leave the loop running for ever.
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    // A stopping server waits for the connections still open to it, so the calling thread's kept
    // connection is closed first.
    ~LoopbackServer()
    {
        HsSoapClient::closeConnectionsOfThisThread();
        releaseHeldAnswers();
        m_server.stop();
        m_thread.join();
    }

    std::string url() const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/school/services/schoolSvc";
    }
    int port() const { return m_port; }

    void answerWith(int status, std::string body, std::string contentType = "text/xml; charset=utf-8")
    {
        answerWith([=](const httplib::Request &, httplib::Response &response) {
            response.status = status;
            response.set_content(body, contentType);
        });
    }

    void answerWith(Handler handler)
    {
        std::lock_guard lock(m_mutex);
        m_handler = std::move(handler);
    }

    // Answers stay unanswered until released (or the server ends), to let a client time out.
    void holdAnswers()
    {
        answerWith([this](const httplib::Request &, httplib::Response &response) {
            std::unique_lock lock(m_mutex);
            m_released.wait_for(lock, std::chrono::minutes(2), [this] { return m_releaseAll; });
            response.set_content("<late/>", "text/xml");
        });
    }

    void releaseHeldAnswers()
    {
        {
            std::lock_guard lock(m_mutex);
            m_releaseAll = true;
        }
        m_released.notify_all();
    }

    std::vector<RecordedRequest> requests() const
    {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    static bool isConnectionDetail(const std::string &name)
    {
        return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
    }

    Handler currentHandler() const
    {
        std::lock_guard lock(m_mutex);
        return m_handler;
    }

    void record(const httplib::Request &request)
    {
        RecordedRequest recorded{request.method, request.path, request.body, {}};
        // The server library files the connection's addresses among the headers; they were not
        // sent.
        for (const auto &[name, value] : request.headers)
            if (!isConnectionDetail(name))
                recorded.headers.emplace_back(name, value);
        std::lock_guard lock(m_mutex);
        m_requests.push_back(std::move(recorded));
    }

    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_releaseAll = false;
    Handler m_handler = [](const httplib::Request &, httplib::Response &response) { response.status = 404; };
    std::vector<RecordedRequest> m_requests;
};

// A loopback port that refuses connections: bound, so no one else takes it, but not listening.
class RefusingPort
{
public:
    RefusingPort()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof(address));
        ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~RefusingPort() { ::close(m_socket); }
    std::string url() const
    {
        return "http://127.0.0.1:" + std::to_string(m_port) + "/school/services/schoolSvc";
    }

private:
    int m_socket = -1;
    int m_port = 0;
};

// Counts the notifications a client sends.
struct RecordingDelegate : HsSoapClientDelegate
{
    void didFinishDownloading(HsSoapClient &) override { ++finished; }
    void clientDidFailWithError(HsSoapClient &, const HsTransportError &error) override
    {
        ++failed;
        errorDescription = error.description;
    }
    int finished = 0;
    int failed = 0;
    std::string errorDescription;
};

inline const char *kTestNamespace = "http://school.test/schoolSvc";

// One call the way the operation makes it, against the given endpoint.
struct CallOutcome
{
    bool result = false;
    RecordingDelegate delegate;
    std::optional<std::string> returned;
    std::optional<std::string> info;
    bool foundResult = false;
};

inline CallOutcome callOnce(const std::string &url, const std::string &method,
                            const std::vector<std::string> &args, long timeoutSeconds = 60)
{
    CallOutcome outcome;
    HsSoapClient client;
    client.setDelegate(&outcome.delegate);
    client.setM_namespace(kTestNamespace);
    client.setTimeoutSeconds(timeoutSeconds);
    outcome.result = client.invokeMethodSyncPlus(url, method, args);
    outcome.returned = client.m_returnString();
    outcome.info = client.m_info();
    outcome.foundResult = client.foundResult();
    return outcome;
}

// A SOAP answer whose ns1:out holds the given (already escaped) text.
inline std::string answerHolding(const std::string &escapedResult)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
           "<ns1:getNewsResponse xmlns:ns1=\"http://school.test/schoolSvc\"><ns1:out>" +
           escapedResult + "</ns1:out></ns1:getNewsResponse></soap:Body></soap:Envelope>";
}
