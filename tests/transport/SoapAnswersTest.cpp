#include "HostileXml.h"
#include "TransportTestSupport.h"

#include <atomic>
#include <gtest/gtest.h>

namespace {

class SoapAnswerTest : public ::testing::Test
{
protected:
    CallOutcome callWithAnswer(int status, const std::string &body)
    {
        server.answerWith(status, body);
        return callOnce(server.url(), "getNews", {"qovel", "zantre"});
    }

    // An answer that ends the call with a failure, nothing returned and nothing finished.
    static void expectFailed(const CallOutcome &outcome)
    {
        EXPECT_FALSE(outcome.result);
        EXPECT_EQ(outcome.delegate.failed, 1);
        EXPECT_EQ(outcome.delegate.finished, 0);
        EXPECT_FALSE(outcome.returned.has_value());
    }

    TestSoapServer server;
    LogCapture log;
};

// How answers that parse are read: the result is the text of the last ns1:out, rebuilt from its
// elements without their attributes; text outside it is only information.
TEST_F(SoapAnswerTest, ReadableAnswersGiveTheirResultAndInformation)
{
    const struct
    {
        int status;
        std::string body, returned;
        bool foundResult;
        std::optional<std::string> info;
    } cases[] = {
        {200,
         answerHolding("&lt;Result&gt;&lt;Code&gt;0&lt;/Code&gt;&lt;Error&gt;&lt;/Error&gt;&lt;Title&gt;"
                       "通知 &amp;amp; 新闻&lt;/Title&gt;&lt;/Result&gt;"),
         "<Result><Code>0</Code><Error></Error><Title>通知 &amp; 新闻</Title></Result>", true, std::nullopt},
        // A fault with status 500 is read, and shows only as information.
        {500, soapFault("Unknown method"), "", false, "soap:ClientUnknown method"},
        {200, "<r><ns1:out>first</ns1:out><ns1:out>second</ns1:out></r>", "second", true, std::nullopt},
        {200,
         "<r>before<ns1:out>a<Item id=\"7\" kind='x'>b<Inner/></Item>c<![CDATA[skip]]></ns1:out>after</r>",
         "a<Item>b<Inner></Inner></Item>c", true, "beforeafter"},
        // Element names match as written, with their prefix.
        {200, "<r xmlns:x=\"http://school.test/schoolSvc\"><x:out>other prefix</x:out></r>", "", false,
         std::nullopt},
        {200, "<r><ns1:out>&#20013;&#x6587;&amp;&quot;&apos;</ns1:out></r>", "中文&\"'", true, std::nullopt},
    };
    for (const auto &read : cases) {
        SCOPED_TRACE(read.body);
        const CallOutcome outcome = callWithAnswer(read.status, read.body);
        EXPECT_TRUE(outcome.result);
        EXPECT_EQ(outcome.foundResult, read.foundResult);
        EXPECT_EQ(outcome.delegate.finished, 1);
        EXPECT_EQ(outcome.delegate.failed, 0);
        EXPECT_EQ(outcome.returned, read.returned);
        if (read.info) {
            EXPECT_EQ(outcome.info, read.info);
            EXPECT_EQ(log.lines().back(), "Info: " + *read.info);
        }
    }
}

TEST_F(SoapAnswerTest, LongTextOutsideTheResultIsKeptButLoggedOnlyWhileShort)
{
    std::string page, expectedInfo;
    for (int i = 0; i < 5000; ++i) {
        page += "<p>line " + std::to_string(i) + "</p>";
        expectedInfo += "line " + std::to_string(i);
    }
    const CallOutcome outcome = callWithAnswer(502, "<html>" + page + "</html>");
    EXPECT_TRUE(outcome.result && !outcome.foundResult);
    EXPECT_EQ(outcome.info, expectedInfo);
    size_t loggedBytes = 0;
    for (const std::string &line : log.lines())
        loggedBytes += line.size();
    EXPECT_LT(loggedBytes, 1024u * 1024u);
}

// Each unreadable answer is followed by a readable one, which the same thread reads whole.
TEST_F(SoapAnswerTest, UnreadableAnswersGiveNoResultAndLeaveTheNextReadable)
{
    for (const std::string body : {"this is not XML", "", "<a><ns1:out>cut off"}) {
        SCOPED_TRACE(body);
        const CallOutcome outcome = callWithAnswer(200, body);
        EXPECT_FALSE(outcome.result);
        EXPECT_FALSE(outcome.foundResult);
        EXPECT_FALSE(outcome.returned.has_value());
        EXPECT_EQ(outcome.delegate.finished, 1);
        EXPECT_EQ(outcome.delegate.failed, 0);
        const auto lines = log.lines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[lines.size() - 2].rfind("Error parsing XML downloaded from server: ", 0), 0u);
        EXPECT_EQ(lines.back(), "Error parsing XML downloaded from server!");

        const CallOutcome next = callWithAnswer(200, "<r>note<ns1:out>&lt;Result/&gt;</ns1:out></r>");
        EXPECT_TRUE(next.result);
        EXPECT_EQ(next.returned, "<Result/>");
        EXPECT_EQ(next.info, "note");
    }
}

// Answers are capped at kMaxAnswerBytes: one of that size is read, one announced longer is refused,
// and one sent without a length (here twice the limit) is given up part way while it arrives.
TEST_F(SoapAnswerTest, AnswersAreCappedWhetherAnnouncedOrStreamed)
{
    const std::string prefix = "<r><ns1:out>", suffix = "</ns1:out></r>";
    const size_t fill = HsSoapClient::kMaxAnswerBytes - prefix.size() - suffix.size();
    hsSetLogSink([](const std::string &) {});
    const CallOutcome read = callWithAnswer(200, prefix + std::string(fill, 'x') + suffix);
    EXPECT_TRUE(read.result);
    EXPECT_EQ(read.returned.value_or("").size(), fill);
    expectFailed(callWithAnswer(200, std::string(HsSoapClient::kMaxAnswerBytes + 1, ' ')));

    constexpr size_t kPiece = 1u << 20;
    constexpr size_t kPieces = 2 * (HsSoapClient::kMaxAnswerBytes / kPiece);
    auto sentPieces = std::make_shared<std::atomic<size_t>>(0);
    server.answerWith([sentPieces](const httplib::Request &, httplib::Response &response) {
        response.set_chunked_content_provider("text/xml", [sentPieces](size_t, httplib::DataSink &sink) {
            const size_t piece = sentPieces->fetch_add(1);
            if (piece == 0)
                return sink.write("<r><ns1:out>", 12);
            if (piece > kPieces) {
                sink.write("</ns1:out></r>", 14);
                sink.done();
                return true;
            }
            const std::string filler(kPiece, 'x');
            return sink.write(filler.data(), filler.size());
        });
    });
    const CallOutcome streamed = callOnce(server.url(), "getNews", {});
    expectFailed(streamed);
    EXPECT_NE(streamed.delegate.errorDescription.find(std::to_string(HsSoapClient::kMaxAnswerBytes)),
              std::string::npos);
}

// An answer built to make its reading take seconds or minutes is read quickly; one built to make a
// tree of hundreds of thousands of nodes is no answer.
TEST_F(SoapAnswerTest, HostileAnswersEndQuickly)
{
    const std::string result = "<ns1:out>&lt;Result&gt;&lt;Code&gt;0&lt;/Code&gt;&lt;/Result&gt;</ns1:out>";
    std::string nodes;
    while (nodes.size() < 16 * 1024 * 1024)
        nodes += "<a/><a/><a/><a/>";
    const struct
    {
        const char *what;
        std::string body;
        bool answered;
    } cases[] = {
        {"attributes of 3.3 MiB", soapResponse("getNews", elementWithAttributesOf(3400 * 1024, "x") + result),
         true},
        {"namespace declarations",
         soapResponse("getNews", "<x" + floodOfAttributes(20'000, "xmlns:p") + "/>" + result), true},
        {"distinct names", soapResponse("getNews", floodOfNames(300'000) + result), false},
        {"millions of nodes", soapResponse("getNews", nodes + result), false},
    };
    for (const auto &hostile : cases) {
        SCOPED_TRACE(hostile.what);
        ASSERT_LT(hostile.body.size(), HsSoapClient::kMaxAnswerBytes);
        CallOutcome outcome;
        EXPECT_LT(threadSecondsFor([&] { outcome = callWithAnswer(200, hostile.body); }), 2.0);
        EXPECT_EQ(outcome.result, hostile.answered);
        EXPECT_EQ(outcome.returned.has_value(), hostile.answered);
        EXPECT_EQ(outcome.delegate.finished, 1);
    }
}

// An answer still being read when the reading budget is spent counts as not well-formed, with one
// line in the log; the same answer within the default budget reads whole.
TEST(SoapAnswerBudget, ReadingThatRunsOutOfTimeIsNoAnswer)
{
    std::string escaped = "&lt;Result&gt;";
    while (escaped.size() < 512 * 1024)
        escaped += "&lt;News&gt;&lt;NewsId&gt;7&lt;/NewsId&gt;&lt;/News&gt;";
    const std::string body = answerHolding(escaped + "&lt;/Result&gt;");
    LogCapture log;
    HsSoapClient late;
    late.setReadingBudget(std::chrono::milliseconds(0));
    EXPECT_FALSE(late.processResponse(body));
    EXPECT_FALSE(late.m_returnString().has_value());
    EXPECT_TRUE(log.contains("Error parsing XML downloaded from server: reading took longer than 0 ms"));
    HsSoapClient inTime;
    EXPECT_TRUE(inTime.processResponse(body));
    ASSERT_TRUE(inTime.m_returnString().has_value());
    EXPECT_TRUE(inTime.m_returnString()->ends_with("</News></Result>"));
}

} // namespace
