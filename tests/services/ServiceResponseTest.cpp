// Which results count as an answer, and what failures and refusals leave in the response.

#include "ServiceTestSupport.h"
#include "services/LoginService.h"
#include "services/NewsService.h"

#include <string>
#include <vector>

namespace {

// One answer read by a list operation and two single-item operations. Only an answer that is not XML
// leaves the single items absent; a cut-short result keeps what was read but is no answer.
TEST_F(ServiceTest, WhatCountsAsAnAnswerAndWhatTheResponseKeeps)
{
    enum Single
    {
        absent,
        empty,
        filled
    };
    const auto answer = [](const std::string &document) { return soapAnswer("getNews", document); };
    const struct
    {
        int status;
        std::string body;
        bool answered;
        int32_t code;
        std::optional<std::string> error;
        std::vector<int32_t> newsIds;
        Single single;
    } cases[] = {
        // clang-format off
        {200, answer("<Result><Code>5</Code><Error>密码错误</Error></Result>"), true, 5, "密码错误", {}, empty},
        {500, soapFault("unknown method"), false, 0, std::nullopt, {}, empty},
        {200, "Service temporarily unavailable", false, 0, std::nullopt, {}, absent},
        {200, soapResponse("getNews", "<ns1:out/>"), false, 0, std::nullopt, {}, empty},
        {200, soapResponse("getNews", "<ns1:out>   </ns1:out>"), false, 0, std::nullopt, {}, empty},
        {200, answer("Service temporarily unavailable"), false, 0, std::nullopt, {}, empty},
        {200, answer("<Result><Code>0</Code><News><NewsId>1</NewsId></News><News><NewsId>2"), false, 0, std::nullopt, {1}, filled},
        {200, answer("<Result><Code>0</Code></Result><Result><Code>0</Code></Result>"), false, 0, std::nullopt, {}, empty},
        {200, answer("<Result><News><NewsId>9</NewsId></News></Result>"), true, 0, std::nullopt, {9}, filled},
        // clang-format on
    };
    for (const auto &reply : cases) {
        SCOPED_TRACE(reply.body);
        server.answerWith(reply.status, reply.body);
        const auto news = NewsService().GetNews("S01", 31, "notice", 1);
        EXPECT_EQ(news.answered, reply.answered);
        EXPECT_EQ(news.code, reply.code);
        EXPECT_EQ(news.error, reply.error);
        std::vector<int32_t> ids;
        for (const NewsItem &item : news.items)
            ids.push_back(item.newsId);
        EXPECT_EQ(ids, reply.newsIds);
        const auto one = NewsService().GetTheNews(7);
        const auto login = LoginService().LoginTeacher("li", "pw");
        EXPECT_EQ(login.answered, reply.answered);
        EXPECT_EQ(login.code, reply.code);
        EXPECT_EQ(one.item.has_value(), reply.single != absent);
        EXPECT_EQ(login.item.has_value(), reply.single != absent);
        if (reply.single == empty) {
            EXPECT_EQ(one.item, NewsItem{});
            EXPECT_EQ(login.item, LoginResultItem{});
        }
    }
}

} // namespace
