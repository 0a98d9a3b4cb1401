#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One resource category.
// A new record has every number 0 and every text absent.
struct ResourceTypeItem
{
    int32_t typeId = 0;
    std::optional<std::string> typeCode;
    std::optional<std::string> typeName;

    bool operator==(const ResourceTypeItem &) const = default;
};
