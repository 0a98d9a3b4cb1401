// Load run of the school server: clients calling getNews at once on loopback for a bounded
// time and number of calls, reporting calls per second and latency percentiles. Three kinds of
// client: the client library's NewsService reusing its thread's connection, the same with a new
// connection for every call, and a plain keep-alive HTTP client (what the server alone can
// answer), reading getNews and posting postChat. Neither the clients nor the server write diagnostic
// lines during the runs. The server keeps its data in sqlite, or in PostgreSQL when
// HSSCHOOL_TEST_STORE=postgres (under scripts/with-postgres.sh); --processes 2 starts a second
// server on the same database and the plain HTTP clients take turns between the two.
#include "ServerProcess.h"
#include "services/NewsService.h"
#include "transport/HsServiceConfig.h"
#include "transport/HsSoapClient.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <httplib.h>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct LoadSettings
{
    int clients = 8;
    double seconds = 10;
    long maxCalls = 500000;
};

struct LoadResult
{
    std::vector<double> latenciesMs;
    long failures = 0;
    double elapsedSeconds = 0;
};

// One call; true when it got the answer it should.
using CallOnce = std::function<bool()>;

LoadResult runLoad(const LoadSettings &settings, const std::function<CallOnce()> &makeClient)
{
    std::atomic<long> budget{settings.maxCalls};
    std::vector<std::vector<double>> latencies(settings.clients);
    std::vector<long> failures(settings.clients, 0);
    const auto start = Clock::now();
    const auto deadline =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(settings.seconds));
    std::vector<std::thread> threads;
    for (int c = 0; c < settings.clients; ++c) {
        threads.emplace_back([&, c] {
            CallOnce call = makeClient();
            while (Clock::now() < deadline && budget.fetch_sub(1) > 0) {
                const auto before = Clock::now();
                const bool ok = call();
                latencies[c].push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - before).count());
                if (!ok)
                    ++failures[c];
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    LoadResult result;
    result.elapsedSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (int c = 0; c < settings.clients; ++c) {
        result.latenciesMs.insert(result.latenciesMs.end(), latencies[c].begin(), latencies[c].end());
        result.failures += failures[c];
    }
    std::sort(result.latenciesMs.begin(), result.latenciesMs.end());
    return result;
}

double percentile(const std::vector<double> &sorted, double fraction)
{
    if (sorted.empty())
        return 0;
    const auto index = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1));
    return sorted[index];
}

void report(const char *name, const LoadSettings &settings, const LoadResult &result)
{
    const auto calls = result.latenciesMs.size();
    std::printf(
        "%-28s clients %d  calls %zu  failures %ld  %.0f calls/s  p50 %.2f ms  p99 %.2f ms  max %.2f ms\n",
        name, settings.clients, calls, result.failures, static_cast<double>(calls) / result.elapsedSeconds,
        percentile(result.latenciesMs, 0.50), percentile(result.latenciesMs, 0.99),
        result.latenciesMs.empty() ? 0.0 : result.latenciesMs.back());
    std::fflush(stdout);
}

std::string getNewsEnvelope()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
           "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body><ns1:getNews "
           "xmlns:ns1=\"" +
           HsServiceConfig::namespaceUri() +
           "\"><ns1:in0>qovel</ns1:in0><ns1:in1>zantre</ns1:in1><ns1:in2>330106001</ns1:in2><ns1:in3>1</"
           "ns1:in3>"
           "<ns1:in4>xxtz</ns1:in4><ns1:in5>1</ns1:in5><ns1:in6>20</ns1:in6></ns1:getNews></soapenv:Body>"
           "</soapenv:Envelope>";
}

std::string postChatEnvelope(int client, long number)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
           "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body><ns1:postChat "
           "xmlns:ns1=\"" +
           HsServiceConfig::namespaceUri() +
           "\"><ns1:in0>qovel</ns1:in0><ns1:in1>zantre</ns1:in1><ns1:in2>jz1001</ns1:in2><ns1:in3>330106001"
           "</ns1:in3><ns1:in4>1</ns1:in4><ns1:in5>load " +
           std::to_string(client) + "-" + std::to_string(number) +
           "</ns1:in5></ns1:postChat></soapenv:Body></soapenv:Envelope>";
}

// A keep-alive HTTP client of one of the servers, taking turns between them client by client.
std::shared_ptr<httplib::Client> clientOf(const std::vector<std::unique_ptr<ServerProcess>> &servers,
                                          std::atomic<int> &next)
{
    auto client = std::make_shared<httplib::Client>(servers[next++ % servers.size()]->baseUrl());
    client->set_keep_alive(true);
    client->set_tcp_nodelay(true);
    return client;
}

} // namespace

int main(int argc, char **argv)
{
    LoadSettings settings;
    CLI::App app{"Load run of hsschool-server: getNews from concurrent loopback clients"};
    app.add_option("--clients", settings.clients, "concurrent clients")
        ->capture_default_str()
        ->check(CLI::Range(1, 64));
    app.add_option("--seconds", settings.seconds, "length of each run")
        ->capture_default_str()
        ->check(CLI::Range(0.1, 120.0));
    app.add_option("--max-calls", settings.maxCalls, "calls at most per run")->capture_default_str();
    int processes = 1;
    app.add_option("--processes", processes, "server processes on one database")
        ->capture_default_str()
        ->check(CLI::Range(1, 8));
    CLI11_PARSE(app, argc, argv);

    // Writing a line per call would measure the terminal or the log file, not the calls.
    setenv("HSSCHOOL_QUIET", "1", 1);
    setenv("HSSCHOOL_SERVER_QUIET", "1", 1);
    if (const auto unavailable = TestDatabase::unavailable()) {
        std::fprintf(stderr, "%s\n", unavailable->c_str());
        return 1;
    }
    std::vector<std::unique_ptr<ServerProcess>> servers;
    servers.push_back(std::make_unique<ServerProcess>());
    while (static_cast<int>(servers.size()) < processes)
        servers.push_back(std::make_unique<ServerProcess>(ServerProcess::SameDatabaseAs{*servers.front()}));
    const ServerProcess &server = *servers.front();
    HsServiceConfig::setEndpoint(server.endpoint());
    std::printf("server %s on %s, %d process(es), %d clients, %.1f s per run\n", server.baseUrl().c_str(),
                TestDatabase::onPostgres() ? "PostgreSQL" : "sqlite", processes, settings.clients,
                settings.seconds);

    const auto getNews = [] {
        const auto response = NewsService().GetNews("330106001", 1, "xxtz", 1);
        return response.answered && response.code == 0 && !response.items.empty();
    };
    report("getNews via NewsService", settings, runLoad(settings, [&] { return getNews; }));
    report("same, a connection per call", settings, runLoad(settings, [&] {
               return [&] {
                   const bool ok = getNews();
                   HsSoapClient::closeConnectionsOfThisThread();
                   return ok;
               };
           }));

    const std::string envelope = getNewsEnvelope();
    std::atomic<int> next{0};
    report("getNews via keep-alive HTTP", settings, runLoad(settings, [&] {
               auto client = clientOf(servers, next);
               return [client, &envelope] {
                   const auto res =
                       client->Post("/school/services/schoolSvc", envelope, "application/soap+xml");
                   return res && res->status == 200 && res->body.find("NewsTitle") != std::string::npos;
               };
           }));
    report("postChat via keep-alive HTTP", settings, runLoad(settings, [&] {
               const int number = next;
               auto client = clientOf(servers, next);
               return [client, number, posted = 0L]() mutable {
                   const auto res = client->Post("/school/services/schoolSvc",
                                                 postChatEnvelope(number, ++posted), "application/soap+xml");
                   return res && res->status == 200 &&
                          res->body.find("&lt;Code&gt;0&lt;") != std::string::npos;
               };
           }));
    return 0;
}
