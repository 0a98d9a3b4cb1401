// What a whole service call is measured against: a bare libcurl POST of the same envelope, and
// the minimal client (a blocking socket that sends the same request bytes and reads the answer to
// its end, then two libxml2 SAX passes, one gathering the ns1:out text and one doing nothing).

#pragma once

#include <arpa/inet.h>
#include <cstring>
#include <curl/curl.h>
#include <libxml/parser.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

inline size_t collectBody(char *data, size_t size, size_t count, void *target)
{
    static_cast<std::string *>(target)->append(data, size * count);
    return size * count;
}

// An easy handle that posts the envelope with the headers the service call sends and collects
// the answer into the given string.
class PostHandle
{
public:
    PostHandle(const std::string &url, const std::string &envelope, std::string &answer)
        : m_curl(curl_easy_init())
    {
        m_headers = curl_slist_append(
            m_headers, "Content-Type: application/soap+xml; charset=utf-8; action=\"urn:getNews\"");
        m_headers = curl_slist_append(m_headers, "Expect:");
        m_headers = curl_slist_append(m_headers, "Accept:");
        curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(m_curl, CURLOPT_HTTPHEADER, m_headers);
        curl_easy_setopt(m_curl, CURLOPT_POSTFIELDS, envelope.data());
        curl_easy_setopt(m_curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(envelope.size()));
        curl_easy_setopt(m_curl, CURLOPT_TIMEOUT, 60L);
        curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(m_curl, CURLOPT_TCP_NODELAY, 0L);
        curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, collectBody);
        curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &answer);
    }

    ~PostHandle()
    {
        curl_easy_cleanup(m_curl);
        curl_slist_free_all(m_headers);
    }

    PostHandle(const PostHandle &) = delete;
    PostHandle &operator=(const PostHandle &) = delete;

    void perform() { curl_easy_perform(m_curl); }

private:
    CURL *m_curl;
    curl_slist *m_headers = nullptr;
};

// The same exchange the service makes, with nothing around it: one easy handle per call, the
// same headers and body, the answer collected into a string.
inline std::string barePost(const std::string &url, const std::string &envelope)
{
    std::string body;
    PostHandle(url, envelope, body).perform();
    return body;
}

inline void ignoreStart(void *, const xmlChar *, const xmlChar **) {}
inline void ignoreEnd(void *, const xmlChar *) {}
inline void ignoreText(void *, const xmlChar *, int) {}

// A reader pass with the same kind of handlers the client uses, each doing nothing.
inline void emptyRead(const std::string &xml)
{
    xmlSAXHandler handler{};
    handler.startElement = ignoreStart;
    handler.endElement = ignoreEnd;
    handler.characters = ignoreText;
    xmlSAXUserParseMemory(&handler, nullptr, xml.data(), static_cast<int>(xml.size()));
}

// ---- the minimal client ----

struct Endpoint
{
    int port = 0;
    std::string path;
};

inline Endpoint parseLoopbackUrl(const std::string &url)
{
    // "http://127.0.0.1:PORT/PATH"
    const size_t portStart = url.find(':', 7) + 1;
    const size_t pathStart = url.find('/', portStart);
    return {std::stoi(url.substr(portStart, pathStart - portStart)), url.substr(pathStart)};
}

// The request bytes the service call sends, head and envelope.
inline std::string requestBytes(const Endpoint &endpoint, const std::string &envelope)
{
    return "POST " + endpoint.path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(endpoint.port) +
           "\r\nContent-Type: application/soap+xml; charset=utf-8; "
           "action=\"urn:getNews\"\r\nContent-Length: " +
           std::to_string(envelope.size()) + "\r\n\r\n" + envelope;
}

// Connects, sends, reads until the announced body is complete or the server closes, and closes.
// Returns the body, empty on any failure.
inline std::string minimalExchange(const sockaddr_in &address, const std::string &request)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    std::string received;
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 &&
        ::send(socket, request.data(), request.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(request.size())) {
        char buffer[16384];
        size_t bodyStart = std::string::npos;
        size_t wanted = std::string::npos;
        while (true) {
            const ssize_t count = ::recv(socket, buffer, sizeof buffer, 0);
            if (count <= 0)
                break;
            received.append(buffer, static_cast<size_t>(count));
            if (bodyStart == std::string::npos &&
                (bodyStart = received.find("\r\n\r\n")) != std::string::npos) {
                bodyStart += 4;
                const size_t length = received.find("Content-Length: ");
                if (length != std::string::npos && length < bodyStart)
                    wanted = bodyStart + std::stoul(received.substr(length + 16));
            }
            if (wanted != std::string::npos && received.size() >= wanted)
                break;
        }
        ::close(socket);
        return bodyStart == std::string::npos ? std::string() : received.substr(bodyStart);
    }
    ::close(socket);
    return {};
}

struct ResultGathering
{
    std::string document;
    bool inside = false;
};

inline void gatherStart(void *context, const xmlChar *name, const xmlChar **)
{
    if (std::strcmp(reinterpret_cast<const char *>(name), "ns1:out") == 0)
        static_cast<ResultGathering *>(context)->inside = true;
}

inline void gatherEnd(void *context, const xmlChar *name)
{
    if (std::strcmp(reinterpret_cast<const char *>(name), "ns1:out") == 0)
        static_cast<ResultGathering *>(context)->inside = false;
}

inline void gatherText(void *context, const xmlChar *text, int length)
{
    auto *gathering = static_cast<ResultGathering *>(context);
    if (gathering->inside)
        gathering->document.append(reinterpret_cast<const char *>(text), static_cast<size_t>(length));
}

// The result document's text as the answer carries it in ns1:out.
inline std::string resultDocumentOf(const std::string &answer)
{
    xmlSAXHandler handler{};
    handler.startElement = gatherStart;
    handler.endElement = gatherEnd;
    handler.characters = gatherText;
    ResultGathering gathering;
    xmlSAXUserParseMemory(&handler, &gathering, answer.data(), static_cast<int>(answer.size()));
    return gathering.document;
}

// The minimal client's two reader passes over an answer: the ns1:out text gathered, then the
// result document read with handlers that do nothing. False when the answer held no news items.
inline bool readAsTheMinimalClient(const std::string &answer)
{
    const std::string document = resultDocumentOf(answer);
    if (document.find("<News>") == std::string::npos)
        return false;
    emptyRead(document);
    return true;
}
