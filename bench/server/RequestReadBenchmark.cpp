// The service's read of one request envelope: from the body as it arrives to the operation's name,
// namespace and arguments. A login (four short arguments, one of them escaped) and a news page
// (seven) as the client sends them.

#include "SoapMessage.h"
#include "transport/HsServiceConfig.h"
#include "transport/HsSoapClient.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string envelope(const std::string &method, const std::vector<std::string> &arguments)
{
    HsSoapClient client;
    client.setM_namespace(HsServiceConfig::namespaceUri());
    return client.getSoapRequestForMethod(method, arguments);
}

void readRequests(benchmark::State &state, const std::string &body, size_t arguments)
{
    for (auto _ : state) {
        const SoapReading reading = readSoapRequest(body);
        if (!reading.request || reading.request->arguments.size() != arguments) {
            state.SkipWithError("the request was not read");
            break;
        }
        benchmark::DoNotOptimize(reading.request->arguments.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}

void BM_ReadLoginRequest(benchmark::State &state)
{
    readRequests(state, envelope("loginTeacher", {"330106001", "zhang.wei", "1", "p&ss<word>"}), 4);
}

void BM_ReadNewsRequest(benchmark::State &state)
{
    readRequests(state, envelope("getNews", {"qovel", "zantre", "330106001", "1", "xxtz", "1", "20"}), 7);
}

} // namespace

BENCHMARK(BM_ReadLoginRequest);
BENCHMARK(BM_ReadNewsRequest);

int main(int argc, char **argv)
{
    setenv("HSSCHOOL_QUIET", "1", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
