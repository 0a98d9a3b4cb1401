#include "HttpService.h"

#include "LogText.h"

#include <algorithm>
#include <arpa/inet.h>
#include <charconv>
#include <cstdio>
#include <microhttpd.h>
#include <netdb.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Connection attempts the kernel queues before the server takes them.
constexpr int kListenBacklog = 1024;
// How often connections past their deadline are looked for.
constexpr auto kSweepInterval = std::chrono::milliseconds(250);
// How long stopping waits for the answers being made.
constexpr auto kStopGrace = std::chrono::seconds(2);
// Sockets the process keeps for itself (database, log, listening socket) beside its connections.
constexpr rlim_t kReservedDescriptors = 64;
// A body over the limit is read and dropped up to this size before it is refused; past it the
// connection is closed.
constexpr uint64_t kDrainedBytes = 8 * 1024 * 1024;
// Memory for one connection's request head and the buffers of its answer. Heads are well under
// a kilobyte; a larger pool is mapped and unmapped for every connection, which made new
// connections cost three times as much in the load benchmark (bench_server_load).
constexpr size_t kConnectionMemory = 16 * 1024;

// Raises the process's limit of open files to what the system allows, and answers how many
// connections fit under it.
unsigned int connectionsTheSystemAllows(unsigned int wanted)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return wanted;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur <= kReservedDescriptors)
        return wanted;
    return static_cast<unsigned int>(std::min<rlim_t>(wanted, limit.rlim_cur - kReservedDescriptors));
}

int listeningSocket(const std::string &host, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return -1;
    int fd = -1;
    for (const addrinfo *at = found; at != nullptr && fd < 0; at = at->ai_next) {
        fd = socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC, at->ai_protocol);
        if (fd < 0)
            continue;
        const int yes = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, at->ai_addr, at->ai_addrlen) != 0 || listen(fd, kListenBacklog) != 0) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    return fd;
}

int boundPort(int fd)
{
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        return -1;
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6 &>(address).sin6_port);
    return ntohs(reinterpret_cast<const sockaddr_in &>(address).sin_port);
}

std::optional<uint64_t> declaredLength(MHD_Connection *connection)
{
    const char *value =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    if (value == nullptr)
        return std::nullopt;
    uint64_t length = 0;
    const std::string_view text(value);
    if (std::from_chars(text.data(), text.data() + text.size(), length).ec != std::errc())
        return std::nullopt;
    return length;
}

HttpReply tooLarge()
{
    return HttpReply{413, "text/plain; charset=utf-8", "request body too large\n", {}, {}, {}};
}

MHD_Response *responseFor(HttpReply &reply)
{
    MHD_Response *response = nullptr;
    if (reply.file) {
        response =
            MHD_create_response_from_fd_at_offset64(reply.file->length, reply.file->fd, reply.file->offset);
        if (response != nullptr)
            reply.file.reset(); // the response closes it
    } else {
        // The body lives in the exchange, which outlasts the response's sending.
        response =
            MHD_create_response_from_buffer(reply.body.size(), reply.body.data(), MHD_RESPMEM_PERSISTENT);
    }
    if (response == nullptr)
        return nullptr;
    if (!reply.contentType.empty())
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    for (const auto &[name, value] : reply.headers)
        MHD_add_response_header(response, name.c_str(), value.c_str());
    return response;
}

} // namespace

// One request from its first byte to the end of its answer.
struct HttpService::Exchange
{
    Clock::time_point start = Clock::now();
    std::string method;
    std::string path;
    std::string body;
    HttpReply reply;
    bool answered = false;
    // The body passed the limit: what follows is dropped, and the answer is 413.
    bool overLimit = false;
    uint64_t dropped = 0;

    ~Exchange()
    {
        if (reply.file)
            close(reply.file->fd);
    }
};

// The library's callbacks, with the exact signatures it calls.
struct HttpServiceCallbacks
{
    static MHD_Result answer(void *self, MHD_Connection *connection, const char *url, const char *method,
                             const char *, const char *uploadData, size_t *uploadSize, void **context)
    {
        auto &service = *static_cast<HttpService *>(self);
        // The first call comes with the head alone; the body (if any) follows, then a last call.
        if (*context == nullptr) {
            auto *exchange = new HttpService::Exchange;
            exchange->method = method;
            exchange->path = url;
            *context = exchange;
            ++service.exchangesInFlight_;
            return static_cast<MHD_Result>(service.refuseHugeBody(connection, *exchange));
        }
        auto &exchange = *static_cast<HttpService::Exchange *>(*context);
        if (exchange.answered)
            return MHD_YES;
        return static_cast<MHD_Result>(*uploadSize != 0 ? service.receive(exchange, uploadData, uploadSize)
                                                        : service.respond(connection, exchange));
    }

    static void completed(void *self, MHD_Connection *connection, void **context, MHD_RequestTerminationCode)
    {
        auto &service = *static_cast<HttpService *>(self);
        service.deadlines_.renewed(connection);
        auto *exchange = static_cast<HttpService::Exchange *>(*context);
        if (exchange == nullptr)
            return;
        if (exchange->answered && service.accessLog_)
            service.logAccess(*exchange);
        delete exchange;
        *context = nullptr;
        --service.exchangesInFlight_;
    }

    static void connectionEvent(void *self, MHD_Connection *connection, void **,
                                MHD_ConnectionNotificationCode event)
    {
        auto &service = *static_cast<HttpService *>(self);
        if (event == MHD_CONNECTION_NOTIFY_CLOSED) {
            service.deadlines_.closed(connection);
            return;
        }
        const MHD_ConnectionInfo *info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        if (info != nullptr)
            service.deadlines_.opened(connection, info->connect_fd);
    }
};

HttpRequest::HttpRequest(MHD_Connection *connection, std::string_view method, std::string_view path,
                         const std::string &body)
    : connection_(connection), method_(method), path_(path), body_(body)
{}

std::optional<std::string_view> HttpRequest::header(const char *name) const
{
    const char *value = MHD_lookup_connection_value(connection_, MHD_HEADER_KIND, name);
    if (value == nullptr)
        return std::nullopt;
    return std::string_view(value);
}

bool HttpRequest::hasQueryKey(std::string_view key) const
{
    const char *value = nullptr;
    size_t size = 0;
    return MHD_lookup_connection_value_n(connection_, MHD_GET_ARGUMENT_KIND, key.data(), key.size(), &value,
                                         &size) == MHD_YES;
}

std::string HttpRequest::peerAddress() const
{
    const MHD_ConnectionInfo *info = MHD_get_connection_info(connection_, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr)
        return {};
    char text[INET6_ADDRSTRLEN] = {};
    const sockaddr *address = info->client_addr;
    if (address->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in *>(address)->sin_addr, text, sizeof text);
    else if (address->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6 *>(address)->sin6_addr, text, sizeof text);
    return text;
}

HttpService::HttpService(HttpHandler handler, HttpLimits limits, bool accessLog)
    : handler_(std::move(handler)), limits_(limits), accessLog_(accessLog),
      deadlines_(std::chrono::seconds(limits.exchangeSeconds))
{}

HttpService::~HttpService()
{
    stop();
    if (sweeper_.joinable())
        sweeper_.join();
    if (daemon_ != nullptr)
        MHD_stop_daemon(daemon_);
    if (listenSocket_ >= 0 && daemon_ == nullptr)
        close(listenSocket_);
}

int HttpService::bind(const std::string &host, int port)
{
    listenSocket_ = listeningSocket(host, port);
    return listenSocket_ < 0 ? -1 : boundPort(listenSocket_);
}

bool HttpService::run()
{
    if (listenSocket_ < 0)
        return false;
    daemon_ =
        MHD_start_daemon(MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ITC, 0, nullptr, nullptr,
                         &HttpServiceCallbacks::answer, this, MHD_OPTION_LISTEN_SOCKET, listenSocket_,
                         MHD_OPTION_THREAD_POOL_SIZE, limits_.threads, MHD_OPTION_CONNECTION_LIMIT,
                         connectionsTheSystemAllows(limits_.connections), MHD_OPTION_PER_IP_CONNECTION_LIMIT,
                         limits_.connectionsPerAddress, MHD_OPTION_CONNECTION_TIMEOUT, limits_.idleSeconds,
                         MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory, MHD_OPTION_NOTIFY_COMPLETED,
                         &HttpServiceCallbacks::completed, this, MHD_OPTION_NOTIFY_CONNECTION,
                         &HttpServiceCallbacks::connectionEvent, this, MHD_OPTION_END);
    if (daemon_ == nullptr)
        return false;
    running_ = true;
    sweeper_ = std::thread([this] { sweepOverdueConnections(); });
    {
        std::unique_lock lock(stopMutex_);
        stopped_.wait(lock, [this] { return stopRequested_; });
    }
    // New connections are no longer taken; the answers being made get a moment to go out.
    const int quiet = MHD_quiesce_daemon(daemon_);
    const auto giveUp = Clock::now() + kStopGrace;
    while (exchangesInFlight_ > 0 && Clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    sweeper_.join();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
    if (quiet >= 0)
        close(quiet);
    listenSocket_ = -1;
    running_ = false;
    return true;
}

void HttpService::stop()
{
    const std::lock_guard lock(stopMutex_);
    stopRequested_ = true;
    stopped_.notify_all();
}

void HttpService::sweepOverdueConnections()
{
    std::unique_lock lock(stopMutex_);
    while (!stopped_.wait_for(lock, kSweepInterval, [this] { return stopRequested_; }))
        deadlines_.shutDownOverdue(Clock::now());
}

// A body declared far larger than the limit is refused before a byte of it is read. One a
// little larger is read and dropped before the refusal, so that the client, still sending, does not
// lose the answer to a reset connection.
int HttpService::refuseHugeBody(MHD_Connection *connection, Exchange &exchange)
{
    const auto length = declaredLength(connection);
    if (!length || *length <= kDrainedBytes)
        return MHD_YES;
    exchange.reply = tooLarge();
    return queue(connection, exchange);
}

int HttpService::receive(Exchange &exchange, const char *data, size_t *size)
{
    if (!exchange.overLimit && exchange.body.size() + *size <= limits_.maxBodyBytes) {
        exchange.body.append(data, *size);
    } else {
        exchange.overLimit = true;
        exchange.dropped += *size;
        std::string().swap(exchange.body);
        if (exchange.dropped > kDrainedBytes)
            return MHD_NO;
    }
    *size = 0;
    return MHD_YES;
}

int HttpService::respond(MHD_Connection *connection, Exchange &exchange)
{
    if (exchange.overLimit) {
        exchange.reply = tooLarge();
        return queue(connection, exchange);
    }
    try {
        exchange.reply = handler_(HttpRequest(connection, exchange.method, exchange.path, exchange.body));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s failed: %s\n", printableForLog(exchange.path).c_str(),
                     printableForLog(e.what()).c_str());
        exchange.reply =
            HttpReply{500, "text/plain; charset=utf-8", "the service could not answer\n", {}, {}, {}};
    }
    std::string().swap(exchange.body);
    return queue(connection, exchange);
}

int HttpService::queue(MHD_Connection *connection, Exchange &exchange)
{
    exchange.answered = true;
    MHD_Response *response = responseFor(exchange.reply);
    if (response == nullptr)
        return MHD_NO;
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned int>(exchange.reply.status), response);
    MHD_destroy_response(response);
    return queued;
}

void HttpService::logAccess(const Exchange &exchange) const
{
    const double elapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - exchange.start).count();
    const std::string &operation = exchange.reply.operation;
    std::fprintf(stderr, "%s %s %s %d %.1fms\n", printableForLog(exchange.method).c_str(),
                 printableForLog(exchange.path).c_str(),
                 operation.empty() ? "-" : printableForLog(operation).c_str(), exchange.reply.status,
                 elapsedMs);
}
