#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One resource: a list row, or a whole entry with picture, text, contact data and position.
// A new record has every number 0 and every text absent.
struct ResourceItem
{
    int32_t resId = 0;
    std::optional<std::string> resTitle;
    std::optional<std::string> resThumb;
    std::optional<std::string> updateDate;
    std::optional<std::string> resContent;
    std::optional<std::string> resImage;
    std::optional<std::string> phone;
    std::optional<std::string> address;
    float longitude = 0;
    float latitude = 0;
    std::optional<std::string> web;
    std::optional<std::string> typeCode;

    bool operator==(const ResourceItem &) const = default;
};
