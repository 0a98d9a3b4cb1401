// Which results count as an answer: only a result holding one well-formed document.

#include "ServiceTestSupport.h"
#include "services/FeedBackService.h"
#include "services/LoginService.h"
#include "services/NewsService.h"

#include <string>

namespace {

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
