#pragma once

#include <condition_variable>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// What a client sent in one request: the SOAP method and the texts of in0, in1, ... in order.
struct SentCall
{
    std::string method;
    std::vector<std::string> arguments;
};

// Reads the envelope of one request; an unreadable body gives an empty method.
SentCall readSentCall(const std::string &envelope);

// A SOAP answer to the method whose response element holds the given XML as written.
std::string soapResponse(const std::string &method, const std::string &inner);
// The normal answer: the result document as escaped text inside ns1:out.
std::string soapAnswer(const std::string &method, const std::string &resultDocument);
// A SOAP 1.1 fault, as a server sends it for a request it cannot read.
std::string soapFault(const std::string &text);

struct SoapReply
{
    int status = 200;
    std::string body;
};

// What the server saw of one request.
struct RecordedRequest
{
    std::string method;
    std::string path;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    int clientPort = 0;
};

// A school service on a free loopback port for one test: records every request and answers each
// POST the way the test says (by default an empty successful result document). GETs get 404.
class TestSoapServer
{
public:
    using Handler = std::function<void(const httplib::Request &, httplib::Response &)>;
    using Responder = std::function<SoapReply(const SentCall &)>;

    TestSoapServer();
    ~TestSoapServer();
    TestSoapServer(const TestSoapServer &) = delete;
    TestSoapServer &operator=(const TestSoapServer &) = delete;

    std::string url() const;
    int port() const { return m_port; }

    void answerWith(Handler handler);
    void answerWith(int status, std::string body);
    void setResponder(Responder responder);
    // Answers every call with this result document inside a normal answer.
    void answerWithDocument(const std::string &resultDocument);
    // Answers stay unanswered until released (or the server ends), to let a client time out.
    void holdAnswers();
    void releaseHeldAnswers();

    std::vector<RecordedRequest> requests() const;
    SentCall lastCall() const;

private:
    void record(const httplib::Request &request);

    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_releaseAll = false;
    Handler m_handler;
    std::vector<RecordedRequest> m_requests;
};

// A TCP socket bound to a free loopback port, which it stores in port.
int boundLoopbackSocket(int &port);
// The service address at that port.
std::string loopbackUrl(int port);

// A loopback port that is bound but not listening: connecting to it is refused at once. The port
// stays reserved for as long as the object lives.
class ClosedPort
{
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort &) = delete;
    ClosedPort &operator=(const ClosedPort &) = delete;

    std::string url() const;

private:
    int m_port = 0;
    int m_socket;
};
