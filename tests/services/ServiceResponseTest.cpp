// Which results count as an answer, and what failures and refusals leave in the response.

#include "ServiceTestSupport.h"
#include "services/FeedBackService.h"
#include "services/LoginService.h"
#include "services/NewsService.h"
#include "services/ResourceService.h"
#include "services/UploadAvatarService.h"

#include <string>
#include <thread>
#include <vector>

namespace {

// A successful result document holding the given items.
std::string resultDocument(const std::string &items)
{
    return "<Result><Code>0</Code><Error></Error>" + items + "</Result>";
}

TEST_F(ServiceTest, RefusalCarriesCodeAndErrorText)
{
    server.answerWithDocument("<Result><Code>5</Code><Error>密码错误</Error></Result>");

    const LoginServiceResponse login = LoginService().LoginStudent("wang", "wrong");
    EXPECT_TRUE(login.answered);
    EXPECT_EQ(login.code, 5);
    EXPECT_EQ(login.error, "密码错误");

    const HsServiceResponse feedback = FeedBackService().PostFeedBack("text", 12, 0);
    EXPECT_EQ(feedback.code, 5);
    EXPECT_EQ(feedback.error, "密码错误");
}

TEST_F(ServiceTest, TransportFailureGivesNoAnswerAndNoPayload)
{
    const ClosedPort closed;
    HsServiceConfig::setEndpoint(closed.url());

    const auto news = NewsService().GetNews("S01", 31, "notice", 1);
    EXPECT_FALSE(news.answered);
    EXPECT_EQ(news.code, 0);
    EXPECT_FALSE(news.error.has_value());
    EXPECT_TRUE(news.items.empty());
    EXPECT_TRUE(logged("get newses result: (null)"));

    const LoginServiceResponse login = LoginService().LoginTeacher("li", "pw");
    EXPECT_FALSE(login.answered);
    EXPECT_FALSE(login.item.has_value());
    EXPECT_FALSE(UploadAvatarService().UploadTeacherAvatar(1, "AAAA").image.has_value());
}

TEST_F(ServiceTest, SoapFaultGivesNoAnswerButDefaultSingleItems)
{
    server.setResponder([](const SentCall &) { return SoapReply{500, soapFault("unknown method")}; });

    const LoginServiceResponse login = LoginService().LoginTeacher("li", "pw");
    EXPECT_FALSE(login.answered);
    EXPECT_EQ(login.code, 0);
    EXPECT_EQ(login.item, LoginResultItem{});

    EXPECT_EQ(NewsService().GetTheNews(7).item, NewsItem{});
    EXPECT_EQ(ResourceService().GetResource(42).item, ResourceItem{});

    const auto news = NewsService().GetNews("S01", 31, "notice", 1);
    EXPECT_FALSE(news.answered);
    EXPECT_TRUE(news.items.empty());
    EXPECT_TRUE(logged("get newses result: "));

    // An answer that is not XML at all leaves even the single item absent.
    server.answerWith(200, "Service temporarily unavailable");
    const auto unreadable = NewsService().GetTheNews(7);
    EXPECT_FALSE(unreadable.answered);
    EXPECT_EQ(unreadable.code, 0);
    EXPECT_FALSE(unreadable.item.has_value());
}

TEST_F(ServiceTest, ConcurrentCallsEachGetTheirOwnAnswer)
{
    server.setResponder([](const SentCall &call) {
        return SoapReply{
            200, soapAnswer(call.method, resultDocument("<NewsId>" + call.arguments.at(2) + "</NewsId>"))};
    });

    std::vector<int32_t> received(4);
    std::vector<std::thread> callers;
    for (size_t index = 0; index < received.size(); ++index)
        callers.emplace_back([&received, index] {
            received[index] =
                NewsService().GetTheNews(static_cast<int32_t>(100 + index)).item.value_or(NewsItem{}).newsId;
        });
    for (std::thread &caller : callers)
        caller.join();

    EXPECT_EQ(received, (std::vector<int32_t>{100, 101, 102, 103}));
}

TEST_F(ServiceTest, EmptyResultIsNoAnswer)
{
    for (const std::string out : {"<ns1:out/>", "<ns1:out></ns1:out>", "<ns1:out>   </ns1:out>"}) {
        SCOPED_TRACE(out);
        server.setResponder([out](const SentCall &call) {
            return SoapReply{200, soapResponse(call.method, out)};
        });

        const LoginServiceResponse login = LoginService().LoginTeacher("li", "pw");
        EXPECT_FALSE(login.answered);
        EXPECT_EQ(login.code, 0);

        const auto news = NewsService().GetNews("S01", 31, "notice", 1);
        EXPECT_FALSE(news.answered);
        EXPECT_TRUE(news.items.empty());
    }
}

TEST_F(ServiceTest, ResultTextThatIsNotADocumentIsNoAnswer)
{
    server.answerWithDocument("Service temporarily unavailable");
    EXPECT_FALSE(LoginService().LoginStudent("wang", "pw").answered);

    // A document cut short keeps what was read before the break, but is not an answer either.
    server.answerWithDocument("<Result><Code>0</Code><News><NewsId>1</NewsId></News><News><NewsId>2");
    const auto news = NewsService().GetNews("S01", 31, "notice", 1);
    EXPECT_FALSE(news.answered);
    ASSERT_EQ(news.items.size(), 1u);
    EXPECT_EQ(news.items[0].newsId, 1);

    // Two root elements are not one document.
    server.answerWithDocument("<Result><Code>0</Code></Result><Result><Code>0</Code></Result>");
    EXPECT_FALSE(FeedBackService().PostFeedBack("好", 12, 0).answered);
}

TEST_F(ServiceTest, WellFormedDocumentWithoutCodeIsASuccessfulAnswer)
{
    server.answerWithDocument("<Result><News><NewsId>9</NewsId></News></Result>");
    const auto news = NewsService().GetNews("S01", 31, "notice", 1);
    EXPECT_TRUE(news.answered);
    EXPECT_EQ(news.code, 0);
    ASSERT_EQ(news.items.size(), 1u);
    EXPECT_EQ(news.items[0].newsId, 9);

    server.answerWithDocument("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Result/>");
    EXPECT_TRUE(LoginService().LoginTeacher("li", "pw").answered);
}

} // namespace
