#pragma once

#include <atomic>
#include <functional>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What a client sent in one request: the SOAP method and the texts of in0, in1, ... in order.
struct SentCall
{
    std::string method;
    std::vector<std::string> arguments;
    // Element names of the arguments as they came, to check their numbering.
    std::vector<std::string> argumentNames;
};

// Reads the envelope of one request; an unreadable body gives an empty method.
SentCall readSentCall(const std::string &envelope);

// The SOAP answer that carries a result document as escaped text inside ns1:out.
std::string soapAnswer(const std::string &method, const std::string &resultDocument);

// A SOAP 1.1 fault, as a server sends it for a request it cannot read.
std::string soapFault(const std::string &text);

struct SoapReply
{
    int status = 200;
    std::string body;
};

// A school service on a free loopback port for one test: records every request body and answers
// each with whatever the test's responder returns.
class TestSoapServer
{
public:
    using Responder = std::function<SoapReply(const SentCall &)>;

    TestSoapServer();
    ~TestSoapServer();
    TestSoapServer(const TestSoapServer &) = delete;
    TestSoapServer &operator=(const TestSoapServer &) = delete;

    std::string endpoint() const;
    void setResponder(Responder responder);
    // Answers every call with this result document inside a normal answer.
    void answerWithDocument(const std::string &resultDocument);

    std::vector<std::string> requestBodies() const;
    SentCall lastCall() const;

private:
    SoapReply reply(const std::string &body);

    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_listenEnded{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_bodies;
    Responder m_responder;
};

// A loopback port that is bound but not listening: connecting to it is refused at once. The port
// stays reserved for as long as the object lives.
class ClosedPort
{
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort &) = delete;
    ClosedPort &operator=(const ClosedPort &) = delete;

    std::string endpoint() const;

private:
    int m_socket = -1;
    int m_port = 0;
};
