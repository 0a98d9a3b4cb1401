#pragma once

#include "ExchangeDeadlines.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct MHD_Daemon;
struct MHD_Connection;

// What bounds the work and the memory one peer can make the service spend.
struct HttpLimits
{
    // Threads that read, answer and write; each holds any number of connections, so an idle or
    // slow connection costs a socket and a little memory, never a thread of its own.
    unsigned int threads = 8;
    unsigned int connections = 10000;
    unsigned int connectionsPerAddress = 64;
    // A connection that neither sends nor receives for this long is closed.
    unsigned int idleSeconds = 10;
    // A whole exchange (the request's head and body, then its answer) must be over this long after
    // the connection began waiting for it; a peer that sends a byte now and then is closed too.
    unsigned int exchangeSeconds = 30;
    size_t maxBodyBytes = 1024 * 1024;
};

// One request as the handler sees it: the whole body has arrived.
class HttpRequest
{
public:
    HttpRequest(MHD_Connection *connection, std::string_view method, std::string_view path,
                const std::string &body);

    std::string_view method() const { return method_; }
    // The path as sent, %-escapes decoded, without the query.
    std::string_view path() const { return path_; }
    const std::string &body() const { return body_; }
    std::optional<std::string_view> header(const char *name) const;
    // Whether the query names the key ("?wsdl" has the key "wsdl"), with or without a value.
    bool hasQueryKey(std::string_view key) const;
    std::string peerAddress() const;

private:
    MHD_Connection *connection_;
    std::string_view method_;
    std::string_view path_;
    const std::string &body_;
};

// An answer: a text, or a part of an open file that the answer then owns.
struct HttpReply
{
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    struct FilePart
    {
        int fd = -1;
        uint64_t offset = 0;
        uint64_t length = 0;
    };
    std::optional<FilePart> file;
    // What the access log names as the request's operation; empty for none.
    std::string operation;
};

using HttpHandler = std::function<HttpReply(const HttpRequest &)>;

// An HTTP/1.1 server over an event-driven library: a few threads each watch many connections,
// read whole requests, run the handler on them and write its answers. Keep-alive and pipelined
// requests are answered in order. Bodies above the limit get 413 without being read.
class HttpService
{
public:
    HttpService(HttpHandler handler, HttpLimits limits, bool accessLog);
    ~HttpService();
    HttpService(const HttpService &) = delete;
    HttpService &operator=(const HttpService &) = delete;

    // Binds the listening socket; answers the port actually bound (port 0 picks one), or -1.
    int bind(const std::string &host, int port);
    // Serves until stop() is called from another thread; false when serving could not start.
    bool run();
    // Ends run(); requests being answered are given a moment to finish.
    void stop();
    bool isRunning() const { return running_; }

private:
    friend struct HttpServiceCallbacks;
    struct Exchange;
    int refuseHugeBody(MHD_Connection *connection, Exchange &exchange);
    int receive(Exchange &exchange, const char *data, size_t *size);
    int respond(MHD_Connection *connection, Exchange &exchange);
    int queue(MHD_Connection *connection, Exchange &exchange);
    void logAccess(const Exchange &exchange) const;
    void sweepOverdueConnections();

    HttpHandler handler_;
    HttpLimits limits_;
    bool accessLog_;
    int listenSocket_ = -1;
    MHD_Daemon *daemon_ = nullptr;
    ExchangeDeadlines deadlines_;
    std::thread sweeper_;
    std::atomic<bool> running_{false};
    std::atomic<int> exchangesInFlight_{0};
    std::mutex stopMutex_;
    std::condition_variable stopped_;
    bool stopRequested_ = false;
};
