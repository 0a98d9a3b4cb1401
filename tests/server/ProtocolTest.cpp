// The wire protocol seen from a plain HTTP client: refusals, faults, limits and the WSDL.
#include "BadlyEncodedXml.h"
#include "HostileXml.h"
#include "ServerTestSupport.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace {

constexpr const char *kNamespace = "urn:test-namespace";

using Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

Document parse(const std::string &text)
{
    return Document(
        xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, XML_PARSE_NONET),
        &xmlFreeDoc);
}

const xmlNode *findElement(const xmlNode *node, std::string_view name)
{
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && name == reinterpret_cast<const char *>(node->name))
            return node;
        if (const xmlNode *found = findElement(node->children, name))
            return found;
    }
    return nullptr;
}

std::optional<std::string> textOf(const xmlDoc *doc, std::string_view name)
{
    const xmlNode *node = findElement(xmlDocGetRootElement(doc), name);
    if (node == nullptr)
        return std::nullopt;
    xmlChar *content = xmlNodeGetContent(node);
    std::string text = reinterpret_cast<const char *>(content);
    xmlFree(content);
    return text;
}

class ProtocolTest : public ServerFixture
{
protected:
    httplib::Result post(const std::string &body)
    {
        return http().Post(kServicePath, body, "application/soap+xml; charset=utf-8");
    }

    // The result document that the answer carries in its "out" element.
    Document resultOf(const std::string &body)
    {
        const auto answer = post(body);
        return parse(answer && answer->status == 200 ? soapOut(answer->body).value_or("") : "");
    }
};

// Only a call with the access keys is answered with its result; every answer is named after the
// request's method, in the request's namespace.
TEST_F(ProtocolTest, RequestsWithoutTheAccessKeysAreRefused)
{
    for (const char *arguments : {"<ns1:in0>qovel</ns1:in0><ns1:in1>wrong</ns1:in1>",
                                  "<ns1:in0>zantre</ns1:in0><ns1:in1>qovel</ns1:in1>", "",
                                  "<ns1:in0>qovel</ns1:in0><ns1:in1>zantre</ns1:in1>"}) {
        SCOPED_TRACE(arguments);
        const bool granted = std::string(arguments).find("zantre</ns1:in1>") != std::string::npos;
        const std::string answer = post(soapRequest("getResourceTypes", arguments, kNamespace)).value().body;
        const Document soap = parse(answer);
        ASSERT_TRUE(soap);
        const xmlNode *response = findElement(xmlDocGetRootElement(soap.get()), "getResourceTypesResponse");
        ASSERT_TRUE(response && response->ns);
        EXPECT_STREQ(reinterpret_cast<const char *>(response->ns->href), kNamespace);
        EXPECT_STREQ(reinterpret_cast<const char *>(response->ns->prefix), "ns1");
        const Document result = parse(soapOut(answer).value_or(""));
        ASSERT_TRUE(result);
        EXPECT_EQ(textOf(result.get(), "Code").value_or("0") == "0", granted);
        EXPECT_EQ(textOf(result.get(), "Error").value_or("").empty(), granted);
        EXPECT_EQ(findElement(xmlDocGetRootElement(result.get()), "ResourceType") != nullptr, granted);
    }
}

// Requests the server cannot or will not read get a SOAP fault with status 500, each answered
// quickly, and a body over one MiB gets 413. Document type declarations, and markup built to make
// its reading take seconds, are refused unread: nothing of a file or an expansion comes back. What
// the reader finds wrong with bytes that do not convert from their declared encoding is not
// written to the log. A request with a few attributes is still served.
TEST_F(ProtocolTest, UnreadableOrRefusedRequestsGetAFaultQuickly)
{
    const std::string keys = soapArguments(kAccessKeys);
    const std::string login = soapRequest("loginTeacher", keys + "<ns1:in2>&x;</ns1:in2>").substr(38);
    const auto flooding = [&](const std::string &markup) {
        return soapRequest("getNewsTypes", keys + markup);
    };
    struct Case
    {
        std::string body;
        int status = 500;
        std::string faultSays = "";
    };
    std::vector<Case> cases = {
        {"this is not XML"},
        {"<html><body/></html>"},
        {soapRequest("dropTables", keys)},
        {""},
        {"<!DOCTYPE e [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" + login, 500, "document type"},
        {"<!DOCTYPE e [<!ENTITY a \"lol\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY x \"&c;&c;&c;&c;&c;&c;&c;&c;\">]>" +
             login,
         500, "document type"},
        {soapRequest("postChat", keys + "<ns1:in5>" + std::string(1024 * 1024 + 100, 'x') + "</ns1:in5>"),
         413},
        {flooding("<x" + floodOfAttributes(20'000) + "/>"), 500, "refused unread"},
        {flooding("<x" + floodOfAttributes(50'000) + "/>"), 500, "refused unread"},
        {flooding("<x" + floodOfAttributes(20'000, "xmlns:p") + "/>"), 500, "refused unread"},
        {flooding(floodOfNames(100'000)), 500, "refused unread"},
    };
    for (BadlyEncodedXml &request :
         badlyEncodedXml("<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                         "<soapenv:Body>",
                         "</soapenv:Body></soapenv:Envelope>"))
        cases.push_back({std::move(request.bytes)});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body.substr(0, 100));
        std::optional<httplib::Result> answer;
        EXPECT_LT(secondsFor([&] { answer.emplace(post(c.body)); }), 2.0);
        ASSERT_TRUE(*answer);
        EXPECT_EQ((*answer)->status, c.status);
        EXPECT_EQ((*answer)->body.find("root:"), std::string::npos);
        EXPECT_EQ((*answer)->body.find("lollol"), std::string::npos);
        if (c.status == 500) {
            const Document fault = parse((*answer)->body);
            ASSERT_TRUE(fault);
            EXPECT_NE(textOf(fault.get(), "faultstring").value_or("<none>").find(c.faultSays),
                      std::string::npos);
        }
    }
    const Document served = resultOf(flooding("<x" + floodOfAttributes(8) + "/>"));
    ASSERT_TRUE(served);
    EXPECT_EQ(textOf(served.get(), "Code"), "0");
    const std::string log = readFile(server().logPath());
    EXPECT_EQ(log.find("encoding error"), std::string::npos) << log;
    EXPECT_EQ(log.find("I/O error"), std::string::npos) << log;
}

TEST_F(ProtocolTest, WsdlDescribesEveryOperationAtThisAddress)
{
    const auto answer = http().Get(std::string(kServicePath) + "?wsdl");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_TRUE(parse(answer->body));
    const std::string &wsdl = answer->body;
    const size_t portType = wsdl.find("<wsdl:portType"), portTypeEnd = wsdl.find("</wsdl:portType>");
    ASSERT_LT(portType, portTypeEnd);
    int operations = 0;
    for (size_t at = portType; (at = wsdl.find("<wsdl:operation ", at + 1)) < portTypeEnd;)
        ++operations;
    EXPECT_EQ(operations, 28);
    EXPECT_NE(wsdl.find("location=\"" + server().endpoint() + "\""), std::string::npos);
}

// A picture request gets its whole picture or a single range of it, never a copy per range asked;
// no address outside the pictures is served.
TEST_F(ProtocolTest, PictureRequestsGetOneRangeOrTheWhole)
{
    const std::string path = "/images/avatars/student-3.png";
    const std::string picture = http().Get(path).value().body;
    const size_t size = picture.size();
    ASSERT_GT(size, 100u);
    std::string manyRanges = "bytes=0-";
    for (int i = 0; i < 2700; ++i)
        manyRanges += ",0-";
    struct Case
    {
        std::string range;
        int status;
        std::string body;
        std::string contentRange;
        std::string address = ""; // the picture when empty
    };
    const std::string total = "/" + std::to_string(size);
    const Case cases[] = {
        {"", 200, picture, ""},
        {"bytes=0-9", 206, picture.substr(0, 10), "bytes 0-9" + total},
        {"bytes=10-", 206, picture.substr(10), "bytes 10-" + std::to_string(size - 1) + total},
        {"bytes=-5", 206, picture.substr(size - 5),
         "bytes " + std::to_string(size - 5) + "-" + std::to_string(size - 1) + total},
        {"bytes=5-" + std::to_string(size + 100), 206, picture.substr(5),
         "bytes 5-" + std::to_string(size - 1) + total},
        {manyRanges, 200, picture, ""},
        {"bytes=0-1,5-6", 200, picture, ""},
        {"bytes=9-3", 200, picture, ""},
        {"lines=0-3", 200, picture, ""},
        {"bytes=" + std::to_string(size) + "-", 416, "", "bytes */" + std::to_string(size)},
        {"", 404, "", "", "/images/nothing.png"},
        {"", 404, "", "", "/images/uploads/999999.png"},
        {"", 404, "", "", "/images/../CMakeLists.txt"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.address + " " + c.range.substr(0, 40));
        httplib::Headers headers;
        if (!c.range.empty())
            headers.emplace("Range", c.range);
        const auto answer = http().Get(c.address.empty() ? path : c.address, headers);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status);
        if (c.status < 400) {
            EXPECT_EQ(answer->body, c.body);
        }
        EXPECT_EQ(answer->get_header_value("Content-Range"), c.contentRange);
    }
}

} // namespace
