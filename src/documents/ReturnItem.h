#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One reply to a notice.
// A new record has every number 0 and every text absent.
struct ReturnItem
{
    int32_t rtId = 0;
    std::optional<std::string> rtContent;
    int32_t userId = 0;
    std::optional<std::string> userName;
    std::optional<std::string> userAvatar;
    std::optional<std::string> rtDate;

    bool operator==(const ReturnItem &) const = default;
};
