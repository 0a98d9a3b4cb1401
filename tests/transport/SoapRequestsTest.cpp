#include "TransportTestSupport.h"

#include <gtest/gtest.h>
#include <map>

namespace {

// Each call carries exactly the three headers HTTP and the service need (no "Expect", no "Accept",
// no agent name, none twice) and the envelope with its arguments escaped and numbered.
TEST(SoapRequest, EnvelopeAndHeadersAreExactlyAsTheServiceExpects)
{
    LogCapture log;
    std::vector<std::string> twelve;
    for (int i = 0; i < 12; ++i)
        twelve.push_back("v" + std::to_string(i));
    const struct
    {
        std::string method;
        std::vector<std::string> args;
        std::string content;
    } cases[] = {
        {"getNewsTypes", {}, ""},
        // Three characters of three bytes each: the length counts bytes, not characters.
        {"postChat",
         {"a<b&c", "&amp;", "\"q\" 'a' >", "家校通", ""},
         "<ns1:in0>a&lt;b&amp;c</ns1:in0><ns1:in1>&amp;amp;</ns1:in1>"
         "<ns1:in2>&quot;q&quot; &apos;a&apos; &gt;</ns1:in2><ns1:in3>家校通</ns1:in3><ns1:in4></ns1:in4>"},
        {"getNews", twelve, soapArguments(twelve)},
    };
    for (const auto &sent : cases) {
        SCOPED_TRACE(sent.method);
        TestSoapServer server;
        EXPECT_TRUE(callOnce(server.url(), sent.method, sent.args).result);
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), 1u);
        const std::string body = soapRequest(sent.method, sent.content, kTestNamespace);
        EXPECT_EQ(requests[0].headers.size(), 3u);
        EXPECT_EQ(
            (std::map<std::string, std::string>(requests[0].headers.begin(), requests[0].headers.end())),
            (std::map<std::string, std::string>{
                {"Host", "127.0.0.1:" + std::to_string(server.port())},
                {"Content-Type", "application/soap+xml; charset=utf-8; action=\"urn:" + sent.method + "\""},
                {"Content-Length", std::to_string(body.size())}}));
        EXPECT_EQ(requests[0].method, "POST");
        EXPECT_EQ(requests[0].path, "/school/services/schoolSvc");
        EXPECT_EQ(requests[0].body, body);
    }
}

// Only the password arguments of the login and password methods are hidden, and only in the log.
TEST(SoapEnvelopeLog, PasswordsAreMaskedInTheLogButSentAsTheyAre)
{
    TestSoapServer server;
    LogCapture log;
    const struct
    {
        std::string method;
        std::vector<std::string> args;
        std::string logged, sent, hidden;
    } cases[] = {
        {"loginTeacher",
         {"qovel", "zantre", "teacher1", "s3cret!"},
         "<ns1:in2>teacher1</ns1:in2><ns1:in3>******</ns1:in3>",
         "<ns1:in3>s3cret!</ns1:in3>",
         "s3cret"},
        {"changePassword",
         {"qovel", "zantre", "teacher1", "old-pw", "new-pw", "1"},
         "<ns1:in3>******</ns1:in3><ns1:in4>******</ns1:in4><ns1:in5>1</ns1:in5>",
         "<ns1:in3>old-pw</ns1:in3><ns1:in4>new-pw</ns1:in4>",
         "-pw"},
        {"postChat",
         {"qovel", "zantre", "teacher1", "s3cret!"},
         "<ns1:in3>s3cret!</ns1:in3>",
         "<ns1:in3>s3cret!</ns1:in3>",
         "******"},
    };
    for (const auto &call : cases) {
        SCOPED_TRACE(call.method);
        callOnce(server.url(), call.method, call.args);
        std::string envelopeLine;
        for (const std::string &line : log.lines())
            if (line.rfind("SOAP msg=<?xml", 0) == 0)
                envelopeLine = line;
        EXPECT_NE(envelopeLine.find(call.logged), std::string::npos) << envelopeLine;
        EXPECT_EQ(envelopeLine.find(call.hidden), std::string::npos) << envelopeLine;
        EXPECT_NE(server.requests().back().body.find(call.sent), std::string::npos);
    }
}

} // namespace
