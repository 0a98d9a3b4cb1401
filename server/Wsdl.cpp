#include "Wsdl.h"

#include "Operations.h"
#include "XmlText.h"

namespace {

constexpr std::string_view kWsdl = "http://schemas.xmlsoap.org/wsdl/";
constexpr std::string_view kWsdlSoap = "http://schemas.xmlsoap.org/wsdl/soap/";
constexpr std::string_view kXsd = "http://www.w3.org/2001/XMLSchema";
constexpr std::string_view kPortType = "SchoolServicePortType";
constexpr std::string_view kBinding = "SchoolServiceSoapBinding";

std::string kindName(ArgumentKind kind)
{
    switch (kind) {
    case ArgumentKind::Integer:
        return "integer in decimal";
    case ArgumentKind::Password:
        return "password";
    case ArgumentKind::Picture:
        return "PNG or JPEG picture in base64";
    case ArgumentKind::Text:
        break;
    }
    return "text";
}

void stringElement(XmlText &xml, const std::string &name, std::string_view documentation)
{
    xml.open("xsd:element");
    xml.attribute("name", name);
    xml.attribute("type", "xsd:string");
    xml.attribute("minOccurs", "1");
    xml.attribute("maxOccurs", "1");
    if (!documentation.empty()) {
        xml.open("xsd:annotation");
        xml.element("xsd:documentation", documentation);
        xml.close();
    }
    xml.close();
}

void requestElement(XmlText &xml, const OperationSpec &op)
{
    xml.open("xsd:element");
    xml.attribute("name", op.method);
    xml.open("xsd:complexType");
    xml.open("xsd:sequence");
    stringElement(xml, "in0", "access key, always \"qovel\"");
    stringElement(xml, "in1", "access key, always \"zantre\"");
    for (size_t i = 0; i < op.arguments.size(); ++i) {
        const auto &arg = op.arguments[i];
        stringElement(xml, "in" + std::to_string(i + 2), std::string(arg.name) + ": " + kindName(arg.kind));
    }
    xml.close();
    xml.close();
    xml.close();
}

void responseElement(XmlText &xml, const OperationSpec &op)
{
    xml.open("xsd:element");
    xml.attribute("name", std::string(op.method) + "Response");
    xml.open("xsd:complexType");
    xml.open("xsd:sequence");
    stringElement(xml, "out", "the result document as XML text");
    xml.close();
    xml.close();
    xml.close();
}

void types(XmlText &xml, const std::string &targetNamespace)
{
    xml.open("wsdl:types");
    xml.open("xsd:schema");
    xml.attribute("targetNamespace", targetNamespace);
    xml.attribute("elementFormDefault", "qualified");
    for (const auto &op : operationTable()) {
        requestElement(xml, op);
        responseElement(xml, op);
    }
    xml.close();
    xml.close();
}

void message(XmlText &xml, const std::string &name, const std::string &element)
{
    xml.open("wsdl:message");
    xml.attribute("name", name);
    xml.open("wsdl:part");
    xml.attribute("name", "parameters");
    xml.attribute("element", "tns:" + element);
    xml.close();
    xml.close();
}

void messages(XmlText &xml)
{
    for (const auto &op : operationTable()) {
        const std::string method(op.method);
        message(xml, method + "Request", method);
        message(xml, method + "Response", method + "Response");
    }
}

void portType(XmlText &xml)
{
    xml.open("wsdl:portType");
    xml.attribute("name", kPortType);
    for (const auto &op : operationTable()) {
        const std::string method(op.method);
        xml.open("wsdl:operation");
        xml.attribute("name", method);
        xml.element("wsdl:documentation", op.summary);
        xml.open("wsdl:input");
        xml.attribute("message", "tns:" + method + "Request");
        xml.close();
        xml.open("wsdl:output");
        xml.attribute("message", "tns:" + method + "Response");
        xml.close();
        xml.close();
    }
    xml.close();
}

void literalBody(XmlText &xml, std::string_view direction)
{
    xml.open(direction);
    xml.open("wsdlsoap:body");
    xml.attribute("use", "literal");
    xml.close();
    xml.close();
}

void binding(XmlText &xml)
{
    xml.open("wsdl:binding");
    xml.attribute("name", kBinding);
    xml.attribute("type", "tns:" + std::string(kPortType));
    xml.open("wsdlsoap:binding");
    xml.attribute("style", "document");
    xml.attribute("transport", "http://schemas.xmlsoap.org/soap/http");
    xml.close();
    for (const auto &op : operationTable()) {
        xml.open("wsdl:operation");
        xml.attribute("name", op.method);
        xml.open("wsdlsoap:operation");
        xml.attribute("soapAction", "urn:" + std::string(op.method));
        xml.close();
        literalBody(xml, "wsdl:input");
        literalBody(xml, "wsdl:output");
        xml.close();
    }
    xml.close();
}

void service(XmlText &xml, const std::string &endpointUrl)
{
    xml.open("wsdl:service");
    xml.attribute("name", "SchoolService");
    xml.open("wsdl:port");
    xml.attribute("name", "SchoolServicePort");
    xml.attribute("binding", "tns:" + std::string(kBinding));
    xml.open("wsdlsoap:address");
    xml.attribute("location", endpointUrl);
    xml.close();
    xml.close();
    xml.close();
}

} // namespace

std::string describeService(const std::string &targetNamespace, const std::string &endpointUrl)
{
    XmlText xml;
    xml.open("wsdl:definitions");
    xml.attribute("xmlns:wsdl", kWsdl);
    xml.attribute("xmlns:wsdlsoap", kWsdlSoap);
    xml.attribute("xmlns:xsd", kXsd);
    xml.attribute("xmlns:tns", targetNamespace);
    xml.attribute("targetNamespace", targetNamespace);
    types(xml, targetNamespace);
    messages(xml);
    portType(xml);
    binding(xml);
    service(xml, endpointUrl);
    return xml.finish();
}
