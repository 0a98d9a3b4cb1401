#include "ServiceTestSupport.h"
#include "services/NewsService.h"
#include "transport/HsSoapClient.h"

#include <chrono>
#include <future>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// A call through the service and its operation queue, to a server that does not answer until the
// test lets it, ends as soon as calls are abandoned: the way a quitting application gets its
// threads back. Calls stay abandoned until allowed again.
TEST_F(ServiceTest, AbandoningEndsACallWaitingForTheServerAtOnce)
{
    server.holdAnswers();
    HsServiceConfig::setTimeoutSeconds(60);
    auto pending = std::async(std::launch::async, [] { return NewsService().GetNewsTypes(); });
    while (server.requests().empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    HsSoapClient::abandonCalls();
    const bool endedPromptly = pending.wait_for(std::chrono::milliseconds(500)) == std::future_status::ready;
    server.releaseHeldAnswers();
    const NewsServiceResponse<NewsTypeItem> response = pending.get();
    const bool laterCallAnswered = NewsService().GetNewsTypes().answered;
    HsSoapClient::abandonCalls(false);

    EXPECT_TRUE(endedPromptly);
    EXPECT_FALSE(response.answered);
    EXPECT_FALSE(laterCallAnswered);
    EXPECT_EQ(server.requests().size(), 1u);
    server.answerWithDocument("<Result><Code>0</Code></Result>");
    EXPECT_TRUE(NewsService().GetNewsTypes().answered);
}

// The configured time-out reaches every operation: a silent server costs a screen that long, and
// the call ends with no answer and no payload.
TEST_F(ServiceTest, SilentServerEndsTheCallAfterTheConfiguredTimeOut)
{
    server.holdAnswers();
    HsServiceConfig::setTimeoutSeconds(1);
    const auto start = Clock::now();
    const auto response = NewsService().GetNews("S01", 31, "notice", 1);
    const auto waited = Clock::now() - start;
    EXPECT_FALSE(response.answered);
    EXPECT_TRUE(response.items.empty());
    EXPECT_FALSE(response.error.has_value());
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_LT(waited, std::chrono::milliseconds(2500));
    EXPECT_TRUE(logged("get newses result: (null)"));
}

} // namespace
