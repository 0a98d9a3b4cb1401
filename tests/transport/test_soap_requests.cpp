#include "TransportTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace {

const std::string kEnvelopeStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
    "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body>";
const std::string kEnvelopeEnd = "</soapenv:Body></soapenv:Envelope>";

// Each call carries exactly the three headers HTTP and the service need (no "Expect", no "Accept",
// no agent name, none twice) and the envelope with its arguments escaped and numbered.
TEST(SoapRequest, EnvelopeAndHeadersAreExactlyAsTheServiceExpects)
{
    LogCapture log;
    std::vector<std::string> twelve;
    std::string twelveElements;
    for (int i = 0; i < 12; ++i) {
        const std::string n = std::to_string(i);
        twelve.push_back("v" + n);
        twelveElements += "<ns1:in" + n + ">v" + n + "</ns1:in" + n + ">";
    }
    const struct
    {
        std::string method;
        std::vector<std::string> args;
        std::string operationContent;
    } cases[] = {
        {"getNewsTypes", {}, ""},
        // Three characters of three bytes each: the length counts bytes, not characters.
        {"postChat",
         {"a<b&c", "&amp;", "\"q\" 'a' >", "家校通", ""},
         "<ns1:in0>a&lt;b&amp;c</ns1:in0><ns1:in1>&amp;amp;</ns1:in1>"
         "<ns1:in2>&quot;q&quot; &apos;a&apos; &gt;</ns1:in2><ns1:in3>家校通</ns1:in3><ns1:in4></ns1:in4>"},
        {"getNews", twelve, twelveElements},
    };
    for (const auto &sent : cases) {
        SCOPED_TRACE(sent.method);
        TestSoapServer server;
        server.answerWith(200, answerHolding("ok"));
        EXPECT_TRUE(callOnce(server.url(), sent.method, sent.args).result);
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), 1u);
        const RecordedRequest &request = requests.front();
        const std::string body = kEnvelopeStart + "<ns1:" + sent.method +
                                 " xmlns:ns1=\"http://school.test/schoolSvc\">" + sent.operationContent +
                                 "</ns1:" + sent.method + ">" + kEnvelopeEnd;
        const std::map<std::string, std::string> headers{
            {"Host", "127.0.0.1:" + std::to_string(server.port())},
            {"Content-Type", "application/soap+xml; charset=utf-8; action=\"urn:" + sent.method + "\""},
            {"Content-Length", std::to_string(body.size())},
        };
        EXPECT_EQ(request.headers.size(), 3u);
        const std::map<std::string, std::string> sentHeaders(request.headers.begin(), request.headers.end());
        EXPECT_EQ(sentHeaders, headers);
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.path, "/school/services/schoolSvc");
        EXPECT_EQ(request.body, body);
    }
}

TEST(SoapEnvelopeLog, PasswordsAreMaskedInTheLogButSentAsTheyAre)
{
    TestSoapServer server;
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

} // namespace
