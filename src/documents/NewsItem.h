#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One notice or news item: a headline from a list, or a whole item with its content.
// A new record has every number 0 and every text absent.
struct NewsItem
{
    int32_t newsId = 0;
    std::optional<std::string> newsTitle;
    std::optional<std::string> publicDate;
    int32_t forceReturn = 0;
    std::optional<std::string> typeCode;
    std::optional<std::string> imageUrl;
    std::optional<std::string> newsContent;
    int32_t classId = 0;

    bool operator==(const NewsItem &) const = default;
};
