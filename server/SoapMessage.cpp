#include "SoapMessage.h"

#include "XmlText.h"
#include "common/XmlMarkupGuard.h"
#include "common/XmlTree.h"

#include <charconv>
#include <utility>

namespace {

// Calls numbered beyond this are not ours; refusing them keeps a hostile "in99999999" from
// sizing the argument list.
constexpr size_t kMaxArguments = 32;

// A name without its prefix.
std::string_view localName(const pugi::xml_node &node)
{
    const std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node findElementChild(const pugi::xml_node &node, std::string_view name)
{
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && localName(child) == name)
            return child;
    return {};
}

pugi::xml_node firstElementChild(const pugi::xml_node &node)
{
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            return child;
    return {};
}

// The namespace the element's name is in: the nearest declaration of its prefix (or of the
// default namespace) on it or an element around it; empty when none is declared.
std::string namespaceOf(const pugi::xml_node &element)
{
    const std::string_view name = element.name();
    const size_t colon = name.find(':');
    const std::string declaration =
        colon == std::string_view::npos ? "xmlns" : "xmlns:" + std::string(name.substr(0, colon));
    for (pugi::xml_node node = element; node.type() == pugi::node_element; node = node.parent())
        if (const pugi::xml_attribute uri = node.attribute(declaration.c_str()))
            return uri.value();
    return {};
}

// Every text inside the element, nested elements' included, in document order. The text an
// element starts with is its value, a text node's is its own.
std::string contentOf(const pugi::xml_node &element)
{
    std::string text = element.value();
    for (pugi::xml_node node = element.first_child(); node;) {
        text += node.value();
        if (const pugi::xml_node child = node.first_child()) {
            node = child;
            continue;
        }
        while (node != element && !node.next_sibling())
            node = node.parent();
        node = node == element ? pugi::xml_node() : node.next_sibling();
    }
    return text;
}

// The number of an "inN" element, or nothing for any other name.
std::optional<size_t> argumentNumber(std::string_view name)
{
    if (name.size() < 3 || name.substr(0, 2) != "in")
        return std::nullopt;
    size_t number = 0;
    const auto digits = name.substr(2);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

SoapReading problem(std::string text)
{
    return SoapReading{std::nullopt, std::move(text)};
}

// SOAP messages carry no document type declaration; refusing one before reading also keeps
// entity definitions (and their expansion) out of the service altogether.
constexpr XmlMarkupLimits kRequestLimits{.doctypeBytes = 0};

} // namespace

SoapReading readSoapRequest(std::string_view body)
{
    const XmlMarkupVerdict markup = hsCheckXmlMarkup(body, kRequestLimits);
    if (markup == XmlMarkupVerdict::doctypeRefused)
        return problem("a SOAP message must not contain a document type declaration");
    if (markup != XmlMarkupVerdict::accepted)
        return problem(std::string("the request is refused unread: ") + hsXmlMarkupProblem(markup));
    // What is wrong with a request is not logged: the fault sent back says that it could not be
    // read.
    const XmlTreeRead read(body, XmlCdata::asText);
    if (!read.reading().wellFormed())
        return problem("the request is not well-formed XML");
    const pugi::xml_node envelope = read.root();
    if (localName(envelope) != "Envelope")
        return problem("the request is not a SOAP envelope");
    const pugi::xml_node soapBody = findElementChild(envelope, "Body");
    if (!soapBody)
        return problem("the envelope has no Body");
    const pugi::xml_node operation = firstElementChild(soapBody);
    if (!operation)
        return problem("the Body names no operation");

    SoapRequest request;
    request.method = localName(operation);
    request.namespaceUri = namespaceOf(operation);
    for (pugi::xml_node child = operation.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        const auto number = argumentNumber(localName(child));
        if (!number)
            continue;
        if (*number >= kMaxArguments)
            return problem("argument number out of range");
        if (request.arguments.size() <= *number)
            request.arguments.resize(*number + 1);
        request.arguments[*number] = contentOf(child);
    }
    return SoapReading{std::move(request), {}};
}

std::string soapResponse(const SoapRequest &request, std::string_view escapedResultDocument)
{
    // The envelope's own markup takes a few hundred bytes around the result.
    XmlText xml(XmlText::Form::document, escapedResultDocument.size() + 512);
    xml.open("soap:Envelope");
    xml.attribute("xmlns:soap", kSoapEnvelopeNamespace);
    xml.open("soap:Body");
    xml.open("ns1:" + request.method + "Response");
    xml.attribute("xmlns:ns1", request.namespaceUri);
    xml.open("ns1:out");
    xml.escapedText(escapedResultDocument);
    return xml.finish();
}

std::string soapFault(std::string_view faultCode, std::string_view message)
{
    XmlText xml;
    xml.open("soap:Envelope");
    xml.attribute("xmlns:soap", kSoapEnvelopeNamespace);
    xml.open("soap:Body");
    xml.open("soap:Fault");
    xml.element("faultcode", faultCode);
    xml.element("faultstring", message);
    return xml.finish();
}
