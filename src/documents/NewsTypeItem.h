#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One category of notices (typeType 0) or news (any other typeType).
// A new record has every number 0 and every text absent.
struct NewsTypeItem
{
    int32_t typeId = 0;
    std::optional<std::string> typeCode;
    std::optional<std::string> typeName;
    int32_t typeType = 0;

    bool operator==(const NewsTypeItem &) const = default;
};
