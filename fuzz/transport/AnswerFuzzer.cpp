#include "common/HsLog.h"
#include "transport/HsSoapClient.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Feeds arbitrary bytes to the answer reader, as if a server had sent them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool silenced = [] {
        hsSetLogSink([](const std::string &) {});
        return true;
    }();
    (void)silenced;
    HsSoapClient client;
    const bool wellFormed =
        client.processResponse(std::string_view(reinterpret_cast<const char *>(data), size));
    // A result is only ever found in a well-formed answer.
    if (client.foundResult() && !wellFormed)
        __builtin_trap();
    return 0;
}
