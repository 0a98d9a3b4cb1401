// A whole GetNews call (envelope, HTTP exchange, answer reading, result parsing) against a bare
// libcurl POST of the same envelope to the same loopback server. The service call should cost at
// most 1.2 times the bare POST.
//
// Two servers are measured:
// - "canned_server": an in-process server that answers every POST at once with the same 20-item
//   answer held in memory. It makes the client's share as large as it can be. Beside the call,
//   "BM_BarePostAndTwoEmptyReads" adds to the bare POST two XML reader passes whose handlers do
//   nothing, one over the answer and one over the result document: what any client that reads
//   the answer with the XML library costs at least.
// - "reference_service": hsschool-server with its demo school, started on a free port for this
//   program, as the application meets it.
// After the runs, the ratios of the medians are printed. Use for example
// --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true on a quiet machine.

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
#include <libxml/parser.h>
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

enum class Server { canned, reference };

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

size_t collectBody(char *data, size_t size, size_t count, void *target)
{
    static_cast<std::string *>(target)->append(data, size * count);
    return size * count;
}

// The same exchange the service makes, with nothing around it: one easy handle per call, the
// same headers and body, the answer collected into a string.
std::string barePost(const std::string &url, const std::string &envelope)
{
    std::string body;
    CURL *curl = curl_easy_init();
    curl_slist *headers = nullptr;
    headers = curl_slist_append(headers,
                                "Content-Type: application/soap+xml; charset=utf-8; action=\"urn:getNews\"");
    headers = curl_slist_append(headers, "Expect:");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, envelope.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(envelope.size()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_perform(curl);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return body;
}

void ignoreStart(void *, const xmlChar *, const xmlChar **) {}
void ignoreEnd(void *, const xmlChar *) {}
void ignoreText(void *, const xmlChar *, int) {}

// A reader pass with the same kind of handlers the client uses, each doing nothing.
void emptyRead(const std::string &xml)
{
    xmlSAXHandler handler{};
    handler.startElement = ignoreStart;
    handler.endElement = ignoreEnd;
    handler.characters = ignoreText;
    xmlSAXUserParseMemory(&handler, nullptr, xml.data(), static_cast<int>(xml.size()));
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
            printRatio("BM_GetNewsCall", server);
            printRatio("BM_BarePostAndTwoEmptyReads", server);
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

    void printRatio(const std::string &benchmark, const std::string &server)
    {
        const std::optional<double> measured = medianOf(benchmark + "/" + server);
        const std::optional<double> bare = medianOf("BM_BarePost/" + server);
        if (measured && bare)
            GetOutputStream() << benchmark << " / BM_BarePost, " << server << ": " << *measured / *bare << "\n";
    }

    std::map<std::string, std::vector<double>> m_times;
    std::map<std::string, double> m_reportedMedians;
};

} // namespace

BENCHMARK_CAPTURE(BM_BarePost, canned_server, Server::canned)->UseRealTime();
BENCHMARK_CAPTURE(BM_BarePostAndTwoEmptyReads, canned_server, Server::canned)->UseRealTime();
BENCHMARK_CAPTURE(BM_GetNewsCall, canned_server, Server::canned)->UseRealTime();
BENCHMARK_CAPTURE(BM_BarePost, reference_service, Server::reference)->UseRealTime();
BENCHMARK_CAPTURE(BM_GetNewsCall, reference_service, Server::reference)->UseRealTime();

int main(int argc, char **argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    // Diagnostic lines are switched off, as they can be in use: formatting and writing them
    // would measure the terminal, not the call.
    setenv("HSSCHOOL_QUIET", "1", 1);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    curl_global_cleanup();
    return 0;
}
