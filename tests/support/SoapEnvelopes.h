#pragma once

#include <optional>
#include <string>
#include <vector>

// The envelopes of the wire, as the tests of every layer write and read them: requests the way a
// client sends them, answers and faults the way a server does.

// What a client sent in one request: the SOAP method and the texts of in0, in1, ... in order.
struct SentCall
{
    std::string method;
    std::vector<std::string> arguments;
};

// The two access texts every call carries first, as in0 and in1.
inline const std::vector<std::string> kAccessKeys{"qovel", "zantre"};

// Reads the envelope of one request; an unreadable body gives an empty method.
SentCall readSentCall(const std::string &envelope);

// Argument elements holding the given texts, escaped, numbered from in<first> on.
std::string soapArguments(const std::vector<std::string> &texts, int first = 0);
// A request to `method`, its element in namespace `ns` around the argument markup as written.
std::string soapRequest(const std::string &method, const std::string &argumentMarkup,
                        const std::string &ns = "urn:test");

// A SOAP answer to the method whose response element holds the given XML as written.
std::string soapResponse(const std::string &method, const std::string &inner);
// The normal answer: the result document as escaped text inside ns1:out.
std::string soapAnswer(const std::string &method, const std::string &resultDocument);
// A SOAP 1.1 fault, as a server sends it for a request it cannot read.
std::string soapFault(const std::string &text);
// The text of an answer's out element, when it has one.
std::optional<std::string> soapOut(const std::string &answer);
