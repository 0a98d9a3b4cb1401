#include "SchoolServer.h"

#include "Handlers.h"
#include "Schema.h"
#include "Seed.h"
#include "SoapMessage.h"
#include "Wsdl.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <sys/socket.h>

namespace {

constexpr size_t kMaxBodyBytes = 1024 * 1024;
// A kept-alive connection holds its worker while idle, up to the keep-alive time-out, so there are
// many more workers than clients expected to call at once.
constexpr size_t kWorkerThreads = 64;
// Connection attempts the kernel queues before the server accepts them. The HTTP library listens
// with a queue of 5; a burst of new connections beyond that is dropped and the client's system
// tries again only after a second.
constexpr int kListenBacklog = 1024;
constexpr size_t kKeepAliveCalls = 1000;
// An idle kept connection is closed after this long. Stopping the server waits for idle
// connections to reach it, so it is kept short; clients stop reusing a connection well before.
constexpr time_t kKeepAliveIdleSeconds = 3;
constexpr const char *kXmlType = "text/xml; charset=utf-8";

// What the access log line of the request on this thread reports.
struct RequestTrace
{
    std::chrono::steady_clock::time_point start;
    std::string operation;
    bool started = false;
};

thread_local RequestTrace trace;

void logRequest(const httplib::Request &req, const httplib::Response &res)
{
    double elapsedMs = 0;
    if (trace.started)
        elapsedMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - trace.start).count();
    const std::string operation = trace.operation.empty() ? "-" : trace.operation;
    std::fprintf(stderr, "%s %s %s %d %.1fms\n", req.method.c_str(), req.path.c_str(), operation.c_str(),
                 res.status, elapsedMs);
    trace = RequestTrace{};
}

SoapReply fault(int status, std::string_view code, std::string_view message, std::string operation = {})
{
    return SoapReply{status, soapFault(code, message), std::move(operation)};
}

bool carriesAccessKey(const SoapRequest &request)
{
    return request.arguments.size() >= 2 && request.arguments[0] == kAccessKeyFirst &&
           request.arguments[1] == kAccessKeySecond;
}

std::vector<std::string> ownArguments(const SoapRequest &request)
{
    if (request.arguments.size() <= 2)
        return {};
    return std::vector<std::string>(request.arguments.begin() + 2, request.arguments.end());
}

} // namespace

SchoolServer::SchoolServer(ServerOptions options) : options_(std::move(options)), pool_(options_.databasePath)
{
    prepareDatabase();
    installRoutes();
}

void SchoolServer::prepareDatabase()
{
    auto db = pool_.acquire();
    createSchema(*db);
    if (options_.seed || schoolIsMissing(*db))
        seedDemoSchool(*db);
}

void SchoolServer::installRoutes()
{
    http_.set_payload_max_length(kMaxBodyBytes);
    // Headers and body leave in separate writes; without this the body waits for the
    // client's delayed acknowledgement on a kept-alive connection.
    http_.set_tcp_nodelay(true);
    http_.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    http_.set_keep_alive_max_count(kKeepAliveCalls);
    http_.set_keep_alive_timeout(kKeepAliveIdleSeconds);
    // Remembers the listening socket (the library keeps it to itself) so that bind can enlarge its
    // queue; the library's own options (address reuse) still apply.
    http_.set_socket_options([this](socket_t socket) {
        httplib::default_socket_options(socket);
        listenSocket_ = socket;
    });
    if (!options_.quiet) {
        http_.set_pre_routing_handler([](const httplib::Request &, httplib::Response &) {
            trace.start = std::chrono::steady_clock::now();
            trace.started = true;
            return httplib::Server::HandlerResponse::Unhandled;
        });
        http_.set_logger(logRequest);
    }
    http_.set_mount_point("/images", options_.picturesDir);
    http_.Post(kServicePath, [this](const auto &req, auto &res) { answerSoap(req, res); });
    http_.Get(kServicePath, [this](const auto &req, auto &res) { answerWsdl(req, res); });
    http_.Get(R"(/images/uploads/(\d+)\.(png|jpg))",
              [this](const auto &req, auto &res) { answerUpload(req, res); });
}

int SchoolServer::bind()
{
    boundPort_ = options_.port == 0 ? http_.bind_to_any_port(options_.host)
                                    : (http_.bind_to_port(options_.host, options_.port) ? options_.port : -1);
    // Listening again on a listening socket only changes its queue length.
    if (boundPort_ > 0 && listenSocket_ != INVALID_SOCKET && ::listen(listenSocket_, kListenBacklog) != 0)
        std::fprintf(stderr, "could not enlarge the connection queue\n");
    return boundPort_;
}

bool SchoolServer::run()
{
    return http_.listen_after_bind();
}

void SchoolServer::stop()
{
    http_.stop();
}

std::string SchoolServer::baseUrlOf(const httplib::Request &req) const
{
    const std::string host = req.get_header_value("Host");
    if (!host.empty())
        return "http://" + host;
    return "http://" + options_.host + ":" + std::to_string(boundPort_);
}

SoapReply SchoolServer::dispatch(const std::string &body, const std::string &baseUrl,
                                 const std::string &peerAddress)
{
    SoapReading reading = readSoapRequest(body);
    if (!reading.request)
        return fault(500, "soap:Client", reading.problem);
    SoapRequest &request = *reading.request;
    if (request.namespaceUri.empty())
        request.namespaceUri = options_.serviceNamespace;
    const OperationSpec *op = findOperation(request.method);
    if (op == nullptr)
        return fault(500, "soap:Client", "unknown operation " + request.method, request.method);
    if (!carriesAccessKey(request))
        return SoapReply{200, soapResponse(request, refuse(refusal::kWrongAccessKey, "访问口令错误")),
                         request.method};
    try {
        auto db = pool_.acquire();
        const Arguments args(op->arguments, ownArguments(request));
        Call call{*db, args, baseUrl, peerAddress};
        return SoapReply{200, soapResponse(request, op->handler(call)), request.method};
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s failed: %s\n", request.method.c_str(), e.what());
        return fault(500, "soap:Server", "the service could not complete the call", request.method);
    }
}

void SchoolServer::answerSoap(const httplib::Request &req, httplib::Response &res)
{
    SoapReply reply = dispatch(req.body, baseUrlOf(req), req.remote_addr);
    trace.operation = reply.operation;
    res.status = reply.status;
    res.set_content(reply.body, kXmlType);
}

void SchoolServer::answerWsdl(const httplib::Request &req, httplib::Response &res)
{
    if (!req.has_param("wsdl") && !req.has_param("WSDL")) {
        res.status = 404;
        return;
    }
    trace.operation = "wsdl";
    res.set_content(describeService(options_.serviceNamespace, baseUrlOf(req) + kServicePath), kXmlType);
}

void SchoolServer::answerUpload(const httplib::Request &req, httplib::Response &res)
{
    const std::string number = req.matches[1].str();
    int64_t id = 0;
    if (std::from_chars(number.data(), number.data() + number.size(), id).ec != std::errc()) {
        res.status = 404;
        return;
    }
    auto db = pool_.acquire();
    Statement stmt = db->prepare("SELECT content_type, bytes FROM uploads WHERE id = ?");
    stmt.bindAll(id);
    const std::string extension = req.matches[2].str();
    if (!stmt.step() || stmt.text(0) != (extension == "png" ? "image/png" : "image/jpeg")) {
        res.status = 404;
        return;
    }
    const Blob bytes = stmt.blob(1);
    res.set_content(reinterpret_cast<const char *>(bytes.data()), bytes.size(), stmt.text(0).c_str());
}
