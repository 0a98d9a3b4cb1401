#pragma once

#include "LoopbackPorts.h"
#include "SoapEnvelopes.h"

#include <condition_variable>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

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
