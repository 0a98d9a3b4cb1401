#include "TestSoapServer.h"

#include "transport/HsSoapClient.h"

#include <arpa/inet.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr const char *servicePath = "/school/services/schoolSvc";

std::string escapeText(const std::string &text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

xmlNode *firstElementChild(xmlNode *node)
{
    for (xmlNode *child = node ? node->children : nullptr; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE)
            return child;
    return nullptr;
}

std::string contentOf(xmlNode *node)
{
    xmlChar *content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char *>(content) : "";
    xmlFree(content);
    return text;
}

std::string loopbackEndpoint(int port)
{
    return "http://127.0.0.1:" + std::to_string(port) + servicePath;
}

// The server's stop takes effect only once its accept loop runs; wait for that (or for the loop
// to have ended already) so that stopping never leaves the loop waiting for ever.
void stopWhenListening(httplib::Server &server, const std::atomic<bool> &listenEnded)
{
    while (!server.is_running() && !listenEnded)
        std::this_thread::yield();
    server.stop();
}

} // namespace

SentCall readSentCall(const std::string &envelope)
{
    SentCall call;
    xmlDoc *document = xmlReadMemory(envelope.data(), static_cast<int>(envelope.size()), nullptr, "UTF-8",
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!document)
        return call;
    xmlNode *operation = firstElementChild(firstElementChild(xmlDocGetRootElement(document)));
    if (operation) {
        call.method = reinterpret_cast<const char *>(operation->name);
        for (xmlNode *child = operation->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE)
                continue;
            call.argumentNames.emplace_back(reinterpret_cast<const char *>(child->name));
            call.arguments.push_back(contentOf(child));
        }
    }
    xmlFreeDoc(document);
    return call;
}

std::string soapAnswer(const std::string &method, const std::string &resultDocument)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
           "<ns1:" +
           method + "Response xmlns:ns1=\"urn:test\"><ns1:out>" + escapeText(resultDocument) +
           "</ns1:out></ns1:" + method + "Response></soap:Body></soap:Envelope>";
}

std::string soapFault(const std::string &text)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><soap:Fault>"
           "<faultcode>soap:Client</faultcode><faultstring>" +
           escapeText(text) + "</faultstring></soap:Fault></soap:Body></soap:Envelope>";
}

TestSoapServer::TestSoapServer()
{
    answerWithDocument("<Result><Code>0</Code><Error></Error></Result>");
    m_server.Post(servicePath, [this](const httplib::Request &request, httplib::Response &response) {
        const SoapReply answer = reply(request.body);
        response.status = answer.status;
        response.set_content(answer.body, "text/xml; charset=utf-8");
    });
    // The answer's head and body, written separately, leave at once on a kept connection instead
    // of waiting for the client's acknowledgement.
    m_server.set_tcp_nodelay(true);
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("test server could not bind a loopback port");
    m_thread = std::thread([this] {
        m_server.listen_after_bind();
        m_listenEnded = true;
    });
}

// A stopping server waits for the connections still open to it; the calling thread's kept
// connection is closed first so that the test does not wait for the server to give up on it.
TestSoapServer::~TestSoapServer()
{
    HsSoapClient::closeConnectionsOfThisThread();
    stopWhenListening(m_server, m_listenEnded);
    m_thread.join();
}

std::string TestSoapServer::endpoint() const
{
    return loopbackEndpoint(m_port);
}

void TestSoapServer::setResponder(Responder responder)
{
    std::lock_guard lock(m_mutex);
    m_responder = std::move(responder);
}

void TestSoapServer::answerWithDocument(const std::string &resultDocument)
{
    setResponder([resultDocument](const SentCall &call) {
        return SoapReply{200, soapAnswer(call.method, resultDocument)};
    });
}

std::vector<std::string> TestSoapServer::requestBodies() const
{
    std::lock_guard lock(m_mutex);
    return m_bodies;
}

SentCall TestSoapServer::lastCall() const
{
    std::lock_guard lock(m_mutex);
    return m_bodies.empty() ? SentCall{} : readSentCall(m_bodies.back());
}

SoapReply TestSoapServer::reply(const std::string &body)
{
    Responder responder;
    {
        std::lock_guard lock(m_mutex);
        m_bodies.push_back(body);
        responder = m_responder;
    }
    return responder(readSentCall(body));
}

ClosedPort::ClosedPort()
{
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        throw std::runtime_error("could not reserve a loopback port");
    m_port = ntohs(address.sin_port);
}

ClosedPort::~ClosedPort()
{
    ::close(m_socket);
}

std::string ClosedPort::endpoint() const
{
    return loopbackEndpoint(m_port);
}
