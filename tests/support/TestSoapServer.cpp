#include "TestSoapServer.h"

#include "transport/HsSoapClient.h"

#include <chrono>
#include <stdexcept>

namespace {

// The server library files the connection's addresses among the headers; they were not sent.
bool isConnectionDetail(const std::string &name)
{
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT";
}

} // namespace

TestSoapServer::TestSoapServer()
{
    answerWithDocument("<Result><Code>0</Code><Error></Error></Result>");
    m_server.Post(".*", [this](const httplib::Request &request, httplib::Response &response) {
        record(request);
        Handler handler;
        {
            std::lock_guard lock(m_mutex);
            handler = m_handler;
        }
        handler(request, response);
    });
    m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
        record(request);
        response.status = 404;
    });
    // Connections stay open for as many calls as a test makes; the answer's head and body,
    // written separately, leave at once instead of waiting for the client's acknowledgement.
    m_server.set_keep_alive_max_count(1000);
    m_server.set_tcp_nodelay(true);
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("test server could not bind a loopback port");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // Stopping a server whose loop has not begun would leave the loop running for ever.
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// A stopping server waits for the connections still open to it, so the calling thread's kept
// connection is closed first.
TestSoapServer::~TestSoapServer()
{
    HsSoapClient::closeConnectionsOfThisThread();
    releaseHeldAnswers();
    m_server.stop();
    m_thread.join();
}

std::string TestSoapServer::url() const
{
    return loopbackUrl(m_port);
}

void TestSoapServer::answerWith(Handler handler)
{
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
}

void TestSoapServer::answerWith(int status, std::string body)
{
    answerWith([status, body](const httplib::Request &, httplib::Response &response) {
        response.status = status;
        response.set_content(body, "text/xml; charset=utf-8");
    });
}

void TestSoapServer::setResponder(Responder responder)
{
    answerWith([responder](const httplib::Request &request, httplib::Response &response) {
        const SoapReply reply = responder(readSentCall(request.body));
        response.status = reply.status;
        response.set_content(reply.body, "text/xml; charset=utf-8");
    });
}

void TestSoapServer::answerWithDocument(const std::string &resultDocument)
{
    setResponder([resultDocument](const SentCall &call) {
        return SoapReply{200, soapAnswer(call.method, resultDocument)};
    });
}

void TestSoapServer::holdAnswers()
{
    answerWith([this](const httplib::Request &, httplib::Response &response) {
        std::unique_lock lock(m_mutex);
        m_released.wait_for(lock, std::chrono::minutes(2), [this] { return m_releaseAll; });
        response.set_content("<late/>", "text/xml");
    });
}

void TestSoapServer::releaseHeldAnswers()
{
    {
        std::lock_guard lock(m_mutex);
        m_releaseAll = true;
    }
    m_released.notify_all();
}

std::vector<RecordedRequest> TestSoapServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

SentCall TestSoapServer::lastCall() const
{
    std::lock_guard lock(m_mutex);
    return m_requests.empty() ? SentCall{} : readSentCall(m_requests.back().body);
}

void TestSoapServer::record(const httplib::Request &request)
{
    RecordedRequest recorded{request.method, request.path, request.body, {}, request.remote_port};
    for (const auto &[name, value] : request.headers)
        if (!isConnectionDetail(name))
            recorded.headers.emplace_back(name, value);
    std::lock_guard lock(m_mutex);
    m_requests.push_back(std::move(recorded));
}
