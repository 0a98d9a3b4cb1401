#include "ServiceTestSupport.h"
#include "services/NewsService.h"
#include "transport/HsSoapClient.h"

#include <chrono>
#include <condition_variable>
#include <future>
#include <thread>

namespace {

// A call through the service and its operation queue, to a server that does not answer until the
// test lets it, ends as soon as calls are abandoned: the way a quitting application gets its
// threads back.
TEST_F(ServiceTest, AbandoningEndsACallWaitingForTheServerAtOnce)
{
    std::mutex mutex;
    std::condition_variable released;
    bool release = false;
    server.setResponder([&](const SentCall &call) {
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return release; });
        return SoapReply{200, soapAnswer(call.method, "<Result><Code>0</Code></Result>")};
    });
    HsServiceConfig::setTimeoutSeconds(60);

    auto pending = std::async(std::launch::async, [] { return NewsService().GetNewsTypes(); });
    while (server.requestBodies().empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    HsSoapClient::abandonCalls();
    const auto abandonedAt = std::chrono::steady_clock::now();
    const bool endedPromptly = pending.wait_for(std::chrono::seconds(1)) == std::future_status::ready;
    const auto waited = std::chrono::steady_clock::now() - abandonedAt;
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    released.notify_all();
    const NewsServiceResponse<NewsTypeItem> response = pending.get();
    const bool laterCallAnswered = NewsService().GetNewsTypes().answered;
    HsSoapClient::abandonCalls(false);

    EXPECT_TRUE(endedPromptly);
    EXPECT_LT(waited, std::chrono::milliseconds(500));
    EXPECT_FALSE(response.answered);
    EXPECT_TRUE(response.items.empty());
    EXPECT_FALSE(laterCallAnswered);
    EXPECT_EQ(server.requestBodies().size(), 1u);
    EXPECT_TRUE(NewsService().GetNewsTypes().answered);
}

} // namespace
