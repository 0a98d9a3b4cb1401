#include "TransportTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace {

const std::string kEnvelopeStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
    "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body>";
const std::string kEnvelopeEnd = "</soapenv:Body></soapenv:Envelope>";

std::map<std::string, std::string> headersOf(const RecordedRequest &request)
{
    return {request.headers.begin(), request.headers.end()};
}

class SoapRequestTest : public ::testing::Test
{
protected:
    void SetUp() override { server.answerWith(200, answerHolding("ok")); }

    // Calls once and returns what the server received; the call itself must have succeeded.
    RecordedRequest sentFor(const std::string &method, const std::vector<std::string> &args)
    {
        const CallOutcome outcome = callOnce(server.url(), method, args);
        EXPECT_TRUE(outcome.result);
        const auto requests = server.requests();
        EXPECT_EQ(requests.size(), 1u);
        return requests.empty() ? RecordedRequest{} : requests.back();
    }

    // The request must carry exactly the three headers HTTP and the service need.
    void expectExactHeaders(const RecordedRequest &request, const std::string &method,
                            const std::string &expectedBody)
    {
        const std::map<std::string, std::string> expected{
            {"Host", "127.0.0.1:" + std::to_string(server.port())},
            {"Content-Type", "application/soap+xml; charset=utf-8; action=\"urn:" + method + "\""},
            {"Content-Length", std::to_string(expectedBody.size())},
        };
        // No header twice, and none beyond these: no "Expect", no "Accept", no agent name.
        EXPECT_EQ(request.headers.size(), 3u);
        EXPECT_EQ(headersOf(request), expected);
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.path, "/school/services/schoolSvc");
        EXPECT_EQ(request.body, expectedBody);
    }

    LoopbackServer server;
};

TEST_F(SoapRequestTest, MethodWithoutArgumentsSendsAnEmptyOperationElement)
{
    const RecordedRequest request = sentFor("getNewsTypes", {});
    const std::string expected = kEnvelopeStart +
                                 "<ns1:getNewsTypes xmlns:ns1=\"http://school.test/schoolSvc\">"
                                 "</ns1:getNewsTypes>" +
                                 kEnvelopeEnd;
    expectExactHeaders(request, "getNewsTypes", expected);
}

TEST_F(SoapRequestTest, ArgumentsAreEscapedAndLengthCountsBytes)
{
    const RecordedRequest request = sentFor("postChat", {"a<b&c", "&amp;", "\"q\" 'a' >", "家校通", ""});
    const std::string expected = kEnvelopeStart +
                                 "<ns1:postChat xmlns:ns1=\"http://school.test/schoolSvc\">"
                                 "<ns1:in0>a&lt;b&amp;c</ns1:in0>"
                                 "<ns1:in1>&amp;amp;</ns1:in1>"
                                 "<ns1:in2>&quot;q&quot; &apos;a&apos; &gt;</ns1:in2>"
                                 "<ns1:in3>家校通</ns1:in3>"
                                 "<ns1:in4></ns1:in4>"
                                 "</ns1:postChat>" +
                                 kEnvelopeEnd;
    expectExactHeaders(request, "postChat", expected);
    // Three characters of three bytes each: the length is in bytes, not characters.
    EXPECT_EQ(headersOf(request)["Content-Length"], std::to_string(expected.size()));
    EXPECT_EQ(std::string("家校通").size(), 9u);
}

TEST_F(SoapRequestTest, TwelveArgumentsAreNumberedWithoutLeadingZeros)
{
    std::vector<std::string> args;
    std::string elements;
    for (int i = 0; i < 12; ++i) {
        args.push_back("v" + std::to_string(i));
        elements +=
            "<ns1:in" + std::to_string(i) + ">v" + std::to_string(i) + "</ns1:in" + std::to_string(i) + ">";
    }
    const RecordedRequest request = sentFor("getNews", args);
    const std::string expected = kEnvelopeStart + "<ns1:getNews xmlns:ns1=\"http://school.test/schoolSvc\">" +
                                 elements + "</ns1:getNews>" + kEnvelopeEnd;
    expectExactHeaders(request, "getNews", expected);
}

TEST(SoapEnvelopeLog, PasswordsAreMaskedInTheLogButSentAsTheyAre)
{
    LoopbackServer server;
    server.answerWith(200, answerHolding("ok"));
    LogCapture log;
    callOnce(server.url(), "loginTeacher", {"qovel", "zantre", "teacher1", "s3cret!"});
    callOnce(server.url(), "changePassword", {"qovel", "zantre", "teacher1", "old-pw", "new-pw", "1"});
    callOnce(server.url(), "postChat", {"qovel", "zantre", "teacher1", "s3cret!"});

    std::vector<std::string> envelopeLines;
    for (const std::string &line : log.lines())
        if (line.rfind("SOAP msg=<?xml", 0) == 0)
            envelopeLines.push_back(line);
    ASSERT_EQ(envelopeLines.size(), 3u);
    EXPECT_NE(envelopeLines[0].find("<ns1:in2>teacher1</ns1:in2><ns1:in3>******</ns1:in3>"),
              std::string::npos);
    EXPECT_EQ(envelopeLines[0].find("s3cret"), std::string::npos);
    EXPECT_NE(envelopeLines[1].find("<ns1:in3>******</ns1:in3><ns1:in4>******</ns1:in4>"
                                    "<ns1:in5>1</ns1:in5>"),
              std::string::npos);
    EXPECT_EQ(envelopeLines[1].find("-pw"), std::string::npos);
    // Only the password arguments of the login and password methods are hidden.
    EXPECT_NE(envelopeLines[2].find("<ns1:in3>s3cret!</ns1:in3>"), std::string::npos);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(requests[0].body.find("<ns1:in3>s3cret!</ns1:in3>"), std::string::npos);
    EXPECT_NE(requests[1].body.find("<ns1:in3>old-pw</ns1:in3><ns1:in4>new-pw</ns1:in4>"), std::string::npos);
}

TEST(SoapTransportFailure, RefusedConnectionFailsWithANotification)
{
    RefusingPort port;
    LogCapture log;
    const CallOutcome outcome = callOnce(port.url(), "getNewsTypes", {"qovel", "zantre"});
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.delegate.failed, 1);
    EXPECT_EQ(outcome.delegate.finished, 0);
    EXPECT_FALSE(outcome.returned.has_value());
    EXPECT_FALSE(outcome.foundResult);
    EXPECT_FALSE(outcome.delegate.errorDescription.empty());
    // The error description is logged on its own line.
    const auto lines = log.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), outcome.delegate.errorDescription), lines.end());
}

TEST(SoapTransportFailure, SilentServerTimesOut)
{
    LoopbackServer server;
    server.holdAnswers();
    const CallOutcome outcome = callOnce(server.url(), "getNewsTypes", {}, 1);
    server.releaseHeldAnswers();
    EXPECT_FALSE(outcome.result);
    EXPECT_EQ(outcome.delegate.failed, 1);
    EXPECT_EQ(outcome.delegate.finished, 0);
    EXPECT_FALSE(outcome.returned.has_value());
    EXPECT_NE(outcome.delegate.errorDescription.find("timed out"), std::string::npos)
        << outcome.delegate.errorDescription;
}

} // namespace
