#include "SoapEnvelopes.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <memory>
#include <string_view>

namespace {

using Document = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

Document readDocument(const std::string &text)
{
    return Document(xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8",
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
                    &xmlFreeDoc);
}

std::string contentOf(const xmlNode *node)
{
    xmlChar *content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char *>(content) : "";
    xmlFree(content);
    return text;
}

std::string escapeText(const std::string &text)
{
    xmlChar *escaped = xmlEncodeSpecialChars(nullptr, reinterpret_cast<const xmlChar *>(text.c_str()));
    std::string result = reinterpret_cast<const char *>(escaped);
    xmlFree(escaped);
    return result;
}

} // namespace

SentCall readSentCall(const std::string &envelope)
{
    SentCall call;
    const Document document = readDocument(envelope);
    if (!document)
        return call;
    if (xmlNode *operation =
            xmlFirstElementChild(xmlFirstElementChild(xmlDocGetRootElement(document.get())))) {
        call.method = reinterpret_cast<const char *>(operation->name);
        for (xmlNode *child = operation->children; child; child = child->next)
            if (child->type == XML_ELEMENT_NODE)
                call.arguments.push_back(contentOf(child));
    }
    return call;
}

std::string soapArguments(const std::vector<std::string> &texts, int first)
{
    std::string markup;
    for (const std::string &text : texts) {
        const std::string name = "ns1:in" + std::to_string(first++);
        markup += "<" + name + ">" + escapeText(text) + "</" + name + ">";
    }
    return markup;
}

std::string soapRequest(const std::string &method, const std::string &argumentMarkup, const std::string &ns)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
           "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Body><ns1:" +
           method + " xmlns:ns1=\"" + ns + "\">" + argumentMarkup + "</ns1:" + method +
           "></soapenv:Body></soapenv:Envelope>";
}

std::string soapResponse(const std::string &method, const std::string &inner)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><ns1:" +
           method + "Response xmlns:ns1=\"urn:test\">" + inner + "</ns1:" + method +
           "Response></soap:Body></soap:Envelope>";
}

std::string soapAnswer(const std::string &method, const std::string &resultDocument)
{
    return soapResponse(method, "<ns1:out>" + escapeText(resultDocument) + "</ns1:out>");
}

std::string soapFault(const std::string &text)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><soap:Fault>"
           "<faultcode>soap:Client</faultcode><faultstring>" +
           escapeText(text) + "</faultstring></soap:Fault></soap:Body></soap:Envelope>";
}

std::optional<std::string> soapOut(const std::string &answer)
{
    const Document document = readDocument(answer);
    for (const xmlNode *node = document ? xmlDocGetRootElement(document.get()) : nullptr; node != nullptr;) {
        if (node->type == XML_ELEMENT_NODE &&
            std::string_view("out") == reinterpret_cast<const char *>(node->name))
            return contentOf(node);
        node = node->children != nullptr ? node->children : node->next;
    }
    return std::nullopt;
}
