// A whole GetNews call (envelope, HTTP exchange, answer reading, result parsing) against two
// floors over the same loopback server:
// - "BM_MinimalClient": the least any client of this protocol can do. A blocking socket connects,
//   sends the same request bytes as the call, reads the answer to its end and closes; then one
//   libxml2 SAX pass whose handlers only gather the ns1:out text reads the answer, and one whose
//   handlers do nothing reads the result document. One connection per call.
// - "BM_BarePost": a bare libcurl POST of the same envelope, a new handle per call.
// - "BM_LibcurlFloor": the least a client that leaves HTTP to libcurl can do: one easy handle
//   kept from call to call, the same request, and the minimal client's two reader passes.
//
// Two servers are measured:
// - "canned_server": an in-process server that answers every POST at once with the same 20-item
//   answer held in memory and closes the connection. It makes the client's share as large as it
//   can be, and every call needs a new connection.
// - "reference_service": hsschool-server with its demo school, started on a free port for this
//   program, as the application meets it. It keeps connections open, so the call reuses its
//   thread's connection. "BM_GetNewsCallNewConnection" lets the thread's curl handles go after
//   every call, so that each call is a thread's first: a new transfer set, a new handle and a new
//   connection. On equal terms with the minimal client (a new connection per call, handles
//   kept) the call is measured against the canned server.
// After the runs, the ratios of the medians are printed. Use for example
// --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true on a quiet machine.

#include "CallFloors.h"
#include "ServerProcess.h"
#include "services/NewsService.h"
#include "transport/HsServiceConfig.h"
#include "transport/HsSoapClient.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <curl/curl.h>
#include <httplib.h>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char *servicePath = "/school/services/schoolSvc";

std::string escapeText(const std::string &text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else if (c == '&')
            escaped += "&amp;";
        else
            escaped += c;
    }
    return escaped;
}

std::string twentyNewsDocument()
{
    std::string document = "<Result><Code>0</Code><Error></Error>";
    for (int index = 1; index <= 20; ++index)
        document += "<News><NewsId>" + std::to_string(index) + "</NewsId><NewsTitle>关于第" +
                    std::to_string(index) + "周家长会的通知</NewsTitle><ForceReturn>" +
                    std::to_string(index % 2) + "</ForceReturn><PublicDate>2013-09-" +
                    std::to_string(10 + index) + "</PublicDate></News>";
    return document + "</Result>";
}

std::string newsAnswer(const std::string &document)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
           "<ns1:getNewsResponse xmlns:ns1=\"" +
           HsServiceConfig::namespaceUri() + "\"><ns1:out>" + escapeText(document) +
           "</ns1:out></ns1:getNewsResponse></soap:Body></soap:Envelope>";
}

// The server's stop takes effect only once its accept loop runs; wait for that (or for the loop
// to have ended already) so that stopping never leaves the loop waiting for ever.
void stopWhenListening(httplib::Server &server, const std::atomic<bool> &listenEnded)
{
    while (!server.is_running() && !listenEnded)
        std::this_thread::yield();
    server.stop();
}

// Answers every POST with the 20-item answer and closes the connection itself, so that the
// closed connections wait out their time on the server's side: the tens of thousands of
// connections a run makes would otherwise use up the client's local ports, and every new
// connection would then have to hunt for a free one.
class CannedServer
{
public:
    CannedServer() : m_document(twentyNewsDocument()), m_answer(newsAnswer(m_document))
    {
        m_server.Post(servicePath, [this](const httplib::Request &, httplib::Response &response) {
            response.set_header("Connection", "close");
            response.set_content(m_answer, "text/xml; charset=utf-8");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            throw std::runtime_error("no loopback port for the benchmark server");
        m_thread = std::thread([this] {
            m_server.listen_after_bind();
            m_listenEnded = true;
        });
    }

    ~CannedServer()
    {
        stopWhenListening(m_server, m_listenEnded);
        m_thread.join();
    }

    std::string endpoint() const { return "http://127.0.0.1:" + std::to_string(m_port) + servicePath; }
    const std::string &document() const { return m_document; }

private:
    std::string m_document;
    std::string m_answer;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_listenEnded{false};
};

enum class Server
{
    canned,
    reference
};

// Each server starts when a benchmark first needs it and lives until the program ends.
CannedServer &cannedServer()
{
    static CannedServer server;
    return server;
}

std::string endpointOf(Server server)
{
    if (server == Server::canned)
        return cannedServer().endpoint();
    static ServerProcess referenceService;
    return referenceService.endpoint();
}

// The demo school's news category, the same one the call below asks for.
const std::vector<std::string> newsArguments{"qovel", "zantre", "330106001", "1", "xxtz", "1", "20"};

std::string newsEnvelope()
{
    HsSoapClient client;
    client.setM_namespace(HsServiceConfig::namespaceUri());
    return client.getSoapRequestForMethod("getNews", newsArguments);
}

void BM_LibcurlFloor(benchmark::State &state, Server server)
{
    const std::string url = endpointOf(server);
    const std::string envelope = newsEnvelope();
    std::string answer;
    PostHandle post(url, envelope, answer);
    for (auto _ : state) {
        answer.clear();
        post.perform();
        if (!readAsTheMinimalClient(answer)) {
            state.SkipWithError("the libcurl floor got no news items");
            break;
        }
    }
}

void BM_MinimalClient(benchmark::State &state, Server server)
{
    const Endpoint endpoint = parseLoopbackUrl(endpointOf(server));
    const std::string request = requestBytes(endpoint, newsEnvelope());
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(endpoint.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (auto _ : state) {
        if (!readAsTheMinimalClient(minimalExchange(address, request))) {
            state.SkipWithError("the minimal client got no news items");
            break;
        }
    }
}

void BM_GetNewsCall(benchmark::State &state, Server server)
{
    HsServiceConfig::setEndpoint(endpointOf(server));
    for (auto _ : state) {
        const NewsServiceResponse<NewsItem> response = NewsService().GetNews("330106001", 1, "xxtz", 1);
        if (response.items.empty()) {
            state.SkipWithError("the call brought back no news items");
            break;
        }
        benchmark::DoNotOptimize(response);
    }
}

// The same call as a thread's first call every time: new curl handles and a new connection.
void BM_GetNewsCallNewConnection(benchmark::State &state, Server server)
{
    HsServiceConfig::setEndpoint(endpointOf(server));
    for (auto _ : state) {
        const NewsServiceResponse<NewsItem> response = NewsService().GetNews("330106001", 1, "xxtz", 1);
        HsSoapClient::closeConnectionsOfThisThread();
        if (response.items.empty()) {
            state.SkipWithError("the call brought back no news items");
            break;
        }
        benchmark::DoNotOptimize(response);
    }
}

void BM_BarePost(benchmark::State &state, Server server)
{
    const std::string url = endpointOf(server);
    const std::string envelope = newsEnvelope();
    for (auto _ : state) {
        std::string body = barePost(url, envelope);
        if (body.empty()) {
            state.SkipWithError("the bare POST got no answer");
            break;
        }
        benchmark::DoNotOptimize(body);
    }
}

// Registered for the canned server only: the second pass reads the document it is known to send.
void BM_BarePostAndTwoEmptyReads(benchmark::State &state, Server server)
{
    const std::string url = endpointOf(server);
    const std::string envelope = newsEnvelope();
    const std::string &document = cannedServer().document();
    for (auto _ : state) {
        std::string body = barePost(url, envelope);
        if (body.empty()) {
            state.SkipWithError("the bare POST got no answer");
            break;
        }
        emptyRead(body);
        emptyRead(document);
    }
}

// Keeps the real time per iteration of every run (or, when only aggregates are reported, their
// medians) and, at the end, prints the ratios of the medians against the bare POST to the same
// server.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Iteration)
                m_times[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
            else if (run.aggregate_name == "median")
                m_reportedMedians[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const char *server : {"canned_server", "reference_service"}) {
            printRatio("BM_GetNewsCall", "BM_MinimalClient", server);
            printRatio("BM_LibcurlFloor", "BM_MinimalClient", server);
            printRatio("BM_GetNewsCall", "BM_LibcurlFloor", server);
            printRatio("BM_GetNewsCallNewConnection", "BM_MinimalClient", server);
            printRatio("BM_GetNewsCall", "BM_BarePost", server);
            printRatio("BM_BarePostAndTwoEmptyReads", "BM_BarePost", server);
        }
    }

private:
    std::optional<double> medianOf(const std::string &name) const
    {
        if (const auto reported = m_reportedMedians.find(name); reported != m_reportedMedians.end())
            return reported->second;
        const auto found = m_times.find(name);
        if (found == m_times.end())
            return std::nullopt;
        std::vector<double> times = found->second;
        std::sort(times.begin(), times.end());
        const size_t middle = times.size() / 2;
        return times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    }

    void printRatio(const std::string &benchmark, const std::string &floor, const std::string &server)
    {
        const std::optional<double> measured = medianOf(benchmark + "/" + server);
        const std::optional<double> base = medianOf(floor + "/" + server);
        if (measured && base)
            GetOutputStream() << benchmark << " / " << floor << ", " << server << ": " << *measured / *base
                              << "\n";
    }

    std::map<std::string, std::vector<double>> m_times;
    std::map<std::string, double> m_reportedMedians;
};

} // namespace

BENCHMARK_CAPTURE(BM_MinimalClient, canned_server, Server::canned)->UseRealTime();
BENCHMARK_CAPTURE(BM_LibcurlFloor, canned_server, Server::canned)->UseRealTime();
BENCHMARK_CAPTURE(BM_BarePost, canned_server, Server::canned)->UseRealTime();
BENCHMARK_CAPTURE(BM_BarePostAndTwoEmptyReads, canned_server, Server::canned)->UseRealTime();
BENCHMARK_CAPTURE(BM_GetNewsCall, canned_server, Server::canned)->UseRealTime();
BENCHMARK_CAPTURE(BM_MinimalClient, reference_service, Server::reference)->UseRealTime();
BENCHMARK_CAPTURE(BM_LibcurlFloor, reference_service, Server::reference)->UseRealTime();
BENCHMARK_CAPTURE(BM_BarePost, reference_service, Server::reference)->UseRealTime();
BENCHMARK_CAPTURE(BM_GetNewsCall, reference_service, Server::reference)->UseRealTime();
BENCHMARK_CAPTURE(BM_GetNewsCallNewConnection, reference_service, Server::reference)->UseRealTime();

int main(int argc, char **argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    // Diagnostic lines are switched off, as they can be in use: formatting and writing them
    // would measure the terminal, not the call.
    setenv("HSSCHOOL_QUIET", "1", 1);
    setenv("HSSCHOOL_SERVER_QUIET", "1", 1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // The thread's kept handles are cleaned up after main returns, so curl stays initialised.
    return 0;
}
