#pragma once

#include <string>

// The WSDL 1.1 description of every operation in the table (document/literal: in0, in1, ...
// strings in, one string "out" back), bound to SOAP 1.1 at the given address.
std::string describeService(const std::string &targetNamespace, const std::string &endpointUrl);
