#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One call as the envelope carries it: the operation element's local name and namespace, and
// the texts of its in0, in1, ... children by their numbers (missing numbers read as empty).
struct SoapRequest
{
    std::string method;
    std::string namespaceUri;
    std::vector<std::string> arguments;
};

struct SoapReading
{
    std::optional<SoapRequest> request;
    std::string problem; // why there is no request
};

// Reads a SOAP envelope. Never touches the network, never loads a DTD or an external entity.
SoapReading readSoapRequest(std::string_view body);

// The answer to a call: the result document as escaped text in ns1:out, inside
// ns1:<method>Response in the namespace the request used. The document comes already escaped as
// text, as ResultDocument writes it.
std::string soapResponse(const SoapRequest &request, std::string_view escapedResultDocument);

// A SOAP 1.1 fault; faultCode is "soap:Client" or "soap:Server".
std::string soapFault(std::string_view faultCode, std::string_view message);

inline constexpr std::string_view kSoapEnvelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/";
