// A whole GetNews call (envelope, HTTP exchange, answer reading, result parsing) against a bare
// libcurl POST of the same envelope to the same loopback server. The service call should cost at
// most 1.2 times the bare POST.

#include "services/NewsService.h"
#include "transport/HsServiceConfig.h"
#include "transport/HsSoapClient.h"

#include <atomic>
#include <cstdlib>
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>
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

std::string newsAnswer()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
           "<ns1:getNewsResponse xmlns:ns1=\"" +
           HsServiceConfig::namespaceUri() + "\"><ns1:out>" + escapeText(twentyNewsDocument()) +
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

// One loopback server for the whole program, answering every POST with the 20-item answer.
class NewsServer
{
public:
    NewsServer() : m_answer(newsAnswer())
    {
        m_server.Post(servicePath, [this](const httplib::Request &, httplib::Response &response) {
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

    ~NewsServer()
    {
        stopWhenListening(m_server, m_listenEnded);
        m_thread.join();
    }

    std::string endpoint() const { return "http://127.0.0.1:" + std::to_string(m_port) + servicePath; }

private:
    std::string m_answer;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_listenEnded{false};
};

NewsServer &newsServer()
{
    static NewsServer server;
    return server;
}

// Where both benchmarks send their calls: the canned server above, or the service named by
// HSSCHOOL_BENCH_ENDPOINT (for example hsschool-server with its demo school).
std::string benchEndpoint()
{
    const char *endpoint = std::getenv("HSSCHOOL_BENCH_ENDPOINT");
    return endpoint && *endpoint ? std::string(endpoint) : newsServer().endpoint();
}

const std::vector<std::string> newsArguments{"qovel", "zantre", "330106001", "1", "xxtz", "1", "20"};

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

void BM_GetNewsServiceCall(benchmark::State &state)
{
    HsServiceConfig::setEndpoint(benchEndpoint());
    for (auto _ : state) {
        const NewsServiceResponse<NewsItem> response = NewsService().GetNews("330106001", 1, "xxtz", 1);
        if (response.items.empty()) {
            state.SkipWithError("the call brought back no news items");
            break;
        }
        benchmark::DoNotOptimize(response);
    }
}

void BM_BareCurlPost(benchmark::State &state)
{
    const std::string url = benchEndpoint();
    HsSoapClient client;
    client.setM_namespace(HsServiceConfig::namespaceUri());
    const std::string envelope = client.getSoapRequestForMethod("getNews", newsArguments);
    for (auto _ : state) {
        std::string body = barePost(url, envelope);
        if (body.empty()) {
            state.SkipWithError("the bare POST got no answer");
            break;
        }
        benchmark::DoNotOptimize(body);
    }
}

} // namespace

BENCHMARK(BM_GetNewsServiceCall)->UseRealTime();
BENCHMARK(BM_BareCurlPost)->UseRealTime();

int main(int argc, char **argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    // Diagnostic lines are switched off, as they can be in use: formatting and writing them
    // would measure the terminal, not the call.
    setenv("HSSCHOOL_QUIET", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    curl_global_cleanup();
    return 0;
}
