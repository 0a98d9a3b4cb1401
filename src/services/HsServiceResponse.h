#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What every service operation returns. `code` 0 is success; a refusing service gives its
// non-zero code and `error` text. `answered` tells a usable answer (a well-formed reply that
// carried a result) from none at all: a transport failure, a reply that is not XML, or a reply
// without a result (a SOAP fault). Without a usable answer `code` stays 0 and the payload empty,
// so callers that must not mistake silence for an empty list check `answered` first.
struct HsServiceResponse
{
    int32_t code = 0;
    std::optional<std::string> error;
    bool answered = false;
};
