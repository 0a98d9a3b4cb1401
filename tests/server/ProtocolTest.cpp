// The wire protocol seen from a plain HTTP client: refusals, faults, limits and the WSDL.
#include "ServerFixture.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <memory>
#include <optional>

namespace {

constexpr const char *kServicePath = "/school/services/schoolSvc";
constexpr const char *kNamespace = "urn:test-namespace";

std::string envelope(const std::string &method, const std::string &arguments,
                     const std::string &ns = kNamespace)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
           "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body><ns1:" +
           method + " xmlns:ns1=\"" + ns + "\">" + arguments + "</ns1:" + method +
           "></soapenv:Body></soapenv:Envelope>";
}

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

int countElements(const xmlNode *node, std::string_view name)
{
    int count = 0;
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && name == reinterpret_cast<const char *>(node->name))
            ++count;
        count += countElements(node->children, name);
    }
    return count;
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
        auto answer = post(body);
        EXPECT_TRUE(answer);
        if (!answer)
            return Document(nullptr, &xmlFreeDoc);
        EXPECT_EQ(answer->status, 200);
        const Document soap = parse(answer->body);
        EXPECT_TRUE(soap);
        const auto out = soap ? textOf(soap.get(), "out") : std::nullopt;
        EXPECT_TRUE(out);
        return parse(out.value_or(""));
    }
};

TEST_F(ProtocolTest, RequestsWithoutTheAccessKeysAreRefused)
{
    for (const char *arguments : {"<ns1:in0>qovel</ns1:in0><ns1:in1>wrong</ns1:in1>",
                                  "<ns1:in0>zantre</ns1:in0><ns1:in1>qovel</ns1:in1>", ""}) {
        const Document result = resultOf(envelope("getNewsTypes", arguments));
        ASSERT_TRUE(result);
        EXPECT_NE(textOf(result.get(), "Code").value_or("0"), "0") << arguments;
        EXPECT_FALSE(textOf(result.get(), "Error").value_or("").empty());
        EXPECT_FALSE(findElement(xmlDocGetRootElement(result.get()), "NewsType"));
    }
    const Document granted =
        resultOf(envelope("getNewsTypes", "<ns1:in0>qovel</ns1:in0><ns1:in1>zantre</ns1:in1>"));
    ASSERT_TRUE(granted);
    EXPECT_EQ(textOf(granted.get(), "Code"), "0");
    EXPECT_TRUE(findElement(xmlDocGetRootElement(granted.get()), "NewsType"));
}

TEST_F(ProtocolTest, AnswerUsesTheRequestsNamespaceAndMethodName)
{
    const auto answer =
        post(envelope("getResourceTypes", "<ns1:in0>qovel</ns1:in0><ns1:in1>zantre</ns1:in1>"));
    ASSERT_TRUE(answer);
    const Document soap = parse(answer->body);
    ASSERT_TRUE(soap);
    const xmlNode *response = findElement(xmlDocGetRootElement(soap.get()), "getResourceTypesResponse");
    ASSERT_TRUE(response);
    ASSERT_TRUE(response->ns);
    EXPECT_STREQ(reinterpret_cast<const char *>(response->ns->href), kNamespace);
    EXPECT_STREQ(reinterpret_cast<const char *>(response->ns->prefix), "ns1");
}

TEST_F(ProtocolTest, UnreadableRequestsGetASoapFault)
{
    for (const std::string &body :
         {std::string("this is not XML"), std::string("<a><b></a>"), std::string("<html><body/></html>"),
          envelope("dropTables", "<ns1:in0>qovel</ns1:in0><ns1:in1>zantre</ns1:in1>"), std::string()}) {
        const auto answer = post(body);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 500) << body;
        const Document fault = parse(answer->body);
        ASSERT_TRUE(fault) << body;
        EXPECT_TRUE(findElement(xmlDocGetRootElement(fault.get()), "Fault")) << body;
        EXPECT_TRUE(textOf(fault.get(), "faultstring")) << body;
    }
}

TEST_F(ProtocolTest, DocumentTypeDeclarationsAreRefusedUnread)
{
    const std::string arguments = "<ns1:in0>qovel</ns1:in0><ns1:in1>zantre</ns1:in1><ns1:in2>&x;</ns1:in2>";
    const std::string laughs =
        "<!DOCTYPE e [<!ENTITY a \"lol\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY x \"&c;&c;&c;&c;&c;&c;&c;&c;\">]>";
    for (const std::string &doctype :
         {std::string("<!DOCTYPE e [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"), laughs}) {
        const auto answer = post(doctype + envelope("loginTeacher", arguments).substr(38));
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 500);
        EXPECT_EQ(answer->body.find("root:"), std::string::npos);
        EXPECT_EQ(answer->body.find("lollol"), std::string::npos);
    }
}

TEST_F(ProtocolTest, BodiesOverOneMebibyteAreRefused)
{
    const std::string padding(1024 * 1024 + 100, 'x');
    const auto answer = post(envelope(
        "postChat", "<ns1:in0>qovel</ns1:in0><ns1:in1>zantre</ns1:in1><ns1:in5>" + padding + "</ns1:in5>"));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 413);
}

TEST_F(ProtocolTest, WsdlDescribesEveryOperationAtThisAddress)
{
    const auto answer = http().Get(std::string(kServicePath) + "?wsdl");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    const Document wsdl = parse(answer->body);
    ASSERT_TRUE(wsdl);
    const xmlNode *portType = findElement(xmlDocGetRootElement(wsdl.get()), "portType");
    ASSERT_TRUE(portType);
    EXPECT_EQ(countElements(portType->children, "operation"), 28);
    const xmlNode *address = findElement(xmlDocGetRootElement(wsdl.get()), "address");
    ASSERT_TRUE(address);
    xmlChar *location = xmlGetProp(address, reinterpret_cast<const xmlChar *>("location"));
    ASSERT_TRUE(location);
    EXPECT_EQ(reinterpret_cast<const char *>(location), server().endpoint());
    xmlFree(location);
    for (const char *method : {"getNews", "SearchResource", "getPhotoResources", "changePassword"})
        EXPECT_NE(answer->body.find(std::string("name=\"") + method + "\""), std::string::npos) << method;
}

TEST_F(ProtocolTest, UnknownPicturesAreNotFound)
{
    for (const char *path :
         {"/images/nothing.png", "/images/uploads/999999.png", "/images/../CMakeLists.txt"}) {
        const auto answer = http().Get(path);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 404) << path;
    }
}

} // namespace
